#pragma once

#include <QString>

#include <array>

class SettingsStore;

namespace Start {

// One row of the command table: the caption the menus, the hotkey dialog and the "F1".."F12"
// settings use, and the main window procedure that runs it.
struct Command
{
    QString caption;
    QString procedure;
};

constexpr int CommandCount = 46;  // row 0 is empty, rows 1..45 are the commands
using CommandTable = std::array<Command, CommandCount>;

// The rows as the program defines them. The row number is the command's identity.
const CommandTable &commandRows();

// The first row whose caption equals the text exactly; 0 (the empty row, no command) when none
// does, and for "".
int commandRow(const QString &caption);

constexpr int FunctionKeyCount = 12;
// Entry n holds the caption bound to F(n+1), or "".
using FunctionKeyTable = std::array<QString, FunctionKeyCount>;

// Reads "F1".."F12" of the program's settings into the table; a missing value leaves its entry.
void readFunctionKeys(const SettingsStore &settings, FunctionKeyTable &table);

// The command row a function key (1..12) runs, or 0 when it runs nothing.
int functionKeyCommand(const FunctionKeyTable &table, int key);

} // namespace Start
