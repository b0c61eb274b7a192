#include "platform/filesystem.h"

#include "platform/atomicfile.h"
#include "platform/filefaults.h"
#include "platform/lmerror.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

namespace {

// Every failure names the file it concerns, as the caller gave it.
[[noreturn]] void fail(qint32 number, const QString &path)
{
    throw LmError::standard(number, path);
}

const QChar kBackslash = QLatin1Char('\\');
const QChar kSlash = QLatin1Char('/');

bool lessNoCase(const QString &a, const QString &b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

void sortNoCase(QStringList &names)
{
    std::sort(names.begin(), names.end(), lessNoCase);
}

QString joinHost(const QString &folder, const QString &name)
{
    return folder.endsWith(kSlash) ? folder + name : folder + kSlash + name;
}

QString hostParent(const QString &hostPath)
{
    return QFileInfo(hostPath).absolutePath();
}

// Windows keeps the last component's spelling of the target; the host needs the folder resolved.
QString windowsParent(const QString &windowsPath, QString *lastComponent)
{
    QString path = windowsPath;
    path.replace(kSlash, kBackslash);
    while (path.size() > 3 && path.endsWith(kBackslash))
        path.chop(1);
    const qsizetype cut = path.lastIndexOf(kBackslash);
    if (lastComponent)
        *lastComponent = cut < 0 ? path : path.mid(cut + 1);
    if (cut < 0)
        return {};
    QString parent = path.left(cut);
    if (parent.size() == 2 && parent.at(1) == QLatin1Char(':'))
        parent += kBackslash;
    return parent;
}

bool endsWithSeparator(const QString &windowsPath)
{
    return windowsPath.endsWith(kBackslash) || windowsPath.endsWith(kSlash);
}

bool hasWildcard(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// "*.*" is every file, also one without an extension, as the command prompt has always read it.
QRegularExpression wildcardExpression(const QString &pattern)
{
    const QString effective = pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(effective),
                              QRegularExpression::CaseInsensitiveOption);
}

// The files of a folder whose names match a "*" / "?" pattern, as paths; none at all is an error,
// as it has always been for a copy or delete by pattern.
QStringList matchingFiles(const FileSystem &fs, const QString &folder, const QString &pattern)
{
    const QRegularExpression expression = wildcardExpression(pattern);
    const QString prefix = endsWithSeparator(folder) ? folder : folder + kBackslash;
    QStringList paths;
    const QStringList names = fs.files(folder);
    for (const QString &name : names) {
        if (expression.match(name).hasMatch())
            paths.append(prefix + name);
    }
    if (paths.isEmpty())
        fail(LmError::FileNotFound, prefix + pattern);
    return paths;
}

// A copy or move by pattern goes into a folder that must exist; "\" marks it as a folder.
QString patternTargetFolder(const FileSystem &fs, const QString &target)
{
    const QString folder = endsWithSeparator(target) ? target : target + kBackslash;
    if (!fs.folderExists(folder))
        fail(LmError::PathNotFound, folder);
    return folder;
}

QStringList entryNames(const QString &hostFolder, QDir::Filters filters)
{
    QStringList names = QDir(hostFolder).entryList(filters | QDir::Hidden | QDir::NoDotAndDotDot);
    sortNoCase(names);
    return names;
}

// The name in a folder that differs from name only in letter case, the first in code order; empty
// when there is none.
QString firstMatchNoCase(const QString &hostFolder, const QString &name)
{
    QString match;
    const QStringList names =
        QDir(hostFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : names) {
        if (QString::compare(entry, name, Qt::CaseInsensitive) == 0 && (match.isEmpty() || entry < match))
            match = entry;
    }
    return match;
}

// Moves or renames a file (copied and removed when it goes to another volume) or a folder (on one
// volume only).
bool renameHost(const QString &sourceHost, const QString &targetHost)
{
    if (FileFaults::strikes(FileStep::Rename, sourceHost))
        return false;
    return QFileInfo(sourceHost).isDir() ? QDir().rename(sourceHost, targetHost)
                                         : QFile::rename(sourceHost, targetHost);
}

void makeWritable(const QString &hostPath)
{
    const QFileInfo info(hostPath);
    if (info.isSymLink())
        return;
    QFile::setPermissions(hostPath, info.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
}

bool isReadOnly(const QString &hostPath)
{
    const QFileInfo info(hostPath);
    return !info.isSymLink() && !(info.permissions() & QFileDevice::WriteOwner);
}

// Streams the file into the atomic writer, so an existing target is only replaced by a whole copy.
void copyHostFile(const QString &sourceHost, const QString &targetHost, const QString &source,
                  const QString &target)
{
    if (FileFaults::strikes(FileStep::Copy, targetHost))
        fail(LmError::DiskFull, target);
    QFile in(sourceHost);
    if (!in.open(QIODevice::ReadOnly))
        fail(in.error() == QFileDevice::PermissionsError ? LmError::PermissionDenied
                                                         : LmError::PathFileAccess,
             source);
    AtomicFile out(targetHost, target);
    QByteArray buffer;
    while (!in.atEnd()) {
        buffer = in.read(1 << 20);
        if (buffer.isEmpty() && in.error() != QFileDevice::NoError)
            fail(LmError::PathFileAccess, source);
        out.write(buffer);
    }
    out.commit();
    // A copy keeps the time the file was last written, like a copy on Windows does.
    QFile copied(out.finalHostPath());
    if (copied.open(QIODevice::ReadWrite))
        copied.setFileTime(QFileInfo(sourceHost).lastModified(), QFileDevice::FileModificationTime);
}

bool copyHostTree(const QString &sourceHost, const QString &targetHost)
{
    if (!QDir().mkdir(targetHost))
        return false;
    const QDir source(sourceHost);
    const QFileInfoList entries =
        source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString to = joinHost(targetHost, entry.fileName());
        if (entry.isSymLink()) {
            if (!QFile::link(entry.symLinkTarget(), to))
                return false;
        } else if (entry.isDir()) {
            if (!copyHostTree(entry.filePath(), to))
                return false;
        } else {
            try {
                copyHostFile(entry.filePath(), to, entry.filePath(), to);
            } catch (const LmError &) {
                return false;
            }
        }
    }
    return true;
}

void makeTreeWritable(const QString &hostFolder)
{
    makeWritable(hostFolder);
    QDirIterator it(hostFolder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        makeWritable(it.next());
}

bool treeHasReadOnlyFile(const QString &hostFolder)
{
    QDirIterator it(hostFolder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (isReadOnly(it.next()))
            return true;
    }
    return false;
}

// --- 8.3 names --------------------------------------------------------------------------------

bool isShortNameChar(QChar c)
{
    if (c.unicode() > 0x7E || c.unicode() <= 0x20)
        return false;
    static const QString invalid = QStringLiteral("\"*+,./:;<=>?[\\]|");
    return !invalid.contains(c);
}

bool isValidShortName(const QString &name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || ext.size() > 3 || (dot >= 0 && ext.isEmpty()))
        return false;
    return std::all_of(base.cbegin(), base.cend(), isShortNameChar) &&
           std::all_of(ext.cbegin(), ext.cend(), isShortNameChar);
}

// The part of a short name before "~n": upper case, blanks and dots dropped, characters a short
// name cannot hold become "_".
QString shortNamePart(const QString &text)
{
    QString part;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('.'))
            continue;
        const QChar upper = c.toUpper();
        part += isShortNameChar(upper) ? upper : QLatin1Char('_');
    }
    return part;
}

QString generatedShortName(const QString &longName, int number)
{
    QString name = longName;
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString base = shortNamePart(dot < 0 ? name : name.left(dot));
    const QString ext = shortNamePart(dot < 0 ? QString() : name.mid(dot + 1)).left(3);
    if (base.isEmpty())
        base = QStringLiteral("_");
    const QString tail = QLatin1Char('~') + QString::number(number);
    QString shortName = base.left(8 - tail.size()) + tail;
    if (!ext.isEmpty())
        shortName += QLatin1Char('.') + ext;
    return shortName;
}

} // namespace

// ================================================================================================

FileSystem::FileSystem(DriveMap drives) : m_drives(std::move(drives)) {}

QString FileSystem::toHost(const QString &windowsPath, FolderListings *listings) const
{
#ifdef Q_OS_WIN
    Q_UNUSED(listings);
    return windowsPath;
#else
    QString path = windowsPath;
    path.replace(kSlash, kBackslash);
    if (path.size() < 2 || path.at(1) != QLatin1Char(':') || !path.at(0).isLetter())
        return {}; // UNC, relative or drive-less
    if (path.size() > 2 && path.at(2) != kBackslash)
        return {}; // "C:name" is relative to the drive's current folder, which this program has not
    std::optional<QString> root = m_drives.hostFolder(path.at(0));
    // Without a drive of its own, Z: is the host's root: toWindows writes such paths that way.
    if (!root && path.at(0).toUpper() == QLatin1Char('Z'))
        root = QStringLiteral("/");
    if (!root)
        return {};

    // "." and ".." are settled on the text first, as Windows does, before anything is looked up.
    QStringList parts;
    const QStringList written = path.mid(3).split(kBackslash, Qt::SkipEmptyParts);
    for (const QString &part : written) {
        if (part == QStringLiteral("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (part != QStringLiteral(".")) {
            parts.append(part);
        }
    }

    QString resolved = *root;
    bool matching = true; // false from the first component that does not exist
    for (const QString &part : std::as_const(parts)) {
        QString name = part;
        if (matching) {
            if (listings) {
                name = listings->match(resolved, part);
            } else {
                const QString exact = joinHost(resolved, part);
                if (!QFileInfo::exists(exact) && !QFileInfo(exact).isSymLink())
                    name = firstMatchNoCase(resolved, part);
            }
            matching = !name.isEmpty();
            if (!matching)
                name = part;
        }
        resolved = joinHost(resolved, name);
    }
    return resolved;
#endif
}

QString FileSystem::toWindows(const QString &hostPath) const
{
    if (hostPath.isEmpty())
        return {};
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(hostPath);
#else
    const QString path = QDir::cleanPath(QFileInfo(hostPath).absoluteFilePath());
    QChar letter = QLatin1Char('Z');
    QString rest = path;
    qsizetype best = -1;
    for (auto it = m_drives.drives().cbegin(); it != m_drives.drives().cend(); ++it) {
        const QString &folder = it.value();
        const bool holds =
            folder == QStringLiteral("/") || path == folder || path.startsWith(folder + kSlash);
        if (holds && folder.size() > best) {
            best = folder.size();
            letter = it.key();
            rest = folder == QStringLiteral("/") ? path : path.mid(folder.size());
        }
    }
    while (rest.startsWith(kSlash))
        rest.remove(0, 1);
    rest.replace(kSlash, kBackslash);
    return letter + QStringLiteral(":\\") + rest;
#endif
}

QString FileSystem::hostOrThrow(const QString &windowsPath) const
{
    const QString host = toHost(windowsPath);
    if (host.isEmpty())
        fail(LmError::PathNotFound, windowsPath);
    return host;
}

bool FileSystem::fileExists(const QString &path) const
{
    const QString host = toHost(path);
    return !host.isEmpty() && QFileInfo(host).isFile();
}

bool FileSystem::folderExists(const QString &path) const
{
    const QString host = toHost(path);
    return !host.isEmpty() && QFileInfo(host).isDir();
}

void FileSystem::copyFile(const QString &source, const QString &target, bool overwrite) const
{
    QString sourceName;
    const QString sourceFolder = windowsParent(source, &sourceName);
    if (hasWildcard(sourceName)) {
        // "folder\*.*" copies every matching file into the target folder.
        const QString folder = patternTargetFolder(*this, target);
        for (const QString &file : matchingFiles(*this, sourceFolder, sourceName))
            copyFile(file, folder, overwrite);
        return;
    }

    const QString sourceHost = toHost(source);
    if (sourceHost.isEmpty() || !QFileInfo(sourceHost).isFile())
        fail(LmError::FileNotFound, source);
    QString targetPath = target;
    if (endsWithSeparator(targetPath))
        targetPath += QFileInfo(sourceHost).fileName();
    const QString targetHost = hostOrThrow(targetPath);
    const QFileInfo targetInfo(targetHost);
    if (!QFileInfo(hostParent(targetHost)).isDir())
        fail(LmError::PathNotFound, targetPath);
    if (targetInfo.isDir())
        fail(LmError::PathFileAccess, targetPath);
    if (targetInfo.exists()) {
        if (!overwrite)
            fail(LmError::FileAlreadyExists, targetPath);
        if (isReadOnly(targetHost))
            fail(LmError::PermissionDenied, targetPath);
    }
    copyHostFile(sourceHost, targetHost, source, targetPath);
}

void FileSystem::moveFile(const QString &source, const QString &target) const
{
    QString sourceName;
    const QString sourceFolder = windowsParent(source, &sourceName);
    if (hasWildcard(sourceName)) {
        const QString folder = patternTargetFolder(*this, target);
        for (const QString &file : matchingFiles(*this, sourceFolder, sourceName))
            moveFile(file, folder);
        return;
    }

    const QString sourceHost = toHost(source);
    if (sourceHost.isEmpty() || !QFileInfo(sourceHost).isFile())
        fail(LmError::FileNotFound, source);
    QString targetPath = target;
    if (endsWithSeparator(targetPath))
        targetPath += QFileInfo(sourceHost).fileName();
    QString targetName;
    const QString targetHostFolder = hostOrThrow(windowsParent(targetPath, &targetName));
    if (!QFileInfo(targetHostFolder).isDir())
        fail(LmError::PathNotFound, targetPath);
    QString targetHost = hostOrThrow(targetPath);
    if (QFileInfo::exists(targetHost)) {
        // Only a change of case names the same file; it is renamed to the spelling asked for.
        if (QFileInfo(targetHost).canonicalFilePath() != QFileInfo(sourceHost).canonicalFilePath())
            fail(LmError::FileAlreadyExists, targetPath);
        targetHost = joinHost(targetHostFolder, targetName);
        if (targetHost == sourceHost)
            return;
        const QString step = sourceHost + QStringLiteral(".lmcase");
        if (!renameHost(sourceHost, step) || !renameHost(step, targetHost))
            fail(LmError::PathFileAccess, source);
        return;
    }
    if (!renameHost(sourceHost, targetHost))
        fail(LmError::PathFileAccess, source);
}

void FileSystem::moveFolder(const QString &source, const QString &target) const
{
    const QString sourceHost = toHost(source);
    if (sourceHost.isEmpty() || !QFileInfo(sourceHost).isDir())
        fail(LmError::PathNotFound, source);
    QString targetName;
    const QString targetHostFolder = hostOrThrow(windowsParent(target, &targetName));
    if (!QFileInfo(targetHostFolder).isDir() || targetName.isEmpty())
        fail(LmError::PathNotFound, target);
    QString targetHost = hostOrThrow(target);
    const QString sourceCanonical = QFileInfo(sourceHost).canonicalFilePath();
    if (QFileInfo::exists(targetHost)) {
        if (QFileInfo(targetHost).canonicalFilePath() != sourceCanonical)
            fail(LmError::FileAlreadyExists, target);
        targetHost = joinHost(targetHostFolder, targetName);
        if (targetHost == sourceHost)
            return;
        const QString step = sourceHost + QStringLiteral(".lmcase");
        if (!renameHost(sourceHost, step) || !renameHost(step, targetHost))
            fail(LmError::PathFileAccess, source);
        return;
    }
    // A folder cannot be moved into itself or below itself.
    const QString targetCanonicalParent = QFileInfo(targetHostFolder).canonicalFilePath();
    if (targetCanonicalParent == sourceCanonical ||
        targetCanonicalParent.startsWith(sourceCanonical + kSlash))
        fail(LmError::PathFileAccess, target);
    if (renameHost(sourceHost, targetHost))
        return;
    // Another file system: copy the whole tree, and remove the source only once the copy is whole.
    if (!copyHostTree(sourceHost, targetHost)) {
        QDir(targetHost).removeRecursively();
        fail(LmError::PathFileAccess, target);
    }
    makeTreeWritable(sourceHost);
    if (!QDir(sourceHost).removeRecursively())
        fail(LmError::PermissionDenied, source);
}

void FileSystem::deleteFile(const QString &path, bool force) const
{
    QString name;
    const QString folder = windowsParent(path, &name);
    if (hasWildcard(name)) {
        for (const QString &file : matchingFiles(*this, folder, name))
            deleteFile(file, force);
        return;
    }

    const QString host = toHost(path);
    const QFileInfo info(host);
    if (host.isEmpty() || (!info.exists() && !info.isSymLink()) || info.isDir())
        fail(LmError::FileNotFound, path);
    if (isReadOnly(host)) {
        if (!force)
            fail(LmError::PermissionDenied, path);
        makeWritable(host);
    }
    if (!QFile::remove(host))
        fail(LmError::PermissionDenied, path);
}

void FileSystem::deleteFolder(const QString &path, bool force) const
{
    const QString host = toHost(path);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound, path);
    if (QFileInfo(host).isSymLink()) {
        // A linked folder: the link goes, what it points to stays.
        if (!QFile::remove(host))
            fail(LmError::PermissionDenied, path);
        return;
    }
    if (!force && treeHasReadOnlyFile(host))
        fail(LmError::PermissionDenied, path);
    makeTreeWritable(host);
    if (!QDir(host).removeRecursively())
        fail(LmError::PermissionDenied, path);
}

void FileSystem::clearAttributes(const QString &path) const
{
    const QString host = toHost(path);
    if (host.isEmpty() || !QFileInfo::exists(host))
        fail(LmError::FileNotFound, path);
    makeWritable(host);
}

void FileSystem::createFolder(const QString &path) const
{
    const QString host = hostOrThrow(path);
    const QFileInfo info(host);
    if (info.isDir())
        return;
    if (info.exists())
        fail(LmError::PathFileAccess, path); // a file of that name is in the way
    if (!QFileInfo(hostParent(host)).isDir())
        fail(LmError::PathNotFound, path);
    if (!QDir().mkdir(host))
        fail(QFileInfo(hostParent(host)).isWritable() ? LmError::PathFileAccess : LmError::PermissionDenied,
             path);
}

qint64 FileSystem::folderSize(const QString &path) const
{
    const QString host = toHost(path);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound, path);
    qint64 total = 0;
    QDirIterator it(host, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

qint64 FileSystem::fileSize(const QString &path) const
{
    const QString host = toHost(path);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.isFile())
        fail(LmError::FileNotFound, path);
    return info.size();
}

QStringList FileSystem::files(const QString &folder) const
{
    const QString host = toHost(folder);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound, folder);
    return entryNames(host, QDir::Files);
}

QStringList FileSystem::subFolders(const QString &folder) const
{
    const QString host = toHost(folder);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound, folder);
    return entryNames(host, QDir::Dirs);
}

QString FileSystem::shortName(const QString &path) const
{
    const QString host = toHost(path);
    if (host.isEmpty())
        fail(LmError::PathNotFound, path);
    const QFileInfo info(host);
    if (!info.exists())
        fail(LmError::FileNotFound, path);
    const QString name = info.fileName();
    if (name.isEmpty())
        return toWindows(host).left(2); // a drive root
    if (isValidShortName(name))
        return name.toUpper();

    // Names that already are 8.3 keep their form; the others take numbers in the order the
    // folder lists them, each the first one not yet taken beside it.
    const QStringList siblings = entryNames(hostParent(host), QDir::AllEntries | QDir::System);
    QSet<QString> taken;
    for (const QString &sibling : siblings) {
        if (isValidShortName(sibling))
            taken.insert(sibling.toUpper());
    }
    for (const QString &sibling : siblings) {
        if (isValidShortName(sibling))
            continue;
        QString candidate;
        for (int number = 1;; ++number) {
            candidate = generatedShortName(sibling, number);
            if (!taken.contains(candidate))
                break;
        }
        if (sibling == name)
            return candidate;
        taken.insert(candidate);
    }
    return generatedShortName(name, 1);
}

QString FileSystem::tempFolder() const
{
    QString folder = toWindows(QDir::tempPath());
    if (folder.size() > 3 && folder.endsWith(kBackslash))
        folder.chop(1);
    return folder;
}

qint64 FileSystem::freeBytes(const QString &path) const
{
    if (const std::optional<qint64> planned = FileFaults::plannedFreeBytes())
        return *planned;
    QString host = hostOrThrow(path);
    while (!QFileInfo(host).isDir() && host != hostParent(host))
        host = hostParent(host);
    const QStorageInfo storage(host);
    return storage.isValid() && storage.isReady() ? std::max<qint64>(storage.bytesAvailable(), 0) : 0;
}

QString FileSystem::entryPath(const QString &folder, const QString &name)
{
    static const QString reserved = QStringLiteral("\\/:*?");
    const bool refused =
        name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") ||
        std::any_of(name.cbegin(), name.cend(), [](QChar c) { return reserved.contains(c); });
    if (refused) {
        throw LmError(
            LmError::BadFileName,
            QStringLiteral("Bad file name: \"%1\" names no file or folder of %2. A name there may not "
                           "be empty, \".\" or \"..\", nor hold \\ / : * or ?.")
                .arg(name, folder));
    }
    return endsWithSeparator(folder) ? folder + name : folder + kBackslash + name;
}

QStringList FileSystem::readLines(const QString &path) const
{
    static const QByteArray utf8Mark("\xEF\xBB\xBF");
    const QByteArray bytes = readAll(path);
    const QString text =
        bytes.startsWith(utf8Mark) ? QString::fromUtf8(bytes.mid(utf8Mark.size())) : Cp1252::decode(bytes);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QByteArray FileSystem::readAll(const QString &path) const
{
    const QString host = toHost(path);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.exists())
        fail(LmError::FileNotFound, path);
    if (info.isDir())
        fail(LmError::PathFileAccess, path);
    QFile file(host);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.error() == QFileDevice::PermissionsError ? LmError::PermissionDenied
                                                           : LmError::PathFileAccess,
             path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || FileFaults::strikes(FileStep::Read, host))
        fail(LmError::PathFileAccess, path);
    return bytes;
}

void FileSystem::writeLines(const QString &path, const QStringList &lines) const
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += Cp1252::encode(line);
        bytes += "\r\n";
    }
    writeAll(path, bytes);
}

void FileSystem::writeAll(const QString &path, const QByteArray &bytes) const
{
    const QString host = hostOrThrow(path);
    if (!QFileInfo(hostParent(host)).isDir())
        fail(LmError::PathNotFound, path);
    writeFileAtomically(host, bytes, path);
}

void FileSystem::appendLine(const QString &path, const QString &line) const
{
    const QString host = hostOrThrow(path);
    const QFileInfo info(host);
    if (!QFileInfo(hostParent(host)).isDir())
        fail(LmError::PathNotFound, path);
    if (info.isDir())
        fail(LmError::PathFileAccess, path);
    if (info.exists() && isReadOnly(host))
        fail(LmError::PathFileAccess, path);
    QFile file(host);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        fail(file.error() == QFileDevice::PermissionsError ? LmError::PermissionDenied
                                                           : LmError::PathFileAccess,
             path);
    const QByteArray bytes = Cp1252::encode(line) + "\r\n";
    if (FileFaults::strikes(FileStep::Write, host) || file.write(bytes) != bytes.size() ||
        FileFaults::strikes(FileStep::Flush, host) || !file.flush())
        fail(LmError::DiskFull, path);
}

void writeFileAtomically(const QString &hostPath, const QByteArray &bytes, const QString &shownPath)
{
    AtomicFile file(hostPath, shownPath.isEmpty() ? hostPath : shownPath);
    file.write(bytes);
    file.commit();
}

TextFileWriter::TextFileWriter(const FileSystem &fs, const QString &path) : m_fs(fs), m_path(path) {}

void TextFileWriter::writeLine(const QString &line)
{
    m_bytes += Cp1252::encode(line);
    m_bytes += "\r\n";
}

void TextFileWriter::commit()
{
    m_fs.writeAll(m_path, m_bytes);
}

// ------------------------------------------------------------------------------------------------

void FolderListings::added(const QString &hostFolder, const QString &name)
{
    const auto folder = m_folders.find(hostFolder);
    if (folder == m_folders.end())
        return; // listed when first needed, with the new entry in it
    folder->names.insert(name);
    QString &first = folder->firstByFolded[name.toCaseFolded()];
    if (first.isEmpty() || name < first)
        first = name;
}

QString FolderListings::match(const QString &hostFolder, const QString &name)
{
    auto folder = m_folders.find(hostFolder);
    if (folder == m_folders.end()) {
        Folder listed;
        const QStringList names =
            QDir(hostFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : names) {
            listed.names.insert(entry);
            QString &first = listed.firstByFolded[entry.toCaseFolded()];
            if (first.isEmpty() || entry < first)
                first = entry;
        }
        folder = m_folders.insert(hostFolder, listed);
    }
    if (folder->names.contains(name))
        return name;
    return folder->firstByFolded.value(name.toCaseFolded());
}

FolderWriter::FolderWriter(const FileSystem &fs, QString folder) : m_fs(fs), m_folder(std::move(folder))
{
    // The folder itself may be a link (a simulator installed on another disk); what counts is the
    // place it leads to. While it does not exist, nothing below it can be a link.
    const QString root = m_fs.toHost(m_folder);
    if (root.isEmpty())
        fail(LmError::PathNotFound, m_folder);
    m_rootCanonical = QFileInfo(root).canonicalFilePath();
}

QString FolderWriter::windowsPath(const QStringList &parts) const
{
    QString path = m_folder;
    for (const QString &part : parts)
        path = endsWithSeparator(path) ? path + part : path + kBackslash + part;
    return path;
}

QString FolderWriter::hostPath(const QStringList &parts)
{
    return m_fs.toHost(windowsPath(parts), &m_listings);
}

bool FolderWriter::insideHost(const QString &hostPath) const
{
    const QString resolved = AtomicFile::resolveLinks(hostPath);
    QString canonical = QFileInfo(resolved).canonicalFilePath();
    if (canonical.isEmpty()) // a link to a file not yet there: where its folder leads
        canonical =
            joinHost(QFileInfo(hostParent(resolved)).canonicalFilePath(), QFileInfo(resolved).fileName());
    return canonical == m_rootCanonical || canonical.startsWith(joinHost(m_rootCanonical, QString()));
}

bool FolderWriter::staysInside(const QStringList &parts)
{
    if (m_rootCanonical.isEmpty())
        return true;
    for (qsizetype i = 1; i <= parts.size(); ++i) {
        const QString host = hostPath(parts.mid(0, i));
        if (m_checked.contains(host))
            continue;
        const QFileInfo info(host);
        if (!info.exists() && !info.isSymLink())
            return true; // from here on everything is created, and nothing created is a link
        if (info.isSymLink() && !insideHost(host))
            return false;
        if (i < parts.size())
            m_checked.insert(host);
    }
    return true;
}

void FolderWriter::createFolders(const QStringList &parts)
{
    for (qsizetype i = 0; i <= parts.size(); ++i) {
        const QString host = hostPath(parts.mid(0, i));
        if (m_made.contains(host))
            continue;
        const QFileInfo info(host);
        if (!info.isDir()) {
            if (info.exists())
                fail(LmError::PathFileAccess,
                     windowsPath(parts.mid(0, i))); // a file of that name is in the way
            if (!QDir().mkpath(host))
                fail(LmError::PathFileAccess, windowsPath(parts.mid(0, i)));
            if (i > 0)
                m_listings.added(hostParent(host), info.fileName());
        }
        m_made.insert(host);
    }
}

std::unique_ptr<AtomicFile> FolderWriter::open(const QStringList &parts)
{
    createFolders(parts.mid(0, parts.size() - 1));
    const QString host = hostPath(parts);
    const bool existed = QFileInfo::exists(host);
    if (existed)
        makeWritable(AtomicFile::resolveLinks(host));
    auto file = std::make_unique<AtomicFile>(host, windowsPath(parts));
    if (!existed)
        m_listings.added(hostParent(host), QFileInfo(host).fileName());
    return file;
}

TemporaryFolder::TemporaryFolder(const FileSystem &fs)
    : m_dir(QDir(QDir::tempPath()).filePath(QStringLiteral("lumivale-XXXXXX")))
{
    if (!m_dir.isValid())
        fail(LmError::PathFileAccess, fs.tempFolder());
    m_path = fs.toWindows(m_dir.path());
}
