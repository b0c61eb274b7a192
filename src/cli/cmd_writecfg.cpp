// write-cfg: a new Scenery.cfg for the simulator from the named sets, as the create-scenery wizard
// writes it, with the wizard's fields given as options.

#include "backup/backupmanager.h"
#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "scenerycfg/frmselectsets.h"
#include "sims/location.h"
#include "tree/librarytree.h"

namespace {

// The question CreateCFG asks before it writes, answered Yes when --backup names a backup.
const QString BackupQuestionTitle = QStringLiteral("Creating new Scenery.CFG");

QString defaultTitle(qint32 simType)
{
    switch (simType) {
    case 0:
        return QStringLiteral("FS2000 World");
    case 2:
        return QStringLiteral("CFS2 World");
    default:
        return QStringLiteral("FS2002 World");
    }
}

} // namespace

void setupWriteCfg(QCommandLineParser &parser)
{
    parser.addPositionalArgument(
        QStringLiteral("SET"),
        QStringLiteral("Sets whose sceneries are written, in this order; \"(Current)\" "
                       "is the simulator's present Scenery.cfg."),
        QStringLiteral("SET..."));
    parser.addOption(QCommandLineOption(QStringLiteral("cache-size"),
                                        QStringLiteral("Cache_Size in megabytes (default 50, at least 10)."),
                                        QStringLiteral("N"), QStringLiteral("50")));
    parser.addOption(
        QCommandLineOption(QStringLiteral("clean-on-exit"), QStringLiteral("Clean_on_Exit=TRUE.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("title"),
        QStringLiteral("[General] title (default \"FS2000 World\", \"FS2002 World\" or \"CFS2 World\")."),
        QStringLiteral("T")));
    parser.addOption(
        QCommandLineOption(QStringLiteral("description"),
                           QStringLiteral("[General] description (default \"Lumivale 1.6 Created "
                                          "World\")."),
                           QStringLiteral("D")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("flight"),
        QStringLiteral(
            "Start the simulator with this saved flight (see \"lumivale-cli flights\"): the "
            "SITUATION line of FS2000.cfg or FS2002.cfg is rewritten, the old file kept as .backup."),
        QStringLiteral("NAME")));
    parser.addOption(
        QCommandLineOption(QStringLiteral("backup"),
                           QStringLiteral("First back up the simulator's files as NAME in the backup "
                                          "folder."),
                           QStringLiteral("NAME")));
}

int runWriteCfg(CliCommandRun &run)
{
    const QStringList sets = run.args.positionalArguments();
    if (sets.isEmpty()) {
        run.err << QStringLiteral("lumivale-cli write-cfg: name at least one set (see --help).") << Qt::endl;
        return CliUsageError;
    }
    bool numeric = false;
    qint32 cacheSize = run.args.value(QStringLiteral("cache-size")).toInt(&numeric);
    if (!numeric) {
        run.err << QStringLiteral(
                       "lumivale-cli write-cfg: --cache-size takes a whole number of megabytes, not \"")
                << run.args.value(QStringLiteral("cache-size")) << QStringLiteral("\".") << Qt::endl;
        return CliUsageError;
    }

    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    library.requireCertainSimulator();
    library.load();
    SceneryManager &manager = library.manager();

    QStringList unknown;
    QString strSet;
    for (const QString &name : sets) {
        if (!library.set(name))
            unknown << QLatin1Char('"') + name + QLatin1Char('"');
        strSet += name + QStringLiteral("\r\n");
    }
    if (!unknown.isEmpty())
        throw CliFailure{QStringLiteral("no set %1; nothing written (see \"lumivale-cli sets\").")
                             .arg(unknown.join(QStringLiteral(", ")))};
    // A set holds the sceneries of one simulator; written into another one's file, it names folders
    // that simulator does not have.
    for (const QString &name : sets) {
        const CfgPtr set = library.set(name);
        if (name == LibraryNames::CurrentSet || set->Cache_Size == manager.SimType)
            continue;
        const QString owner = Location::simulatorName(set->Cache_Size);
        throw CliFailure{QStringLiteral("the set \"%1\" belongs to %2, not to %3; nothing written.")
                             .arg(name,
                                  owner.isEmpty()
                                      ? QStringLiteral("no simulator (number %1)").arg(set->Cache_Size)
                                      : owner + QStringLiteral(" (--sim %1)").arg(set->Cache_Size),
                                  Location::simulatorName(manager.SimType))};
    }

    // The start flight is checked before anything is written, so that a wrong one changes nothing.
    const QString flight = run.args.value(QStringLiteral("flight"));
    if (run.args.isSet(QStringLiteral("flight"))) {
        if (manager.SimType == 2) {
            run.err << QStringLiteral(
                           "lumivale-cli write-cfg: Combat Flight Simulator 2 has no start flight to "
                           "set; nothing written.")
                    << Qt::endl;
            return CliUsageError;
        }
        const QStringList flights = StartFlight::flights(session.fs(), manager.FSPath(), manager.SimType);
        if (!flights.contains(flight)) {
            run.err << QStringLiteral(
                           "lumivale-cli write-cfg: no saved flight \"%1\" in %2 (see \"lumivale-cli "
                           "flights\"); nothing written.")
                           .arg(flight, manager.FSPath() + StartFlight::flightFolder(manager.SimType))
                    << Qt::endl;
            return CliUsageError;
        }
        const QString simulatorCfg = manager.FSPath() + StartFlight::simulatorCfg(manager.SimType);
        if (!session.fs().fileExists(simulatorCfg))
            throw CliFailure{
                QStringLiteral("%1 does not exist, so the start flight cannot be set; nothing written.")
                    .arg(simulatorCfg)};
    }

    const QString title = run.args.isSet(QStringLiteral("title")) ? run.args.value(QStringLiteral("title"))
                                                                  : defaultTitle(manager.SimType);
    const QString description = run.args.isSet(QStringLiteral("description"))
                                    ? run.args.value(QStringLiteral("description"))
                                    : QStringLiteral("Lumivale 1.6 Created World");

    CliUi &ui = run.ui();
    const bool withBackup = run.args.isSet(QStringLiteral("backup"));
    QString backupFile;
    BackupManager &backup = library.backup();
    if (withBackup) {
        const QString name = run.args.value(QStringLiteral("backup"));
        if (name.isEmpty())
            throw CliFailure{QStringLiteral("--backup needs a name; nothing written.")};
        ui.setAnswerFor(BackupQuestionTitle, UiPort::Answer::Yes);
        ui.presetNextInput(name);
        backupFile = backup.backupRoot() + BackupManager::backupFileName(name);
    }

    library.libraryTree().UndisplayAllTree();
    const Outcome outcome =
        manager.CreateCFG(strSet, library.tree().keysInWalkOrder(), cacheSize,
                          run.args.isSet(QStringLiteral("clean-on-exit")), title, description);
    switch (outcome.kind()) {
    case Outcome::Kind::Refused:
        return CliRefused;
    case Outcome::Kind::Stopped: // the backup asked for could not be made without --yes
    case Outcome::Kind::Failed:
        return 1;
    case Outcome::Kind::Done:
        break;
    }

    if (!flight.isEmpty()) {
        const Outcome situation =
            StartFlight::setSituation(session.fs(), manager.FSPath(), manager.SimType, flight);
        if (!situation.isDone()) {
            run.err << QStringLiteral(
                           "lumivale-cli write-cfg: the Scenery.cfg was written, but the start flight "
                           "was not set: %1")
                           .arg(situation.isRefused() ? situation.reason() : situation.error().description())
                    << Qt::endl;
            return 1;
        }
    }

    const QString written = manager.FSPath() + QStringLiteral("\\Scenery.CFG");
    int areas = 0;
    for (const QString &line : session.fs().readLines(written)) {
        if (line.startsWith(QLatin1String("[Area."), Qt::CaseInsensitive))
            ++areas;
    }
    run.out << QStringLiteral("Wrote %1: %2 areas from %3.\n")
                   .arg(written)
                   .arg(areas)
                   .arg(sets.join(QStringLiteral(", ")));
    if (!flight.isEmpty())
        run.out << QStringLiteral("Start flight: %1\n").arg(flight);
    if (withBackup) {
        // An archive of nothing is not written, so an empty list leaves no backup file.
        if (!backup.backupList().isEmpty())
            run.out << QStringLiteral("Backup: %1\n").arg(backupFile);
        else
            run.err << QStringLiteral("lumivale-cli write-cfg: the backup file list %1 names no files, so no "
                                      "%2 was made; Scenery.CFG.Backup holds the previous Scenery.CFG.")
                           .arg(backup.backupListPath(), backupFile)
                    << Qt::endl;
    }
    return 0;
}
