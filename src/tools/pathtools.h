#pragma once

#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QList>
#include <QString>

class SceneryManager;
class Tree;

// The scenery path tools: finding sceneries whose local folder has no "Scenery" subfolder, and
// turning relative scenery paths into absolute ones below the simulator's folder.
namespace PathTools {

// Neither "[" nor ":" in it, and no network path ("\\server\share"). A path of a CD or another
// simulator ("[CD]\...") counts as absolute.
bool isRelative(const QString &path);

// A relative path below the simulator's folder fsPath (which does not end in "\"); any other
// path as it is. "Addon Scenery\Alps" and "\Addon Scenery\Alps" give the same folder.
QString makeAbsolute(const QString &fsPath, const QString &path);

// The root scenery folder of the simulator: its local path must stay relative.
bool isRootSceneryPath(const QString &localPath);

// Whether "Test local paths" marks the scenery: a local path that does not begin with "[" and
// whose folder has no "Scenery" subfolder.
bool lacksSceneryFolder(const SceneryManager &manager, const clsScenery &scenery);

// The sceneries "Test local paths" marks, in library order: those with a node in the tree (all of
// them when tree is null) that lack their "Scenery" folder.
QList<SceneryPtr> sceneriesWithoutSceneryFolder(const SceneryManager &manager, const Tree *tree = nullptr);

// "Test local paths": every scenery's node in normal weight, then in bold when it lacks its
// "Scenery" folder. A scenery without a node is skipped. Returns how many were marked.
int markSceneriesWithoutSceneryFolder(AppContext &context, const SceneryManager &manager, Tree &tree);

// "Absolute scenery paths": every non-empty relative local path (but the root "scenery") and
// remote path of the library made absolute. Returns how many sceneries changed.
int makeAllAbsolute(SceneryManager &manager);

// "Current to absolute scenery path" for one scenery: its local path made absolute unless it is
// the root "scenery" (then the user is told "The root scenery path MUST be relative!" and it is
// left), and its remote path made absolute. Done; with the message as its problem when the local
// path was the root one.
Outcome makeOneAbsolute(AppContext &context, const QString &fsPath, clsScenery &scenery);

} // namespace PathTools
