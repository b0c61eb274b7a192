#pragma once

#include "app/commandtable.h"
#include "app/frmsplash.h"
#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/drives.h"
#include "platform/outcome.h"
#include "tree/tree.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class SceneryManager;
class BackupManager;
class LibraryTree;
class ProgramSettings;
namespace Start {
class DebugLog;
}

// The main window's logic: the library tree, the set selector, the scenery details panel, the
// status bar, the free-space label and the window's placement, with every event procedure of the
// window. The Qt view binds its widgets to the state below, forwards each user event to the
// procedure of the same name and repaints on the signals. Everything is testable without widgets.
//
// Measures are twips; the view converts them to pixels.
class frmScenery : public QObject, public FormLogic
{
    Q_OBJECT
public:
    // ---- Plain state of the controls -------------------------------------------------------

    // The set selector cboScenerySet: an editable drop-down list.
    struct SetCombo
    {
        QStringList items;
        QString text;
        int listIndex = -1;  // -1: no entry selected (a typed text)
    };

    // The status bar stbStatus: panel 1 the status text, 2 the level count, 3 the scenery count,
    // 4 the members of the displayed set; the warning picture belongs to panel 4.
    struct StatusBar
    {
        std::array<QString, 4> panels;
        bool warningPicture = false;  // image 29 of imlIcons on panel 4
    };

    // The tab strip tbsScenery and its frames.
    enum TabPage { TabDetail = 0, TabExcFlat = 1, TabMoveTo = 2, TabFileList = 3 };
    static constexpr int ImageEmpty = 27;   // tab marker: nothing on the page
    static constexpr int ImageFilled = 28;  // tab marker: the page holds something
    static constexpr int ImageWarning = 29;
    struct Tabs
    {
        int selected = TabDetail;
        int excFlatImage = ImageEmpty;
        int fileListImage = ImageEmpty;
    };

    // The fields of the "Scenery Details" and "Exclude / Flatten" pages as the view shows them.
    struct SceneryDetails
    {
        QString txtTitle;
        QString txtLocal;
        QString txtRemote;
        int optLocalRemote = -1;  // 0 local path used, 1 remote path used, -1 none chosen
        QString txtLayer;         // three digits
        QString txtTexture_ID;
        QString txtAuthor;
        int txtAuthorSelStart = 0;  // the caret
        QString txtVersion;
        QString txtComment;
        QString txtGroup;
        QString txtID;
        int txtGroupID = -1;  // list position, -1 no selection
        bool chkActive = false;
        bool chkRequired = false;
        std::array<bool, 6> chkType{};  // FS95, FS98, FS2K, FS2K2, CFS, CFS2
        int cboSalesType = -1;          // list position, -1 no selection
        QString txtExclude;
        bool txtExcludeRed = false;
        std::array<QString, clsScenery::FlattenCount> txtFlatten;
        std::array<bool, clsScenery::FlattenCount> txtFlattenRed{};
        QString picture;  // the picture file to show, Windows form; "" for none
    };

    // The "Add to Set..." / "Remove from Set..." sub-menus. Entry 0 of each list is the hidden
    // design-time entry; entry i (1..) belongs to the i-th set of dicCFGs.
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

    // The window's size, place and state (0 normal, 1 minimised, 2 maximised).
    static constexpr double DesignWidth = 11000;
    static constexpr double DesignHeight = 7755;
    struct Placement
    {
        double width = DesignWidth;
        double height = DesignHeight;
        double left = 0;
        double top = 0;
        int windowState = 0;
    };
    // Where Form_Resize puts the parts of the window.
    struct Layout
    {
        int trvSceneryWidth = 0;
        int trvSceneryHeight = 0;
        int lblSetLeft = 0;
        int cboScenerySetLeft = 0;
        int cmdChangeFlightSimSetLeft = 0;
        int lblFreeSpaceLeft = 0;
        int tbsSceneryLeft = 0;
        int tbsSceneryHeight = 0;
        int framesLeft = 0;    // fraScenery, fraExcludeFlatten, fraMoveTo, fraFileList
        int framesHeight = 0;
        int trvMoveToHeight = 0;
        int lvwFileListHeight = 0;
    };

    // Turns a picture file into "Scenery.bmp" (source and target in Windows form); false when the
    // source cannot be loaded. The core cannot decode pictures, so the GUI supplies this.
    using PictureConverter = std::function<bool(const QString &sourceWin, const QString &targetWin)>;
    // The computer's drives in their order, for the free-space label.
    using DriveSource = std::function<QList<DriveInfo>()>;

    static const QStringList SalesTypes;  // "Copyleft", "Freeware", "Payware", "Public Domain", "Shareware"
    static const QStringList GroupIDs;    // "0" .. "5"
    static const QStringList FilterCaptions;  // "FS95", "FS98", "FS2K", "FS2K2", "CFS", "CFS2"

    frmScenery(AppContext &context, SceneryManager &manager, QObject *parent = nullptr);
    ~frmScenery() override;

    QString formName() const override { return QStringLiteral("frmScenery"); }

    // ---- Wiring done by the start-up -------------------------------------------------------
    void setBackupManager(BackupManager *backup) { m_backup = backup; }
    // The debug log of the run; it writes only while the debug flag is set.
    void setDebugLog(const Start::DebugLog *log) { m_debugLog = log; }
    void setPictureConverter(PictureConverter converter) { m_pictureConverter = std::move(converter); }
    // The function-key table: entry n (0..11) holds the caption bound to F(n+1), or "".
    void setFunctionKeys(const Start::FunctionKeyTable &table) { m_functionKeys = table; }
    const Start::FunctionKeyTable &functionKeys() const { return m_functionKeys; }
    // The drives the free-space label walks; the drives of the file system's drive map when unset.
    void setDriveSource(DriveSource drives) { m_drives = std::move(drives); }

    // ---- Lifecycle -------------------------------------------------------------------------
    void Form_Initialize();
    void Form_Load();
    void Form_Activate();
    // Asks whether to save and releases the window's state; emits unloaded() at the end.
    void Form_Unload();
    // What the library files' reading met at Form_Load; saving asks first when it is not empty.
    const Problems &libraryProblems() const { return m_libraryProblems; }

    // ---- Status ----------------------------------------------------------------------------
    // Puts a text into status panel 1.
    void Display(const QString &message);
    const StatusBar &stbStatus() const { return m_status; }
    const QString &Caption() const { return m_caption; }
    // Sets the title for the selected simulator ("Lumivale 1.6 - Flight Simulator 2002").
    void setTitle();
    const QString &lblFreeSpace() const { return m_freeSpace; }
    void tmrFreeSpace_Timer();
    static constexpr int FreeSpaceInterval = 4000;  // milliseconds

    // ---- The library tree ------------------------------------------------------------------
    Tree &trvScenery() { return *m_tree; }
    const Tree &trvScenery() const { return *m_tree; }
    LibraryTree &libraryTree() { return *m_libraryTree; }
    // The tree's selected node, or none.
    TreeNode *currentNode() const;
    // The node last pressed with the mouse, or none.
    TreeNode *dragNode() const;
    bool dragging() const { return m_dragging; }
    const QString &dropHighlightKey() const { return m_dropHighlightKey; }
    bool eventsSuppressed() const { return m_eventsSuppressed; }

    // The user toggled the node's check box (the view has already changed it).
    void trvScenery_NodeCheck(TreeNode *node);
    // A node was selected or pressed: a scenery is shown in the details panel.
    void trvScenery_NodeClick(TreeNode *node);
    // A key was released in the tree: the selected node is shown.
    void trvScenery_KeyUp();
    // A mouse button was pressed; node is the node under the pointer or none.
    void trvScenery_MouseDown(TreeNode *node);
    // A right press: prepares the menu to open (the set sub-menus for a scenery).
    PopupMenu trvScenery_RightClick();
    // The scenery pop-up menu closed: the set sub-menus are hidden again.
    void scenerySubMenusClosed() { m_setSubMenusVisible = false; }
    bool setSubMenusVisible() const { return m_setSubMenusVisible; }
    // Whether a label edit may start on the selected node (a level other than "New").
    bool trvScenery_BeforeLabelEdit() const;
    // A label edit was accepted; false when the text is refused and the edit is to be undone.
    bool trvScenery_AfterLabelEdit(TreeNode *node, const QString &newString);

    // The sim filter boxes chkFilter(0..5).
    const std::array<bool, 6> &chkFilter() const { return m_filter; }
    void chkFilter_Click(int index, bool checked);
    // chkFilter(i) x 2^i summed.
    qint32 filterMask() const;

    // ---- Sets ------------------------------------------------------------------------------
    const SetCombo &cboScenerySet() const { return m_setCombo; }
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
    // Writes the check boxes into the displayed set, switches to the set named in the combo,
    // recounts and shows its members on the check boxes.
    void TransferData();
    void mnuSetAdd_Click();
    void mnuSetRemove_Click();
    void mnuSetRename_Click();
    void mnuCreateSetfromCurrent_Click();
    void mnuFindSceneryWithoutSet_Click();
    const SetMenu &fillSetMenu();
    const SetMenu &setMenu() const { return m_setMenu; }
    void mnuSets_Click(int index);
    void mnuInSets_Click(int index);

    // ---- Scenery details panel -------------------------------------------------------------
    SceneryPtr displayedScenery() const { return m_displayedScenery; }
    const SceneryDetails &details() const { return m_details; }
    const Tabs &tbsScenery() const { return m_tabs; }
    // The author list of txtAuthor.
    QStringList authorList() const;

    void txtLocal_Change(const QString &text);
    void txtRemote_Change(const QString &text);
    void txtTexture_ID_Change(const QString &text);
    void txtAuthor_Change(const QString &text);
    // A key released in txtAuthor with the caret at selStart: completes from the author list.
    void txtAuthor_KeyUp(Qt::Key key, int selStart);
    void txtVersion_Change(const QString &text);
    void txtComment_Change(const QString &text);
    void txtGroup_Change(const QString &text);
    void txtID_Change(const QString &text);
    void txtGroupID_Click(int listIndex);
    void chkActive_Click(bool checked);
    void chkRequired_Click(bool checked);
    void chkType_Click(int index, bool checked);
    void cboSalesType_Click(int listIndex);
    void optLocalRemote_Click(int index);
    // 0 local folder, 1 remote folder, 2 the picture.
    void cmdFile_Click(int index);
    void txtExclude_Change(const QString &text);
    void txtFlatten_Change(int index, const QString &text);
    void cmdExclude_Click();
    void cmdFlatten_Click(int index);
    void SetLightBulb();
    void tbsScenery_Click(int page);

    // ---- Layout ----------------------------------------------------------------------------
    const Placement &placement() const { return m_placement; }
    // The view reports the window's measures and state in twips before each Form_Resize.
    void setPlacement(const Placement &placement) { m_placement = placement; }
    // Nothing when minimised or when the window had to grow to its minimum size (placementChanged
    // tells the view, whose resize comes back here); else the layout, after saving the placement.
    std::optional<Layout> Form_Resize();
    void ReadSize();
    void WriteSize();

    // ---- Commands --------------------------------------------------------------------------
    // Runs a command of the command table as its menu entry does. A command that is not part of
    // this build only shows that it is not available.
    void runCommand(Start::Command command);
    bool isCommandAvailable(Start::Command command) const;
    // A key pressed: a function key F1..F12 without Shift, Ctrl or Alt runs the command bound to
    // it. True when a command ran.
    bool functionKey(Qt::Key key, Qt::KeyboardModifiers modifiers);
    BackupManager *backupManager() const { return m_backup; }

    // The "&Backup" menu.
    void mnuBackupMake_Click();
    void mnuWizardBackup_Click();
    void mnuWizardBackup15_Click();
    void mnuWizardDeleteBackup_Click();
    void mnuWizardBackupFiles_Click();

    // ==== Organising commands ================================================================
    // The level, scenery, move, drag & drop and search commands (the "&Level" and "&Scenery"
    // menus, InnerMove, MoveTo, FillMoveToTree, the drops on trvScenery and trvMoveTo and the
    // search) are further procedures of this class, each in its own frmscenery_*.cpp file, and
    // are declared here. Their command-table rows are dispatched in frmscenery_commands.cpp.
    // removedList() is the window's removed list for the undo of a removal.
    OrderedMap<SceneryPtr> &removedList() { return m_removed; }

    // The "&Level" menu; each acts on the selected node (frmscenery_levels.cpp).
    void mnuLevelAdd_Click();
    void mnuLevelRemove_Click();
    void mnuLevelRename_Click();
    void mnuLevelSort_Click();
    void mnuLevelSortDesc_Click();
    void mnuLevelMoveToLevel_Click();
    // The "&Scenery" menu (frmscenery_scenery.cpp).
    void mnuSceneryRemove_Click();
    void mnuSceneryUnremove_Click();
    void mnuSceneryRename_Click();
    void mnuSceneryMove_Click();
    void mnuSceneryMoveToLevel_Click();
    // "&Search..." of both menus (frmscenery_search.cpp).
    void mnuWizardSearch_Click();

    // Moves (frmscenery_moves.cpp). InnerMove: 0 top, 1 up, 2 down, 3 bottom among the siblings.
    void InnerMove(int direction);
    // Moves the selected level or scenery into a level picked in frmMoveTreeNode.
    void MoveTo();
    // Dragging a scenery in trvScenery. The press is trvScenery_MouseDown. A move with the left
    // button held returns true when the view is to start dragging the drag node.
    bool trvScenery_MouseMove(bool leftButton);
    // The pointer is over node (none: empty space) while dragging; a level becomes the highlight.
    void trvScenery_DragOver(TreeNode *node);
    void trvScenery_DragDrop();
    // The "Move to" page: the levels of trvScenery in a tree of their own.
    Tree &trvMoveTo() { return *m_moveTo; }
    const Tree &trvMoveTo() const { return *m_moveTo; }
    void FillMoveToTree();
    void trvMoveTo_DblClick();
    // node: the trvMoveTo node under the pointer, or none.
    void trvMoveTo_DragOver(TreeNode *node);
    void trvMoveTo_DragDrop();
    const QString &moveToDropHighlightKey() const { return m_moveToHighlightKey; }

private:
    // Puts a new node with old's text and look, under key (old's own when empty), at the given
    // place, moves old's children under it and removes old: the node is then the newest of the
    // tree, as a search meets it.
    TreeNode *replaceNode(TreeNode *old, TreeNode *relative, Tree::Relation relation, const QString &key = {});
    // Makes node the last child of the level target, with every key below following; false (and
    // the user told why) when the move would make a cycle or give two nodes one key.
    bool moveIntoLevel(TreeNode *node, TreeNode *target);
    bool moveToRoot(TreeNode *node);
    void refuseMove(const QString &text);
    void fillLevelTree(Tree &target) const;
    void refillMoveToIfVisible();
    void dropOn(TreeNode *target);
    void sortLevel(bool descending);
    // Every set that holds oldTitle holds newTitle instead, in the same place.
    void renameMember(const QString &oldTitle, const QString &newTitle);
    void moveFolderContent(const QString &source, const QString &target) const;

    std::unique_ptr<Tree> m_moveTo = std::make_unique<Tree>();
    QString m_moveToHighlightKey;

public:
    // ==== End of the organising commands =====================================================

    // ---- Access for the view and the commands ----------------------------------------------
    frmSplash &splash() { return m_splash; }
    SceneryManager &manager() const { return m_manager; }
    AppContext &context() const { return m_context; }
    // The first-panel text shown when a command is not part of this build.
    static QString notAvailableText(const QString &caption);

signals:
    // The window title changed.
    void captionChanged();
    // A status panel or the warning picture changed.
    void statusChanged();
    // The set combo's entries, text or selection changed.
    void setListChanged();
    // A filter box changed.
    void filtersChanged();
    // A field of the details panel, its colours, the picture or the author list changed.
    void detailsChanged();
    // The selected page or a page marker of the tab strip changed.
    void tabsChanged();
    void freeSpaceChanged();
    // The logic changed the window's measures or state (ReadSize, the minimum size).
    void placementChanged();
    // The splash window is to be shown or hidden (splash().isVisible()).
    void splashChanged();
    // The window closed: every other window of the program is to be closed as well.
    void unloaded();

private:
    // Runs a procedure's body; a failure is reported under "." + the procedure's name.
    void guarded(const char *procedure, const std::function<void()> &body);
    void debugLog(const QString &message) const;
    void showSetCounts();
    void applySetMarks();
    void onTreeRebuilt();
    void setComboText(const QString &text);
    void fillDetails(const clsScenery &scenery);
    void showPicture(const QString &realPath);
    QString pictureBaseFolder(const QString &localPath) const;
    void setFolderStatus(const clsScenery &scenery, const QString &realPath);
    void recolourActive(bool active);
    bool saveDespiteReadErrors();

    AppContext &m_context;
    SceneryManager &m_manager;
    std::unique_ptr<ProgramSettings> m_settings;
    BackupManager *m_backup = nullptr;
    const Start::DebugLog *m_debugLog = nullptr;
    PictureConverter m_pictureConverter;
    DriveSource m_drives;
    Start::FunctionKeyTable m_functionKeys;

    frmSplash m_splash;
    std::unique_ptr<Tree> m_tree;
    std::unique_ptr<LibraryTree> m_libraryTree;

    SceneryPtr m_displayedScenery;
    CfgPtr m_displayedSet;
    OrderedMap<SceneryPtr> m_removed;
    Problems m_libraryProblems;
    QString m_dragNodeKey;
    QString m_dropHighlightKey;
    bool m_dragging = false;
    bool m_eventsSuppressed = false;
    bool m_simBoxesWrite = true;  // false while NodeClick sets the sim boxes
    bool m_setSubMenusVisible = false;
    bool m_cfgMarksPending = false;  // the next rebuild keeps the InCFG marks
    bool m_hiddenFromCfg = false;    // hidden sceneries count by InCFG at the next write-back

    QString m_caption;
    StatusBar m_status;
    QString m_freeSpace;
    int m_driveCounter = 0;
    SetCombo m_setCombo;
    std::array<bool, 6> m_filter{};
    SetMenu m_setMenu;
    SceneryDetails m_details;
    Tabs m_tabs;
    Placement m_placement;
};
