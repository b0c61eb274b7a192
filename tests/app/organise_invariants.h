#pragma once

#include "app/frmscenery.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"

#include <QSet>
#include <QStringList>

// What must hold after any organising command: every node carries the key its place implies,
// the library holds exactly the tree's levels and sceneries under those keys, titles are unique.
// Returns the first fault found, "" when there is none. Call it with the filter off.
inline QString organiseFault(frmScenery &form, bool uniqueTitles = true)
{
    const SceneryManager &m = form.manager();
    const Tree &tree = form.trvScenery();
    int levels = 0, sceneries = 0;
    for (const TreeNode *n = tree.firstRoot(); n; n = n->nextInWalk()) {
        const QString &key = n->key();
        const TreeNode *p = n->parent();
        if (key.startsWith(QLatin1String("Level"))) {
            ++levels;
            const LevelPtr level = m.dicLevel.value(key);
            const QString implied = p ? p->key() + QLatin1Char('\\') + n->text() : QStringLiteral("Level") + n->text();
            if (!level || level->sLevelKey != key || level->sLevelCaption != n->text() || key != implied)
                return QStringLiteral("level node %1 (implied %2)").arg(key, implied);
            if (p && !p->key().startsWith(QLatin1String("Level")))
                return QStringLiteral("level %1 below a scenery").arg(key);
        } else {
            ++sceneries;
            const SceneryPtr s = m.colScenery.value(key);
            if (!p || !s || s->Key != key || s->Title != n->text() || n->hasChildren())
                return QStringLiteral("scenery node %1").arg(key);
            const QString implied = QStringLiteral("Scenery") + p->key().mid(5) + QLatin1Char('\\') + s->Title;
            if (key != implied)
                return QStringLiteral("scenery key %1, implied %2").arg(key, implied);
        }
    }
    if (levels != m.dicLevel.count() || sceneries != m.colScenery.count())
        return QStringLiteral("tree holds %1 levels / %2 sceneries, library %3 / %4")
            .arg(levels).arg(sceneries).arg(m.dicLevel.count()).arg(m.colScenery.count());
    QSet<QString> titles;
    for (const SceneryPtr &s : m.colScenery) {
        if (uniqueTitles && titles.contains(s->Title))
            return QStringLiteral("title %1 twice").arg(s->Title);
        titles.insert(s->Title);
    }
    for (auto it = form.removedList().begin(); it != form.removedList().end(); ++it) {
        if (it.value()->Key != it.key() || m.colScenery.value(it.value()->Key) == it.value())
            return QStringLiteral("removed entry %1").arg(it.key());
    }
    return {};
}

// The tree as "depth key|text" lines in walk order.
inline QStringList treeLines(const Tree &tree)
{
    QStringList lines;
    for (const TreeNode *n = tree.firstRoot(); n; n = n->nextInWalk()) {
        int depth = 0;
        for (const TreeNode *p = n->parent(); p; p = p->parent())
            ++depth;
        lines << QStringLiteral("%1 %2|%3").arg(depth).arg(n->key(), n->text());
    }
    return lines;
}

// Rebuilds the tree unfiltered, saves, and reads the library back into a fresh manager and tree.
// "" when the tree looks the same before the rebuild, after it and after the restart.
inline QString restartFault(frmScenery &form, AppContext &context)
{
    const QStringList before = treeLines(form.trvScenery());
    form.libraryTree().UndisplayAllTree();
    const QStringList rebuilt = treeLines(form.trvScenery());
    if (rebuilt != before)
        return QStringLiteral("rebuild changed the tree:\n%1\n---\n%2").arg(before.join(QLatin1Char('\n')), rebuilt.join(QLatin1Char('\n')));
    form.manager().saveDB(form.trvScenery());
    SceneryManager again(context);
    bool isNew = false;
    again.readDB(isNew);
    Tree tree;
    LibraryTree library(again, tree, context.ui);
    library.fillTree(0, false);
    const QStringList restarted = treeLines(tree);
    if (restarted != before)
        return QStringLiteral("restart changed the tree:\n%1\n---\n%2").arg(before.join(QLatin1Char('\n')), restarted.join(QLatin1Char('\n')));
    return {};
}
