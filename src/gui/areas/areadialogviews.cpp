#include "gui/areas/areadialogviews.h"
#include "gui/app/dialogbuttons.h"
#include "gui/areas/areamapview.h"

#include "areas/areadialogs.h"
#include "gui/app/guiuiport.h"
#include "gui/areas/usrareawidget.h"

#include "ui_excludedialog.h"
#include "ui_flattendialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QValidator>

namespace {
QList<AreaMapView::Areas> mapAreas(const QList<SceneryAreas> &sceneries)
{
    QList<AreaMapView::Areas> areas;
    for (const SceneryAreas &s : sceneries)
        areas.append({s.key, s.exclude, s.flatten});
    return areas;
}

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
} // namespace

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

void AreaDialogView::bindButtons(QLabel *note, QPushButton *deleteButton, QDialogButtonBox *buttons)
{
    m_note = note;
    QPalette palette = m_note->palette();
    palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    m_note->setPalette(palette);
    refreshNote();

    m_delete = deleteButton;
    const OkCancelButtons okCancel = completeOkCancelButtons(buttons, QStringLiteral("cmdOK"), tr("&Cancel"));
    m_ok = okCancel.ok;
    m_cancel = okCancel.cancel;

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

ExcludeDialog::ExcludeDialog(frmExclude &form, QWidget *parent)
    : AreaDialogView(form, parent), m_form(form), m_ui(std::make_unique<Ui::ExcludeDialog>())
{
    m_ui->setupUi(this);
    m_ui->usrExclude->bind(form.usrExclude);
    bindButtons(m_ui->lblUnread, m_ui->cmdDelete, m_ui->buttons);
    m_classes = {m_ui->chkClass0, m_ui->chkClass1, m_ui->chkClass2, m_ui->chkClass3};
    for (int i = 0; i < frmExclude::ClassCount; ++i) {
        connect(m_classes[std::size_t(i)], &QCheckBox::clicked, this,
                [this, i](bool checked) { m_form.setClassChecked(i, checked); });
    }
    connect(&m_form, &frmExclude::classesChanged, this, &ExcludeDialog::refreshClasses);
    connect(&m_form, &frmExclude::classesChanged, this, &ExcludeDialog::refreshNote);
    connect(&m_form.usrExclude, &usrArea::changed, this, &ExcludeDialog::refreshNote);
    refreshClasses();

    // The rectangle as it is being edited, on the map, with the classes ticked.
    auto *map = new AreaMapView(this);
    map->setFixedSize(420, 240);
    m_ui->layout->insertWidget(m_ui->layout->count() - 1, map);
    // sceneryClicked stays unconnected: the edit is in progress, so a click shows no other scenery.
    const auto redraw = [this, map, others = mapAreas(m_form.otherAreas)] {
        AreaMapView::Areas edited;
        edited.key = QStringLiteral("frmExclude"); // no scenery: a click here names none to show
        edited.exclude = m_form.usrExclude.Area();
        for (int i = 0; i < frmExclude::ClassCount; ++i) {
            if (m_form.isClassChecked(i))
                edited.exclude += QLatin1Char(',') + frmExclude::className(i);
        }
        map->setAreas(edited, others);
    };
    connect(&m_form.usrExclude, &usrArea::changed, map, redraw);
    connect(&m_form, &frmExclude::classesChanged, map, redraw);
    redraw();
    QTimer::singleShot(0, map, &AreaMapView::zoomToShown);
    m_ui->usrExclude->degreesEdit(1)->setFocus();
}

ExcludeDialog::~ExcludeDialog() = default;

UsrAreaWidget *ExcludeDialog::areaWidget() const
{
    return m_ui->usrExclude;
}

void ExcludeDialog::refreshClasses()
{
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        m_classes.at(std::size_t(i))->setChecked(m_form.isClassChecked(i));
}

// ---- FlattenDialog

FlattenDialog::FlattenDialog(frmFlatten &form, QWidget *parent)
    : AreaDialogView(form, parent), m_form(form), m_ui(std::make_unique<Ui::FlattenDialog>())
{
    m_ui->setupUi(this);
    m_ui->usrFlatten->bind(form.usrFlatten);
    bindButtons(m_ui->lblUnread, m_ui->cmdDelete, m_ui->buttons);

    QLineEdit *elevation = m_ui->txtElevation;
    elevation->setFixedWidth(elevation->fontMetrics().horizontalAdvance(QStringLiteral("-000000000")) + 12);
    elevation->setText(form.elevation());
    elevation->setValidator(new ElevationValidator(form, elevation));

    connect(&m_form.usrFlatten, &usrArea::changed, this, &FlattenDialog::refreshNote);
    connect(elevation, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_form.editElevation(text, m_ui->txtElevation->cursorPosition());
    });
    connect(&m_form, &frmFlatten::elevationChanged, this, [this] {
        if (m_ui->txtElevation->text() != m_form.elevation())
            m_ui->txtElevation->setText(m_form.elevation());
    });
    setTabOrder(elevation, m_ui->usrFlatten->hemisphereBox(1));

    // The area as it is being edited, on the map: redrawn at each change, zoomed to when it opens.
    auto *map = new AreaMapView(this);
    map->setFixedSize(420, 240);
    m_ui->layout->insertWidget(m_ui->layout->count() - 1, map);
    // sceneryClicked stays unconnected: the edit is in progress, so a click shows no other scenery.
    const auto redraw = [this, map, others = mapAreas(m_form.otherAreas)] {
        AreaMapView::Areas edited;
        edited.key = QStringLiteral("frmFlatten"); // no scenery: a click here names none to show
        edited.flatten[0] = m_form.elevation() + QLatin1Char(',') + m_form.usrFlatten.Area();
        map->setAreas(edited, others);
    };
    connect(&m_form.usrFlatten, &usrArea::changed, map, redraw);
    connect(&m_form, &frmFlatten::elevationChanged, map, redraw);
    redraw();
    QTimer::singleShot(0, map, &AreaMapView::zoomToShown);
    elevation->setFocus();
}

FlattenDialog::~FlattenDialog() = default;

UsrAreaWidget *FlattenDialog::areaWidget() const
{
    return m_ui->usrFlatten;
}

QLineEdit *FlattenDialog::elevationEdit() const
{
    return m_ui->txtElevation;
}
