#pragma once

#include "platform/drivemap.h"

#include <QString>

// Where this installation of the program keeps its own files and how it sees the Windows drives.
namespace Installation {

// The settings file in the program folder (off Windows).
inline const QString IniFileName = QStringLiteral("Lumivale.ini");
// The group of the settings file that maps drive letters to host folders ("C=/srv/fs").
inline const QString DrivesGroup = QStringLiteral("Drives");

// Host path of the settings file of a program folder.
QString iniHostPath(const QString &programFolderHost);

} // namespace Installation

// The drive map of the Wine prefix, with the "[Drives]" entries of the program's settings file
// laid over it: an entry replaces the prefix's folder for its letter or adds the letter.
DriveMap loadDriveMap(const QString &programFolderHost, const QString &winePrefixHost);
