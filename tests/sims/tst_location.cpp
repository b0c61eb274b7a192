#include "library/scenerymanager.h"
#include "sims/location.h"
#include "support/testenv.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString NoSimText = u"You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 Pro or MS Combat Flight "
                          "Simualtor 2 or MS Flightsimulator 2002 on your computer, first."_s;

// folders: "FS2000|FS2002|CFS2" installation values, "-" for none.
void install(TestEnv &env, const QString &folders, const QString &valueName = {})
{
    const QStringList list = folders.split(u'|');
    for (int sim = 0; sim < 3; ++sim) {
        if (list.value(sim, u"-"_s) != u"-")
            env.installSim(sim, list.at(sim), valueName);
    }
}
} // namespace

class TstLocation : public QObject
{
    Q_OBJECT

private slots:
    void detection_data()
    {
        QTest::addColumn<QString>("folders");
        QTest::addColumn<QString>("valueName"); // spelling of the stored value, "" for the usual
        QTest::addColumn<QString>("found");     // FS2000, FS2002, CFS2 as 0/1; "-" when the program ends
        QTest::newRow("FS2002 only") << u"-|C:\\FS2002|-"_s << u""_s << u"010"_s;
        QTest::newRow("CFS2 only") << u"-|-|C:\\CFS2"_s << u""_s << u"001"_s;
        QTest::newRow("all three") << u"C:\\FS2000|C:\\FS2002|C:\\CFS2"_s << u""_s << u"111"_s;
        QTest::newRow("upper-case names") << u"C:\\FS2000|C:\\FS2002|C:\\CFS2"_s << u"PATH"_s << u"100"_s;
        QTest::newRow("other spelling") << u"-|C:\\FS2002|C:\\CFS2"_s << u"exe PATH"_s << u"011"_s;
        QTest::newRow("empty value is no installation") << u"C:\\FS2000||-"_s << u""_s << u"100"_s;
        QTest::newRow("none ends the program") << u"-|-|-"_s << u""_s << u"-"_s;
        QTest::newRow("empty values only end it too") << u"|-|"_s << u""_s << u"-"_s;
    }
    void detection()
    {
        QFETCH(QString, folders);
        QFETCH(QString, valueName);
        QFETCH(QString, found);
        TestEnv env;
        install(env, folders, valueName);
        if (found == u"-") {
            env.ui.expectMessage(NoSimText, u"Can not run Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
            QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, Location{env.context});
        } else {
            Location location(env.context);
            const QString seen = u"%1%2%3"_s.arg(int(location.FS2000installed())).arg(int(location.FS2002installed())).arg(int(location.CFS2installed()));
            QCOMPARE(seen, found);
            QCOMPARE(location.installedCount(), int(seen.count(u'1')));
            QCOMPARE(location.Path(), QString()); // nothing looked up yet
        }
        QVERIFY(env.ui.allShown());
    }

    void folderLookup_data()
    {
        QTest::addColumn<QString>("folders");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("lookups"); // simulator types, in order
        QTest::addColumn<QString>("path");
        QTest::newRow("FS2002") << u"-|C:\\FS2002|-"_s << u""_s << u"1"_s << u"C:\\FS2002"_s;
        QTest::newRow("trailing backslash") << u"-|C:\\FS2002\\|-"_s << u""_s << u"1"_s << u"C:\\FS2002"_s;
        QTest::newRow("only one backslash removed") << u"C:\\FS2000\\\\|-|-"_s << u""_s << u"0"_s << u"C:\\FS2000\\"_s;
        QTest::newRow("EXE path spelling") << u"-|D:\\Games\\FS2002|-"_s << u"EXE path"_s << u"1"_s << u"D:\\Games\\FS2002"_s;
        QTest::newRow("PATH spelling") << u"D:\\FS2000|-|-"_s << u"PATH"_s << u"0"_s << u"D:\\FS2000"_s;
        QTest::newRow("CFS2") << u"-|-|C:\\CFS2\\"_s << u""_s << u"2"_s << u"C:\\CFS2"_s;
        QTest::newRow("not installed") << u"-|-|C:\\CFS2"_s << u""_s << u"1"_s << u""_s;
        QTest::newRow("unknown type") << u"-|C:\\FS2002|-"_s << u""_s << u"7"_s << u""_s;
        QTest::newRow("failed lookups keep the folder") << u"-|C:\\FS2002\\|-"_s << u""_s << u"1,0,2,-1,3"_s << u"C:\\FS2002"_s;
        QTest::newRow("the last found counts") << u"C:\\FS2000|C:\\FS2002|-"_s << u""_s << u"1,0,2"_s << u"C:\\FS2000"_s;
    }
    void folderLookup()
    {
        QFETCH(QString, folders);
        QFETCH(QString, valueName);
        QFETCH(QString, lookups);
        QFETCH(QString, path);
        TestEnv env;
        install(env, folders, valueName);
        Location location(env.context);
        for (const QString &lookup : lookups.split(u',')) {
            qint32 sim = lookup.toInt();
            location.DoClass_Initialize(sim);
            QCOMPARE(sim, lookup.toInt());
        }
        QCOMPARE(location.Path(), path);
    }
};

QTEST_GUILESS_MAIN(TstLocation)
#include "tst_location.moc"
