#include "gui/areas/areadialogviews.h"
#include "gui/app/dialogbuttons.h"

#include "areas/areadialogs.h"
#include "gui/app/guiuiport.h"
#include "gui/areas/usrareawidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

namespace {
// Lets through only what the elevation field accepts from typing or pasting; the text already in
// the field (a stored "120.5") is left alone.
class ElevationValidator : public QValidator
{
public:
    ElevationValidator(const frmFlatten &form, QObject *parent) : QValidator(parent), m_form(form) {}

    State validate(QString &input, int &pos) const override
    {
        const ElevationEdit edit = filterElevationEdit(m_form.elevation(), input, pos);
        if (edit.text != input) {
            input = edit.text;
            pos = int(edit.cursor);
        }
        return Acceptable;
    }

private:
    const frmFlatten &m_form;
};
}

void registerAreaViews()
{
    GuiUiPort::registerView(QStringLiteral("frmExclude"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new ExcludeDialog(dynamic_cast<frmExclude &>(form), parent);
    });
    GuiUiPort::registerView(QStringLiteral("frmFlatten"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new FlattenDialog(dynamic_cast<frmFlatten &>(form), parent);
    });
}

// ---- AreaDialogView

AreaDialogView::AreaDialogView(AreaDialogLogic &logic, QWidget *parent) : QDialog(parent), m_logic(logic)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(&m_logic, &AreaDialogLogic::hiddenChanged, this, [this](bool hidden) {
        if (hidden)
            QDialog::done(m_result);
    });
}

void AreaDialogView::addButtons(QBoxLayout *layout)
{
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblUnread"));
    m_note->setWordWrap(true);
    QPalette palette = m_note->palette();
    palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    m_note->setPalette(palette);
    layout->addWidget(m_note);
    refreshNote();

    // Delete stands apart on the left, away from OK and Cancel.
    auto *row = new QHBoxLayout;
    m_delete = new QPushButton(tr("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("cmdDelete"));
    m_delete->setToolTip(tr("Remove this area from the scenery"));
    m_delete->setAutoDefault(false);
    row->addWidget(m_delete);
    row->addStretch(1);
    const OkCancelButtons buttons = makeOkCancelButtons(this, QStringLiteral("cmdOK"), tr("&Cancel"));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    row->addWidget(buttons.box);
    layout->addLayout(row);

    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_result = QDialog::Accepted;
        m_logic.cmdOK_Click();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_result = QDialog::Rejected;
        m_logic.cmdCancel_Click();
    });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        m_result = QDialog::Accepted;
        m_logic.cmdDelete_Click();
    });
}

void AreaDialogView::refreshNote()
{
    if (!m_note)
        return;
    const QStringList unread = m_logic.unreadItems();
    m_note->setVisible(!unread.isEmpty());
    m_note->setText(
        tr("Not shown, and kept as stored unless you replace it: %1")
            .arg(QStringLiteral("\u201c%1\u201d").arg(unread.join(QStringLiteral("\u201d, \u201c")))));
}

void AreaDialogView::done(int result)
{
    // Escape or the window's close button: the same as Cancel, so nothing is stored.
    if (!m_logic.hidden()) {
        m_result = QDialog::Rejected;
        m_logic.cmdCancel_Click();
        return;
    }
    QDialog::done(result);
}

// ---- ExcludeDialog

ExcludeDialog::ExcludeDialog(frmExclude &form, QWidget *parent) : AreaDialogView(form, parent), m_form(form)
{
    setWindowTitle(tr("Exclude"));
    setObjectName(QStringLiteral("frmExclude"));

    auto *layout = new QVBoxLayout(this);
    auto *areaGroup = new QGroupBox(tr("Rectangle (two opposite corners)"), this);
    auto *areaLayout = new QVBoxLayout(areaGroup);
    m_area = new UsrAreaWidget(form.usrExclude, areaGroup);
    m_area->setObjectName(QStringLiteral("usrExclude"));
    areaLayout->addWidget(m_area);
    layout->addWidget(areaGroup);

    auto *classGroup = new QGroupBox(tr("Classes"), this);
    auto *classLayout = new QHBoxLayout(classGroup);
    for (int i = 0; i < frmExclude::ClassCount; ++i) {
        auto *box = new QCheckBox(frmExclude::classCaption(i), classGroup);
        box->setObjectName(QStringLiteral("chkClass%1").arg(i));
        classLayout->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [this, i](bool checked) { m_form.setClassChecked(i, checked); });
        m_classes[std::size_t(i)] = box;
    }
    classLayout->addStretch(1);
    layout->addWidget(classGroup);

    addButtons(layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&m_form, &frmExclude::classesChanged, this, &ExcludeDialog::refreshClasses);
    connect(&m_form, &frmExclude::classesChanged, this, &ExcludeDialog::refreshNote);
    connect(&m_form.usrExclude, &usrArea::changed, this, &ExcludeDialog::refreshNote);
    refreshClasses();
    m_area->degreesEdit(1)->setFocus();
}

void ExcludeDialog::refreshClasses()
{
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        m_classes.at(std::size_t(i))->setChecked(m_form.isClassChecked(i));
}

// ---- FlattenDialog

FlattenDialog::FlattenDialog(frmFlatten &form, QWidget *parent) : AreaDialogView(form, parent), m_form(form)
{
    setWindowTitle(tr("Flatten"));
    setObjectName(QStringLiteral("frmFlatten"));

    auto *layout = new QVBoxLayout(this);

    auto *elevationRow = new QHBoxLayout;
    auto *label = new QLabel(tr("&MSL:"), this);
    m_elevation = new QLineEdit(this);
    m_elevation->setObjectName(QStringLiteral("txtElevation"));
    m_elevation->setAlignment(Qt::AlignRight);
    m_elevation->setMaxLength(12);
    m_elevation->setFixedWidth(m_elevation->fontMetrics().horizontalAdvance(QStringLiteral("-000000000")) + 12);
    m_elevation->setToolTip(tr("Elevation of the flattened ground, -2000 to 99999"));
    m_elevation->setText(form.elevation());
    m_elevation->setValidator(new ElevationValidator(form, m_elevation));
    label->setBuddy(m_elevation);
    elevationRow->addWidget(label);
    elevationRow->addWidget(m_elevation);
    elevationRow->addStretch(1);
    layout->addLayout(elevationRow);

    auto *areaGroup = new QGroupBox(tr("Area (four corners)"), this);
    auto *areaLayout = new QVBoxLayout(areaGroup);
    m_area = new UsrAreaWidget(form.usrFlatten, areaGroup);
    m_area->setObjectName(QStringLiteral("usrFlatten"));
    areaLayout->addWidget(m_area);
    layout->addWidget(areaGroup);

    addButtons(layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&m_form.usrFlatten, &usrArea::changed, this, &FlattenDialog::refreshNote);
    connect(m_elevation, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_form.editElevation(text, m_elevation->cursorPosition());
    });
    connect(&m_form, &frmFlatten::elevationChanged, this, [this] {
        if (m_elevation->text() != m_form.elevation())
            m_elevation->setText(m_form.elevation());
    });
    setTabOrder(m_elevation, m_area->hemisphereBox(1));
    m_elevation->setFocus();
}
