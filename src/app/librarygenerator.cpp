#include "app/librarygenerator.h"

#include "library/scenerymanager.h"
#include "platform/filesystem.h"
#include "tree/tree.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <random>

LibraryRecords::LibraryRecords(SceneryManager &manager)
    : colScenery(manager.colScenery), dicLevel(manager.dicLevel), dicCFGs(manager.dicCFGs)
{}

namespace LibraryGenerator {

namespace {

QString number(int n, int width)
{
    return QString::number(n).rightJustified(width, QLatin1Char('0'));
}

QString truth(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

void addLevel(const LibraryRecords &m, Tree &tree, TreeNode *parent, const QString &key,
              const QString &caption)
{
    auto level = std::make_shared<clsLevel>();
    level->sLevelKey = key;
    level->sLevelCaption = caption;
    m.dicLevel.add(key, level);
    tree.add(parent, parent ? Tree::Relation::Child : Tree::Relation::Last, key, caption);
}

// Depth-first walk from the first top-level node, the order the library files are written in.
template<typename F> void walk(const Tree &tree, F &&visit)
{
    for (TreeNode *n = tree.firstRoot(); n; n = n->nextInWalk())
        visit(*n);
}

bool isLevel(const TreeNode &n)
{
    return isLevelKey(n.key());
}

void line(QByteArray &out, const QString &text)
{
    out += Cp1252::encode(text);
    out += "\r\n";
}

} // namespace

void build(const LibraryRecords &m, Tree &tree, const GeneratorOptions &o)
{
    std::mt19937 rng(o.seed); // the engine's sequence is fixed by the standard; no distributions used
    auto pick = [&rng](quint32 n) { return n ? rng() % n : 0; };

    addLevel(m, tree, nullptr, LibraryNames::NewLevelKey, LibraryNames::NewLevelCaption);

    const int leaves = (o.sceneries + o.perLevel - 1) / o.perLevel;
    const int perRegion = o.fanOut * o.fanOut;
    // Every (sceneries / cfgAreas)-th scenery goes into the big selection, so it spans the library.
    const int selectionStep = std::max(1, o.sceneries / std::max(1, o.cfgAreas));
    QStringList selection, tenth, seventh, third;
    int made = 0;
    for (int leaf = 0; leaf < leaves; ++leaf) {
        const int region = leaf / perRegion;
        const int country = (leaf / o.fanOut) % o.fanOut;
        const int area = leaf % o.fanOut;
        const QString regionKey = QStringLiteral("LevelRegion ") + number(region + 1, 3);
        const QString countryKey = regionKey + QStringLiteral("\\Country ") + number(country + 1, 2);
        const QString areaKey = countryKey + QStringLiteral("\\Area ") + number(area + 1, 2);
        if (leaf % perRegion == 0)
            addLevel(m, tree, nullptr, regionKey, regionKey.mid(5));
        if (leaf % o.fanOut == 0)
            addLevel(m, tree, tree.node(regionKey), countryKey,
                     QStringLiteral("Country ") + number(country + 1, 2));
        addLevel(m, tree, tree.node(countryKey), areaKey, QStringLiteral("Area ") + number(area + 1, 2));
        TreeNode *areaNode = tree.node(areaKey);

        QString previous;
        for (int i = 0; i < o.perLevel && made < o.sceneries; ++i, ++made) {
            auto s = std::make_shared<clsScenery>();
            s->Title = QStringLiteral("Scenery ") + number(made + 1, 6);
            s->Key = LibraryNames::SceneryPrefix + areaKey.mid(5) + QLatin1Char('\\') + s->Title;
            s->PreviousKey = previous;
            s->Active = pick(4) != 0;
            s->Required = pick(8) == 0;
            s->Layer = qint16(made % 30000 + 1);
            s->Texture_ID = qint16(pick(3));
            s->Group = QString::number(pick(20));
            s->GroupID = qint16(pick(100));
            s->ID = QString::number(made + 1);
            s->SalesType = qint16(pick(4));
            static const qint16 sims[] = {0, 4, 8, 12, 8, 32};
            s->FlySim = sims[pick(6)];
            s->Author = QStringLiteral("Author ") + number(int(pick(200)), 3);
            s->Version = QStringLiteral("1.") + QString::number(pick(10));
            if (pick(3) == 0)
                s->Comment = QStringLiteral("Mesh and landclass, built ") + QString::number(1998 + pick(6));
            const bool selected = made % selectionStep == 0 && selection.size() < o.cfgAreas;
            // Selected sceneries and nine in ten others are used from their local folder; the rest
            // live only on a remote (CD-ROM) folder.
            s->IsLocalPath = selected || pick(10) != 0;
            if (s->IsLocalPath)
                s->LocalPath = selected ? QStringLiteral("C:\\Sceneries\\") + s->Title
                                        : QStringLiteral("Addon Scenery\\") + s->Title;
            s->RemotePath =
                s->IsLocalPath && pick(2) ? QString() : QStringLiteral("D:\\Scenery\\") + s->Title;
            if (pick(5) == 0)
                s->Exclude = QStringLiteral("N47 30.00 E008 30.00 N47 20.00 E008 40.00");
            for (int f = 0; f < int(pick(4)); ++f)
                s->setFlatten(qint16(f), QStringLiteral("412,N47 27.50 E008 32.50 N47 27.00 E008 33.00"));
            m.colScenery.add(s->Key, s);
            TreeNode *node = tree.add(areaNode, Tree::Relation::Child, s->Key, s->Title);
            previous = node->key();

            if (selected)
                selection << s->Title;
            if (made % 10 == 0)
                tenth << s->Title;
            if (made % 7 == 0)
                seventh << s->Title;
            if (made % 3 == 0)
                third << s->Title;
        }
    }

    auto addSet = [&m](const QString &name, qint32 sim, const QStringList &members) {
        auto set = std::make_shared<clsCFG>();
        set->Key = name;
        set->Cache_Size = sim;
        set->Clean_on_Exit = true;
        for (const QString &t : members)
            set->addMember(t);
        m.dicCFGs.add(name, set);
    };
    addSet(SelectionSet, 1, selection);
    addSet(QStringLiteral("Every tenth"), 1, tenth);
    addSet(QStringLiteral("Every seventh"), 0, seventh);
    addSet(QStringLiteral("Every third"), 2, third);
    addSet(QStringLiteral("Empty"), 1, {});
}

QByteArray sceneryFile(const LibraryRecords &m, const Tree &tree)
{
    QByteArray out;
    out.reserve(qsizetype(m.colScenery.count()) * 700);
    line(out, QStringLiteral("//Lumivale 1.6"));
    walk(tree, [&](const TreeNode &n) {
        if (isLevel(n))
            return;
        const clsScenery &s = *m.colScenery.item(n.key());
        line(out, QStringLiteral("<Scenery>"));
        line(out, QStringLiteral("Active=") + truth(s.Active));
        line(out, QStringLiteral("Author=") + s.Author);
        line(out, QStringLiteral("Comment=") + s.Comment);
        line(out, QStringLiteral("Exclude=") + s.Exclude);
        for (qint16 i = 0; i < clsScenery::FlattenCount; ++i)
            line(out, QStringLiteral("Flatten.%1=").arg(i) + s.Flatten(i));
        line(out, QStringLiteral("FlySim=") + QString::number(s.FlySim));
        line(out, QStringLiteral("Group=") + s.Group);
        line(out, QStringLiteral("GroupID=") + QString::number(s.GroupID));
        line(out, QStringLiteral("ID=") + s.ID);
        line(out, QStringLiteral("IsLocalPath=") + truth(s.IsLocalPath));
        line(out, QStringLiteral("Key=") + s.Key);
        line(out, QStringLiteral("Layer=") + QString::number(s.Layer));
        line(out, QStringLiteral("LocalPath=") + s.LocalPath);
        line(out, QStringLiteral("PreviousKey=") + s.PreviousKey);
        line(out, QStringLiteral("RemotePath=") + s.RemotePath);
        line(out, QStringLiteral("Required=") + truth(s.Required));
        line(out, QStringLiteral("SalesType=") + QString::number(s.SalesType));
        line(out, QStringLiteral("Texture_ID=") + QString::number(s.Texture_ID));
        line(out, QStringLiteral("Title=") + s.Title);
        line(out, QStringLiteral("Version=") + s.Version);
        line(out, QStringLiteral("</Scenery>"));
    });
    return out;
}

QByteArray levelFile(const LibraryRecords &m, const Tree &tree)
{
    QByteArray out;
    walk(tree, [&](const TreeNode &n) {
        if (!isLevel(n))
            return;
        const clsLevel &level = *m.dicLevel.item(n.key());
        line(out, QStringLiteral("<Level>"));
        line(out, level.sLevelCaption);
        line(out, level.sLevelKey);
        line(out, QStringLiteral("</Level>"));
    });
    return out;
}

QByteArray setFile(const LibraryRecords &m)
{
    QByteArray out;
    for (const CfgPtr &set : m.dicCFGs) {
        if (set->Key == LibraryNames::CurrentSet)
            continue;
        line(out, QStringLiteral("<Set>"));
        line(out, set->Key);
        line(out, QString::number(set->Cache_Size));
        line(out, truth(set->Clean_on_Exit));
        for (const QString &member : set->colUsedSceneries)
            line(out, member);
        line(out, QStringLiteral("</Set>"));
    }
    return out;
}

void writeLibraryFiles(const FileSystem &fs, const QString &programFolder, const LibraryRecords &m,
                       const Tree &tree)
{
    fs.writeAll(programFolder + QStringLiteral("\\Lumivale.db5"), sceneryFile(m, tree));
    fs.writeAll(programFolder + QStringLiteral("\\Level.db"), levelFile(m, tree));
    fs.writeAll(programFolder + QStringLiteral("\\CFGSet.db"), setFile(m));
}

QByteArray sceneryCfg(const LibraryRecords &m, const Tree &tree)
{
    const clsCFG &selection = *m.dicCFGs.item(SelectionSet);
    QByteArray out;
    line(out, QStringLiteral("[General]"));
    line(out, QStringLiteral("Title=FS2002 World Scenery"));
    line(out, QStringLiteral("Description=FS2002 Scenery Data"));
    line(out, QStringLiteral("Cache_Size=10M"));
    line(out, QStringLiteral("Clean_on_Exit=TRUE"));
    line(out, QString());
    int n = 0;
    walk(tree, [&](const TreeNode &node) {
        if (isLevel(node))
            return;
        const clsScenery &s = *m.colScenery.item(node.key());
        if (!selection.colUsedSceneries.contains(s.Title))
            return;
        ++n;
        line(out, QStringLiteral("[Area.") + number(n, 3) + QLatin1Char(']'));
        if (s.Texture_ID == 1)
            line(out, QStringLiteral("Texture_ID=1"));
        line(out, QStringLiteral("Title=") + s.Title);
        line(out, QStringLiteral("Active=") + (s.Active ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
        line(out, QStringLiteral("Layer=") + QString::number(n));
        if (s.IsLocalPath)
            line(out, QStringLiteral("Local=") + s.LocalPath);
        else
            line(out, QStringLiteral("Remote=") + s.RemotePath);
        line(out,
             QStringLiteral("Required=") + (s.Required ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
        if (!s.Exclude.isEmpty())
            line(out, QStringLiteral("Exclude=") + s.Exclude);
        for (qint16 i = 0; i < clsScenery::FlattenCount; ++i) {
            if (!s.Flatten(i).isEmpty())
                line(out, QStringLiteral("Flatten.%1=").arg(i) + s.Flatten(i));
        }
        line(out, QString());
    });
    const char *caches[][3] = {{"Default Texture Cache", "texture", "scenedb\\texture"},
                               {"Regional Texture Cache", "texture\\regional", "scenedb\\regional"}};
    for (int i = 0; i < 2; ++i) {
        line(out, QStringLiteral("[Cache.") + number(i, 3) + QLatin1Char(']'));
        line(out, QStringLiteral("Title=") + QLatin1String(caches[i][0]));
        line(out, QStringLiteral("Local=") + QLatin1String(caches[i][1]));
        line(out, QStringLiteral("Remote=") + QLatin1String(caches[i][2]));
        line(out, i == 0 ? QStringLiteral("Active=FALSE") : QStringLiteral("Active=TRUE"));
        line(out, QString());
    }
    return out;
}

int createAllSceneryFolders(const FileSystem &fs, const SceneryManager &m, int bglFiles)
{
    int made = 0;
    QHash<QString, QString> parents;
    for (const SceneryPtr &s : m.colScenery) {
        if (!s->IsLocalPath)
            continue;
        // The parent's host path once: looking up a folder not yet made lists its parent each time.
        const QString windowsBase = m.getRealPath(s->LocalPath);
        const QString windowsParent = windowsBase.section(QLatin1Char('\\'), 0, -2);
        QString &parent = parents[windowsParent];
        if (parent.isEmpty()) {
            parent = fs.toHost(windowsParent);
            QDir().mkpath(parent);
        }
        const QString base = parent + QLatin1Char('/') + windowsBase.section(QLatin1Char('\\'), -1);
        QDir().mkpath(base + QStringLiteral("/Scenery"));
        QDir().mkpath(base + QStringLiteral("/Texture"));
        const QString stem = QString(s->Title).remove(QLatin1Char(' '));
        QStringList names;
        for (int i = 0; i < bglFiles; ++i)
            names << QStringLiteral("Scenery/%1_%2.bgl").arg(stem).arg(i);
        names << QStringLiteral("Scenery/Shared%1.BGL").arg(made / 10)
              << QStringLiteral("Texture/%1.bmp").arg(stem);
        for (const QString &name : names) {
            QFile file(base + QLatin1Char('/') + name);
            if (file.open(QIODevice::WriteOnly))
                file.write("BGL");
        }
        ++made;
    }
    return made;
}

void createSceneryFolders(const FileSystem &fs, const LibraryRecords &m)
{
    const clsCFG &selection = *m.dicCFGs.item(SelectionSet);
    for (const SceneryPtr &s : m.colScenery) {
        if (s->IsLocalPath && selection.colUsedSceneries.contains(s->Title))
            QDir().mkpath(fs.toHost(s->LocalPath + QStringLiteral("\\Scenery")));
    }
}

QString selectionText()
{
    return SelectionSet + QStringLiteral("\r\n");
}

} // namespace LibraryGenerator
