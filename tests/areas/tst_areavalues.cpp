// Exclude and Flatten values: the checks that mark a value wrong, and the rows of the area editor
// a value loads into.

#include "areas/areavalues.h"
#include "platform/lmerror.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString ExclArea = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s;
const QString FlatArea =
    u"N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;

// The rows as the editor shows them: hemisphere, degrees, a blank and minutes ("S1_ 00.00").
QStringList shown(const QList<AreaRow> &rows)
{
    QStringList result;
    for (const AreaRow &row : rows)
        result << row.hemisphere + row.degrees + u' ' + row.minutes;
    return result;
}

} // namespace

class TestAreaValues : public QObject
{
    Q_OBJECT

private slots:
    void numberText()
    {
        QVERIFY(isNumericText(u"30.5"_s));
        QVERIFY(!isNumericText(QString()));
        QVERIFY(!isNumericText(u"30,5"_s));
    }

    void coordinateItem_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("latitude"); // else a longitude
        QTest::addColumn<bool>("wrong");
        QTest::newRow("latitude 90 59.99") << u"N90 59.99"_s << true << false;
        QTest::newRow("latitude 91") << u"N91 00.00"_s << true << true;
        QTest::newRow("minutes 60") << u"N47 60.00"_s << true << true;
        QTest::newRow("hemisphere X") << u"X47 00.00"_s << true << true;
        QTest::newRow("a hemisphere in lower case") << u"n47 30.00"_s << true << false;
        QTest::newRow("blanks after the hemisphere") << u"N  47 30.00"_s << true << false;
        QTest::newRow("longitude 180") << u"E180 00.00"_s << false << false;
        QTest::newRow("longitude 181") << u"E181 00.00"_s << false << true;
    }

    void coordinateItem()
    {
        QFETCH(QString, item);
        QFETCH(bool, latitude);
        QFETCH(bool, wrong);
        QCOMPARE(checkErrorItem(item, latitude ? CoordinateKind::Latitude : CoordinateKind::Longitude),
                 wrong);
    }

    // Four corners and one or two object classes, or "all" alone; a class may be abbreviated.
    void excludeValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("two classes") << ExclArea + u",objects,vors"_s << false;
        QTest::newRow("all") << ExclArea + u",all"_s << false;
        QTest::newRow("an abbreviated class") << ExclArea + u",OBJ"_s << false;
        QTest::newRow("all beside a class") << ExclArea + u",objects,all"_s << true;
        QTest::newRow("no class") << ExclArea << true;
        QTest::newRow("three classes") << ExclArea + u",objects,vors,ndbs"_s << true;
        QTest::newRow("an empty class") << ExclArea + u","_s << true;
        QTest::newRow("an unknown class") << ExclArea + u",roads"_s << true;
        QTest::newRow("a wrong corner") << u"N47 30.00,W122 15.00,N47 00.00,E190 00.00,objects"_s << true;
    }

    void excludeValue()
    {
        QFETCH(QString, value);
        QFETCH(bool, wrong);
        QCOMPARE(CheckErrorExclude(value), wrong);
    }

    // An elevation from -2000 to 99999 and eight corners.
    void flattenValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("-2000") << u"-2000,"_s + FlatArea << false;
        QTest::newRow("99999") << u"99999,"_s + FlatArea << false;
        QTest::newRow("100000") << u"100000,"_s + FlatArea << true;
        QTest::newRow("-2001") << u"-2001,"_s + FlatArea << true;
        QTest::newRow("letters in the elevation") << u"12a,"_s + FlatArea << true;
        QTest::newRow("the elevation alone") << u"120"_s << true;
        QTest::newRow("seven corners") << u"120,"_s + FlatArea.section(u',', 0, 6) << true;
        QTest::newRow("nine corners") << u"120,"_s + FlatArea + u",N47 00.00"_s << true;
        QTest::newRow("a wrong fifth corner")
            << u"120,"_s + FlatArea.section(u',', 0, 3) + u",S99 00.00,"_s + FlatArea.section(u',', 5)
            << true;
    }

    void flattenValue()
    {
        QFETCH(QString, value);
        QFETCH(bool, wrong);
        QCOMPARE(CheckErrorFlatten(value), wrong);
    }

    // A value loads into rows the editor can show; written back from them it takes its canonical
    // form, which loads into the same rows again.
    void load_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("short forms") << u"N47 30.5,W5 7.25,N46 0.00,W4 0.00"_s
                                     << QStringList{u"N47 30.50"_s, u"W005 07.25"_s, u"N46 00.00"_s,
                                                    u"W004 00.00"_s};
        QTest::newRow("eight corners") << FlatArea << FlatArea.split(u',');
        QTest::newRow("lower case, one-digit latitudes")
            << u"s1 00.00,e2 00.00,s3 00.00,e4 00.00"_s
            << QStringList{u"S1_ 00.00"_s, u"E002 00.00"_s, u"S3_ 00.00"_s, u"E004 00.00"_s};
        QTest::newRow("blanks after the hemisphere and around items")
            << u" N 47 30.00, W 122 15.00 ,N47 00.00,W121 45.00 "_s << ExclArea.split(u',');
        QTest::newRow("a blank for the point")
            << u"N47 30 50,W122 15.00,N47 00.00,W121 45.00"_s
            << QStringList{u"N47 30.50"_s, u"W122 15.00"_s, u"N47 00.00"_s, u"W121 45.00"_s};
        QTest::newRow("degrees without minutes")
            << u"N47,W122,N0,W0"_s
            << QStringList{u"N47 00.00"_s, u"W122 00.00"_s, u"N0_ 00.00"_s, u"W000 00.00"_s};
        QTest::newRow("fractions of a degree become minutes")
            << u"N47.5,W122.25 1.00,S0.01,E179.999"_s
            << QStringList{u"N47 30.00"_s, u"W122 16.00"_s, u"S0_ 00.60"_s, u"E179 59.94"_s};
        QTest::newRow("a fraction carries into the degrees")
            << u"N47.9 10.00,W1.9999999,N0,W0"_s
            << QStringList{u"N48 04.00"_s, u"W002 00.00"_s, u"N0_ 00.00"_s, u"W000 00.00"_s};
        QTest::newRow("half hundredths away from zero")
            << u"N1 30.125,W1 30.124,N1 30.005,W1 0.995"_s
            << QStringList{u"N1_ 30.13"_s, u"W001 30.12"_s, u"N1_ 30.01"_s, u"W001 01.00"_s};
        QTest::newRow("minutes below 60 stay below 60")
            << u"N1 59.996,W1 59.99,N2 0,W2 0"_s
            << QStringList{u"N1_ 59.99"_s, u"W001 59.99"_s, u"N2_ 00.00"_s, u"W002 00.00"_s};
        QTest::newRow("out of range, but fitting the rows")
            << u"N95 75.00,W999 00.00,N0 0,W0 0"_s
            << QStringList{u"N95 75.00"_s, u"W999 00.00"_s, u"N0_ 00.00"_s, u"W000 00.00"_s};
    }

    void load()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        const QList<AreaRow> loaded = AreaText::rowsFromText(text);
        QCOMPARE(shown(loaded), rows);
        const QString canonical = AreaText::textFromRows(loaded, int(loaded.size()));
        QCOMPARE(canonical, rows.join(u',').remove(AreaText::Unfilled));
        QCOMPARE(shown(AreaText::rowsFromText(canonical)), rows);
    }

    void loadRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("a class left on") << ExclArea + u",objects"_s;
        QTest::newRow("three latitude digits") << u"N47 30.00,W122 15.00,N147 00.00,W121 45.00"_s;
        QTest::newRow("negative degrees") << u"S-5 00.00,W122 15.00,N47 00.00,W121 45.00"_s;
    }

    void loadRefused()
    {
        QFETCH(QString, text);
        try {
            AreaText::rowsFromText(text);
            QFAIL("loaded");
        } catch (const LmError &e) {
            QCOMPARE(e.number(), LmError::UserBase + 1);
            QCOMPARE(e.description(), u"Wrong coordinate"_s);
            QCOMPARE(e.source(), u"Area"_s);
        }
    }

    void loadIgnoresLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QList<AreaRow> rows = AreaText::rowsFromText(u"N47 30.5,W5 7.25,N46 0.00,W4 0.00"_s);
        const bool checked = !CheckErrorFlatten(u"12.5,"_s + FlatArea);
        QLocale::setDefault(saved);
        QCOMPARE(AreaText::textFromRows(rows, 4), u"N47 30.50,W005 07.25,N46 00.00,W004 00.00"_s);
        QVERIFY(checked);
    }
};

QTEST_GUILESS_MAIN(TestAreaValues)
#include "tst_areavalues.moc"
