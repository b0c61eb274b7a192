#include "platform/folderscan.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

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
#ifdef Q_OS_UNIX
    // Straight from the listing: the kind of each entry comes with its name, so a folder costs one
    // open and its reads, and no look at each entry (QDirIterator builds a QFileInfo for each).
    if (DIR *dir = ::opendir(QFile::encodeName(host).constData())) {
        folder.exists = true;
        while (const dirent *entry = ::readdir(dir)) {
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            const QString decoded = QFile::decodeName(name);
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK)
                isFolder = QFileInfo(childHost(host, decoded)).isDir(); // a link counts as what it leads to
            (isFolder ? folder.subFolders : folder.files).append(decoded);
        }
        ::closedir(dir);
    }
#else
    folder.exists = QFileInfo(host).isDir();
    if (folder.exists) {
        QDirIterator it(host, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            (info.isDir() ? folder.subFolders : folder.files).append(info.fileName());
        }
    }
#endif
    return *m_folders.insert(host, folder);
}
