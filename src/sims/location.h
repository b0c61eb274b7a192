#pragma once

#include "platform/appcontext.h"

#include <QList>
#include <QString>

// Thrown when no simulator is installed; the message has been shown and the program ends.
struct NoSimulatorInstalled
{
};

// One lookup of the installed simulators. Creating it detects which of the three are installed
// (Combat Flight Simulator 2, then 2000, then 2002); when none is, it shows "You must install
// MS Flightsimulator 2000 or ..." and throws NoSimulatorInstalled. An installation key that could
// not be read (a damaged or unreadable registry file) counts as not installed and is named by
// reportDamagedKeys(); when no simulator is found, that report is shown instead of the
// message, which would send the user to install what is installed.
class Location
{
public:
    // Offset from the user error base: an installation key could not be read.
    static constexpr qint32 KeyDamaged = 111;

    explicit Location(AppContext &context);

    bool FS2002installed() const { return m_fs2002; }
    bool FS2000installed() const { return m_fs2000; }
    bool CFS2installed() const { return m_cfs2; }
    // Installation folder found by the last DoClass_Initialize, without a trailing "\".
    const QString &Path() const { return m_path; }

    void DoClass_Initialize(qint32 &iFlySim);

    // "Flight Simulator 2000", "Flight Simulator 2002", "Combat Flight Simulator 2"; "" otherwise.
    static QString simulatorName(qint32 simType);
    // The option captions of the simulator chooser.
    static QString optionCaption(qint32 simType);
    static QString installationKey(qint32 simType);

    // How many of the three simulators were found.
    int installedCount() const;

    // The installation keys that could not be read, each as one failure naming the key, the
    // simulator and the damage.
    const QList<LmError> &damagedKeys() const { return m_damaged; }
    void reportDamagedKeys() const;

private:
    bool isInstalled(qint32 simType);

    AppContext &m_context;
    bool m_fs2002 = false;
    bool m_fs2000 = false;
    bool m_cfs2 = false;
    QString m_path;
    QList<LmError> m_damaged;
};
