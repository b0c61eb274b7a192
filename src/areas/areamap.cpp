#include "areas/areamap.h"

#include "areas/areavalues.h"

#include <QDataStream>

#include <algorithm>

namespace {

// An area spans less than half the world: longitudes further apart than that go round the back.
QList<QPointF> acrossTheDateLine(QList<QPointF> points)
{
    const auto [west, east] = std::minmax_element(points.cbegin(), points.cend(),
                                                  [](QPointF a, QPointF b) { return a.x() < b.x(); });
    if (east->x() - west->x() <= 180.0)
        return points;
    for (QPointF &point : points) {
        if (point.x() < 0.0)
            point.rx() += 360.0;
    }
    return points;
}

std::optional<QList<QPointF>> points(const QStringList &items)
{
    QList<QPointF> result;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        const std::optional<QPointF> point = AreaMap::mapPoint(items.at(i), items.at(i + 1));
        if (!point)
            return std::nullopt;
        result.append(*point);
    }
    return acrossTheDateLine(result);
}

constexpr quint32 LandMagic = 0x444C564C; // "LVLD"
constexpr quint32 LandVersion = 1;
constexpr double LandUnit = 100000.0; // units of 1e-5 degree

} // namespace

std::optional<QPointF> AreaMap::mapPoint(const QString &latitude, const QString &longitude)
{
    const std::optional<double> lat = itemDegrees(latitude, CoordinateKind::Latitude);
    const std::optional<double> lon = itemDegrees(longitude, CoordinateKind::Longitude);
    if (!lat || !lon)
        return std::nullopt;
    return QPointF(*lon, -*lat);
}

std::optional<AreaMap::Shape> AreaMap::excludeShape(const QString &value)
{
    const QStringList items = value.split(QLatin1Char(','));
    if (items.size() < 4)
        return std::nullopt;
    const std::optional<QList<QPointF>> corners = points(items.mid(0, 4));
    if (!corners)
        return std::nullopt;
    const QPointF a = corners->at(0);
    const QPointF b = corners->at(1);
    return Shape{{a, QPointF(b.x(), a.y()), b, QPointF(a.x(), b.y())}, !CheckErrorExclude(value)};
}

std::optional<AreaMap::Shape> AreaMap::flattenShape(const QString &value)
{
    const QStringList items = value.split(QLatin1Char(','));
    if (items.size() < 9)
        return std::nullopt;
    const std::optional<QList<QPointF>> corners = points(items.mid(1, 8));
    if (!corners)
        return std::nullopt;
    return Shape{*corners, !CheckErrorFlatten(value)};
}

std::optional<QList<QList<QPointF>>> AreaMap::readLand(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    quint32 magic = 0, version = 0, ringCount = 0, pointCount = 0;
    in >> magic >> version >> ringCount >> pointCount;
    if (in.status() != QDataStream::Ok || magic != LandMagic || version != LandVersion ||
        quint64(bytes.size()) != 16 + 4 * quint64(ringCount) + 8 * quint64(pointCount))
        return std::nullopt;
    QList<QList<QPointF>> rings;
    rings.reserve(ringCount);
    quint64 read = 0;
    for (quint32 r = 0; r < ringCount; ++r) {
        quint32 n = 0;
        in >> n;
        read += n;
        if (in.status() != QDataStream::Ok || n < 3 || read > pointCount)
            return std::nullopt;
        QList<QPointF> ring;
        ring.reserve(n);
        for (quint32 i = 0; i < n; ++i) {
            qint32 lon = 0, lat = 0;
            in >> lon >> lat;
            ring.append(QPointF(lon / LandUnit, -lat / LandUnit));
        }
        rings.append(ring);
    }
    if (in.status() != QDataStream::Ok || read != pointCount)
        return std::nullopt;
    return rings;
}
