#include "platform/bundledfiles.h"

#include "platform/atomicfile.h"
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
    if (!in.open(QIODevice::ReadOnly))
        cannotInstall(target);
    // Through the atomic writer for its checks: a full disk is reported as one.
    AtomicFile out(target, QDir::toNativeSeparators(target));
    out.write(in.readAll());
    out.commit();
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
    for (const QFileInfo &item :
         resources.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString target = programFolderHost + QLatin1Char('/') + item.fileName();
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        // Left over when an earlier start was interrupted: never taken for the item itself.
        const QString staging = target + QStringLiteral(".installing");
        QDir(staging).removeRecursively();
        QFile::remove(staging);
        const auto removeStaging = [&staging] {
            QDir(staging).removeRecursively();
            QFile::remove(staging);
        };
        try {
            if (item.isDir())
                copyFolder(item.filePath(), staging);
            else
                copyFile(item.filePath(), staging);
        } catch (const LmError &) {
            removeStaging();
            throw;
        }
        if (!QFile::rename(staging, target)) {
            removeStaging();
            cannotInstall(target);
        }
        installed << item.fileName();
    }
    return installed;
}

} // namespace BundledFiles
