#pragma once

#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QString>
#include <QUrl>

#include <functional>

class Launcher;
class ProgramSettings;

// The three web commands of the help menu: the documentation, the homepage and the forum, each
// opened in the browser the settings name.
namespace WebLinks {

enum class Link { Documentation, Homepage, Forum };

// Offset from the user error base: neither the browser nor the desktop could open the address.
constexpr qint32 CannotOpen = 120;

// "Open help.", "Open Lumivale homepage.", "Open forum."
QString statusText(Link link);

// The address as the settings give it, with its default.
QString target(const ProgramSettings &settings, Link link);

// A target that is an address of its own ("https://...", "mailto:...") rather than a file path.
bool isWebAddress(const QString &target);

// The target as the desktop takes it: a web address as it is, a file path (Windows form) as the
// host file it names.
QUrl desktopAddress(const FileSystem &fs, const QString &target);

// Opens the link. A "Browser" setting that names a program this system can start is started with
// the target as its one argument; when the setting is empty, names a program that is not there
// (the Windows default under Wine), or the program does not start, the desktop's own handler opens
// the target. When neither does, the user is told and the outcome is Failed.
Outcome open(AppContext &context, const ProgramSettings &settings, Launcher &launcher, Link link);

} // namespace WebLinks
