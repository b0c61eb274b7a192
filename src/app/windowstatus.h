#pragma once

#include "platform/appcontext.h"
#include "platform/drives.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class SceneryManager;

// What the main window says about itself: its title, the status bar and the free-space label.
// Every command writes its phrase into the status text when it starts and "Ready." when it ends.
class WindowStatus : public QObject
{
    Q_OBJECT
public:
    // The status bar stbStatus: panel 1 the status text, 2 the level count, 3 the scenery count,
    // 4 the members of the displayed set; the warning picture belongs to panel 4.
    struct StatusBar
    {
        std::array<QString, 4> panels;
        bool warningPicture = false;
    };
    // The computer's drives in their order, for the free-space label.
    using DriveSource = std::function<QList<DriveInfo>()>;

    static constexpr int FreeSpaceInterval = 4000; // milliseconds between two tmrFreeSpace_Timer
    // One more member than a Scenery.cfg can take shows the warning picture.
    static constexpr qsizetype WarningMembers = 333;

    WindowStatus(AppContext &context, const SceneryManager &manager, QObject *parent = nullptr);

    // Puts a text into panel 1.
    void Display(const QString &message);
    // Panels 2 to 4: the levels and sceneries of the library and the members of the displayed set.
    void showCounts(qsizetype levels, qsizetype sceneries, qsizetype members);
    const StatusBar &stbStatus() const { return m_status; }

    // "Lumivale 1.6 - " and the selected simulator's name.
    void setTitle();
    const QString &Caption() const { return m_caption; }

    // Shows the free space of the next fixed disk.
    void tmrFreeSpace_Timer();
    const QString &lblFreeSpace() const { return m_freeSpace; }
    // The drives the free-space label walks; the drives of the file system's drive map when unset.
    void setDriveSource(DriveSource drives) { m_drives = std::move(drives); }

signals:
    void captionChanged();
    // A status panel or the warning picture changed.
    void statusChanged();
    void freeSpaceChanged();

private:
    AppContext &m_context;
    const SceneryManager &m_manager;
    DriveSource m_drives;
    StatusBar m_status;
    QString m_caption;
    QString m_freeSpace;
    int m_driveCounter = 0;
};
