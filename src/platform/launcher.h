#pragma once

#include "platform/filesystem.h"

#include <QString>
#include <QStringList>
#include <QUrl>

// Starts other programs (the browser for help and web links, a file's registered program) without
// waiting for them, and hands addresses to the desktop's own handler. Virtual so that the GUI can
// use its desktop services and tests can record what would have been started.
class Launcher
{
public:
    explicit Launcher(const FileSystem &fs) : m_fs(fs) {}
    virtual ~Launcher() = default;

    // program: a path in Windows form ("C:\Program Files\x.exe"), a host path, or a bare command
    // name found on the search path. False when the program could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments);

    // Opens an address (a web address or a local file) with the program the desktop has for it.
    // False when the desktop has none or it could not be started. Without a desktop session's
    // services this asks the system's opener command (xdg-open, open, the Windows shell).
    virtual bool openWithDesktop(const QUrl &address);

    // True when the program can be started from here: a file that exists and may be run, or a
    // bare name found on the search path.
    virtual bool programExists(const QString &program) const;

    // The path the program is started from.
    QString resolveProgram(const QString &program) const;

    const FileSystem &fs() const { return m_fs; }

private:
    const FileSystem &m_fs;
};
