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
        QStringLiteral("Answer Yes to \"Do you want to update existing sceneries as well?\" (as --yes does): "
                       "sceneries the library already knows take the file's Active, Required and local "
                       "folder, and its remote folder when it has one.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("force-save"),
        QStringLiteral("Save even when the library files were read with errors: what could not be read is "
                       "then lost from them (their .backup copies are kept as they are).")));
}

namespace {

// Why a library read with errors is not saved, naming each place that could not be read.
QString damagedText(const Problems &problems)
{
    QStringList files;
    for (const Problem &p : problems) {
        if (!files.contains(p.file))
            files << p.file;
    }
    return QStringLiteral(
               "the library was read with errors, and saving it now would replace %1 with the part "
               "that could be read:\n%2\nNothing saved. Repair the file (the .backup copy beside it "
               "holds its previous state), or run the command again with --force-save.")
        .arg(files.join(QStringLiteral(", ")), describeProblems(problems));
}

} // namespace

int runImport(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    if (arguments.size() > 1) {
        run.err << QStringLiteral("lumivale-cli import: give at most one file (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliSession &session = run.session();
    session.lockLibrary();
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

    const Problems damaged = library.load();
    if (!damaged.isEmpty() && !run.args.isSet(QStringLiteral("force-save")))
        throw CliFailure{damagedText(damaged)};
    const qsizetype before = manager.colScenery.count();

    // Emptying the library after a failed save would lose what could not be written.
    if (!library.save().isDone())
        return 1;
    const bool isNew = library.reload();
    const qsizetype reloaded = manager.colScenery.count();
    // The window's question, answered by --update-existing (or --yes).
    const QString question = QStringLiteral("Update from Scenery.cfg");
    if (run.args.isSet(QStringLiteral("update-existing")))
        run.ui().setAnswerFor(question, UiPort::Answer::Yes);
    const bool updateExisting =
        run.ui().askYesNo(QStringLiteral("Do you want to update existing sceneries as well?"), question,
                          UiPort::Icon::Question);
    // Problems on single lines are shown and read past; a file that cannot be read at all is not
    // imported.
    const Outcome read = manager.readCFG(file, updateExisting);
    const qsizetype after = manager.colScenery.count();
    library.rebuild(isNew);
    library.commitChecksToCurrent();
    // The window keeps the new areas in memory until it is closed; a command ends here, so the
    // result is saved now or it would be lost.
    const Outcome saved = library.save();
    if (!read.isDone() || !saved.isDone())
        return 1;

    run.out << QStringLiteral("Imported %1: %2 sceneries before, %3 after, %4 new areas.\n")
                   .arg(file)
                   .arg(before)
                   .arg(after)
                   .arg(after - reloaded);
    return 0;
}
