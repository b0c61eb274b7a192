#pragma once

#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Named backups of a simulator's configuration files. A backup is a zip file in the backup root
// whose entries keep each file's folder path below its drive, so that extracting it into the drive
// root puts every file back where it came from. Backups of the older folder form ("V1.5") hold
// the files below a folder of the backup root and can still be installed.
//
// Which files belong to a backup is the per-simulator list file in the program folder, one path
// relative to the simulator folder per line.
//
// Each operation tells the user what it met, through the program-wide error message for a
// failure, and returns how it ended: Done; Stopped when the user said No or stopped it (nothing
// changed); Failed with the error (nothing changed, or, for a V1.5 restore, the files restored
// before the failure stay restored).
class BackupManager
{
public:
    using StatusFn = std::function<void(const QString &)>;

    // simFolder: the installation folder of the simulator worked on, Windows form, no trailing
    // "\". simType (0, 1, 2) names that simulator so the matching list file is used even when
    // "SelectedSim" was never stored (a single installed simulator); without it the list follows
    // "SelectedSim".
    BackupManager(AppContext &context, QString simFolder, std::optional<qint32> simType = std::nullopt);

    // After the simulator worked on was switched: the folder and list of the new one.
    void setSimulator(const QString &simFolder, std::optional<qint32> simType);
    const QString &simFolder() const { return m_simFolder; }

    // Receives the progress texts of the archive component (the main window's status text).
    void setStatus(StatusFn status) { m_status = std::move(status); }

    // Asks for a name and writes a backup. An empty name is the user's choice to go on without
    // one: Done, with nothing written. Stopped at the long-path question.
    Outcome makeBackup();
    // The backup file a typed name becomes: the name made safe as a file name, ".zip" added when
    // it does not end so.
    static QString backupFileName(QString typed);
    // A name names an entry of the backup root: one that could name anything else (a path, "..",
    // a pattern) is refused as a failure before anything is touched.
    //
    // Restores the zip backup root + name: its entries go back below the simulator folder, each to
    // the place its folder path below the drive names. An archive holding anything else, or that
    // would write through a link out of the simulator folder or not fit on its disk, is refused
    // as a whole before anything is written.
    Outcome installBackup(const QString &name);
    // Restores the V1.5 backup folder root + name, file by file, as the list names them.
    Outcome installBackup_old(const QString &name);
    // Deletes the backup file root + name after asking; an empty name does nothing (Stopped).
    Outcome deleteBackup(const QString &name);

    // The path up to and including its last "\"; "" when it has none.
    static QString getDir(const QString &path);

    // The backup root, ending in "\"; created with its missing parents when it does not exist.
    QString backupRoot() const;
    // The backup root + name, for a name that names an entry of it (see FileSystem::entryPath);
    // the root is created only for such a name.
    QString backupEntry(const QString &name) const;
    // The backup file list of the simulator ("BackupFiles.db", "BackupFilesFS2002.db",
    // "BackupFilesCFS2.db") in the program folder.
    QString backupListPath() const;
    // The list's non-blank lines; the file is created empty when it is missing.
    QStringList backupList() const;
    // The names of the backup files / V1.5 backup folders in the backup root.
    QStringList backupFiles() const;
    QStringList backupFolders() const;

    AppContext &context() const { return m_context; }

private:
    Outcome doMakeBackup();
    Outcome doInstallBackup(const QString &name);
    Outcome doInstallBackupOld(const QString &name);
    Outcome doDeleteBackup(const QString &name);
    Outcome run(const QString &procedure, const std::function<Outcome()> &operation);
    // Offers a backup of the current files before a restore; Done when the restore may go on.
    Outcome offerBackupFirst();
    void status(const QString &text) const;
    // Throws (EntriesRefused) when a line of the list would name a file outside the simulator
    // folder: a ".." part or a drive. A backup holding such a file could not be restored, and a
    // restore from such a list would write elsewhere.
    void refuseLinesOutside(const QStringList &lines) const;
    // Says "Backup does not exist." under the title: Failed, error 53, on the path.
    Outcome missing(const QString &path, const QString &title) const;
    QString rootPath() const;

    AppContext &m_context;
    QString m_simFolder;
    std::optional<qint32> m_simType;
    StatusFn m_status;
};
