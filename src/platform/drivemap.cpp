#include "platform/drivemap.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {
QString cleanFolder(const QString &hostFolder)
{
    QString folder = QDir::cleanPath(hostFolder);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}
} // namespace

DriveMap DriveMap::fromWinePrefix(const QString &prefixHostPath)
{
    DriveMap map;
    const QString devices = prefixHostPath + QStringLiteral("/dosdevices");
    // System: a link whose target is missing (an unplugged medium) is still a drive letter.
    const QStringList names =
        QDir(devices).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        // "c:" is a drive; "c::" is the raw device behind it and no folder.
        if (name.size() != 2 || name.at(1) != QLatin1Char(':') || !name.at(0).isLetter() ||
            name.at(0).unicode() > 0x7F)
            continue;
        const QString linkPath = devices + QLatin1Char('/') + name;
        QString target;
        const QFileInfo info(linkPath);
        if (info.isSymLink()) {
            std::error_code ec;
            const std::filesystem::path raw = std::filesystem::read_symlink(linkPath.toStdString(), ec);
            if (ec)
                continue;
            target = QString::fromStdString(raw.string());
            if (QDir::isRelativePath(target))
                target = devices + QLatin1Char('/') + target;
        } else if (info.isDir()) {
            target = linkPath;
        } else {
            continue;
        }
        map.setDrive(name.at(0), target);
    }
    return map;
}

QString DriveMap::defaultWinePrefix()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (!prefix.isEmpty())
        return prefix;
    return QDir::homePath() + QStringLiteral("/.wine");
}

void DriveMap::setDrive(QChar letter, const QString &hostFolder)
{
    const QChar key = letter.toUpper();
    if (hostFolder.isEmpty()) {
        m_drives.remove(key);
        return;
    }
    m_drives.insert(key, cleanFolder(QFileInfo(hostFolder).absoluteFilePath()));
}

std::optional<QString> DriveMap::hostFolder(QChar letter) const
{
    const auto it = m_drives.constFind(letter.toUpper());
    if (it == m_drives.cend())
        return std::nullopt;
    return it.value();
}
