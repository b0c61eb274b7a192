#pragma once

#include "platform/outcome.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class FileSystem;
class SceneryManager;

// The library files in the program folder: "Lumivale.db5" (sceneries), "Level.db" (levels) and
// "CFGSet.db" (sets), each with its ".backup" copy; the older "Lumivale.db" is read, never written.
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
// Lines of "Lumivale.db5" outside every block: the file is damaged or is not a library file.
constexpr qint32 LinesOutsideBlocks = 108;
} // namespace LibraryDb

// Reads the library files of a folder into the library's containers, which it expects empty.
// The reading goes on past every problem (a value that cannot be taken, a key held twice, a block
// the file cuts short, a file that cannot be read at all) and keeps what it can. The outcome is
// Done; each problem is in it with its file, its line and the error it was met as. Nothing is
// shown.
class LibraryFileReader
{
public:
    LibraryFileReader(SceneryManager &library, const FileSystem &fs);

    // Runs between lines, so that the window stays responsive while a large library loads.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // folder: Windows form, without a trailing "\".
    Outcome read(const QString &folder);
    // After read: there was neither a "Lumivale.db5" nor a "Lumivale.db".
    bool noSceneryFile() const { return m_noSceneryFile; }

private:
    SceneryManager &m_library;
    const FileSystem &m_fs;
    std::function<void()> m_pump;
    bool m_noSceneryFile = false;
};

// Writes the three library files of a folder from the library: the levels and sceneries in the
// order of the tree, and the sets in their own order except "(Current)", which stands for the
// simulator's file and is never stored. Each file is replaced whole, after its previous state is
// copied to its ".backup". Nothing is shown.
class LibraryFileWriter
{
public:
    LibraryFileWriter(const SceneryManager &library, const FileSystem &fs);

    // Runs at each record written.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }
    // Files, by name, whose ".backup" copy is left as it is: a file read with errors is no state
    // worth keeping, and its ".backup" may be the last good copy there is.
    void keepBackupsOf(QSet<QString> names) { m_keepBackups = std::move(names); }

    // treeOrder: the keys of the tree's nodes in walk order (Tree::keysInWalkOrder); a level or
    // scenery without a node is not written. Done, or Failed with the first error and the file it
    // concerns; the files replaced before it stay replaced.
    Outcome write(const QString &folder, const QStringList &treeOrder);

private:
    const SceneryManager &m_library;
    const FileSystem &m_fs;
    std::function<void()> m_pump;
    QSet<QString> m_keepBackups;
};
