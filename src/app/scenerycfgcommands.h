#pragma once

#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QObject>

#include <functional>
#include <optional>

class DetailsPanel;
class LibraryTree;
class SceneryManager;
class SetSelector;
class Tree;
class WindowStatus;

// The main window's commands on the simulator's Scenery.cfg: writing a new one from the sets the
// user picks ("Create Scenery", with the start flight) and bringing the library in line with one
// ("Update from Scenery.cfg").
class SceneryCfgCommands : public QObject
{
    Q_OBJECT
public:
    // Whether the library files may be replaced by a save now (the window asks when they were
    // read with errors).
    using SaveConsent = std::function<bool()>;

    SceneryCfgCommands(AppContext &context, SceneryManager &manager, Tree &tree, LibraryTree &libraryTree,
                       WindowStatus &status, SetSelector &sets, DetailsPanel &details, SaveConsent consent,
                       QObject *parent = nullptr);

    // "Create Scenery": the set dialog, then the Scenery.cfg and, for the two simulators that
    // have one, the start flight in the simulator's configuration file.
    void mnuWizardCreateScenery_Click();
    // "Update from Scenery.cfg": saves, empties and reloads the library, then reads the file the
    // user picks into it.
    void mnuSceneryUpdate_Click();

    // What the last reload of the library files met (for the window's next save).
    const std::optional<Problems> &reloadProblems() const { return m_reloadProblems; }

private:
    void showDisplayedSceneryAgain();

    AppContext &m_context;
    SceneryManager &m_manager;
    Tree &m_tree;
    LibraryTree &m_libraryTree;
    WindowStatus &m_status;
    SetSelector &m_sets;
    DetailsPanel &m_details;
    SaveConsent m_consent;
    std::optional<Problems> m_reloadProblems;
};
