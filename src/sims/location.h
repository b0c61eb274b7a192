#pragma once

#include "platform/appcontext.h"

#include <QString>

// One lookup of the installed simulators. Creating it detects which of the three are installed
// (Combat Flight Simulator 2, then 2000, then 2002); when none is, it shows "You must install
// MS Flightsimulator 2000 or ..." and throws NoSimulatorInstalled.
class Location
{
public:
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

private:
    bool isInstalled(qint32 simType) const;

    AppContext &m_context;
    bool m_fs2002 = false;
    bool m_fs2000 = false;
    bool m_cfs2 = false;
    QString m_path;
};
