#pragma once

#include "platform/appcontext.h"
#include "platform/filesystem.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class SceneryManager;

// A failure the command line reports in one line and ends the command with a non-zero exit.
struct CliFailure
{
    QString message;
};

// The installation a command works on, taken from the environment the way the GUI takes it:
// the program folder from LUMIVALE_HOME (else the user's data folder), the drives from the Wine
// prefix in WINEPREFIX (else ~/.wine) with the settings file's own drive entries laid over it.
class CliSession
{
public:
    explicit CliSession(UiPort &ui);
    ~CliSession();
    CliSession(const CliSession &) = delete;
    CliSession &operator=(const CliSession &) = delete;

    const QString &programFolderHost() const { return m_programFolderHost; }
    const QString &winePrefixHost() const { return m_winePrefixHost; }
    // Host path of the settings file; "" where the settings live in the registry.
    QString settingsFile() const;

    FileSystem &fs() { return m_fs; }
    SettingsStore &settings() { return *m_settings; }
    AppContext &context() { return m_context; }

    // The library manager (which selects the simulator as at start-up); with a simulator given,
    // that one is worked on for this run instead. Throws NoSimulatorInstalled when none is
    // installed and CliFailure when the chosen one is not.
    std::unique_ptr<SceneryManager> openManager(std::optional<int> simType);
    // After openManager without a simulator given: the installation keys that could not be read,
    // each naming its simulator. The simulator selected may then not be the one the user meant.
    const QStringList &damagedInstallationKeys() const { return m_damagedKeys; }

    // Takes the lock the window holds while it runs, for a command that writes the library; two
    // writers would each save their own copy and one side's changes would be lost. Throws
    // CliFailure, with nothing changed, when another instance holds it. Kept until the session ends.
    void lockLibrary();

private:
    QString m_programFolderHost;
    QString m_winePrefixHost;
    FileSystem m_fs;
    std::unique_ptr<SettingsStore> m_settings;
    ProgramInfo m_program;
    AppContext m_context;
    QStringList m_damagedKeys;
};
