#include "platform/launcher.h"

#include <QProcess>

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

bool Launcher::startProgram(const QString &program, const QStringList &arguments)
{
    const QString resolved = resolveProgram(program.trimmed());
    if (resolved.isEmpty())
        return false;
    return QProcess::startDetached(resolved, arguments);
}
