#pragma once

#include "app/commandtable.h"
#include "app/detailspanel.h"
#include "app/filelistpanel.h"
#include "app/frmsplash.h"
#include "app/organiser.h"
#include "app/scenerycfgcommands.h"
#include "app/setselector.h"
#include "app/simulatorcommands.h"
#include "app/windowlayout.h"
#include "app/windowstatus.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"
#include "tree/tree.h"

#include <QObject>
#include <QString>

#include <memory>

class BackupManager;
class Launcher;
class LibraryTree;
class ProgramSettings;
class SceneryManager;
namespace Start {
class DebugLog;
class FolderMemory;
} // namespace Start

// The main window's logic. It owns one object per concern and the library tree they share:
//
//   status()     the title, the status bar and the free-space label      (WindowStatus)
//   layout()     the window's size, place and state                      (WindowLayout)
//   sets()       the set selector, the displayed set and the set commands (SetSelector)
//   details()    the details panel of the displayed scenery               (DetailsPanel)
//   organiser()  the sim filter and the level, scenery, move and search commands (Organiser)
//
// and keeps the window's life (loading, activation, closing), the command table's dispatch and
// the event procedures the Qt view binds its widgets to, each handing the event to the object it
// concerns. The view reads the state it shows from the owned objects and repaints on their
// signals; tests play the user's part on the same procedures without a widget.
class frmScenery : public QObject, public FormLogic
{
    Q_OBJECT
public:
    frmScenery(AppContext &context, SceneryManager &manager, QObject *parent = nullptr);
    ~frmScenery() override;

    QString formName() const override { return QStringLiteral("frmScenery"); }

    // ---- Wiring done by the start-up -------------------------------------------------------
    void setBackupManager(BackupManager *backup) { m_backup = backup; }
    // The folder each chooser last showed; the choosers start in the simulator folder without it.
    void setFolderMemory(Start::FolderMemory *memory);
    BackupManager *backupManager() const { return m_backup; }
    // The debug log of the run; it writes only while the debug flag is set.
    void setDebugLog(const Start::DebugLog *log) { m_debugLog = log; }
    // The function-key table: entry n (0..11) holds the caption bound to F(n+1), or "".
    void setFunctionKeys(const Start::FunctionKeyTable &table) { m_functionKeys = table; }
    const Start::FunctionKeyTable &functionKeys() const { return m_functionKeys; }
    // What starts the browser and opens addresses; the window has a plain one of its own until
    // the front end gives one that uses the desktop's services.
    void setLauncher(Launcher *launcher) { m_launcher = launcher; }
    Launcher &launcher();

    // ---- The owned objects and what they share ---------------------------------------------
    WindowStatus &status() { return *m_status; }
    WindowLayout &layout() { return *m_layout; }
    SetSelector &sets() { return *m_sets; }
    DetailsPanel &details() { return *m_details; }
    Organiser &organiser() { return *m_organiser; }
    SceneryCfgCommands &sceneryCfg() { return *m_sceneryCfg; }
    SimulatorCommands &simulators() { return *m_simulators; }
    FileListPanel &fileList() { return *m_fileList; }
    Tree &trvScenery() { return *m_tree; }
    LibraryTree &libraryTree() { return *m_libraryTree; }
    frmSplash &splash() { return m_splash; }
    SceneryManager &manager() const { return m_manager; }
    AppContext &context() const { return m_context; }

    // ---- Lifecycle -------------------------------------------------------------------------
    void Form_Initialize();
    // Shows the splash, restores the filter, reads the library and the simulator's Scenery.cfg,
    // fills the set list, builds the tree, shows "(Current)" and restores the window's place.
    void Form_Load();
    // Hides the splash.
    void Form_Activate();
    // Asks whether to save and releases the window's state; emits unloaded() at the end. When
    // the save fails and the user would rather keep the window than lose the changes, nothing is
    // released and false is returned: the window stays open.
    bool Form_Unload();
    // What the library files' reading met at Form_Load; saving asks first when it is not empty.
    const Problems &libraryProblems() const { return m_libraryProblems; }

    // ---- Commands (frmscenery_commands.cpp) ------------------------------------------------
    // Runs a command of the command table as its menu entry does; then the counts are shown
    // again. A command that is not part of this build only says that it is not available.
    void runCommand(Start::Command command);
    bool isCommandAvailable(Start::Command command) const;
    // A key pressed: a function key F1..F12 without Shift, Ctrl or Alt runs the command bound to
    // it. True when a command ran.
    bool functionKey(Qt::Key key, Qt::KeyboardModifiers modifiers);

    // ---- The commands' procedures, as the command table names them -------------------------
    void mnuLevelAdd_Click() { m_organiser->mnuLevelAdd_Click(); }
    void mnuLevelRemove_Click() { m_organiser->mnuLevelRemove_Click(); }
    void mnuLevelRename_Click() { m_organiser->mnuLevelRename_Click(); }
    void mnuLevelSort_Click() { m_organiser->mnuLevelSort_Click(); }
    void mnuLevelSortDesc_Click() { m_organiser->mnuLevelSortDesc_Click(); }
    void MoveTo() { m_organiser->MoveTo(); }
    void mnuSceneryRemove_Click() { m_organiser->mnuSceneryRemove_Click(); }
    void mnuSceneryUnremove_Click() { m_organiser->mnuSceneryUnremove_Click(); }
    void mnuSceneryRename_Click() { m_organiser->mnuSceneryRename_Click(); }
    void mnuSceneryMove_Click() { m_organiser->mnuSceneryMove_Click(); }
    void mnuSetAdd_Click() { m_sets->mnuSetAdd_Click(); }
    void mnuSetRemove_Click() { m_sets->mnuSetRemove_Click(); }
    void mnuSetRename_Click() { m_sets->mnuSetRename_Click(); }
    void mnuFindSceneryWithoutSet_Click() { m_sets->mnuFindSceneryWithoutSet_Click(); }
    void mnuCreateSetfromCurrent_Click() { m_sets->mnuCreateSetfromCurrent_Click(); }
    void mnuWizardSearch_Click() { m_organiser->mnuWizardSearch_Click(); }
    void mnuBackupMake_Click();
    void mnuWizardBackup_Click();
    void mnuWizardBackup15_Click();
    void mnuWizardDeleteBackup_Click();
    void mnuWizardBackupFiles_Click();
    void mnuWizardCreateDIZ_Click();
    void mnuWizardCreateZip_Click();
    void mnuGTM_Click();
    void mnuPrintSceneryList_Click();
    // "&Prepare CDRom" (cdromcommand.cpp).
    void mnuWizardPrepareCD_Click();
    // "&Add Scenery" (frmscenery_install.cpp).
    void mnuSceneryInstall_Click();
    void InnerMove(int direction) { m_organiser->InnerMove(direction); }
    // Preferences, help and path tools (frmscenery_tools.cpp).
    void mnuBasicFolder_Click();
    void mnuCache_Click();
    void mnuHotkey_Click();
    void mnuHelpDoc_Click();
    void mnuOnline_Click();
    void mnuForum_Click();
    void mnuHelpInfo_Click();
    void mnuTestLocalPaths_Click();
    void mnuAbsolutePath_Click();
    void mnuAbsoluteCurrent_Click();
    // The Scenery.cfg and simulator commands.
    void mnuWizardCreateScenery_Click() { m_sceneryCfg->mnuWizardCreateScenery_Click(); }
    void mnuSceneryUpdate_Click();
    void mnuSelectSimType_Click();
    // The set area's button: the displayed set goes to another simulator.
    void cmdChangeFlightSimSet_Click() { m_simulators->cmdChangeFlightSimSet_Click(); }
    // "Check library" (librarycheckcommand.cpp): the findings of the library check in their dialog.
    void mnuCheckLibrary_Click();
    // Selects the scenery's node and shows it in the details panel; false, with a word in the
    // status bar, when the filter hides it.
    bool showScenery(const QString &key);

    // ---- Event procedures of the library tree ----------------------------------------------
    // The user toggled the node's check box (the view has already changed it).
    void trvScenery_NodeCheck(TreeNode *node) { m_sets->trvScenery_NodeCheck(node); }
    // A node was selected: a scenery is shown in the details panel.
    void trvScenery_NodeClick(TreeNode *node) { m_details->trvScenery_NodeClick(node); }
    void trvScenery_KeyUp() { m_details->trvScenery_KeyUp(); }
    // A mouse button was pressed; node is the node under the pointer or none.
    void trvScenery_MouseDown(TreeNode *node) { m_organiser->trvScenery_MouseDown(node); }
    bool trvScenery_MouseMove(bool leftButton) { return m_organiser->trvScenery_MouseMove(leftButton); }
    void trvScenery_DragOver(TreeNode *node) { m_organiser->trvScenery_DragOver(node); }
    void trvScenery_DragDrop() { m_organiser->trvScenery_DragDrop(); }
    SetSelector::PopupMenu trvScenery_RightClick() { return m_sets->trvScenery_RightClick(); }
    // The scenery pop-up menu closed: the set sub-menus are hidden again.
    void scenerySubMenusClosed() { m_sets->scenerySubMenusClosed(); }
    bool trvScenery_BeforeLabelEdit() const { return m_organiser->trvScenery_BeforeLabelEdit(); }
    bool trvScenery_AfterLabelEdit(TreeNode *node, const QString &newString)
    {
        return m_organiser->trvScenery_AfterLabelEdit(node, newString);
    }
    void chkFilter_Click(int index, bool checked) { m_organiser->chkFilter_Click(index, checked); }

    // ---- The set selector and the set sub-menus --------------------------------------------
    void cboScenerySet_Click(int listIndex) { m_sets->cboScenerySet_Click(listIndex); }
    void cboScenerySet_Change(const QString &text) { m_sets->cboScenerySet_Change(text); }
    void cboScenerySet_KeyDown(Qt::Key key) { m_sets->cboScenerySet_KeyDown(key); }
    void cboScenerySet_LostFocus() { m_sets->cboScenerySet_LostFocus(); }
    void mnuSets_Click(int index) { m_sets->mnuSets_Click(index); }
    void mnuInSets_Click(int index) { m_sets->mnuInSets_Click(index); }

    // ---- The details panel -----------------------------------------------------------------
    void txtLocal_Change(const QString &text) { m_details->txtLocal_Change(text); }
    void txtRemote_Change(const QString &text) { m_details->txtRemote_Change(text); }
    void txtTexture_ID_Change(const QString &text) { m_details->txtTexture_ID_Change(text); }
    void txtAuthor_Change(const QString &text) { m_details->txtAuthor_Change(text); }
    void txtAuthor_KeyUp(Qt::Key key, int selStart) { m_details->txtAuthor_KeyUp(key, selStart); }
    void txtVersion_Change(const QString &text) { m_details->txtVersion_Change(text); }
    void txtComment_Change(const QString &text) { m_details->txtComment_Change(text); }
    void txtGroup_Change(const QString &text) { m_details->txtGroup_Change(text); }
    void txtID_Change(const QString &text) { m_details->txtID_Change(text); }
    void txtGroupID_Click(int listIndex) { m_details->txtGroupID_Click(listIndex); }
    void chkActive_Click(bool checked) { m_details->chkActive_Click(checked); }
    void chkRequired_Click(bool checked) { m_details->chkRequired_Click(checked); }
    void chkType_Click(int index, bool checked) { m_details->chkType_Click(index, checked); }
    void cboSalesType_Click(int listIndex) { m_details->cboSalesType_Click(listIndex); }
    void optLocalRemote_Click(int index) { m_details->optLocalRemote_Click(index); }
    void cmdFile_Click(int index) { m_details->cmdFile_Click(index); }
    void txtExclude_Change(const QString &text) { m_details->txtExclude_Change(text); }
    void txtFlatten_Change(int index, const QString &text) { m_details->txtFlatten_Change(index, text); }
    void cmdExclude_Click() { m_details->cmdExclude_Click(); }
    void cmdFlatten_Click(int index) { m_details->cmdFlatten_Click(index); }
    void cmdAirportDir_Click() { m_organiser->cmdAirportDir_Click(); }

    // ---- The "File list" page --------------------------------------------------------------
    void mnuCreateInfoFile_Click() { m_fileList->mnuCreateInfoFile_Click(); }
    void lvwFileList_Click(int index) { m_fileList->lvwFileList_Click(index); }
    void cmdAddFile_Click() { m_fileList->cmdAddFile_Click(); }
    void cmdEditFile_Click() { m_fileList->cmdEditFile_Click(); }
    void cmdRemoveFile_Click() { m_fileList->cmdRemoveFile_Click(); }
    void cmdOpen_Click() { m_fileList->cmdOpen_Click(); }
    // A page of the tab strip chosen; the "Move to" page shows the levels as they are now.
    void tbsScenery_Click(int page);

    // ---- The "Move to" page ----------------------------------------------------------------
    void trvMoveTo_DblClick() { m_organiser->trvMoveTo_DblClick(); }
    void trvMoveTo_DragOver(TreeNode *node) { m_organiser->trvMoveTo_DragOver(node); }
    void trvMoveTo_DragDrop() { m_organiser->trvMoveTo_DragDrop(); }

    // ---- Layout and status -----------------------------------------------------------------
    std::optional<int> Form_Resize() { return m_layout->Form_Resize(); }
    void tmrFreeSpace_Timer() { m_status->tmrFreeSpace_Timer(); }

signals:
    // The splash window is to be shown or hidden (splash().isVisible()).
    void splashChanged();
    // The window closed: every other window of the program is to be closed as well.
    void unloaded();

private:
    void debugLog(const QString &message) const;
    bool saveDespiteReadErrors();

    AppContext &m_context;
    SceneryManager &m_manager;
    std::unique_ptr<ProgramSettings> m_settings;
    BackupManager *m_backup = nullptr;
    Start::FolderMemory *m_folderMemory = nullptr;
    const Start::DebugLog *m_debugLog = nullptr;
    Start::FunctionKeyTable m_functionKeys;
    Launcher *m_launcher = nullptr;
    std::unique_ptr<Launcher> m_ownLauncher;
    Problems m_libraryProblems;
    frmSplash m_splash;

    std::unique_ptr<Tree> m_tree;
    std::unique_ptr<LibraryTree> m_libraryTree;
    std::unique_ptr<WindowStatus> m_status;
    std::unique_ptr<WindowLayout> m_layout;
    std::unique_ptr<SetSelector> m_sets;
    std::unique_ptr<DetailsPanel> m_details;
    std::unique_ptr<Organiser> m_organiser;
    std::unique_ptr<SceneryCfgCommands> m_sceneryCfg;
    std::unique_ptr<SimulatorCommands> m_simulators;
    std::unique_ptr<FileListPanel> m_fileList;
};
