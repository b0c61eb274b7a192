// textures: the global texture management of the simulator worked on.

#include "backup/texturemanager.h"
#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString Usage = QStringLiteral("backup NAME | restore NAME... | delete NAME... | empty | list");

int exitCode(const Outcome &outcome)
{
    switch (outcome.kind()) {
    case Outcome::Kind::Done:
        return 0;
    case Outcome::Kind::Refused:
    case Outcome::Kind::Stopped:
        return CliRefused;
    case Outcome::Kind::Failed:
        break;
    }
    return 1;
}

int listBackups(CliCommandRun &run, const TextureManager &textures)
{
    const QString root = textures.backupRoot();
    const QStringList names = textures.backups();
    const FileSystem &fs = run.session().fs();
    if (run.args.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const QString &name : names)
            array.append(QJsonObject{{QStringLiteral("name"), name},
                                     {QStringLiteral("size"), QFileInfo(fs.toHost(root + name)).size()}});
        run.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }
    run.out << QStringLiteral("Texture backups in ") << root << QStringLiteral(" (of ")
            << textures.textureFolder() << QStringLiteral(")\n");
    for (const QString &name : names)
        run.out << QStringLiteral("  ") << name << QStringLiteral("  ")
                << QFileInfo(fs.toHost(root + name)).size() << QStringLiteral(" bytes\n");
    if (names.isEmpty())
        run.out << QStringLiteral("  (none)\n");
    return 0;
}

} // namespace

void setupTextures(QCommandLineParser &parser)
{
    parser.addPositionalArgument(
        QStringLiteral("ACTION"),
        QStringLiteral("backup: zip the files of the simulator's Texture folder as NAME (.zip is added); "
                       "restore: extract the backups named, in order, into the folder, replacing its files; "
                       "delete: delete the backups named; empty: delete the files of the folder (asks unless "
                       "--yes); list: the texture backups."),
        Usage);
    parser.addOption(
        QCommandLineOption(QStringLiteral("json"), QStringLiteral("list: print one JSON array.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("backup"),
        QStringLiteral("empty: when no texture backup exists, first make one of this name."),
        QStringLiteral("NAME")));
}

int runTextures(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    const QString action = arguments.value(0);
    const qsizetype names = arguments.size() - 1;
    const bool valid =
        (action == QLatin1String("backup") && names == 1) ||
        ((action == QLatin1String("restore") || action == QLatin1String("delete")) && names >= 1) ||
        ((action == QLatin1String("empty") || action == QLatin1String("list")) && names == 0);
    if (!valid) {
        run.err << QStringLiteral("lumivale-cli textures: ") << Usage << QStringLiteral(" (see --help).")
                << Qt::endl;
        return CliUsageError;
    }

    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    TextureManager textures(session.context(), library.manager().FSPath());
    if (action == QLatin1String("list"))
        return listBackups(run, textures);
    library.requireCertainSimulator();
    CliUi &ui = run.ui();

    if (action == QLatin1String("backup")) {
        const QString name = arguments.at(1);
        if (name.isEmpty())
            throw CliFailure{QStringLiteral("the backup needs a name.")};
        ui.presetNextInput(name);
        const Outcome outcome = textures.makeBackup();
        if (outcome.isDone())
            run.out << QStringLiteral("Made %1%2\n")
                           .arg(textures.backupRoot(), TextureManager::backupFileName(name));
        return exitCode(outcome);
    }
    if (action == QLatin1String("restore")) {
        // Naming the backups to restore is the consent the window asks for.
        ui.setAnswerFor(QStringLiteral("Warning"), UiPort::Answer::Yes);
        const Outcome outcome = textures.installBackups(arguments.mid(1));
        if (outcome.isDone())
            run.out << QStringLiteral("Restored %1 into %2\n")
                           .arg(arguments.mid(1).join(QStringLiteral(", ")), textures.textureFolder());
        return exitCode(outcome);
    }
    if (action == QLatin1String("delete")) {
        const Outcome outcome = textures.deleteBackups(arguments.mid(1));
        if (outcome.isDone())
            run.out << QStringLiteral("Deleted %1\n").arg(arguments.mid(1).join(QStringLiteral(", ")));
        return exitCode(outcome);
    }

    // empty
    const bool withBackup = run.args.isSet(QStringLiteral("backup"));
    if (withBackup) {
        const QString name = run.args.value(QStringLiteral("backup"));
        if (name.isEmpty())
            throw CliFailure{QStringLiteral("--backup needs a name; nothing deleted.")};
        ui.presetNextInput(name);
    }
    ui.setAnswerFor(QStringLiteral("Empty global texture folder"),
                    withBackup ? UiPort::Answer::Yes : UiPort::Answer::No);
    const Outcome outcome = textures.emptyFolder();
    if (outcome.isDone())
        run.out << QStringLiteral("Emptied %1\n").arg(textures.textureFolder());
    return exitCode(outcome);
}
