#pragma once

#include "platform/filesystem.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

// Looks into many folders for one operation (a check of the whole library), each folder read from
// the disk once however many paths pass through it: the folders on the way to a path are matched
// through one FolderListings, and every folder looked into is listed once and kept.
class FolderScan
{
public:
    // What one folder holds: names of its files and of its subfolders, as written on the disk.
    struct Folder
    {
        bool exists = false;
        // The path had a drive the drive map does not know, so nothing could be looked at.
        bool unmapped = false;
        QStringList files;
        QStringList subFolders;

    private:
        friend class FolderScan;
        QString host;
    };

    explicit FolderScan(const FileSystem &fs);
    ~FolderScan();
    FolderScan(const FolderScan &) = delete;
    FolderScan &operator=(const FolderScan &) = delete;

    // The folder at a path (Windows form), matched without regard to letter case.
    const Folder &folder(const QString &path);
    // The subfolder of a folder already looked at whose name matches without regard to letter
    // case; one that does not exist when there is none.
    const Folder &subFolder(const Folder &parent, const QString &name);

    // Folders read from the disk so far.
    qsizetype foldersRead() const { return m_folders.count(); }

private:
    const Folder &listed(const QString &host);

    const FileSystem &m_fs;
    std::unique_ptr<FolderListings> m_listings;
    QHash<QString, Folder> m_folders; // by host path
    Folder m_missing;
    Folder m_unmapped;
};
