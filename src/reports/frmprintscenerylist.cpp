#include "reports/frmprintscenerylist.h"

#include "library/scenerymanager.h"
#include "platform/errorreporter.h"

#include <cmath>

using namespace SceneryListReport;

namespace {

const QString CrLf = QStringLiteral("\r\n");

} // namespace

frmPrintSceneryList::frmPrintSceneryList(const SceneryManager &manager, AppContext &context)
    : m_manager(manager), m_context(context), m_ui(context.ui)
{
    Form_Load();
}

void frmPrintSceneryList::Form_Load()
{
    lstColumns.clear();
    for (const ColumnDef &def : columns())
        lstColumns.append({QString::number(def.defaultWidth) + QLatin1Char(':') + def.name, false});
    chkFilter.fill(false);
    txtPreview.clear();
    visible = true;
}

QString frmPrintSceneryList::columnName(int index) const
{
    const QString &text = lstColumns.at(index).text;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return colon < 0 ? text : text.mid(colon + 1);
}

int frmPrintSceneryList::columnWidth(int index) const
{
    const QString &text = lstColumns.at(index).text;
    bool numeric = false;
    const int width = text.section(QLatin1Char(':'), 0, 0).toInt(&numeric);
    return numeric ? width : int(columnName(index).size());
}

Align frmPrintSceneryList::columnAlign(int index) const
{
    return columns()[size_t(index)].align;
}

int frmPrintSceneryList::filterMask() const
{
    int mask = 0;
    for (int bit = 0; bit < FilterBoxCount; ++bit) {
        if (chkFilter.at(size_t(bit)))
            mask += 1 << bit;
    }
    return mask;
}

QString frmPrintSceneryList::GetHeader() const
{
    QString header;
    for (int i = 0; i < lstColumns.size(); ++i) {
        if (lstColumns.at(i).checked)
            header += formatCell(columnName(i), columnWidth(i), Align::Left);
    }
    return header;
}

QString frmPrintSceneryList::underline() const
{
    return QString(GetHeader().size(), QLatin1Char('-'));
}

QString frmPrintSceneryList::GetLine(const clsScenery &scenery) const
{
    QString line;
    for (int i = 0; i < lstColumns.size(); ++i) {
        if (lstColumns.at(i).checked)
            line += formatCell(cellValue(columns()[size_t(i)].column, scenery, m_manager.dicCFGs),
                               columnWidth(i), columnAlign(i));
    }
    return line;
}

ReportDocument frmPrintSceneryList::document() const
{
    ReportDocument doc;
    doc.title = caption();
    doc.header = GetHeader();
    doc.underline = QString(doc.header.size(), QLatin1Char('-'));
    const int mask = filterMask();
    for (const SceneryPtr &scenery : m_manager.colScenery) {
        m_ui.processEvents();
        if (bCheckPrint(scenery->FlySim, mask))
            doc.rows.append(GetLine(*scenery));
    }
    return doc;
}

void frmPrintSceneryList::cmdRefresh_Click()
{
    BusyPointer busy(m_ui);
    const ReportDocument doc = document();
    QString text = doc.header + CrLf + doc.underline + CrLf;
    for (const QString &row : doc.rows)
        text += row + CrLf;
    txtPreview = text;
}

Outcome frmPrintSceneryList::cmdPrint_Click()
{
    if (!m_printer)
        return Outcome::refused(QStringLiteral("No printer is available."));
    ReportDocument doc;
    {
        BusyPointer busy(m_ui);
        doc = document();
    }
    return m_printer->print(doc);
}

Outcome frmPrintSceneryList::cmdSavePdf_Click()
{
    if (!m_printer)
        return Outcome::refused(QStringLiteral("No printer is available."));
    UiPort::FileChooser chooser;
    chooser.title = QStringLiteral("Save as PDF");
    chooser.filter = QStringLiteral("PDF files|*.pdf");
    chooser.fileName = QStringLiteral("Scenery list.pdf");
    chooser.save = true;
    const std::optional<QString> file = m_ui.chooseFile(chooser);
    if (!file)
        return Outcome::stopped();
    QString shown = *file;
    if (!shown.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        shown += QStringLiteral(".pdf");
    ReportDocument doc;
    {
        BusyPointer busy(m_ui);
        doc = document();
    }
    Outcome outcome = m_printer->savePdf(doc, m_context.fs.toHost(shown), shown);
    if (outcome.kind() == Outcome::Kind::Failed)
        reportError(m_ui, QStringLiteral(".cmdSavePdf_Click"), outcome.error());
    return outcome;
}

bool frmPrintSceneryList::setColumnWidth(int index, const QString &answer)
{
    bool numeric = false;
    const double value = answer.trimmed().toDouble(&numeric);
    if (!numeric || !std::isfinite(value))
        return false;
    const double whole = std::trunc(value);
    if (whole < 0 || whole > MaxWidth)
        return false;
    lstColumns[index].text = QString::number(int(whole)) + QLatin1Char(':') + columnName(index);
    return true;
}

void frmPrintSceneryList::lstColumns_DblClick(int index)
{
    if (index < 0 || index >= lstColumns.size())
        return;
    const QString answer = m_ui.input(QStringLiteral("Insert length of column"),
                                      QStringLiteral("Set column length"), QStringLiteral("1"));
    setColumnWidth(index, answer);
}
