#include "gui/scenerycfg/selectsetsview.h"

#include "gui/app/dialogbuttons.h"
#include "gui/app/guiuiport.h"
#include "scenerycfg/frmselectsets.h"
#include "ui_selectsetsdialog.h"

#include <QSignalBlocker>

void registerSceneryCfgViews()
{
    GuiUiPort::registerView(QStringLiteral("frmSelectSets"),
                            [](FormLogic &form, QWidget *parent) -> QDialog * {
                                return new SelectSetsView(dynamic_cast<frmSelectSets &>(form), parent);
                            });
}

SelectSetsView::SelectSetsView(frmSelectSets &form, QWidget *parent)
    : QDialog(parent), m_form(form), m_ui(std::make_unique<Ui::SelectSetsDialog>())
{
    m_ui->setupUi(this);
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The mask's "9" places may stay empty, shown as "_", as the logic reads the field.
    m_ui->txtCache_Size->setInputMask(QStringLiteral("0000M;_"));
    m_ui->txtCache_Size->setFixedWidth(
        m_ui->txtCache_Size->fontMetrics().horizontalAdvance(QStringLiteral("_0000M_")) + 16);
    m_ui->txtTitle->setText(form.txtTitle);
    m_ui->txtDescription->setText(form.txtDescription);
    m_ui->txtCache_Size->setText(form.txtCache_Size);
    m_ui->chkClean_on_Exit->setChecked(form.chkClean_on_Exit);
    // The first entry is no flight: the simulator's start flight stays as it is.
    m_ui->cboFLT->addItem(QString());
    m_ui->cboFLT->addItems(form.cboFLTItems);
    m_ui->cboFLT->setCurrentIndex(int(qMax(qsizetype(0), form.cboFLTItems.indexOf(form.cboFLT) + 1)));
    m_ui->cboFLT->setMinimumContentsLength(24);
    m_ui->txtCache_Size->setEnabled(form.txtCache_SizeEnabled);
    m_ui->chkClean_on_Exit->setEnabled(form.chkClean_on_ExitEnabled);
    m_ui->cboFLT->setEnabled(form.cboFLTEnabled);
    m_ui->grpGeneral->setVisible(form.generalFieldsVisible);
    fillSets();

    const OkCancelButtons buttons =
        completeOkCancelButtons(m_ui->buttons, QStringLiteral("cmdOk"), tr("&Cancel"));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    connect(m_ui->trvSets, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        const int row = m_ui->trvSets->row(item);
        if (row >= 0 && row < m_form.trvSets.size())
            m_form.trvSets[row].checked = item->checkState() == Qt::Checked;
    });
    connect(m_ui->trvSets, &QListWidget::currentRowChanged, this,
            [this](int row) { m_form.trvSetsSelected = row; });
    connect(m_ui->cmdMoveUp, &QPushButton::clicked, this, [this] { moveSelected(true); });
    connect(m_ui->cmdMoveDown, &QPushButton::clicked, this, [this] { moveSelected(false); });
    connect(m_ui->txtTitle, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_form.txtTitle = text; });
    connect(m_ui->txtDescription, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_form.txtDescription = text; });
    connect(m_ui->txtCache_Size, &QLineEdit::textChanged, this,
            [this] { m_form.txtCache_Size = m_ui->txtCache_Size->displayText(); });
    connect(m_ui->chkClean_on_Exit, &QCheckBox::toggled, this,
            [this](bool checked) { m_form.chkClean_on_Exit = checked; });
    connect(m_ui->cboFLT, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { m_form.cboFLT = text; });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOk_Click();
        if (!m_form.visible)
            QDialog::done(QDialog::Accepted);
    });
    connect(m_cancel, &QPushButton::clicked, this, &SelectSetsView::reject);
    m_ui->trvSets->setFocus();
}

SelectSetsView::~SelectSetsView() = default;

void SelectSetsView::fillSets()
{
    const QSignalBlocker blocker(m_ui->trvSets);
    m_ui->trvSets->clear();
    for (const frmSelectSets::SetNode &node : std::as_const(m_form.trvSets)) {
        auto *item = new QListWidgetItem(node.text, m_ui->trvSets);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(node.checked ? Qt::Checked : Qt::Unchecked);
    }
    m_ui->trvSets->setCurrentRow(m_form.trvSetsSelected);
}

void SelectSetsView::moveSelected(bool up)
{
    if (up)
        m_form.cmdMoveUp_Click();
    else
        m_form.cmdMoveDown_Click();
    fillSets();
}

void SelectSetsView::reject()
{
    m_form.cmdCancel_Click();
    QDialog::reject();
}
