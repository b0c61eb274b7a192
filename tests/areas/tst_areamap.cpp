// Areas on the world map: the text forms to map points, the hemispheres, the date line, and the
// shipped land outlines.

#include "areas/areamap.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

using Points = QList<QPointF>;

namespace {

// Points compared to a hundredth of a minute.
bool samePoints(const std::optional<Points> &actual, const std::optional<Points> &expected)
{
    if (actual.has_value() != expected.has_value()) {
        qWarning() << "shape" << (actual ? "present" : "missing") << "expected"
                   << (expected ? "present" : "missing");
        return false;
    }
    if (!actual)
        return true;
    if (actual->size() != expected->size()) {
        qWarning() << "points:" << actual->size() << "expected" << expected->size();
        return false;
    }
    for (qsizetype i = 0; i < actual->size(); ++i) {
        const QPointF d = actual->at(i) - expected->at(i);
        if (qAbs(d.x()) > 1e-4 || qAbs(d.y()) > 1e-4) {
            qWarning() << "point" << i << actual->at(i) << "expected" << expected->at(i);
            return false;
        }
    }
    return true;
}

QByteArray shippedLand()
{
    QFile file(QStringLiteral(LUMIVALE_TEST_DATA "/../../data/map/land.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAreaMap : public QObject
{
    Q_OBJECT

private slots:
    void points_data();
    void points();
    void excludeShape_data();
    void excludeShape();
    void flattenShape_data();
    void flattenShape();
    void land();
    void damagedLand_data();
    void damagedLand();
};

void TestAreaMap::points_data()
{
    QTest::addColumn<QString>("latitude");
    QTest::addColumn<QString>("longitude");
    QTest::addColumn<std::optional<Points>>("point");

    QTest::newRow("north east") << u"N47 30.00"_s << u"E008 30.00"_s << std::optional(Points{{8.5, -47.5}});
    QTest::newRow("south west") << u"S33 52.50"_s << u"W151 12.30"_s
                                << std::optional(Points{{-(151 + 12.3 / 60), 33 + 52.5 / 60}});
    QTest::newRow("letter case, blank for the point")
        << u"s0 30 30"_s << u"w0 0.60"_s << std::optional(Points{{-0.01, 30.3 / 60}});
    QTest::newRow("the poles and the date line")
        << u"N90 00.00"_s << u"W180 00.00"_s << std::optional(Points{{-180, -90}});
    QTest::newRow("latitude for longitude") << u"E008 30.00"_s << u"N47 30.00"_s << std::optional<Points>();
    QTest::newRow("minutes out of range") << u"N47 60.00"_s << u"E008 30.00"_s << std::optional<Points>();
}

void TestAreaMap::points()
{
    QFETCH(QString, latitude);
    QFETCH(QString, longitude);
    QFETCH(std::optional<Points>, point);
    const std::optional<QPointF> actual = AreaMap::mapPoint(latitude, longitude);
    QVERIFY(samePoints(actual ? std::optional(Points{*actual}) : std::nullopt, point));
}

void TestAreaMap::excludeShape_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<std::optional<Points>>("corners");
    QTest::addColumn<bool>("wellFormed");

    const Points seattle{{-122.25, -47.5}, {-121.75, -47.5}, {-121.75, -47}, {-122.25, -47}};
    QTest::newRow("two corners, four made")
        << u"N47 30.00,W122 15.00,N47 00.00,W121 45.00,objects"_s << std::optional(seattle) << true;
    QTest::newRow("across the date line")
        << u"N10 00.00,E179 00.00,S10 00.00,W179 00.00,all"_s
        << std::optional(Points{{179, -10}, {181, -10}, {181, 10}, {179, 10}}) << true;
    QTest::newRow("no class: drawn, failing its check")
        << u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s << std::optional(seattle) << false;
    QTest::newRow("a coordinate that cannot be read")
        << u"N47 30.00,W122 15.00,N47 00.00,X121 45.00,all"_s << std::optional<Points>() << false;
}

void TestAreaMap::excludeShape()
{
    QFETCH(QString, value);
    QFETCH(std::optional<Points>, corners);
    QFETCH(bool, wellFormed);
    const std::optional<AreaMap::Shape> shape = AreaMap::excludeShape(value);
    QVERIFY(samePoints(shape ? std::optional(shape->corners) : std::nullopt, corners));
    if (shape)
        QCOMPARE(shape->wellFormed, wellFormed);
}

void TestAreaMap::flattenShape_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<std::optional<Points>>("corners");
    QTest::addColumn<bool>("wellFormed");

    QTest::newRow("four points in their order")
        << u"120,N47 30.00,W122 15.00,N47 30.00,W121 45.00,S47 00.00,W121 45.00,S47 00.00,W122 15.00"_s
        << std::optional(Points{{-122.25, -47.5}, {-121.75, -47.5}, {-121.75, 47}, {-122.25, 47}}) << true;
    QTest::newRow("across the date line")
        << u"-20,S16 00.00,E179 30.00,S16 00.00,W179 30.00,S17 00.00,W179 30.00,S17 00.00,E179 30.00"_s
        << std::optional(Points{{179.5, 16}, {180.5, 16}, {180.5, 17}, {179.5, 17}}) << true;
    QTest::newRow("wide but not across")
        << u"0,N0 00.00,W090 00.00,N0 00.00,E090 00.00,S1 00.00,E090 00.00,S1 00.00,W090 00.00"_s
        << std::optional(Points{{-90, 0}, {90, 0}, {90, 1}, {-90, 1}}) << true;
    QTest::newRow("elevation out of range: drawn, failing its check")
        << u"100000,N47 30.00,W122 15.00,N47 30.00,W121 45.00,N47 00.00,W121 45.00,N47 00.00,W122 15.00"_s
        << std::optional(Points{{-122.25, -47.5}, {-121.75, -47.5}, {-121.75, -47}, {-122.25, -47}}) << false;
    QTest::newRow("three points") << u"0,N47 30.00,W122 15.00,N47 30.00,W121 45.00,N47 00.00,W121 45.00"_s
                                  << std::optional<Points>() << false;
}

void TestAreaMap::flattenShape()
{
    QFETCH(QString, value);
    QFETCH(std::optional<Points>, corners);
    QFETCH(bool, wellFormed);
    const std::optional<AreaMap::Shape> shape = AreaMap::flattenShape(value);
    QVERIFY(samePoints(shape ? std::optional(shape->corners) : std::nullopt, corners));
    if (shape)
        QCOMPARE(shape->wellFormed, wellFormed);
}

void TestAreaMap::land()
{
    const QByteArray bytes = shippedLand();
    QVERIFY(!bytes.isEmpty());
    const std::optional<QList<Points>> rings = AreaMap::readLand(bytes);
    QVERIFY(rings);
    QCOMPARE(rings->size(), 1421);
    qsizetype points = 0;
    double west = 0, east = 0, north = 0, south = 0; // y grows to the south
    for (const Points &ring : *rings) {
        points += ring.size();
        for (const QPointF &p : ring) {
            west = qMin(west, p.x());
            east = qMax(east, p.x());
            north = qMin(north, p.y());
            south = qMax(south, p.y());
        }
    }
    QCOMPARE(points, 58956);
    QCOMPARE(west, -180.0);
    QCOMPARE(east, 180.0);
    // Antarctica closes along the south pole, at the bottom of the map; no land reaches the north pole.
    QCOMPARE(south, 90.0);
    QVERIFY2(north > -84 && north < -80, qPrintable(QString::number(north)));
}

void TestAreaMap::damagedLand_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray bytes = shippedLand();
    QTest::newRow("cut short") << bytes.left(bytes.size() - 8);
    QByteArray magic = bytes;
    magic[0] = 'X';
    QTest::newRow("another magic") << magic;
    QByteArray counts = bytes;
    counts[16] = char(counts.at(16) + 1); // the first ring claims a point more than the total leaves
    QTest::newRow("ring counts off the total") << counts;
    QTest::newRow("empty") << QByteArray();
}

void TestAreaMap::damagedLand()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!AreaMap::readLand(bytes));
}

QTEST_GUILESS_MAIN(TestAreaMap)
#include "tst_areamap.moc"
