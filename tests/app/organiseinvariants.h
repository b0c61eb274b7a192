#pragma once

#include "app/frmscenery.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"

#include <QSet>
#include <QStringList>

// What must hold after any organising command, the filter off: every node carries the key its
// place gives it, the library holds exactly the tree's levels and sceneries under those keys, the
// titles are unique and the removed list holds sceneries the library no longer does. Returns the
// first fault, "" when there is none.
inline QString organiseFault(frmScenery &form, bool uniqueTitles = true)
{
    const SceneryManager &manager = form.manager();
    qsizetype levels = 0;
    qsizetype sceneries = 0;
    QSet<QString> titles;
    for (const TreeNode *n = form.trvScenery().firstRoot(); n; n = n->nextInWalk()) {
        const QString &key = n->key();
        const TreeNode *parent = n->parent();
        const QString path = parent ? parent->key().mid(LibraryNames::LevelPrefix.size()) + u'\\' : QString();
        if (isLevelKey(key)) {
            ++levels;
            const LevelPtr level = manager.dicLevel.value(key);
            if (!level || level->sLevelKey != key || level->sLevelCaption != n->text())
                return QStringLiteral("level record of ") + key;
            if (key != LibraryNames::LevelPrefix + path + n->text() || (parent && !isLevelKey(parent->key())))
                return QStringLiteral("level key of ") + key;
            continue;
        }
        ++sceneries;
        const SceneryPtr scenery = manager.colScenery.value(key);
        if (!parent || !scenery || scenery->Key != key || scenery->Title != n->text())
            return QStringLiteral("scenery record of ") + key;
        if (key != LibraryNames::SceneryPrefix + path + scenery->Title)
            return QStringLiteral("scenery key of ") + key;
        if (uniqueTitles && titles.contains(scenery->Title))
            return QStringLiteral("a second scenery titled ") + scenery->Title;
        titles.insert(scenery->Title);
    }
    if (levels != manager.dicLevel.count() || sceneries != manager.colScenery.count()) {
        return QStringLiteral("the tree holds %1 levels and %2 sceneries, the library %3 and %4")
            .arg(levels)
            .arg(sceneries)
            .arg(manager.dicLevel.count())
            .arg(manager.colScenery.count());
    }
    const OrderedMap<SceneryPtr> &removed = form.organiser().removedList();
    for (auto it = removed.begin(); it != removed.end(); ++it) {
        if (it.value()->Key != it.key() || manager.colScenery.value(it.key()) == it.value())
            return QStringLiteral("removed entry ") + it.key();
    }
    return {};
}

// The tree's nodes in walk order: the depth, the key and the text of each.
inline QStringList treeLines(const Tree &tree)
{
    QStringList lines;
    for (const TreeNode *n = tree.firstRoot(); n; n = n->nextInWalk()) {
        int depth = 0;
        for (const TreeNode *p = n->parent(); p; p = p->parent())
            ++depth;
        lines << QStringLiteral("%1 %2 %3").arg(depth).arg(n->key(), n->text());
    }
    return lines;
}

// "" when the tree is the same before a rebuild without a filter, after it, and after a save and
// a restart (a new manager reading the files into a new tree).
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
