#include "app/frmscenery.h"

#include "app/filehelpers.h"
#include "app/windowprocedure.h"
#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"
#include "backup/texturedialog.h"
#include "library/scenerymanager.h"
#include "packaging/fileiddiz.h"
#include "packaging/sceneryzip.h"
#include "reports/frmprintscenerylist.h"

namespace {

using Start::Command;

// A command this build runs: the procedure that runs it and, for a command that needs a part of
// the program the window may be without, the test that the part is there.
struct CommandBinding
{
    Command command;
    void (*run)(frmScenery &window);
    bool (*available)(const frmScenery &window) = nullptr;
};

bool hasBackupManager(const frmScenery &window)
{
    return window.backupManager() != nullptr;
}

// The commands of this build. A command listed here runs from its menu entry, its toolbar button
// and a function key bound to it; the entries and buttons of every other command are disabled and
// say that it is not available. A new command is enabled by adding its row here.
constexpr CommandBinding Bindings[] = {
    {Command::AddLevel, [](frmScenery &w) { w.mnuLevelAdd_Click(); }},
    {Command::RemoveLevel, [](frmScenery &w) { w.mnuLevelRemove_Click(); }},
    {Command::RenameLevel, [](frmScenery &w) { w.mnuLevelRename_Click(); }},
    {Command::SortLevelAscending, [](frmScenery &w) { w.mnuLevelSort_Click(); }},
    {Command::SortLevelDescending, [](frmScenery &w) { w.mnuLevelSortDesc_Click(); }},
    {Command::MoveToLevel, [](frmScenery &w) { w.MoveTo(); }},
    {Command::RemoveScenery, [](frmScenery &w) { w.mnuSceneryRemove_Click(); }},
    {Command::UndoRemoveScenery, [](frmScenery &w) { w.mnuSceneryUnremove_Click(); }},
    {Command::RenameScenery, [](frmScenery &w) { w.mnuSceneryRename_Click(); }},
    {Command::MoveSceneryOnHarddrive, [](frmScenery &w) { w.mnuSceneryMove_Click(); }},
    {Command::AddSet, [](frmScenery &w) { w.mnuSetAdd_Click(); }},
    {Command::RemoveSet, [](frmScenery &w) { w.mnuSetRemove_Click(); }},
    {Command::RenameSet, [](frmScenery &w) { w.mnuSetRename_Click(); }},
    {Command::FindSceneriesWithoutSet, [](frmScenery &w) { w.mnuFindSceneryWithoutSet_Click(); }},
    {Command::CopyCurrentToDisplayedSet, [](frmScenery &w) { w.mnuCreateSetfromCurrent_Click(); }},
    {Command::Search, [](frmScenery &w) { w.mnuWizardSearch_Click(); }},
    {Command::MakeBackup, [](frmScenery &w) { w.mnuBackupMake_Click(); }, hasBackupManager},
    {Command::InstallBackup, [](frmScenery &w) { w.mnuWizardBackup_Click(); }, hasBackupManager},
    {Command::Install15Backup, [](frmScenery &w) { w.mnuWizardBackup15_Click(); }, hasBackupManager},
    {Command::DeleteBackup, [](frmScenery &w) { w.mnuWizardDeleteBackup_Click(); }, hasBackupManager},
    {Command::BackupFileList, [](frmScenery &w) { w.mnuWizardBackupFiles_Click(); }, hasBackupManager},
    {Command::TestLocalPaths, [](frmScenery &w) { w.mnuTestLocalPaths_Click(); }},
    {Command::AbsoluteSceneryPaths, [](frmScenery &w) { w.mnuAbsolutePath_Click(); }},
    {Command::CurrentToAbsoluteSceneryPath, [](frmScenery &w) { w.mnuAbsoluteCurrent_Click(); }},
    {Command::BasicFolders, [](frmScenery &w) { w.mnuBasicFolder_Click(); }},
    {Command::Cache, [](frmScenery &w) { w.mnuCache_Click(); }},
    {Command::DefineHotkey, [](frmScenery &w) { w.mnuHotkey_Click(); }},
    {Command::Documentation, [](frmScenery &w) { w.mnuHelpDoc_Click(); }},
    {Command::Homepage, [](frmScenery &w) { w.mnuOnline_Click(); }},
    {Command::Forum, [](frmScenery &w) { w.mnuForum_Click(); }},
    {Command::Info, [](frmScenery &w) { w.mnuHelpInfo_Click(); }},
    {Command::UpdateFromSceneryCfg, [](frmScenery &w) { w.mnuSceneryUpdate_Click(); }},
    {Command::CreateScenery, [](frmScenery &w) { w.mnuWizardCreateScenery_Click(); }},
    {Command::SelectSimType, [](frmScenery &w) { w.mnuSelectSimType_Click(); }},
    {Command::CreateFileIdDiz, [](frmScenery &w) { w.mnuWizardCreateDIZ_Click(); }},
    {Command::CreateSceneryZipFile, [](frmScenery &w) { w.mnuWizardCreateZip_Click(); }},
    {Command::GlobalTextureManagement, [](frmScenery &w) { w.mnuGTM_Click(); }},
    {Command::MoveTop, [](frmScenery &w) { w.InnerMove(0); }},
    {Command::MoveUp, [](frmScenery &w) { w.InnerMove(1); }},
    {Command::MoveDown, [](frmScenery &w) { w.InnerMove(2); }},
    {Command::MoveBottom, [](frmScenery &w) { w.InnerMove(3); }},
    {Command::SceneryListReport, [](frmScenery &w) { w.mnuPrintSceneryList_Click(); }},
    {Command::AddScenery, [](frmScenery &w) { w.mnuSceneryInstall_Click(); }},
    {Command::CheckLibrary, [](frmScenery &w) { w.mnuCheckLibrary_Click(); }},
    {Command::CreateNewFileList, [](frmScenery &w) { w.mnuCreateInfoFile_Click(); }},
    {Command::PrepareCdRom, [](frmScenery &w) { w.mnuWizardPrepareCD_Click(); }},
};

const CommandBinding *bindingOf(Command command)
{
    for (const CommandBinding &binding : Bindings) {
        if (binding.command == command)
            return &binding;
    }
    return nullptr;
}

} // namespace

bool frmScenery::isCommandAvailable(Command command) const
{
    const CommandBinding *binding = bindingOf(command);
    return binding && (!binding->available || binding->available(*this));
}

void frmScenery::runCommand(Command command)
{
    if (command == Command::None)
        return;
    if (!isCommandAvailable(command)) {
        m_status->Display(QStringLiteral("\"%1\" is not available in this version.")
                              .arg(Start::commandRow(command).caption));
        return;
    }
    bindingOf(command)->run(*this);
    // Commands add and remove levels, sceneries and set members; the counts follow each of them.
    m_sets->showSetCounts();
}

bool frmScenery::functionKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (key < Qt::Key_F1 || key > Qt::Key_F12)
        return false;
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    const Command command = Start::functionKeyCommand(m_functionKeys, key - Qt::Key_F1 + 1);
    if (command == Command::None)
        return false;
    runCommand(command);
    return true;
}

// ---- The "&Backup" menu ------------------------------------------------------------------

void frmScenery::mnuBackupMake_Click()
{
    if (m_backup)
        BackupCommands::mnuBackupMake_Click(*m_backup,
                                            [this](const QString &text) { m_status->Display(text); });
}

void frmScenery::mnuWizardBackup_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardBackup_Click(*m_backup,
                                              [this](const QString &text) { m_status->Display(text); });
}

void frmScenery::mnuWizardBackup15_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardBackup15_Click(*m_backup,
                                                [this](const QString &text) { m_status->Display(text); });
}

void frmScenery::mnuWizardDeleteBackup_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardDeleteBackup_Click(*m_backup,
                                                    [this](const QString &text) { m_status->Display(text); });
}

void frmScenery::mnuWizardBackupFiles_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardBackupFiles_Click(*m_backup,
                                                   [this](const QString &text) { m_status->Display(text); });
}

// ---- The "&Wizard" menu: passing a scenery on, the global textures ------------------------

void frmScenery::mnuWizardCreateDIZ_Click()
{
    const SceneryPtr scenery = m_details->displayedScenery();
    if (!scenery)
        return;
    PackagingCommands::mnuWizardCreateDIZ_Click(m_context, m_manager, *scenery,
                                                [this](const QString &text) { m_status->Display(text); });
}

void frmScenery::mnuWizardCreateZip_Click()
{
    const SceneryPtr scenery = m_details->displayedScenery();
    if (!scenery)
        return;
    PackagingCommands::FolderMemoryFns folders;
    if (m_folderMemory) {
        folders.getDicPath = [this](const QString &key) { return m_folderMemory->GetDicPath(key); };
        folders.setDicPath = [this](const QString &key, const QString &folder) {
            m_folderMemory->SetDicPath(key, folder);
        };
    }
    PackagingCommands::mnuWizardCreateZip_Click(m_context, m_manager, *scenery, folders,
                                                [this](const QString &text) { m_status->Display(text); });
}

void frmScenery::mnuGTM_Click()
{
    TextureCommands::mnuGTM_Click(m_context, m_manager.FSPath(),
                                  [this](const QString &text) { m_status->Display(text); });
}

// ---- The scenery list report ---------------------------------------------------------------

void frmScenery::mnuPrintSceneryList_Click()
{
    m_status->Display(QStringLiteral("Print scenery list."));
    guarded(m_context.ui, "mnuPrintSceneryList_Click", [this] {
        frmPrintSceneryList dialog(m_manager, m_context);
        m_context.ui.showModal(dialog);
    });
    m_status->Display(QStringLiteral("Ready."));
}

// ---- The Scenery.cfg and simulator commands ----------------------------------------------

void frmScenery::mnuSceneryUpdate_Click()
{
    m_sceneryCfg->mnuSceneryUpdate_Click();
    // The files were read again: what that met decides whether the next save asks first.
    if (m_sceneryCfg->reloadProblems())
        m_libraryProblems = *m_sceneryCfg->reloadProblems();
}

void frmScenery::mnuSelectSimType_Click()
{
    // Backups belong to the simulator worked on.
    if (m_simulators->mnuSelectSimType_Click() && m_backup)
        m_backup->setSimulator(m_manager.FSPath(), m_manager.SimType);
}
