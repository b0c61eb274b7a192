#include "library/scenerymanager.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void install(TestEnv &env, const QString &fs2000, const QString &fs2002, const QString &cfs2)
{
    const QString folders[3] = {fs2000, fs2002, cfs2};
    for (int sim = 0; sim < 3; ++sim) {
        if (folders[sim] != u"-"_s)
            env.installSim(sim, folders[sim]);
    }
}

} // namespace

class TstSceneryManager : public QObject
{
    Q_OBJECT

private slots:
    void selectionAtStart_data()
    {
        QTest::addColumn<QString>("fs2000");  // "-": not installed
        QTest::addColumn<QString>("fs2002");
        QTest::addColumn<QString>("cfs2");
        QTest::addColumn<QString>("selectedName");
        QTest::addColumn<QString>("selected");  // null: not stored
        QTest::addColumn<int>("simType");
        QTest::addColumn<QString>("fsPath");
        QTest::addColumn<bool>("typeMismatch");
        const QString none;
        const QString name = u"SelectedSim"_s;
        QTest::newRow("FS2000 only, choice ignored") << "C:\\FS2000" << "-" << "-" << name << "2" << 0 << "C:\\FS2000" << false;
        QTest::newRow("FS2000 only, bad choice unread") << "C:\\FS2000" << "-" << "-" << name << "abc" << 0 << "C:\\FS2000" << false;
        QTest::newRow("FS2002 only, trailing backslash") << "-" << "C:\\FS2002\\" << "-" << name << none << 1 << "C:\\FS2002" << false;
        QTest::newRow("CFS2 only") << "-" << "-" << "C:\\CFS2" << name << "0" << 2 << "C:\\CFS2" << false;
        QTest::newRow("FS2000 and FS2002") << "C:\\FS2000" << "C:\\FS2002" << "-" << name << none << 1 << "C:\\FS2002" << false;
        QTest::newRow("FS2000 and CFS2") << "C:\\FS2000" << "-" << "C:\\CFS2" << name << none << 0 << "C:\\FS2000" << false;
        QTest::newRow("FS2002 and CFS2") << "-" << "C:\\FS2002" << "C:\\CFS2" << name << none << 1 << "C:\\FS2002" << false;
        QTest::newRow("all three, 2") << "C:\\FS2000" << "C:\\FS2002" << "C:\\CFS2" << name << "2" << 2 << "C:\\CFS2" << false;
        QTest::newRow("all three, 0") << "C:\\FS2000" << "C:\\FS2002" << "C:\\CFS2" << name << "0" << 0 << "C:\\FS2000" << false;
        QTest::newRow("name in other case") << "C:\\FS2000" << "C:\\FS2002" << "-" << "SELECTEDSIM" << "0" << 0 << "C:\\FS2000" << false;
        QTest::newRow("blanks around") << "C:\\FS2000" << "C:\\FS2002" << "C:\\CFS2" << name << " 2 " << 2 << "C:\\CFS2" << false;
        QTest::newRow("empty is no choice") << "C:\\FS2000" << "C:\\FS2002" << "-" << name << "" << 1 << "C:\\FS2002" << false;
        QTest::newRow("simulator not installed") << "C:\\FS2000" << "C:\\FS2002" << "-" << name << "2" << 2 << "" << false;
        QTest::newRow("another number") << "C:\\FS2000" << "C:\\FS2002" << "-" << name << "7" << 7 << "" << false;
        QTest::newRow("not a number") << "C:\\FS2000" << "C:\\FS2002" << "C:\\CFS2" << name << "abc" << 0 << "" << true;
        QTest::newRow("number then text") << "C:\\FS2000" << "C:\\FS2002" << "-" << name << "1x" << 0 << "" << true;
    }
    void selectionAtStart()
    {
        QFETCH(QString, fs2000);
        QFETCH(QString, fs2002);
        QFETCH(QString, cfs2);
        QFETCH(QString, selectedName);
        QFETCH(QString, selected);
        QFETCH(int, simType);
        QFETCH(QString, fsPath);
        QFETCH(bool, typeMismatch);
        TestEnv env;
        install(env, fs2000, fs2002, cfs2);
        if (!selected.isNull())
            env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, selectedName, selected);
        if (typeMismatch) {
            env.ui.expectMessage(u"SceneryManager.Class_Initialize\nError: 13\nType mismatch"_s,
                                 QString(), UiPort::Answer::Ok, UiPort::Icon::Critical);
        }
        SceneryManager manager(env.context);
        QCOMPARE(manager.SimType, simType);
        QCOMPARE(manager.FSPath(), fsPath);
        QVERIFY(manager.colScenery.isEmpty());
        QVERIFY(manager.dicCFGs.isEmpty());
        QVERIFY(manager.dicLevel.isEmpty());
        QVERIFY(manager.colCache.isEmpty());
        QVERIFY(env.ui.allShown());
        // Selecting never stores a choice.
        bool stored = false;
        env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, u"SelectedSim"_s, {}, &stored);
        QCOMPARE(stored, !selected.isNull());
    }

    void noSimulatorInstalled()
    {
        TestEnv env;
        env.ui.expectMessage(QStringLiteral("You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 Pro or "
                                            "MS Combat Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first."),
                             u"Can not run Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
        QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, SceneryManager{env.context});
        QVERIFY(env.ui.allShown());
    }

    void newLocationFollowsSimType_data()
    {
        QTest::addColumn<int>("simType");
        QTest::addColumn<QString>("fsPath");
        QTest::newRow("FS2000") << 0 << "C:\\FS2000";
        QTest::newRow("CFS2") << 2 << "C:\\Games\\CFS2";
        QTest::newRow("not installed") << 1 << "";
        QTest::newRow("unknown") << 9 << "";
    }
    void newLocationFollowsSimType()
    {
        QFETCH(int, simType);
        QFETCH(QString, fsPath);
        TestEnv env;
        install(env, u"C:\\FS2000\\"_s, u"-"_s, u"C:\\Games\\CFS2"_s);
        SceneryManager manager(env.context);
        QCOMPARE(manager.FSPath(), u"C:\\FS2000"_s);
        manager.SimType = simType;
        manager.NewLocation();
        QCOMPARE(manager.FSPath(), fsPath);
        QCOMPARE(manager.SimType, simType);
    }

    void getRealPath_data()
    {
        QTest::addColumn<QString>("fsPath");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("expected");
        const QString fs = u"C:\\FS2002"_s;
        QTest::newRow("relative") << fs << "Addon Scenery\\Paris" << "C:\\FS2002\\Addon Scenery\\Paris";
        QTest::newRow("relative scenery folder") << fs << "Addon Scenery\\Paris\\scenery\\" << "C:\\FS2002\\Addon Scenery\\Paris";
        QTest::newRow("absolute Scenery") << fs << "D:\\Sceneries\\Rome\\Scenery" << "D:\\Sceneries\\Rome";
        QTest::newRow("network") << fs << "\\\\server\\share\\Oslo" << "\\\\server\\share\\Oslo";
        QTest::newRow("network scenery") << fs << "\\\\server\\share\\Oslo\\SCENERY\\" << "\\\\server\\share\\Oslo";
        QTest::newRow("scenery alone") << fs << "scenery" << "C:\\FS2002";
        QTest::newRow("ending in \\Scenery\\") << fs << "Addon\\X\\Scenery\\" << "C:\\FS2002\\Addon\\X";
        QTest::newRow("only one ending removed") << fs << "Addon\\X\\scenery\\scenery" << "C:\\FS2002\\Addon\\X\\scenery";
        QTest::newRow("only one backslash removed") << fs << "D:\\X\\\\" << "D:\\X\\";
        QTest::newRow("name ending in scenery") << fs << "Addon\\MyScenery" << "C:\\FS2002\\Addon\\MyScenery";
        QTest::newRow("empty FSPath") << "" << "Addon Scenery\\Paris" << "\\Addon Scenery\\Paris";
        QTest::newRow("empty FSPath, scenery alone") << "" << "scenery" << "";
        QTest::newRow("drive only") << fs << "E:" << "E:";
        QTest::newRow("colon anywhere") << fs << "odd:name\\scenery" << "odd:name";
        QTest::newRow("empty") << fs << "" << "C:\\FS2002";
    }
    void getRealPath()
    {
        QFETCH(QString, fsPath);
        QFETCH(QString, in);
        QFETCH(QString, expected);
        TestEnv env;
        env.installSim(1, u"C:\\FS2002"_s);
        SceneryManager manager(env.context);
        manager.setFSPathForTesting(fsPath);
        QCOMPARE(manager.getRealPath(in), expected);
    }

    void correctDir_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("expected");
        QTest::newRow("A:B/C") << "A:B/C" << "A-B-C";
        QTest::newRow("all nine") << "a:b\\c/d*e?f\"g<h>i|j" << "a-b-c-d-e-f-g-h-i-j";
        QTest::newRow("clean") << "Paris 1.2 (v3)" << "Paris 1.2 (v3)";
        QTest::newRow("empty") << "" << "";
    }
    void correctDir()
    {
        QFETCH(QString, in);
        QFETCH(QString, expected);
        QCOMPARE(SceneryManager::CorrectDir(in), expected);
    }

    void copyFolderTree()
    {
        TestEnv env;
        env.installSim(1, u"C:\\FS2002"_s);
        env.writeFile(u"C:\\Src\\top.txt"_s, "top");
        env.writeFile(u"C:\\Src\\scenery\\a.bgl"_s, "a");
        env.writeFile(u"C:\\Src\\scenery\\deep\\er\\b.bgl"_s, "b");
        env.writeFile(u"C:\\Src\\texture\\t.bmp"_s, "t");
        QVERIFY(QDir().mkpath(env.host(u"C:\\Src\\empty"_s)));
        env.writeFile(u"C:\\Dst\\top.txt"_s, "old");
        env.writeFile(u"C:\\Dst\\SCENERY\\keep.bgl"_s, "keep");
        SceneryManager manager(env.context);
        manager.CopyFolderTree(u"C:\\Src"_s, u"C:\\Dst\\"_s);
        QCOMPARE(env.readFile(u"C:\\Dst\\top.txt"_s), QByteArray("top"));
        QCOMPARE(env.readFile(u"C:\\Dst\\scenery\\a.bgl"_s), QByteArray("a"));
        QCOMPARE(env.readFile(u"C:\\Dst\\scenery\\deep\\er\\b.bgl"_s), QByteArray("b"));
        QCOMPARE(env.readFile(u"C:\\Dst\\texture\\t.bmp"_s), QByteArray("t"));
        QCOMPARE(env.readFile(u"C:\\Dst\\scenery\\keep.bgl"_s), QByteArray("keep"));
        QVERIFY(env.fs.folderExists(u"C:\\Dst\\empty"_s));
        // The existing folder was used, not a second one beside it.
        QCOMPARE(env.fs.subFolders(u"C:\\Dst"_s).count(), 3);
        QCOMPARE(env.readFile(u"C:\\Src\\top.txt"_s), QByteArray("top"));
    }

    void copyFolderTreeIntoItself_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("refused");
        QTest::newRow("same") << "C:\\Src" << true;
        QTest::newRow("same, other case") << "c:\\SRC\\" << true;
        QTest::newRow("inside") << "C:\\Src\\sub\\copy" << true;
        // A sibling whose name begins like the source is not inside it.
        QTest::newRow("beside") << "C:\\Src2" << false;
    }
    void copyFolderTreeIntoItself()
    {
        QFETCH(QString, target);
        QFETCH(bool, refused);
        TestEnv env;
        env.installSim(1, u"C:\\FS2002"_s);
        env.writeFile(u"C:\\Src\\sub\\copy\\f.txt"_s, "f");
        QVERIFY(QDir().mkpath(env.host(u"C:\\Src2"_s)));
        SceneryManager manager(env.context);
        qint32 error = 0;
        try {
            manager.CopyFolderTree(u"C:\\Src"_s, target);
        } catch (const LmError &e) {
            error = e.number();
        }
        QCOMPARE(error, refused ? qint32(LmError::PathFileAccess) : 0);
        QCOMPARE(env.fs.subFolders(u"C:\\Src\\sub\\copy"_s), QStringList());
        QCOMPARE(env.fs.fileExists(u"C:\\Src2\\sub\\copy\\f.txt"_s), !refused);
    }

    void destructionEmptiesTheSets()
    {
        TestEnv env;
        env.installSim(1, u"C:\\FS2002"_s);
        CfgPtr set = std::make_shared<clsCFG>();
        set->Key = u"Europe"_s;
        set->addMember(u"Paris"_s);
        set->addMember(u"Rome"_s);
        std::weak_ptr<clsScenery> scenery;
        {
            SceneryManager manager(env.context);
            manager.dicCFGs.add(set->Key, set);
            auto paris = std::make_shared<clsScenery>();
            paris->Key = u"SceneryNew\\Paris"_s;
            manager.colScenery.add(paris->Key, paris);
            scenery = paris;
        }
        QCOMPARE(set->colUsedSceneries.count(), 0);
        QVERIFY(scenery.expired());
    }
};

QTEST_GUILESS_MAIN(TstSceneryManager)
#include "tst_scenerymanager.moc"
