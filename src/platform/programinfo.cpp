#include "platform/programinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

QString ProgramInfo::defaultProgramFolder()
{
#ifdef Q_OS_WIN
    QString folder = QCoreApplication::applicationDirPath();
#else
    QString folder = qEnvironmentVariable("LUMIVALE_HOME");
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Lumivale");
    }
#endif
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    QDir().mkpath(folder);
    return folder;
}

ProgramInfo::ProgramInfo(QString programFolderHost, QStringList arguments)
    : m_folderHost(std::move(programFolderHost)), m_arguments(std::move(arguments))
{
}

QString ProgramInfo::commandLine() const
{
    return m_arguments.join(QLatin1Char(' '));
}

int ProgramInfo::versionMajor()
{
    return LUMIVALE_VERSION_MAJOR;
}

int ProgramInfo::versionMinor()
{
    return LUMIVALE_VERSION_MINOR;
}

int ProgramInfo::versionRevision()
{
    return LUMIVALE_VERSION_PATCH;
}

namespace {
QString lockPath(const QString &folderHost)
{
    return QDir(folderHost).filePath(QStringLiteral("Lumivale.lock"));
}
} // namespace

QString ProgramInfo::instanceLockHolder() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!QLockFile(lockPath(m_folderHost)).getLockInfo(&pid, &host, &application))
        return {};
    const QString program = application.isEmpty() ? QStringLiteral("Lumivale") : application;
    return QStringLiteral("%1, process %2").arg(program, QString::number(pid));
}

bool ProgramInfo::acquireInstanceLock()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(lockPath(m_folderHost));
    // Only a lock whose process has gone is stale: an instance that has run for a long time still
    // holds its lock, however old the file is.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}
