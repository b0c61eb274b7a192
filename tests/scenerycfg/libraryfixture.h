#pragma once

// A library manager over an isolated installation, with compact builders for sceneries, sets and the
// tree, shared by the library file and Scenery.cfg tests.

#include "library/scenerymanager.h"
#include "support/testenv.h"
#include "tree/tree.h"

#include <QFile>
#include <QTest>

#include <memory>
#include <optional>
#include <variant>

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
inline QByteArray crlf(const QString &text) { return text.toLatin1().replace("\n", "\r\n"); }

// Lines of a CR LF text, without the empty piece after the last line end.
inline QStringList crlfLines(const QByteArray &bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split(u"\r\n"_s);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

inline QString fieldText(QString *p, const std::optional<QString> &value) { return value ? (*p = *value) : *p; }
template<typename T>
QString fieldText(T *p, const std::optional<QString> &value)
{
    if (value)
        *p = T(value->toInt());
    return QString::number(*p);
}

// A field of a scenery by name ("Flatten3" for a flattening) as text; given a value, it is set first.
inline QString field(clsScenery &s, const QString &name, const std::optional<QString> &value = {})
{
    if (name.startsWith(u"Flatten")) {
        if (value)
            s.setFlatten(qint16(name.mid(7).toShort()), *value);
        return s.Flatten(qint16(name.mid(7).toShort()));
    }
    const QMap<QString, std::variant<QString *, qint16 *, bool *>> refs{
        {u"Key"_s, &s.Key}, {u"Title"_s, &s.Title}, {u"Author"_s, &s.Author}, {u"Comment"_s, &s.Comment},
        {u"Exclude"_s, &s.Exclude}, {u"Group"_s, &s.Group}, {u"ID"_s, &s.ID}, {u"LocalPath"_s, &s.LocalPath},
        {u"RemotePath"_s, &s.RemotePath}, {u"PreviousKey"_s, &s.PreviousKey}, {u"Version"_s, &s.Version},
        {u"Active"_s, &s.Active}, {u"IsLocalPath"_s, &s.IsLocalPath}, {u"Required"_s, &s.Required},
        {u"InCFG"_s, &s.InCFG}, {u"FlySim"_s, &s.FlySim}, {u"GroupID"_s, &s.GroupID}, {u"Layer"_s, &s.Layer},
        {u"SalesType"_s, &s.SalesType}, {u"Texture_ID"_s, &s.Texture_ID}};
    if (!refs.contains(name))
        qFatal("unknown field %s", qPrintable(name));
    return std::visit([&value](auto *p) { return fieldText(p, value); }, refs.value(name));
}

// The fields named in "Key|Title|..." joined by "|".
inline QString describe(clsScenery &s, const QString &names)
{
    QStringList parts;
    for (const QString &name : names.split(u'|'))
        parts << field(s, name);
    return parts.join(u'|');
}

struct LibraryFixture
{
    TestEnv env;
    std::unique_ptr<SceneryManager> manager;
    Tree tree;

    LibraryFixture()
    {
        // The program folder lies outside drive C:; Wine shows such folders on Z:.
        DriveMap drives = env.fs.driveMap();
        drives.setDrive(u'Z', u"/"_s);
        env.fs.setDriveMap(drives);
        env.installSim(1, u"C:\\FS2002"_s);
        manager = std::make_unique<SceneryManager>(env.context);
    }

    SceneryManager &m() { return *manager; }
    QString programFile(const QString &name) const { return env.programFolder() + u'\\' + name; }

    // A scenery titled by the last piece of its key, with fields given as "Name=value|Name=value".
    SceneryPtr scenery(const QString &key, const QString &fields = {})
    {
        auto s = std::make_shared<clsScenery>();
        s->Key = key;
        s->Title = key.section(u'\\', -1);
        for (const QString &f : fields.split(u'|', Qt::SkipEmptyParts))
            field(*s, f.section(u'=', 0, 0), f.section(u'=', 1));
        manager->colScenery.add(key, s);
        return s;
    }
    // Sets from "name:simulator:clean:member,member;..." (clean 1 or 0).
    void addSets(const QString &text)
    {
        for (const QString &part : text.split(u';')) {
            auto set = std::make_shared<clsCFG>(clsCFG{part.section(u':', 0, 0), part.section(u':', 1, 1).toInt(),
                                                       part.section(u':', 2, 2) == u"1"_s, {}, {}, {}});
            const QString members = part.section(u':', 3);
            for (const QString &t : members.isEmpty() ? QStringList() : members.split(u','))
                set->addMember(t);
            manager->dicCFGs.add(set->Key, set);
        }
    }
    // Levels and scenery nodes from a text like "New:Alpha,Beta;Europe/Germany:Berlin": a level path, made
    // where not yet there, then the titles of its sceneries, keyed "Scenery" + path + "\" + title.
    void build(const QString &text)
    {
        for (const QString &part : text.split(u';')) {
            const QStringList names = part.section(u':', 0, 0).split(u'/');
            for (qsizetype i = 0; i < names.size(); ++i) {
                const QString key = u"Level"_s + names.mid(0, i + 1).join(u'\\');
                if (!tree.contains(key)) {
                    manager->dicLevel.add(key, std::make_shared<clsLevel>(clsLevel{key, names[i]}));
                    tree.add(tree.node(u"Level"_s + names.mid(0, i).join(u'\\')), Tree::Relation::Child, key, names[i]);
                }
            }
            for (const QString &title : part.contains(u':') ? part.section(u':', 1).split(u',') : QStringList()) {
                const QString path = names.join(u'\\');
                tree.add(tree.node(u"Level"_s + path), Tree::Relation::Child, u"Scenery"_s + path + u'\\' + title, title);
            }
        }
    }
    // "field|field" of every scenery, joined by ";".
    QString sceneries(const QString &fields) const
    {
        QStringList result;
        for (const SceneryPtr &s : manager->colScenery)
            result << describe(*s, fields);
        return result.join(u';');
    }
};
