#include "platform/filesystem.h"

#include "platform/lmerror.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

namespace {

[[noreturn]] void fail(qint32 number)
{
    throw LmError::standard(number);
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
        fail(LmError::FileNotFound);
    return paths;
}

// A copy or move by pattern goes into a folder that must exist; "\" marks it as a folder.
QString patternTargetFolder(const FileSystem &fs, const QString &target)
{
    const QString folder = endsWithSeparator(target) ? target : target + kBackslash;
    if (!fs.folderExists(folder))
        fail(LmError::PathNotFound);
    return folder;
}

QStringList entryNames(const QString &hostFolder, QDir::Filters filters)
{
    QStringList names = QDir(hostFolder).entryList(filters | QDir::Hidden | QDir::NoDotAndDotDot);
    sortNoCase(names);
    return names;
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

// Streams the file into a save file so an existing target is only replaced by a complete copy.
void copyHostFile(const QString &sourceHost, const QString &targetHost)
{
    QFile source(sourceHost);
    if (!source.open(QIODevice::ReadOnly))
        fail(source.error() == QFileDevice::PermissionsError ? LmError::PermissionDenied
                                                             : LmError::PathFileAccess);
    QSaveFile target(targetHost);
    if (!target.open(QIODevice::WriteOnly))
        fail(target.error() == QFileDevice::PermissionsError ? LmError::PermissionDenied
                                                             : LmError::PathFileAccess);
    QByteArray buffer;
    while (!source.atEnd()) {
        buffer = source.read(1 << 20);
        if (buffer.isEmpty() && source.error() != QFileDevice::NoError) {
            target.cancelWriting();
            fail(LmError::PathFileAccess);
        }
        if (target.write(buffer) != buffer.size()) {
            target.cancelWriting();
            fail(LmError::DiskFull);
        }
    }
    if (!target.flush() || !target.commit())
        fail(target.error() == QFileDevice::ResourceError ? LmError::DiskFull : LmError::PathFileAccess);
    // A copy keeps the time the file was last written, like a copy on Windows does.
    QFile copied(targetHost);
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
                copyHostFile(entry.filePath(), to);
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

QString FileSystem::toHost(const QString &windowsPath) const
{
#ifdef Q_OS_WIN
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

    QStringList resolved; // components below the drive folder
    bool matching = true; // false from the first component that does not exist
    for (const QString &part : std::as_const(parts)) {
        if (matching) {
            const QString folder = resolved.isEmpty() ? *root : joinHost(*root, resolved.join(kSlash));
            const QString exact = joinHost(folder, part);
            if (!QFileInfo::exists(exact) && !QFileInfo(exact).isSymLink()) {
                QString match;
                const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                                 QDir::System | QDir::NoDotAndDotDot);
                for (const QString &name : names) {
                    if (QString::compare(name, part, Qt::CaseInsensitive) == 0 &&
                        (match.isEmpty() || name < match))
                        match = name;
                }
                if (!match.isEmpty()) {
                    resolved.append(match);
                    continue;
                }
                matching = false;
            }
        }
        resolved.append(part);
    }
    return resolved.isEmpty() ? *root : joinHost(*root, resolved.join(kSlash));
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
        fail(LmError::PathNotFound);
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
        fail(LmError::FileNotFound);
    QString targetPath = target;
    if (endsWithSeparator(targetPath))
        targetPath += QFileInfo(sourceHost).fileName();
    const QString targetHost = hostOrThrow(targetPath);
    const QFileInfo targetInfo(targetHost);
    if (!QFileInfo(hostParent(targetHost)).isDir())
        fail(LmError::PathNotFound);
    if (targetInfo.isDir())
        fail(LmError::PathFileAccess);
    if (targetInfo.exists()) {
        if (!overwrite)
            fail(LmError::FileAlreadyExists);
        if (isReadOnly(targetHost))
            fail(LmError::PermissionDenied);
    }
    copyHostFile(sourceHost, targetHost);
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
        fail(LmError::FileNotFound);
    QString targetPath = target;
    if (endsWithSeparator(targetPath))
        targetPath += QFileInfo(sourceHost).fileName();
    QString targetName;
    const QString targetHostFolder = hostOrThrow(windowsParent(targetPath, &targetName));
    if (!QFileInfo(targetHostFolder).isDir())
        fail(LmError::PathNotFound);
    QString targetHost = hostOrThrow(targetPath);
    if (QFileInfo::exists(targetHost)) {
        // Only a change of case names the same file; it is renamed to the spelling asked for.
        if (QFileInfo(targetHost).canonicalFilePath() != QFileInfo(sourceHost).canonicalFilePath())
            fail(LmError::FileAlreadyExists);
        targetHost = joinHost(targetHostFolder, targetName);
        if (targetHost == sourceHost)
            return;
        const QString step = sourceHost + QStringLiteral(".lmcase");
        if (!QFile::rename(sourceHost, step) || !QFile::rename(step, targetHost))
            fail(LmError::PathFileAccess);
        return;
    }
    if (!QFile::rename(sourceHost, targetHost))
        fail(LmError::PathFileAccess);
}

void FileSystem::moveFolder(const QString &source, const QString &target) const
{
    const QString sourceHost = toHost(source);
    if (sourceHost.isEmpty() || !QFileInfo(sourceHost).isDir())
        fail(LmError::PathNotFound);
    QString targetName;
    const QString targetHostFolder = hostOrThrow(windowsParent(target, &targetName));
    if (!QFileInfo(targetHostFolder).isDir() || targetName.isEmpty())
        fail(LmError::PathNotFound);
    QString targetHost = hostOrThrow(target);
    const QString sourceCanonical = QFileInfo(sourceHost).canonicalFilePath();
    if (QFileInfo::exists(targetHost)) {
        if (QFileInfo(targetHost).canonicalFilePath() != sourceCanonical)
            fail(LmError::FileAlreadyExists);
        targetHost = joinHost(targetHostFolder, targetName);
        if (targetHost == sourceHost)
            return;
        const QString step = sourceHost + QStringLiteral(".lmcase");
        if (!QDir().rename(sourceHost, step) || !QDir().rename(step, targetHost))
            fail(LmError::PathFileAccess);
        return;
    }
    // A folder cannot be moved into itself or below itself.
    const QString targetCanonicalParent = QFileInfo(targetHostFolder).canonicalFilePath();
    if (targetCanonicalParent == sourceCanonical ||
        targetCanonicalParent.startsWith(sourceCanonical + kSlash))
        fail(LmError::PathFileAccess);
    if (QDir().rename(sourceHost, targetHost))
        return;
    // Another file system: copy the whole tree, and remove the source only once the copy is whole.
    if (!copyHostTree(sourceHost, targetHost)) {
        QDir(targetHost).removeRecursively();
        fail(LmError::PathFileAccess);
    }
    makeTreeWritable(sourceHost);
    if (!QDir(sourceHost).removeRecursively())
        fail(LmError::PermissionDenied);
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
        fail(LmError::FileNotFound);
    if (isReadOnly(host)) {
        if (!force)
            fail(LmError::PermissionDenied);
        makeWritable(host);
    }
    if (!QFile::remove(host))
        fail(LmError::PermissionDenied);
}

void FileSystem::deleteFolder(const QString &path, bool force) const
{
    const QString host = toHost(path);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound);
    if (QFileInfo(host).isSymLink()) {
        // A linked folder: the link goes, what it points to stays.
        if (!QFile::remove(host))
            fail(LmError::PermissionDenied);
        return;
    }
    if (!force && treeHasReadOnlyFile(host))
        fail(LmError::PermissionDenied);
    makeTreeWritable(host);
    if (!QDir(host).removeRecursively())
        fail(LmError::PermissionDenied);
}

void FileSystem::clearAttributes(const QString &path) const
{
    const QString host = toHost(path);
    if (host.isEmpty() || !QFileInfo::exists(host))
        fail(LmError::FileNotFound);
    makeWritable(host);
}

void FileSystem::createFolder(const QString &path) const
{
    const QString host = hostOrThrow(path);
    const QFileInfo info(host);
    if (info.isDir())
        return;
    if (info.exists())
        fail(LmError::PathFileAccess); // a file of that name is in the way
    if (!QFileInfo(hostParent(host)).isDir())
        fail(LmError::PathNotFound);
    if (!QDir().mkdir(host))
        fail(QFileInfo(hostParent(host)).isWritable() ? LmError::PathFileAccess : LmError::PermissionDenied);
}

qint64 FileSystem::folderSize(const QString &path) const
{
    const QString host = toHost(path);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound);
    qint64 total = 0;
    QDirIterator it(host, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

QStringList FileSystem::files(const QString &folder) const
{
    const QString host = toHost(folder);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound);
    return entryNames(host, QDir::Files);
}

QStringList FileSystem::subFolders(const QString &folder) const
{
    const QString host = toHost(folder);
    if (host.isEmpty() || !QFileInfo(host).isDir())
        fail(LmError::PathNotFound);
    return entryNames(host, QDir::Dirs);
}

QString FileSystem::shortName(const QString &path) const
{
    const QString host = toHost(path);
    if (host.isEmpty())
        fail(LmError::PathNotFound);
    const QFileInfo info(host);
    if (!info.exists())
        fail(LmError::FileNotFound);
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

QStringList FileSystem::readLines(const QString &path) const
{
    const QString text = Cp1252::decode(readAll(path));
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
        fail(LmError::FileNotFound);
    if (info.isDir())
        fail(LmError::PathFileAccess);
    QFile file(host);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.error() == QFileDevice::PermissionsError ? LmError::PermissionDenied
                                                           : LmError::PathFileAccess);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(LmError::PathFileAccess);
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
        fail(LmError::PathNotFound);
    writeFileAtomically(host, bytes);
}

void FileSystem::appendLine(const QString &path, const QString &line) const
{
    const QString host = hostOrThrow(path);
    const QFileInfo info(host);
    if (!QFileInfo(hostParent(host)).isDir())
        fail(LmError::PathNotFound);
    if (info.isDir())
        fail(LmError::PathFileAccess);
    if (info.exists() && isReadOnly(host))
        fail(LmError::PathFileAccess);
    QFile file(host);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        fail(file.error() == QFileDevice::PermissionsError ? LmError::PermissionDenied
                                                           : LmError::PathFileAccess);
    const QByteArray bytes = Cp1252::encode(line) + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.flush())
        fail(LmError::DiskFull);
}

void writeFileAtomically(const QString &hostPath, const QByteArray &bytes)
{
    const QFileInfo info(hostPath);
    if (info.isDir())
        fail(LmError::PathFileAccess);
    // A read-only file is not replaced: renaming over it would succeed here, not on Windows.
    if (info.exists() && isReadOnly(hostPath))
        fail(LmError::PathFileAccess);
    const QString folder = hostParent(hostPath);
    if (!QFileInfo(folder).isDir())
        fail(LmError::PathNotFound);
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(file.error() == QFileDevice::PermissionsError || !QFileInfo(folder).isWritable()
                 ? LmError::PermissionDenied
                 : LmError::PathFileAccess);
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const bool full =
            file.error() == QFileDevice::ResourceError || file.error() == QFileDevice::WriteError;
        file.cancelWriting();
        fail(full ? LmError::DiskFull : LmError::PathFileAccess);
    }
    if (!file.commit())
        fail(file.error() == QFileDevice::ResourceError ? LmError::DiskFull : LmError::PathFileAccess);
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
