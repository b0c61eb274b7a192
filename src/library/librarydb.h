#pragma once

#include <QString>

// Names and error numbers of the library files in the program folder (read and written by
// SceneryManager::readDB and saveDB).
namespace LibraryDb {

inline const QString SceneryFile = QStringLiteral("Lumivale.db5");
inline const QString OldSceneryFile = QStringLiteral("Lumivale.db");
inline const QString LevelFile = QStringLiteral("Level.db");
inline const QString SetFile = QStringLiteral("CFGSet.db");
inline const QString BackupSuffix = QStringLiteral(".backup");
inline const QString SceneryHeader = QStringLiteral("//Lumivale 1.6");

// Errors of the program's own (offsets from the user error base) for files that end inside a block.
constexpr qint32 SetBlockCut = 102;
constexpr qint32 SceneryBlockCut = 103;
constexpr qint32 LevelBlockCut = 104;
constexpr qint32 OldSceneryBlockCut = 105;
// A scenery or level key that does not begin with "Scenery" or "Level".
constexpr qint32 BadKey = 106;
// A value given twice in one block of "Lumivale.db5": lines of two blocks ran into each other.
constexpr qint32 ValueTwice = 107;
}
