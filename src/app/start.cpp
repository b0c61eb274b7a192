#include "app/start.h"

#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "platform/installation.h"

Start::Platform::Platform(const QStringList &arguments, UiPort &ui)
    : Platform(ProgramInfo::defaultProgramFolder(), DriveMap::defaultWinePrefix(), arguments, ui)
{
}

Start::Platform::Platform(const QString &programFolderHost, const QString &winePrefixHost,
                          const QStringList &arguments, UiPort &ui)
    : program(programFolderHost, arguments), settings(createSettingsStore(programFolderHost, winePrefixHost)),
      fs(loadDriveMap(programFolderHost, winePrefixHost)), context{fs, *settings, ui, program}
{
}

Start::Session::Session(AppContext &ctx, bool debugFlag) : context(ctx), debug(debugFlag), debugLog(ctx.fs, debugFlag)
{
}

Start::Session::~Session() = default;

std::unique_ptr<Start::Session> Start::Main(AppContext &context, const MainHooks &hooks)
{
    if (!context.program.acquireInstanceLock()) {
        // Ending without a word would look like a start that failed.
        if (hooks.raiseRunningInstance && hooks.raiseRunningInstance()) {
            context.ui.inform(
                QStringLiteral("Lumivale is already running; its window has been brought to the front."),
                QStringLiteral("Lumivale"));
        } else {
            const QString holder = context.program.instanceLockHolder();
            context.ui.inform(
                QStringLiteral("Lumivale is already running%1 with the library in %2. Close it, then start "
                               "Lumivale again.")
                    .arg(holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder),
                         context.programFolder()),
                QStringLiteral("Lumivale"), UiPort::Icon::Exclamation);
        }
        return nullptr;
    }
    auto session = std::make_unique<Session>(context, isDebugCommandLine(context.program.commandLine()));
    // A settings file that could not be read would otherwise only show as settings gone missing.
    reportSettingsProblems(context.settings, context.ui);
    try {
        session->manager = std::make_unique<SceneryManager>(context);
    } catch (const NoSimulatorInstalled &) {
        return nullptr;
    }
    try {
        session->folderMemory = std::make_unique<FolderMemory>(*session->manager);
        if (hooks.createProgramObjects)
            hooks.createProgramObjects(*session);
        if (hooks.showMainWindow)
            hooks.showMainWindow(*session);
        session->commands = commandRows();
        session->debugLog.write(DebugLog::GetFKeys);
        readFunctionKeys(context.settings, session->functionKeys);
        session->debugLog.write(DebugLog::GetFKeysEnd);
    } catch (const LmError &e) {
        reportError(context.ui, QStringLiteral("Start.Main"), e);
    }
    return session;
}
