#include "app/simulatorcommands.h"

#include "app/setselector.h"
#include "app/windowprocedure.h"
#include "app/windowstatus.h"
#include "library/scenerymanager.h"
#include "settings/programsettings.h"
#include "sims/frmsimtype.h"
#include "sims/location.h"
#include "tree/librarytree.h"

namespace {
const QString Ready = QStringLiteral("Ready.");
} // namespace

SimulatorCommands::SimulatorCommands(AppContext &context, SceneryManager &manager, LibraryTree &libraryTree,
                                     ProgramSettings &settings, WindowStatus &status, SetSelector &sets,
                                     QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager), m_libraryTree(libraryTree),
      m_settings(settings), m_status(status), m_sets(sets)
{}

bool SimulatorCommands::showSimulatorChooser(frmSimType &dialog)
{
    try {
        const Location location(m_context);
        dialog.prepare(location, m_manager.SimType);
    } catch (const NoSimulatorInstalled &) {
        // Every simulator went away since the start; the message has been shown.
        m_status.Display(Ready);
        return false;
    }
    m_context.ui.showModal(dialog);
    return true;
}

bool SimulatorCommands::mnuSelectSimType_Click()
{
    bool ran = false;
    guarded(m_context.ui, "mnuSelectSimType_Click", [&] {
        m_status.Display(QStringLiteral("Select sim."));
        frmSimType dialog;
        if (!showSimulatorChooser(dialog))
            return;
        // Stored first: a choice the settings cannot keep changes nothing.
        const qint32 simType = dialog.chosen().value_or(m_manager.SimType);
        m_settings.setSelectedSim(simType);
        m_manager.SimType = simType;
        m_status.setTitle();
        m_manager.NewLocation();
        QString file;
        m_manager.readCFG(file, false);

        m_sets.fillSetList();
        m_libraryTree.RebuildFiltered();
        m_sets.TransferData();
        m_status.Display(Ready);
        ran = true;
    });
    return ran;
}

void SimulatorCommands::cmdChangeFlightSimSet_Click()
{
    guarded(m_context.ui, "cmdChangeFlightSimSet_Click", [&] {
        const CfgPtr set = m_sets.displayedSet();
        if (!set || set->Key == LibraryNames::CurrentSet)
            return;
        m_status.Display(QStringLiteral("Select sim for set."));
        frmSimType dialog;
        if (!showSimulatorChooser(dialog))
            return;
        if (const std::optional<qint32> chosen = dialog.chosen()) {
            set->Cache_Size = *chosen;
            if (*chosen != m_manager.SimType)
                m_sets.removeListEntry(set->Key);
        }
        m_status.Display(Ready);
    });
}
