// The main window's commands of the "&Preferences" and "&Help" menus and the path tools.

#include "app/frmscenery.h"

#include "app/windowprocedure.h"
#include "library/scenerymanager.h"
#include "platform/launcher.h"
#include "settings/frmhotkeys.h"
#include "settings/programsettings.h"
#include "tools/frmcache.h"
#include "tools/frmpref.h"
#include "tools/pathtools.h"
#include "tools/weblinks.h"

Launcher &frmScenery::launcher()
{
    if (m_launcher)
        return *m_launcher;
    if (!m_ownLauncher)
        m_ownLauncher = std::make_unique<Launcher>(m_context.fs);
    return *m_ownLauncher;
}

void frmScenery::mnuBasicFolder_Click()
{
    guarded(m_context.ui, "mnuBasicFolder_Click", [&] {
        m_status->Display(QStringLiteral("Change basic folders."));
        frmPref dialog(m_context, *m_settings);
        dialog.Form_Load();
        m_context.ui.showModal(dialog);
        m_status->Display(QStringLiteral("Ready."));
    });
}

void frmScenery::mnuCache_Click()
{
    guarded(m_context.ui, "mnuCache_Click", [&] {
        ::mnuCache_Click(m_context, m_manager, [this](const QString &text) { m_status->Display(text); });
    });
}

void frmScenery::mnuHotkey_Click()
{
    guarded(m_context.ui, "mnuHotkey_Click", [&] {
        m_status->Display(QStringLiteral("Open hotkey manager."));
        QStringList captions;
        for (const Start::CommandRow &row : Start::commandRows())
            captions.append(row.caption);
        frmHotkeys dialog(m_context.ui, *m_settings, captions, m_functionKeys);
        // The dialog opens even when its lists could not all be filled.
        runStep(m_context.ui, QStringLiteral("frmHotkeys.Form_Load"), [&] { dialog.Form_Load(); });
        m_context.ui.showModal(dialog);
        m_status->Display(QStringLiteral("Ready."));
    });
}

namespace {

void openLink(frmScenery &window, const char *procedure, WebLinks::Link link, const ProgramSettings &settings)
{
    guarded(window.context().ui, procedure, [&] {
        window.status().Display(WebLinks::statusText(link));
        WebLinks::open(window.context(), settings, window.launcher(), link);
        window.status().Display(QStringLiteral("Ready."));
    });
}

} // namespace

void frmScenery::mnuHelpDoc_Click()
{
    openLink(*this, "mnuHelpDoc_Click", WebLinks::Link::Documentation, *m_settings);
}

void frmScenery::mnuOnline_Click()
{
    openLink(*this, "mnuOnline_Click", WebLinks::Link::Homepage, *m_settings);
}

void frmScenery::mnuForum_Click()
{
    openLink(*this, "mnuForum_Click", WebLinks::Link::Forum, *m_settings);
}

void frmScenery::mnuHelpInfo_Click()
{
    guarded(m_context.ui, "mnuHelpInfo_Click", [&] {
        m_status->Display(QStringLiteral("Open info."));
        // A splash of its own: the one of the start may still be on its way out.
        frmSplash about;
        about.Form_Load();
        about.show();
        m_context.ui.showModal(about);
        m_status->Display(QStringLiteral("Ready."));
    });
}

void frmScenery::mnuTestLocalPaths_Click()
{
    guarded(m_context.ui, "mnuTestLocalPaths_Click", [&] {
        m_status->Display(QStringLiteral("Test the local paths."));
        BusyPointer busy(m_context.ui);
        PathTools::markSceneriesWithoutSceneryFolder(m_context, m_manager, *m_tree);
        m_status->Display(QStringLiteral("Ready."));
    });
}

void frmScenery::mnuAbsolutePath_Click()
{
    guarded(m_context.ui, "mnuAbsolutePath_Click", [&] {
        m_status->Display(QStringLiteral("Set all local path to absolute path."));
        PathTools::makeAllAbsolute(m_manager);
        m_details->showPaths(m_details->displayedScenery());
        m_status->Display(QStringLiteral("Ready."));
    });
}

void frmScenery::mnuAbsoluteCurrent_Click()
{
    guarded(m_context.ui, "mnuAbsoluteCurrent_Click", [&] {
        const SceneryPtr scenery = m_details->displayedScenery();
        if (!scenery)
            return;
        m_status->Display(QStringLiteral("Set absolute local path of current scenery."));
        PathTools::makeOneAbsolute(m_context, m_manager.FSPath(), *scenery);
        m_details->showPaths(scenery);
        m_status->Display(QStringLiteral("Ready."));
    });
}
