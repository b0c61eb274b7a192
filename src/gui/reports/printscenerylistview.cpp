#include "gui/reports/printscenerylistview.h"

#include "gui/app/guiuiport.h"
#include "gui/reports/reportpaint.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

void registerReportViews()
{
    GuiUiPort::registerView(
        QStringLiteral("frmPrintSceneryList"), [](FormLogic &form, QWidget *parent) -> QDialog * {
            return new PrintSceneryListView(dynamic_cast<frmPrintSceneryList &>(form), parent);
        });
}

// ---- PreviewReportPrinter ------------------------------------------------------------------

PreviewReportPrinter::PreviewReportPrinter(QWidget *parent, std::function<void()> saveAsPdf)
    : m_parent(parent), m_saveAsPdf(std::move(saveAsPdf))
{}

Outcome PreviewReportPrinter::print(const ReportDocument &document)
{
    const QString family = frmPrintSceneryList::fontFamily();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document.title);
    ReportPaint::preparePage(document, family, printer);

    QPrintPreviewDialog preview(&printer, m_parent);
    preview.setWindowTitle(document.title);
    QObject::connect(
        &preview, &QPrintPreviewDialog::paintRequested, &preview,
        [&document, family](QPrinter *target) { ReportPaint::paint(document, family, *target); });
    if (QToolBar *toolBar = preview.findChild<QToolBar *>()) {
        toolBar->addSeparator();
        QAction *save = toolBar->addAction(QObject::tr("Save as PDF..."));
        save->setObjectName(QStringLiteral("actSavePdf"));
        QObject::connect(save, &QAction::triggered, &preview, [this] { m_saveAsPdf(); });
    }
    if (onPreview)
        onPreview(preview);
    return preview.exec() == QDialog::Accepted ? Outcome::done() : Outcome::stopped();
}

Outcome PreviewReportPrinter::savePdf(const ReportDocument &document, const QString &hostPath,
                                      const QString &shownPath)
{
    return ReportPaint::savePdf(document, frmPrintSceneryList::fontFamily(), hostPath, shownPath);
}

// ---- PrintSceneryListView ------------------------------------------------------------------

PrintSceneryListView::PrintSceneryListView(frmPrintSceneryList &form, QWidget *parent)
    : QDialog(parent), m_form(form), m_printer(this, [&form] { form.cmdSavePdf_Click(); })
{
    setWindowTitle(frmPrintSceneryList::caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_form.setPrinter(&m_printer);

    auto *layout = new QHBoxLayout(this);
    auto *side = new QVBoxLayout;
    layout->addLayout(side);

    auto *columnsLabel = new QLabel(tr("C&olumns (double click: width):"), this);
    side->addWidget(columnsLabel);
    m_columns = new QListWidget(this);
    m_columns->setObjectName(QStringLiteral("lstColumns"));
    columnsLabel->setBuddy(m_columns);
    for (int i = 0; i < m_form.lstColumns.size(); ++i) {
        auto *item = new QListWidgetItem(m_columns);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        showColumn(i);
    }
    m_columns->setMinimumWidth(m_columns->sizeHintForColumn(0) + 48);
    side->addWidget(m_columns, 1);

    auto *filterGroup = new QGroupBox(tr("Simulator"), this);
    auto *filterLayout = new QGridLayout(filterGroup);
    for (int bit = 0; bit < SceneryListReport::FilterBoxCount; ++bit) {
        auto *box = new QCheckBox(SceneryListReport::filterBoxCaption(bit), filterGroup);
        box->setObjectName(QStringLiteral("chkFilter%1").arg(bit));
        box->setChecked(m_form.chkFilter.at(size_t(bit)));
        filterLayout->addWidget(box, bit / 2, bit % 2);
        m_filter.at(size_t(bit)) = box;
        connect(box, &QCheckBox::toggled, this,
                [this, bit](bool on) { m_form.chkFilter.at(size_t(bit)) = on; });
    }
    side->addWidget(filterGroup);

    auto *main = new QVBoxLayout;
    layout->addLayout(main, 1);
    m_preview = new QPlainTextEdit(this);
    m_preview->setObjectName(QStringLiteral("txtPreview"));
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_preview->setFont(ReportPaint::reportFont(frmPrintSceneryList::fontFamily(), 9));
    m_preview->setMinimumSize(560, 360);
    main->addWidget(m_preview, 1);

    auto *buttons = new QDialogButtonBox(this);
    const auto addButton = [&](const QString &name, const QString &caption,
                               QDialogButtonBox::ButtonRole role) {
        QPushButton *button = buttons->addButton(caption, role);
        button->setObjectName(name);
        button->setAutoDefault(false);
        return button;
    };
    QPushButton *refresh =
        addButton(QStringLiteral("cmdRefresh"), tr("&Refresh"), QDialogButtonBox::ActionRole);
    QPushButton *print = addButton(QStringLiteral("cmdPrint"), tr("&Print..."), QDialogButtonBox::ActionRole);
    QPushButton *pdf =
        addButton(QStringLiteral("cmdSavePdf"), tr("Save as P&DF..."), QDialogButtonBox::ActionRole);
    QPushButton *close = addButton(QStringLiteral("cmdClose"), tr("&Close"), QDialogButtonBox::RejectRole);
    refresh->setDefault(true);
    main->addWidget(buttons);

    connect(m_columns, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        const int row = m_columns->row(item);
        if (row >= 0 && row < m_form.lstColumns.size())
            m_form.lstColumns[row].checked = item->checkState() == Qt::Checked;
    });
    connect(m_columns, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        const int row = m_columns->row(item);
        m_form.lstColumns_DblClick(row);
        showColumn(row);
    });
    connect(refresh, &QPushButton::clicked, this, [this] {
        m_form.cmdRefresh_Click();
        // The editor keeps its lines with bare line feeds.
        m_preview->setPlainText(
            QString(m_form.txtPreview).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    });
    connect(print, &QPushButton::clicked, this, [this] { m_form.cmdPrint_Click(); });
    connect(pdf, &QPushButton::clicked, this, [this] { m_form.cmdSavePdf_Click(); });
    connect(close, &QPushButton::clicked, this, &PrintSceneryListView::reject);
    resize(980, 600);
}

PrintSceneryListView::~PrintSceneryListView()
{
    m_form.setPrinter(nullptr);
}

void PrintSceneryListView::showColumn(int index)
{
    QListWidgetItem *item = m_columns->item(index);
    if (!item)
        return;
    const QSignalBlocker blocker(m_columns);
    item->setText(m_form.lstColumns.at(index).text);
    item->setCheckState(m_form.lstColumns.at(index).checked ? Qt::Checked : Qt::Unchecked);
}

void PrintSceneryListView::reject()
{
    m_form.cmdClose_Click();
    QDialog::reject();
}
