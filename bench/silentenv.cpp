#include "silentenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

UiPort::Answer SilentUi::message(const QString &text, const QString &, Buttons buttons, Icon icon)
{
    ++messages;
    if (icon == Icon::Critical)
        ++criticalMessages;
    lastText = text;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

namespace {

QString prepare(const QTemporaryDir &dir)
{
    QDir root(dir.path());
    root.mkpath(QStringLiteral("prefix/drive_c/Lumivale"));
    root.mkpath(QStringLiteral("prefix/dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), dir.path() + QStringLiteral("/prefix/dosdevices/c:"));
    return dir.path();
}

QByteArray installationKey(int simType)
{
    switch (simType) {
    case 0: return "Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\7.0";
    case 1: return "Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0";
    default: return "Software\\\\Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\2.0";
    }
}

} // namespace

SilentInstallation::SilentInstallation(int simType, const QString &simFolder)
    : m_simFolder(simFolder),
      fs((prepare(m_dir), DriveMap::fromWinePrefix(m_dir.path() + QStringLiteral("/prefix")))),
      settings(createSettingsStore(m_dir.path() + QStringLiteral("/prefix/drive_c/Lumivale"),
                                   m_dir.path() + QStringLiteral("/prefix"))),
      program(m_dir.path() + QStringLiteral("/prefix/drive_c/Lumivale")),
      context{fs, *settings, ui, program}
{
    // The simulator is found the way the program finds it on a Wine prefix: its installation value
    // in the machine registry file.
    QString escaped = simFolder;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    const QByteArray valueName = simType == 0 ? "path" : "EXE Path";
    const QByteArray reg = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n["
                           + installationKey(simType) + "] 1700000000\n#time=1d9a8b7c6d5e4f3\n\"" + valueName
                           + "\"=\"" + escaped.toLatin1() + "\"\n";
    QFile f(m_dir.path() + QStringLiteral("/prefix/system.reg"));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reg);
    f.close();
    QDir().mkpath(fs.toHost(simFolder));
}

SilentInstallation::~SilentInstallation() = default;

void SilentInstallation::writeFile(const QString &windowsPath, const QByteArray &bytes) const
{
    const QString hostPath = fs.toHost(windowsPath);
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    QFile f(hostPath);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}
