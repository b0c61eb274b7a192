#include "tst_frmscenery_fixture.h"

#include "app/commandtable.h"
#include "app/debuglog.h"
#include "backup/backupmanager.h"
#include "settings/programsettings.h"

#include <QSignalSpy>
#include <QTest>

using Fixture = MainWindowFixture;

namespace {
const QString Current = u"(Current)"_s;

QString settingValue(TestEnv &env, const QString &name)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name);
}
} // namespace

class TestFrmScenery : public QObject
{
    Q_OBJECT

private slots:
    // ---- Lifecycle ---------------------------------------------------------------------------

    void titleFollowsSimulator_data()
    {
        QTest::addColumn<int>("simType");
        QTest::addColumn<QString>("title");
        QTest::newRow("2000") << 0 << u"Lumivale 1.6 - Flight Simulator 2000"_s;
        QTest::newRow("2002") << 1 << u"Lumivale 1.6 - Flight Simulator 2002"_s;
        QTest::newRow("CFS2") << 2 << u"Lumivale 1.6 - Combat Flight Simulator 2"_s;
    }
    void titleFollowsSimulator()
    {
        QFETCH(int, simType);
        QFETCH(QString, title);
        Fixture f;
        f.addCfgArea(u"Alpha"_s);
        QCOMPARE(f.load(simType).Caption(), title);
        QVERIFY(f.env.ui.allShown());
    }

    void loadShowsSplashAndCurrentSet()
    {
        Fixture f;
        f.addCfgAreas({u"Alpha"_s, u"Beta"_s});
        f.writeFiles(1);
        f.create();
        frmScenery &form = *f.form;
        QSignalSpy splash(&form, &frmScenery::splashChanged);
        form.Form_Initialize();
        form.Form_Load();
        QVERIFY(form.splash().isVisible());
        QVERIFY(!form.splash().Text1Visible);
        QVERIFY(!form.splash().lblCloseVisible);
        QCOMPARE(form.splash().lblBuild, u"Build: %1.%2.%3"_s.arg(ProgramInfo::versionMajor())
                                             .arg(ProgramInfo::versionMinor())
                                             .arg(ProgramInfo::versionRevision()));
        QVERIFY(!f.env.ui.busy());
        // The areas of the Scenery.cfg are the members of "(Current)", shown checked.
        QCOMPARE(form.cboScenerySet().text, Current);
        QCOMPARE(form.displayedSet()->Key, Current);
        QCOMPARE(f.members(Current), (QStringList{u"Alpha"_s, u"Beta"_s}));
        QVERIFY(f.newNode(u"Alpha"_s)->checked());
        const auto &panels = form.stbStatus().panels;
        QCOMPARE((QStringList{panels[1], panels[2], panels[3]}),
                 (QStringList{u"Level: 1"_s, u"Sceneries: 2"_s, u"Sceneries in Set: 2 / 2"_s}));
        form.Form_Activate();
        QVERIFY(!form.splash().isVisible());
        QCOMPARE(splash.count(), 2);
        QVERIFY(f.env.ui.allShown());
    }

    void setListOffersSetsOfSelectedSimulator_data()
    {
        QTest::addColumn<int>("simType");
        QTest::addColumn<QStringList>("offered");
        // Stored sets are read before the list is filled; "(Current)" is created after them.
        QTest::newRow("2002") << 1 << QStringList{u"Europe"_s, Current};
        QTest::newRow("2000") << 0 << QStringList{u"Old"_s, Current};
        QTest::newRow("CFS2") << 2 << QStringList{Current};
    }
    void setListOffersSetsOfSelectedSimulator()
    {
        QFETCH(int, simType);
        QFETCH(QStringList, offered);
        Fixture f;
        f.addSet(u"Europe"_s, 1, {});
        f.addSet(u"Old"_s, 0, {});
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load(simType);
        QCOMPARE(form.cboScenerySet().items, offered);
        QCOMPARE(form.cboScenerySet().listIndex, int(offered.indexOf(Current)));
    }

    void missingSceneryCfgStillOpens()
    {
        Fixture f;
        f.addNew({u"Alpha"_s});
        f.writeFiles(1);
        f.env.fs.deleteFile(Fixture::simFolder(1) + u"\\Scenery.cfg"_s);
        f.create();
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG"_s, u"Lumivale"_s);
        f.form->Form_Load();
        QVERIFY(f.env.ui.allShown());
        // The window opens on the library with an empty "(Current)".
        QCOMPARE(f.form->cboScenerySet().text, Current);
        QCOMPARE(f.checkedOf({u"Alpha"_s}), QStringList());
        QVERIFY(f.newNode(u"Alpha"_s));
        QCOMPARE(f.form->stbStatus().panels[3], u"Sceneries in Set: 0 / 1"_s);
    }

    void debugLogLinesOfCreationAndActivation()
    {
        Fixture f;
        f.addCfgArea(u"Alpha"_s);
        f.writeFiles(1);
        f.create();
        Start::DebugLog log(f.env.fs, true);
        f.form->setDebugLog(&log);
        f.form->Form_Initialize();
        f.form->Form_Load();
        f.form->Form_Activate();
        QStringList lines = f.env.fs.readLines(Start::DebugLog::FileName);
        for (QString &line : lines)
            line = line.section(u" - "_s, 1);
        QCOMPARE(lines, (QStringList{u"Iniditalize"_s, u"Iniditalize end"_s, u"Hide Splash (Activate)"_s,
                                     u"Hide Splash end (Activate)"_s}));
        // Without the debug flag nothing is written.
        Start::DebugLog off(f.env.fs, false);
        f.form->setDebugLog(&off);
        f.form->Form_Initialize();
        QCOMPARE(f.env.fs.readLines(Start::DebugLog::FileName).size(), 4);
    }

    void unload_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("answered No: files untouched") << false;
        QTest::newRow("answered Yes: last tick saved") << true;
    }
    void unload()
    {
        QFETCH(bool, save);
        Fixture f;
        f.addNew({u"Alpha"_s, u"Beta"_s});
        f.addSet(u"Mine"_s, 1, {u"Alpha"_s});
        f.addCfgAreas({u"Alpha"_s, u"Fresh"_s});
        frmScenery &form = f.load();
        const QStringList names{u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s};
        QList<QByteArray> before;
        for (const QString &name : names)
            before << f.env.readFile(f.dbPath(name));
        f.typeSet(u"Mine"_s);
        f.check(u"SceneryNew\\Alpha"_s, false);
        // The last tick is only on the check box when the window closes.
        f.newNode(u"Beta"_s)->setChecked(true);
        QSignalSpy unloaded(&form, &frmScenery::unloaded);
        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               save ? UiPort::Answer::Yes : UiPort::Answer::No);
        form.Form_Unload();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!form.displayedSet());
        QCOMPARE(f.env.fs.fileExists(f.dbPath(u"Lumivale.db5.backup"_s)), save);
        if (!save) {
            for (int i = 0; i < names.size(); ++i)
                QCOMPARE(f.env.readFile(f.dbPath(names[i])), before[i]);
            return;
        }
        QCOMPARE(f.env.fs.readLines(f.dbPath(u"CFGSet.db"_s)),
                 (QStringList{u"<Set>"_s, u"Mine"_s, u"1"_s, u"False"_s, u"Beta"_s, u"</Set>"_s}));
    }

    // ---- Sets --------------------------------------------------------------------------------

    void typedSetNameDisplaysOrCreates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<int>("cacheSize");
        QTest::addColumn<QStringList>("items");
        const QStringList listed{u"Europe"_s, Current};
        QTest::newRow("existing") << u"Europe"_s << QStringList{u"Alpha"_s} << 1 << listed;
        // A set of another simulator is displayed but not added to the list.
        QTest::newRow("other simulator") << u"Old"_s << QStringList{u"Beta"_s} << 0 << listed;
        QTest::newRow("new") << u"Fresh"_s << QStringList{} << 1 << (listed + QStringList{u"Fresh"_s});
    }
    void typedSetNameDisplaysOrCreates()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, members);
        QFETCH(int, cacheSize);
        QFETCH(QStringList, items);
        Fixture f;
        f.addNew({u"Alpha"_s, u"Beta"_s});
        f.addSet(u"Europe"_s, 1, {u"Alpha"_s});
        f.addSet(u"Old"_s, 0, {u"Beta"_s});
        f.addCfgAreas({u"Alpha"_s, u"Beta"_s});
        frmScenery &form = f.load();
        f.typeSet(typed);
        QCOMPARE(form.displayedSet()->Key, typed);
        QCOMPARE(form.displayedSet()->Cache_Size, cacheSize);
        QCOMPARE(f.members(typed), members);
        QCOMPARE(form.cboScenerySet().items, items);
        QCOMPARE(f.checkedOf({u"Alpha"_s, u"Beta"_s}), members);
        // "(Current)" kept the marks it had when the switch wrote them back.
        QCOMPARE(f.members(Current), (QStringList{u"Alpha"_s, u"Beta"_s}));
        QCOMPARE(form.stbStatus().panels[3], u"Sceneries in Set: %1 / 2"_s.arg(members.size()));
    }

    void addSetPromptSwitchesToNewSet()
    {
        Fixture f;
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        const QString prompt = u"Insert a new Set name:"_s, title = u"Create new set"_s;
        f.env.ui.expectInput(prompt, title, u"Mine"_s);
        form.runCommand(15);
        QCOMPARE(form.displayedSet()->Key, u"Mine"_s);
        QCOMPARE(f.checkedOf({u"Alpha"_s}), QStringList());
        QCOMPARE(form.stbStatus().panels[0], u"Ready."_s);
        // Cancel changes nothing.
        f.env.ui.expectInput(prompt, title, QString());
        form.mnuSetAdd_Click();
        QCOMPARE(form.displayedSet()->Key, u"Mine"_s);
        QCOMPARE(f.manager->dicCFGs.count(), 2);
        QVERIFY(f.env.ui.allShown());
    }

    void copyCurrentToDisplayedSet()
    {
        Fixture f;
        f.addNew({u"Alpha"_s, u"Beta"_s, u"Gamma"_s});
        f.addSet(u"Mine"_s, 1, {u"Gamma"_s});
        f.addCfgAreas({u"Beta"_s, u"Alpha"_s});
        frmScenery &form = f.load();
        f.typeSet(u"Mine"_s);
        form.runCommand(19);
        QCOMPARE(f.members(u"Mine"_s), f.members(Current));
        QCOMPARE(f.checkedOf({u"Alpha"_s, u"Beta"_s, u"Gamma"_s}), (QStringList{u"Alpha"_s, u"Beta"_s}));

        // On "(Current)" itself it is silent: not even a status text.
        f.typeSet(Current);
        const QStringList current = f.members(Current);
        form.Display(u"before"_s);
        form.mnuCreateSetfromCurrent_Click();
        QCOMPARE(form.stbStatus().panels[0], u"before"_s);
        QCOMPARE(f.members(Current), current);
    }

    void findSceneriesWithoutSetMarksBold()
    {
        Fixture f;
        f.addNew({u"OnlyCurrent"_s, u"InSet"_s});
        f.addScenery(u"Hidden"_s, u"LevelNew"_s, 1);
        f.addSet(u"Mine"_s, 1, {u"InSet"_s});
        f.addCfgAreas({u"OnlyCurrent"_s, u"InSet"_s});
        frmScenery &form = f.load();
        f.newNode(u"InSet"_s)->setBold(true);
        form.chkFilter_Click(3, true); // hides "Hidden" (FS95 only)
        QVERIFY(!f.newNode(u"Hidden"_s));
        form.runCommand(18);
        QVERIFY(f.newNode(u"OnlyCurrent"_s)->bold());
        QVERIFY(!f.newNode(u"InSet"_s)->bold());
        QCOMPARE(form.stbStatus().panels[0], u"Ready."_s);
    }

    void warningPictureFromMemberCount_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<bool>("warning");
        QTest::newRow("332") << 332 << false;
        QTest::newRow("333") << 333 << true;
    }
    void warningPictureFromMemberCount()
    {
        QFETCH(int, members);
        QFETCH(bool, warning);
        Fixture f;
        for (int i = 0; i < members; ++i)
            f.addCfgArea(u"Area %1"_s.arg(i));
        frmScenery &form = f.load();
        QCOMPARE(form.stbStatus().warningPicture, warning);
        QCOMPARE(form.stbStatus().panels[3], u"Sceneries in Set: %1 / %1"_s.arg(members));
    }

    void renameSet_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("displayed");
        QTest::newRow("new name") << u"Renamed"_s << false << u"Renamed"_s;
        QTest::newRow("taken") << u"Other"_s << true << u"Mine"_s;
        QTest::newRow("taken by current") << Current << true << u"Mine"_s;
        QTest::newRow("empty") << QString() << false << u"Mine"_s;
        QTest::newRow("unchanged") << u"Mine"_s << false << u"Mine"_s;
    }
    void renameSet()
    {
        QFETCH(QString, answer);
        QFETCH(bool, refused);
        QFETCH(QString, displayed);
        Fixture f;
        f.addNew({u"Alpha"_s});
        f.addSet(u"Mine"_s, 1, {u"Alpha"_s});
        f.addSet(u"Other"_s, 1, {});
        f.addCfgArea(u"Beta"_s);
        frmScenery &form = f.load();
        f.typeSet(u"Mine"_s);
        const CfgPtr mine = form.displayedSet();
        f.env.ui.expectInput(u"Type in the new set name."_s, u"Rename set"_s, answer);
        if (refused)
            f.env.ui.expectMessageStartingWith(u"A set named"_s, u"Rename set"_s);
        form.runCommand(17);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.displayedSet(), mine);
        QCOMPARE(mine->Key, displayed);
        QCOMPARE(f.set(displayed), mine);
        QCOMPARE(mine->colUsedSceneries.keys(), QStringList{u"Alpha"_s});
        QCOMPARE(form.cboScenerySet().text, displayed);
        QCOMPARE(form.cboScenerySet().items.count(displayed), 1);
        QCOMPARE(form.cboScenerySet().items.contains(u"Mine"_s), displayed == u"Mine"_s);
        QVERIFY(f.members(u"Other"_s).isEmpty());
        QCOMPARE(f.members(Current), QStringList{u"Beta"_s});
    }

    void removeSetDisplaysCurrent()
    {
        Fixture f;
        f.addNew({u"Alpha"_s});
        f.addCfgArea(u"Alpha"_s);
        f.addSet(u"Mine"_s, 1, {});
        frmScenery &form = f.load();
        form.mnuSetRemove_Click(); // "(Current)" is never removed
        QCOMPARE(f.manager->dicCFGs.count(), 2);
        f.typeSet(u"Mine"_s);
        form.runCommand(16);
        QVERIFY(!f.set(u"Mine"_s));
        QCOMPARE(form.cboScenerySet().items, QStringList{Current});
        QCOMPARE(form.cboScenerySet().text, Current);
        QCOMPARE(form.displayedSet()->Key, Current);
        QCOMPARE(f.checkedOf({u"Alpha"_s}), QStringList{u"Alpha"_s});
    }

    void setMenuEnabling_data()
    {
        QTest::addColumn<QStringList>("inSets");
        QTest::addColumn<bool>("addEnabled");
        QTest::addColumn<bool>("removeEnabled");
        QTest::newRow("in every set") << QStringList{u"A"_s, u"B"_s} << false << true;
        QTest::newRow("in none") << QStringList{} << true << false;
        QTest::newRow("in one") << QStringList{u"B"_s} << true << true;
    }
    void setMenuEnabling()
    {
        QFETCH(QStringList, inSets);
        QFETCH(bool, addEnabled);
        QFETCH(bool, removeEnabled);
        Fixture f;
        f.addNew({u"Alpha"_s});
        for (const QString &name : {u"A"_s, u"B"_s})
            f.addSet(name, 1, inSets.contains(name) ? QStringList{u"Alpha"_s} : QStringList{});
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        f.select(u"SceneryNew\\Alpha"_s);
        const frmScenery::SetMenu &menu = form.fillSetMenu();
        QCOMPARE(menu.mnuAddToSetEnabled, addEnabled);
        QCOMPARE(menu.mnuRemoveFromSetEnabled, removeEnabled);
        // Entry 0 is the design-time entry, then one per set in dicCFGs order ("A", "B", "(Current)").
        QCOMPARE(menu.mnuSets.size(), 4);
        QCOMPARE(menu.mnuSets[3].caption, Current);
        for (int i : {0, 3})
            QVERIFY(!menu.mnuSets[i].visible && !menu.mnuInSets[i].visible);
        for (int i = 1; i <= 2; ++i) {
            const bool member = inSets.contains(menu.mnuSets[i].caption);
            QCOMPARE(menu.mnuSets[i].visible, !member);
            QCOMPARE(menu.mnuInSets[i].visible, member);
        }
    }

    void setMenuEntriesChangeMembership()
    {
        Fixture f;
        f.addNew({u"Alpha"_s});
        f.addSet(u"A"_s, 1, {});
        f.addSet(u"B"_s, 1, {});
        f.addCfgArea(u"Beta"_s);
        frmScenery &form = f.load();
        f.typeSet(u"B"_s);
        f.select(u"SceneryNew\\Alpha"_s);
        TreeNode *alpha = f.newNode(u"Alpha"_s);
        form.fillSetMenu();
        form.mnuSets_Click(1); // "A", not displayed: the box stays
        QCOMPARE(f.members(u"A"_s), QStringList{u"Alpha"_s});
        QVERIFY(!alpha->checked());
        form.mnuSets_Click(2); // "B", displayed: the box follows
        form.mnuSets_Click(2); // already a member: nothing doubles
        QCOMPARE(f.members(u"B"_s), QStringList{u"Alpha"_s});
        QVERIFY(alpha->checked());
        form.mnuInSets_Click(2);
        QVERIFY(f.members(u"B"_s).isEmpty());
        QVERIFY(!alpha->checked());
        form.mnuInSets_Click(1);
        QVERIFY(f.members(u"A"_s).isEmpty());
    }

    void hiddenMembersSurviveFilterRebuild()
    {
        Fixture f;
        f.addNew({u"Other"_s});
        f.addScenery(u"Shown"_s, u"LevelNew"_s, 8);
        f.addScenery(u"Hidden"_s, u"LevelNew"_s, 1);
        f.addSet(u"Mine"_s, 1, {u"Shown"_s, u"Hidden"_s});
        f.addCfgArea(u"Other"_s);
        frmScenery &form = f.load();
        f.typeSet(u"Mine"_s);
        form.chkFilter_Click(3, true); // FS2K2 only: "Hidden" leaves the tree
        QVERIFY(!f.newNode(u"Hidden"_s));
        // The rebuild marked the boxes from InCFG; the displayed set's marks are back.
        QCOMPARE(f.checkedOf({u"Shown"_s, u"Other"_s}), QStringList{u"Shown"_s});
        form.TransferData();
        QCOMPARE(f.members(u"Mine"_s), (QStringList{u"Shown"_s, u"Hidden"_s}));
        // An edit of a shown box still counts; the hidden member stays.
        f.check(u"SceneryNew\\Shown"_s, false);
        QCOMPARE(f.members(u"Mine"_s), QStringList{u"Hidden"_s});
        form.chkFilter_Click(3, false);
        QCOMPARE(f.checkedOf({u"Hidden"_s, u"Shown"_s}), QStringList{u"Hidden"_s});
        QCOMPARE(f.members(Current), QStringList{u"Other"_s});
    }

    void rebuildKeepsDisplayedSetMarks()
    {
        Fixture f;
        f.addNew({u"Alpha"_s, u"Beta"_s});
        f.addSet(u"Mine"_s, 1, {u"Beta"_s});
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        f.typeSet(u"Mine"_s);
        // A rebuild by another command (as before writing a Scenery.cfg) keeps the set's marks.
        form.libraryTree().UndisplayAllTree();
        QCOMPARE(f.checkedOf({u"Alpha"_s, u"Beta"_s}), QStringList{u"Beta"_s});
        form.TransferData();
        QCOMPARE(f.members(u"Mine"_s), QStringList{u"Beta"_s});
    }

    // ---- Tree --------------------------------------------------------------------------------

    void checkingLevelChecksSceneriesBelow()
    {
        Fixture f;
        f.addNew({u"Alpha"_s});
        f.addLevel(u"LevelEurope"_s, u"Europe"_s);
        f.addLevel(u"LevelEurope\\Germany"_s, u"Germany"_s);
        f.addScenery(u"Paris"_s, u"LevelEurope"_s);
        f.addScenery(u"Berlin"_s, u"LevelEurope\\Germany"_s);
        f.addSet(u"Mine"_s, 1, {});
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        f.typeSet(u"Mine"_s);
        f.check(u"LevelEurope"_s, true);
        QCOMPARE(f.members(u"Mine"_s), (QStringList{u"Paris"_s, u"Berlin"_s}));
        QVERIFY(f.node(u"SceneryEurope\\Germany\\Berlin"_s)->checked());
        QVERIFY(!f.newNode(u"Alpha"_s)->checked());
        // No member is called "Europe": the level's own box is cleared again.
        QVERIFY(!f.node(u"LevelEurope"_s)->checked());
        QCOMPARE(form.stbStatus().panels[3], u"Sceneries in Set: 2 / 3"_s);
        f.check(u"LevelEurope\\Germany"_s, false);
        QCOMPARE(f.members(u"Mine"_s), QStringList{u"Paris"_s});
    }

    void levelBoxShowsCaptionMembership()
    {
        Fixture f;
        f.addNew({});
        f.addLevel(u"LevelParis"_s, u"Paris"_s);
        f.addScenery(u"Paris"_s, u"LevelParis"_s);
        f.addCfgArea(u"Paris"_s);
        f.load();
        // A member title equal to the caption checks the level's box too.
        QVERIFY(f.node(u"LevelParis"_s)->checked());
        QVERIFY(!f.node(u"LevelNew"_s)->checked());
    }

    void filterClickRebuildsAndStores_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("fs95Shown");
        QTest::newRow("FS95") << 0 << u"1"_s << true;
        QTest::newRow("FS2K") << 2 << u"4"_s << false;
        QTest::newRow("CFS2") << 5 << u"32"_s << false;
    }
    void filterClickRebuildsAndStores()
    {
        QFETCH(int, box);
        QFETCH(QString, stored);
        QFETCH(bool, fs95Shown);
        Fixture f;
        f.addNew({u"Any"_s});
        f.addLevel(u"LevelEmpty"_s, u"Empty"_s);
        f.addScenery(u"Old"_s, u"LevelNew"_s, 1);
        f.addCfgArea(u"Any"_s);
        frmScenery &form = f.load();
        QSignalSpy filters(&form, &frmScenery::filtersChanged);
        form.chkFilter_Click(box, true);
        QCOMPARE(form.filterMask(), 1 << box);
        QCOMPARE(settingValue(f.env, u"Filter"_s), stored);
        QCOMPARE(bool(f.newNode(u"Old"_s)), fs95Shown);
        QVERIFY(f.newNode(u"Any"_s));
        QVERIFY(f.node(u"LevelEmpty"_s));
        QCOMPARE(filters.count(), 1);
    }

    void storedFilterRestoresBoxesWithoutRebuild()
    {
        Fixture f;
        f.addNew({});
        f.addScenery(u"Old"_s, u"LevelNew"_s, 1);
        f.addCfgArea(u"Old"_s);
        // Bit 6 belongs to no box: a store while loading would write "10" back.
        f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s, u"74"_s);
        frmScenery &form = f.load();
        QCOMPARE(form.chkFilter(), (std::array<bool, 6>{false, true, false, true, false, false}));
        QCOMPARE(settingValue(f.env, u"Filter"_s), u"74"_s);
        // Loading builds the tree unfiltered.
        QVERIFY(f.newNode(u"Old"_s));
        QVERIFY(!form.eventsSuppressed());
    }

    void labelEdit_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("caption");
        const QString europe = u"LevelEurope"_s;
        QTest::newRow("level") << europe << true << u"Asia"_s << u"Asia"_s;
        QTest::newRow("backslash") << europe << true << u"A\\B"_s << u"A/B"_s;
        QTest::newRow("empty refused") << europe << true << QString() << u"Europe"_s;
        QTest::newRow("New") << u"LevelNew"_s << false << u"Other"_s << u"New"_s;
        QTest::newRow("scenery") << u"SceneryEurope\\Paris"_s << false << u"X"_s << QString();
    }
    void labelEdit()
    {
        QFETCH(QString, selected);
        QFETCH(bool, editable);
        QFETCH(QString, typed);
        QFETCH(QString, caption);
        Fixture f;
        f.addNew({});
        f.addLevel(u"LevelEurope"_s, u"Europe"_s);
        f.addScenery(u"Paris"_s, u"LevelEurope"_s);
        f.addCfgArea(u"Paris"_s);
        frmScenery &form = f.load();
        QVERIFY(!form.trvScenery_BeforeLabelEdit());
        TreeNode *node = f.node(selected);
        form.trvScenery().setSelectedItem(node);
        QCOMPARE(form.trvScenery_BeforeLabelEdit(), editable);
        form.trvScenery_AfterLabelEdit(node, typed);
        // The key stays; only the caption changes.
        QCOMPARE(node->key(), selected);
        if (!caption.isEmpty()) {
            QCOMPARE(f.manager->dicLevel.item(selected)->sLevelCaption, caption);
            QCOMPARE(node->text(), caption);
        }
        QVERIFY(f.node(u"SceneryEurope\\Paris"_s));
    }

    void rightClickPreparesMenus()
    {
        Fixture f;
        f.addNew({u"Alpha"_s});
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        TreeNode *alpha = f.newNode(u"Alpha"_s);
        QCOMPARE(form.trvScenery_RightClick(), frmScenery::PopupMenu::None);
        form.trvScenery().setSelectedItem(f.node(u"LevelNew"_s));
        QCOMPARE(form.trvScenery_RightClick(), frmScenery::PopupMenu::Level);
        QVERIFY(!form.setSubMenusVisible());
        form.trvScenery().setSelectedItem(alpha);
        QCOMPARE(form.trvScenery_RightClick(), frmScenery::PopupMenu::Scenery);
        QVERIFY(form.setSubMenusVisible());
        QCOMPARE(form.setMenu().mnuSets.size(), 2);
        form.scenerySubMenusClosed();
        QVERIFY(!form.setSubMenusVisible());
        // A press makes the node under the pointer the drag node and shows it.
        form.trvScenery_MouseDown(alpha);
        QCOMPARE(form.dragNode(), alpha);
        QCOMPARE(form.displayedScenery()->Title, u"Alpha"_s);
        form.trvScenery_MouseDown(nullptr);
        QVERIFY(!form.dragNode());
    }

    // ---- Commands ----------------------------------------------------------------------------

    void functionKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("bound");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("ran");
        QTest::addColumn<QString>("status");
        const QString before = u"before"_s, moveUp = u"Move up"_s;
        QTest::newRow("F3 Move up, nothing selected") << 3 << moveUp << false << true << before;
        QTest::newRow("Shift+F5") << 5 << moveUp << true << false << before;
        QTest::newRow("unknown caption") << 7 << u"Make Coffee"_s << false << false << before;
        QTest::newRow("other case") << 7 << u"move up"_s << false << false << before;
        QTest::newRow("unbound") << 12 << QString() << false << false << before;
        QTest::newRow("find without set")
            << 1 << u"Find sceneries without set"_s << false << true << u"Ready."_s;
    }
    void functionKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, bound);
        QFETCH(bool, shift);
        QFETCH(bool, ran);
        QFETCH(QString, status);
        Fixture f;
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        Start::FunctionKeyTable table;
        table[std::size_t(key - 1)] = bound;
        form.setFunctionKeys(table);
        form.Display(u"before"_s);
        QCOMPARE(form.functionKey(key, shift, false, false), ran);
        QCOMPARE(form.stbStatus().panels[0], status);
        QVERIFY(!form.functionKey(key, false, true, false));
        QVERIFY(!form.functionKey(key, false, false, true));
    }

    void unavailableCommandIsReported()
    {
        Fixture f;
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        for (int row : {15, 16, 17, 18, 19})
            QVERIFY(form.isCommandAvailable(row));
        for (int row : {0, 7, 29, 36, 46}) // 29: no backup manager given
            QVERIFY(!form.isCommandAvailable(row));
        form.runCommand(36);
        QCOMPARE(form.stbStatus().panels[0], frmScenery::notAvailableText(u"Select Sim Type"_s));
        QVERIFY(f.env.ui.allShown());
    }

    void backupMenuRunsWithBackupManager()
    {
        Fixture f;
        f.addCfgArea(u"Alpha"_s);
        frmScenery &form = f.load();
        BackupManager backup(f.env.context, Fixture::simFolder(1), 1);
        form.setBackupManager(&backup);
        for (int row = 29; row <= 33; ++row)
            QVERIFY(form.isCommandAvailable(row));
        QVERIFY(!form.functionKey(4, false, false, false));
        Start::FunctionKeyTable table;
        table[3] = u"Make Backup"_s;
        form.setFunctionKeys(table);
        // An empty name writes nothing.
        f.env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, QString());
        QVERIFY(form.functionKey(4, false, false, false));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.stbStatus().panels[0], u"Ready."_s);
        QVERIFY(backup.backupFiles().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFrmScenery)
#include "tst_frmscenery.moc"
