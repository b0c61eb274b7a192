#include "areas/areavalues.h"
#include "platform/lmerror.h"

#include <QLocale>
#include <QTest>

namespace {
const QString ExclArea = QStringLiteral("N47 30.00,W122 15.00,N47 00.00,W121 45.00");
const QString FlatArea = QStringLiteral(
    "N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00");

// "N|47|30.50;W|005|07.25" - easy to read in a data row.
QString describe(const QList<AreaRow> &rows)
{
    QStringList parts;
    for (const AreaRow &row : rows)
        parts.append(row.hemisphere + QLatin1Char('|') + row.degrees + QLatin1Char('|') + row.minutes);
    return parts.join(QLatin1Char(';'));
}
}

class TestAreaValues : public QObject
{
    Q_OBJECT

private slots:
    void numericText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("digits") << "47" << true;
        QTest::newRow("decimal") << "47.25" << true;
        QTest::newRow("minus") << "-2000" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("no digits after point") << "30." << false;
        QTest::newRow("no digits before point") << ".5" << false;
        QTest::newRow("comma decimal") << "30,5" << false;
        QTest::newRow("exponent") << "1e3" << false;
    }

    void numericText()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(isNumericText(text), numeric);
    }

    void item_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("latitude");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("latitude") << "N47 30.50" << true << false;
        QTest::newRow("longitude") << "W122 07.25" << false << false;
        QTest::newRow("latitude 90 59.99") << "N90 59.99" << true << false;
        QTest::newRow("latitude 91") << "N91 00.00" << true << true;
        QTest::newRow("hemisphere X") << "X47 00.00" << true << true;
        QTest::newRow("minutes 60") << "N47 60.00" << true << true;
        QTest::newRow("longitude 180") << "E180 00.00" << false << false;
        QTest::newRow("longitude 181") << "E181 00.00" << false << true;
        QTest::newRow("lower-case hemisphere") << "n47 30.00" << true << false;
        QTest::newRow("blanks after hemisphere") << "N  47 30.00" << true << false;
        QTest::newRow("blank for the point") << "N47 30 50" << true << false;
        QTest::newRow("degrees with fraction") << "N47.5" << true << false;
        QTest::newRow("one character") << "N" << true << true;
        QTest::newRow("two inner blanks") << "N47  30.00" << true << true;
        QTest::newRow("east as latitude") << "E47 30.00" << true << true;
        QTest::newRow("north as longitude") << "N47 30.00" << false << true;
        QTest::newRow("negative degrees") << "N-1 00.00" << true << true;
        QTest::newRow("comma minutes") << "N47 30,50" << true << true;
        QTest::newRow("minutes just below 60") << "W10 59.999" << false << false;
    }

    void item()
    {
        QFETCH(QString, item);
        QFETCH(bool, latitude);
        QFETCH(bool, wrong);
        QCOMPARE(checkErrorItem(item, latitude ? CoordinateKind::Latitude : CoordinateKind::Longitude), wrong);
    }

    void coordinateList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("four") << ExclArea << 4 << false;
        QTest::newRow("eight") << FlatArea << 8 << false;
        QTest::newRow("four where eight wanted") << ExclArea << 8 << true;
        QTest::newRow("trailing comma") << ExclArea + QLatin1Char(',') << 4 << true;
        QTest::newRow("latitude and longitude swapped")
            << "W122 15.00,N47 30.00,N47 00.00,W121 45.00" << 4 << true;
        QTest::newRow("third item wrong") << "N47 30.00,W122 15.00,N95 00.00,W121 45.00" << 4 << true;
        QTest::newRow("empty") << "" << 4 << true;
    }

    void coordinateList()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(bool, wrong);
        QCOMPARE(CheckErrorCoordinate(text, count), wrong);
    }

    void exclude_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("objects") << ExclArea + QStringLiteral(",OBJECTS") << false;
        QTest::newRow("objects, vors") << ExclArea + QStringLiteral(",objects,vors") << false;
        QTest::newRow("objects, all") << ExclArea + QStringLiteral(",objects,all") << true;
        QTest::newRow("all") << ExclArea + QStringLiteral(",all") << false;
        QTest::newRow("four items") << ExclArea << true;
        QTest::newRow("seven items") << ExclArea + QStringLiteral(",objects,vors,ndbs") << true;
        QTest::newRow("abbreviated class") << ExclArea + QStringLiteral(",OBJ") << false;
        QTest::newRow("empty class") << ExclArea + QStringLiteral(",") << true;
        QTest::newRow("unknown class") << ExclArea + QStringLiteral(",roads") << true;
        QTest::newRow("bad point") << "N47 30.00,W122 15.00,N47 00.00,E190 00.00,objects" << true;
        QTest::newRow("empty") << "" << true;
    }

    void exclude()
    {
        QFETCH(QString, text);
        QFETCH(bool, wrong);
        QCOMPARE(CheckErrorExclude(text), wrong);
    }

    void flatten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wrong");
        const QString comma = QStringLiteral(",");
        QTest::newRow("120") << QStringLiteral("120,") + FlatArea << false;
        QTest::newRow("-2000") << QStringLiteral("-2000,") + FlatArea << false;
        QTest::newRow("99999") << QStringLiteral("99999,") + FlatArea << false;
        QTest::newRow("100000") << QStringLiteral("100000,") + FlatArea << true;
        QTest::newRow("-2001") << QStringLiteral("-2001,") + FlatArea << true;
        QTest::newRow("decimal elevation") << QStringLiteral("12.5,") + FlatArea << false;
        QTest::newRow("empty elevation") << comma + FlatArea << true;
        QTest::newRow("letters in elevation") << QStringLiteral("12a,") + FlatArea << true;
        QTest::newRow("no comma") << "120" << true;
        QTest::newRow("seven items") << QStringLiteral("120,") + FlatArea.section(comma, 0, 6) << true;
        QTest::newRow("nine items") << QStringLiteral("120,") + FlatArea + QStringLiteral(",N47 00.00") << true;
        QTest::newRow("four items") << QStringLiteral("120,") + ExclArea << true;
        QTest::newRow("bad fifth item")
            << QStringLiteral("120,") + FlatArea.section(comma, 0, 3) + QStringLiteral(",S99 00.00,")
                   + FlatArea.section(comma, 5)
            << true;
    }

    void flatten()
    {
        QFETCH(QString, text);
        QFETCH(bool, wrong);
        QCOMPARE(CheckErrorFlatten(text), wrong);
    }

    void load_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("short forms")
            << "N47 30.5,W5 7.25,N46 0.00,W4 0.00"
            << "N|47|30.50;W|005|07.25;N|46|00.00;W|004|00.00"
            << "N47 30.50,W005 07.25,N46 00.00,W004 00.00";
        QTest::newRow("canonical four") << ExclArea << "N|47|30.00;W|122|15.00;N|47|00.00;W|121|45.00" << ExclArea;
        QTest::newRow("canonical eight")
            << FlatArea
            << "N|47|30.00;W|122|15.00;N|47|00.00;W|122|15.00;N|47|00.00;W|121|45.00;N|47|30.00;W|121|45.00"
            << FlatArea;
        QTest::newRow("lower case")
            << "s1 00.00,e2 00.00,s3 00.00,e4 00.00"
            << "S|1_|00.00;E|002|00.00;S|3_|00.00;E|004|00.00" << "S1 00.00,E002 00.00,S3 00.00,E004 00.00";
        QTest::newRow("blanks after hemisphere and around items")
            << " N 47 30.00, W 122 15.00 ,N47 00.00,W121 45.00 "
            << "N|47|30.00;W|122|15.00;N|47|00.00;W|121|45.00" << ExclArea;
        QTest::newRow("blank for the point")
            << "N47 30 50,W122 15.00,N47 00.00,W121 45.00"
            << "N|47|30.50;W|122|15.00;N|47|00.00;W|121|45.00"
            << "N47 30.50,W122 15.00,N47 00.00,W121 45.00";
        QTest::newRow("degrees without minutes")
            << "N47,W122,N0,W0" << "N|47|00.00;W|122|00.00;N|0_|00.00;W|000|00.00"
            << "N47 00.00,W122 00.00,N0 00.00,W000 00.00";
        QTest::newRow("degree fractions become minutes")
            << "N47.5,W122.25 1.00,S0.01,E179.999"
            << "N|47|30.00;W|122|16.00;S|0_|00.60;E|179|59.94"
            << "N47 30.00,W122 16.00,S0 00.60,E179 59.94";
        QTest::newRow("degree fraction carries into degrees")
            << "N47.9 10.00,W1.9999999,N0,W0" << "N|48|04.00;W|002|00.00;N|0_|00.00;W|000|00.00"
            << "N48 04.00,W002 00.00,N0 00.00,W000 00.00";
        QTest::newRow("half hundredths round away from zero")
            << "N1 30.125,W1 30.124,N1 30.005,W1 0.995"
            << "N|1_|30.13;W|001|30.12;N|1_|30.01;W|001|01.00"
            << "N1 30.13,W001 30.12,N1 30.01,W001 01.00";
        QTest::newRow("three decimals are not hundredths")
            << "N1 30.123,W1 30.05,N1 30.5,W1 7"
            << "N|1_|30.12;W|001|30.05;N|1_|30.50;W|001|07.00"
            << "N1 30.12,W001 30.05,N1 30.50,W001 07.00";
        QTest::newRow("minutes below 60 stay below 60")
            << "N1 59.996,W1 59.99,N2 0,W2 0"
            << "N|1_|59.99;W|001|59.99;N|2_|00.00;W|002|00.00"
            << "N1 59.99,W001 59.99,N2 00.00,W002 00.00";
        QTest::newRow("leading zeros")
            << "N047 05.00,W0005 00.5,N00 0,E000 0" << "N|47|05.00;W|005|00.50;N|0_|00.00;E|000|00.00"
            << "N47 05.00,W005 00.50,N0 00.00,E000 00.00";
        QTest::newRow("out of range but fits the rows")
            << "N95 75.00,W999 00.00,N0 0,W0 0" << "N|95|75.00;W|999|00.00;N|0_|00.00;W|000|00.00"
            << "N95 75.00,W999 00.00,N0 00.00,W000 00.00";
    }

    void load()
    {
        QFETCH(QString, text);
        QFETCH(QString, rows);
        QFETCH(QString, readBack);
        const QList<AreaRow> loaded = AreaText::rowsFromText(text);
        QCOMPARE(describe(loaded), rows);
        QCOMPARE(AreaText::textFromRows(loaded, int(loaded.size())), readBack);
        // The canonical form loads to the same rows again.
        QCOMPARE(describe(AreaText::rowsFromText(readBack)), rows);
    }

    void loadRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("one character") << "N";
        QTest::newRow("three items") << "N47 30.00,W122 15.00,N47 00.00";
        QTest::newRow("nine items") << FlatArea + QStringLiteral(",N47 00.00");
        QTest::newRow("classes left on") << ExclArea + QStringLiteral(",objects");
        QTest::newRow("unknown hemisphere") << "X47 30.00,W122 15.00,N47 00.00,W121 45.00";
        QTest::newRow("three latitude digits") << "N47 30.00,W122 15.00,N147 00.00,W121 45.00";
        QTest::newRow("four longitude digits") << "N47 30.00,W1220 15.00,N47 00.00,W121 45.00";
        QTest::newRow("minutes above 99.99") << "N47 100.00,W122 15.00,N47 00.00,W121 45.00";
        QTest::newRow("negative degrees") << "S-5 00.00,W122 15.00,N47 00.00,W121 45.00";
        QTest::newRow("empty item") << "N47 30.00,,N47 00.00,W121 45.00";
        QTest::newRow("no blank between degrees and minutes") << "N4730.00,W122 15.00,N47 00.00,W121 45.00";
    }

    void loadRefused()
    {
        QFETCH(QString, text);
        try {
            AreaText::rowsFromText(text);
            QFAIL("the text was loaded");
        } catch (const LmError &e) {
            QCOMPARE(e.description(), QStringLiteral("Wrong coordinate"));
            QCOMPARE(e.source(), QStringLiteral("Area"));
            QCOMPARE(e.number(), LmError::UserBase + 1);
        }
    }

    void loadIgnoresLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QList<AreaRow> rows = AreaText::rowsFromText(QStringLiteral("N47 30.5,W5 7.25,N46 0.00,W4 0.00"));
        const bool checked = !CheckErrorFlatten(QStringLiteral("12.5,") + FlatArea);
        QLocale::setDefault(saved);
        QCOMPARE(rows.at(0).minutes, QStringLiteral("30.50"));
        QCOMPARE(AreaText::textFromRows(rows, 4), QStringLiteral("N47 30.50,W005 07.25,N46 00.00,W004 00.00"));
        QVERIFY(checked);
    }
};

QTEST_GUILESS_MAIN(TestAreaValues)
#include "tst_areavalues.moc"
