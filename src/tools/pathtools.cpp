#include "tools/pathtools.h"

#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "tree/tree.h"

bool PathTools::isRelative(const QString &path)
{
    // A network folder ("\\server\share") is as absolute as a drive; joined to the simulator's
    // folder it would name a folder that cannot exist.
    if (path.startsWith(QStringLiteral("\\\\")))
        return false;
    return !path.contains(QLatin1Char('[')) && !path.contains(QLatin1Char(':'));
}

QString PathTools::makeAbsolute(const QString &fsPath, const QString &path)
{
    if (!isRelative(path))
        return path;
    return path.startsWith(QLatin1Char('\\')) ? fsPath + path : fsPath + QLatin1Char('\\') + path;
}

bool PathTools::isRootSceneryPath(const QString &localPath)
{
    return localPath.toLower() == QStringLiteral("scenery");
}

bool PathTools::lacksSceneryFolder(const SceneryManager &manager, const clsScenery &scenery)
{
    if (scenery.LocalPath.isEmpty() || scenery.LocalPath.startsWith(QLatin1Char('[')))
        return false;
    const QString folder = manager.getRealPath(scenery.LocalPath) + QStringLiteral("\\Scenery");
    return !manager.context().fs.folderExists(folder);
}

QList<SceneryPtr> PathTools::sceneriesWithoutSceneryFolder(const SceneryManager &manager, const Tree *tree)
{
    QList<SceneryPtr> marked;
    for (const SceneryPtr &scenery : manager.colScenery) {
        if (tree && !tree->node(scenery->Key))
            continue;
        if (lacksSceneryFolder(manager, *scenery))
            marked.append(scenery);
    }
    return marked;
}

int PathTools::markSceneriesWithoutSceneryFolder(AppContext &context, const SceneryManager &manager,
                                                 Tree &tree)
{
    int marked = 0;
    for (const SceneryPtr &scenery : manager.colScenery) {
        TreeNode *node = tree.node(scenery->Key);
        if (!node)
            continue;
        // A folder that cannot be looked at is reported, and the test goes on with the next one.
        runStep(context.ui, QStringLiteral(".mnuTestLocalPaths_Click"), [&] {
            node->setBold(false);
            if (lacksSceneryFolder(manager, *scenery)) {
                node->setBold(true);
                ++marked;
            }
        });
        context.ui.processEvents();
    }
    return marked;
}

int PathTools::makeAllAbsolute(SceneryManager &manager)
{
    const QString fsPath = manager.FSPath();
    int changed = 0;
    for (const SceneryPtr &scenery : manager.colScenery) {
        const QString local = scenery->LocalPath;
        const QString remote = scenery->RemotePath;
        if (!local.isEmpty() && isRelative(local) && !isRootSceneryPath(local))
            scenery->LocalPath = makeAbsolute(fsPath, local);
        if (!remote.isEmpty() && isRelative(remote))
            scenery->RemotePath = makeAbsolute(fsPath, remote);
        if (scenery->LocalPath != local || scenery->RemotePath != remote)
            ++changed;
    }
    return changed;
}

Outcome PathTools::makeOneAbsolute(AppContext &context, const QString &fsPath, clsScenery &scenery)
{
    Outcome outcome = Outcome::done();
    if (!scenery.LocalPath.isEmpty()) {
        if (isRootSceneryPath(scenery.LocalPath)) {
            const QString text = QStringLiteral("The root scenery path MUST be relative!");
            context.ui.inform(text, QStringLiteral("Can't create the absolute path."),
                              UiPort::Icon::Critical);
            outcome = Outcome::done({Problem{QString(), 0, text, std::nullopt}});
        } else {
            scenery.LocalPath = makeAbsolute(fsPath, scenery.LocalPath);
        }
    }
    // The remote path has no root of its own to keep.
    if (!scenery.RemotePath.isEmpty())
        scenery.RemotePath = makeAbsolute(fsPath, scenery.RemotePath);
    return outcome;
}
