#include "areas/areavalues.h"
#include "platform/lmerror.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString ExclArea = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s;
const QString FlatArea = u"N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;

// "N|47|30.50;W|005|07.25", easy to read in a data row.
QString describe(const QList<AreaRow> &rows)
{
    QStringList parts;
    for (const AreaRow &row : rows)
        parts.append(row.hemisphere + u'|' + row.degrees + u'|' + row.minutes);
    return parts.join(u';');
}
} // namespace

class TestAreaValues : public QObject
{
    Q_OBJECT

private slots:
    void checks_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("empty number") << u"number"_s << u""_s << true;
        QTest::newRow("comma decimal") << u"number"_s << u"30,5"_s << true;
        QTest::newRow("latitude 90 59.99") << u"lat"_s << u"N90 59.99"_s << false;
        QTest::newRow("latitude 91") << u"lat"_s << u"N91 00.00"_s << true;
        QTest::newRow("hemisphere X") << u"lat"_s << u"X47 00.00"_s << true;
        QTest::newRow("minutes 60") << u"lat"_s << u"N47 60.00"_s << true;
        QTest::newRow("longitude 180") << u"lon"_s << u"E180 00.00"_s << false;
        QTest::newRow("longitude 181") << u"lon"_s << u"E181 00.00"_s << true;
        QTest::newRow("lower-case hemisphere") << u"lat"_s << u"n47 30.00"_s << false;
        QTest::newRow("blanks after hemisphere") << u"lat"_s << u"N  47 30.00"_s << false;
        QTest::newRow("four where eight wanted") << u"list8"_s << ExclArea << true;
        QTest::newRow("latitude and longitude swapped") << u"list4"_s << u"W122 15.00,N47 30.00,N47 00.00,W121 45.00"_s << true;
        QTest::newRow("third item wrong") << u"list4"_s << u"N47 30.00,W122 15.00,N95 00.00,W121 45.00"_s << true;
        QTest::newRow("empty list") << u"list4"_s << u""_s << true;
        QTest::newRow("exclude OBJECTS") << u"exclude"_s << ExclArea + u",OBJECTS"_s << false;
        QTest::newRow("exclude objects, vors") << u"exclude"_s << ExclArea + u",objects,vors"_s << false;
        QTest::newRow("exclude objects, all") << u"exclude"_s << ExclArea + u",objects,all"_s << true;
        QTest::newRow("exclude all") << u"exclude"_s << ExclArea + u",all"_s << false;
        QTest::newRow("exclude, four items") << u"exclude"_s << ExclArea << true;
        QTest::newRow("exclude, seven items") << u"exclude"_s << ExclArea + u",objects,vors,ndbs"_s << true;
        QTest::newRow("exclude, abbreviated class") << u"exclude"_s << ExclArea + u",OBJ"_s << false;
        QTest::newRow("exclude, empty class") << u"exclude"_s << ExclArea + u","_s << true;
        QTest::newRow("exclude, unknown class") << u"exclude"_s << ExclArea + u",roads"_s << true;
        QTest::newRow("exclude, bad point") << u"exclude"_s << u"N47 30.00,W122 15.00,N47 00.00,E190 00.00,objects"_s << true;
        QTest::newRow("flatten -2000") << u"flatten"_s << u"-2000,"_s + FlatArea << false;
        QTest::newRow("flatten 99999") << u"flatten"_s << u"99999,"_s + FlatArea << false;
        QTest::newRow("flatten 100000") << u"flatten"_s << u"100000,"_s + FlatArea << true;
        QTest::newRow("flatten -2001") << u"flatten"_s << u"-2001,"_s + FlatArea << true;
        QTest::newRow("flatten, letters in elevation") << u"flatten"_s << u"12a,"_s + FlatArea << true;
        QTest::newRow("flatten, no comma") << u"flatten"_s << u"120"_s << true;
        QTest::newRow("flatten, seven items") << u"flatten"_s << u"120,"_s + FlatArea.section(u',', 0, 6) << true;
        QTest::newRow("flatten, nine items") << u"flatten"_s << u"120,"_s + FlatArea + u",N47 00.00"_s << true;
        QTest::newRow("flatten, bad fifth item") << u"flatten"_s << u"120,"_s + FlatArea.section(u',', 0, 3) + u",S99 00.00,"_s + FlatArea.section(u',', 5) << true;
    }
    void checks()
    {
        QFETCH(QString, check);
        QFETCH(QString, text);
        QFETCH(bool, wrong);
        const bool result = check == u"number" ? !isNumericText(text)
            : check == u"lat" ? checkErrorItem(text, CoordinateKind::Latitude)
            : check == u"lon" ? checkErrorItem(text, CoordinateKind::Longitude)
            : check == u"list4" ? CheckErrorCoordinate(text, 4) : check == u"list8" ? CheckErrorCoordinate(text, 8)
            : check == u"exclude" ? CheckErrorExclude(text) : CheckErrorFlatten(text);
        QCOMPARE(result, wrong);
    }

    void load_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rows"); // "" when the load is refused
        QTest::newRow("short forms") << u"N47 30.5,W5 7.25,N46 0.00,W4 0.00"_s << u"N|47|30.50;W|005|07.25;N|46|00.00;W|004|00.00"_s;
        QTest::newRow("canonical eight") << FlatArea << u"N|47|30.00;W|122|15.00;N|47|00.00;W|122|15.00;N|47|00.00;W|121|45.00;N|47|30.00;W|121|45.00"_s;
        QTest::newRow("lower case") << u"s1 00.00,e2 00.00,s3 00.00,e4 00.00"_s << u"S|1_|00.00;E|002|00.00;S|3_|00.00;E|004|00.00"_s;
        QTest::newRow("blanks after hemisphere and around items") << u" N 47 30.00, W 122 15.00 ,N47 00.00,W121 45.00 "_s << u"N|47|30.00;W|122|15.00;N|47|00.00;W|121|45.00"_s;
        QTest::newRow("blank for the point") << u"N47 30 50,W122 15.00,N47 00.00,W121 45.00"_s << u"N|47|30.50;W|122|15.00;N|47|00.00;W|121|45.00"_s;
        QTest::newRow("degrees without minutes") << u"N47,W122,N0,W0"_s << u"N|47|00.00;W|122|00.00;N|0_|00.00;W|000|00.00"_s;
        QTest::newRow("degree fractions become minutes") << u"N47.5,W122.25 1.00,S0.01,E179.999"_s << u"N|47|30.00;W|122|16.00;S|0_|00.60;E|179|59.94"_s;
        QTest::newRow("degree fraction carries into degrees") << u"N47.9 10.00,W1.9999999,N0,W0"_s << u"N|48|04.00;W|002|00.00;N|0_|00.00;W|000|00.00"_s;
        QTest::newRow("half hundredths round away from zero") << u"N1 30.125,W1 30.124,N1 30.005,W1 0.995"_s << u"N|1_|30.13;W|001|30.12;N|1_|30.01;W|001|01.00"_s;
        QTest::newRow("minutes below 60 stay below 60") << u"N1 59.996,W1 59.99,N2 0,W2 0"_s << u"N|1_|59.99;W|001|59.99;N|2_|00.00;W|002|00.00"_s;
        QTest::newRow("out of range but fits the rows") << u"N95 75.00,W999 00.00,N0 0,W0 0"_s << u"N|95|75.00;W|999|00.00;N|0_|00.00;W|000|00.00"_s;
        QTest::newRow("refused: empty") << u""_s << u""_s;
        QTest::newRow("refused: one character") << u"N"_s << u""_s;
        QTest::newRow("refused: nine items") << FlatArea + u",N47 00.00"_s << u""_s;
        QTest::newRow("refused: classes left on") << ExclArea + u",objects"_s << u""_s;
        QTest::newRow("refused: unknown hemisphere") << u"X47 30.00,W122 15.00,N47 00.00,W121 45.00"_s << u""_s;
        QTest::newRow("refused: three latitude digits") << u"N47 30.00,W122 15.00,N147 00.00,W121 45.00"_s << u""_s;
        QTest::newRow("refused: negative degrees") << u"S-5 00.00,W122 15.00,N47 00.00,W121 45.00"_s << u""_s;
        QTest::newRow("refused: no blank before the minutes") << u"N4730.00,W122 15.00,N47 00.00,W121 45.00"_s << u""_s;
    }
    void load()
    {
        QFETCH(QString, text);
        QFETCH(QString, rows);
        try {
            const QList<AreaRow> loaded = AreaText::rowsFromText(text);
            QCOMPARE(describe(loaded), rows);
            // Read back: the canonical text, which loads to the same rows again.
            const QString canonical = AreaText::textFromRows(loaded, int(loaded.size()));
            QStringList items;
            for (const QString &row : rows.split(u';'))
                items << row.section(u'|', 0, 0) + row.section(u'|', 1, 1).remove(u'_') + u' ' + row.section(u'|', 2);
            QCOMPARE(canonical, items.join(u','));
            QCOMPARE(describe(AreaText::rowsFromText(canonical)), rows);
        } catch (const LmError &e) {
            QCOMPARE(rows, QString());
            QCOMPARE(e.description() + u'|' + e.source() + u'|' + QString::number(e.number() - LmError::UserBase), u"Wrong coordinate|Area|1"_s);
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
