#include "platform/archive.h"

#include "platform/atomicfile.h"
#include "platform/filefaults.h"
#include "platform/lmerror.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <zip.h>

#include <algorithm>
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
    return LmError::user(
        ArchiveError::ArchiveDamaged,
        QStringLiteral("The zip file is damaged or is not a zip file: %1 (%2)").arg(archive, detail));
}

QString joinWindows(const QString &folder, const QString &relative)
{
    if (folder.isEmpty() || folder.endsWith(kBackslash))
        return folder + relative;
    return folder + kBackslash + relative;
}

// An archive open for reading. A path longer than the archive component takes is read from a copy
// in a private temporary folder, which goes with the object; messages name the archive itself.
class ReadArchive
{
public:
    ReadArchive(const FileSystem &fs, const QString &archive) : m_archive(archive)
    {
        if (!fs.fileExists(archive))
            throw LmError::standard(LmError::FileNotFound, archive);
        QString host = fs.toHost(archive);
        if (archive.size() > Unzip::MaxPathLength) {
            m_copy.emplace(fs);
            const QString copy = m_copy->filePath(QStringLiteral("LumivaleTmp.zip"));
            fs.copyFile(archive, copy, true);
            host = fs.toHost(copy);
        }
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
        m_zip.reset(z);
    }

    zip_t *get() const { return m_zip.get(); }
    zip_int64_t count() const { return zip_get_num_entries(m_zip.get(), 0); }

    QString name(zip_uint64_t index) const
    {
        const char *name = zip_get_name(m_zip.get(), index, ZIP_FL_ENC_GUESS);
        if (!name)
            throw damaged(m_archive, libzipMessage(zip_get_error(m_zip.get())));
        return QString::fromUtf8(name);
    }

    qint64 size(zip_uint64_t index) const
    {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip.get(), index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            throw damaged(m_archive, libzipMessage(zip_get_error(m_zip.get())));
        return qint64(stat.size);
    }

    // Streams one entry into a file through the atomic writer: an existing file is replaced only
    // when the whole entry was read and written.
    void extract(zip_uint64_t index, AtomicFile &out) const
    {
        ZipFileHandle in(zip_fopen_index(m_zip.get(), index, 0));
        if (!in)
            throw damaged(m_archive, libzipMessage(zip_get_error(m_zip.get())));
        std::array<char, 64 * 1024> buffer{};
        zip_int64_t count = 0;
        while ((count = zip_fread(in.get(), buffer.data(), buffer.size())) > 0)
            out.write(buffer.data(), count);
        if (count < 0)
            throw damaged(m_archive, libzipMessage(zip_file_get_error(in.get())));
        out.commit();
    }

private:
    QString m_archive;
    std::optional<TemporaryFolder> m_copy;
    ZipHandle m_zip;
};

bool isFolderEntry(const QString &name)
{
    return name.endsWith(kSlash) || name.endsWith(kBackslash);
}

QString folderOf(const QStringList &parts)
{
    QString folder;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        folder += parts.at(i) + kBackslash;
    return folder;
}

// The parts of a folder below another, compared without regard to letter case; nothing when it
// does not lie below it.
std::optional<QStringList> partsBelow(const QString &folder, const QString &base)
{
    // Both are Windows paths on one drive: "C:\FS2002" below "C:\".
    const auto partsOf = [](const QString &path) {
        return Unzip::safeEntryParts(path.mid(2).split(kBackslash, Qt::SkipEmptyParts).join(kSlash));
    };
    const std::optional<QStringList> whole = partsOf(folder);
    const std::optional<QStringList> head = partsOf(base);
    if (!whole || !head || folder.left(2).compare(base.left(2), Qt::CaseInsensitive) != 0 ||
        whole->size() < head->size())
        return std::nullopt;
    for (qsizetype i = 0; i < head->size(); ++i) {
        if (whole->at(i).compare(head->at(i), Qt::CaseInsensitive) != 0)
            return std::nullopt;
    }
    return whole->mid(head->size());
}

bool startsWithNoCase(const QStringList &parts, const QStringList &head)
{
    if (parts.size() < head.size())
        return false;
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (parts.at(i).compare(head.at(i), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

struct PlannedEntry
{
    zip_uint64_t index = 0;
    QString name;
    QStringList parts; // below the folder written into
    bool folder = false;
};

LmError refusal(const QString &archive, const QString &why, const QString &folder, const QStringList &names)
{
    return LmError::user(ArchiveError::EntriesRefused,
                         QStringLiteral("Nothing was extracted from %1, because these entries %2 %3: %4")
                             .arg(archive, why, folder, names.join(QStringLiteral(", "))));
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

bool Unzip::extractAll()
{
    m_refused.clear();
    const ReadArchive z(m_fs, archive);

    // Where every entry goes, below the folder written into: targetFolder, or confineTo when set.
    QString destination = targetFolder;
    QStringList confined;
    if (!confineTo.isEmpty()) {
        const std::optional<QStringList> below = partsBelow(confineTo, targetFolder);
        if (!below)
            throw LmError::standard(LmError::PathNotFound, confineTo);
        destination = confineTo;
        confined = *below;
    }
    QList<PlannedEntry> planned;
    qint64 unpacked = 0;
    const zip_int64_t count = z.count();
    for (zip_int64_t i = 0; i < count; ++i) {
        PlannedEntry entry{zip_uint64_t(i), z.name(zip_uint64_t(i)), {}, false};
        entry.folder = isFolderEntry(entry.name);
        const std::optional<QStringList> parts = safeEntryParts(entry.name);
        if (!parts) {
            m_refused.append(entry.name);
            continue;
        }
        if (!startsWithNoCase(*parts, confined)) {
            // The folders that lead to the confined one exist already; an archive made by another
            // tool lists them, and there is nothing to do for them.
            if (!entry.folder || !startsWithNoCase(confined, *parts))
                m_refused.append(entry.name);
            continue;
        }
        entry.parts = parts->mid(confined.size());
        if (entry.parts.isEmpty())
            continue;
        if (!entry.folder)
            unpacked += z.size(entry.index);
        planned.append(entry);
    }
    if (!m_refused.isEmpty() && !skipRefused)
        throw refusal(archive, QStringLiteral("lie outside"), destination, m_refused);

    FolderWriter out(m_fs, destination);
    const qsizetype refusedBefore = m_refused.size();
    for (qsizetype i = 0; i < planned.size();) {
        if (out.staysInside(planned.at(i).parts)) {
            ++i;
            continue;
        }
        m_refused.append(planned.at(i).name);
        if (skipRefused) {
            if (!planned.at(i).folder)
                unpacked -= z.size(planned.at(i).index);
            planned.removeAt(i);
        } else {
            ++i;
        }
    }
    if (m_refused.size() > refusedBefore && !skipRefused)
        throw refusal(archive, QStringLiteral("would be written through a link that leads out of"),
                      destination, m_refused);

    const qint64 free = m_fs.freeBytes(destination);
    if (unpacked > free) {
        throw LmError(
            LmError::DiskFull,
            QStringLiteral("Disk full: %1 unpacks to %2 bytes, and %3 has only %4 bytes free. Nothing was "
                           "extracted.")
                .arg(archive)
                .arg(unpacked)
                .arg(destination)
                .arg(free));
    }

    const int files = int(std::count_if(planned.cbegin(), planned.cend(),
                                        [](const PlannedEntry &entry) { return !entry.folder; }));
    int done = 0;
    for (const PlannedEntry &entry : std::as_const(planned)) {
        if (progress)
            progress(QStringLiteral("Extracting %1").arg(entry.parts.join(kBackslash)));
        if (entry.folder) {
            out.createFolders(entry.parts);
            continue;
        }
        if (proceed && !proceed(out.windowsPath(entry.parts), done, files))
            return false;
        z.extract(entry.index, *out.open(entry.parts));
        ++done;
    }
    return true;
}

bool Unzip::extractFile(const QString &entry)
{
    try {
        QString wanted = entry;
        wanted.replace(kBackslash, kSlash);
        const ReadArchive z(m_fs, archive);
        const zip_int64_t count = z.count();
        for (zip_int64_t i = 0; i < count; ++i) {
            QString name = z.name(zip_uint64_t(i));
            name.replace(kBackslash, kSlash);
            if (isFolderEntry(name) || QString::compare(name, wanted, Qt::CaseInsensitive) != 0)
                continue;
            const std::optional<QStringList> parts = safeEntryParts(name);
            if (!parts || parts->isEmpty())
                return false;
            if (progress)
                progress(QStringLiteral("Extracting %1").arg(parts->join(kBackslash)));
            FolderWriter out(m_fs, targetFolder);
            const QStringList file{parts->last()};
            if (!out.staysInside(file))
                return false;
            z.extract(zip_uint64_t(i), *out.open(file));
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
    const ReadArchive z(m_fs, archive);
    const zip_int64_t count = z.count();
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = z.name(zip_uint64_t(i));
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

qint64 Unzip::unpackedSize()
{
    const ReadArchive z(m_fs, archive);
    qint64 total = 0;
    const zip_int64_t count = z.count();
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = z.name(zip_uint64_t(i));
        if (!isFolderEntry(name) && safeEntryParts(name))
            total += z.size(zip_uint64_t(i));
    }
    return total;
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

namespace {

// libzip writes an archive's entries in index order while it is closed, and tells its progress as
// a fraction in which entry i of n takes the range i/n to (i+1)/n. So the entry being written is
// known from the fraction, and a cancel asked for stops the writing before the new archive takes
// the place of the old one. Entries the archive held before are copied as they are and not asked
// about.
struct WriteWatch
{
    const Zip::ProceedFn *proceed = nullptr;
    QHash<zip_int64_t, QString> sources; // entry index -> file added there
    QString faultHost;                   // the archive, when its writes pass the file-fault seam
    // Asks again, at most this often, while one large file is written, so that the window stays
    // alive and a cancel need not wait for the next file; 0: once per file.
    qint64 reaskMs = 0;
    QElapsedTimer sinceAsked;
    int count = 0;
    zip_int64_t current = -1;
    bool stopped = false;
    bool diskFailed = false;

    static void progress(zip_t *, double fraction, void *data)
    {
        auto *watch = static_cast<WriteWatch *>(data);
        if (watch->stopped || watch->diskFailed)
            return;
        const zip_int64_t last = watch->count - 1;
        const zip_int64_t index =
            std::clamp(zip_int64_t(fraction * watch->count + 1e-9), zip_int64_t(0), last);
        if (index == watch->current) {
            if (watch->reaskMs == 0 || watch->sinceAsked.elapsed() < watch->reaskMs)
                return;
        } else {
            watch->current = index;
            if (!watch->faultHost.isEmpty() && FileFaults::strikes(FileStep::Write, watch->faultHost)) {
                watch->diskFailed = true;
                return;
            }
        }
        const auto source = watch->sources.constFind(index);
        if (*watch->proceed && source != watch->sources.cend()) {
            watch->stopped = !(*watch->proceed)(*source, int(index), watch->count);
            watch->sinceAsked.start();
        }
    }

    static int cancel(zip_t *, void *data)
    {
        const auto *watch = static_cast<WriteWatch *>(data);
        return watch->stopped || watch->diskFailed ? 1 : 0;
    }
};

LmError notWritten(const QString &archive, const QString &detail)
{
    return LmError::user(ArchiveError::ArchiveNotWritten,
                         QStringLiteral("The zip file could not be written: %1 (%2)").arg(archive, detail));
}

} // namespace

bool Zip::addFile(const QString &path)
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
    QList<Member> members;
    for (const QString &source : std::as_const(sources)) {
        // A folder zipped into an archive that lives in it must not swallow the archive itself.
        if (QFileInfo(m_fs.toHost(source)).absoluteFilePath() == archiveCanonical)
            continue;
        members.append({source, entryName(source, entryNames)});
    }
    return write(members, false);
}

bool Zip::create(const QList<Member> &members)
{
    // An archive closed without entries is deleted by libzip, which would take a file of that
    // name with it.
    if (members.isEmpty())
        throw notWritten(archive, QStringLiteral("no files to add"));
    for (const Member &member : members) {
        if (!m_fs.fileExists(member.source))
            throw LmError::standard(LmError::FileNotFound, member.source);
    }
    return write(members, true);
}

bool Zip::write(const QList<Member> &members, bool replace)
{
    const QString archiveHost = m_fs.toHost(archive);
    if (archiveHost.isEmpty())
        throw LmError::standard(LmError::PathNotFound, archive);

    // Outlives the archive handle, whose callbacks point at it.
    WriteWatch watch;
    watch.proceed = &proceed;
    if (replace) {
        watch.faultHost = archiveHost;
        watch.reaskMs = 250;
    }
    int code = 0;
    // ZIP_TRUNCATE ignores what a file of that name holds; libzip still writes the new archive
    // beside it and renames it into its place only when the whole archive is written.
    const int flags = replace ? ZIP_CREATE | ZIP_TRUNCATE : ZIP_CREATE;
    ZipHandle z(zip_open(QFile::encodeName(archiveHost).constData(), flags, &code));
    if (!z) {
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
            throw damaged(archive, libzipMessage(code));
        throw notWritten(archive, libzipMessage(code));
    }

    for (const Member &member : members) {
        const QString &source = member.source;
        const QString host = m_fs.toHost(source);
        if (member.entry.isEmpty())
            throw LmError::standard(LmError::FileNotFound, source);
        if (progress)
            progress(QStringLiteral("Adding %1").arg(source));
        zip_source_t *data = zip_source_file(z.get(), QFile::encodeName(host).constData(), 0, -1);
        if (!data)
            throw LmError::standard(LmError::PathFileAccess, source);
        const QByteArray entryUtf8 = member.entry.toUtf8();
        const zip_int64_t index =
            zip_file_add(z.get(), entryUtf8.constData(), data, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            throw LmError::user(ArchiveError::ArchiveNotWritten,
                                QStringLiteral("The file %1 could not be added to %2 (%3)")
                                    .arg(source, archive, libzipMessage(zip_get_error(z.get()))));
        }
        watch.sources.insert(index, source);
    }

    if ((proceed || replace) && !watch.sources.isEmpty()) {
        watch.count = int(zip_get_num_entries(z.get(), 0));
        zip_register_progress_callback_with_state(z.get(), 0.0, &WriteWatch::progress, nullptr, &watch);
        zip_register_cancel_callback_with_state(z.get(), &WriteWatch::cancel, nullptr, &watch);
    }

    // libzip writes the whole archive aside and puts it in place only when complete, so a failed
    // close, like a fault planned for this commit, leaves the archive on disk as it was.
    if (FileFaults::strikes(FileStep::Commit, archiveHost))
        throw notWritten(archive, LmError::standardDescription(LmError::DiskFull));
    if (zip_close(z.get()) < 0) {
        if (watch.stopped)
            return false;
        if (watch.diskFailed)
            throw notWritten(archive, LmError::standardDescription(LmError::DiskFull));
        throw notWritten(archive, libzipMessage(zip_get_error(z.get())));
    }
    (void)z.release(); // closed: nothing left to discard
    return true;
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
                      UiPort::Icon::Exclamation) == UiPort::Answer::Ok;
}
