#include "app/commandtable.h"

#include "platform/settingsstore.h"
#include "settings/programsettings.h"

namespace {

using Start::Command;

struct RowText
{
    Command command;
    const char *caption;
    const char *procedure;
};

constexpr RowText Rows[Start::CommandCount] = {
    {Command::None, "", ""},
    {Command::AddLevel, "Add Level", "mnuLevelAdd_Click"},
    {Command::RemoveLevel, "Remove Level", "mnuLevelRemove_Click"},
    {Command::RenameLevel, "Rename Level", "mnuLevelRename_Click"},
    {Command::SortLevelAscending, "Sort Level Ascending", "mnuLevelSort_Click"},
    {Command::SortLevelDescending, "Sort Level Descending", "mnuLevelSortDesc_Click"},
    {Command::MoveToLevel, "Move to Level...", "MoveTo"},
    {Command::AddScenery, "Add Scenery", "mnuSceneryInstall_Click"},
    {Command::RemoveScenery, "Remove Scenery", "mnuSceneryRemove_Click"},
    {Command::UndoRemoveScenery, "Undo Remove Scenery", "mnuSceneryUnremove_Click"},
    {Command::RenameScenery, "Rename Scenery", "mnuSceneryRename_Click"},
    {Command::MoveSceneryOnHarddrive, "Move Scenery on Harddrive", "mnuSceneryMove_Click"},
    {Command::TestLocalPaths, "Test local paths", "mnuTestLocalPaths_Click"},
    {Command::AbsoluteSceneryPaths, "Absolute scenery paths", "mnuAbsolutePath_Click"},
    {Command::CurrentToAbsoluteSceneryPath, "Current to absolute scenery path", "mnuAbsoluteCurrent_Click"},
    {Command::AddSet, "Add Set", "mnuSetAdd_Click"},
    {Command::RemoveSet, "Remove Set", "mnuSetRemove_Click"},
    {Command::RenameSet, "Rename Set", "mnuSetRename_Click"},
    {Command::FindSceneriesWithoutSet, "Find sceneries without set", "mnuFindSceneryWithoutSet_Click"},
    {Command::CopyCurrentToDisplayedSet, "Copy Current to Displayed Set", "mnuCreateSetfromCurrent_Click"},
    {Command::UpdateFromSceneryCfg, "Update from Scenery.cfg", "mnuSceneryUpdate_Click"},
    {Command::CreateScenery, "Create Scenery", "mnuWizardCreateScenery_Click"},
    {Command::Search, "Search...", "mnuWizardSearch_Click"},
    {Command::PrepareCdRom, "Prepare CDRom", "mnuWizardPrepareCD_Click"},
    {Command::CreateNewFileList, "Create New File List", "mnuCreateInfoFile_Click"},
    {Command::CreateFileIdDiz, "Create FILE_ID.DIZ", "mnuWizardCreateDIZ_Click"},
    {Command::CreateSceneryZipFile, "Create Scenery.zip File", "mnuWizardCreateZip_Click"},
    {Command::GlobalTextureManagement, "Global Texture Management", "mnuGTM_Click"},
    {Command::SceneryListReport, "Scenery list report", "mnuPrintSceneryList_Click"},
    {Command::MakeBackup, "Make Backup", "mnuBackupMake_Click"},
    {Command::InstallBackup, "Install Backup", "mnuWizardBackup_Click"},
    {Command::Install15Backup, "Install 1.5 Backup", "mnuWizardBackup15_Click"},
    {Command::DeleteBackup, "Delete Backup", "mnuWizardDeleteBackup_Click"},
    {Command::BackupFileList, "Backup File List", "mnuWizardBackupFiles_Click"},
    {Command::BasicFolders, "Basic Folders", "mnuBasicFolder_Click"},
    {Command::Cache, "Cache", "mnuCache_Click"},
    {Command::SelectSimType, "Select Sim Type", "mnuSelectSimType_Click"},
    {Command::DefineHotkey, "Define Hotkey", "mnuHotkey_Click"},
    {Command::Documentation, "Documentation", "mnuHelpDoc_Click"},
    {Command::Homepage, "Homepage", "mnuOnline_Click"},
    {Command::Forum, "Forum", "mnuForum_Click"},
    {Command::Info, "Info", "mnuHelpInfo_Click"},
    {Command::MoveTop, "Move top", "InnerMove(0)"},
    {Command::MoveUp, "Move up", "InnerMove(1)"},
    {Command::MoveDown, "Move down", "InnerMove(2)"},
    {Command::MoveBottom, "Move bottom", "InnerMove(3)"},
    {Command::CheckLibrary, "Check library", "mnuCheckLibrary_Click"},
};

// Each row stands at the place its command names.
constexpr bool rowsInCommandOrder()
{
    for (int row = 0; row < Start::CommandCount; ++row) {
        if (Rows[row].command != Command(row))
            return false;
    }
    return true;
}
static_assert(rowsInCommandOrder(), "a command-table row stands away from its command's place");

Start::CommandTable buildRows()
{
    Start::CommandTable table;
    for (int row = 0; row < Start::CommandCount; ++row) {
        table[std::size_t(row)] = {Rows[row].command, QString::fromLatin1(Rows[row].caption),
                                   QString::fromLatin1(Rows[row].procedure)};
    }
    return table;
}

} // namespace

const Start::CommandTable &Start::commandRows()
{
    static const CommandTable table = buildRows();
    return table;
}

const Start::CommandRow &Start::commandRow(Command command)
{
    const int row = int(command);
    return commandRows()[std::size_t(row >= 0 && row < CommandCount ? row : 0)];
}

Start::Command Start::commandByCaption(const QString &caption)
{
    if (caption.isEmpty())
        return Command::None;
    for (const CommandRow &row : commandRows()) {
        if (row.caption == caption)
            return row.command;
    }
    return Command::None;
}

void Start::readFunctionKeys(const SettingsStore &settings, FunctionKeyTable &table)
{
    for (int n = 0; n < FunctionKeyCount; ++n) {
        bool exists = false;
        const QString caption =
            settings.read(SettingsStore::Root::Machine, ProgramSettings::Key,
                          QStringLiteral("F") + QString::number(n + 1), QString(), &exists);
        if (exists)
            table[std::size_t(n)] = caption;
    }
}

Start::Command Start::functionKeyCommand(const FunctionKeyTable &table, int key)
{
    if (key < 1 || key > FunctionKeyCount)
        return Command::None;
    return commandByCaption(table[std::size_t(key - 1)]);
}
