// The window's Scenery.cfg and simulator commands: "Create Scenery" with its set dialog and start
// flight, "Update from Scenery.cfg", "Select Sim Type" and the set area's simulator button, played
// on the window's procedures as the view calls them.

#include "windowfixture.h"

#include "backup/backupmanager.h"
#include "scenerycfg/frmselectsets.h"
#include "settings/programsettings.h"
#include "sims/frmsimtype.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Start::Command;

namespace {
const QString Current = u"(Current)"_s;
const QString Ready = u"Ready."_s;
const QString SceneryCfg = u"C:\\FS2002\\Scenery.CFG"_s;
const QString SimCfg = u"C:\\FS2002\\FS2002.cfg"_s;
const QByteArray OldSimCfg = "[Main]\r\nSITUATION=flights\\myflts\\Old\r\n";

// "New" holds A, B and C, each used from its remote folder; the simulator's Scenery.cfg lists A.
// "Mine" (FS2002) holds C and a title without a scenery, "Old" (FS2000) holds B.
Library threeSceneries()
{
    return Library()
        .scenery(u"A"_s, {.remotePath = u"R:\\A"_s})
        .scenery(u"B"_s, {.remotePath = u"R:\\B"_s})
        .scenery(u"C"_s, {.remotePath = u"R:\\C"_s})
        .set(u"Mine"_s, Sim::FS2002, {u"C"_s, u"Gone"_s})
        .set(u"Old"_s, Sim::FS2000, {u"B"_s})
        .recordOrder();
}

// The "[General]" title and the areas' titles of a Scenery.cfg, in file order.
QStringList areaTitles(const QByteArray &file)
{
    QStringList titles;
    QByteArray section;
    for (const QByteArray &line : file.split('\n')) {
        if (line.startsWith('['))
            section = line.left(6);
        else if (line.startsWith("Title=") && section == "[Gener")
            titles << u"[General] "_s + QString::fromLatin1(line.mid(6)).trimmed();
        else if (line.startsWith("Title=") && section == "[Area.")
            titles << QString::fromLatin1(line.mid(6)).trimmed();
    }
    return titles;
}

void expectBackupQuestion(WindowFixture &f)
{
    f.env.ui.expectMessage(u"Do you want to make a backup first?"_s, u"Creating new Scenery.CFG"_s,
                           UiPort::Answer::No);
}

QString storedSetting(TestEnv &env, const QString &name)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name, u"(none)"_s);
}
} // namespace

class TestSceneryCfgCommands : public QObject
{
    Q_OBJECT

private slots:
    // ---- "Create Scenery" ------------------------------------------------------------------

    // The dialog offers the selected simulator's sets with every member counted and the saved
    // flights; the boxes ticked on the tree reach the set before it is written; a cleared cache
    // field is written as the smallest cache.
    void createSceneryWritesTheTickedSets()
    {
        WindowFixture f;
        frmScenery &form = f.load(threeSceneries(), Library().scenery(u"A"_s, {.remotePath = u"R:\\A"_s}));
        f.env.writeFile(u"C:\\FS2002\\flights\\myflts\\Paris.FLT"_s);
        f.env.writeFile(SimCfg, OldSimCfg);
        f.typeSet(u"Mine"_s);
        f.check(u"SceneryNew\\A"_s, true);

        f.env.ui.expectForm<frmSelectSets>(u"frmSelectSets"_s, [](frmSelectSets &d) {
            QCOMPARE(d.trvSets.size(), 1);
            QCOMPARE(d.trvSets.at(0).text, u"Mine (2)"_s);
            QCOMPARE(d.cboFLTItems, QStringList{u"Paris"_s});
            QCOMPARE(d.cboFLT, QString());
            d.trvSets[0].checked = true;
            d.txtCache_Size = u"____M"_s;
            d.cboFLT = u"Paris"_s;
            d.cmdOk_Click();
        });
        expectBackupQuestion(f);
        form.runCommand(Command::CreateScenery);
        QVERIFY(f.env.ui.allShown());

        const QByteArray written = f.env.readFile(SceneryCfg);
        QCOMPARE(areaTitles(written), (QStringList{u"[General] FS2002 World"_s, u"A"_s, u"C"_s}));
        QVERIFY(written.contains("\r\nCache_Size=10M\r\n"));
        QCOMPARE(f.env.readFile(SimCfg), QByteArray("[Main]\r\nSITUATION=flights\\myflts\\Paris\r\n"));
        QCOMPARE(f.env.readFile(SimCfg + u".backup"_s), OldSimCfg);
        QCOMPARE(form.sets().cboScenerySet().text, Current);
        QCOMPARE(f.statusText(), Ready);
    }

    void createSceneryLeavesFilesAlone_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("flight");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true << u"Paris"_s << true;
        QTest::newRow("nothing ticked") << false << u"Paris"_s << false;
        QTest::newRow("no start flight") << true << QString() << false;
    }

    // Without a set nothing is written; without a flight the simulator's file stays as it was.
    void createSceneryLeavesFilesAlone()
    {
        QFETCH(bool, tick);
        QFETCH(QString, flight);
        QFETCH(bool, cancel);
        WindowFixture f;
        frmScenery &form = f.load(threeSceneries());
        f.env.writeFile(u"C:\\FS2002\\flights\\myflts\\Paris.FLT"_s);
        f.env.writeFile(SimCfg, OldSimCfg);
        const QByteArray oldSceneryCfg = f.env.readFile(u"C:\\FS2002\\Scenery.cfg"_s);

        f.env.ui.expectForm<frmSelectSets>(u"frmSelectSets"_s, [&](frmSelectSets &d) {
            QCOMPARE(d.trvSets.at(0).text, u"Mine (2)"_s); // "Gone" has no scenery and counts
            d.trvSets[0].checked = tick;
            d.cboFLT = flight;
            cancel ? d.cmdCancel_Click() : d.cmdOk_Click();
        });
        const bool writes = tick && !cancel;
        if (writes)
            expectBackupQuestion(f);
        form.runCommand(Command::CreateScenery);
        QVERIFY(f.env.ui.allShown());

        QCOMPARE(f.env.readFile(SimCfg), OldSimCfg);
        QVERIFY(!f.env.fs.fileExists(SimCfg + u".backup"_s));
        QCOMPARE(f.env.readFile(u"C:\\FS2002\\Scenery.cfg"_s) == oldSceneryCfg, !writes);
        QCOMPARE(f.statusText(), Ready);
    }

    // The Scenery.cfg is written, and the missing simulator file is named; nothing is made for it.
    void createSceneryWithoutSimulatorCfg()
    {
        WindowFixture f;
        frmScenery &form = f.load(threeSceneries());
        f.env.writeFile(u"C:\\FS2002\\flights\\myflts\\Paris.FLT"_s);
        f.env.ui.expectForm<frmSelectSets>(u"frmSelectSets"_s, [](frmSelectSets &d) {
            d.trvSets[0].checked = true;
            d.cboFLT = u"Paris"_s;
            d.cmdOk_Click();
        });
        expectBackupQuestion(f);
        f.env.ui.expectMessageStartingWith(
            u"The start flight was not set: C:\\FS2002\\FS2002.cfg does not exist."_s, u"Start FLT"_s);
        form.runCommand(Command::CreateScenery);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(areaTitles(f.env.readFile(SceneryCfg)), (QStringList{u"[General] FS2002 World"_s, u"C"_s}));
        QVERIFY(!f.env.fs.fileExists(SimCfg));
        QVERIFY(!f.env.fs.fileExists(SimCfg + u".backup"_s));
    }

    // ---- "Update from Scenery.cfg" ----------------------------------------------------------

    void updateFromSceneryCfg_data()
    {
        QTest::addColumn<bool>("updateExisting");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }

    // The library is saved before it is read again (an edit made before the command survives),
    // the file's new areas come in, known sceneries take the file's values only on Yes, and the
    // set list shows the sets of every simulator.
    void updateFromSceneryCfg()
    {
        QFETCH(bool, updateExisting);
        WindowFixture f;
        frmScenery &form = f.load(threeSceneries());
        f.select(u"SceneryNew\\B"_s);
        form.txtComment_Change(u"kept"_s);
        Library()
            .scenery(u"B"_s, {.active = true, .remotePath = u"R:\\Moved"_s, .required = true})
            .scenery(u"Fresh"_s, {.remotePath = u"R:\\Fresh"_s})
            .writeSceneryCfg(f.env, u"C:\\Other\\Scenery.cfg"_s);

        f.env.ui.expectFile(u"C:\\Other\\Scenery.cfg"_s, u"Select Scenery.cfg"_s);
        f.env.ui.expectMessage(
            u"Do you want to update existing sceneries as well?"_s, u"Update from Scenery.cfg"_s,
            updateExisting ? UiPort::Answer::Yes : UiPort::Answer::No, UiPort::Icon::Question);
        form.runCommand(Command::UpdateFromSceneryCfg);
        QVERIFY(f.env.ui.allShown());

        const clsScenery &b = f.scenery(u"SceneryNew\\B"_s);
        QCOMPARE(b.Comment, u"kept"_s);
        QCOMPARE(b.Active, updateExisting);
        QCOMPARE(b.Required, updateExisting);
        QCOMPARE(b.RemotePath, updateExisting ? u"R:\\Moved"_s : u"R:\\B"_s);
        QVERIFY(f.node(u"SceneryNew\\Fresh"_s));
        QCOMPARE(form.sets().cboScenerySet().items, (QStringList{Current, u"Mine"_s, u"Old"_s}));
        QCOMPARE(form.sets().cboScenerySet().text, Current);
        QCOMPARE(f.members(Current), (QStringList{u"B"_s, u"Fresh"_s}));
        // The panel shows the library's record, not the one read before the command.
        QCOMPARE(form.details().displayedScenery(), f.manager->colScenery.item(u"SceneryNew\\B"_s));
        QCOMPARE(f.statusText(), Ready);
    }

    // Cancel ends the command once the library was saved and read back; the window goes on with
    // the library's own records, so edits made next are not lost.
    void updateCancelled()
    {
        WindowFixture f;
        frmScenery &form = f.load(threeSceneries(), Library().scenery(u"A"_s));
        f.typeSet(u"Mine"_s);
        f.select(u"SceneryNew\\B"_s);
        f.env.ui.expectFile(std::nullopt, u"Select Scenery.cfg"_s);
        form.runCommand(Command::UpdateFromSceneryCfg);
        QVERIFY(f.env.ui.allShown());

        QVERIFY(f.manager->dicCFGs.contains(Current));
        QCOMPARE(f.members(Current), QStringList{u"A"_s});
        f.check(u"SceneryNew\\B"_s, true);
        QCOMPARE(f.members(u"Mine"_s), (QStringList{u"B"_s, u"C"_s}));
        form.txtComment_Change(u"after"_s);
        QCOMPARE(f.scenery(u"SceneryNew\\B"_s).Comment, u"after"_s);
    }

    // ---- "Select Sim Type" and the set's simulator -------------------------------------------

    // Flight Simulator 2000 is chosen: it is stored, its Scenery.cfg is read, and the title, the set
    // list, the tree's marks and the backups follow it.
    void selectSimType()
    {
        WindowFixture f;
        install(f.env, {{Sim::FS2000, u"C:\\FS2000"_s}});
        f.write(threeSceneries(), Library().scenery(u"A"_s));
        Library().scenery(u"B"_s).scenery(u"Fresh"_s).writeSceneryCfg(f.env, u"C:\\FS2000\\Scenery.cfg"_s);
        frmScenery &form = f.create();
        form.Form_Load();
        BackupManager backup(f.env.context, u"C:\\FS2002"_s, 1);
        form.setBackupManager(&backup);

        f.env.ui.expectForm<frmSimType>(u"frmSimType"_s, [](frmSimType &d) {
            QCOMPARE(d.optSimTypeEnabled, (std::array<bool, 3>{true, true, false}));
            QCOMPARE(d.optSimType, (std::array<bool, 3>{false, true, false}));
            d.optSimType_Click(2); // not installed
            QCOMPARE(d.chosen(), 1);
            d.optSimType_Click(0);
            d.cmdOK_Click();
        });
        form.runCommand(Command::SelectSimType);
        QVERIFY(f.env.ui.allShown());

        QCOMPARE(f.manager->SimType, 0);
        QCOMPARE(f.manager->FSPath(), u"C:\\FS2000"_s);
        QCOMPARE(storedSetting(f.env, u"SelectedSim"_s), u"0"_s);
        QCOMPARE(form.status().Caption(), u"Lumivale 1.6 - Flight Simulator 2000"_s);
        QCOMPARE(form.sets().cboScenerySet().items, (QStringList{Current, u"Old"_s}));
        // A scenery new to the library stands first in its level.
        QCOMPARE(f.tickedTitles(), (QStringList{u"Fresh"_s, u"B"_s}));
        QCOMPARE(f.members(Current), (QStringList{u"B"_s, u"Fresh"_s}));
        QCOMPARE(backup.simFolder(), u"C:\\FS2000"_s);
        QCOMPARE(f.statusText(), Ready);
    }

    // Closing the chooser keeps the simulator; the choice is stored all the same.
    void selectSimTypeClosed()
    {
        WindowFixture f;
        install(f.env, {{Sim::FS2000, u"C:\\FS2000"_s}});
        frmScenery &form = f.load(threeSceneries());
        f.env.ui.expectForm<frmSimType>(u"frmSimType"_s, [](frmSimType &d) {
            d.optSimType_Click(0);
            d.Form_Close();
        });
        form.runCommand(Command::SelectSimType);
        QCOMPARE(f.manager->SimType, 1);
        QCOMPARE(storedSetting(f.env, u"SelectedSim"_s), u"1"_s);
    }

    void changeFlightSimSet_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("listAfter");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("to 2000") << 0 << QStringList{Current} << Current;
        QTest::newRow("to the selected one") << 1 << QStringList{Current, u"Mine"_s} << u"Mine"_s;
    }

    // A set given to another simulator leaves the list at once, and its members stay.
    void changeFlightSimSet()
    {
        QFETCH(int, option);
        QFETCH(QStringList, listAfter);
        QFETCH(QString, shownAfter);
        WindowFixture f;
        install(f.env, {{Sim::FS2000, u"C:\\FS2000"_s}});
        frmScenery &form = f.load(threeSceneries());
        f.typeSet(u"Mine"_s);
        f.env.ui.expectForm<frmSimType>(u"frmSimType"_s, [option](frmSimType &d) {
            d.optSimType_Click(option);
            d.cmdOK_Click();
        });
        form.cmdChangeFlightSimSet_Click();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.manager->dicCFGs.item(u"Mine"_s)->Cache_Size, option);
        QVERIFY(f.members(u"Mine"_s).contains(u"C"_s));
        QCOMPARE(form.sets().cboScenerySet().items, listAfter);
        QCOMPARE(form.sets().displayedSet()->Key, shownAfter);
        QCOMPARE(f.statusText(), Ready);
    }

    // "(Current)" belongs to no simulator: nothing is asked.
    void currentSetKeepsItsSimulator()
    {
        WindowFixture f;
        frmScenery &form = f.load(threeSceneries());
        form.cmdChangeFlightSimSet_Click();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.manager->dicCFGs.item(Current)->Cache_Size, 0);
    }
};

QTEST_GUILESS_MAIN(TestSceneryCfgCommands)
#include "tst_scenerycfgcommands.moc"
