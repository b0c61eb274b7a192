#pragma once

#include "platform/outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class FileSystem;
class clsScenery;
class SceneryManager;

// Error numbers raised while a Scenery.cfg is read.
namespace ScenerycfgErrors {
// Offset from the user error base: the Scenery.cfg to read is missing.
constexpr qint32 NoSceneryCfg = 101;
// An area value before the first area header: there is no area to give it to.
constexpr qint32 ObjectNotSet = 91;
} // namespace ScenerycfgErrors

// Reads a simulator's Scenery.cfg into the library: marks the library's sceneries the file holds
// (InCFG), adds its other areas as new sceneries in the level "New", refreshes the sceneries it
// names when asked to, keeps its "[General]" values in the set "(Current)" and its texture cache
// sections in colCache. Nothing is shown.
class SceneryCfgReader
{
public:
    SceneryCfgReader(SceneryManager &library, const FileSystem &fs);

    // Runs between lines, so that the window stays responsive.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // Failed, with nothing read, when the file is missing (user error 101, "Could not find
    // Scenery.cfg file.") or cannot be read; "(Current)" exists afterwards either way. Otherwise
    // Done, with every line it read past: a value that cannot be taken, an area whose title
    // another area or scenery already has.
    Outcome read(const QString &path, bool updateExisting);

private:
    SceneryManager &m_library;
    const FileSystem &m_fs;
    std::function<void()> m_pump;
};

// Writes a Scenery.cfg for the selected simulator from the sceneries of chosen sets: one area
// per scenery in the order of the tree, numbered from 1 and layered by that number, then, for
// Flight Simulator 2002, the texture cache sections. Nothing is shown.
class SceneryCfgWriter
{
public:
    // The simulators cannot load more areas than this from one file.
    static constexpr qsizetype MaxSceneries = 332;
    // Beyond this size the simulators may fail while reading the file.
    static constexpr qint32 MaxFileSize = 65500;
    // The smallest texture cache written, in megabytes.
    static constexpr qint32 MinCacheSize = 10;

    // The "[General]" values.
    struct General
    {
        qint32 cacheSize = MinCacheSize; // raised to MinCacheSize when below it
        bool cleanOnExit = false;
        QString title;
        QString description;
    };

    SceneryCfgWriter(const SceneryManager &library, const FileSystem &fs);

    // Runs at each node of the tree.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // setNames: the sets whose members are written; treeOrder: the keys of the tree's nodes in
    // walk order (Tree::keysInWalkOrder). Refused, with nothing written, when the sets cover more
    // than MaxSceneries titles. Otherwise the file is replaced whole: Done, with each scenery left
    // out because its local folder does not exist as a problem, or Failed with the error (a set
    // or a node's scenery that the library does not hold, a file that cannot be written).
    Outcome write(const QString &path, const QStringList &setNames, const QStringList &treeOrder,
                  const General &general);

    // After a write: its size as the simulators count it, to be held against MaxFileSize.
    qint32 countedSize() const { return m_size; }
    // The size, counted the same way, of the file that would hold these sceneries as its areas in
    // this order; nothing is written.
    qint32 countedSizeOf(const QList<const clsScenery *> &areas, const General &general) const;

private:
    const SceneryManager &m_library;
    const FileSystem &m_fs;
    std::function<void()> m_pump;
    qint32 m_size = 0;
};
