// The backup file list of Flight Simulator 2002 ("BackupFilesFS2002.db") on arbitrary bytes: a
// backup is made of the files it names and restored, then the V1.5 backup folder is restored file
// by file as it names them. Whatever the list says, the backup may write only the backup file and
// the copy of Scenery.cfg beside it, a backup made can be restored, and a restore writes only
// below the simulator folder.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "backup/backupmanager.h"

namespace {

// Gives the backup a name; everything else is silent.
class NamingUi : public SilentUi
{
public:
    QString input(const QString &, const QString &, const QString &) override
    {
        return QStringLiteral("Fuzz");
    }
};

// What the simulator folder and the V1.5 backup folder hold before each input.
const QList<std::pair<QString, QByteArray>> SimulatorFiles{
    {QStringLiteral("Scenery.cfg"), "[General]\r\nTitle=Fuzz\r\n"},
    {QStringLiteral("FS2002.cfg"), "[SITUATION]\r\nSITUATION=flights\\myflts\\a\r\n"},
    {QStringLiteral("Scenery\\World.bgl"), "BGL"},
    {QStringLiteral("Texture\\Ground.bmp"), "BM"},
};

} // namespace

QString checkBackupList(const QByteArray &input)
{
    FuzzLibrary &library = FuzzLibrary::instance();
    SilentInstallation &inst = library.inst;
    static NamingUi ui;
    static AppContext context{inst.fs, *inst.settings, ui, inst.program};
    const QString sim = inst.simFolder();
    const QString backups = inst.programFolder() + QStringLiteral("\\EnvBackups");
    const QString oldBackup = backups + QStringLiteral("\\Old");

    removeHostTree(inst.fs.toHost(sim));
    removeHostTree(inst.fs.toHost(backups));
    for (const auto &[name, bytes] : SimulatorFiles) {
        inst.writeFile(sim + QLatin1Char('\\') + name, bytes);
        inst.writeFile(oldBackup + QLatin1Char('\\') + name, bytes + " (backup)");
    }
    BackupManager manager(context, sim, 1);
    inst.writeFile(manager.backupListPath(), input);

    const QString driveC = inst.driveCHost();
    const QString listHost = inst.fs.toHost(manager.backupListPath());
    FileSnapshot before(driveC);
    for (const QString &line : manager.backupList()) {
        if (line.trimmed().isEmpty())
            return finding("a blank line in the list:", line);
    }
    const Outcome made = manager.makeBackup();
    const QStringList written = FileSnapshot(driveC).changedOutside(
        before, {inst.fs.toHost(backups + QStringLiteral("\\Fuzz.zip")),
                 inst.fs.toHost(sim + QStringLiteral("\\Scenery.CFG.Backup")), listHost});
    if (!written.isEmpty())
        return finding("making the backup wrote elsewhere:", written.join(QLatin1Char('\n')));
    if (made.isDone() && inst.fs.fileExists(backups + QStringLiteral("\\Fuzz.zip"))) {
        const FileSnapshot beforeBack(driveC);
        if (!manager.installBackup(QStringLiteral("Fuzz.zip")).isDone())
            return finding("the backup just made could not be restored:", ui.lastText);
        const QStringList back = FileSnapshot(driveC).changedOutside(beforeBack, {inst.fs.toHost(sim)});
        if (!back.isEmpty())
            return finding("restoring the backup wrote outside the simulator folder:",
                           back.join(QLatin1Char('\n')));
    }

    FileSnapshot beforeRestore(driveC);
    manager.installBackup_old(QStringLiteral("Old"));
    const QStringList restored =
        FileSnapshot(driveC).changedOutside(beforeRestore, {inst.fs.toHost(sim), listHost});
    if (!restored.isEmpty())
        return finding("the V1.5 restore wrote outside the simulator folder:",
                       restored.join(QLatin1Char('\n')));
    return {};
}
