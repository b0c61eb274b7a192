#pragma once

#include "library/records.h"
#include "platform/appcontext.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class LibraryTree;
class SceneryManager;
class Tree;
class TreeNode;
class WindowStatus;

// The sets as the main window shows them: the set selector cboScenerySet, the displayed set whose
// members the library tree's check boxes show, the commands of the "Se&t" menu, the "Add to
// Set..." and "Remove from Set..." sub-menus of a scenery's pop-up menu, and the counts of the
// status bar. Sets hold titles: a scenery is a member when its title is.
class SetSelector : public QObject
{
    Q_OBJECT
public:
    // The editable drop-down list cboScenerySet.
    struct SetCombo
    {
        QStringList items;
        QString text;
        int listIndex = -1; // -1: no entry selected (a typed text)
    };

    // The "Add to Set..." (mnuSets) and "Remove from Set..." (mnuInSets) sub-menus. Entry 0 of each
    // list is the hidden design-time entry; entry i (1..) belongs to the i-th set of dicCFGs.
    struct MenuEntry
    {
        QString caption;
        bool visible = false;
    };
    struct SetMenu
    {
        QList<MenuEntry> mnuSets;
        QList<MenuEntry> mnuInSets;
        bool mnuAddToSetEnabled = false;
        bool mnuRemoveFromSetEnabled = false;
    };

    // Which pop-up menu a right press in the tree opens.
    enum class PopupMenu { None, Level, Scenery };

    SetSelector(AppContext &context, SceneryManager &manager, Tree &tree, LibraryTree &libraryTree,
                WindowStatus &status, QObject *parent = nullptr);

    const SetCombo &cboScenerySet() const { return m_combo; }
    // Picking an entry of the list.
    void cboScenerySet_Click(int listIndex);
    // Typing in the combo's text field.
    void cboScenerySet_Change(const QString &text);
    // Enter commits the typed name.
    void cboScenerySet_KeyDown(Qt::Key key);
    void cboScenerySet_LostFocus();
    // Fills the combo with "(Current)" and the sets of the selected simulator (of every simulator
    // when allSimulators is set) and selects "(Current)". A Scenery.cfg has just been read then, so
    // the next rebuild of the tree keeps its InCFG marks and they become the members of "(Current)".
    void fillSetList(bool allSimulators = false);

    CfgPtr displayedSet() const { return m_displayedSet; }
    // Writes the check boxes into the displayed set, switches to the set named in the combo
    // (creating it for a new name), recounts and shows its members on the check boxes.
    void TransferData();
    // The counts of the status bar: levels, sceneries and the members of the displayed set.
    void showSetCounts();
    // The user toggled a node's check box (the view has already changed it): the level's subtree
    // follows, and the displayed set takes the boxes.
    void trvScenery_NodeCheck(TreeNode *node);

    // The "Se&t" menu.
    void mnuSetAdd_Click();
    void mnuSetRemove_Click();
    void mnuSetRename_Click();
    void mnuCreateSetfromCurrent_Click();
    void mnuFindSceneryWithoutSet_Click();

    // A right press in the tree: the menu to open; for a scenery the set sub-menus are filled and
    // shown until scenerySubMenusClosed.
    PopupMenu trvScenery_RightClick();
    void scenerySubMenusClosed() { m_setSubMenusVisible = false; }
    bool setSubMenusVisible() const { return m_setSubMenusVisible; }
    const SetMenu &fillSetMenu();
    const SetMenu &setMenu() const { return m_setMenu; }
    // The selected scenery joins (mnuSets) or leaves (mnuInSets) the set of the entry.
    void mnuSets_Click(int index);
    void mnuInSets_Click(int index);

    // The window closes: the displayed set is released.
    void release() { m_displayedSet.reset(); }

    // The set was given to another simulator: its entry leaves the list (the first one of that
    // name) and the list's first entry is selected.
    void removeListEntry(const QString &name);
    // The library was read again: the displayed set becomes the library's set of its name, so that
    // the check boxes are written where a save finds them.
    void rebindDisplayedSet();

signals:
    // The combo's entries, text or selection changed.
    void setListChanged();

private:
    void setComboText(const QString &text);
    // The displayed set's members onto the check boxes.
    void applySetMarks();
    void onTreeRebuilt();

    AppContext &m_context;
    SceneryManager &m_manager;
    Tree &m_tree;
    LibraryTree &m_libraryTree;
    WindowStatus &m_status;

    SetCombo m_combo;
    CfgPtr m_displayedSet;
    SetMenu m_setMenu;
    bool m_setSubMenusVisible = false;
    bool m_cfgMarksPending = false; // the next rebuild keeps the InCFG marks
    bool m_hiddenFromCfg = false;   // hidden sceneries count by InCFG at the next write-back
};
