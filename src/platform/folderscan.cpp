#include "platform/folderscan.h"

#include <QDirIterator>
#include <QFileInfo>

FolderScan::FolderScan(const FileSystem &fs) : m_fs(fs), m_listings(std::make_unique<FolderListings>())
{
    m_unmapped.unmapped = true;
}

FolderScan::~FolderScan() = default;

const FolderScan::Folder &FolderScan::folder(const QString &path)
{
    const QString host = m_fs.toHost(path, m_listings.get());
    if (host.isEmpty())
        return m_unmapped;
    return listed(host);
}

namespace {

QString childHost(const QString &host, const QString &name)
{
    return host.endsWith(QLatin1Char('/')) ? host + name : host + QLatin1Char('/') + name;
}

} // namespace

const FolderScan::Folder &FolderScan::subFolder(const Folder &parent, const QString &name)
{
    QString match;
    for (const QString &entry : parent.subFolders) {
        if (entry == name)
            return listed(childHost(parent.host, entry));
        if (match.isEmpty() && entry.compare(name, Qt::CaseInsensitive) == 0)
            match = entry;
    }
    if (match.isEmpty())
        return m_missing;
    return listed(childHost(parent.host, match));
}

const FolderScan::Folder &FolderScan::listed(const QString &host)
{
    auto found = m_folders.constFind(host);
    if (found != m_folders.cend())
        return *found;
    Folder folder;
    folder.host = host;
    folder.exists = QFileInfo(host).isDir();
    if (folder.exists) {
        // The iterator takes the kind of each entry from the listing itself where the system gives
        // it, so listing a folder costs no look at each file.
        QDirIterator it(host, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            (info.isDir() ? folder.subFolders : folder.files).append(info.fileName());
        }
    }
    return *m_folders.insert(host, folder);
}
