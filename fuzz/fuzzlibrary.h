#pragma once

#include "silentenv.h"

#include "library/scenerymanager.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

// One installation and one library manager per fuzzing process; each input is written over the
// file a reader takes and read into an emptied library, so an input costs one small file write and
// one reading.
class FuzzLibrary
{
public:
    static FuzzLibrary &instance();

    // The input as the library file `fileName` of the program folder ("Lumivale.db5", "Level.db",
    // "CFGSet.db", "Lumivale.db"), read by readDB.
    void readLibraryFile(const QString &fileName, const uint8_t *data, size_t size);
    // The input as the simulator's Scenery.cfg, read into an empty library and read a second time
    // over what the first reading left, refreshing the sceneries it holds.
    void readSceneryCfg(const uint8_t *data, size_t size);

    // The input read as a library file (fileName) or, with fileName "", as the simulator's
    // Scenery.cfg into an empty library, then saved: the save must succeed, the saved files must
    // read back without a single problem, and saving what they hold must write them unchanged.
    // Aborts (a finding) when any of that fails.
    void readThenSave(const QString &fileName, const uint8_t *data, size_t size);

    SilentInstallation inst;
    std::unique_ptr<SceneryManager> manager;

private:
    FuzzLibrary();
    void emptyLibrary();
    void removeLibraryFiles();
    // Rebuilds the tree (in the file's order when isNew) and saves; false when the save failed.
    bool save(bool isNew);
    QByteArray savedFiles() const;
};
