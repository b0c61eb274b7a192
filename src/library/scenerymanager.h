#pragma once

#include "library/records.h"
#include "platform/appcontext.h"

#include <QString>

class Tree;
class BackupManager;
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

    void CreateCFG(const QString &strSet, const Tree &oNodes, qint32 &mCache_Size, bool mClean_on_Exit,
                   const QString &mTitle, const QString &mDescription);
    QString getRealPath(const QString &sIn) const;
    void saveDB(const Tree &oNodes);
    void readDB(bool &blnIsNew);
    void readCFG(QString &strFile, bool blnUpdateExisting);

    // Internal operations, public for the commands and tests that use them directly.
    static QString CorrectDir(const QString &name);
    void CopyFolderTree(const QString &source, const QString &target) const;
    static QString ReplaceNumber(const QString &line);

    AppContext &context() const { return m_context; }
    // The backup manager CreateCFG offers a backup through; set once at start-up.
    void setBackupManager(BackupManager *backup) { m_backup = backup; }
    BackupManager *backupManager() const { return m_backup; }
    // Test seam: sets the folder without an installation lookup.
    void setFSPathForTesting(const QString &path) { m_fsPath = path; }

private:
    void writeToTextStream5(TextFileWriter &out, const clsScenery &scenery) const;
    void writeCFGEntry(TextFileWriter &out, const clsScenery &scenery, int areaNumber);

    AppContext &m_context;
    BackupManager *m_backup = nullptr;
    QString m_fsPath;
    qint32 m_fileSize = 0;  // counted size of the Scenery.cfg being written
};

// Thrown when no simulator is installed; the message has been shown and the program ends.
struct NoSimulatorInstalled
{
};
