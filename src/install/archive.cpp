#include "install/archive.h"

#include "app/filehelpers.h"
#include "platform/lmerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zip.h>

#include <array>
#include <memory>

namespace {

const QChar kBackslash(u'\\');
const QChar kSlash(u'/');

// An open archive; discarded (nothing written) unless closed explicitly.
struct ZipCloser
{
    void operator()(zip_t *z) const
    {
        if (z)
            zip_discard(z);
    }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser
{
    void operator()(zip_file_t *f) const
    {
        if (f)
            zip_fclose(f);
    }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileCloser>;

QString libzipMessage(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

QString libzipMessage(zip_error_t *error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

LmError damaged(const QString &archive, const QString &detail)
{
    return LmError::user(ArchiveError::ArchiveDamaged,
                         QStringLiteral("The zip file is damaged or is not a zip file: %1 (%2)").arg(archive, detail));
}

QString joinWindows(const QString &folder, const QString &relative)
{
    if (folder.isEmpty() || folder.endsWith(kBackslash))
        return folder + relative;
    return folder + kBackslash + relative;
}

void ensureFolder(const FileSystem &fs, const QString &folder)
{
    if (!folder.isEmpty() && !fs.folderExists(folder))
        Start::CreateSubFolder(fs, folder);
}

ZipHandle openForReading(const FileSystem &fs, const QString &archive)
{
    if (!fs.fileExists(archive))
        throw LmError::standard(LmError::FileNotFound, archive);
    const QString host = fs.toHost(archive);
    // libzip takes an empty file for an empty archive; as a zip file that was meant to hold
    // something it is damaged.
    if (QFileInfo(host).size() == 0)
        throw damaged(archive, QStringLiteral("empty file"));
    int code = 0;
    zip_t *z = zip_open(QFile::encodeName(host).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!z) {
        if (code == ZIP_ER_OPEN || code == ZIP_ER_READ)
            throw LmError::standard(LmError::PathFileAccess, archive);
        throw damaged(archive, libzipMessage(code));
    }
    return ZipHandle(z);
}

QString entryNameAt(zip_t *z, zip_uint64_t index, const QString &archive)
{
    const char *name = zip_get_name(z, index, ZIP_FL_ENC_GUESS);
    if (!name)
        throw damaged(archive, libzipMessage(zip_get_error(z)));
    return QString::fromUtf8(name);
}

bool isFolderEntry(const QString &name)
{
    return name.endsWith(kSlash) || name.endsWith(kBackslash);
}

// Streams one entry into a file, replacing an existing one only when the whole entry was read.
void writeEntry(const FileSystem &fs, zip_t *z, zip_uint64_t index, const QString &archive, const QString &target)
{
    const QString host = fs.toHost(target);
    if (host.isEmpty())
        throw LmError::standard(LmError::PathNotFound, target);
    if (fs.fileExists(target))
        fs.clearAttributes(target);

    ZipFileHandle in(zip_fopen_index(z, index, 0));
    if (!in)
        throw damaged(archive, libzipMessage(zip_get_error(z)));
    QSaveFile out(host);
    if (!out.open(QIODevice::WriteOnly))
        throw LmError::standard(LmError::PathFileAccess, target);

    std::array<char, 64 * 1024> buffer{};
    zip_int64_t count = 0;
    while ((count = zip_fread(in.get(), buffer.data(), buffer.size())) > 0) {
        if (out.write(buffer.data(), count) != count)
            throw LmError::standard(LmError::DiskFull, target);
    }
    if (count < 0)
        throw damaged(archive, libzipMessage(zip_file_get_error(in.get())));
    if (!out.commit())
        throw LmError::standard(LmError::PathFileAccess, target);
}

QString folderOf(const QStringList &parts)
{
    QString folder;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        folder += parts.at(i) + kBackslash;
    return folder;
}

} // namespace

// ---------------------------------------------------------------------------------------------

Unzip::Unzip(const FileSystem &fs) : m_fs(fs) {}

std::optional<QStringList> Unzip::safeEntryParts(const QString &entryName)
{
    QString name = entryName;
    name.replace(kBackslash, kSlash);
    if (name.startsWith(kSlash))
        return std::nullopt;
    QStringList parts;
    const QStringList raw = name.split(kSlash, Qt::SkipEmptyParts);
    for (const QString &part : raw) {
        if (part == QStringLiteral("."))
            continue;
        // ".." climbs out; a ":" is a drive ("C:") or an alternate data stream on Windows.
        if (part == QStringLiteral("..") || part.contains(u':'))
            return std::nullopt;
        parts.append(part);
    }
    return parts;
}

void Unzip::extractAll()
{
    m_refused.clear();
    ZipHandle z = openForReading(m_fs, archive);
    const zip_int64_t count = zip_get_num_entries(z.get(), 0);
    ensureFolder(m_fs, targetFolder);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = entryNameAt(z.get(), zip_uint64_t(i), archive);
        const std::optional<QStringList> parts = safeEntryParts(name);
        if (!parts) {
            m_refused.append(name);
            continue;
        }
        if (parts->isEmpty())
            continue;
        const QString relative = parts->join(kBackslash);
        if (progress)
            progress(QStringLiteral("Extracting %1").arg(relative));
        if (isFolderEntry(name)) {
            ensureFolder(m_fs, joinWindows(targetFolder, relative));
            continue;
        }
        ensureFolder(m_fs, joinWindows(targetFolder, folderOf(*parts)));
        writeEntry(m_fs, z.get(), zip_uint64_t(i), archive, joinWindows(targetFolder, relative));
    }
    if (!m_refused.isEmpty()) {
        throw LmError::user(ArchiveError::EntriesRefused,
                            QStringLiteral("These entries of %1 were not extracted because they would be written "
                                           "outside %2: %3")
                                .arg(archive, targetFolder, m_refused.join(QStringLiteral(", "))));
    }
}

bool Unzip::extractFile(const QString &entry)
{
    try {
        QString wanted = entry;
        wanted.replace(kBackslash, kSlash);
        ZipHandle z = openForReading(m_fs, archive);
        const zip_int64_t count = zip_get_num_entries(z.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            QString name = entryNameAt(z.get(), zip_uint64_t(i), archive);
            name.replace(kBackslash, kSlash);
            if (isFolderEntry(name) || QString::compare(name, wanted, Qt::CaseInsensitive) != 0)
                continue;
            const std::optional<QStringList> parts = safeEntryParts(name);
            if (!parts || parts->isEmpty())
                return false;
            if (progress)
                progress(QStringLiteral("Extracting %1").arg(parts->join(kBackslash)));
            ensureFolder(m_fs, targetFolder);
            writeEntry(m_fs, z.get(), zip_uint64_t(i), archive, joinWindows(targetFolder, parts->last()));
            return true;
        }
        return false;
    } catch (const LmError &) {
        return false;
    }
}

void Unzip::listEntries()
{
    m_refused.clear();
    ZipHandle z = openForReading(m_fs, archive);
    const zip_int64_t count = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = entryNameAt(z.get(), zip_uint64_t(i), archive);
        if (isFolderEntry(name))
            continue;
        const std::optional<QStringList> parts = safeEntryParts(name);
        if (!parts || parts->isEmpty()) {
            m_refused.append(name);
            continue;
        }
        if (FileInfo)
            FileInfo(parts->last(), folderOf(*parts));
    }
}

QString Unzip::usableArchivePath(const FileSystem &fs, const QString &archivePath)
{
    if (archivePath.size() <= MaxPathLength)
        return archivePath;
    const QString copy = joinWindows(fs.tempFolder(), QStringLiteral("LumivaleTmp.zip"));
    fs.copyFile(archivePath, copy, true);
    return copy;
}

// ---------------------------------------------------------------------------------------------

Zip::Zip(const FileSystem &fs) : m_fs(fs) {}

QString Zip::entryName(const QString &path, EntryNames mode)
{
    QString text = path;
    text.replace(kSlash, kBackslash);
    if (mode == EntryNames::BareFileName)
        return text.mid(text.lastIndexOf(kBackslash) + 1);
    if (text.size() >= 2 && text.at(1) == u':' && text.at(0).isLetter())
        text = text.mid(2);
    return text.split(kBackslash, Qt::SkipEmptyParts).join(kSlash);
}

void Zip::addFile(const QString &path)
{
    QStringList sources;
    const qsizetype cut = path.lastIndexOf(kBackslash);
    if (path.mid(cut + 1) == QStringLiteral("*.*")) {
        const QString folder = path.left(qMax<qsizetype>(cut, 0));
        if (!m_fs.folderExists(folder))
            throw LmError::standard(LmError::PathNotFound, folder);
        const QStringList names = m_fs.files(folder);
        for (const QString &name : names)
            sources.append(joinWindows(folder, name));
    } else {
        if (!m_fs.fileExists(path))
            throw LmError::standard(LmError::FileNotFound, path);
        sources.append(path);
    }

    const QString archiveHost = m_fs.toHost(archive);
    if (archiveHost.isEmpty())
        throw LmError::standard(LmError::PathNotFound, archive);
    const QString archiveCanonical = QFileInfo(archiveHost).absoluteFilePath();

    int code = 0;
    ZipHandle z(zip_open(QFile::encodeName(archiveHost).constData(), ZIP_CREATE, &code));
    if (!z) {
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
            throw damaged(archive, libzipMessage(code));
        throw LmError::user(ArchiveError::ArchiveNotWritten,
                            QStringLiteral("The zip file could not be written: %1 (%2)").arg(archive, libzipMessage(code)));
    }

    for (const QString &source : sources) {
        const QString host = m_fs.toHost(source);
        // A folder zipped into an archive that lives in it must not swallow the archive itself.
        if (QFileInfo(host).absoluteFilePath() == archiveCanonical)
            continue;
        const QString entry = entryName(source, entryNames);
        if (entry.isEmpty())
            throw LmError::standard(LmError::FileNotFound, source);
        if (progress)
            progress(QStringLiteral("Adding %1").arg(source));
        zip_source_t *data = zip_source_file(z.get(), QFile::encodeName(host).constData(), 0, -1);
        if (!data)
            throw LmError::standard(LmError::PathFileAccess, source);
        const QByteArray entryUtf8 = entry.toUtf8();
        if (zip_file_add(z.get(), entryUtf8.constData(), data, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(data);
            throw LmError::user(ArchiveError::ArchiveNotWritten,
                                QStringLiteral("The file %1 could not be added to %2 (%3)")
                                    .arg(source, archive, libzipMessage(zip_get_error(z.get()))));
        }
    }

    if (zip_close(z.get()) < 0) {
        const QString detail = libzipMessage(zip_get_error(z.get()));
        throw LmError::user(ArchiveError::ArchiveNotWritten,
                            QStringLiteral("The zip file could not be written: %1 (%2)").arg(archive, detail));
    }
    (void)z.release();  // closed: nothing left to discard
}

QString Zip::longPathMessage(const QString &path)
{
    return path + QStringLiteral("\nSorry, the path is longer than 79 characters.\n"
                                 "Due to limitations of the third party zip control you can not zip longer "
                                 "filenames.\nDo you want to continue?");
}

bool Zip::confirmLongPath(UiPort &ui, const QString &path)
{
    if (path.size() <= Unzip::MaxPathLength)
        return true;
    return ui.message(longPathMessage(path), QStringLiteral("Cannot zip file!"), UiPort::Buttons::OkCancel,
                      UiPort::Icon::Exclamation)
           == UiPort::Answer::Ok;
}
