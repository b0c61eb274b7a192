// check: what the simulator would stumble over, for the whole library or for the sets that would
// be written; exit 4 when anything is found.

#include "checks/frmchecklibrary.h"
#include "checks/librarycheck.h"
#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "tree/tree.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A string as JSON writes it, quotes included.
QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// One object per line, its members in the order a reader expects them.
void printJson(QTextStream &out, const QList<CheckFinding> &findings)
{
    if (findings.isEmpty()) {
        out << "[]\n";
        return;
    }
    out << "[\n";
    for (qsizetype i = 0; i < findings.size(); ++i) {
        const CheckFinding &f = findings.at(i);
        out << QStringLiteral("  {\"kind\": %1, \"key\": %2, \"title\": %3, \"detail\": %4}")
                   .arg(jsonString(f.kind), jsonString(f.key), jsonString(f.title), jsonString(f.detail))
            << (i + 1 < findings.size() ? ",\n" : "\n");
    }
    out << "]\n";
}

void printText(QTextStream &out, const QList<CheckFinding> &findings)
{
    for (const CheckFinding &f : findings) {
        out << frmCheckLibrary::kindCaption(f.kind) << ": " << f.title;
        if (!f.key.isEmpty())
            out << " (" << f.key << ')';
        out << " - " << f.detail << '\n';
    }
    out << (findings.isEmpty() ? QStringLiteral("Nothing found.")
                               : QStringLiteral("%1 finding(s).").arg(findings.size()))
        << '\n';
}

} // namespace

void setupCheck(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(QStringLiteral("json"),
                                        QStringLiteral("Print the findings as one JSON array of "
                                                       "{\"kind\", \"key\", \"title\", \"detail\"}.")));
    parser.addOption(QCommandLineOption(QStringLiteral("set"),
                                        QStringLiteral("Check the sceneries this set would write "
                                                       "(repeatable: the sets as one selection)."),
                                        QStringLiteral("S")));
}

int runCheck(CliCommandRun &run)
{
    const QStringList sets = run.args.values(QStringLiteral("set"));
    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    library.load();

    QStringList unknown;
    for (const QString &name : sets) {
        if (!library.set(name))
            unknown << QLatin1Char('"') + name + QLatin1Char('"');
    }
    if (!unknown.isEmpty())
        throw CliFailure{
            QStringLiteral("no set %1 (see \"lumivale-cli sets\").").arg(unknown.join(QStringLiteral(", ")))};

    LibraryCheck check(library.manager(), session.fs());
    const QList<CheckFinding> findings = check.run(library.tree().keysInWalkOrder(), sets);
    if (run.args.isSet(QStringLiteral("json")))
        printJson(run.out, findings);
    else
        printText(run.out, findings);
    return findings.isEmpty() ? 0 : CliFindings;
}
