#include "airports/airportdirectory.h"

#include "platform/filesystem.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"

AirportDirectory::AirportDirectory(const FileSystem &fs, const QString &programFolder)
    : m_fs(fs), m_folder(WinPath::join(programFolder, folderName()))
{}

std::optional<QString> AirportDirectory::file(List list, const QString &name) const
{
    QString fileName;
    switch (list) {
    case List::Areas:
        fileName = QStringLiteral("AD_World.txt");
        break;
    case List::Countries:
    case List::States:
        fileName = QStringLiteral("AD_") + name + QStringLiteral(".txt");
        break;
    case List::Airports:
        fileName = name + QStringLiteral(".txt");
        break;
    }
    try {
        return FileSystem::entryPath(m_folder, fileName);
    } catch (const LmError &) {
        return std::nullopt;
    }
}

std::optional<QStringList> AirportDirectory::read(List list, const QString &name) const
{
    const std::optional<QString> path = file(list, name);
    if (!path || !m_fs.fileExists(*path))
        return std::nullopt;
    QStringList lines = m_fs.readLines(*path);
    lines.removeAll(QString());
    return lines;
}

QStringList AirportDirectory::entries(List list, const QString &name) const
{
    return read(list, name).value_or(QStringList());
}
