#pragma once

#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"
#include "sims/location.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The library: every scenery, level, set and cache entry. One object lives for the whole run.
//
// The classic procedures on its files are entry points for the window logic and the command
// line: each runs the file's reader or writer (LibraryFileReader, LibraryFileWriter,
// SceneryCfgReader, SceneryCfgWriter), tells the user what came of it the way the program always
// has, and returns the outcome, from which the caller decides.
class SceneryManager
{
public:
    // Creates the empty containers, finds the installed simulators and selects SimType and FSPath.
    // Throws NoSimulatorInstalled (after showing the message) when none is installed.
    explicit SceneryManager(AppContext &context);
    ~SceneryManager();
    SceneryManager(const SceneryManager &) = delete;
    SceneryManager &operator=(const SceneryManager &) = delete;

    OrderedMap<SceneryPtr> colScenery;
    OrderedMap<CfgPtr> dicCFGs;
    OrderedMap<LevelPtr> dicLevel;
    OrderedMap<CachePtr> colCache;

    // The selected simulator: 0 Flight Simulator 2000, 1 Flight Simulator 2002, 2 Combat Flight
    // Simulator 2. Program-wide; changed only by the simulator selection command.
    qint32 SimType = 0;

    // Installation folder of the selected simulator, without a trailing "\".
    QString FSPath() const { return m_fsPath; }
    void NewLocation();

    QString getRealPath(const QString &sIn) const;

    // Reads the library files of the program folder into the (empty) library; sets blnIsNew when
    // there was no scenery file. Each problem is shown and the reading goes on: Done, with every
    // problem it went past.
    Outcome readDB(bool &blnIsNew);
    // Writes the three library files from the tree: oNodes holds the keys of its nodes in walk
    // order (Tree::keysInWalkOrder). A file readDB read with errors in this run keeps its
    // ".backup" copy as it was; whether such a library is to be saved at all is the caller's
    // question (libraryReadWithErrors). A failure is shown.
    Outcome saveDB(const QStringList &oNodes);
    // Reads a Scenery.cfg into the library ("" for the simulator's own, and strFile is set to it).
    // A file missing or unreadable is shown and Failed, with the library as it was; otherwise
    // Done, and the lines read past are shown in one message.
    Outcome readCFG(QString &strFile, bool blnUpdateExisting);
    // Writes the simulator's Scenery.cfg from the sets named in strSet (each followed by CR LF),
    // after offering a backup. Stopped or Failed as the backup ended, when it did not go on;
    // Refused, with nothing written, over 332 sceneries or when the sets name "(Current)" while
    // the file it stands for could not be read; otherwise Done or Failed as the writing ended.
    // Every refusal, failure and scenery left out is shown, and a file over 65500 bytes.
    Outcome CreateCFG(const QString &strSet, const QStringList &oNodes, qint32 &mCache_Size,
                      bool mClean_on_Exit, const QString &mTitle, const QString &mDescription);

    // The library files (by name) that readDB read with errors in this run.
    const QSet<QString> &libraryReadWithErrors() const { return m_readWithErrors; }

    // Internal operations, public for the commands and tests that use them directly.
    static QString CorrectDir(const QString &name);
    void CopyFolderTree(const QString &source, const QString &target) const;
    static QString ReplaceNumber(const QString &line);

    AppContext &context() const { return m_context; }
    // The backup CreateCFG makes when the user asks for one first. Done when the writing may go on
    // (a backup made, or none wanted after all); any other outcome ends CreateCFG with it. Without
    // one, no backup is made.
    using BackUpFirst = std::function<Outcome()>;
    void setBackUpFirst(BackUpFirst backUp) { m_backUpFirst = std::move(backUp); }
    // Test seam: sets the folder without an installation lookup.
    void setFSPathForTesting(const QString &path) { m_fsPath = path; }

private:
    AppContext &m_context;
    BackUpFirst m_backUpFirst;
    QString m_fsPath;
    QSet<QString> m_readWithErrors;
    // The Scenery.cfg readCFG could not read although it is there: "(Current)" does not know what
    // it holds, and writing "(Current)" would replace it with nothing. "" once a reading succeeds.
    QString m_unreadSceneryCfg;
};
