#pragma once

#include "app/frmscenery.h"
#include "library/scenerymanager.h"
#include "support/testenv.h"
#include "tree/librarytree.h"

#include <QStringList>

#include <memory>

// One installation with a library written as files, and the main window loaded on it.
class MainWindowFixture
{
public:
    struct Scenery
    {
        QString title;
        QString level = QStringLiteral("LevelNew");
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
        switch (simType) {
        case 0: return QStringLiteral("C:\\FS2000");
        case 1: return QStringLiteral("C:\\FS2002");
        default: return QStringLiteral("C:\\CFS2");
        }
    }

    static QString keyOf(const QString &level, const QString &title)
    {
        return QStringLiteral("Scenery") + level.mid(5) + QLatin1Char('\\') + title;
    }

    void addLevel(const QString &key, const QString &caption)
    {
        m_levels << QStringLiteral("<Level>") << caption << key << QStringLiteral("</Level>");
    }

    QString addScenery(const QString &title, const QString &level = QStringLiteral("LevelNew"), qint16 flySim = 0)
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
        const auto flag = [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); };
        m_db5 << QStringLiteral("<Scenery>") << QStringLiteral("Active=") + flag(s.active)
              << QStringLiteral("Author=") + s.author << QStringLiteral("Exclude=") + s.exclude
              << QStringLiteral("FlySim=%1").arg(s.flySim) << QStringLiteral("GroupID=%1").arg(s.groupId)
              << QStringLiteral("IsLocalPath=") + flag(s.isLocal) << QStringLiteral("Key=") + key
              << QStringLiteral("Layer=%1").arg(s.layer) << QStringLiteral("LocalPath=") + s.local
              << QStringLiteral("PreviousKey=") + s.previousKey << QStringLiteral("SalesType=%1").arg(s.salesType)
              << QStringLiteral("Title=") + s.title << QStringLiteral("</Scenery>");
        return key;
    }

    void addSet(const QString &name, int cacheSize, const QStringList &members)
    {
        m_sets << QStringLiteral("<Set>") << name << QString::number(cacheSize) << QStringLiteral("False") << members
               << QStringLiteral("</Set>");
    }

    // An area of the simulator's Scenery.cfg.
    void addCfgArea(const QString &title, const QString &local = QStringLiteral("Addon Scenery\\X"))
    {
        m_cfg << QStringLiteral("[Area.%1]").arg(m_cfgAreas + 1, 3, 10, QLatin1Char('0'))
              << QStringLiteral("Title=") + title << QStringLiteral("Local=") + local
              << QStringLiteral("Layer=%1").arg(m_cfgAreas + 1) << QStringLiteral("Active=TRUE")
              << QStringLiteral("Required=FALSE");
        ++m_cfgAreas;
    }

    QString dbPath(const QString &name) const { return env.programFolder() + QLatin1Char('\\') + name; }

    void writeFiles(int simType)
    {
        env.installSim(simType, simFolder(simType));
        QStringList cfg{QStringLiteral("[General]"), QStringLiteral("Title=World")};
        cfg << m_cfg;
        env.fs.writeLines(simFolder(simType) + QStringLiteral("\\Scenery.cfg"), cfg);
        if (!m_db5.isEmpty())
            env.fs.writeLines(dbPath(QStringLiteral("Lumivale.db5")), QStringList{QStringLiteral("//Lumivale 1.6")} + m_db5);
        if (!m_levels.isEmpty())
            env.fs.writeLines(dbPath(QStringLiteral("Level.db")), m_levels);
        if (!m_sets.isEmpty())
            env.fs.writeLines(dbPath(QStringLiteral("CFGSet.db")), m_sets);
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
