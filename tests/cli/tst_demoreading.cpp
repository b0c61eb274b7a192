// The demo installation read by the program's own Scenery.cfg reader: what a user trying the
// demo will see in the library.

#include "app/demoinstallation.h"
#include "library/scenerymanager.h"
#include "platform/filesystem.h"
#include "platform/settingsstore.h"
#include "support/scriptedui.h"

#include <QTemporaryDir>
#include <QTest>

class TestDemoReading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsEveryAreaAsOneScenery_data();
    void readsEveryAreaAsOneScenery();

private:
    QTemporaryDir m_dir;
    DemoInstallation::Summary m_demo;
};

void TestDemoReading::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_demo = DemoInstallation::create(m_dir.filePath(QStringLiteral("demo")));
}

void TestDemoReading::readsEveryAreaAsOneScenery_data()
{
    QTest::addColumn<int>("simType");
    QTest::addColumn<QString>("worldTitle");
    QTest::addColumn<QStringList>("cacheKeys");

    QTest::newRow("FS2002") << 1 << QStringLiteral("FS2002 World")
                            << QStringList{QStringLiteral("[Cache.001]"), QStringLiteral("[Cache.002]")};
    // No cache section: the reader adds its default entry.
    QTest::newRow("FS2000") << 0 << QString() << QStringList{QStringLiteral("[Cache.000]")};
}

void TestDemoReading::readsEveryAreaAsOneScenery()
{
    QFETCH(int, simType);
    QFETCH(QString, worldTitle);
    QFETCH(QStringList, cacheKeys);

    FileSystem fs(DriveMap::fromWinePrefix(m_demo.winePrefixHost));
    const auto settings = createSettingsStore(m_demo.programFolderHost, m_demo.winePrefixHost);
    ProgramInfo program(m_demo.programFolderHost);
    ScriptedUi ui;  // any message (a failed read, a missing file) fails the test
    AppContext context{fs, *settings, ui, program};

    SceneryManager manager(context);
    QCOMPARE(manager.SimType, 1);  // both installed, nothing stored: 2002 is proposed
    manager.SimType = simType;
    manager.NewLocation();
    QString file;
    manager.readCFG(file, false);
    QVERIFY(ui.allShown());

    QCOMPARE(int(manager.colScenery.count()), simType == 1 ? m_demo.fs2002Areas : m_demo.fs2000Areas);
    QCOMPARE(manager.colCache.keys(), cacheKeys);
    QVERIFY(manager.dicCFGs.contains(QStringLiteral("(Current)")));
    const CfgPtr current = manager.dicCFGs.item(QStringLiteral("(Current)"));
    QCOMPARE(current->Title, worldTitle);
    QVERIFY(current->Clean_on_Exit);

    int remoteOnly = 0;
    for (const SceneryPtr &scenery : manager.colScenery) {
        QVERIFY(scenery->InCFG);
        QCOMPARE(scenery->Key, QStringLiteral("SceneryNew\\") + scenery->Title);
        if (!scenery->IsLocalPath) {
            ++remoteOnly;
            QVERIFY(!scenery->RemotePath.isEmpty());
        }
    }
    QCOMPARE(remoteOnly, 1);
}

QTEST_GUILESS_MAIN(TestDemoReading)
#include "tst_demoreading.moc"
