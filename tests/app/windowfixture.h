#pragma once

#include "app/frmscenery.h"
#include "library/scenerymanager.h"
#include "support/librarybuilder.h"
#include "support/testenv.h"

#include <QStringList>

#include <memory>

// An installation of one simulator whose library is written as the program's files, and the main
// window's logic loaded on it as the program loads it.
class WindowFixture
{
public:
    explicit WindowFixture(Sim sim = Sim::FS2002);

    // The simulator's folder: C:\FS2000, C:\FS2002 or C:\CFS2.
    static QString simFolder(Sim sim);
    QString simFolder() const { return simFolder(sim); }

    // The library files, and the simulator's Scenery.cfg with one area per scenery of areas.
    void write(const Library &library, const Library &areas = Library());
    // The library manager and the window on the files written; the window's questions go to ui,
    // the scripted one of env unless given.
    frmScenery &create(UiPort *ui = nullptr);
    // write, create and Form_Load.
    frmScenery &load(const Library &library, const Library &areas = Library());

    TreeNode *node(const QString &key) const;
    clsScenery &scenery(const QString &key) const;
    // The node becomes the selected one and is shown, as a click on it does.
    void select(const QString &key);
    // The user ticks or clears the node's box.
    void check(const QString &key, bool checked);
    // The user types a set name into the set box and presses Enter.
    void typeSet(const QString &name);
    // The titles of the nodes whose box is ticked, in the tree's order.
    QStringList tickedTitles() const;
    // The titles of a node's children, in the tree's order; the top level's for "".
    QStringList childTitles(const QString &key) const;
    QStringList members(const QString &set) const;
    QString statusText() const;

    TestEnv env;
    const Sim sim;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<SceneryManager> manager;
    std::unique_ptr<frmScenery> form;
};
