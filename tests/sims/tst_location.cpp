#include "library/scenerymanager.h"
#include "sims/location.h"
#include "support/testenv.h"

#include <QTest>

namespace {
const QString NoSimText = QStringLiteral(
    "You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 Pro or MS Combat Flight Simualtor 2 or MS "
    "Flightsimulator 2002 on your computer, first.");
}

class TstLocation : public QObject
{
    Q_OBJECT

private slots:
    void detection_data()
    {
        QTest::addColumn<QString>("fs2000");  // installation value, "-" for none
        QTest::addColumn<QString>("fs2002");
        QTest::addColumn<QString>("cfs2");
        QTest::addColumn<QString>("valueName");  // spelling of the detection value, "" for the usual
        QTest::addColumn<int>("expected");       // bits: 1 FS2000, 2 FS2002, 4 CFS2
        QTest::newRow("FS2000 only") << "C:\\FS2000" << "-" << "-" << "" << 1;
        QTest::newRow("FS2002 only") << "-" << "C:\\FS2002" << "-" << "" << 2;
        QTest::newRow("CFS2 only") << "-" << "-" << "C:\\CFS2" << "" << 4;
        QTest::newRow("all three") << "C:\\FS2000" << "C:\\FS2002" << "C:\\CFS2" << "" << 7;
        QTest::newRow("upper-case names") << "C:\\FS2000" << "C:\\FS2002" << "C:\\CFS2" << "PATH" << 1;
        QTest::newRow("other spelling") << "-" << "C:\\FS2002" << "C:\\CFS2" << "exe PATH" << 6;
        QTest::newRow("empty value is no installation") << "C:\\FS2000" << "" << "-" << "" << 1;
    }
    void detection()
    {
        QFETCH(QString, fs2000);
        QFETCH(QString, fs2002);
        QFETCH(QString, cfs2);
        QFETCH(QString, valueName);
        QFETCH(int, expected);
        TestEnv env;
        const QString folders[3] = {fs2000, fs2002, cfs2};
        for (int sim = 0; sim < 3; ++sim) {
            if (folders[sim] != QStringLiteral("-"))
                env.installSim(sim, folders[sim], valueName);
        }
        Location location(env.context);
        QCOMPARE(location.FS2000installed(), bool(expected & 1));
        QCOMPARE(location.FS2002installed(), bool(expected & 2));
        QCOMPARE(location.CFS2installed(), bool(expected & 4));
        QCOMPARE(location.installedCount(), int(bool(expected & 1)) + int(bool(expected & 2)) + int(bool(expected & 4)));
        QCOMPARE(location.Path(), QString());  // nothing looked up yet
        QVERIFY(env.ui.allShown());
    }

    void noSimulatorEndsTheProgram_data()
    {
        QTest::addColumn<QString>("otherKey");
        QTest::newRow("nothing stored") << QString();
        QTest::newRow("a later version only") << QStringLiteral("9.0");
    }
    void noSimulatorEndsTheProgram()
    {
        QFETCH(QString, otherKey);
        TestEnv env;
        if (!otherKey.isEmpty()) {
            env.settings->write(SettingsStore::Root::Machine,
                                QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\") + otherKey,
                                QStringLiteral("EXE Path"), QStringLiteral("C:\\FS2004"));
        }
        env.ui.expectMessage(NoSimText, QStringLiteral("Can not run Lumivale"), UiPort::Answer::Ok,
                             UiPort::Icon::Information);
        QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, Location{env.context});
        QVERIFY(env.ui.allShown());
    }

    void folderLookup_data()
    {
        QTest::addColumn<int>("installed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<int>("lookup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("FS2002") << 1 << "C:\\FS2002" << "" << 1 << "C:\\FS2002";
        QTest::newRow("trailing backslash") << 1 << "C:\\FS2002\\" << "" << 1 << "C:\\FS2002";
        QTest::newRow("only one backslash removed") << 0 << "C:\\FS2000\\\\" << "" << 0 << "C:\\FS2000\\";
        QTest::newRow("EXE path spelling") << 1 << "D:\\Games\\FS2002" << "EXE path" << 1 << "D:\\Games\\FS2002";
        QTest::newRow("PATH spelling") << 0 << "D:\\FS2000" << "PATH" << 0 << "D:\\FS2000";
        QTest::newRow("CFS2") << 2 << "C:\\CFS2\\" << "" << 2 << "C:\\CFS2";
        QTest::newRow("not installed") << 2 << "C:\\CFS2" << "" << 1 << "";
        QTest::newRow("unknown type") << 1 << "C:\\FS2002" << "" << 7 << "";
    }
    void folderLookup()
    {
        QFETCH(int, installed);
        QFETCH(QString, stored);
        QFETCH(QString, valueName);
        QFETCH(int, lookup);
        QFETCH(QString, expected);
        TestEnv env;
        env.installSim(installed, stored, valueName);
        Location location(env.context);
        qint32 sim = lookup;
        location.DoClass_Initialize(sim);
        QCOMPARE(location.Path(), expected);
        QCOMPARE(sim, lookup);
    }

    void failedLookupKeepsThePreviousFolder()
    {
        TestEnv env;
        env.installSim(1, QStringLiteral("C:\\FS2002\\"));
        Location location(env.context);
        qint32 sim = 1;
        location.DoClass_Initialize(sim);
        QCOMPARE(location.Path(), QStringLiteral("C:\\FS2002"));
        for (qint32 other : {0, 2, -1, 3}) {
            location.DoClass_Initialize(other);
            QCOMPARE(location.Path(), QStringLiteral("C:\\FS2002"));
        }
    }
};

QTEST_GUILESS_MAIN(TstLocation)
#include "tst_location.moc"
