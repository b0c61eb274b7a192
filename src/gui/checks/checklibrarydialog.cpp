#include "gui/checks/checklibrarydialog.h"

#include "checks/frmchecklibrary.h"
#include "gui/app/guiuiport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

void registerCheckViews()
{
    GuiUiPort::registerView(QStringLiteral("frmCheckLibrary"),
                            [](FormLogic &form, QWidget *parent) -> QDialog * {
                                return new CheckLibraryDialog(dynamic_cast<frmCheckLibrary &>(form), parent);
                            });
}

CheckLibraryDialog::CheckLibraryDialog(frmCheckLibrary &form, QWidget *parent) : QDialog(parent), m_form(form)
{
    setObjectName(form.formName());
    setWindowTitle(frmCheckLibrary::caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    auto *layout = new QVBoxLayout(this);
    auto *scopeRow = new QHBoxLayout;
    auto *scopeLabel = new QLabel(tr("C&heck:"), this);
    m_scope = new QComboBox(this);
    m_scope->setObjectName(QStringLiteral("cboScope"));
    m_scope->addItems(form.cboScopeItems);
    m_scope->setCurrentIndex(form.cboScopeIndex);
    m_scope->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    scopeLabel->setBuddy(m_scope);
    scopeRow->addWidget(scopeLabel);
    scopeRow->addWidget(m_scope);
    scopeRow->addStretch(1);
    layout->addLayout(scopeRow);

    m_findings = new QTreeWidget(this);
    m_findings->setObjectName(QStringLiteral("lvwFindings"));
    m_findings->setColumnCount(3);
    m_findings->setHeaderLabels({tr("Finding"), tr("Scenery"), tr("Detail")});
    m_findings->setRootIsDecorated(false);
    m_findings->setUniformRowHeights(true);
    m_findings->setAlternatingRowColors(true);
    m_findings->setSelectionMode(QAbstractItemView::SingleSelection);
    m_findings->setWordWrap(false);
    m_findings->header()->setStretchLastSection(true);
    m_findings->setToolTip(tr("Double click a row to show its scenery in the library"));
    layout->addWidget(m_findings, 1);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    auto *buttons = new QDialogButtonBox(this);
    m_close = buttons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(m_scope, &QComboBox::activated, this, [this](int index) { m_form.cboScope_Click(index); });
    connect(m_findings, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        m_form.lvwFindings_DblClick(m_findings->indexOfTopLevelItem(item));
    });
    connect(m_close, &QPushButton::clicked, this, &CheckLibraryDialog::reject);
    connect(&m_form, &frmCheckLibrary::findingsChanged, this, &CheckLibraryDialog::refresh);

    refresh();
    resize(860, 420);
}

void CheckLibraryDialog::refresh()
{
    m_findings->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_form.findings.size());
    for (const CheckFinding &finding : std::as_const(m_form.findings)) {
        auto *row = new QTreeWidgetItem(
            QStringList{frmCheckLibrary::kindCaption(finding.kind), finding.title, finding.detail});
        row->setToolTip(1, finding.key);
        row->setToolTip(2, finding.detail);
        rows.append(row);
    }
    m_findings->addTopLevelItems(rows);
    m_findings->resizeColumnToContents(0);
    m_findings->resizeColumnToContents(1);
    m_findings->setColumnWidth(1, qMin(m_findings->columnWidth(1), 260));
    m_summary->setText(m_form.lblSummary);
}

void CheckLibraryDialog::reject()
{
    m_form.cmdClose_Click();
    QDialog::reject();
}
