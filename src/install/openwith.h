#pragma once

#include "platform/appcontext.h"

#include <QString>

#include <functional>

class Launcher;

// Opens a file with the program the system associates with its type: the program the user last
// opened such files with, else the type's own "open" command, both from the registry (on Windows,
// or in the Wine prefix, whose programs run through wine). When the registry names no program
// that exists here, the desktop's own handler opens it; when nothing can, the user is told why.
class OpenWith
{
public:
    OpenWith(AppContext &context, Launcher &launcher);

    // The desktop's handler for a host file; false when it has none for the file. Without one,
    // "xdg-open" is tried.
    std::function<bool(const QString &hostPath)> desktopOpen;

    // The extension the registry knows the type by: "." and what follows the last "." of the name;
    // a name without "." gives "." and the whole name.
    static QString extensionOf(const QString &name);

    // The command line the registry gives for the file, or why there is none (the message shown
    // when nothing else opens it).
    struct Lookup
    {
        QString commandLine;
        QString problem;
    };
    Lookup lookup(const QString &path, const QString &name) const;

    // Opens the file (Windows form); false, after telling the user, when nothing could.
    bool open(const QString &path, const QString &name);

private:
    bool start(const QString &commandLine) const;
    QString programInPrefix(const QString &program) const;

    AppContext &m_context;
    Launcher &m_launcher;
};
