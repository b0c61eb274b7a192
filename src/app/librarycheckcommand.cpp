// "Check library": the library check run from the window, its findings shown in their dialog, a
// finding's scenery shown in the tree on request.

#include "app/frmscenery.h"

#include "app/windowprocedure.h"
#include "checks/frmchecklibrary.h"
#include "checks/librarycheck.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"

void frmScenery::mnuCheckLibrary_Click()
{
    guarded(m_context.ui, "mnuCheckLibrary_Click", [&] {
        UiPort &ui = m_context.ui;
        m_status->Display(QStringLiteral("Check library."));
        // The check reads the sets: the boxes' last edits belong to the displayed one.
        m_sets->TransferData();

        const auto check = [this, &ui](const QStringList &sets) {
            // Layers and conflicts go by the order of the whole tree; the filter may hide part of it.
            QStringList order;
            if (m_organiser->filterMask() == 0) {
                order = m_tree->keysInWalkOrder();
            } else {
                m_libraryTree->UndisplayAllTree();
                order = m_tree->keysInWalkOrder();
                m_libraryTree->RebuildFiltered();
            }
            ui.setBusy(true);
            LibraryCheck libraryCheck(m_manager, m_context.fs);
            libraryCheck.setEventPump([&ui] { ui.processEvents(); });
            const QList<CheckFinding> findings = libraryCheck.run(order, sets);
            ui.setBusy(false);
            return findings;
        };
        const auto show = [this](const QString &key) { return showScenery(key); };
        QStringList sets = m_sets->cboScenerySet().items;
        frmCheckLibrary form(check, show, sets);
        form.Form_Load();
        ui.showModal(form);
        m_status->Display(QStringLiteral("Ready."));
    });
}

bool frmScenery::showScenery(const QString &key)
{
    TreeNode *node = m_tree->node(key);
    if (!node) {
        m_status->Display(QStringLiteral("The scenery is hidden by the filter."));
        return false;
    }
    m_tree->setSelectedItem(node);
    node->ensureVisible();
    m_details->trvScenery_NodeClick(node);
    return true;
}
