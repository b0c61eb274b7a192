#pragma once

#include <QMap>
#include <QString>

#include <optional>

// Drive letters of the Windows world the program works in, each mapped to a host folder. Built
// from a Wine prefix ("dosdevices/c:" -> "../drive_c") or set explicitly.
class DriveMap
{
public:
    DriveMap() = default;

    // Reads the "dosdevices/<letter>:" links of a Wine prefix. A missing prefix gives an empty map.
    static DriveMap fromWinePrefix(const QString &prefixHostPath);
    // $WINEPREFIX, else ~/.wine.
    static QString defaultWinePrefix();

    void setDrive(QChar letter, const QString &hostFolder);
    // Upper-case letter -> absolute host folder, without a trailing "/" (except "/").
    const QMap<QChar, QString> &drives() const { return m_drives; }
    bool isEmpty() const { return m_drives.isEmpty(); }
    std::optional<QString> hostFolder(QChar letter) const;

private:
    QMap<QChar, QString> m_drives;
};
