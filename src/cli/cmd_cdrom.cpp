// cdrom: a CD-ROM source made from sets, as "Prepare CDRom" makes it, and the new remote paths
// saved.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "packaging/cdromsource.h"
#include "platform/winpath.h"
#include "tree/librarytree.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

void setupCdRom(QCommandLineParser &parser)
{
    parser.addPositionalArgument(
        QStringLiteral("DEST"),
        QStringLiteral("The folder the CD's folder is made in: a path on this machine or a Windows path."));
    parser.addPositionalArgument(
        QStringLiteral("NAME"),
        QStringLiteral("The CD's name: the new folder, and [NAME] in the remote paths."));
    parser.addPositionalArgument(QStringLiteral("SET"),
                                 QStringLiteral("The sets whose sceneries are copied."),
                                 QStringLiteral("SET..."));
    parser.addOption(QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print one JSON object.")));
}

namespace {

QJsonArray texts(const QStringList &list)
{
    QJsonArray array;
    for (const QString &text : list)
        array.append(text);
    return array;
}

} // namespace

int runCdRom(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    const auto usage = [&run](const QString &text) {
        run.err << QStringLiteral("lumivale-cli cdrom: ") << text << QStringLiteral(" (see --help).")
                << Qt::endl;
        return CliUsageError;
    };
    if (arguments.size() < 3)
        return usage(QStringLiteral("give DEST, NAME and at least one SET"));
    const QString name = WinPath::trimBlanks(arguments.at(1));
    if (!CdRomSource::isCdName(name))
        return usage(
            QStringLiteral("the CD name \"%1\" cannot be a folder name: it may not hold \\ / : * ? \" < > "
                           "| nor be made of dots alone")
                .arg(arguments.at(1)));
    const QStringList sets = arguments.mid(2);

    CliSession &session = run.session();
    session.lockLibrary();
    CliLibrary library(session, run.options.simType);
    library.requireCertainSimulator();
    SceneryManager &manager = library.manager();
    const FileSystem &fs = session.fs();

    const QString given = arguments.first();
    const QFileInfo host(given);
    const QString destination = host.isDir() ? fs.toWindows(host.absoluteFilePath()) : given;
    if (!fs.folderExists(destination))
        throw CliFailure{QStringLiteral("\"%1\" is no folder; nothing copied.").arg(given)};
    const QString folder = WinPath::join(destination, name);
    if (fs.folderExists(folder) || fs.fileExists(folder)) {
        run.err << QStringLiteral(
                       "lumivale-cli cdrom: CDROM Name exists in the destination folder: %1; nothing "
                       "copied.")
                       .arg(folder)
                << Qt::endl;
        return CliRefused;
    }

    // The remote paths are saved at the end: a library read in part would be saved in part.
    if (!library.load().isEmpty())
        throw CliFailure{
            QStringLiteral("the library was read with errors; nothing copied. Repair the library "
                           "files (their .backup copies hold the previous state).")};
    QString strSet;
    for (const QString &set : sets) {
        if (set == LibraryNames::CurrentSet || !library.set(set))
            throw CliFailure{
                QStringLiteral("no set \"%1\" to copy; nothing copied (see \"lumivale-cli sets\").")
                    .arg(set)};
        strSet += set + QStringLiteral("\r\n");
    }

    library.libraryTree().UndisplayAllTree();
    CdRomSource source(manager);
    const Outcome made = source.MakeCDROM(strSet, library.tree().keysInWalkOrder(), folder, name);
    // The sceneries copied before a failure have their remote path too.
    const bool saved = source.copied().isEmpty() || library.save().isDone();

    const double megabytes = double(source.bytes()) / 1024 / 1024;
    if (run.args.isSet(QStringLiteral("json"))) {
        const QJsonObject result{{QStringLiteral("folder"), folder},
                                 {QStringLiteral("megabytes"), double(qRound64(megabytes * 100)) / 100},
                                 {QStringLiteral("copied"), texts(source.copied())},
                                 {QStringLiteral("missing"), texts(source.missing())}};
        run.out << QJsonDocument(result).toJson(QJsonDocument::Indented);
    } else if (made.isDone()) {
        run.out << QStringLiteral("Made %1 (%2 MB): %3 sceneries copied, %4 not found.\n")
                       .arg(folder, QString::number(megabytes, 'f', 2))
                       .arg(source.copied().size())
                       .arg(source.missing().size());
        for (const QString &title : source.copied())
            run.out << QStringLiteral("  copied  %1\n").arg(title);
        for (const QString &title : source.missing())
            run.out << QStringLiteral("  missing %1\n").arg(title);
    }
    if (made.isRefused())
        return CliRefused;
    return made.isDone() && saved ? 0 : 1;
}
