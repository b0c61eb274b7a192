#include "app/debuglog.h"

#include "platform/filesystem.h"
#include "settings/programsettings.h"

#include <QLocale>

const QString Start::DebugLog::FileName = QStringLiteral("C:\\Lumivale.Debug.Log");
const QString Start::DebugLog::Initialize = QStringLiteral("Iniditalize");
const QString Start::DebugLog::InitializeEnd = QStringLiteral("Iniditalize end");
const QString Start::DebugLog::HideSplash = QStringLiteral("Hide Splash (Activate)");
const QString Start::DebugLog::HideSplashEnd = QStringLiteral("Hide Splash end (Activate)");
const QString Start::DebugLog::GetFKeys = QStringLiteral("Get F-Keys");
const QString Start::DebugLog::GetFKeysEnd = QStringLiteral("Get F-Keys end");

Start::DebugLog::DebugLog(const FileSystem &fs, bool enabled)
    : m_fs(fs), m_enabled(enabled), m_clock([] { return QDateTime::currentDateTime(); })
{
}

void Start::DebugLog::write(const QString &message) const
{
    if (!m_enabled)
        return;
    m_fs.appendLine(FileName, formatLine(m_clock(), message));
}

QString Start::DebugLog::formatLine(const QDateTime &localTime, const QString &message)
{
    // The system's short date and its time with seconds: the log is read to see what took how long.
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    if (!timeFormat.contains(QLatin1Char('s')))
        timeFormat.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    const QString stamp = locale.toString(localTime.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                          + locale.toString(localTime.time(), timeFormat);
    const float seconds = float(localTime.time().msecsSinceStartOfDay() / 1000.0);
    return stamp + QStringLiteral(" : ") + ProgramSettings::singleText(seconds) + QStringLiteral(" - ") + message;
}

bool Start::isDebugCommandLine(const QString &commandLine)
{
    return commandLine.trimmed().toLower() == QStringLiteral("debug");
}
