#include "platform/drives.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {
qint64 freeBytesOf(const QStorageInfo &storage)
{
    return storage.isValid() && storage.isReady() ? std::max<qint64>(storage.bytesAvailable(), 0) : 0;
}
} // namespace

#ifdef Q_OS_WIN
QList<DriveInfo> listDrives(const DriveMap &)
{
    QList<DriveInfo> result;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        const QString root = volume.rootPath();
        // Volumes mounted in a folder have no letter of their own.
        if (root.size() > 3 || root.isEmpty() || !root.at(0).isLetter())
            continue;
        const std::wstring rootText = root.toStdWString();
        DriveInfo drive;
        drive.letter = root.at(0).toUpper();
        drive.fixed = GetDriveTypeW(rootText.c_str()) == DRIVE_FIXED;
        drive.ready = volume.isReady();
        drive.freeBytes = freeBytesOf(volume);
        result.append(drive);
    }
    std::sort(result.begin(), result.end(),
              [](const DriveInfo &a, const DriveInfo &b) { return a.letter < b.letter; });
    return result;
}
#else
QList<DriveInfo> listDrives(const DriveMap &drives)
{
    QList<DriveInfo> result;
    for (auto it = drives.drives().cbegin(); it != drives.drives().cend(); ++it) {
        DriveInfo drive;
        drive.letter = it.key();
        // A mapped folder that exists counts as a fixed disk: the host decides what lies behind it.
        drive.fixed = QFileInfo(it.value()).isDir();
        if (drive.fixed) {
            const QStorageInfo storage(it.value());
            drive.ready = storage.isValid() && storage.isReady();
            drive.freeBytes = freeBytesOf(storage);
        }
        result.append(drive);
    }
    return result;
}
#endif
