#pragma once

#include "library/records.h"
#include "platform/appcontext.h"
#include "tree/tree.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class DetailsPanel;
class LibraryTree;
class ProgramSettings;
class SceneryManager;
class SetSelector;
class WindowStatus;

// The library tree's content and arrangement: which sceneries it shows (the sim filter), the
// commands of the "&Level" and "&Scenery" menus (levels, sceneries, moves, the search), label
// edits, dragging a scenery onto a level of the tree or of the "Move to" page, and the removed
// list from which "Undo remove Scenery" restores. Every command acts on the tree's selected node.
class Organiser : public QObject
{
    Q_OBJECT
public:
    static const QStringList FilterCaptions; // "FS95", "FS98", "FS2K", "FS2K2", "CFS", "CFS2"

    Organiser(AppContext &context, SceneryManager &manager, Tree &tree, LibraryTree &libraryTree,
              ProgramSettings &settings, WindowStatus &status, SetSelector &sets, DetailsPanel &details,
              QObject *parent = nullptr);
    ~Organiser() override;

    // ---- The sim filter: the boxes chkFilter(0..5) --------------------------------------------
    const std::array<bool, 6> &chkFilter() const { return m_filter; }
    // Stores the boxes and rebuilds the tree with the sceneries they let through.
    void chkFilter_Click(int index, bool checked);
    // chkFilter(i) x 2^i summed.
    qint32 filterMask() const;
    // Sets the boxes from the stored setting, without rebuilding the tree or storing it again.
    void restoreFilter();

    // ---- Label edits ----------------------------------------------------------------------------
    // Whether a label edit may start on the selected node (a level other than "New").
    bool trvScenery_BeforeLabelEdit() const;
    // A label edit was accepted; false when the text is refused and the edit is to be undone.
    bool trvScenery_AfterLabelEdit(TreeNode *node, const QString &newString);

    // ---- The "&Level" menu (organiser_levels.cpp) -----------------------------------------------
    void mnuLevelAdd_Click();
    void mnuLevelRemove_Click();
    void mnuLevelRename_Click();
    void mnuLevelSort_Click();
    void mnuLevelSortDesc_Click();

    // ---- The "&Scenery" menu (organiser_sceneries.cpp) ------------------------------------------
    void mnuSceneryRemove_Click();
    void mnuSceneryUnremove_Click();
    void mnuSceneryRename_Click();
    void mnuSceneryMove_Click();
    // The sceneries removed while the window is open, for the undo of a removal.
    OrderedMap<SceneryPtr> &removedList() { return m_removed; }
    const OrderedMap<SceneryPtr> &removedList() const { return m_removed; }

    // The details panel's airport button: the scenery shown takes an airport's line as its title.
    void cmdAirportDir_Click();

    // "&Search..." of both menus.
    void mnuWizardSearch_Click();

    // ---- Moves (organiser_moves.cpp) ------------------------------------------------------------
    // 0 top, 1 up, 2 down, 3 bottom among the siblings.
    void InnerMove(int direction);
    // Moves the selected level or scenery into a level picked in frmMoveTreeNode.
    void MoveTo();

    // Dragging a scenery: the press, a move with the left button held (true: the view is to start
    // dragging the drag node), the pointer over a node (none: empty space; a level becomes the
    // highlight) and the drop.
    void trvScenery_MouseDown(TreeNode *node);
    bool trvScenery_MouseMove(bool leftButton);
    void trvScenery_DragOver(TreeNode *node);
    void trvScenery_DragDrop();
    // The node last pressed with the mouse, or none.
    TreeNode *dragNode() const;
    bool dragging() const { return m_dragging; }
    const QString &dropHighlightKey() const { return m_dropHighlightKey; }

    // The "Move to" page: the levels of the library tree in a tree of their own, filled whenever
    // the page is shown and after each level command while it is.
    Tree &trvMoveTo() { return m_moveTo; }
    const Tree &trvMoveTo() const { return m_moveTo; }
    void setMoveToPageShown(bool shown);
    void FillMoveToTree();
    void trvMoveTo_DblClick();
    // node: the trvMoveTo node under the pointer, or none.
    void trvMoveTo_DragOver(TreeNode *node);
    void trvMoveTo_DragDrop();
    const QString &moveToDropHighlightKey() const { return m_moveToHighlightKey; }

    // The window closes: the removed list and the drag are released.
    void release();

signals:
    // A filter box changed.
    void filtersChanged();

private:
    // Puts a new node with old's text and look, under key (old's own when empty), at the given
    // place, moves old's children under it and removes old: the node is then the newest of the
    // tree, as a search meets it.
    TreeNode *replaceNode(TreeNode *old, TreeNode *relative, Tree::Relation relation,
                          const QString &key = {});
    // Makes node the last child of the level target, with every key below following; false (and
    // the user told why) when the move would make a cycle or give two nodes one key.
    bool moveIntoLevel(TreeNode *node, TreeNode *target);
    bool moveToRoot(TreeNode *node);
    void refuseMove(const QString &text);
    void fillLevelTree(Tree &target) const;
    void refillMoveToIfShown();
    void dropOn(TreeNode *target);
    void sortLevel(bool descending);
    // Gives the scenery of node a new title, its key and its set memberships following; false
    // (and the user told) when another scenery has the title.
    bool renameScenery(TreeNode *node, const SceneryPtr &scenery, const QString &title);
    // Every set that holds oldTitle holds newTitle instead, in the same place.
    void renameMember(const QString &oldTitle, const QString &newTitle);
    void moveFolderContent(const QString &source, const QString &target) const;

    AppContext &m_context;
    SceneryManager &m_manager;
    Tree &m_tree;
    LibraryTree &m_libraryTree;
    ProgramSettings &m_settings;
    WindowStatus &m_status;
    SetSelector &m_sets;
    DetailsPanel &m_details;

    std::array<bool, 6> m_filter{};
    bool m_restoringFilter = false;
    OrderedMap<SceneryPtr> m_removed;
    QString m_dragNodeKey;
    QString m_dropHighlightKey;
    bool m_dragging = false;
    Tree m_moveTo;
    bool m_moveToShown = false;
    QString m_moveToHighlightKey;
};
