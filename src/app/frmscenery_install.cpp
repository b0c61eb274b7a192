#include "app/filehelpers.h"
#include "app/frmscenery.h"
#include "airports/airportdirectory.h"
#include "airports/frmairportdir.h"
#include "app/windowprocedure.h"
#include "install/frmaddscenery.h"
#include "install/frminstallprogress.h"
#include "install/openwith.h"
#include "install/sceneryinstaller.h"
#include "library/scenerymanager.h"
#include "platform/launcher.h"

void frmScenery::mnuSceneryInstall_Click()
{
    UiPort &ui = m_context.ui;
    guarded(ui, "mnuSceneryInstall_Click", [&] {
        m_status->Display(QStringLiteral("Install scenery."));
        Launcher launcher(m_context.fs);
        OpenWith openWith(m_context, launcher);
        frmAddScenery dialog(m_context, m_manager);
        if (m_folderMemory) {
            dialog.getDicPath = [this](const QString &key) { return m_folderMemory->GetDicPath(key); };
            dialog.setDicPath = [this](const QString &key, const QString &folder) {
                m_folderMemory->SetDicPath(key, folder);
            };
        }
        dialog.openWith = &openWith;
        dialog.showAirportDirectory = [this]() -> std::optional<QString> {
            const AirportDirectory directory(m_context.fs, m_context.programFolder());
            frmAirportDir airports(directory, m_context.ui);
            airports.Form_Load();
            m_context.ui.showModal(airports);
            QString title = airports.result();
            // A backslash in a line of the (user-editable) lists would split the new scenery's key.
            title.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (title.isEmpty())
                return std::nullopt;
            return title;
        };
        dialog.Form_Load();
        dialog.Form_Activate();
        ui.showModal(dialog);

        SceneryPtr made;
        if (!dialog.sResult.isEmpty()) {
            m_sets->TransferData();
            SceneryInstaller installer(m_context, m_manager);
            frmInstallProgress progress(ui);
            Outcome outcome = Outcome::stopped();
            progress.work = [&] { outcome = installer.install(dialog.request()); };
            installer.progress = [&progress](const QString &file) { progress.setCurrentFile(file); };
            installer.cancelRequested = [&progress] { return progress.cancelRequested(); };
            ui.showModal(progress);
            progress.run();
            if (outcome.isFailed())
                reportError(ui, QStringLiteral(".mnuSceneryInstall_Click"), outcome.error());
            if (outcome.isDone())
                made = installer.record();
            QStringList notInstalled;
            for (const QString &file : installer.skipped())
                notInstalled << QStringLiteral("kept or left out: ") + file;
            for (const QString &entry : installer.refused())
                notInstalled << QStringLiteral("refused: ") + entry;
            if (!notInstalled.isEmpty()) {
                ui.inform(QStringLiteral("These files were not installed:\r\n") +
                              notInstalled.join(QStringLiteral("\r\n")),
                          QStringLiteral("Install scenery"), UiPort::Icon::Exclamation);
            }
        }
        if (!made) {
            m_details->clearDisplayedScenery();
            m_sets->TransferData();
        } else {
            addInstalledScenery(m_manager, *m_tree, made);
            TreeNode *node = m_tree->node(made->Key);
            m_tree->setSelectedItem(node);
            m_details->trvScenery_NodeClick(node);
        }
    });
    m_status->Display(QStringLiteral("Ready."));
}
