// backup: the Backup menu's commands on the simulator worked on.

#include "backup/backupmanager.h"
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

const QString Usage = QStringLiteral("make NAME | install NAME | install-old NAME | delete NAME | list");

struct Entry
{
    QString name;
    bool folder = false;
    qint64 size = 0;
};

QList<Entry> backupEntries(const BackupManager &backup, const FileSystem &fs)
{
    const QString root = backup.backupRoot();
    QList<Entry> entries;
    for (const QString &name : backup.backupFiles())
        entries.append(Entry{name, false, QFileInfo(fs.toHost(root + name)).size()});
    for (const QString &name : backup.backupFolders())
        entries.append(Entry{name, true, fs.folderSize(root + name)});
    return entries;
}

int listBackups(CliCommandRun &run, const BackupManager &backup)
{
    const QList<Entry> entries = backupEntries(backup, run.session().fs());
    if (run.args.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const Entry &entry : entries)
            array.append(QJsonObject{
                {QStringLiteral("name"), entry.name},
                {QStringLiteral("kind"), entry.folder ? QStringLiteral("folder") : QStringLiteral("zip")},
                {QStringLiteral("size"), entry.size}});
        run.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }
    run.out << QStringLiteral("Backups in ") << backup.backupRoot() << QLatin1Char('\n');
    for (const Entry &entry : entries) {
        run.out << QStringLiteral("  ") << entry.name
                << (entry.folder ? QStringLiteral("  (V1.5 folder, install-old)") : QString())
                << QStringLiteral("  ") << entry.size << QStringLiteral(" bytes\n");
    }
    if (entries.isEmpty())
        run.out << QStringLiteral("  (none)\n");
    return 0;
}

} // namespace

void setupBackup(QCommandLineParser &parser)
{
    parser.addPositionalArgument(
        QStringLiteral("ACTION"),
        QStringLiteral("make: back up the files of the simulator's backup file list as "
                       "NAME (.zip is added); install: restore backup NAME; install-old: "
                       "restore the V1.5 backup folder NAME; delete: delete backup NAME; "
                       "list: the backups in the backup folder."),
        Usage);
    parser.addOption(
        QCommandLineOption(QStringLiteral("json"), QStringLiteral("list: print one JSON array.")));
}

int runBackup(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    const QString action = arguments.value(0);
    const bool named = action == QLatin1String("make") || action == QLatin1String("install") ||
                       action == QLatin1String("install-old") || action == QLatin1String("delete");
    if (!(named && arguments.size() == 2) && !(action == QLatin1String("list") && arguments.size() == 1)) {
        run.err << QStringLiteral("lumivale-cli backup: ") << Usage << QStringLiteral(" (see --help).")
                << Qt::endl;
        return CliUsageError;
    }

    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    BackupManager &backup = library.backup();
    if (action == QLatin1String("list"))
        return listBackups(run, backup);
    library.requireCertainSimulator();

    const QString name = arguments.at(1);
    if (name.isEmpty())
        throw CliFailure{QStringLiteral("the backup needs a name.")};
    CliUi &ui = run.ui();

    if (action == QLatin1String("make")) {
        ui.presetNextInput(name);
        // Stopped at the long-path question (answered Cancel without --yes): no backup either.
        if (!backup.makeBackup().isDone())
            return 1;
        const QString file = BackupManager::backupFileName(name);
        if (backup.backupList().isEmpty()) {
            // An archive of nothing is not written; say so rather than leave a name that cannot
            // be installed.
            run.err << QStringLiteral("lumivale-cli backup: the backup file list %1 names no files, so no %2 "
                                      "was made; only Scenery.CFG.Backup was refreshed.")
                           .arg(backup.backupListPath(), file)
                    << Qt::endl;
            return 1;
        }
        run.out << QStringLiteral("Made %1%2\n").arg(backup.backupRoot(), file);
        return 0;
    }

    if (action == QLatin1String("install") || action == QLatin1String("install-old")) {
        const bool old = action == QLatin1String("install-old");
        BusyPointer busy(ui);
        const Outcome outcome = old ? backup.installBackup_old(name) : backup.installBackup(name);
        if (!outcome.isDone())
            return outcome.isStopped() ? CliRefused : 1;
        run.out << QStringLiteral("Installed %1 into %2\n").arg(backup.backupEntry(name), backup.simFolder());
        return 0;
    }

    // delete
    const Outcome outcome = [&] {
        BusyPointer busy(ui);
        return backup.deleteBackup(name);
    }();
    if (outcome.isFailed())
        return 1;
    const QString file = backup.backupEntry(name);
    if (outcome.isStopped()) {
        run.out << QStringLiteral("Kept %1\n").arg(file);
        return CliRefused;
    }
    run.out << QStringLiteral("Deleted %1\n").arg(file);
    return 0;
}
