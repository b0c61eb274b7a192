#pragma once

#include "platform/filesystem.h"
#include "platform/uiport.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The archive component: reading and writing zip files. Paths are Windows path text handed to the
// file-system service; entry names inside an archive use "/" ("\" is accepted when reading).
//
// Failures throw LmError naming the archive as the caller gave it: 53 when the archive or a file to
// add is missing, ArchiveDamaged when the file is not a readable zip archive, ArchiveNotWritten
// when the archive cannot be written, EntriesRefused when an extraction would write outside its
// folder, 61 when it would not fit on the disk, and the file-system service's own numbers when a
// file cannot be written out.

namespace ArchiveError {
// Offsets from the user error base.
constexpr qint32 ArchiveDamaged = 601;
constexpr qint32 ArchiveNotWritten = 602;
constexpr qint32 EntriesRefused = 603;
} // namespace ArchiveError

class Unzip
{
public:
    using ProgressFn = std::function<void(const QString &)>;
    // fileName, folder path inside the archive in Windows form ("Scenery\Textures\" or "").
    using FileInfoFn = std::function<void(const QString &fileName, const QString &folderPath)>;
    // Asked before each file is written, with the file (Windows form), the number of files
    // written so far and their total; false stops the work there.
    using ProceedFn = std::function<bool(const QString &file, int done, int total)>;

    explicit Unzip(const FileSystem &fs);

    QString archive;      // the zip file
    QString targetFolder; // where extraction writes
    // When set, a folder below targetFolder that every entry must lie in (a backup holds only files
    // of the simulator folder, and is extracted into the drive root).
    QString confineTo;
    FileInfoFn FileInfo; // raised by listEntries
    ProgressFn progress;
    // When set, extractAll leaves out the entries it would refuse and writes the others; the names
    // left out are in refusedEntries() afterwards.
    bool skipRefused = false;
    ProceedFn proceed; // extractAll asks it before each file

    // Writes every entry below targetFolder, keeping its folder path and replacing existing files.
    // Every entry is checked before anything is written, and nothing is written when one of them
    // is refused: a name that would leave targetFolder (absolute, with a drive, with ".." parts)
    // or confineTo, or a path that leads out of it through a symbolic link, throws EntriesRefused
    // naming them; an archive that unpacks to more bytes than the disk has free throws 61.
    // False when proceed stopped it; the files written before stay.
    bool extractAll();
    // Writes the one entry named by its folder path and file name ("Scenery\x.bgl" or
    // "Scenery/x.bgl", letter case ignored) as targetFolder "\" file name. False on any failure.
    bool extractFile(const QString &entry);
    // Raises FileInfo once per file entry; extracts nothing. Entries extraction would refuse are
    // not listed (see refusedEntries()).
    void listEntries();
    // The bytes every file entry extraction would write unpacks to, refused entries left out.
    qint64 unpackedSize();

    // The names refused by the last extractAll or listEntries.
    const QStringList &refusedEntries() const { return m_refused; }

    // An archive path of 80 characters or more is read from a copy, "LumivaleTmp.zip" in a private
    // temporary folder that goes when the reading ends; messages name the archive itself.
    static constexpr int MaxPathLength = 79;

    // The parts of an entry name ("/" or "\" separated; empty and "." parts dropped), or nothing
    // when the name would leave the target folder: absolute, with a drive or a ":" in a part, or
    // with a ".." part.
    static std::optional<QStringList> safeEntryParts(const QString &entryName);

private:
    const FileSystem &m_fs;
    QStringList m_refused;
};

class Zip
{
public:
    using ProgressFn = std::function<void(const QString &)>;
    // Asked while the archive is written, with the file whose turn it is (Windows form), the
    // number of files written before it and their total; false stops the writing.
    using ProceedFn = std::function<bool(const QString &file, int done, int total)>;

    // How a file's entry name is formed from its path.
    enum class EntryNames {
        // "C:\FS2002\Scenery.cfg" -> "FS2002/Scenery.cfg": restored by extracting into the drive root.
        FolderBelowDrive,
        // "C:\FS2002\Texture\a.bmp" -> "a.bmp": restored by extracting into the folder itself.
        BareFileName,
    };

    explicit Zip(const FileSystem &fs);

    QString archive;
    EntryNames entryNames = EntryNames::FolderBelowDrive;
    ProgressFn progress;
    ProceedFn proceed;

    // Adds the file at path, creating the archive when it does not exist and replacing an entry
    // of the same name. A path whose last part is "*.*" adds every file of that folder. The
    // archive on disk is complete after every call. False when proceed stopped the writing: the
    // archive on disk is then as it was before the call (none, when there was none).
    bool addFile(const QString &path);

    // One file of a new archive: the file (Windows form) and the name it is stored under
    // ("Scenery/AREA.BGL").
    struct Member
    {
        QString source;
        QString entry;
    };
    // Writes a new archive holding exactly these files, in this order, in the place of any file of
    // that name. Every file is looked for before anything is written (53 naming the first one
    // missing). The archive is written beside its place and takes it only when complete: when
    // writing fails or proceed stops it (false), a file of that name stays as it was and none is
    // left when there was none. proceed is asked before each file and again every quarter second
    // while a large one is written. Writing passes each file through the file-fault seam (a write
    // fault: the disk fills up part-way) and the commit.
    bool create(const QList<Member> &members);

    // The entry name a path is stored under.
    static QString entryName(const QString &path, EntryNames mode);

    // Before a path longer than 79 characters is zipped: the path and the long-path warning,
    // OK/Cancel. True when the path is short enough or the user chose to go on.
    static bool confirmLongPath(UiPort &ui, const QString &path);
    static QString longPathMessage(const QString &path);

private:
    bool write(const QList<Member> &members, bool replace);

    const FileSystem &m_fs;
};
