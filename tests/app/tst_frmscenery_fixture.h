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
        QString title;
        QString level = u"LevelNew"_s;
        QString local;
        bool active = true;
        bool isLocal = true;
        qint16 flySim = 0;
        QString author;
        QString previousKey;
        qint16 layer = 0;
        qint16 salesType = 0;
        qint16 groupId = 0;
        QString exclude;
    };

    static QString simFolder(int simType)
    {
        return QStringList{u"C:\\FS2000"_s, u"C:\\FS2002"_s, u"C:\\CFS2"_s}.at(qBound(0, simType, 2));
    }

    static QString keyOf(const QString &level, const QString &title)
    {
        return u"Scenery"_s + level.mid(5) + QLatin1Char('\\') + title;
    }

    void addLevel(const QString &key, const QString &caption)
    {
        m_levels << u"<Level>"_s << caption << key << u"</Level>"_s;
    }

    // The level "New" holding sceneries of these titles.
    void addNew(const QStringList &titles)
    {
        addLevel(u"LevelNew"_s, u"New"_s);
        for (const QString &title : titles)
            addScenery(title);
    }
    void addCfgAreas(const QStringList &titles)
    {
        for (const QString &title : titles)
            addCfgArea(title);
    }

    QString addScenery(const QString &title, const QString &level = u"LevelNew"_s, qint16 flySim = 0)
    {
        Scenery s;
        s.title = title;
        s.level = level;
        s.flySim = flySim;
        return addScenery(s);
    }

    QString addScenery(const Scenery &s)
    {
        const QString key = keyOf(s.level, s.title);
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
        QStringList cfg{u"[General]"_s, u"Title=World"_s};
        cfg << m_cfg;
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
    TreeNode *newNode(const QString &title) const { return node(u"SceneryNew\\"_s + title); }
    // Those of the titles (below "New") whose box is ticked.
    QStringList checkedOf(const QStringList &titles) const
    {
        QStringList out;
        for (const QString &title : titles) {
            if (newNode(title) && newNode(title)->checked())
                out << title;
        }
        return out;
    }
    CfgPtr set(const QString &name) const { return manager->dicCFGs.value(name); }
    QStringList members(const QString &name) const
    {
        CfgPtr s = set(name);
        return s ? s->colUsedSceneries.keys() : QStringList();
    }
    // Types a set name into the combo and presses Enter.
    void typeSet(const QString &name)
    {
        form->cboScenerySet_Change(name);
        form->cboScenerySet_KeyDown(13);
    }
    // The user ticks or clears a node's box.
    void check(const QString &key, bool checked)
    {
        TreeNode *n = node(key);
        n->setChecked(checked);
        form->trvScenery_NodeCheck(n);
    }
    void select(const QString &key)
    {
        TreeNode *n = node(key);
        form->trvScenery().setSelectedItem(n);
        form->trvScenery_NodeClick(n);
    }

    TestEnv env;
    std::unique_ptr<SceneryManager> manager;
    std::unique_ptr<frmScenery> form;

private:
    QStringList m_db5;
    QStringList m_levels;
    QStringList m_sets;
    QStringList m_cfg;
    int m_cfgAreas = 0;
};
