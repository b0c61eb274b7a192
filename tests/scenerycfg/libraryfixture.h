#pragma once

// A library manager over an isolated installation, with helpers to build sceneries, levels, sets
// and the tree in code, shared by the library file and Scenery.cfg tests.

#include "library/scenerymanager.h"
#include "support/testenv.h"
#include "tree/tree.h"

#include <QFile>
#include <QTest>

#include <memory>

inline QByteArray testData(const QString &folder, const QString &name)
{
    QFile f(QStringLiteral(LUMIVALE_TEST_DATA) + QLatin1Char('/') + folder + QLatin1Char('/') + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s/%s", qPrintable(folder), qPrintable(name));
    return f.readAll();
}

// Lines of a CR LF text, without the empty piece after the last line end.
inline QList<QByteArray> crlfLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    return lines;
}

struct LibraryFixture
{
    TestEnv env;
    std::unique_ptr<SceneryManager> manager;
    Tree tree;

    explicit LibraryFixture(int simType = 1, const QString &simFolder = QStringLiteral("C:\\FS2002"))
    {
        // The program folder lies outside drive C:; Wine shows such folders on Z:.
        DriveMap drives = env.fs.driveMap();
        if (!drives.hostFolder(QLatin1Char('Z'))) {
            drives.setDrive(QLatin1Char('Z'), QStringLiteral("/"));
            env.fs.setDriveMap(drives);
        }
        env.installSim(simType, simFolder);
        manager = std::make_unique<SceneryManager>(env.context);
    }

    SceneryManager &m() { return *manager; }
    QString programFile(const QString &name) const { return env.programFolder() + QLatin1Char('\\') + name; }

    SceneryPtr addScenery(const QString &key, const QString &title)
    {
        auto s = std::make_shared<clsScenery>();
        s->Key = key;
        s->Title = title;
        manager->colScenery.add(key, s);
        return s;
    }
    void addLevel(const QString &key, const QString &caption)
    {
        auto l = std::make_shared<clsLevel>();
        l->sLevelKey = key;
        l->sLevelCaption = caption;
        manager->dicLevel.add(key, l);
    }
    CfgPtr addSet(const QString &name, qint32 simType, bool clean, const QStringList &members)
    {
        auto set = std::make_shared<clsCFG>();
        set->Key = name;
        set->Cache_Size = simType;
        set->Clean_on_Exit = clean;
        for (const QString &t : members)
            set->addMember(t);
        manager->dicCFGs.add(name, set);
        return set;
    }
    // A node as the last child of the node with parentKey, or the last top-level node.
    TreeNode *node(const QString &parentKey, const QString &key, const QString &text)
    {
        TreeNode *parent = parentKey.isEmpty() ? nullptr : tree.node(parentKey);
        return tree.add(parent, parent ? Tree::Relation::Child : Tree::Relation::Last, key, text);
    }
};
