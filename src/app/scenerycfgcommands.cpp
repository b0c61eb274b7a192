#include "app/scenerycfgcommands.h"

#include "app/detailspanel.h"
#include "app/setselector.h"
#include "app/windowprocedure.h"
#include "app/windowstatus.h"
#include "library/scenerymanager.h"
#include "scenerycfg/frmselectsets.h"
#include "tree/librarytree.h"

namespace {
const QString Ready = QStringLiteral("Ready.");
const QString CreateProcedure = QStringLiteral(".mnuWizardCreateScenery_Click");
} // namespace

SceneryCfgCommands::SceneryCfgCommands(AppContext &context, SceneryManager &manager, Tree &tree,
                                       LibraryTree &libraryTree, WindowStatus &status, SetSelector &sets,
                                       DetailsPanel &details, SaveConsent consent, QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager), m_tree(tree), m_libraryTree(libraryTree),
      m_status(status), m_sets(sets), m_details(details), m_consent(std::move(consent))
{}

// ---- "Create Scenery" --------------------------------------------------------------------

void SceneryCfgCommands::mnuWizardCreateScenery_Click()
{
    guarded(m_context.ui, "mnuWizardCreateScenery_Click", [&] {
        m_status.Display(QStringLiteral("Create new scenery.cfg."));

        const qint32 simType = m_manager.SimType;
        frmSelectSets dialog(simType);
        dialog.bCDMode = false;
        dialog.fillSets(m_manager.dicCFGs);
        dialog.cboFLTItems = StartFlight::flights(m_context.fs, m_manager.FSPath(), simType);
        dialog.Form_Activate();
        m_context.ui.showModal(dialog);

        if (!dialog.strSets.isEmpty()) {
            // The check boxes go into the displayed set first, and every scenery needs a node to be
            // written in its place.
            const int current = int(m_sets.cboScenerySet().items.indexOf(LibraryNames::CurrentSet));
            if (current >= 0)
                m_sets.cboScenerySet_Click(current);
            m_libraryTree.UndisplayAllTree();

            qint32 cacheSize = dialog.cacheSize();
            const Outcome written =
                m_manager.CreateCFG(dialog.strSets, m_tree.keysInWalkOrder(), cacheSize,
                                    dialog.chkClean_on_Exit, dialog.txtTitle, dialog.txtDescription);

            // CreateCFG has shown why it wrote nothing or left sceneries out, and the start flight is
            // the user's choice apart from that; a backup that failed or was stopped ends the command.
            const bool goOn = written.isDone() || written.isRefused();
            if (goOn && simType != 2 && !dialog.cboFLT.isEmpty()) {
                const Outcome flight =
                    StartFlight::setSituation(m_context.fs, m_manager.FSPath(), simType, dialog.cboFLT);
                if (flight.isRefused())
                    m_context.ui.inform(flight.reason(), QStringLiteral("Start FLT"),
                                        UiPort::Icon::Exclamation);
                else if (flight.isFailed())
                    reportError(m_context.ui, CreateProcedure, flight.error());
            }
        }

        m_libraryTree.RebuildFiltered();
        m_status.Display(Ready);
    });
}

// ---- "Update from Scenery.cfg" -----------------------------------------------------------

void SceneryCfgCommands::mnuSceneryUpdate_Click()
{
    guarded(m_context.ui, "mnuSceneryUpdate_Click", [&] {
        m_reloadProblems.reset();
        m_status.Display(QStringLiteral("Update scenery list from current scenery.cfg."));

        m_sets.TransferData();
        m_libraryTree.UndisplayAllTree();
        // The library is emptied and read back from its files below: whatever a save could not
        // write, or the user would not have written, would be lost with it.
        const bool saved = m_consent() && m_manager.saveDB(m_tree.keysInWalkOrder()).isDone();
        m_libraryTree.RebuildFiltered();
        if (!saved) {
            m_status.Display(Ready);
            return;
        }

        // "(Current)" is never stored; it comes back with the next reading of a Scenery.cfg.
        const CfgPtr current = m_manager.dicCFGs.value(LibraryNames::CurrentSet);
        m_manager.colScenery.clear();
        m_manager.dicCFGs.clear();
        m_manager.dicLevel.clear();
        bool isNew = false;
        m_reloadProblems = m_manager.readDB(isNew).problems;

        UiPort::FileChooser chooser;
        chooser.title = QStringLiteral("Select Scenery.cfg");
        chooser.filter = QStringLiteral("Scenery.cfg|Scenery.cfg");
        chooser.initialDir = m_manager.FSPath();
        chooser.mustExist = true;
        const std::optional<QString> chosen = m_context.ui.chooseFile(chooser);
        if (!chosen || chosen->isEmpty()) {
            // The tree and the set list stay as they are. They show what was just saved and read
            // back, so the window's references go to the records read back, and "(Current)" is
            // put back as it was: edits made next would otherwise go to records no save sees.
            if (current && !m_manager.dicCFGs.contains(LibraryNames::CurrentSet))
                m_manager.dicCFGs.add(LibraryNames::CurrentSet, current);
            m_sets.rebindDisplayedSet();
            showDisplayedSceneryAgain();
            return;
        }

        const bool updateExisting =
            m_context.ui.askYesNo(QStringLiteral("Do you want to update existing sceneries as well?"),
                                  QStringLiteral("Update from Scenery.cfg"), UiPort::Icon::Question);
        QString file = *chosen;
        m_manager.readCFG(file, updateExisting);

        m_sets.fillSetList(true);
        m_libraryTree.fillTree(m_libraryTree.filterMask(), isNew);
        m_sets.TransferData();
        showDisplayedSceneryAgain();
        m_status.Display(Ready);
    });
}

void SceneryCfgCommands::showDisplayedSceneryAgain()
{
    const SceneryPtr shown = m_details.displayedScenery();
    if (!shown)
        return;
    if (TreeNode *node = m_tree.node(shown->Key); node && m_manager.colScenery.contains(shown->Key))
        m_details.trvScenery_NodeClick(node);
    else
        m_details.clearDisplayedScenery();
}
