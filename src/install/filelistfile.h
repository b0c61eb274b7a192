#pragma once

#include "library/records.h"
#include "platform/outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

class FileSystem;

// One file of a scenery as its file list names it.
struct FileListEntry
{
    QString File;        // the file's name, without folder
    QString Destination; // root word ("MySceneryBase", "FSRoot", "AbsolutePath") and folder path
    QString Source;      // the full path of the file where the list was made

    bool operator==(const FileListEntry &) const = default;
};
using FileList = QList<FileListEntry>;

// "LumivaleFileList.db": the file list that travels with a scenery. A header line, the record's
// descriptive fields one per line, "[FileList]", then one line per file:
//   AREA.BGL=MySceneryBase\Scenery!C:\Sceneries\Area\Scenery\AREA.BGL
// Single-byte text with CR LF line ends.
namespace FileListFile {
inline const QString FileName = QStringLiteral("LumivaleFileList.db");
inline const QString Header = QStringLiteral("[Lumivale V 1.5]");
inline const QString EntriesHeader = QStringLiteral("[FileList]");

// The root words a Destination begins with.
inline const QString MySceneryBase = QStringLiteral("MySceneryBase");
inline const QString FSRoot = QStringLiteral("FSRoot");
inline const QString AbsolutePath = QStringLiteral("AbsolutePath");

// The lines of the file for a record's fields and its entries.
QStringList lines(const clsScenery &record, const FileList &entries);
// "AREA.BGL=MySceneryBase\Scenery!C:\...\AREA.BGL"
QString entryLine(const FileListEntry &entry);
// An entry line split at its first "=" and the rest at its first "!"; nothing when either is
// missing.
std::optional<FileListEntry> parseEntryLine(const QString &line);
} // namespace FileListFile

// Writes a file list, replacing an existing file as a whole (the old one stays intact when the
// writing fails).
class FileListWriter
{
public:
    explicit FileListWriter(const FileSystem &fs) : m_fs(fs) {}
    // Done; Failed with the error of the file system, naming the file.
    Outcome write(const QString &path, const clsScenery &record, const FileList &entries);

private:
    const FileSystem &m_fs;
};

// Reads a file list: its entries (the lines after the first line that is exactly "[FileList]")
// and the "key=value" lines between the header line and "[FileList]".
class FileListReader
{
public:
    explicit FileListReader(const FileSystem &fs) : m_fs(fs) {}

    // Done, also when the file does not exist (found() false, nothing read); Failed when it cannot
    // be read or an entry line lacks "=" or "!" (error 5, naming the line); the entries read
    // before such a line are kept. A field line without "=" is a problem of a Done outcome.
    Outcome read(const QString &path);

    bool found() const { return m_found; }
    const FileList &entries() const { return m_entries; }
    // The field lines as key and value, in file order (the first line is never one of them).
    const QList<QPair<QString, QString>> &fields() const { return m_fields; }

    // Sets the record's descriptive fields from the field lines; keys are compared exactly and
    // unknown keys ignored. The numbers are read as integers; one that is not throws LmError
    // (13 type mismatch, 6 overflow).
    void applyFields(clsScenery &record) const;

private:
    const FileSystem &m_fs;
    bool m_found = false;
    FileList m_entries;
    QList<QPair<QString, QString>> m_fields;
};
