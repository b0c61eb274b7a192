#pragma once

#include "install/filelistfile.h"
#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QString>

#include <functional>

class SceneryManager;

// The scenery zip file: every file a scenery's file list names, packed into one archive that the
// installation's "Extract with FileList.db" puts back in place.
namespace SceneryZip {

// The name a file is stored under: its path below the scenery's folder ("Scenery/AREA.BGL") when
// it lies there, else its folder path below its drive ("FS2002/Texture/x.bmp"), as the
// installation finds a file by its name alone.
QString entryName(const QString &source, const QString &sceneryFolder);

// The scenery's local folder (its Local path resolved) + "\LumivaleFileList.db".
QString fileListPath(const SceneryManager &manager, const clsScenery &scenery);

// Packs the Source of every entry, in list order, into a new archive at the path as given (no
// extension added), in the place of a file of that name. A Source longer than 79 characters is
// asked about first (OK/Cancel); a progress window names the file being written and its Cancel
// stops before the next one. The archive appears only when complete: Stopped (a Cancel) or Failed
// (a Source gone, naming it; the archive could not be written) leave no archive and a file of that
// name as it was. Shows no error message; the caller does.
Outcome pack(AppContext &context, const FileList &entries, const QString &sceneryFolder,
             const QString &archive);

} // namespace SceneryZip

namespace PackagingCommands {
using StatusFn = std::function<void(const QString &)>;

// The folder memory of the window (the key "CreateZIP").
struct FolderMemoryFns
{
    std::function<QString(const QString &key)> getDicPath;
    std::function<void(const QString &key, const QString &folder)> setDicPath;
};

// "Create Scenery.&zip file" on the current scenery: refused without a Local path or without an
// entry in its file list; asks for the archive's name in a save chooser starting in the folder
// remembered under "CreateZIP" (a cancel: Stopped, no message), remembers the chosen folder, and
// packs (SceneryZip::pack). A failure is reported under the procedure's name.
Outcome mnuWizardCreateZip_Click(AppContext &context, const SceneryManager &manager,
                                 const clsScenery &scenery, const FolderMemoryFns &folders,
                                 const StatusFn &display);
} // namespace PackagingCommands
