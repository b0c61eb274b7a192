// install: a scenery brought into the library as "Add Scenery" does, from an installed folder, a
// source folder or a zip file; the questions the installation asks are answered by --yes.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "install/sceneryinstaller.h"
#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "settings/programsettings.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

void setupInstall(QCommandLineParser &parser)
{
    const auto option = [&parser](const char *name, const char *text, const char *value = nullptr) {
        parser.addOption(value ? QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(text),
                                                    QString::fromLatin1(value))
                               : QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(text)));
    };
    option("title", "The new scenery's title (required).", "T");
    option("installed", "Register a scenery folder that is installed already.", "FOLDER");
    option("from-folder", "Copy the files of a source folder into --dest, each by its name.", "SRC");
    option("archive", "Extract a zip file into --dest.", "ZIP");
    option("dest", "The new scenery folder (with --from-folder and --archive).", "DEST");
    option("mode",
           "How an archive's files are placed: auto (by their names), winzip (the archive's own "
           "folders), filelist (by the LumivaleFileList.db inside). Default: filelist when the archive "
           "holds one, else winzip when it has a \"scenery\" folder, else auto.",
           "auto|winzip|filelist");
    option("sub-zips", "auto mode: extract the zip files it places, each into a folder of its name.");
    option("json", "Print one JSON object.");
}

namespace {

// A path as given: a host path that exists, else Windows path text; a host path of a folder still
// to be made is taken as a host path when it does not look like Windows text.
QString windowsPath(CliSession &session, const QString &given)
{
    const bool windowsText =
        (given.size() >= 2 && given.at(1) == u':') || given.startsWith(QStringLiteral("\\\\"));
    if (windowsText)
        return given;
    return session.fs().toWindows(QFileInfo(given).absoluteFilePath());
}

QJsonArray texts(const QStringList &list)
{
    QJsonArray array;
    for (const QString &text : list)
        array.append(text);
    return array;
}

} // namespace

int runInstall(CliCommandRun &run)
{
    const QCommandLineParser &args = run.args;
    const auto usage = [&run](const QString &text) {
        run.err << QStringLiteral("lumivale-cli install: ") << text << QStringLiteral(" (see --help).")
                << Qt::endl;
        return CliUsageError;
    };
    const QStringList ways{QStringLiteral("installed"), QStringLiteral("from-folder"),
                           QStringLiteral("archive")};
    int way = -1;
    for (int i = 0; i < ways.size(); ++i) {
        if (!args.isSet(ways.at(i)))
            continue;
        if (way >= 0)
            return usage(QStringLiteral("give one of --installed, --from-folder and --archive"));
        way = i;
    }
    if (way < 0)
        return usage(QStringLiteral("give one of --installed, --from-folder and --archive"));
    if (!args.isSet(QStringLiteral("title")) || args.value(QStringLiteral("title")).trimmed().isEmpty())
        return usage(QStringLiteral("give the scenery's --title"));
    if (way > 0 && !args.isSet(QStringLiteral("dest")))
        return usage(QStringLiteral("give the new scenery folder with --dest"));
    std::optional<ArchiveMode> mode;
    if (args.isSet(QStringLiteral("mode"))) {
        const QStringList modes{QStringLiteral("auto"), QStringLiteral("winzip"), QStringLiteral("filelist")};
        const qsizetype index = modes.indexOf(args.value(QStringLiteral("mode")));
        if (index < 0 || way != 2)
            return usage(QStringLiteral("--mode takes auto, winzip or filelist, with --archive"));
        mode = ArchiveMode(index);
    }

    CliSession &session = run.session();
    session.lockLibrary();
    CliLibrary library(session, run.options.simType);
    library.requireCertainSimulator();
    SceneryManager &manager = library.manager();
    if (!library.load().isEmpty())
        throw CliFailure{QStringLiteral("the library was read with errors; nothing installed. Repair the "
                                        "library files (their .backup copies hold the previous state).")};

    InstallRequest request;
    request.title = args.value(QStringLiteral("title"));
    request.way = InstallWay(way);
    const QString given = args.value(ways.at(way));
    if (way == 0)
        request.sceneryPath = windowsPath(session, given);
    else
        request.source = windowsPath(session, given);
    request.destination = way > 0 ? windowsPath(session, args.value(QStringLiteral("dest"))) : QString();
    const ProgramSettings settings(session.context().settings, session.context().programFolder());
    request.sceneryPatterns = settings.sceneryFileExt();
    request.texturePatterns = settings.textureFileExt();
    if (way == 2 && session.fs().fileExists(request.source)) {
        request.content = SceneryInstaller::listContent(session.fs(), request.source);
        request.archiveMode = mode.value_or(SceneryInstaller::preselectedMode(request.content));
        request.subZips =
            request.archiveMode == ArchiveMode::Automatic && args.isSet(QStringLiteral("sub-zips"));
    }

    SceneryInstaller installer(session.context(), manager);
    installer.progress = [&run](const QString &file) {
        if (!run.args.isSet(QStringLiteral("json")))
            run.err << file << Qt::endl;
    };
    const Outcome outcome = installer.install(request);
    if (outcome.isRefused())
        return CliRefused;
    if (outcome.isFailed()) {
        reportError(run.ui(), QStringLiteral("lumivale-cli.install"), outcome.error());
        return 1;
    }
    if (!outcome.isDone())
        return 1;
    const SceneryPtr record = installer.record();
    addInstalledScenery(manager, library.tree(), record);
    if (!library.save().isDone())
        return 1;

    if (args.isSet(QStringLiteral("json"))) {
        QJsonArray flatten;
        for (qint16 n = 0; n < clsScenery::FlattenCount; ++n)
            flatten.append(record->Flatten(n));
        QJsonArray files;
        for (const PlacedFile &file : installer.files())
            files.append(QJsonObject{{QStringLiteral("from"), file.from}, {QStringLiteral("to"), file.to}});
        const QJsonObject result{{QStringLiteral("key"), record->Key},
                                 {QStringLiteral("title"), record->Title},
                                 {QStringLiteral("localPath"), record->LocalPath},
                                 {QStringLiteral("exclude"), record->Exclude},
                                 {QStringLiteral("flatten"), flatten},
                                 {QStringLiteral("files"), files},
                                 {QStringLiteral("skipped"), texts(installer.skipped())},
                                 {QStringLiteral("refused"), texts(installer.refused())}};
        run.out << QJsonDocument(result).toJson(QJsonDocument::Indented);
        return 0;
    }
    run.out << QStringLiteral("Installed \"%1\" as %2 in %3\n")
                   .arg(record->Title, record->Key, record->LocalPath);
    for (const PlacedFile &file : installer.files())
        run.out << QStringLiteral("  placed  %1 -> %2\n").arg(file.from, file.to);
    for (const QString &file : installer.skipped())
        run.out << QStringLiteral("  skipped %1\n").arg(file);
    for (const QString &entry : installer.refused())
        run.out << QStringLiteral("  refused %1\n").arg(entry);
    return 0;
}
