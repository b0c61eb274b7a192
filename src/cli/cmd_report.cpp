// report: the scenery list report, as the report dialog's preview shows it or as printed pages.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "reports/frmprintscenerylist.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace SceneryListReport;

namespace {

ReportPdfWriter &pdfWriter()
{
    static ReportPdfWriter writer;
    return writer;
}

// A run without --columns lists what a reader usually wants to know of each scenery.
const QString DefaultColumns = QStringLiteral("Title,Sim,Type,Author,Version,Level");

// Checks the columns named ("Title" or "Title:30"), each at its width. Refused with the reason
// for a name that is no column or a width that is no whole number from 0 to the largest.
Outcome chooseColumns(frmPrintSceneryList &report, const QString &list)
{
    for (const QString &part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = part.section(QLatin1Char(':'), 0, 0).trimmed();
        const ColumnDef *def = findColumn(name);
        if (!def)
            return Outcome::refused(QStringLiteral("there is no column \"%1\".").arg(name));
        const int index = int(def - columns().data());
        report.lstColumns[index].checked = true;
        if (!part.contains(QLatin1Char(':')))
            continue;
        const QString width = part.section(QLatin1Char(':'), 1).trimmed();
        bool whole = false;
        const int value = width.toInt(&whole);
        if (!whole || value < 0 || value > frmPrintSceneryList::MaxWidth)
            return Outcome::refused(QStringLiteral("the width of \"%1\" must be a whole number from 0 to %2, "
                                                   "not \"%3\".")
                                        .arg(name)
                                        .arg(frmPrintSceneryList::MaxWidth)
                                        .arg(width));
        report.setColumnWidth(index, width);
    }
    return Outcome::done();
}

// The version boxes from a number 0..63 or from the boxes' names ("FS2K,FS2K2").
Outcome chooseFilter(frmPrintSceneryList &report, const QString &mask)
{
    bool numeric = false;
    const int value = mask.toInt(&numeric);
    if (numeric) {
        if (value < 0 || value >= (1 << FilterBoxCount))
            return Outcome::refused(QStringLiteral("the filter mask must be 0 to 63, not %1.").arg(value));
        for (int bit = 0; bit < FilterBoxCount; ++bit)
            report.chkFilter.at(size_t(bit)) = (value & (1 << bit)) != 0;
        return Outcome::done();
    }
    for (const QString &part : mask.split(QRegularExpression(QStringLiteral("[,+]")), Qt::SkipEmptyParts)) {
        int bit = 0;
        while (bit < FilterBoxCount &&
               filterBoxCaption(bit).compare(part.trimmed(), Qt::CaseInsensitive) != 0)
            ++bit;
        if (bit == FilterBoxCount)
            return Outcome::refused(QStringLiteral("\"%1\" names no simulator version (FS95, FS98, FS2K, "
                                                   "FS2K2, CFS, CFS2).")
                                        .arg(part.trimmed()));
        report.chkFilter.at(size_t(bit)) = true;
    }
    return Outcome::done();
}

} // namespace

void setReportPdfWriter(ReportPdfWriter writer)
{
    pdfWriter() = std::move(writer);
}

void setupReport(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        QStringLiteral("columns"),
        QStringLiteral("The columns, each at its default width or at the width given; they are printed in "
                       "the report's column order (default: %1).")
            .arg(DefaultColumns),
        QStringLiteral("NAME[:WIDTH],...")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("filter"),
        QStringLiteral("The simulator versions listed: a number 0..63 (1 FS95, 2 FS98, 4 FS2K, 8 FS2K2, "
                       "16 CFS, 32 CFS2) or names such as FS2K,FS2K2. 0, the default, lists the sceneries "
                       "without any version."),
        QStringLiteral("MASK")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("pdf"),
        QStringLiteral("Write the printed pages to this PDF file instead (only in a build with the "
                       "graphical program)."),
        QStringLiteral("FILE")));
}

int runReport(CliCommandRun &run)
{
    if (!run.args.positionalArguments().isEmpty()) {
        run.err << QStringLiteral("lumivale-cli report: takes no arguments (see --help).") << Qt::endl;
        return CliUsageError;
    }
    const bool toPdf = run.args.isSet(QStringLiteral("pdf"));
    if (toPdf && !pdfWriter()) {
        run.err << QStringLiteral("lumivale-cli report: --pdf needs Qt Gui, and this build has no graphical "
                                  "program; leave --pdf out for the report as text.")
                << Qt::endl;
        return CliUsageError;
    }

    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    frmPrintSceneryList report(library.manager(), session.context());
    Outcome chosen = chooseColumns(report, run.args.isSet(QStringLiteral("columns"))
                                               ? run.args.value(QStringLiteral("columns"))
                                               : DefaultColumns);
    if (chosen.isDone() && run.args.isSet(QStringLiteral("filter")))
        chosen = chooseFilter(report, run.args.value(QStringLiteral("filter")));
    if (!chosen.isDone()) {
        run.err << QStringLiteral("lumivale-cli report: ") << chosen.reason() << Qt::endl;
        return CliUsageError;
    }

    library.load();
    const ReportDocument document = report.document();
    if (toPdf) {
        const QString file = QFileInfo(run.args.value(QStringLiteral("pdf"))).absoluteFilePath();
        const Outcome written = pdfWriter()(document, file);
        if (!written.isDone())
            throw written.error();
        run.err << QStringLiteral("Wrote %1 (%2 sceneries).").arg(file).arg(document.rows.size()) << Qt::endl;
        return 0;
    }
    run.out << document.header << QLatin1Char('\n') << document.underline << QLatin1Char('\n');
    for (const QString &row : document.rows)
        run.out << row << QLatin1Char('\n');
    return 0;
}
