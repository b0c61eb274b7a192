#pragma once

#include "app/frmscenery.h"
#include "library/scenerymanager.h"
#include "support/testenv.h"
#include "tree/librarytree.h"

#include <QStringList>

#include <memory>

using namespace Qt::StringLiterals;

// One installation with a library written as files, and the main window loaded on it.
class MainWindowFixture
{
public:
    struct Scenery
    {
        QString title{}, level = u"LevelNew"_s, local{}; // initialised: designated initialisers may skip them
        bool active = true, isLocal = true;
        qint16 flySim = 0;
        QString author{}, previousKey{};
        qint16 layer = 0, salesType = 0, groupId = 0;
        QString exclude{};
        QString key{}; // "" for the key its level and title give
    };

    static QString simFolder(int simType)
    {
        return QStringList{u"C:\\FS2000"_s, u"C:\\FS2002"_s, u"C:\\CFS2"_s}.at(qBound(0, simType, 2));
    }

    void addLevel(const QString &key, const QString &caption)
    {
        m_levels << u"<Level>"_s << caption << key << u"</Level>"_s;
    }

    // Levels by path with their sceneries' titles, a FlySim after "@" ("New:Alpha,Old@1;Europe\Germany:X"),
    // the areas of Scenery.cfg ("Alpha,Beta") and sets by name, simulator, members ("Mine=1:Alpha;Old=0:").
    MainWindowFixture &describe(const QString &library, const QString &areas = {}, const QString &sets = {})
    {
        for (const QString &part : library.split(u';', Qt::SkipEmptyParts)) {
            const QString path = part.section(u':', 0, 0), level = u"Level"_s + path;
            addLevel(level, path.section(u'\\', -1));
            for (const QString &s : part.section(u':', 1).split(u',', Qt::SkipEmptyParts))
                addScenery(s.section(u'@', 0, 0), level, qint16(s.section(u'@', 1).toInt()));
        }
        for (const QString &title : areas.split(u',', Qt::SkipEmptyParts))
            addCfgArea(title);
        for (const QString &set : sets.split(u';', Qt::SkipEmptyParts))
            addSet(set.section(u'=', 0, 0), set.section(u'=', 1).section(u':', 0, 0).toInt(),
                   set.section(u':', 1).split(u',', Qt::SkipEmptyParts));
        return *this;
    }

    QString addScenery(const QString &title, const QString &level = u"LevelNew"_s, qint16 flySim = 0)
    {
        return addScenery({.title = title, .level = level, .flySim = flySim});
    }
    QString addScenery(const Scenery &s)
    {
        const QString key = s.key.isEmpty() ? u"Scenery"_s + s.level.mid(5) + u'\\' + s.title : s.key;
        const auto flag = [](bool b) { return b ? u"True"_s : u"False"_s; };
        m_db5 << u"<Scenery>"_s << u"Active="_s + flag(s.active) << u"Author="_s + s.author
              << u"Exclude="_s + s.exclude << u"FlySim=%1"_s.arg(s.flySim) << u"GroupID=%1"_s.arg(s.groupId)
              << u"IsLocalPath="_s + flag(s.isLocal) << u"Key="_s + key << u"Layer=%1"_s.arg(s.layer)
              << u"LocalPath="_s + s.local << u"PreviousKey="_s + s.previousKey
              << u"SalesType=%1"_s.arg(s.salesType) << u"Title="_s + s.title << u"</Scenery>"_s;
        return key;
    }
    void addSet(const QString &name, int cacheSize, const QStringList &members)
    {
        m_sets << u"<Set>"_s << name << QString::number(cacheSize) << u"False"_s << members << u"</Set>"_s;
    }
    // An area of the simulator's Scenery.cfg.
    void addCfgArea(const QString &title, const QString &local = u"Addon Scenery\\X"_s)
    {
        m_cfg << u"[Area.%1]"_s.arg(m_cfgAreas + 1, 3, 10, QLatin1Char('0')) << u"Title="_s + title
              << u"Local="_s + local << u"Layer=%1"_s.arg(m_cfgAreas + 1) << u"Active=TRUE"_s
              << u"Required=FALSE"_s;
        ++m_cfgAreas;
    }

    QString dbPath(const QString &name) const { return env.programFolder() + QLatin1Char('\\') + name; }
    void writeFiles(int simType)
    {
        env.installSim(simType, simFolder(simType));
        const QStringList cfg = QStringList{u"[General]"_s, u"Title=World"_s} + m_cfg;
        env.fs.writeLines(simFolder(simType) + u"\\Scenery.cfg"_s, cfg);
        if (!m_db5.isEmpty())
            env.fs.writeLines(dbPath(u"Lumivale.db5"_s), QStringList{u"//Lumivale 1.6"_s} + m_db5);
        if (!m_levels.isEmpty())
            env.fs.writeLines(dbPath(u"Level.db"_s), m_levels);
        if (!m_sets.isEmpty())
            env.fs.writeLines(dbPath(u"CFGSet.db"_s), m_sets);
    }
    // Writes the files, creates the library manager and the window, and loads the window.
    frmScenery &load(int simType = 1)
    {
        writeFiles(simType);
        create();
        form->Form_Load();
        return *form;
    }
    void create()
    {
        manager = std::make_unique<SceneryManager>(env.context);
        form = std::make_unique<frmScenery>(env.context, *manager);
    }

    TreeNode *node(const QString &key) const { return form->trvScenery().node(key); }
    // The texts of the tree's nodes, in display order, whose box is ticked (or that are bold).
    QString checked(bool bold = false) const
    {
        QStringList out;
        for (TreeNode *n = form->trvScenery().firstRoot(); n; n = n->nextInWalk())
            if (bold ? n->bold() : n->checked())
                out << n->text();
        return out.join(u',');
    }
    CfgPtr set(const QString &name) const { return manager->dicCFGs.value(name); }
    QStringList members(const QString &name) const
    {
        CfgPtr s = set(name);
        return s ? s->colUsedSceneries.keys() : QStringList();
    }
    // Every set as "name=members" in library order, joined by ";".
    QString sets() const
    {
        QStringList out;
        for (auto it = manager->dicCFGs.begin(); it != manager->dicCFGs.end(); ++it)
            out << it.key() + u'=' + members(it.key()).join(u',');
        return out.join(u';');
    }
    // Status panels 1 to 4 joined by "|".
    QString status() const
    {
        const auto &panels = form->status().stbStatus().panels;
        return QStringList(panels.begin(), panels.end()).join(u'|');
    }
    // Types a set name into the combo and presses Enter.
    void typeSet(const QString &name)
    {
        form->cboScenerySet_Change(name);
        form->cboScenerySet_KeyDown(Qt::Key_Return);
    }
    // The user ticks or clears a node's box.
    void check(const QString &key, bool checked)
    {
        node(key)->setChecked(checked);
        form->trvScenery_NodeCheck(node(key));
    }
    void select(const QString &key)
    {
        form->trvScenery().setSelectedItem(node(key));
        form->trvScenery_NodeClick(node(key));
    }

    TestEnv env;
    std::unique_ptr<SceneryManager> manager;
    std::unique_ptr<frmScenery> form;

private:
    QStringList m_db5, m_levels, m_sets, m_cfg;
    int m_cfgAreas = 0;
};
