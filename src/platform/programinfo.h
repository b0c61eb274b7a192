#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>

// What the program knows about itself: its folder (library files, backups, settings), version
// and command line, and whether another instance already runs.
class ProgramInfo
{
public:
    // Program folder: on Windows the executable's folder; elsewhere $LUMIVALE_HOME if set, else the
    // XDG data folder (~/.local/share/Lumivale). Created when missing.
    static QString defaultProgramFolder();

    explicit ProgramInfo(QString programFolderHost, QStringList arguments = {});

    // Host path of the program folder.
    const QString &folderHost() const { return m_folderHost; }
    // The command line after the program name, joined by blanks.
    QString commandLine() const;

    static int versionMajor();
    static int versionMinor();
    static int versionRevision();

    // Takes the single-instance lock in the program folder; false when another instance holds it.
    // The window holds it for its whole run, the command line while a command writes the library.
    bool acquireInstanceLock();
    bool holdsInstanceLock() const { return m_lock && m_lock->isLocked(); }
    // Who holds the lock, as the user can tell it: "lumivale-cli, process 4711"; "" when unknown.
    QString instanceLockHolder() const;

private:
    QString m_folderHost;
    QStringList m_arguments;
    std::unique_ptr<QLockFile> m_lock;
};
