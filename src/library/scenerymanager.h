#pragma once

#include "library/readproblems.h"
#include "library/records.h"
#include "platform/appcontext.h"
#include "sims/location.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class TextFileWriter;

// The library: every scenery, level, set and cache entry, and the operations on the library's
// files. One object lives for the whole run.
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

    // oNodes: the keys of the library tree's nodes in walk order (Tree::keysInWalkOrder).
    void CreateCFG(const QString &strSet, const QStringList &oNodes, qint32 &mCache_Size, bool mClean_on_Exit,
                   const QString &mTitle, const QString &mDescription);
    QString getRealPath(const QString &sIn) const;
    // Writes the three library files from the tree. A file that readDB read with errors in this
    // run keeps its ".backup" copy as it was. Whether a library read with errors is to be saved at
    // all is the caller's question (libraryReadWithErrors).
    void saveDB(const QStringList &oNodes);
    // Reads the library files; every problem is shown as it is met and returned with its file and
    // line. The reading goes on past each one.
    ReadProblems readDB(bool &blnIsNew);
    // Reads a Scenery.cfg into the library; every problem is shown once, after the reading, and
    // returned with its line. The reading goes on past a bad value or a clashing area.
    ReadProblems readCFG(QString &strFile, bool blnUpdateExisting);

    // The library files (by name) that readDB read with errors in this run.
    const QSet<QString> &libraryReadWithErrors() const { return m_readWithErrors; }

    // Internal operations, public for the commands and tests that use them directly.
    static QString CorrectDir(const QString &name);
    void CopyFolderTree(const QString &source, const QString &target) const;
    static QString ReplaceNumber(const QString &line);

    AppContext &context() const { return m_context; }
    // The backup CreateCFG makes when the user asks for one first; true when the writing may go on
    // (a backup made, or none wanted after all). Without one, no backup is made.
    using BackUpFirst = std::function<bool()>;
    void setBackUpFirst(BackUpFirst backUp) { m_backUpFirst = std::move(backUp); }
    // Test seam: sets the folder without an installation lookup.
    void setFSPathForTesting(const QString &path) { m_fsPath = path; }

private:
    void writeToTextStream5(TextFileWriter &out, const clsScenery &scenery) const;
    void writeCFGEntry(TextFileWriter &out, const clsScenery &scenery, int areaNumber);

    AppContext &m_context;
    BackUpFirst m_backUpFirst;
    QString m_fsPath;
    qint32 m_fileSize = 0;  // counted size of the Scenery.cfg being written
    QSet<QString> m_readWithErrors;
};
