#include "app/frmscenery.h"

#include "settings/programsettings.h"

#include <cmath>

namespace {
constexpr double MinimumHeight = 7765;
constexpr double MinimumWidth = 11010;
}

std::optional<frmScenery::Layout> frmScenery::Form_Resize()
{
    std::optional<Layout> result;
    guarded("Form_Resize", [&] {
        m_context.ui.processEvents();
        if (m_placement.windowState == 1)
            return;
        // Growing the window makes the view resize again, which comes back here.
        if (m_placement.height < DesignHeight) {
            m_placement.height = MinimumHeight;
            emit placementChanged();
            return;
        }
        if (m_placement.width < DesignWidth) {
            m_placement.width = MinimumWidth;
            emit placementChanged();
            return;
        }
        const int dx = int(std::nearbyint(m_placement.width - DesignWidth));
        Layout layout;
        layout.trvSceneryWidth = dx + 4815;
        layout.trvSceneryHeight = int(std::nearbyint(m_placement.height)) - 2000;
        layout.lblSetLeft = dx + 4965;
        layout.cboScenerySetLeft = dx + 5400;
        layout.cmdChangeFlightSimSetLeft = dx + 7680;
        layout.lblFreeSpaceLeft = dx + 8400;
        layout.tbsSceneryLeft = dx + 4905;
        layout.tbsSceneryHeight = layout.trvSceneryHeight;
        layout.framesLeft = dx + 4965;
        layout.framesHeight = layout.tbsSceneryHeight - 480;
        layout.trvMoveToHeight = layout.framesHeight - 480;
        layout.lvwFileListHeight = layout.framesHeight - 480 - 400;
        result = layout;
        if (m_placement.windowState == 0)
            WriteSize();
    });
    return result;
}

void frmScenery::WriteSize()
{
    guarded("WriteSize", [&] {
        m_settings->setFormPlacement(float(m_placement.height), float(m_placement.left), float(m_placement.top),
                                     float(m_placement.width), m_placement.windowState);
    });
}

void frmScenery::ReadSize()
{
    guarded("ReadSize", [&] {
        Placement placement = m_placement;
        if (const std::optional<qint32> state = m_settings->formWindowState())
            placement.windowState = *state;
        if (const std::optional<double> height = m_settings->formHeight())
            placement.height = std::nearbyint(*height);
        if (const std::optional<double> left = m_settings->formLeft())
            placement.left = std::nearbyint(*left);
        if (const std::optional<double> top = m_settings->formTop())
            placement.top = std::nearbyint(*top);
        if (const std::optional<double> width = m_settings->formWidth())
            placement.width = std::nearbyint(*width);
        m_placement = placement;
        emit placementChanged();
    });
}

void frmScenery::tmrFreeSpace_Timer()
{
    guarded("tmrFreeSpace_Timer", [&] {
        const QList<DriveInfo> drives = m_drives ? m_drives() : listDrives(m_context.fs.driveMap());
        const int count = int(drives.size());
        if (count == 0)
            return;
        if (m_driveCounter >= count)
            m_driveCounter = 0;
        // Successive ticks show the fixed disks in turn; without any, one full pass ends the walk.
        const DriveInfo *shown = nullptr;
        for (int step = 0; step < count && !shown; ++step) {
            const DriveInfo &drive = drives.at(m_driveCounter);
            m_driveCounter = (m_driveCounter + 1) % count;
            if (drive.fixed)
                shown = &drive;
        }
        if (!shown || !shown->ready)
            return;
        const QString text = QStringLiteral("Free space on ") + shown->letter + QStringLiteral(": ")
                             + QString::number(shown->freeBytes / 1024 / 1024) + QStringLiteral(" MB");
        if (text != m_freeSpace) {
            m_freeSpace = text;
            emit freeSpaceChanged();
        }
    });
}
