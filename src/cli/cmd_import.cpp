// import: the library brought in line with a Scenery.cfg, as "Update from Scenery.cfg" does, with
// the file and the answer to its question given on the command line.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"

#include <QFileInfo>

void setupImport(QCommandLineParser &parser)
{
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("The Scenery.cfg to read: a path on this machine or a Windows "
                       "path (C:\\FS2002\\Scenery.cfg). Default: the simulator's own."),
        QStringLiteral("[FILE]"));
    parser.addOption(QCommandLineOption(
        QStringLiteral("update-existing"),
        QStringLiteral("Sceneries the library already knows take the file's Active, Required and local "
                       "folder, and its remote folder when it has one.")));
}

int runImport(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    if (arguments.size() > 1) {
        run.err << QStringLiteral("lumivale-cli import: give at most one file (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    library.requireCertainSimulator();
    SceneryManager &manager = library.manager();

    // The file is settled before anything is saved: a wrong name must leave the library alone.
    QString file;
    if (!arguments.isEmpty()) {
        const QString given = arguments.first();
        const QFileInfo host(given);
        if (host.isFile())
            file = session.fs().toWindows(host.absoluteFilePath());
        else if (session.fs().fileExists(given))
            file = given;
        else
            throw CliFailure{QStringLiteral("\"%1\" is no file.").arg(given)};
    }

    library.load();
    const qsizetype before = manager.colScenery.count();

    CliUi &ui = run.ui();
    qsizetype mark = ui.shown().size();
    library.save();
    // Emptying the library after a failed save would lose what could not be written.
    if (ui.failureShownSince(mark, QStringLiteral("SceneryManager.saveDB")))
        return 1;
    const bool isNew = library.reload();
    const qsizetype reloaded = manager.colScenery.count();
    mark = ui.shown().size();
    manager.readCFG(file, run.args.isSet(QStringLiteral("update-existing")));
    const bool readFailed = ui.failureShownSince(mark, QStringLiteral("SceneryManager.readCFG"));
    const qsizetype after = manager.colScenery.count();
    library.rebuild(isNew);
    library.commitChecksToCurrent();
    // The window keeps the new areas in memory until it is closed; a command ends here, so the
    // result is saved now or it would be lost. What a failed reading took in before it stopped is
    // kept, as the window would keep it.
    mark = ui.shown().size();
    library.save();
    if (readFailed || ui.failureShownSince(mark, QStringLiteral("SceneryManager.saveDB")))
        return 1;

    run.out << QStringLiteral("Imported %1: %2 sceneries before, %3 after, %4 new areas.\n")
                   .arg(file)
                   .arg(before)
                   .arg(after)
                   .arg(after - reloaded);
    return 0;
}
