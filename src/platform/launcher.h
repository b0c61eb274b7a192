#pragma once

#include "platform/filesystem.h"

#include <QString>
#include <QStringList>

// Starts other programs (the browser for help and web links, a file's registered program) without
// waiting for them. Virtual so that tests can record what would have been started.
class Launcher
{
public:
    explicit Launcher(const FileSystem &fs) : m_fs(fs) {}
    virtual ~Launcher() = default;

    // program: a path in Windows form ("C:\Program Files\x.exe"), a host path, or a bare command
    // name found on the search path. False when the program could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments);

    // The path the program is started from.
    QString resolveProgram(const QString &program) const;

private:
    const FileSystem &m_fs;
};
