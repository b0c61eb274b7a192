#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

// The areas of a scenery as shapes on a world map. A map point is (longitude, -latitude) in
// degrees: east and north positive, so x grows to the east and y to the south, as on the screen.
namespace AreaMap {

// One point from its latitude and longitude items; nothing when either fails its check.
std::optional<QPointF> mapPoint(const QString &latitude, const QString &longitude);

// An area on the map: its corners in the order they were given (the exclusion rectangle's four
// made from its two opposite corners, a flattening area's four points), and whether the whole
// value passes its check (a wrong class or elevation leaves the corners drawable).
struct Shape
{
    QList<QPointF> corners;
    bool wellFormed = false;
};

// An area reaching across the date line (its longitudes more than 180 degrees apart) is kept whole
// by moving its western points one turn east, beyond 180. Nothing when a coordinate of it cannot
// be read.
std::optional<Shape> excludeShape(const QString &value);
std::optional<Shape> flattenShape(const QString &value);

// Land outlines: rings of map points, read from the program's land file (data/map/land.bin, as
// data/README.md describes it). Nothing when the bytes are not such a file.
std::optional<QList<QList<QPointF>>> readLand(const QByteArray &bytes);

} // namespace AreaMap
