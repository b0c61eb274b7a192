// filelist: the file list ("LumivaleFileList.db") in a scenery's folder, made new or shown.

#include "app/filelistpanel.h"
#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "platform/winpath.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

void print(CliCommandRun &run, const FileList &entries)
{
    if (run.args.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const FileListEntry &entry : entries) {
            array.append(QJsonObject{{QStringLiteral("file"), entry.File},
                                     {QStringLiteral("destination"), entry.Destination},
                                     {QStringLiteral("source"), entry.Source}});
        }
        run.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return;
    }
    for (const FileListEntry &entry : entries)
        run.out << entry.File << QLatin1Char('\t') << entry.Destination << QLatin1Char('\t') << entry.Source
                << QLatin1Char('\n');
}

int create(CliCommandRun &run, CliLibrary &library, const clsScenery &scenery)
{
    const QString title = QStringLiteral("Can not create new file list");
    if (scenery.LocalPath.isEmpty()) {
        run.ui().inform(QStringLiteral("Please choose a local path first."), title);
        return CliRefused;
    }
    const QString folder = library.manager().getRealPath(scenery.LocalPath);
    if (!run.session().fs().folderExists(folder)) {
        run.ui().inform(QStringLiteral("The folder %1 does not exist.").arg(folder), title);
        return CliRefused;
    }
    FileList entries;
    const Outcome outcome = FileListPanel::create(run.session().fs(), folder, scenery, entries);
    if (outcome.isFailed())
        throw outcome.error();
    print(run, entries);
    return 0;
}

int show(CliCommandRun &run, CliLibrary &library, const clsScenery &scenery)
{
    FileListReader reader(run.session().fs());
    if (!scenery.LocalPath.isEmpty()) {
        const QString file =
            WinPath::join(library.manager().getRealPath(scenery.LocalPath), FileListFile::FileName);
        const Outcome outcome = reader.read(file);
        if (outcome.isFailed())
            throw outcome.error();
        if (!reader.found())
            run.err
                << QStringLiteral("lumivale-cli filelist: %1 has no file list (%2).").arg(scenery.Title, file)
                << Qt::endl;
    }
    print(run, reader.entries());
    return 0;
}

} // namespace

void setupFileList(QCommandLineParser &parser)
{
    parser.addOption(
        QCommandLineOption(QStringLiteral("json"),
                           QStringLiteral("show: print one JSON array of {file, destination, source}.")));
    parser.addPositionalArgument(
        QStringLiteral("action"),
        QStringLiteral("create: make the scenery's file list new from every file below its "
                       "folder. show: print its entries (file, destination, source)."),
        QStringLiteral("create|show"));
    parser.addPositionalArgument(QStringLiteral("title"), QStringLiteral("The scenery's title."),
                                 QStringLiteral("TITLE"));
}

int runFileList(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    const QString action = arguments.value(0);
    if (arguments.size() != 2 || (action != QLatin1String("create") && action != QLatin1String("show"))) {
        run.err << QStringLiteral("lumivale-cli filelist: takes create TITLE or show TITLE (see --help).")
                << Qt::endl;
        return CliUsageError;
    }
    CliLibrary library(run.session(), run.options.simType);
    library.load();
    const SceneryPtr scenery = library.scenery(arguments.at(1));
    return action == QLatin1String("create") ? create(run, library, *scenery) : show(run, library, *scenery);
}
