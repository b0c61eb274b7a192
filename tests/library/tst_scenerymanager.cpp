// The library manager: the simulator it selects at the start, scenery paths, folder copies that
// would never end, and what it lets go when it ends.

#include "library/scenerymanager.h"
#include "platform/lmerror.h"
#include "settings/programsettings.h"
#include "support/librarybuilder.h"

#include <QDirIterator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const Installation FS2000{Sim::FS2000, u"C:\\FS2000"_s};
const Installation FS2002{Sim::FS2002, u"C:\\FS2002"_s};
const Installation CFS2{Sim::CFS2, u"C:\\CFS2"_s};

void writeSelectedSim(TestEnv &env, const QString &name, const QString &value)
{
    env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, name, value);
}

// Spoils the Flight Simulator 2002 key in the prefix's registry file, cutting either the line of
// its header or that of its value; returns the number of the line spoilt.
int spoilFS2002Key(TestEnv &env, bool header)
{
    QFile reg(env.prefixHost() + u"/system.reg"_s);
    if (!reg.open(QIODevice::ReadOnly))
        return 0;
    QByteArray text = reg.readAll();
    reg.close();
    const QByteArray spoilt = header ? "Flight Simulator\\\\8.0" : "\"EXE Path\"";
    if (header)
        text.replace("Flight Simulator\\\\8.0]", "Flight Simulator\\\\8.0");
    else
        text.replace("FS2002\"", "FS2002");
    if (!reg.open(QIODevice::WriteOnly | QIODevice::Truncate) || reg.write(text) != text.size())
        return 0;
    return int(text.left(text.indexOf(spoilt)).count('\n')) + 1;
}

} // namespace

class TstSceneryManager : public QObject
{
    Q_OBJECT

private slots:
    void selectionAtStart_data()
    {
        QTest::addColumn<QList<Installation>>("installed");
        QTest::addColumn<QString>("storedName"); // the name "SelectedSim" is stored under; "" for none
        QTest::addColumn<QString>("storedValue");
        QTest::addColumn<qint32>("simType");
        QTest::addColumn<QString>("fsPath");
        const QString name = u"SelectedSim"_s;
        QTest::newRow("one simulator: the choice is not looked at")
            << QList<Installation>{FS2000} << name << u"2"_s << 0 << u"C:\\FS2000"_s;
        QTest::newRow("FS2000 and FS2002: FS2002")
            << QList<Installation>{FS2000, FS2002} << QString() << QString() << 1 << u"C:\\FS2002"_s;
        QTest::newRow("FS2000 and CFS2: FS2000")
            << QList<Installation>{FS2000, CFS2} << QString() << QString() << 0 << u"C:\\FS2000"_s;
        QTest::newRow("all three: the choice")
            << QList<Installation>{FS2000, FS2002, CFS2} << name << u"2"_s << 2 << u"C:\\CFS2"_s;
        QTest::newRow("empty is no choice")
            << QList<Installation>{FS2000, FS2002} << name << QString() << 1 << u"C:\\FS2002"_s;
        QTest::newRow("a simulator not installed")
            << QList<Installation>{FS2000, FS2002} << name << u"2"_s << 2 << QString();
    }

    void selectionAtStart()
    {
        QFETCH(QList<Installation>, installed);
        QFETCH(QString, storedName);
        QFETCH(QString, storedValue);
        QFETCH(qint32, simType);
        QFETCH(QString, fsPath);
        TestEnv env;
        install(env, installed);
        if (!storedName.isEmpty())
            writeSelectedSim(env, storedName, storedValue);
        SceneryManager manager(env.context);
        QCOMPARE(manager.SimType, simType);
        QCOMPARE(manager.FSPath(), fsPath);
        QVERIFY(env.ui.allShown());
        bool stored = false; // selecting never stores a choice
        env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, u"SelectedSim"_s, {}, &stored);
        QCOMPARE(stored, !storedName.isEmpty());
    }

    void choiceThatIsNoNumber()
    {
        TestEnv env;
        install(env, {FS2000, FS2002, CFS2});
        writeSelectedSim(env, u"SelectedSim"_s, u"abc"_s);
        env.ui.expectMessage(u"SceneryManager.Class_Initialize\nError: 13\nType mismatch"_s, QString(),
                             UiPort::Answer::Ok, UiPort::Icon::Critical);
        const SceneryManager manager(env.context);
        QVERIFY(env.ui.allShown());
        QCOMPARE(manager.SimType, 0);
        QCOMPARE(manager.FSPath(), QString());
    }

    void noSimulatorEndsTheProgram()
    {
        TestEnv env;
        env.ui.expectMessage(
            u"You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 Pro or MS "
            u"Combat Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first."_s,
            u"Can not run Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
        QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, SceneryManager{env.context});
        QVERIFY(env.ui.allShown());
    }

    // An installation key the registry file holds but that could not be read is named, once, at
    // the start, instead of the program quietly working on another simulator; with no simulator
    // found at all, it is said instead of sending the user to install what is installed.
    void damagedInstallationKey_data()
    {
        QTest::addColumn<QList<Installation>>("installed");
        QTest::addColumn<bool>("headerCut"); // else the line of the value is cut
        QTest::addColumn<bool>("programEnds");
        QTest::newRow("header cut, the other simulator selected")
            << QList<Installation>{FS2000, FS2002} << true << false;
        QTest::newRow("the only simulator: the program ends") << QList<Installation>{FS2002} << false << true;
    }

    void damagedInstallationKey()
    {
        QFETCH(QList<Installation>, installed);
        QFETCH(bool, headerCut);
        QFETCH(bool, programEnds);
        TestEnv env;
        install(env, installed);
        const int line = spoilFS2002Key(env, headerCut);
        QVERIFY(line > 0);
        env.ui.expectMessage(
            u"Location.Class_Initialize\nError: %1\nThe installation key HKEY_LOCAL_MACHINE\\SOFTWARE\\"
            u"Microsoft\\Microsoft Games\\Flight Simulator\\8.0 of Flight Simulator 2002 could not "
            u"be read: line %2 of %3 is damaged."_s.arg(LmError::UserBase + Location::KeyDamaged)
                .arg(line)
                .arg(env.prefixHost() + u"/system.reg"_s),
            u"Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Critical);
        if (programEnds) {
            QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, SceneryManager{env.context});
        } else {
            SceneryManager manager(env.context);
            QCOMPARE(manager.SimType, 0);
            QCOMPARE(manager.FSPath(), u"C:\\FS2000"_s);
            manager.NewLocation(); // said once, not at every lookup
        }
        QVERIFY(env.ui.allShown());
    }

    void getRealPath_data()
    {
        QTest::addColumn<QString>("fsPath");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("expected");
        const QString fs = u"C:\\FS2002"_s;
        QTest::newRow("relative") << fs << u"Addon Scenery\\Paris"_s << u"C:\\FS2002\\Addon Scenery\\Paris"_s;
        QTest::newRow("relative scenery folder")
            << fs << u"Addon Scenery\\Paris\\scenery\\"_s << u"C:\\FS2002\\Addon Scenery\\Paris"_s;
        QTest::newRow("absolute Scenery")
            << fs << u"D:\\Sceneries\\Rome\\Scenery"_s << u"D:\\Sceneries\\Rome"_s;
        QTest::newRow("network") << fs << u"\\\\server\\share\\Oslo"_s << u"\\\\server\\share\\Oslo"_s;
        QTest::newRow("empty FSPath, scenery alone") << QString() << u"scenery"_s << QString();
    }

    void getRealPath()
    {
        QFETCH(QString, fsPath);
        QFETCH(QString, in);
        QFETCH(QString, expected);
        TestEnv env;
        install(env, {FS2002});
        SceneryManager manager(env.context);
        manager.setFSPathForTesting(fsPath);
        QCOMPARE(manager.getRealPath(in), expected);
    }

    // A target inside the source would meet its own copies again and never end.
    void copyIntoItselfIsRefused_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("into itself, other case") << u"c:\\SRC\\"_s;
        QTest::newRow("inside itself") << u"C:\\Src\\scenery\\deep"_s;
    }

    void copyIntoItselfIsRefused()
    {
        QFETCH(QString, target);
        TestEnv env;
        install(env, {{Sim::FS2002, u"D:\\FS2002"_s}});
        env.writeFile(u"C:\\Src\\scenery\\deep\\a.bgl"_s, "a");
        const Files before = filesBelow(env.driveCHost());
        qint32 error = 0;
        try {
            SceneryManager(env.context).CopyFolderTree(u"C:\\Src"_s, target);
        } catch (const LmError &e) {
            error = e.number();
        }
        QCOMPARE(error, qint32(LmError::PathFileAccess));
        QVERIFY(sameFiles(filesBelow(env.driveCHost()), before));
    }

    void destructionEmptiesTheSets()
    {
        TestEnv env;
        install(env, {FS2002});
        CfgPtr set = std::make_shared<clsCFG>();
        set->addMember(u"Paris"_s);
        auto paris = std::make_shared<clsScenery>();
        const std::weak_ptr<clsScenery> scenery = paris;
        {
            SceneryManager manager(env.context);
            manager.dicCFGs.add(u"Europe"_s, set);
            manager.colScenery.add(u"SceneryNew\\Paris"_s, std::move(paris));
        }
        QCOMPARE(set->colUsedSceneries.count(), 0);
        QVERIFY(scenery.expired());
    }
};

QTEST_GUILESS_MAIN(TstSceneryManager)
#include "tst_scenerymanager.moc"
