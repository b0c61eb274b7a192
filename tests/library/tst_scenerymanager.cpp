#include "library/scenerymanager.h"
#include "platform/lmerror.h"
#include "settings/programsettings.h"
#include "sims/location.h"
#include "support/testenv.h"

#include <QDirIterator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// folders: "FS2000|FS2002|CFS2" installation values, "-" for none.
void install(TestEnv &env, const QString &folders, const QString &valueName = {})
{
    const QStringList list = folders.split(u'|');
    for (int sim = 0; sim < 3; ++sim) {
        if (list.at(sim) != u"-")
            env.installSim(sim, list.at(sim), valueName);
    }
}

// Files ("a/b=content") and empty folders ("a/") below a host folder, sorted.
QString tree(const QString &hostFolder)
{
    QStringList out;
    QDirIterator it(hostFolder, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString relative = QDir(hostFolder).relativeFilePath(info.filePath());
        QFile file(info.filePath());
        if (!info.isDir() && file.open(QIODevice::ReadOnly))
            out << relative + u'=' + QString::fromLatin1(file.readAll());
        else if (info.isDir() && QDir(info.filePath()).isEmpty())
            out << relative + u'/';
    }
    out.sort();
    return out.join(u';');
}

} // namespace

class TstSceneryManager : public QObject
{
    Q_OBJECT

private slots:
    // The lookup of the installed simulators by itself.
    void detectionAndLookup_data()
    {
        QTest::addColumn<QString>("folders");
        QTest::addColumn<QString>("valueName"); // spelling of the stored values, "" for the usual
        QTest::addColumn<QString>("lookups");   // simulator types, in order
        QTest::addColumn<QString>("found");     // FS2000, FS2002, CFS2 installed as 0/1, "|", Path
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
    }
    void detectionAndLookup()
    {
        QFETCH(QString, folders);
        QFETCH(QString, valueName);
        QFETCH(QString, lookups);
        QFETCH(QString, found);
        TestEnv env;
        install(env, folders, valueName);
        Location location(env.context);
        for (const QString &lookup : lookups.split(u',')) {
            qint32 sim = lookup.toInt();
            location.DoClass_Initialize(sim);
            QCOMPARE(sim, lookup.toInt());
        }
        const QString bits = u"%1%2%3"_s.arg(int(location.FS2000installed())).arg(int(location.FS2002installed())).arg(int(location.CFS2installed()));
        QCOMPARE(bits + u'|' + location.Path(), found);
        QCOMPARE(location.installedCount(), int(bits.count(u'1')));
        QVERIFY(env.ui.allShown());
    }
    void selectionAtStart_data()
    {
        QTest::addColumn<QString>("folders");
        QTest::addColumn<QString>("stored");   // "SelectedSim" text, null: not stored; "NAME=text" for another spelling
        QTest::addColumn<QString>("selected"); // "SimType|FSPath"; "!" first when a type mismatch is reported;
                                               // "-" when the program ends
        const QString none;
        QTest::newRow("FS2000 only, choice ignored") << u"C:\\FS2000|-|-"_s << u"2"_s << u"0|C:\\FS2000"_s;
        QTest::newRow("FS2000 only, bad choice unread") << u"C:\\FS2000|-|-"_s << u"abc"_s << u"0|C:\\FS2000"_s;
        QTest::newRow("FS2002 only, trailing backslash") << u"-|C:\\FS2002\\|-"_s << none << u"1|C:\\FS2002"_s;
        QTest::newRow("FS2000 and FS2002: 1") << u"C:\\FS2000|C:\\FS2002|-"_s << none << u"1|C:\\FS2002"_s;
        QTest::newRow("FS2000 and CFS2: 0") << u"C:\\FS2000|-|C:\\CFS2"_s << none << u"0|C:\\FS2000"_s;
        QTest::newRow("all three, choice used") << u"C:\\FS2000|C:\\FS2002|C:\\CFS2"_s << u"2"_s << u"2|C:\\CFS2"_s;
        QTest::newRow("name in other case") << u"C:\\FS2000|C:\\FS2002|-"_s << u"SELECTEDSIM=0"_s << u"0|C:\\FS2000"_s;
        QTest::newRow("empty is no choice") << u"C:\\FS2000|C:\\FS2002|-"_s << u""_s << u"1|C:\\FS2002"_s;
        QTest::newRow("simulator not installed") << u"C:\\FS2000|C:\\FS2002|-"_s << u"2"_s << u"2|"_s;
        QTest::newRow("not a number") << u"C:\\FS2000|C:\\FS2002|C:\\CFS2"_s << u"abc"_s << u"!0|"_s;
        QTest::newRow("none installed ends the program") << u"-|-|-"_s << none << u"-"_s;
        QTest::newRow("empty values only end it too") << u"|-|"_s << none << u"-"_s;
    }
    void selectionAtStart()
    {
        QFETCH(QString, folders);
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        TestEnv env;
        install(env, folders);
        if (!stored.isNull()) {
            const QString name = stored.contains(u'=') ? stored.section(u'=', 0, 0) : u"SelectedSim"_s;
            env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, name, stored.section(u'=', -1));
        }
        if (selected.startsWith(u'!'))
            env.ui.expectMessage(u"SceneryManager.Class_Initialize\nError: 13\nType mismatch"_s, QString(),
                                 UiPort::Answer::Ok, UiPort::Icon::Critical);
        if (selected == u"-") {
            env.ui.expectMessage(u"You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 Pro or MS Combat "
                                 "Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first."_s,
                                 u"Can not run Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
            QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, SceneryManager{env.context});
        } else {
            SceneryManager manager(env.context);
            QCOMPARE(QString::number(manager.SimType) + u'|' + manager.FSPath(), selected.mid(selected.startsWith(u'!')));
        }
        QVERIFY(env.ui.allShown());
        // Selecting never stores a choice.
        bool exists = false;
        env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, u"SelectedSim"_s, {}, &exists);
        QCOMPARE(exists, !stored.isNull());
    }

    // An installation key the registry file holds but that could not be read is named, once, at
    // the start, instead of the program quietly working on another simulator; with no simulator
    // found at all, it is said instead of sending the user to install what is installed.
    void damagedInstallationKey_data()
    {
        QTest::addColumn<QString>("folders");  // as install() takes them
        QTest::addColumn<QString>("damaged");  // how the Flight Simulator 2002 key is damaged
        QTest::addColumn<QString>("selected"); // "SimType|FSPath", "-" when the program ends
        QTest::newRow("header cut, the other simulator selected")
            << u"C:\\FS2000|C:\\FS2002|-"_s << u"header"_s << u"0|C:\\FS2000"_s;
        QTest::newRow("value cut, the other simulator selected")
            << u"C:\\FS2000|C:\\FS2002|-"_s << u"value"_s << u"0|C:\\FS2000"_s;
        QTest::newRow("the only simulator: the program ends") << u"-|C:\\FS2002|-"_s << u"value"_s << u"-"_s;
    }

    void damagedInstallationKey()
    {
        QFETCH(QString, folders);
        QFETCH(QString, damaged);
        QFETCH(QString, selected);
        TestEnv env;
        install(env, folders);
        QFile reg(env.prefixHost() + u"/system.reg"_s);
        QVERIFY(reg.open(QIODevice::ReadOnly));
        QByteArray text = reg.readAll();
        reg.close();
        if (damaged == u"header")
            text.replace("Flight Simulator\\\\8.0]", "Flight Simulator\\\\8.0");
        else
            text.replace("FS2002\"", "FS2002");
        QVERIFY(reg.open(QIODevice::WriteOnly | QIODevice::Truncate) && reg.write(text) == text.size());
        reg.close();
        const QByteArray damagedLine = damaged == u"header" ? "Flight Simulator\\\\8.0" : "\"EXE Path\"";
        const int line = text.left(text.indexOf(damagedLine)).count('\n') + 1;
        env.ui.expectMessage(
            u"Location.Class_Initialize\nError: %1\nThe installation key HKEY_LOCAL_MACHINE\\SOFTWARE\\"
            u"Microsoft\\Microsoft Games\\Flight Simulator\\8.0 of Flight Simulator 2002 could not "
            u"be read: line %2 of %3 is damaged."_s.arg(LmError::UserBase + Location::KeyDamaged)
                .arg(line)
                .arg(reg.fileName()),
            u"Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Critical);
        if (selected == u"-") {
            QVERIFY_THROWS_EXCEPTION(NoSimulatorInstalled, SceneryManager{env.context});
        } else {
            SceneryManager manager(env.context);
            QCOMPARE(QString::number(manager.SimType) + u'|' + manager.FSPath(), selected);
            manager.NewLocation(); // said once, not at every lookup
        }
        QVERIFY(env.ui.allShown());
    }

    void newLocationFollowsSimType()
    {
        TestEnv env;
        install(env, u"C:\\FS2000\\|-|C:\\Games\\CFS2"_s);
        SceneryManager manager(env.context);
        QStringList paths;
        for (int simType : {2, 1, 0, 9}) {
            manager.SimType = simType;
            manager.NewLocation();
            paths << manager.FSPath();
        }
        QCOMPARE(paths.join(u'|'), u"C:\\Games\\CFS2||C:\\FS2000|"_s);
    }

    void getRealPath_data()
    {
        QTest::addColumn<QString>("fsPath");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("expected");
        const QString fs = u"C:\\FS2002"_s;
        QTest::newRow("relative") << fs << u"Addon Scenery\\Paris"_s << u"C:\\FS2002\\Addon Scenery\\Paris"_s;
        QTest::newRow("relative scenery folder") << fs << u"Addon Scenery\\Paris\\scenery\\"_s << u"C:\\FS2002\\Addon Scenery\\Paris"_s;
        QTest::newRow("absolute Scenery") << fs << u"D:\\Sceneries\\Rome\\Scenery"_s << u"D:\\Sceneries\\Rome"_s;
        QTest::newRow("network") << fs << u"\\\\server\\share\\Oslo"_s << u"\\\\server\\share\\Oslo"_s;
        QTest::newRow("scenery alone") << fs << u"scenery"_s << u"C:\\FS2002"_s;
        QTest::newRow("ending in \\Scenery\\") << fs << u"Addon\\X\\Scenery\\"_s << u"C:\\FS2002\\Addon\\X"_s;
        QTest::newRow("only one ending removed") << fs << u"Addon\\X\\scenery\\scenery"_s << u"C:\\FS2002\\Addon\\X\\scenery"_s;
        QTest::newRow("name ending in scenery") << fs << u"Addon\\MyScenery"_s << u"C:\\FS2002\\Addon\\MyScenery"_s;
        QTest::newRow("empty FSPath") << u""_s << u"Addon Scenery\\Paris"_s << u"\\Addon Scenery\\Paris"_s;
        QTest::newRow("empty FSPath, scenery alone") << u""_s << u"scenery"_s << u""_s;
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

    void correctDir()
    {
        QCOMPARE(SceneryManager::CorrectDir(u"A:B/C"_s), u"A-B-C"_s);
        QCOMPARE(SceneryManager::CorrectDir(u"a:b\\c/d*e?f\"g<h>i|j (1.2)"_s), u"a-b-c-d-e-f-g-h-i-j (1.2)"_s);
    }

    void copyFolderTree_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("copied"); // the target's tree afterwards; "refused" when nothing may change
        const QString all = u"empty/;scenery/a.bgl=a;scenery/deep/er/b.bgl=b;top.txt=top"_s;
        QTest::newRow("into an existing folder, other case") << u"C:\\Dst\\"_s << u"SCENERY/a.bgl=a;SCENERY/deep/er/b.bgl=b;SCENERY/keep.bgl=keep;empty/;top.txt=top"_s;
        QTest::newRow("beside, name begins alike") << u"C:\\Src2"_s << all;
        QTest::newRow("into itself") << u"C:\\Src"_s << u"refused"_s;
        QTest::newRow("into itself, other case") << u"c:\\SRC\\"_s << u"refused"_s;
        QTest::newRow("inside itself") << u"C:\\Src\\scenery\\deep"_s << u"refused"_s;
    }
    void copyFolderTree()
    {
        QFETCH(QString, target);
        QFETCH(QString, copied);
        TestEnv env;
        env.installSim(1, u"D:\\FS2002"_s);
        env.writeFile(u"C:\\Src\\top.txt"_s, "top");
        env.writeFile(u"C:\\Src\\scenery\\a.bgl"_s, "a");
        env.writeFile(u"C:\\Src\\scenery\\deep\\er\\b.bgl"_s, "b");
        env.writeFile(u"C:\\Dst\\top.txt"_s, "old");
        env.writeFile(u"C:\\Dst\\SCENERY\\keep.bgl"_s, "keep");
        QVERIFY(QDir().mkpath(env.host(u"C:\\Src\\empty"_s)) && QDir().mkpath(env.host(u"C:\\Src2"_s)));
        const QString before = tree(env.driveCHost());
        SceneryManager manager(env.context);
        try {
            manager.CopyFolderTree(u"C:\\Src"_s, target);
            QCOMPARE(tree(env.host(target)), copied);
        } catch (const LmError &e) {
            QCOMPARE(copied, u"refused"_s);
            QCOMPARE(e.number(), LmError::PathFileAccess);
            QCOMPARE(tree(env.driveCHost()), before);
        }
    }

    void destructionEmptiesTheSets()
    {
        TestEnv env;
        env.installSim(1, u"C:\\FS2002"_s);
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
