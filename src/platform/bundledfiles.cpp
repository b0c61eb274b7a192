#include "platform/bundledfiles.h"

#include "platform/lmerror.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace BundledFiles {

namespace {

[[noreturn]] void cannotInstall(const QString &hostPath)
{
    throw LmError::standard(LmError::PathFileAccess, QDir::toNativeSeparators(hostPath));
}

void copyFile(const QString &source, const QString &target)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        cannotInstall(target);
    const QByteArray bytes = in.readAll();
    if (out.write(bytes) != bytes.size() || !out.flush())
        cannotInstall(target);
}

// Copies the resource folder's tree into target, which must not exist yet.
void copyFolder(const QString &source, const QString &target)
{
    if (!QDir().mkpath(target))
        cannotInstall(target);
    QDirIterator it(source, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString copy = target + QLatin1Char('/') + path.mid(source.size() + 1);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(copy))
                cannotInstall(copy);
        } else {
            copyFile(path, copy);
        }
    }
}

} // namespace

QString defaultRoot()
{
    return QStringLiteral(":/bundled");
}

QStringList installMissing(const QString &programFolderHost, const QString &root)
{
    QStringList installed;
    const QDir resources(root);
    for (const QFileInfo &item : resources.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                                                         QDir::Name)) {
        const QString target = programFolderHost + QLatin1Char('/') + item.fileName();
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        // Left over when an earlier start was interrupted: never taken for the item itself.
        const QString staging = target + QStringLiteral(".installing");
        QDir(staging).removeRecursively();
        QFile::remove(staging);
        if (item.isDir())
            copyFolder(item.filePath(), staging);
        else
            copyFile(item.filePath(), staging);
        if (!QFile::rename(staging, target)) {
            QDir(staging).removeRecursively();
            QFile::remove(staging);
            cannotInstall(target);
        }
        installed << item.fileName();
    }
    return installed;
}

} // namespace BundledFiles
