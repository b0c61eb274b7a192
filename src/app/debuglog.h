#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class FileSystem;

namespace Start {

// The debug log "C:\Lumivale.Debug.Log", written only when the program was started with "debug".
// Each message is one line: the local date and time, " : ", the seconds since midnight, " - ",
// the message. The file is opened, appended to and closed for every line, so it survives a crash.
class DebugLog
{
public:
    static const QString FileName;  // "C:\Lumivale.Debug.Log"

    // The messages the program writes.
    static const QString Initialize;          // "Iniditalize"
    static const QString InitializeEnd;       // "Iniditalize end"
    static const QString HideSplash;          // "Hide Splash (Activate)"
    static const QString HideSplashEnd;       // "Hide Splash end (Activate)"
    static const QString GetFKeys;            // "Get F-Keys"
    static const QString GetFKeysEnd;         // "Get F-Keys end"

    DebugLog(const FileSystem &fs, bool enabled);

    bool enabled() const { return m_enabled; }
    // Appends the message when enabled; a failure to write throws LmError for the caller to report.
    void write(const QString &message) const;

    // The line for a message at a local time, without the line end.
    static QString formatLine(const QDateTime &localTime, const QString &message);
    // Tests fix the clock here.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    const FileSystem &m_fs;
    bool m_enabled;
    std::function<QDateTime()> m_clock;
};

// The command line turns the log on when, without outer blanks and in lower case, it is "debug".
bool isDebugCommandLine(const QString &commandLine);

} // namespace Start
