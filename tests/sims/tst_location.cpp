#include "library/scenerymanager.h"
#include "sims/location.h"
#include "support/testenv.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstLocation : public QObject
{
    Q_OBJECT

private slots:
    void detectionAndLookup_data()
    {
        QTest::addColumn<QString>("folders");   // "FS2000|FS2002|CFS2" installation values, "-" for none
        QTest::addColumn<QString>("valueName"); // spelling of the stored values, "" for the usual
        QTest::addColumn<QString>("lookups");   // simulator types, in order
        QTest::addColumn<QString>("found");     // FS2000, FS2002, CFS2 installed as 0/1, "|", Path; "-": the program ends
        QTest::newRow("FS2002 only") << u"-|C:\\FS2002|-"_s << u""_s << u"1"_s << u"010|C:\\FS2002"_s;
        QTest::newRow("CFS2 only, trailing backslash") << u"-|-|C:\\CFS2\\"_s << u""_s << u"2"_s << u"001|C:\\CFS2"_s;
        QTest::newRow("only one backslash removed") << u"C:\\FS2000\\\\|-|-"_s << u""_s << u"0"_s << u"100|C:\\FS2000\\"_s;
        QTest::newRow("all three") << u"C:\\FS2000|C:\\FS2002|C:\\CFS2"_s << u""_s << u"0"_s << u"111|C:\\FS2000"_s;
        QTest::newRow("upper-case names") << u"C:\\FS2000|C:\\FS2002|C:\\CFS2"_s << u"PATH"_s << u"0"_s << u"100|C:\\FS2000"_s;
        QTest::newRow("other spelling") << u"-|C:\\FS2002|C:\\CFS2"_s << u"exe PATH"_s << u"1"_s << u"011|C:\\FS2002"_s;
        QTest::newRow("empty value is no installation") << u"C:\\FS2000||-"_s << u""_s << u"1"_s << u"100|"_s;
        QTest::newRow("not installed") << u"-|-|C:\\CFS2"_s << u""_s << u"1"_s << u"001|"_s;
        QTest::newRow("unknown type") << u"-|C:\\FS2002|-"_s << u""_s << u"7"_s << u"010|"_s;
        QTest::newRow("failed lookups keep the folder") << u"-|C:\\FS2002\\|-"_s << u""_s << u"1,0,2,-1,3"_s << u"010|C:\\FS2002"_s;
        QTest::newRow("none ends the program") << u"-|-|-"_s << u""_s << u""_s << u"-"_s;
    }
    void detectionAndLookup()
    {
        QFETCH(QString, folders);
        QFETCH(QString, valueName);
        QFETCH(QString, lookups);
        QFETCH(QString, found);
        TestEnv env;
        for (int sim = 0; sim < 3; ++sim) {
            if (folders.section(u'|', sim, sim) != u"-")
                env.installSim(sim, folders.section(u'|', sim, sim), valueName);
        }
        if (found == u"-") {
            env.ui.expectMessage(u"You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 Pro or MS Combat "
                                 "Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first."_s,
                                 u"Can not run Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
            QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, Location{env.context});
        } else {
            Location location(env.context);
            for (const QString &lookup : lookups.split(u',')) {
                qint32 sim = lookup.toInt();
                location.DoClass_Initialize(sim);
                QCOMPARE(sim, lookup.toInt());
            }
            const QString bits = u"%1%2%3"_s.arg(int(location.FS2000installed())).arg(int(location.FS2002installed())).arg(int(location.CFS2installed()));
            QCOMPARE(bits + u'|' + location.Path(), found);
            QCOMPARE(location.installedCount(), int(bits.count(u'1')));
        }
        QVERIFY(env.ui.allShown());
    }
};

QTEST_GUILESS_MAIN(TstLocation)
#include "tst_location.moc"
