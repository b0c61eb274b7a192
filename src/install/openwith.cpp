#include "install/openwith.h"

#include "platform/launcher.h"
#include "platform/winpath.h"

#include <QProcess>

namespace {
using Root = SettingsStore::Root;
const QString CannotOpen = QStringLiteral("Can not open data file.");

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}
} // namespace

OpenWith::OpenWith(AppContext &context, Launcher &launcher) : m_context(context), m_launcher(launcher) {}

QString OpenWith::extensionOf(const QString &name)
{
    QString rest = name;
    while (rest.contains(u'.'))
        rest = rest.mid(rest.indexOf(u'.') + 1);
    return QLatin1Char('.') + rest;
}

OpenWith::Lookup OpenWith::lookup(const QString &path, const QString &name) const
{
    const SettingsStore &reg = m_context.settings;
    const QString extension = extensionOf(name);
    const QString openWithList =
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\") + extension +
        QStringLiteral("\\OpenWithList");
    bool hasList = false;
    const QString mru = reg.read(Root::User, openWithList, QStringLiteral("MRUList"), {}, &hasList);
    if (hasList && !mru.isEmpty()) {
        bool hasProgram = false;
        QString program = reg.read(Root::User, openWithList, mru.left(1), {}, &hasProgram);
        // The program itself may head the list; the one used before it is meant then.
        if (hasProgram && program.toUpper() == QStringLiteral("LUMIVALE.EXE"))
            program = reg.read(Root::User, openWithList, mru.mid(1, 1), {}, &hasProgram);
        if (hasProgram) {
            QString command = reg.read(Root::Classes,
                                       QStringLiteral("Applications\\") + program +
                                           QStringLiteral("\\shell\\open\\command"),
                                       QString());
            if (command.contains(QStringLiteral("%1")))
                return {command.replace(QStringLiteral("%1"), quoted(path)), {}};
            if (!command.isEmpty())
                return {command + QLatin1Char(' ') + quoted(path), {}};
            return {quoted(program) + QLatin1Char(' ') + quoted(path), {}};
        }
    }
    bool hasType = false;
    const QString fileType = reg.read(Root::Classes, extension, QString(), {}, &hasType);
    if (!hasType)
        return {{}, QStringLiteral("Filetype not found.")};
    bool hasCommand = false;
    QString command = reg.read(Root::Classes, fileType + QStringLiteral("\\shell\\open\\command"), QString(),
                               {}, &hasCommand);
    if (!hasCommand)
        return {{}, QStringLiteral("Application not found.")};
    if (command.isEmpty())
        return {{}, QStringLiteral("Sorry, REG_EXPAND_SZ not covered.")};
    if (command.contains(QStringLiteral("%1")))
        return {command.replace(QStringLiteral("%1"), path), {}};
    return {command + QLatin1Char(' ') + quoted(path), {}};
}

QString OpenWith::programInPrefix(const QString &program) const
{
    const FileSystem &fs = m_context.fs;
    if (program.contains(u'\\'))
        return fs.fileExists(program) ? program : QString();
    for (const QString &folder : {QStringLiteral("C:\\windows\\system32"), QStringLiteral("C:\\windows")}) {
        for (const QString &candidate : {program, program + QStringLiteral(".exe")}) {
            const QString path = WinPath::join(folder, candidate);
            if (fs.fileExists(path))
                return path;
        }
    }
    return {};
}

bool OpenWith::start(const QString &commandLine) const
{
    QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty())
        return false;
    const QString program = parts.takeFirst();
#ifdef Q_OS_WIN
    return m_launcher.startProgram(program, parts);
#else
    // A program of the Wine prefix runs through wine, and only when it is there.
    const QString found = programInPrefix(program);
    if (found.isEmpty())
        return false;
    return m_launcher.startProgram(QStringLiteral("wine"), QStringList{found} + parts);
#endif
}

bool OpenWith::open(const QString &path, const QString &name)
{
    const Lookup found = lookup(path, name);
    if (!found.commandLine.isEmpty() && start(found.commandLine))
        return true;
#ifndef Q_OS_WIN
    const QString host = m_context.fs.toHost(path);
    const bool opened = desktopOpen ? desktopOpen(host)
                                    : m_launcher.startProgram(QStringLiteral("xdg-open"), QStringList{host});
    if (opened)
        return true;
#endif
    m_context.ui.inform(found.problem.isEmpty() ? QStringLiteral("Application not found.") : found.problem,
                        CannotOpen, UiPort::Icon::Critical);
    return false;
}
