#pragma once

#include "app/commandtable.h"
#include "app/debuglog.h"
#include "app/filehelpers.h"
#include "platform/appcontext.h"
#include "platform/filesystem.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"

#include <QStringList>

#include <functional>
#include <memory>

class SceneryManager;

namespace Start {

// The platform services of one run: the program folder, the settings store, the file system over
// the drive map, and the context that hands them on.
class Platform
{
public:
    // The program folder and Wine prefix of this system (ProgramInfo::defaultProgramFolder,
    // DriveMap::defaultWinePrefix); arguments: the command line after the program name.
    Platform(const QStringList &arguments, UiPort &ui);
    Platform(const QString &programFolderHost, const QString &winePrefixHost, const QStringList &arguments,
             UiPort &ui);

    ProgramInfo program;
    std::unique_ptr<SettingsStore> settings;
    FileSystem fs;
    AppContext context;
};

// Everything the start-up creates and the program keeps until it ends.
class Session
{
public:
    Session(AppContext &context, bool debug);
    ~Session();

    AppContext &context;
    bool debug;
    DebugLog debugLog;
    std::unique_ptr<SceneryManager> manager;
    std::unique_ptr<FolderMemory> folderMemory;
    CommandTable commands;          // empty until the start-up fills it, after the main window
    FunctionKeyTable functionKeys;  // "" for an unbound key
};

// What the start-up leaves to the front end.
struct MainHooks
{
    // Runs after the library manager exists: creates the backup manager and whatever else lives
    // as long as the program.
    std::function<void(Session &)> createProgramObjects;
    // Creates, loads and shows the main window (modeless).
    std::function<void(Session &)> showMainWindow;
    // Another instance holds the program folder: asks its window to come to the front; true when
    // it did.
    std::function<bool()> raiseRunningInstance;
};

// The start-up: refuses a second instance (telling the user, after asking the running one to show
// its window), sets the debug flag, creates the library manager (which
// selects the simulator) and the folder memory, lets the front end show the main window, then
// fills the command table and the function-key bindings. Nothing when the program is to end at
// once: another instance runs, or no simulator is installed (the message has been shown). A
// failure after the manager exists is reported as "Start.Main" and the session returned as it is.
std::unique_ptr<Session> Main(AppContext &context, const MainHooks &hooks = {});

} // namespace Start
