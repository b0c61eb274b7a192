#include "sims/location.h"

#include "platform/errorreporter.h"

namespace {

// The value that marks an installation and the value that holds its folder. The names differ in
// letter case only; the store compares names without regard to case.
QString detectionValue(qint32 simType)
{
    return simType == 0 ? QStringLiteral("path") : simType == 1 ? QStringLiteral("EXE path") : QStringLiteral("EXE Path");
}

QString folderValue(qint32 simType)
{
    return simType == 0 ? QStringLiteral("path") : QStringLiteral("EXE Path");
}

} // namespace

Location::Location(AppContext &context) : m_context(context)
{
    m_cfs2 = isInstalled(2);
    m_fs2000 = isInstalled(0);
    m_fs2002 = isInstalled(1);
    if (!m_cfs2 && !m_fs2000 && !m_fs2002) {
        if (!m_damaged.isEmpty()) {
            reportDamagedKeys();
            throw NoSimulatorInstalled{};
        }
        m_context.ui.inform(
            QStringLiteral("You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 Pro or MS Combat "
                           "Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first."),
            QStringLiteral("Can not run Lumivale"), UiPort::Icon::Information);
        throw NoSimulatorInstalled{};
    }
}

bool Location::isInstalled(qint32 simType)
{
    // An empty folder value marks no installation: there would be no folder to work in.
    bool exists = false;
    const QString key = installationKey(simType);
    const QString folder = m_context.settings.read(SettingsStore::Root::Machine, key, detectionValue(simType),
                                                   QString(), &exists);
    if (!exists) {
        const QString damage = m_context.settings.damage(SettingsStore::Root::Machine, key);
        if (!damage.isEmpty()) {
            m_damaged.append(
                LmError::user(KeyDamaged, QStringLiteral("The installation key HKEY_LOCAL_MACHINE\\%1 "
                                                         "of %2 could not be read: %3.")
                                              .arg(key, simulatorName(simType), damage)));
        }
    }
    return exists && !folder.isEmpty();
}

void Location::reportDamagedKeys() const
{
    for (const LmError &error : m_damaged)
        reportError(m_context.ui, QStringLiteral("Location.Class_Initialize"), error);
}

int Location::installedCount() const
{
    return int(m_fs2000) + int(m_fs2002) + int(m_cfs2);
}

void Location::DoClass_Initialize(qint32 &iFlySim)
{
    if (iFlySim >= 0 && iFlySim <= 2) {
        bool exists = false;
        const QString folder = m_context.settings.read(SettingsStore::Root::Machine, installationKey(iFlySim),
                                                       folderValue(iFlySim), QString(), &exists);
        if (exists)
            m_path = folder;
    }
    if (m_path.endsWith(QLatin1Char('\\')))
        m_path.chop(1);
}

QString Location::simulatorName(qint32 simType)
{
    switch (simType) {
    case 0: return QStringLiteral("Flight Simulator 2000");
    case 1: return QStringLiteral("Flight Simulator 2002");
    case 2: return QStringLiteral("Combat Flight Simulator 2");
    default: return {};
    }
}

QString Location::optionCaption(qint32 simType)
{
    switch (simType) {
    case 0: return QStringLiteral("Microsoft Flight Simulator 2000 (Pro)");
    case 1: return QStringLiteral("Microsoft Flight Simulator 2002 (Pro)");
    case 2: return QStringLiteral("Microsoft Combat Flight Simulator 2");
    default: return {};
    }
}

QString Location::installationKey(qint32 simType)
{
    switch (simType) {
    case 0: return QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\7.0");
    case 1: return QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0");
    case 2: return QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\2.0");
    default: return {};
    }
}
