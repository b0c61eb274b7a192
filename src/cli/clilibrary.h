#pragma once

#include "library/records.h"
#include "platform/outcome.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class BackupManager;
class CliSession;
class LibraryTree;
class SceneryManager;
class Tree;

// The library as the command line works on it: the manager of the chosen simulator, the library
// tree the program would show, and the backup manager, loaded the way the program starts so that
// a command sees what the window would show.
class CliLibrary
{
public:
    // Opens the manager of the simulator the session selects (or simType for this run). Nothing is
    // read yet. Throws like CliSession::openManager.
    CliLibrary(CliSession &session, std::optional<int> simType);
    ~CliLibrary();
    CliLibrary(const CliLibrary &) = delete;
    // For a process that ends when its command does: from now on a library is not freed when its
    // command is done but left to the end of the process, which gives the memory back at once.
    static void keepUntilExit();
    CliLibrary &operator=(const CliLibrary &) = delete;

    // For commands that change files: with an installation key that could not be read, the
    // simulator selected may not be the one meant, so it has to be named with --sim. Throws
    // CliFailure otherwise.
    void requireCertainSimulator() const;

    // The program's start: the library files, then the simulator's own Scenery.cfg (a missing file
    // is reported and the library goes on with what it holds), the tree with every scenery (in the
    // file's order when no library file existed yet), and the tree's check boxes committed into
    // "(Current)". Each step reports its own failures. Returns what the library files' reading met.
    Problems load();

    // The tree holding every scenery with its order recorded, then the three library files written
    // from it; a failure has been reported.
    Outcome save();

    // Empties the sceneries, sets and levels (the cache entries stay, as the next reading of a
    // Scenery.cfg refreshes them in place) and reads the library files again. Returns readDB's
    // flag: true when no scenery file existed.
    bool reload();

    // Rebuilds the tree with every scenery. appendUnplaced as fillTree takes it.
    void rebuild(bool appendUnplaced);

    // Writes the check boxes of the scenery nodes into "(Current)", as committing the displayed set
    // "(Current)" does: its members become the titles of the checked sceneries, in tree order.
    void commitChecksToCurrent();

    // The sceneries that have a node, in the tree's depth-first order.
    QList<SceneryPtr> sceneriesInTreeOrder() const;

    // The set of that name, or null.
    CfgPtr set(const QString &name) const;

    SceneryManager &manager() { return *m_manager; }
    // The scenery of that title; throws CliFailure naming the title when the library has none, or,
    // with needFolder, when the scenery has no local path.
    SceneryPtr scenery(const QString &title, bool needFolder = false) const;
    Tree &tree() { return *m_tree; }
    LibraryTree &libraryTree() { return *m_libraryTree; }
    // Created on first use for the simulator worked on, and handed to the manager so that writing a
    // Scenery.cfg can offer its backup.
    BackupManager &backup();

private:
    CliSession &m_session;
    std::unique_ptr<SceneryManager> m_manager;
    std::unique_ptr<Tree> m_tree;
    std::unique_ptr<LibraryTree> m_libraryTree;
    std::unique_ptr<BackupManager> m_backup;
};
