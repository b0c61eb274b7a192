#pragma once

#include <QString>
#include <QStringList>

// A made-up but realistic Windows world to try the program in on a machine without the
// simulators: a Wine-style prefix holding a Flight Simulator 2002 and a Flight Simulator 2000
// installation (registry values, "Scenery.cfg" files modelled on the ones the simulators ship,
// scenery folders with stand-in files, saved flights, the simulators' own configuration files),
// sample scenery archives to install (one per way of placing their files), and an empty program folder.
//
// Every choice is drawn from a generator with a fixed seed, so two runs produce the same files.
class DemoInstallation
{
public:
    static constexpr quint32 Seed = 20021016;

    struct Summary
    {
        QString winePrefixHost;    // what WINEPREFIX should point at
        QString programFolderHost; // what LUMIVALE_HOME should point at (created empty)
        int fs2002Areas = 0;
        int fs2000Areas = 0;
        QStringList archives; // Windows paths of the sample scenery archives
        int librarySceneries = 0;
    };

    // Installation folders in the prefix's drive C:.
    static QString fs2002Folder();
    static QString fs2000Folder();
    static QString downloadsFolder();
    // Name of the program folder inside the prefix folder.
    static QString programFolderName();

    // Builds everything below targetHost, which must be missing or an empty folder: a user's own
    // prefix is never written into. With sceneries > 0 the program folder also gets a library of
    // that many sceneries in nested levels and several sets (LibraryGenerator), the first set's
    // local folders made on drive C:. Throws LmError (58 when the folder is not empty).
    static Summary create(const QString &targetHost, int sceneries = 0);
};
