#pragma once

#include "platform/drivemap.h"

#include <QChar>
#include <QList>

// One drive of the computer as the free-space display walks them.
struct DriveInfo
{
    QChar letter;
    bool fixed = false;   // a fixed disk, not a removable, network or optical drive
    bool ready = false;   // a medium is present and can be read
    qint64 freeBytes = 0; // free to the user, 0 when not ready
};

// The drives in letter order. On Windows the mounted volumes; elsewhere the mapped drive letters,
// each a fixed, ready disk when its host folder exists.
QList<DriveInfo> listDrives(const DriveMap &drives);
