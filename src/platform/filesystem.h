#pragma once

#include "platform/drivemap.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class FolderListings;

// The file-system service. Every path it takes and returns is Windows path text
// ("C:\FS2002\Scenery.cfg", "\\server\share\x"); on Windows it is used as it stands, elsewhere it is turned
// into a host path through the drive map, matching every component without regard to case, the
// way the simulators' own files are found whatever case they were written in.
//
// Failures throw LmError with the classic numbers (53 file not found, 76 path not found,
// 75 path/file access, 70 permission denied, 58 file already exists, 61 disk full, 52 bad file
// name); the description names the file as the caller gave it. Every write goes through the
// atomic writer (AtomicFile) and every step of it, of copy and of rename through the file-fault
// seam (FileFaults).
class FileSystem
{
public:
    explicit FileSystem(DriveMap drives = {});

    const DriveMap &driveMap() const { return m_drives; }
    void setDriveMap(DriveMap drives) { m_drives = std::move(drives); }

    // Path text -> host path. Existing components are matched case-insensitively; the first missing
    // component and everything after it are kept as written. Empty when the path cannot be mapped
    // (an unmapped drive, a UNC path, a relative path); an unmapped Z: is the host's root.
    // With listings, each folder met is listed once for all the paths of one operation.
    QString toHost(const QString &windowsPath, FolderListings *listings = nullptr) const;
    // Host path -> path text: the longest mapped drive folder that holds it, else "Z:\..." as Wine
    // shows such paths.
    QString toWindows(const QString &hostPath) const;

    bool fileExists(const QString &path) const;
    bool folderExists(const QString &path) const;

    void copyFile(const QString &source, const QString &target, bool overwrite = true) const;
    void moveFile(const QString &source, const QString &target) const;
    void moveFolder(const QString &source, const QString &target) const;
    void deleteFile(const QString &path, bool force = true) const;  // force: read-only files too
    void deleteFolder(const QString &path, bool force = true) const;
    void clearAttributes(const QString &path) const;  // removes the read-only mark
    void createFolder(const QString &path) const;     // the parent must exist
    qint64 folderSize(const QString &path) const;     // bytes of every file below, recursively
    qint64 fileSize(const QString &path) const;       // the bytes a file holds, holes counted

    // Names (not paths) of the files / subfolders directly in a folder, sorted by name.
    QStringList files(const QString &folder) const;
    QStringList subFolders(const QString &folder) const;

    // The 8.3 form of the last component of a path ("Program Files" -> "PROGRA~1"), derived the
    // way Windows derives it from the names that exist beside it.
    QString shortName(const QString &path) const;
    // The temporary folder, Windows form, without a trailing "\".
    QString tempFolder() const;
    // Bytes free to the user on the volume that holds the path (or its nearest existing folder).
    qint64 freeBytes(const QString &path) const;

    // folder + "\" + name, for a name given for an entry of a known folder (a backup of the backup
    // folder, a texture backup, a zip file): a name that is empty, ".", "..", or holds "\", "/",
    // ":", "*" or "?" could name something else than one entry of that folder and throws 52.
    static QString entryPath(const QString &folder, const QString &name);

    // Text files: single-byte Windows-1252; reading accepts CR LF, LF and CR, and a file that
    // starts with the UTF-8 byte-order mark is read as UTF-8 without the mark. Writing uses CR LF.
    QStringList readLines(const QString &path) const;
    QByteArray readAll(const QString &path) const;
    // Replaces the file atomically: the old file stays whole when anything fails.
    void writeLines(const QString &path, const QStringList &lines) const;
    void writeAll(const QString &path, const QByteArray &bytes) const;
    void appendLine(const QString &path, const QString &line) const;

private:
    QString hostOrThrow(const QString &windowsPath) const;

    DriveMap m_drives;
};

// Windows-1252, the single-byte code page of every text file the simulators and the program write.
namespace Cp1252 {
QByteArray encode(const QString &text);  // characters outside the code page become "?"
QString decode(const QByteArray &bytes);
}

// Remembers the names in every folder a path was matched in, for an operation that looks up many
// names in the same folders (an extraction): each folder is listed once per operation instead of
// once per name. The operation tells it about every entry it creates.
class FolderListings
{
public:
    // A file or folder created in hostFolder since it was listed.
    void added(const QString &hostFolder, const QString &name);

private:
    friend class FileSystem;
    // The existing name that matches a name: the same spelling, else the first in code order that
    // differs only in letter case; empty when there is none.
    QString match(const QString &hostFolder, const QString &name);

    struct Folder
    {
        QSet<QString> names;
        QHash<QString, QString> firstByFolded;
    };
    QHash<QString, Folder> m_folders;
};

class AtomicFile;

// Writes many files below one folder, as an extraction does. Each folder met is listed once (names
// are matched without regard to letter case, as everywhere), missing folders are created, and
// every file, a read-only one too, is replaced through the atomic writer. Paths are given as their
// parts below the folder.
class FolderWriter
{
public:
    // folder: Windows form; it is created, with its parents, when the first file is written.
    FolderWriter(const FileSystem &fs, QString folder);

    // False when the path would leave the folder through a symbolic link: one of its parts that
    // exists, or the file itself, is a link to a place outside the folder. Links that stay inside
    // are followed.
    bool staysInside(const QStringList &parts);
    void createFolders(const QStringList &parts);
    // The file at the path, opened for replacing; its folders are created.
    std::unique_ptr<AtomicFile> open(const QStringList &parts);
    // The path in Windows form, for messages.
    QString windowsPath(const QStringList &parts) const;

private:
    QString hostPath(const QStringList &parts);
    bool insideHost(const QString &hostPath) const;

    const FileSystem &m_fs;
    QString m_folder;
    FolderListings m_listings;
    QString m_rootCanonical;
    QSet<QString> m_checked; // folders known to stay inside
    QSet<QString> m_made;    // folders known to exist
};

// A private folder in the system's temporary folder: created exclusively, open to this user only,
// and removed with everything in it when the object goes. Nobody else can put a file or a link
// into it, so nothing written there can be redirected.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const FileSystem &fs); // throws LmError when it cannot be made
    // The folder, and a file in it, in Windows form.
    const QString &path() const { return m_path; }
    QString filePath(const QString &name) const { return m_path + QLatin1Char('\\') + name; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Writes a whole file through the atomic writer; a failure leaves the old file whole and throws
// LmError naming shownPath (the host path when none is given).
void writeFileAtomically(const QString &hostPath, const QByteArray &bytes, const QString &shownPath = {});

// A text file written line by line and committed at the end, for writers that count as they go.
class TextFileWriter
{
public:
    TextFileWriter(const FileSystem &fs, const QString &path);
    void writeLine(const QString &line = {});
    // Replaces the file with everything written; throws LmError on failure.
    void commit();

private:
    const FileSystem &m_fs;
    QString m_path;
    QByteArray m_bytes;
};
