#pragma once

#include "library/records.h"
#include "tree/tree.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class SceneryManager;
class UiPort;

// The library as the main window's tree shows it: builds the tree from the library, records the
// tree's order back into the library, and keeps keys in step when nodes change place. The tree is
// where the order of levels and sceneries lives while the program runs; the library keeps it in
// the order of dicLevel and in each scenery's PreviousKey.
class LibraryTree : public QObject
{
    Q_OBJECT
public:
    // Node colours of a scenery; levels keep the default look.
    static constexpr quint32 LocalBackColor = rgb(255, 255, 0);
    static constexpr quint32 RemoteBackColor = rgb(220, 220, 0);
    static constexpr quint32 ActiveForeColor = rgb(60, 60, 255);
    static constexpr quint32 InactiveForeColor = rgb(255, 60, 60);

    LibraryTree(SceneryManager &manager, Tree &tree, UiPort &ui, QObject *parent = nullptr);

    // The key of the level that holds the node with the given key: "SceneryEurope\Germany\Berlin"
    // gives "LevelEurope\Germany", "LevelEurope\Germany" gives "LevelEurope".
    static QString getParentKey(const QString &key);

    // Writes the PreviousKey of every scenery that has a node; the others keep theirs.
    void updatePreviousLink();
    // Records the order, puts dicLevel into tree order, clears and refills the tree with every level
    // and the sceneries the mask lets through (0 shows all), and refills the author list.
    // appendUnplaced puts sceneries without a placed predecessor last instead of first.
    void fillTree(qint16 mask, bool appendUnplaced);
    // The one re-key of the library: gives the node (its record and its tree node) the key newKey,
    // every descendant the key of its new place, and every scenery the filter hides in a level
    // that changes key its new key as well; recorded predecessors follow their records. When the
    // node changes level, what followed it in the old level follows what stood above it. Returns
    // "" when done; otherwise the first key that two records or nodes would share, and nothing
    // has changed.
    QString rekey(TreeNode *node, const QString &newKey);
    // Gives every descendant of the node a key that matches its place; the node itself already
    // carries its new key. When the node is a level whose key changed, pass its old key too, so
    // that sceneries the filter hides (they have no node) move with it. A change that would give
    // two records one key is reported and refused as a whole.
    void fixChildKey(TreeNode *node, const QString &oldKey = QString());
    // Gives every descendant the check state of the node.
    void SelectSubNodes(TreeNode *node);
    // fillTree(0, false): every scenery gets a node, so the whole order is recorded.
    void UndisplayAllTree();
    // fillTree with the window's current filter mask.
    void RebuildFiltered();

    qint16 filterMask() const;
    void setFilterMask(qint16 mask);
    // The window can hand over where the mask comes from instead (its filter boxes).
    void setFilterMask(std::function<qint16()> source);

    // The distinct non-empty authors of the library, in library order, as of the last rebuild.
    const QStringList &authors() const { return m_authors; }

    Tree &tree() const { return m_tree; }

signals:
    void treeRebuilt();
    void authorsChanged();

private:
    struct Rekey;
    void reorderLevels();
    void placeLevels();
    void placeSceneries(qint16 mask, bool appendUnplaced);
    void FillAuthor();
    TreeNode *levelNode(const QString &key) const;
    TreeNode *newLevelNode();
    void applyAppearance(TreeNode *node, const clsScenery &scenery) const;
    // Plans the re-key of top's subtree (top to topNewKey; topOldKey is the key its level had, for
    // the sceneries the filter hides). Returns the first clashing key, "" when the plan can run.
    QString planRekey(TreeNode *top, const QString &topNewKey, const QString &topOldKey,
                      std::vector<Rekey> &plan) const;
    void applyRekey(const std::vector<Rekey> &plan);

    SceneryManager &m_manager;
    Tree &m_tree;
    UiPort &m_ui;
    qint16 m_filterMask = 0;
    std::function<qint16()> m_filterSource;
    QStringList m_authors;
};
