#include "support/librarybuilder.h"

#include "platform/filesystem.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString truth(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

QString flag(bool value)
{
    return value ? u"TRUE"_s : u"FALSE"_s;
}

QStringList sceneryBlock(const clsScenery &s)
{
    QStringList block{u"<Scenery>"_s, u"Active="_s + truth(s.Active), u"Author="_s + s.Author,
                      u"Comment="_s + s.Comment, u"Exclude="_s + s.Exclude};
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos)
        block << u"Flatten.%1="_s.arg(pos) + s.Flatten(pos);
    block << u"FlySim="_s + QString::number(s.FlySim) << u"Group="_s + s.Group
          << u"GroupID="_s + QString::number(s.GroupID) << u"ID="_s + s.ID
          << u"IsLocalPath="_s + truth(s.IsLocalPath) << u"Key="_s + s.Key
          << u"Layer="_s + QString::number(s.Layer) << u"LocalPath="_s + s.LocalPath
          << u"PreviousKey="_s + s.PreviousKey << u"RemotePath="_s + s.RemotePath
          << u"Required="_s + truth(s.Required) << u"SalesType="_s + QString::number(s.SalesType)
          << u"Texture_ID="_s + QString::number(s.Texture_ID) << u"Title="_s + s.Title
          << u"Version="_s + s.Version << u"</Scenery>"_s;
    return block;
}

QStringList areaSection(const clsScenery &s, int number)
{
    QStringList area{u"[Area.%1]"_s.arg(number, 3, 10, QLatin1Char('0'))};
    if (s.Texture_ID != 0)
        area << u"Texture_ID="_s + QString::number(s.Texture_ID);
    area << u"Title="_s + s.Title << u"Active="_s + flag(s.Active) << u"Layer="_s + QString::number(number);
    area << (s.IsLocalPath ? u"Local="_s + s.LocalPath : u"Remote="_s + s.RemotePath);
    area << u"Required="_s + flag(s.Required);
    if (!s.Exclude.isEmpty())
        area << u"Exclude="_s + s.Exclude;
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos) {
        if (!s.Flatten(pos).isEmpty())
            area << u"Flatten.%1="_s.arg(pos) + s.Flatten(pos);
    }
    return area << QString();
}

// QTest's comparison, labelled with the record and the field, so that a failure names both.
template<typename T>
bool sameField(const T &actual, const T &expected, const QString &record, const char *field)
{
    const QByteArray actualLabel = (record + u": "_s + QLatin1String(field) + u" read"_s).toUtf8();
    const QByteArray expectedLabel = (record + u": "_s + QLatin1String(field) + u" expected"_s).toUtf8();
    return QTest::qCompare(actual, expected, actualLabel.constData(), expectedLabel.constData(), __FILE__,
                           __LINE__);
}

} // namespace

QList<TreeEntry> treeEntries(const Tree &tree)
{
    QList<TreeEntry> entries;
    for (const TreeNode *node = tree.firstRoot(); node; node = node->nextInWalk())
        entries.append({node->key(), node->parent() ? node->parent()->key() : QString(), node->text()});
    return entries;
}

void install(TestEnv &env, const QList<Installation> &installations, const QString &valueName)
{
    for (const Installation &installation : installations)
        env.installSim(int(installation.sim), installation.folder, valueName);
}

clsScenery sceneryRecord(const QString &key, const QString &title, const SceneryFields &fields)
{
    clsScenery s;
    s.Key = key;
    s.Title = title;
    s.Active = fields.active;
    s.Author = fields.author;
    s.Comment = fields.comment;
    s.Exclude = fields.exclude;
    for (auto it = fields.flatten.cbegin(); it != fields.flatten.cend(); ++it)
        s.setFlatten(it.key(), it.value());
    s.FlySim = fields.flySim;
    s.Group = fields.group;
    s.GroupID = fields.groupId;
    s.ID = fields.id;
    s.InCFG = fields.inCfg;
    s.IsLocalPath = fields.isLocalPath;
    s.Layer = fields.layer;
    s.LocalPath = fields.localPath;
    s.PreviousKey = fields.previousKey;
    s.RemotePath = fields.remotePath;
    s.Required = fields.required;
    s.SalesType = fields.salesType;
    s.Texture_ID = fields.textureId;
    s.Version = fields.version;
    return s;
}

// ---- Library ---------------------------------------------------------------------------------

Library &Library::level(const QString &path)
{
    QString key = LibraryNames::LevelPrefix;
    qsizetype parent = -1;
    for (const QString &caption : path.split(u'\\')) {
        key += (parent < 0 ? QString() : u"\\"_s) + caption;
        qsizetype node = -1;
        for (qsizetype i = 0; i < m_nodes.size() && node < 0; ++i) {
            if (m_nodes[i].scenery < 0 && m_nodes[i].key == key)
                node = i;
        }
        if (node < 0) {
            m_levels.append(clsLevel{key, caption});
            m_nodes.append(Node{key, caption, parent, -1});
            node = m_nodes.size() - 1;
        }
        parent = node;
    }
    m_currentLevel = parent;
    return *this;
}

Library &Library::scenery(const QString &title, const SceneryFields &fields)
{
    if (m_currentLevel < 0)
        level(LibraryNames::NewLevelCaption);
    const QString levelKey = m_nodes[m_currentLevel].key;
    const QString key =
        fields.key.isEmpty()
            ? LibraryNames::SceneryPrefix + levelKey.mid(LibraryNames::LevelPrefix.size()) + u'\\' + title
            : fields.key;
    m_sceneries.append(sceneryRecord(key, title, fields));
    if (fields.inTree)
        m_nodes.append(Node{key, title, m_currentLevel, m_sceneries.size() - 1});
    return *this;
}

Library &Library::sceneries(const QStringList &titles)
{
    for (const QString &title : titles)
        scenery(title);
    return *this;
}

Library &Library::set(const QString &name, Sim sim, const QStringList &members, const SetFields &fields)
{
    m_sets.append(SetRecord{name, sim, fields.cleanOnExit, members});
    return *this;
}

Library &Library::cache(const QString &section, const clsCache &cache)
{
    m_caches.append(CacheRecord{section, cache});
    return *this;
}

Library &Library::recordOrder()
{
    for (qsizetype i = 0; i < m_nodes.size(); ++i) {
        const Node &node = m_nodes[i];
        if (node.scenery < 0 || !m_sceneries[node.scenery].PreviousKey.isEmpty())
            continue;
        for (qsizetype above = i - 1; above >= 0; --above) {
            if (m_nodes[above].parent == node.parent) {
                m_sceneries[node.scenery].PreviousKey = m_nodes[above].key;
                break;
            }
        }
    }
    return *this;
}

QList<TreeEntry> Library::tree() const
{
    QList<TreeEntry> entries;
    for (const Node &node : walkOrder())
        entries.append({node.key, node.parent < 0 ? QString() : m_nodes[node.parent].key, node.text});
    return entries;
}

clsScenery Library::record(const QString &title) const
{
    for (const clsScenery &s : m_sceneries) {
        if (s.Title == title)
            return s;
    }
    qFatal("the library built holds no scenery titled %s", qPrintable(title));
}

void Library::walk(qsizetype parent, QList<Node> &into) const
{
    for (qsizetype i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes[i].parent != parent)
            continue;
        into.append(m_nodes[i]);
        if (m_nodes[i].scenery < 0)
            walk(i, into);
    }
}

QList<Library::Node> Library::walkOrder() const
{
    QList<Node> nodes;
    walk(-1, nodes);
    return nodes;
}

const Library &Library::buildInto(SceneryManager &manager) const
{
    for (const clsLevel &level : m_levels)
        manager.dicLevel.add(level.sLevelKey, std::make_shared<clsLevel>(level));
    for (const clsScenery &scenery : m_sceneries)
        manager.colScenery.add(scenery.Key, std::make_shared<clsScenery>(scenery));
    for (const SetRecord &record : m_sets) {
        auto set = std::make_shared<clsCFG>();
        set->Key = record.name;
        set->Cache_Size = qint32(record.sim);
        set->Clean_on_Exit = record.cleanOnExit;
        for (const QString &member : record.members)
            set->addMember(member);
        manager.dicCFGs.add(set->Key, set);
    }
    for (const CacheRecord &record : m_caches)
        manager.colCache.add(record.section, std::make_shared<clsCache>(record.cache));
    return *this;
}

const Library &Library::buildInto(SceneryManager &manager, Tree &tree) const
{
    buildInto(manager);
    for (const Node &node : m_nodes) {
        TreeNode *parent = node.parent < 0 ? nullptr : tree.node(m_nodes[node.parent].key);
        tree.add(parent, parent ? Tree::Relation::Child : Tree::Relation::Last, node.key, node.text);
    }
    return *this;
}

const Library &Library::writeLibraryFiles(TestEnv &env) const
{
    QStringList sceneries{u"//Lumivale 1.6"_s};
    QStringList levels;
    for (const Node &node : walkOrder()) {
        if (node.scenery >= 0)
            sceneries << sceneryBlock(m_sceneries[node.scenery]);
        else
            levels << u"<Level>"_s << node.text << node.key << u"</Level>"_s;
    }
    QStringList sets;
    for (const SetRecord &set : m_sets) {
        if (set.name == LibraryNames::CurrentSet)
            continue;
        sets << u"<Set>"_s << set.name << QString::number(qint32(set.sim)) << truth(set.cleanOnExit)
             << set.members << u"</Set>"_s;
    }
    const QString folder = env.programFolder() + u'\\';
    env.writeFile(folder + u"Lumivale.db5"_s, windowsText(sceneries));
    env.writeFile(folder + u"Level.db"_s, windowsText(levels));
    env.writeFile(folder + u"CFGSet.db"_s, windowsText(sets));
    return *this;
}

const Library &Library::writeSceneryCfg(TestEnv &env, const QString &path, const QString &title,
                                        const QString &description) const
{
    QStringList lines{u"[General]"_s, u"Title="_s + title, u"Description="_s + description, QString()};
    int number = 0;
    for (const Node &node : walkOrder()) {
        if (node.scenery >= 0)
            lines << areaSection(m_sceneries[node.scenery], ++number);
    }
    for (const CacheRecord &record : m_caches) {
        lines << record.section << u"Title="_s + record.cache.strTitle << u"Local="_s + record.cache.strLocal
              << u"Remote="_s + record.cache.strRemote
              << (record.cache.blnActive ? u"Active=TRUE"_s : u"Active=FALSE"_s) << QString();
    }
    env.writeFile(path, windowsText(lines));
    return *this;
}

// ---- LibraryEnv ------------------------------------------------------------------------------

LibraryEnv::LibraryEnv()
{
    DriveMap drives = env.fs.driveMap();
    drives.setDrive(u'Z', u"/"_s);
    env.fs.setDriveMap(drives);
    env.installSim(1, u"C:\\FS2002"_s);
    restart();
}

SceneryManager &LibraryEnv::restart()
{
    m_manager = std::make_unique<SceneryManager>(env.context);
    return *m_manager;
}

void LibraryEnv::writeProgramFile(const QString &name, const QStringList &lines)
{
    env.writeFile(programFile(name), windowsText(lines));
}

// ---- Comparisons -----------------------------------------------------------------------------

bool sameScenery(const clsScenery &actual, const clsScenery &expected)
{
    const QString &r = expected.Key;
    if (!sameField(actual.Key, expected.Key, r, "Key") ||
        !sameField(actual.Title, expected.Title, r, "Title") ||
        !sameField(actual.Active, expected.Active, r, "Active") ||
        !sameField(actual.Author, expected.Author, r, "Author") ||
        !sameField(actual.Comment, expected.Comment, r, "Comment") ||
        !sameField(actual.Exclude, expected.Exclude, r, "Exclude"))
        return false;
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos) {
        const QByteArray field = "Flatten." + QByteArray::number(pos);
        if (!sameField(actual.Flatten(pos), expected.Flatten(pos), r, field.constData()))
            return false;
    }
    return sameField(actual.FlySim, expected.FlySim, r, "FlySim") &&
           sameField(actual.Group, expected.Group, r, "Group") &&
           sameField(actual.GroupID, expected.GroupID, r, "GroupID") &&
           sameField(actual.ID, expected.ID, r, "ID") &&
           sameField(actual.InCFG, expected.InCFG, r, "InCFG") &&
           sameField(actual.IsLocalPath, expected.IsLocalPath, r, "IsLocalPath") &&
           sameField(actual.Layer, expected.Layer, r, "Layer") &&
           sameField(actual.LocalPath, expected.LocalPath, r, "LocalPath") &&
           sameField(actual.PreviousKey, expected.PreviousKey, r, "PreviousKey") &&
           sameField(actual.RemotePath, expected.RemotePath, r, "RemotePath") &&
           sameField(actual.Required, expected.Required, r, "Required") &&
           sameField(actual.SalesType, expected.SalesType, r, "SalesType") &&
           sameField(actual.Texture_ID, expected.Texture_ID, r, "Texture_ID") &&
           sameField(actual.Version, expected.Version, r, "Version");
}

bool sameSceneries(const SceneryManager &manager, const QList<clsScenery> &expected)
{
    QStringList keys;
    for (const SceneryPtr &s : manager.colScenery)
        keys << s->Key;
    QStringList expectedKeys;
    for (const clsScenery &s : expected)
        expectedKeys << s.Key;
    if (!sameField(keys, expectedKeys, u"the library"_s, "scenery keys"))
        return false;
    qsizetype i = 0;
    for (const SceneryPtr &s : manager.colScenery) {
        if (!sameScenery(*s, expected.at(i++)))
            return false;
    }
    return true;
}

bool sameLevels(const SceneryManager &manager, const QList<clsLevel> &expected)
{
    QStringList keys, captions, expectedKeys, expectedCaptions;
    for (auto it = manager.dicLevel.begin(); it != manager.dicLevel.end(); ++it) {
        keys << it.key();
        captions << (*it)->sLevelCaption;
    }
    for (const clsLevel &level : expected) {
        expectedKeys << level.sLevelKey;
        expectedCaptions << level.sLevelCaption;
    }
    return sameField(keys, expectedKeys, u"the library"_s, "level keys") &&
           sameField(captions, expectedCaptions, u"the library"_s, "level captions");
}

bool sameSets(const SceneryManager &manager, const QList<SetRecord> &expected)
{
    QStringList names, expectedNames;
    for (auto it = manager.dicCFGs.begin(); it != manager.dicCFGs.end(); ++it) {
        if (it.key() != LibraryNames::CurrentSet)
            names << it.key();
    }
    for (const SetRecord &set : expected)
        expectedNames << set.name;
    if (!sameField(names, expectedNames, u"the library"_s, "set names"))
        return false;
    for (const SetRecord &set : expected) {
        const clsCFG &read = *manager.dicCFGs.item(set.name);
        if (!sameField(read.Cache_Size, qint32(set.sim), set.name, "simulator") ||
            !sameField(read.Clean_on_Exit, set.cleanOnExit, set.name, "Clean_on_Exit") ||
            !sameField(read.colUsedSceneries.keys(), set.members, set.name, "members"))
            return false;
    }
    return true;
}

bool sameCaches(const SceneryManager &manager, const QList<CacheRecord> &expected)
{
    QStringList sections, expectedSections;
    for (auto it = manager.colCache.begin(); it != manager.colCache.end(); ++it)
        sections << it.key();
    for (const CacheRecord &record : expected)
        expectedSections << record.section;
    if (!sameField(sections, expectedSections, u"the library"_s, "cache sections"))
        return false;
    for (const CacheRecord &record : expected) {
        const clsCache &read = *manager.colCache.item(record.section);
        const clsCache &cache = record.cache;
        if (!sameField(read.intCache, cache.intCache, record.section, "intCache") ||
            !sameField(read.strTitle, cache.strTitle, record.section, "strTitle") ||
            !sameField(read.strLocal, cache.strLocal, record.section, "strLocal") ||
            !sameField(read.strRemote, cache.strRemote, record.section, "strRemote") ||
            !sameField(read.blnActive, cache.blnActive, record.section, "blnActive"))
            return false;
    }
    return true;
}

bool sameTree(const Tree &tree, const QList<TreeEntry> &expected)
{
    const QList<TreeEntry> actual = treeEntries(tree);
    QStringList keys, expectedKeys;
    for (const TreeEntry &entry : actual)
        keys << entry.key;
    for (const TreeEntry &entry : expected)
        expectedKeys << entry.key;
    if (!sameField(keys, expectedKeys, u"the tree"_s, "keys in walk order"))
        return false;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QString node = u"the node "_s + expected[i].key;
        if (!sameField(actual[i].parent, expected[i].parent, node, "parent") ||
            !sameField(actual[i].text, expected[i].text, node, "text"))
            return false;
    }
    return true;
}
