#pragma once

#include "platform/drivemap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The file-system service. Every path it takes and returns is Windows path text
// ("C:\FS2002\Scenery.cfg", "\\server\share\x"); on Windows it is used as it stands, elsewhere it is turned
// into a host path through the drive map, matching every component without regard to case, the
// way the simulators' own files are found whatever case they were written in.
//
// Failures throw LmError with the classic numbers (53 file not found, 76 path not found,
// 75 path/file access, 70 permission denied, 58 file already exists).
class FileSystem
{
public:
    explicit FileSystem(DriveMap drives = {});

    const DriveMap &driveMap() const { return m_drives; }
    void setDriveMap(DriveMap drives) { m_drives = std::move(drives); }

    // Path text -> host path. Existing components are matched case-insensitively; the first missing
    // component and everything after it are kept as written. Empty when the path cannot be mapped
    // (an unmapped drive, a UNC path, a relative path); an unmapped Z: is the host's root.
    QString toHost(const QString &windowsPath) const;
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

    // Names (not paths) of the files / subfolders directly in a folder, sorted by name.
    QStringList files(const QString &folder) const;
    QStringList subFolders(const QString &folder) const;

    // The 8.3 form of the last component of a path ("Program Files" -> "PROGRA~1"), derived the
    // way Windows derives it from the names that exist beside it.
    QString shortName(const QString &path) const;
    // The temporary folder, Windows form, without a trailing "\".
    QString tempFolder() const;

    // Text files: single-byte Windows-1252; reading accepts CR LF and LF, writing uses CR LF.
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

// Writes a whole file through QSaveFile: write, check the count, flush, commit. A failure leaves
// the old file whole and throws LmError.
void writeFileAtomically(const QString &hostPath, const QByteArray &bytes);

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
