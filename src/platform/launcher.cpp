#include "platform/launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

QString Launcher::resolveProgram(const QString &program) const
{
#ifdef Q_OS_WIN
    return program;
#else
    // A drive letter or a "\" marks Windows path text; anything else is the host's own.
    const bool windowsForm =
        (program.size() >= 2 && program.at(1) == QLatin1Char(':')) || program.contains(QLatin1Char('\\'));
    if (!windowsForm)
        return program;
    return m_fs.toHost(program);
#endif
}

bool Launcher::programExists(const QString &program) const
{
    const QString resolved = resolveProgram(program.trimmed());
    if (resolved.isEmpty())
        return false;
    const QFileInfo info(resolved);
    if (info.isAbsolute() || resolved.contains(QLatin1Char('/')))
        return info.isFile() && info.isExecutable();
    return !QStandardPaths::findExecutable(resolved).isEmpty();
}

bool Launcher::startProgram(const QString &program, const QStringList &arguments)
{
    const QString resolved = resolveProgram(program.trimmed());
    if (resolved.isEmpty())
        return false;
    return QProcess::startDetached(resolved, arguments);
}

bool Launcher::openWithDesktop(const QUrl &address)
{
    if (!address.isValid())
        return false;
    const QString text = address.isLocalFile() ? address.toLocalFile() : address.toString(QUrl::FullyEncoded);
#if defined(Q_OS_WIN)
    return QProcess::startDetached(QStringLiteral("rundll32"),
                                   {QStringLiteral("url.dll,FileProtocolHandler"), text});
#elif defined(Q_OS_MACOS)
    return QProcess::startDetached(QStringLiteral("open"), {text});
#else
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !opener.isEmpty() && QProcess::startDetached(opener, {text});
#endif
}
