// pack: a scenery's zip file, packed from its file list.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "install/filelistfile.h"
#include "library/scenerymanager.h"
#include "packaging/sceneryzip.h"

#include <QFileInfo>

void setupPack(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("TITLE"), QStringLiteral("The scenery's title."));
    parser.addPositionalArgument(
        QStringLiteral("OUT"),
        QStringLiteral("The zip file to write, as given (no extension is added); a file of that name is "
                       "replaced once the new one is complete."));
}

int runPack(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    if (arguments.size() != 2) {
        run.err << QStringLiteral("lumivale-cli pack: TITLE OUT.zip (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    library.load();
    const SceneryPtr scenery = library.scenery(arguments.first(), true);

    const QString listFile = SceneryZip::fileListPath(library.manager(), *scenery);
    FileListReader list(session.fs());
    const Outcome read = list.read(listFile);
    if (read.isFailed())
        throw read.error();
    if (list.entries().isEmpty())
        throw CliFailure{QStringLiteral("%1 names no file to pack; make the file list first "
                                        "(\"lumivale-cli filelist create TITLE\").")
                             .arg(listFile)};

    // Windows path text is taken as it is, anything else as a path of this machine.
    const QString given = arguments.at(1);
    const bool windowsText =
        (given.size() >= 2 && given.at(1) == u':') || given.startsWith(QStringLiteral("\\\\"));
    const QString archive = windowsText ? given : session.fs().toWindows(QFileInfo(given).absoluteFilePath());
    const QString folder = library.manager().getRealPath(scenery->LocalPath);
    const Outcome outcome = SceneryZip::pack(session.context(), list.entries(), folder, archive);
    if (outcome.isFailed())
        throw outcome.error();
    if (outcome.isStopped()) {
        run.err << QStringLiteral(
                       "lumivale-cli pack: stopped, nothing written (--yes packs files of long paths).")
                << Qt::endl;
        return CliRefused;
    }
    for (const FileListEntry &entry : list.entries())
        run.out << entry.Source << QLatin1Char('\n');
    run.out << QStringLiteral("Packed %1 files into %2\n").arg(list.entries().size()).arg(archive);
    return 0;
}
