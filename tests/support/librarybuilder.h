#pragma once

// The one way tests make a library: a typed builder of levels, sceneries and sets, which puts the
// records into a SceneryManager and the nodes into a Tree, or writes them as the library files or
// a Scenery.cfg; and comparisons of records that name the field that differs.
//
//     Library()
//         .level(u"Europe"_s)
//         .scenery(u"Paris"_s, {.flySim = 4, .localPath = u"Addon Scenery\\Paris"_s})
//         .set(u"Mine"_s, Sim::FS2002, {u"Paris"_s})
//         .buildInto(env.manager(), env.tree);

#include "library/records.h"
#include "library/scenerymanager.h"
#include "support/testenv.h"
#include "tree/tree.h"

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <memory>

// The simulators, as a set names the one it belongs to.
enum class Sim : qint32 { FS2000 = 0, FS2002 = 1, CFS2 = 2 };

// A simulator's installation value in the registry, and the folder it names (Windows form).
struct Installation
{
    Sim sim = Sim::FS2002;
    QString folder = {};
};
// Each installation into the environment, its value spelled valueName when one is given.
void install(TestEnv &env, const QList<Installation> &installations, const QString &valueName = {});

// The fields of a scenery that a test gives; the others keep a new record's values ("", 0,
// false). In the order of the scenery file's keys, so designated initializers read like a block.
struct SceneryFields
{
    bool active = false;
    QString author = {};
    QString comment = {};
    QString exclude = {};
    QMap<qint16, QString> flatten = {}; // position -> rectangle
    qint16 flySim = 0;
    QString group = {};
    qint16 groupId = 0;
    QString id = {};
    bool inCfg = false;
    bool inTree = true; // false: a record without a node, as one the filter hides
    bool isLocalPath = false;
    QString key = {}; // "" for the key of its place: "Scenery" + the level's path + "\" + title
    qint16 layer = 0;
    QString localPath = {};
    QString previousKey = {};
    QString remotePath = {};
    bool required = false;
    qint16 salesType = 0;
    qint16 textureId = 0;
    QString version = {};
};

// A node of a tree as a test expects it: its key, the key of its parent ("" at the top) and its text.
struct TreeEntry
{
    QString key;
    QString parent = {};
    QString text = {};
};

// A texture cache section of a Scenery.cfg under its header ("[Cache.001]").
struct CacheRecord
{
    QString section;
    clsCache cache;
};

struct SetFields
{
    bool cleanOnExit = false;
};

// A set as a test expects it (the library's own clsCFG cannot be copied).
struct SetRecord
{
    QString name = {};
    Sim sim = Sim::FS2000;
    bool cleanOnExit = false;
    QStringList members = {};
};

// A library for a test. Levels are named by their path below the top ("Europe\Germany"); a level
// is made with its parents when first named, and sceneries go into the level named last ("New"
// before any is named). Records and nodes come in the order they are given.
class Library
{
public:
    Library &level(const QString &path);
    Library &scenery(const QString &title, const SceneryFields &fields = {});
    // A scenery of each title, with no other field, into the level named last.
    Library &sceneries(const QStringList &titles);
    Library &set(const QString &name, Sim sim, const QStringList &members, const SetFields &fields = {});
    Library &cache(const QString &section, const clsCache &cache);
    // Each scenery given so far without a previousKey records the node above it in its level ("" for
    // the first), as a save writes the order the tree shows.
    Library &recordOrder();

    // Every record into the manager's containers, every node shown into the tree.
    const Library &buildInto(SceneryManager &manager, Tree &tree) const;
    // The records alone, as a library read from its files holds them before the tree is filled.
    const Library &buildInto(SceneryManager &manager) const;
    // "Lumivale.db5", "Level.db" and "CFGSet.db" in the program folder, as the program writes
    // them, in tree order; "(Current)" is not stored.
    const Library &writeLibraryFiles(TestEnv &env) const;
    // A Scenery.cfg at the path (Windows form): "[General]" with the title and description, one
    // area per scenery shown, in tree order, numbered from 1, and the cache sections given.
    const Library &writeSceneryCfg(TestEnv &env, const QString &path, const QString &title = {},
                                   const QString &description = {}) const;

    // The record of the scenery with this title, as built.
    clsScenery record(const QString &title) const;
    // The records as built, in the order given.
    const QList<clsScenery> &records() const { return m_sceneries; }
    const QList<clsLevel> &levels() const { return m_levels; }
    const QList<SetRecord> &sets() const { return m_sets; }
    // The nodes buildInto makes, depth first.
    QList<TreeEntry> tree() const;

private:
    struct Node
    {
        QString key;
        QString text;
        qsizetype parent = -1;  // index of the level's node; -1 at the top
        qsizetype scenery = -1; // index of its record, -1 for a level
    };
    // The nodes depth first: a node before its children, children in the order given.
    QList<Node> walkOrder() const;
    void walk(qsizetype parent, QList<Node> &into) const;

    QList<clsLevel> m_levels;
    QList<clsScenery> m_sceneries;
    QList<SetRecord> m_sets;
    QList<CacheRecord> m_caches;
    QList<Node> m_nodes;           // in the order given
    qsizetype m_currentLevel = -1; // node of the level sceneries go into; -1: "New"
};

// A test installation with Flight Simulator 2002 in C:\FS2002, its library manager and a tree.
// The program folder lies outside drive C:, as Wine shows such folders on Z:.
class LibraryEnv
{
public:
    LibraryEnv();

    SceneryManager &manager() { return *m_manager; }
    // A new, empty manager, as the next start of the program makes.
    SceneryManager &restart();
    QString programFile(const QString &name) const { return env.programFolder() + u'\\' + name; }
    QByteArray programFileBytes(const QString &name) const { return env.readFile(programFile(name)); }
    void writeProgramFile(const QString &name, const QStringList &lines);

    TestEnv env;
    Tree tree;

private:
    std::unique_ptr<SceneryManager> m_manager;
};

// The nodes of a tree, depth first.
QList<TreeEntry> treeEntries(const Tree &tree);

// Field-by-field comparisons: the first difference fails the running test and names the record
// and the field. Each returns false then, so the caller can stop: if (!sameScenery(a, b)) return;
[[nodiscard]] bool sameScenery(const clsScenery &actual, const clsScenery &expected);
// The manager's sceneries, in collection order, against the expected ones.
[[nodiscard]] bool sameSceneries(const SceneryManager &manager, const QList<clsScenery> &expected);
[[nodiscard]] bool sameLevels(const SceneryManager &manager, const QList<clsLevel> &expected);
// The sets but "(Current)", in dictionary order.
[[nodiscard]] bool sameSets(const SceneryManager &manager, const QList<SetRecord> &expected);
[[nodiscard]] bool sameCaches(const SceneryManager &manager, const QList<CacheRecord> &expected);
// The tree's nodes, depth first, against the expected ones: a failure names the node and the field.
[[nodiscard]] bool sameTree(const Tree &tree, const QList<TreeEntry> &expected);

// A scenery record by its fields alone, for expectations.
clsScenery sceneryRecord(const QString &key, const QString &title, const SceneryFields &fields = {});

Q_DECLARE_METATYPE(Sim)
Q_DECLARE_METATYPE(Installation)
Q_DECLARE_METATYPE(clsScenery)
Q_DECLARE_METATYPE(clsLevel)
Q_DECLARE_METATYPE(SetRecord)
Q_DECLARE_METATYPE(CacheRecord)
Q_DECLARE_METATYPE(TreeEntry)
Q_DECLARE_METATYPE(Library)
