#include "gui/airports/airportdirdialog.h"

#include "airports/frmairportdir.h"
#include "gui/app/dialogbuttons.h"
#include "gui/app/guiuiport.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

void showChoice(QComboBox *box, const frmAirportDir::Choice &choice)
{
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(choice.items);
    box->setCurrentIndex(choice.listIndex);
}

QComboBox *newBox(QWidget *parent, const QString &name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setMinimumContentsLength(28);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

} // namespace

void registerAirportViews()
{
    GuiUiPort::registerView(QStringLiteral("frmAirportDir"),
                            [](FormLogic &form, QWidget *parent) -> QDialog * {
                                return new AirportDirDialog(dynamic_cast<frmAirportDir &>(form), parent);
                            });
}

AirportDirDialog::AirportDirDialog(frmAirportDir &form, QWidget *parent) : QDialog(parent), m_form(form)
{
    setObjectName(form.formName());
    setWindowTitle(frmAirportDir::caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    auto *boxes = new QFormLayout;
    m_area = newBox(this, QStringLiteral("cboArea"));
    m_country = newBox(this, QStringLiteral("cboCountry"));
    m_state = newBox(this, QStringLiteral("cboState"));
    boxes->addRow(tr("&Area:"), m_area);
    boxes->addRow(tr("C&ountry:"), m_country);
    boxes->addRow(tr("&State:"), m_state);
    layout->addLayout(boxes);

    auto *label = new QLabel(tr("Ai&rport:"), this);
    layout->addWidget(label);
    m_airports = new QListWidget(this);
    m_airports->setObjectName(QStringLiteral("lstAirport"));
    m_airports->setUniformItemSizes(true);
    label->setBuddy(m_airports);
    layout->addWidget(m_airports, 1);

    const OkCancelButtons buttons =
        makeOkCancelButtons(this, QStringLiteral("cmdOk"), frmAirportDir::cmdCancelCaption());
    m_ok = buttons.ok;
    buttons.cancel->setAutoDefault(false);
    layout->addWidget(buttons.box);

    connect(m_area, &QComboBox::activated, this, [this](int index) {
        m_form.cboArea_Click(index);
        refresh();
    });
    connect(m_country, &QComboBox::activated, this, [this](int index) {
        m_form.cboCountry_Click(index);
        refresh();
    });
    connect(m_state, &QComboBox::activated, this, [this](int index) {
        m_form.cboState_Click(index);
        refresh();
    });
    // Focus alone makes a row current without selecting it; OK takes only an airport selected.
    connect(m_airports, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> selected = m_airports->selectedItems();
        m_form.lstAirport_Click(selected.isEmpty() ? -1 : m_airports->row(selected.first()));
    });
    connect(m_airports, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_form.lstAirport_DblClick(m_airports->row(item));
        closeIfHidden();
    });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOk_Click();
        closeIfHidden();
    });
    connect(buttons.cancel, &QPushButton::clicked, this, &AirportDirDialog::reject);

    refresh();
    resize(460, 440);
    m_area->setFocus();
}

void AirportDirDialog::refresh()
{
    showChoice(m_area, m_form.cboArea);
    showChoice(m_country, m_form.cboCountry);
    showChoice(m_state, m_form.cboState);
    const QSignalBlocker blocker(m_airports);
    m_airports->clear();
    m_airports->addItems(m_form.lstAirport.items);
    if (m_form.lstAirport.listIndex >= 0)
        m_airports->setCurrentRow(m_form.lstAirport.listIndex);
}

void AirportDirDialog::closeIfHidden()
{
    if (!m_form.visible)
        QDialog::done(QDialog::Accepted);
}

void AirportDirDialog::reject()
{
    // Escape and the window's close button are Cancel.
    m_form.cmdCancel_Click();
    QDialog::reject();
}
