#pragma once

// A library manager over an isolated installation, with helpers to build sceneries, levels, sets
// and the tree in code, shared by the library file and Scenery.cfg tests.

#include "library/scenerymanager.h"
#include "support/testenv.h"
#include "tree/tree.h"

#include <QFile>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using LibraryNames::CurrentSet;

inline QByteArray testData(const QString &folder, const QString &name = u"Scenery.cfg"_s)
{
    QFile f(QStringLiteral(LUMIVALE_TEST_DATA) + u'/' + folder + u'/' + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s/%s", qPrintable(folder), qPrintable(name));
    return f.readAll();
}

// Test texts are written with LF line ends; the files use CR LF.
inline QByteArray crlf(const QString &text)
{
    return text.toLatin1().replace("\n", "\r\n");
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

// A stored field of a scenery by name ("Flatten3" for a flattening), so a data row names what it checks.
inline QString field(const clsScenery &s, const QString &name)
{
    if (name.startsWith(u"Flatten"))
        return s.Flatten(qint16(name.mid(7).toShort()));
    const QMap<QString, QString> fields{
        {u"Key"_s, s.Key}, {u"Title"_s, s.Title}, {u"Author"_s, s.Author}, {u"Comment"_s, s.Comment},
        {u"Exclude"_s, s.Exclude}, {u"Group"_s, s.Group}, {u"ID"_s, s.ID}, {u"LocalPath"_s, s.LocalPath},
        {u"RemotePath"_s, s.RemotePath}, {u"PreviousKey"_s, s.PreviousKey}, {u"Version"_s, s.Version},
        {u"Active"_s, QString::number(s.Active)}, {u"IsLocalPath"_s, QString::number(s.IsLocalPath)},
        {u"Required"_s, QString::number(s.Required)}, {u"FlySim"_s, QString::number(s.FlySim)},
        {u"GroupID"_s, QString::number(s.GroupID)}, {u"Layer"_s, QString::number(s.Layer)},
        {u"SalesType"_s, QString::number(s.SalesType)}, {u"Texture_ID"_s, QString::number(s.Texture_ID)}};
    if (!fields.contains(name))
        qFatal("unknown field %s", qPrintable(name));
    return fields.value(name);
}

// The named fields joined by "|"; every stored field when none are named.
inline QString describe(const clsScenery &s, QStringList names = {})
{
    if (names.isEmpty()) {
        names = QStringList{u"Key"_s, u"Title"_s, u"Author"_s, u"Comment"_s, u"Exclude"_s, u"Group"_s, u"ID"_s,
                            u"LocalPath"_s, u"RemotePath"_s, u"PreviousKey"_s, u"Version"_s, u"Active"_s,
                            u"IsLocalPath"_s, u"Required"_s, u"FlySim"_s, u"GroupID"_s, u"Layer"_s,
                            u"SalesType"_s, u"Texture_ID"_s};
        for (int pos = 0; pos < clsScenery::FlattenCount; ++pos)
            names << u"Flatten"_s + QString::number(pos);
    }
    QStringList parts;
    for (const QString &name : names)
        parts << field(s, name);
    return parts.join(u'|');
}

struct LibraryFixture
{
    TestEnv env;
    std::unique_ptr<SceneryManager> manager;
    Tree tree;

    explicit LibraryFixture(int simType = 1, const QString &simFolder = u"C:\\FS2002"_s)
    {
        // The program folder lies outside drive C:; Wine shows such folders on Z:.
        DriveMap drives = env.fs.driveMap();
        if (!drives.hostFolder(u'Z')) {
            drives.setDrive(u'Z', u"/"_s);
            env.fs.setDriveMap(drives);
        }
        env.installSim(simType, simFolder);
        manager = std::make_unique<SceneryManager>(env.context);
    }

    SceneryManager &m() { return *manager; }
    QString programFile(const QString &name) const { return env.programFolder() + u'\\' + name; }

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
    const clsCFG &set(const QString &name) { return *manager->dicCFGs.item(name); }
};
