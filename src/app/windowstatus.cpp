#include "app/windowstatus.h"

#include "app/windowprocedure.h"
#include "library/scenerymanager.h"
#include "sims/location.h"

WindowStatus::WindowStatus(AppContext &context, const SceneryManager &manager, QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager)
{}

void WindowStatus::Display(const QString &message)
{
    if (m_status.panels[0] == message)
        return;
    m_status.panels[0] = message;
    emit statusChanged();
}

void WindowStatus::showCounts(qsizetype levels, qsizetype sceneries, qsizetype members)
{
    StatusBar status = m_status;
    status.panels[1] = QStringLiteral("Level: ") + QString::number(levels);
    status.panels[2] = QStringLiteral("Sceneries: ") + QString::number(sceneries);
    status.panels[3] = QStringLiteral("Sceneries in Set: ") + QString::number(members) +
                       QStringLiteral(" / ") + QString::number(sceneries);
    status.warningPicture = members >= WarningMembers;
    if (status.panels == m_status.panels && status.warningPicture == m_status.warningPicture)
        return;
    m_status = status;
    emit statusChanged();
}

void WindowStatus::setTitle()
{
    const QString caption = QStringLiteral("Lumivale 1.6 - ") + Location::simulatorName(m_manager.SimType);
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged();
}

void WindowStatus::tmrFreeSpace_Timer()
{
    guarded(m_context.ui, "tmrFreeSpace_Timer", [&] {
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
        const QString text = QStringLiteral("Free space on ") + shown->letter + QStringLiteral(": ") +
                             QString::number(shown->freeBytes / 1024 / 1024) + QStringLiteral(" MB");
        if (text != m_freeSpace) {
            m_freeSpace = text;
            emit freeSpaceChanged();
        }
    });
}
