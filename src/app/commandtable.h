#pragma once

#include <QString>

#include <array>

class SettingsStore;

namespace Start {

// The commands of the command table, each named after its caption. The value is the command's row,
// its identity: the menus, the toolbar buttons and the function keys run a command by its row.
enum class Command : int {
    None = 0, // row 0: no command
    AddLevel,
    RemoveLevel,
    RenameLevel,
    SortLevelAscending,
    SortLevelDescending,
    MoveToLevel,
    AddScenery,
    RemoveScenery,
    UndoRemoveScenery,
    RenameScenery,
    MoveSceneryOnHarddrive,
    TestLocalPaths,
    AbsoluteSceneryPaths,
    CurrentToAbsoluteSceneryPath,
    AddSet,
    RemoveSet,
    RenameSet,
    FindSceneriesWithoutSet,
    CopyCurrentToDisplayedSet,
    UpdateFromSceneryCfg,
    CreateScenery,
    Search,
    PrepareCdRom,
    CreateNewFileList,
    CreateFileIdDiz,
    CreateSceneryZipFile,
    GlobalTextureManagement,
    SceneryListReport,
    MakeBackup,
    InstallBackup,
    Install15Backup,
    DeleteBackup,
    BackupFileList,
    BasicFolders,
    Cache,
    SelectSimType,
    DefineHotkey,
    Documentation,
    Homepage,
    Forum,
    Info,
    MoveTop,
    MoveUp,
    MoveDown,
    MoveBottom,
    CheckLibrary, // beyond the classic 45: the library check
};

constexpr int CommandCount = 47; // row 0 is empty, rows 1..46 are the commands

// One row of the command table: the caption the menus, the hotkey dialog and the "F1".."F12"
// settings use, and the main window procedure that runs it.
struct CommandRow
{
    Command command = Command::None;
    QString caption;
    QString procedure;
};
using CommandTable = std::array<CommandRow, CommandCount>;

// The rows as the program defines them, in the order of their commands.
const CommandTable &commandRows();
const CommandRow &commandRow(Command command);

// The command of the first row whose caption equals the text exactly; None for "" and for a
// caption no row has.
Command commandByCaption(const QString &caption);

constexpr int FunctionKeyCount = 12;
// Entry n holds the caption bound to F(n+1), or "".
using FunctionKeyTable = std::array<QString, FunctionKeyCount>;

// Reads "F1".."F12" of the program's settings into the table; a missing value leaves its entry.
void readFunctionKeys(const SettingsStore &settings, FunctionKeyTable &table);

// The command a function key (1..12) runs: None when it runs nothing.
Command functionKeyCommand(const FunctionKeyTable &table, int key);

} // namespace Start
