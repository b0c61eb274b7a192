#include "cli/clisession.h"

#include "library/scenerymanager.h"
#include "platform/installation.h"
#include "sims/location.h"

#include <QDir>

CliSession::CliSession(UiPort &ui)
    : m_programFolderHost(ProgramInfo::defaultProgramFolder()),
      m_winePrefixHost(DriveMap::defaultWinePrefix()),
      m_fs(loadDriveMap(m_programFolderHost, m_winePrefixHost)),
      m_settings(createSettingsStore(m_programFolderHost, m_winePrefixHost)),
      m_program(m_programFolderHost), m_context{m_fs, *m_settings, ui, m_program}
{
    reportSettingsProblems(*m_settings, ui);
}

CliSession::~CliSession() = default;

QString CliSession::settingsFile() const
{
    if (const auto *ini = dynamic_cast<const IniSettingsStore *>(m_settings.get()))
        return ini->iniPath();
    return {};
}

std::unique_ptr<SceneryManager> CliSession::openManager(std::optional<int> simType)
{
    auto manager = std::make_unique<SceneryManager>(m_context);
    if (!simType) {
        // The manager said it; a command that changes files has to know it too.
        const Location location(m_context);
        for (const LmError &damaged : location.damagedKeys())
            m_damagedKeys.append(damaged.description());
    }
    if (simType) {
        const Location location(m_context);
        const bool installed = (*simType == 0 && location.FS2000installed()) ||
                               (*simType == 1 && location.FS2002installed()) ||
                               (*simType == 2 && location.CFS2installed());
        if (!installed)
            throw CliFailure{QStringLiteral("%1 (--sim %2) is not installed.")
                                 .arg(Location::simulatorName(*simType))
                                 .arg(*simType)};
        manager->SimType = *simType;
        manager->NewLocation();
    }
    return manager;
}

void CliSession::lockLibrary()
{
    if (m_program.acquireInstanceLock())
        return;
    const QString holder = m_program.instanceLockHolder();
    throw CliFailure{
        QStringLiteral("the library in %1 is in use by another Lumivale%2; nothing changed. Run the "
                       "command again once it has ended.")
            .arg(QDir::toNativeSeparators(m_programFolderHost),
                 holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder))};
}
