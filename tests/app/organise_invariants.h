#pragma once

#include "app/frmscenery.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"

#include <QSet>
#include <QStringList>

// What must hold after any organising command (filter off): every node carries the key its
// place implies, the library holds exactly the tree's levels and sceneries under those keys,
// titles are unique. Returns the first fault, "" when there is none.
inline QString organiseFault(frmScenery &form, bool uniqueTitles = true)
{
    const SceneryManager &m = form.manager();
    int levels = 0, sceneries = 0;
    QSet<QString> titles;
    for (const TreeNode *n = form.trvScenery().firstRoot(); n; n = n->nextInWalk()) {
        const QString &key = n->key();
        const TreeNode *p = n->parent();
        const QString path = p ? p->key().mid(5) + QLatin1Char('\\') : QString();
        if (key.startsWith(QLatin1String("Level"))) {
            ++levels;
            const LevelPtr l = m.dicLevel.value(key);
            if (!l || l->sLevelKey != key || l->sLevelCaption != n->text() || key != QStringLiteral("Level") + path + n->text()
                || (p && !p->key().startsWith(QLatin1String("Level"))))
                return QStringLiteral("level node ") + key;
        } else {
            ++sceneries;
            const SceneryPtr s = m.colScenery.value(key);
            if (!p || !s || s->Key != key || s->Title != n->text() || key != QStringLiteral("Scenery") + path + s->Title
                || (uniqueTitles && titles.contains(s->Title)))
                return QStringLiteral("scenery node ") + key;
            titles.insert(s->Title);
        }
    }
    if (levels != m.dicLevel.count() || sceneries != m.colScenery.count())
        return QStringLiteral("tree %1/%2, library %3/%4").arg(levels).arg(sceneries).arg(m.dicLevel.count()).arg(m.colScenery.count());
    for (auto it = form.organiser().removedList().begin(); it != form.organiser().removedList().end(); ++it) {
        if (it.value()->Key != it.key() || m.colScenery.value(it.key()) == it.value())
            return QStringLiteral("removed entry ") + it.key();
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

// "" when the tree looks the same before an unfiltered rebuild, after it, and after a save and a
// restart (a fresh manager reading the files, a fresh tree).
inline QString restartFault(frmScenery &form, AppContext &context)
{
    const QStringList before = treeLines(form.trvScenery());
    form.libraryTree().UndisplayAllTree();
    if (treeLines(form.trvScenery()) != before)
        return QStringLiteral("the rebuild changed the tree");
    form.manager().saveDB(form.trvScenery().keysInWalkOrder());
    SceneryManager again(context);
    bool isNew = false;
    again.readDB(isNew);
    Tree tree;
    LibraryTree(again, tree, context.ui).fillTree(0, false);
    return treeLines(tree) == before ? QString() : QStringLiteral("the restart changed the tree");
}
