#pragma once

#include "platform/appcontext.h"

#include <QObject>

class LibraryTree;
class ProgramSettings;
class SceneryManager;
class SetSelector;
class frmSimType;
class WindowStatus;

// The commands that change which simulator is worked on: "Select Sim Type" switches the whole
// window, and the set area's button gives the displayed set to a simulator.
class SimulatorCommands : public QObject
{
    Q_OBJECT
public:
    SimulatorCommands(AppContext &context, SceneryManager &manager, LibraryTree &libraryTree,
                      ProgramSettings &settings, WindowStatus &status, SetSelector &sets,
                      QObject *parent = nullptr);

    // "Select Sim Type": the chosen simulator is stored as "SelectedSim", its Scenery.cfg is read
    // into the library, and the title, set list, tree and counts follow it. True when it ran to
    // its end (the caller then moves what else follows the simulator).
    bool mnuSelectSimType_Click();
    // The displayed set (never "(Current)") is given to the chosen simulator; when that is not the
    // one worked on, the set leaves the list.
    void cmdChangeFlightSimSet_Click();

private:
    // Shows the chooser on the simulators installed now; false, with nothing shown, when none is.
    bool showSimulatorChooser(frmSimType &dialog);

    AppContext &m_context;
    SceneryManager &m_manager;
    LibraryTree &m_libraryTree;
    ProgramSettings &m_settings;
    WindowStatus &m_status;
    SetSelector &m_sets;
};
