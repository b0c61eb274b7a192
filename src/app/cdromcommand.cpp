// "Prepare CDRom": the sceneries of the sets the user picks copied into a new folder from which a
// CD can be written, each copied scenery given the CD as its remote path.

#include "app/filehelpers.h"
#include "app/frmscenery.h"
#include "app/windowprocedure.h"
#include "library/scenerymanager.h"
#include "packaging/cdromsource.h"
#include "platform/filesystem.h"
#include "platform/winpath.h"
#include "scenerycfg/frmselectsets.h"
#include "tree/librarytree.h"

void frmScenery::mnuWizardPrepareCD_Click()
{
    UiPort &ui = m_context.ui;
    guarded(ui, "mnuWizardPrepareCD_Click", [&] {
        const auto ready = [this] { m_status->Display(QStringLiteral("Ready.")); };
        m_status->Display(QStringLiteral("Prepair CDRom source."));

        const QString memoryKey = QStringLiteral("CDRom");
        const QString start = m_folderMemory ? m_folderMemory->GetDicPath(memoryKey) : m_manager.FSPath();
        const std::optional<QString> destination =
            Start::chooseFolder(ui, QStringLiteral("Select folder"), start);
        if (!destination)
            return ready();
        if (m_folderMemory)
            m_folderMemory->SetDicPath(memoryKey, *destination);

        const QString name = WinPath::trimBlanks(
            ui.input(QStringLiteral("Insert a name for the CD"), QStringLiteral("CD Name"), {}));
        if (name.isEmpty())
            return ready();
        // The name becomes a folder of the destination: one that climbed out of it, or went
        // deeper, would put the copies somewhere the user did not choose.
        if (!CdRomSource::isCdName(name)) {
            ui.message(
                QStringLiteral("The CD name \"%1\" cannot be a folder name: it may not hold \\ / : * ? \" "
                               "< > | nor be made of dots alone.")
                    .arg(name),
                QStringLiteral("CD Name"), UiPort::Buttons::Ok, UiPort::Icon::Exclamation);
            return ready();
        }
        const QString folder = *destination + name;
        if (m_context.fs.folderExists(folder) || m_context.fs.fileExists(folder)) {
            ui.message(QStringLiteral("CDROM Name exists in the destination folder."),
                       QStringLiteral("CDROM Name"), UiPort::Buttons::Ok, UiPort::Icon::Exclamation);
            return ready();
        }

        // The sets are offered with the boxes' last edits in the displayed one.
        m_sets->TransferData();
        frmSelectSets dialog(m_manager.SimType);
        dialog.bCDMode = true;
        dialog.fillSets(m_manager.dicCFGs);
        dialog.Form_Activate();
        ui.showModal(dialog);
        if (dialog.strSets.isEmpty())
            return ready();

        {
            BusyPointer busy(ui);
            // The copies follow the tree's order, and every scenery needs a node for that.
            m_libraryTree->UndisplayAllTree();
            CdRomSource source(m_manager);
            const Outcome made = source.MakeCDROM(dialog.strSets, m_tree->keysInWalkOrder(), folder, name);
            if (made.isDone())
                ui.inform(QStringLiteral("CDROM Source created."), QStringLiteral("Information"));
            m_libraryTree->RebuildFiltered();
        }
        if (const SceneryPtr shown = m_details->displayedScenery())
            m_details->showPaths(shown);
        ready();
    });
}
