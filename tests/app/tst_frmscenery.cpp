#include "tst_frmscenery_fixture.h"

#include "app/commandtable.h"
#include "app/debuglog.h"
#include "backup/backupmanager.h"
#include "settings/programsettings.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using Fixture = MainWindowFixture;

namespace {
const QString Current = QStringLiteral("(Current)");
const QString SaveQuestion = QStringLiteral("Do you want to save the changes to the database?");
const QString SaveTitle = QStringLiteral("Update Database");

QString settingValue(TestEnv &env, const QString &name)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name);
}
}

class TestFrmScenery : public QObject
{
    Q_OBJECT

private slots:
    void titleFollowsSimulator_data();
    void titleFollowsSimulator();
    void loadShowsSplashAndCurrentSet();
    void setListOffersSetsOfSelectedSimulator_data();
    void setListOffersSetsOfSelectedSimulator();
    void missingSceneryCfgStillOpens();
    void debugLogLinesOfCreationAndActivation();
    void unloadAnsweredNoLeavesFilesUntouched();
    void unloadAnsweredYesSavesCheckBoxes();

    void typedSetNameDisplaysOrCreates_data();
    void typedSetNameDisplaysOrCreates();
    void addSetPromptSwitchesToNewSet();
    void copyCurrentToDisplayedSet();
    void copyCurrentRefusedOnCurrent();
    void findSceneriesWithoutSetMarksBold();
    void warningPictureFromMemberCount_data();
    void warningPictureFromMemberCount();
    void renameSet_data();
    void renameSet();
    void removeSetDisplaysCurrent();
    void setMenuEnabling_data();
    void setMenuEnabling();
    void setMenuEntriesChangeMembership();
    void hiddenMembersSurviveFilterRebuild();
    void rebuildKeepsDisplayedSetMarks();

    void checkingLevelChecksSceneriesBelow();
    void levelBoxShowsCaptionMembership();
    void filterClickRebuildsAndStores_data();
    void filterClickRebuildsAndStores();
    void storedFilterRestoresBoxesWithoutRebuild();
    void labelEdit_data();
    void labelEdit();
    void rightClickPreparesMenus();

    void functionKeys_data();
    void functionKeys();
    void unavailableCommandIsReported();
    void backupMenuRunsWithBackupManager();

    void loadTenThousandSceneries();
};

// ---- Lifecycle -----------------------------------------------------------------------------

void TestFrmScenery::titleFollowsSimulator_data()
{
    QTest::addColumn<int>("simType");
    QTest::addColumn<QString>("title");
    QTest::newRow("2000") << 0 << QStringLiteral("Lumivale 1.6 - Flight Simulator 2000");
    QTest::newRow("2002") << 1 << QStringLiteral("Lumivale 1.6 - Flight Simulator 2002");
    QTest::newRow("CFS2") << 2 << QStringLiteral("Lumivale 1.6 - Combat Flight Simulator 2");
}

void TestFrmScenery::titleFollowsSimulator()
{
    QFETCH(int, simType);
    QFETCH(QString, title);
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load(simType);
    QCOMPARE(form.Caption(), title);
    QVERIFY(f.env.ui.allShown());
}

void TestFrmScenery::loadShowsSplashAndCurrentSet()
{
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    f.addCfgArea(QStringLiteral("Beta"));
    f.writeFiles(1);
    f.create();
    frmScenery &form = *f.form;
    QSignalSpy splash(&form, &frmScenery::splashChanged);
    form.Form_Initialize();
    form.Form_Load();

    QVERIFY(form.splash().isVisible());
    QVERIFY(!form.splash().Text1Visible);
    QVERIFY(!form.splash().lblCloseVisible);
    QCOMPARE(form.splash().lblBuild, QStringLiteral("Build: %1.%2.%3")
                                         .arg(ProgramInfo::versionMajor())
                                         .arg(ProgramInfo::versionMinor())
                                         .arg(ProgramInfo::versionRevision()));
    QVERIFY(!f.env.ui.busy());

    // The areas of the Scenery.cfg are the members of "(Current)", shown checked.
    QCOMPARE(form.cboScenerySet().text, Current);
    QCOMPARE(form.displayedSet()->Key, Current);
    QCOMPARE(f.members(Current), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Alpha"))->checked());
    QCOMPARE(form.stbStatus().panels[1], QStringLiteral("Level: 1"));
    QCOMPARE(form.stbStatus().panels[2], QStringLiteral("Sceneries: 2"));
    QCOMPARE(form.stbStatus().panels[3], QStringLiteral("Sceneries in Set: 2 / 2"));

    form.Form_Activate();
    QVERIFY(!form.splash().isVisible());
    QCOMPARE(splash.count(), 2);
    QVERIFY(f.env.ui.allShown());
}

void TestFrmScenery::setListOffersSetsOfSelectedSimulator_data()
{
    QTest::addColumn<int>("simType");
    QTest::addColumn<QStringList>("offered");
    // The library files are read before the list is filled, so stored sets are offered at once;
    // "(Current)" comes from the Scenery.cfg and is created after them.
    QTest::newRow("2002") << 1 << QStringList{QStringLiteral("Europe"), Current};
    QTest::newRow("2000") << 0 << QStringList{QStringLiteral("Old"), Current};
    QTest::newRow("CFS2") << 2 << QStringList{Current};
}

void TestFrmScenery::setListOffersSetsOfSelectedSimulator()
{
    QFETCH(int, simType);
    QFETCH(QStringList, offered);
    Fixture f;
    f.addSet(QStringLiteral("Europe"), 1, {});
    f.addSet(QStringLiteral("Old"), 0, {});
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load(simType);
    QCOMPARE(form.cboScenerySet().items, offered);
    QCOMPARE(form.cboScenerySet().listIndex, int(offered.indexOf(Current)));
}

void TestFrmScenery::missingSceneryCfgStillOpens()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.writeFiles(1);
    f.env.fs.deleteFile(Fixture::simFolder(1) + QStringLiteral("\\Scenery.cfg"));
    f.create();
    f.env.ui.expectMessageStartingWith(QStringLiteral("SceneryManager.readCFG"), QStringLiteral("Lumivale"));
    f.form->Form_Load();
    QVERIFY(f.env.ui.allShown());
    // The window opens on the library with an empty "(Current)".
    QCOMPARE(f.form->Caption(), QStringLiteral("Lumivale 1.6 - Flight Simulator 2002"));
    QCOMPARE(f.form->cboScenerySet().text, Current);
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Alpha")));
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Alpha"))->checked());
    QCOMPARE(f.form->stbStatus().panels[3], QStringLiteral("Sceneries in Set: 0 / 1"));
}

void TestFrmScenery::debugLogLinesOfCreationAndActivation()
{
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    f.writeFiles(1);
    f.create();
    Start::DebugLog log(f.env.fs, true);
    f.form->setDebugLog(&log);
    f.form->Form_Initialize();
    f.form->Form_Load();
    f.form->Form_Activate();
    const QStringList lines = f.env.fs.readLines(Start::DebugLog::FileName);
    QCOMPARE(lines.size(), 4);
    const QStringList expected{QStringLiteral("Iniditalize"), QStringLiteral("Iniditalize end"),
                               QStringLiteral("Hide Splash (Activate)"), QStringLiteral("Hide Splash end (Activate)")};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(lines[i].endsWith(QStringLiteral(" - ") + expected[i]), qPrintable(lines[i]));

    // Without the debug flag nothing is written.
    Start::DebugLog off(f.env.fs, false);
    f.form->setDebugLog(&off);
    f.form->Form_Initialize();
    QCOMPARE(f.env.fs.readLines(Start::DebugLog::FileName).size(), 4);
}

void TestFrmScenery::unloadAnsweredNoLeavesFilesUntouched()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addSet(QStringLiteral("Mine"), 1, {QStringLiteral("Alpha")});
    f.addCfgArea(QStringLiteral("Alpha"));
    f.addCfgArea(QStringLiteral("Fresh"));
    frmScenery &form = f.load();
    const QStringList names{QStringLiteral("Lumivale.db5"), QStringLiteral("Level.db"), QStringLiteral("CFGSet.db")};
    QList<QByteArray> before;
    for (const QString &name : names)
        before << f.env.readFile(f.dbPath(name));

    f.typeSet(QStringLiteral("Mine"));
    f.check(QStringLiteral("SceneryNew\\Alpha"), false);
    QSignalSpy unloaded(&form, &frmScenery::unloaded);
    f.env.ui.expectMessage(SaveQuestion, SaveTitle, UiPort::Answer::No);
    form.Form_Unload();

    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(f.env.readFile(f.dbPath(names[i])), before[i]);
    QVERIFY(!f.env.fs.fileExists(f.dbPath(QStringLiteral("Lumivale.db5.backup"))));
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(!form.displayedSet());
    QVERIFY(f.env.ui.allShown());
}

void TestFrmScenery::unloadAnsweredYesSavesCheckBoxes()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addScenery(QStringLiteral("Beta"));
    f.addSet(QStringLiteral("Mine"), 1, {QStringLiteral("Alpha")});
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    f.typeSet(QStringLiteral("Mine"));
    // The last tick is only on the check box when the window closes.
    f.node(QStringLiteral("SceneryNew\\Beta"))->setChecked(true);

    f.env.ui.expectMessage(SaveQuestion, SaveTitle, UiPort::Answer::Yes);
    form.Form_Unload();

    const QStringList sets = f.env.fs.readLines(f.dbPath(QStringLiteral("CFGSet.db")));
    QCOMPARE(sets, (QStringList{QStringLiteral("<Set>"), QStringLiteral("Mine"), QStringLiteral("1"),
                                QStringLiteral("False"), QStringLiteral("Alpha"), QStringLiteral("Beta"),
                                QStringLiteral("</Set>")}));
    QVERIFY(f.env.fs.fileExists(f.dbPath(QStringLiteral("Lumivale.db5.backup"))));
    QVERIFY(f.env.ui.allShown());
}

// ---- Sets ----------------------------------------------------------------------------------

void TestFrmScenery::typedSetNameDisplaysOrCreates_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<int>("cacheSize");
    QTest::addColumn<QStringList>("items");
    const QStringList listed{QStringLiteral("Europe"), Current};
    QTest::newRow("existing") << QStringLiteral("Europe") << QStringList{QStringLiteral("Alpha")} << 1 << listed;
    // A set of another simulator is displayed but not added to the list.
    QTest::newRow("other simulator") << QStringLiteral("Old") << QStringList{QStringLiteral("Beta")} << 0 << listed;
    QTest::newRow("new") << QStringLiteral("Fresh") << QStringList{} << 1 << (listed + QStringList{QStringLiteral("Fresh")});
}

void TestFrmScenery::typedSetNameDisplaysOrCreates()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, members);
    QFETCH(int, cacheSize);
    QFETCH(QStringList, items);
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addScenery(QStringLiteral("Beta"));
    f.addSet(QStringLiteral("Europe"), 1, {QStringLiteral("Alpha")});
    f.addSet(QStringLiteral("Old"), 0, {QStringLiteral("Beta")});
    f.addCfgArea(QStringLiteral("Alpha"));
    f.addCfgArea(QStringLiteral("Beta"));
    frmScenery &form = f.load();

    f.typeSet(typed);
    QCOMPARE(form.displayedSet()->Key, typed);
    QCOMPARE(form.displayedSet()->Cache_Size, cacheSize);
    QCOMPARE(f.members(typed), members);
    QCOMPARE(form.cboScenerySet().items, items);
    QCOMPARE(f.node(QStringLiteral("SceneryNew\\Alpha"))->checked(), members.contains(QStringLiteral("Alpha")));
    QCOMPARE(f.node(QStringLiteral("SceneryNew\\Beta"))->checked(), members.contains(QStringLiteral("Beta")));
    // "(Current)" kept the marks it had when the switch wrote them back.
    QCOMPARE(f.members(Current), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    QCOMPARE(form.stbStatus().panels[3], QStringLiteral("Sceneries in Set: %1 / 2").arg(members.size()));
}

void TestFrmScenery::addSetPromptSwitchesToNewSet()
{
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    f.env.ui.expectInput(QStringLiteral("Insert a new Set name:"), QStringLiteral("Create new set"), QStringLiteral("Mine"));
    form.runCommand(15);
    QCOMPARE(form.displayedSet()->Key, QStringLiteral("Mine"));
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Alpha"))->checked());
    QCOMPARE(form.stbStatus().panels[0], QStringLiteral("Ready."));

    // Cancel changes nothing.
    f.env.ui.expectInput(QStringLiteral("Insert a new Set name:"), QStringLiteral("Create new set"), QString());
    form.mnuSetAdd_Click();
    QCOMPARE(form.displayedSet()->Key, QStringLiteral("Mine"));
    QCOMPARE(f.manager->dicCFGs.count(), 2);
    QVERIFY(f.env.ui.allShown());
}

void TestFrmScenery::copyCurrentToDisplayedSet()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addScenery(QStringLiteral("Beta"));
    f.addScenery(QStringLiteral("Gamma"));
    f.addSet(QStringLiteral("Mine"), 1, {QStringLiteral("Gamma")});
    f.addCfgArea(QStringLiteral("Beta"));
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    f.typeSet(QStringLiteral("Mine"));
    form.runCommand(19);
    QCOMPARE(f.members(QStringLiteral("Mine")), f.members(Current));
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Alpha"))->checked());
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Beta"))->checked());
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Gamma"))->checked());
}

void TestFrmScenery::copyCurrentRefusedOnCurrent()
{
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    form.Display(QStringLiteral("before"));
    form.mnuCreateSetfromCurrent_Click();
    // Silent: not even a status text.
    QCOMPARE(form.stbStatus().panels[0], QStringLiteral("before"));
    QCOMPARE(f.members(Current), QStringList{QStringLiteral("Alpha")});
}

void TestFrmScenery::findSceneriesWithoutSetMarksBold()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("OnlyCurrent"));
    f.addScenery(QStringLiteral("InSet"));
    f.addScenery(QStringLiteral("Hidden"), QStringLiteral("LevelNew"), 1);
    f.addSet(QStringLiteral("Mine"), 1, {QStringLiteral("InSet")});
    f.addCfgArea(QStringLiteral("OnlyCurrent"));
    f.addCfgArea(QStringLiteral("InSet"));
    frmScenery &form = f.load();
    f.node(QStringLiteral("SceneryNew\\InSet"))->setBold(true);
    form.chkFilter_Click(3, true);  // hides "Hidden" (FS95 only)
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Hidden")));

    form.runCommand(18);
    QVERIFY(f.node(QStringLiteral("SceneryNew\\OnlyCurrent"))->bold());
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\InSet"))->bold());
    QCOMPARE(form.stbStatus().panels[0], QStringLiteral("Ready."));
}

void TestFrmScenery::warningPictureFromMemberCount_data()
{
    QTest::addColumn<int>("members");
    QTest::addColumn<bool>("warning");
    QTest::newRow("332") << 332 << false;
    QTest::newRow("333") << 333 << true;
}

void TestFrmScenery::warningPictureFromMemberCount()
{
    QFETCH(int, members);
    QFETCH(bool, warning);
    Fixture f;
    for (int i = 0; i < 340; ++i) {
        if (i < members)
            f.addCfgArea(QStringLiteral("Area %1").arg(i));
    }
    frmScenery &form = f.load();
    QCOMPARE(form.stbStatus().warningPicture, warning);
    QCOMPARE(form.stbStatus().panels[3], QStringLiteral("Sceneries in Set: %1 / %1").arg(members));
}

void TestFrmScenery::renameSet_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("displayed");
    QTest::newRow("new name") << QStringLiteral("Renamed") << false << QStringLiteral("Renamed");
    QTest::newRow("taken") << QStringLiteral("Other") << true << QStringLiteral("Mine");
    QTest::newRow("taken by current") << Current << true << QStringLiteral("Mine");
    QTest::newRow("empty") << QString() << false << QStringLiteral("Mine");
    QTest::newRow("unchanged") << QStringLiteral("Mine") << false << QStringLiteral("Mine");
}

void TestFrmScenery::renameSet()
{
    QFETCH(QString, answer);
    QFETCH(bool, refused);
    QFETCH(QString, displayed);
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addSet(QStringLiteral("Mine"), 1, {QStringLiteral("Alpha")});
    f.addSet(QStringLiteral("Other"), 1, {});
    f.addCfgArea(QStringLiteral("Beta"));
    frmScenery &form = f.load();
    f.typeSet(QStringLiteral("Mine"));
    const CfgPtr mine = form.displayedSet();

    f.env.ui.expectInput(QStringLiteral("Type in the new set name."), QStringLiteral("Rename set"), answer);
    if (refused)
        f.env.ui.expectMessageStartingWith(QStringLiteral("A set named"), QStringLiteral("Rename set"));
    form.runCommand(17);
    QVERIFY(f.env.ui.allShown());

    QCOMPARE(form.displayedSet(), mine);
    QCOMPARE(mine->Key, displayed);
    QCOMPARE(f.set(displayed), mine);
    QCOMPARE(mine->colUsedSceneries.keys(), QStringList{QStringLiteral("Alpha")});
    QCOMPARE(form.cboScenerySet().text, displayed);
    QCOMPARE(form.cboScenerySet().items.count(displayed), 1);
    if (displayed != QStringLiteral("Mine"))
        QVERIFY(!form.cboScenerySet().items.contains(QStringLiteral("Mine")));
    QVERIFY(f.members(QStringLiteral("Other")).isEmpty());
    QCOMPARE(f.members(Current), QStringList{QStringLiteral("Beta")});
}

void TestFrmScenery::removeSetDisplaysCurrent()
{
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    f.addSet(QStringLiteral("Mine"), 1, {});
    frmScenery &form = f.load();
    // "(Current)" is created after the stored sets, so it is not the list's first entry.
    QCOMPARE(form.cboScenerySet().items, (QStringList{QStringLiteral("Mine"), Current}));
    form.mnuSetRemove_Click();
    QCOMPARE(f.manager->dicCFGs.count(), 2);

    f.typeSet(QStringLiteral("Mine"));
    form.runCommand(16);
    QVERIFY(!f.set(QStringLiteral("Mine")));
    QCOMPARE(form.cboScenerySet().items, QStringList{Current});
    QCOMPARE(form.cboScenerySet().text, Current);
    QCOMPARE(form.displayedSet()->Key, Current);
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Alpha"))->checked());
    QCOMPARE(f.members(Current), QStringList{QStringLiteral("Alpha")});
}

void TestFrmScenery::setMenuEnabling_data()
{
    QTest::addColumn<QStringList>("inSets");
    QTest::addColumn<bool>("addEnabled");
    QTest::addColumn<bool>("removeEnabled");
    QTest::newRow("in every set") << QStringList{QStringLiteral("A"), QStringLiteral("B")} << false << true;
    QTest::newRow("in none") << QStringList{} << true << false;
    QTest::newRow("in one") << QStringList{QStringLiteral("B")} << true << true;
}

void TestFrmScenery::setMenuEnabling()
{
    QFETCH(QStringList, inSets);
    QFETCH(bool, addEnabled);
    QFETCH(bool, removeEnabled);
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    for (const QString &name : {QStringLiteral("A"), QStringLiteral("B")})
        f.addSet(name, 1, inSets.contains(name) ? QStringList{QStringLiteral("Alpha")} : QStringList{});
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    f.select(QStringLiteral("SceneryNew\\Alpha"));

    const frmScenery::SetMenu &menu = form.fillSetMenu();
    QCOMPARE(menu.mnuAddToSetEnabled, addEnabled);
    QCOMPARE(menu.mnuRemoveFromSetEnabled, removeEnabled);
    // Entry 0 is the design-time entry, then one per set in dicCFGs order ("A", "B", "(Current)").
    QCOMPARE(menu.mnuSets.size(), 4);
    QVERIFY(!menu.mnuSets[0].visible && !menu.mnuInSets[0].visible);
    QCOMPARE(menu.mnuSets[3].caption, Current);
    QVERIFY(!menu.mnuSets[3].visible && !menu.mnuInSets[3].visible);
    for (int i = 1; i <= 2; ++i) {
        const bool member = inSets.contains(menu.mnuSets[i].caption);
        QCOMPARE(menu.mnuSets[i].visible, !member);
        QCOMPARE(menu.mnuInSets[i].visible, member);
    }
}

void TestFrmScenery::setMenuEntriesChangeMembership()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addSet(QStringLiteral("A"), 1, {});
    f.addSet(QStringLiteral("B"), 1, {});
    f.addCfgArea(QStringLiteral("Beta"));
    frmScenery &form = f.load();
    f.typeSet(QStringLiteral("B"));
    f.select(QStringLiteral("SceneryNew\\Alpha"));
    TreeNode *alpha = f.node(QStringLiteral("SceneryNew\\Alpha"));
    form.fillSetMenu();

    form.mnuSets_Click(1);  // "A", not displayed: the box stays
    QCOMPARE(f.members(QStringLiteral("A")), QStringList{QStringLiteral("Alpha")});
    QVERIFY(!alpha->checked());
    form.mnuSets_Click(2);  // "B", displayed: the box follows
    QCOMPARE(f.members(QStringLiteral("B")), QStringList{QStringLiteral("Alpha")});
    QVERIFY(alpha->checked());
    form.mnuSets_Click(2);  // already a member: nothing doubles
    QCOMPARE(f.members(QStringLiteral("B")).size(), 1);

    form.mnuInSets_Click(2);
    QVERIFY(f.members(QStringLiteral("B")).isEmpty());
    QVERIFY(!alpha->checked());
    form.mnuInSets_Click(1);
    QVERIFY(f.members(QStringLiteral("A")).isEmpty());
}

void TestFrmScenery::hiddenMembersSurviveFilterRebuild()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Shown"), QStringLiteral("LevelNew"), 8);
    f.addScenery(QStringLiteral("Hidden"), QStringLiteral("LevelNew"), 1);
    f.addScenery(QStringLiteral("Other"));
    f.addSet(QStringLiteral("Mine"), 1, {QStringLiteral("Shown"), QStringLiteral("Hidden")});
    f.addCfgArea(QStringLiteral("Other"));
    frmScenery &form = f.load();
    f.typeSet(QStringLiteral("Mine"));

    form.chkFilter_Click(3, true);  // FS2K2 only: "Hidden" leaves the tree
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Hidden")));
    // The rebuild marked the boxes from InCFG; the displayed set's marks are back.
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Shown"))->checked());
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Other"))->checked());

    form.TransferData();
    QCOMPARE(f.members(QStringLiteral("Mine")), (QStringList{QStringLiteral("Shown"), QStringLiteral("Hidden")}));
    // An edit of a shown box still counts; the hidden member stays.
    f.check(QStringLiteral("SceneryNew\\Shown"), false);
    QCOMPARE(f.members(QStringLiteral("Mine")), QStringList{QStringLiteral("Hidden")});

    form.chkFilter_Click(3, false);
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Hidden"))->checked());
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Shown"))->checked());
    QCOMPARE(f.members(Current), QStringList{QStringLiteral("Other")});
}

void TestFrmScenery::rebuildKeepsDisplayedSetMarks()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addScenery(QStringLiteral("Beta"));
    f.addSet(QStringLiteral("Mine"), 1, {QStringLiteral("Beta")});
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    f.typeSet(QStringLiteral("Mine"));
    // A rebuild by another command (as before writing a Scenery.cfg) keeps the set's marks.
    form.libraryTree().UndisplayAllTree();
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Alpha"))->checked());
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Beta"))->checked());
    form.TransferData();
    QCOMPARE(f.members(QStringLiteral("Mine")), QStringList{QStringLiteral("Beta")});
}

// ---- Tree ----------------------------------------------------------------------------------

void TestFrmScenery::checkingLevelChecksSceneriesBelow()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addLevel(QStringLiteral("LevelEurope"), QStringLiteral("Europe"));
    f.addLevel(QStringLiteral("LevelEurope\\Germany"), QStringLiteral("Germany"));
    f.addScenery(QStringLiteral("Paris"), QStringLiteral("LevelEurope"));
    f.addScenery(QStringLiteral("Berlin"), QStringLiteral("LevelEurope\\Germany"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addSet(QStringLiteral("Mine"), 1, {});
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    f.typeSet(QStringLiteral("Mine"));

    f.check(QStringLiteral("LevelEurope"), true);
    QCOMPARE(f.members(QStringLiteral("Mine")), (QStringList{QStringLiteral("Paris"), QStringLiteral("Berlin")}));
    QVERIFY(f.node(QStringLiteral("SceneryEurope\\Germany\\Berlin"))->checked());
    QVERIFY(!f.node(QStringLiteral("SceneryNew\\Alpha"))->checked());
    // No member is called "Europe": the level's own box is cleared again.
    QVERIFY(!f.node(QStringLiteral("LevelEurope"))->checked());
    QCOMPARE(form.stbStatus().panels[3], QStringLiteral("Sceneries in Set: 2 / 3"));

    f.check(QStringLiteral("LevelEurope\\Germany"), false);
    QCOMPARE(f.members(QStringLiteral("Mine")), QStringList{QStringLiteral("Paris")});
}

void TestFrmScenery::levelBoxShowsCaptionMembership()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addLevel(QStringLiteral("LevelParis"), QStringLiteral("Paris"));
    f.addScenery(QStringLiteral("Paris"), QStringLiteral("LevelParis"));
    f.addCfgArea(QStringLiteral("Paris"));
    frmScenery &form = f.load();
    Q_UNUSED(form)
    // A member title equal to the caption checks the level's box too.
    QVERIFY(f.node(QStringLiteral("LevelParis"))->checked());
    QVERIFY(!f.node(QStringLiteral("LevelNew"))->checked());
}

void TestFrmScenery::filterClickRebuildsAndStores_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("fs95Shown");
    QTest::newRow("FS95") << 0 << QStringLiteral("1") << true;
    QTest::newRow("FS2K") << 2 << QStringLiteral("4") << false;
    QTest::newRow("CFS2") << 5 << QStringLiteral("32") << false;
}

void TestFrmScenery::filterClickRebuildsAndStores()
{
    QFETCH(int, box);
    QFETCH(QString, stored);
    QFETCH(bool, fs95Shown);
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addLevel(QStringLiteral("LevelEmpty"), QStringLiteral("Empty"));
    f.addScenery(QStringLiteral("Old"), QStringLiteral("LevelNew"), 1);
    f.addScenery(QStringLiteral("Any"));
    f.addCfgArea(QStringLiteral("Any"));
    frmScenery &form = f.load();
    QSignalSpy filters(&form, &frmScenery::filtersChanged);
    form.chkFilter_Click(box, true);
    QCOMPARE(form.filterMask(), 1 << box);
    QCOMPARE(settingValue(f.env, QStringLiteral("Filter")), stored);
    QCOMPARE(bool(f.node(QStringLiteral("SceneryNew\\Old"))), fs95Shown);
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Any")));
    QVERIFY(f.node(QStringLiteral("LevelEmpty")));
    QCOMPARE(filters.count(), 1);
}

void TestFrmScenery::storedFilterRestoresBoxesWithoutRebuild()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Old"), QStringLiteral("LevelNew"), 1);
    f.addCfgArea(QStringLiteral("Old"));
    // Bit 6 belongs to no box: a store while loading would write "10" back.
    f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, QStringLiteral("Filter"),
                          QStringLiteral("74"));
    frmScenery &form = f.load();
    QCOMPARE(form.chkFilter(), (std::array<bool, 6>{false, true, false, true, false, false}));
    QCOMPARE(settingValue(f.env, QStringLiteral("Filter")), QStringLiteral("74"));
    // Loading builds the tree unfiltered.
    QVERIFY(f.node(QStringLiteral("SceneryNew\\Old")));
    QVERIFY(!form.eventsSuppressed());
}

void TestFrmScenery::labelEdit_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");
    QTest::newRow("level") << QStringLiteral("LevelEurope") << true << QStringLiteral("Asia") << QStringLiteral("Asia");
    QTest::newRow("backslash") << QStringLiteral("LevelEurope") << true << QStringLiteral("A\\B") << QStringLiteral("A/B");
    QTest::newRow("empty refused") << QStringLiteral("LevelEurope") << true << QString() << QStringLiteral("Europe");
    QTest::newRow("New") << QStringLiteral("LevelNew") << false << QStringLiteral("Other") << QStringLiteral("New");
    QTest::newRow("scenery") << QStringLiteral("SceneryEurope\\Paris") << false << QStringLiteral("X") << QString();
}

void TestFrmScenery::labelEdit()
{
    QFETCH(QString, selected);
    QFETCH(bool, editable);
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addLevel(QStringLiteral("LevelEurope"), QStringLiteral("Europe"));
    f.addScenery(QStringLiteral("Paris"), QStringLiteral("LevelEurope"));
    f.addCfgArea(QStringLiteral("Paris"));
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
    QVERIFY(f.node(QStringLiteral("SceneryEurope\\Paris")));
}

void TestFrmScenery::rightClickPreparesMenus()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(QStringLiteral("Alpha"));
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    QCOMPARE(form.trvScenery_RightClick(), frmScenery::PopupMenu::None);
    form.trvScenery().setSelectedItem(f.node(QStringLiteral("LevelNew")));
    QCOMPARE(form.trvScenery_RightClick(), frmScenery::PopupMenu::Level);
    QVERIFY(!form.setSubMenusVisible());
    form.trvScenery().setSelectedItem(f.node(QStringLiteral("SceneryNew\\Alpha")));
    QCOMPARE(form.trvScenery_RightClick(), frmScenery::PopupMenu::Scenery);
    QVERIFY(form.setSubMenusVisible());
    QCOMPARE(form.setMenu().mnuSets.size(), 2);
    form.scenerySubMenusClosed();
    QVERIFY(!form.setSubMenusVisible());

    // A press makes the node under the pointer the drag node and shows it.
    form.trvScenery_MouseDown(f.node(QStringLiteral("SceneryNew\\Alpha")));
    QCOMPARE(form.dragNode(), f.node(QStringLiteral("SceneryNew\\Alpha")));
    QCOMPARE(form.displayedScenery()->Title, QStringLiteral("Alpha"));
    form.trvScenery_MouseDown(nullptr);
    QVERIFY(!form.dragNode());
}

// ---- Commands ------------------------------------------------------------------------------

void TestFrmScenery::functionKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("bound");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("ran");
    QTest::addColumn<QString>("status");
    const QString moveUp = frmScenery::notAvailableText(QStringLiteral("Move up"));
    QTest::newRow("F3 Move up") << 3 << QStringLiteral("Move up") << false << true << moveUp;
    QTest::newRow("Shift+F5") << 5 << QStringLiteral("Move up") << true << false << QStringLiteral("before");
    QTest::newRow("unknown caption") << 7 << QStringLiteral("Make Coffee") << false << false << QStringLiteral("before");
    QTest::newRow("other case") << 7 << QStringLiteral("move up") << false << false << QStringLiteral("before");
    QTest::newRow("unbound") << 12 << QString() << false << false << QStringLiteral("before");
    QTest::newRow("find without set") << 1 << QStringLiteral("Find sceneries without set") << false << true
                                      << QStringLiteral("Ready.");
}

void TestFrmScenery::functionKeys()
{
    QFETCH(int, key);
    QFETCH(QString, bound);
    QFETCH(bool, shift);
    QFETCH(bool, ran);
    QFETCH(QString, status);
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    Start::FunctionKeyTable table;
    table[std::size_t(key - 1)] = bound;
    form.setFunctionKeys(table);
    form.Display(QStringLiteral("before"));
    QCOMPARE(form.functionKey(key, shift, false, false), ran);
    QCOMPARE(form.stbStatus().panels[0], status);
    QVERIFY(!form.functionKey(key, false, true, false));
    QVERIFY(!form.functionKey(key, false, false, true));
}

void TestFrmScenery::unavailableCommandIsReported()
{
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    for (int row : {15, 16, 17, 18, 19})
        QVERIFY(form.isCommandAvailable(row));
    for (int row : {0, 1, 36, 43, 46})
        QVERIFY(!form.isCommandAvailable(row));
    QVERIFY(!form.isCommandAvailable(29));  // no backup manager given
    form.runCommand(36);
    QCOMPARE(form.stbStatus().panels[0], frmScenery::notAvailableText(QStringLiteral("Select Sim Type")));
    QVERIFY(f.env.ui.allShown());
}

void TestFrmScenery::backupMenuRunsWithBackupManager()
{
    Fixture f;
    f.addCfgArea(QStringLiteral("Alpha"));
    frmScenery &form = f.load();
    BackupManager backup(f.env.context, Fixture::simFolder(1), 1);
    form.setBackupManager(&backup);
    for (int row = 29; row <= 33; ++row)
        QVERIFY(form.isCommandAvailable(row));
    // An empty name writes nothing.
    f.env.ui.expectInput(QStringLiteral("Insert a name of the backup:"), QStringLiteral("Backup name"), QString());
    QVERIFY(form.functionKey(4, false, false, false) == false);
    Start::FunctionKeyTable table;
    table[3] = QStringLiteral("Make Backup");
    form.setFunctionKeys(table);
    QVERIFY(form.functionKey(4, false, false, false));
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.stbStatus().panels[0], QStringLiteral("Ready."));
    QVERIFY(backup.backupFiles().isEmpty());
}

// ---- Size ----------------------------------------------------------------------------------

void TestFrmScenery::loadTenThousandSceneries()
{
    // Information only: how long the window takes to load a large library.
    Fixture f;
    const int levels = 100;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    for (int l = 0; l < levels; ++l)
        f.addLevel(QStringLiteral("LevelL%1").arg(l), QStringLiteral("L%1").arg(l));
    for (int i = 0; i < 10000; ++i) {
        const QString level = QStringLiteral("LevelL%1").arg(i % levels);
        MainWindowFixture::Scenery s;
        s.title = QStringLiteral("Scenery %1").arg(i);
        s.level = level;
        s.previousKey = i < levels ? QString() : MainWindowFixture::keyOf(level, QStringLiteral("Scenery %1").arg(i - levels));
        s.flySim = qint16(1 << (i % 6));
        f.addScenery(s);
        if (i % 30 == 0)
            f.addCfgArea(s.title);
    }
    f.addSet(QStringLiteral("Big"), 1, {QStringLiteral("Scenery 1"), QStringLiteral("Scenery 2")});
    f.writeFiles(1);
    f.create();
    QElapsedTimer timer;
    timer.start();
    f.form->Form_Load();
    const qint64 elapsed = timer.elapsed();
    qInfo("Form_Load of 10000 sceneries in %d levels: %lld ms", levels + 1, elapsed);
    QCOMPARE(f.manager->colScenery.count(), 10000);
    QCOMPARE(f.form->trvScenery().count(), 10000 + levels + 1);
    QCOMPARE(f.members(Current).size(), 334);
    QVERIFY(f.form->stbStatus().warningPicture);
}

QTEST_GUILESS_MAIN(TestFrmScenery)
#include "tst_frmscenery.moc"
