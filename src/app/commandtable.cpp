#include "app/commandtable.h"

#include "platform/settingsstore.h"
#include "settings/programsettings.h"

namespace {

Start::CommandTable buildRows()
{
    static const char *const rows[Start::CommandCount][2] = {
        {"", ""},
        {"Add Level", "mnuLevelAdd_Click"},
        {"Remove Level", "mnuLevelRemove_Click"},
        {"Rename Level", "mnuLevelRename_Click"},
        {"Sort Level Ascending", "mnuLevelSort_Click"},
        {"Sort Level Descending", "mnuLevelSortDesc_Click"},
        {"Move to Level...", "MoveTo"},
        {"Add Scenery", "mnuSceneryInstall_Click"},
        {"Remove Scenery", "mnuSceneryRemove_Click"},
        {"Undo Remove Scenery", "mnuSceneryUnremove_Click"},
        {"Rename Scenery", "mnuSceneryRename_Click"},
        {"Move Scenery on Harddrive", "mnuSceneryMove_Click"},
        {"Test local paths", "mnuTestLocalPaths_Click"},
        {"Absolute scenery paths", "mnuAbsolutePath_Click"},
        {"Current to absolute scenery path", "mnuAbsoluteCurrent_Click"},
        {"Add Set", "mnuSetAdd_Click"},
        {"Remove Set", "mnuSetRemove_Click"},
        {"Rename Set", "mnuSetRename_Click"},
        {"Find sceneries without set", "mnuFindSceneryWithoutSet_Click"},
        {"Copy Current to Displayed Set", "mnuCreateSetfromCurrent_Click"},
        {"Update from Scenery.cfg", "mnuSceneryUpdate_Click"},
        {"Create Scenery", "mnuWizardCreateScenery_Click"},
        {"Search...", "mnuWizardSearch_Click"},
        {"Prepare CDRom", "mnuWizardPrepareCD_Click"},
        {"Create New File List", "mnuCreateInfoFile_Click"},
        {"Create FILE_ID.DIZ", "mnuWizardCreateDIZ_Click"},
        {"Create Scenery.zip File", "mnuWizardCreateZip_Click"},
        {"Global Texture Management", "mnuGTM_Click"},
        {"Scenery list report", "mnuPrintSceneryList_Click"},
        {"Make Backup", "mnuBackupMake_Click"},
        {"Install Backup", "mnuWizardBackup_Click"},
        {"Install 1.5 Backup", "mnuWizardBackup15_Click"},
        {"Delete Backup", "mnuWizardDeleteBackup_Click"},
        {"Backup File List", "mnuWizardBackupFiles_Click"},
        {"Basic Folders", "mnuBasicFolder_Click"},
        {"Cache", "mnuCache_Click"},
        {"Select Sim Type", "mnuSelectSimType_Click"},
        {"Define Hotkey", "mnuHotkey_Click"},
        {"Documentation", "mnuHelpDoc_Click"},
        {"Homepage", "mnuOnline_Click"},
        {"Forum", "mnuForum_Click"},
        {"Info", "mnuHelpInfo_Click"},
        {"Move top", "InnerMove(0)"},
        {"Move up", "InnerMove(1)"},
        {"Move down", "InnerMove(2)"},
        {"Move bottom", "InnerMove(3)"},
    };
    Start::CommandTable table;
    for (int i = 0; i < Start::CommandCount; ++i)
        table[std::size_t(i)] = {QString::fromLatin1(rows[i][0]), QString::fromLatin1(rows[i][1])};
    return table;
}

} // namespace

const Start::CommandTable &Start::commandRows()
{
    static const CommandTable table = buildRows();
    return table;
}

int Start::commandRow(const QString &caption)
{
    if (caption.isEmpty())
        return 0;
    const CommandTable &rows = commandRows();
    for (int i = 1; i < CommandCount; ++i) {
        if (rows[std::size_t(i)].caption == caption)
            return i;
    }
    return 0;
}

void Start::readFunctionKeys(const SettingsStore &settings, FunctionKeyTable &table)
{
    for (int n = 0; n < FunctionKeyCount; ++n) {
        bool exists = false;
        const QString caption = settings.read(SettingsStore::Root::Machine, ProgramSettings::Key,
                                              QStringLiteral("F") + QString::number(n + 1), QString(), &exists);
        if (exists)
            table[std::size_t(n)] = caption;
    }
}

int Start::functionKeyCommand(const FunctionKeyTable &table, int key)
{
    if (key < 1 || key > FunctionKeyCount)
        return 0;
    return commandRow(table[std::size_t(key - 1)]);
}
