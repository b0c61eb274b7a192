// The main window's life, its sets, status bar, filter, label edits, pop-up menus, commands and
// placement, played on the window's procedures as the view calls them.

#include "windowfixture.h"

#include "app/debuglog.h"
#include "app/filehelpers.h"
#include "backup/backupmanager.h"
#include "backup/texturedialog.h"
#include "packaging/fileiddiz.h"
#include "reports/frmprintscenerylist.h"
#include "settings/programsettings.h"
#include "tree/librarytree.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Current = u"(Current)"_s;
const QString Ready = u"Ready."_s;
constexpr qint16 FS95 = 1;
constexpr qint16 FS2K2 = 8;

// "New" holds A and B; the simulator's Scenery.cfg lists A, so "(Current)" holds A. The sets "Mine"
// (holding B) and "Two" (empty) belong to Flight Simulator 2002, "Old" (holding A) to 2000.
frmScenery &loadSets(WindowFixture &f)
{
    return f.load(Library()
                      .scenery(u"A"_s)
                      .scenery(u"B"_s)
                      .set(u"Mine"_s, Sim::FS2002, {u"B"_s})
                      .set(u"Two"_s, Sim::FS2002, {})
                      .set(u"Old"_s, Sim::FS2000, {u"A"_s})
                      .recordOrder(),
                  Library().scenery(u"A"_s));
}

// "New" holds Other, Shown (FS2K2 only) and Hidden (FS95 only); Scenery.cfg lists Other; the set
// "Mine" holds Shown and Hidden. The filter box FS2K2 hides Hidden.
frmScenery &loadFiltered(WindowFixture &f)
{
    return f.load(Library()
                      .scenery(u"Other"_s)
                      .scenery(u"Shown"_s, {.flySim = FS2K2})
                      .scenery(u"Hidden"_s, {.flySim = FS95})
                      .set(u"Mine"_s, Sim::FS2002, {u"Shown"_s, u"Hidden"_s})
                      .recordOrder(),
                  Library().scenery(u"Other"_s));
}

QStringList setNames(const SceneryManager &manager)
{
    return manager.dicCFGs.keys();
}

QString storedSetting(TestEnv &env, const QString &name)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name, u"(none)"_s);
}
} // namespace

class TestFrmScenery : public QObject
{
    Q_OBJECT

private slots:
    // ---- Life ----------------------------------------------------------------------------------

    // The areas of the simulator's Scenery.cfg are the members of "(Current)", which is shown.
    void loadShowsTheCurrentSet()
    {
        WindowFixture f;
        frmScenery &form =
            f.load(Library().scenery(u"Alpha"_s), Library().scenery(u"Alpha"_s).scenery(u"Beta"_s));
        QCOMPARE(form.sets().cboScenerySet().text, Current);
        QCOMPARE(form.sets().displayedSet()->Key, Current);
        QCOMPARE(f.members(Current), (QStringList{u"Alpha"_s, u"Beta"_s}));
        QCOMPARE(f.tickedTitles(), (QStringList{u"Beta"_s, u"Alpha"_s}));
        QCOMPARE(form.status().stbStatus().panels[1], u"Level: 1"_s);
        QCOMPARE(form.status().stbStatus().panels[2], u"Sceneries: 2"_s);
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 2 / 2"_s);
        QVERIFY(!f.env.ui.busy());
    }

    // The splash shows while the window loads, without its text field and close label, and its
    // activation hides it; the debug log notes the creation and the activation.
    void splashAndDebugLog()
    {
        WindowFixture f;
        f.write(Library().scenery(u"Alpha"_s));
        frmScenery &form = f.create();
        Start::DebugLog log(f.env.fs, true);
        form.setDebugLog(&log);
        QSignalSpy splash(&form, &frmScenery::splashChanged);
        form.Form_Initialize();
        form.Form_Load();
        QVERIFY(form.splash().isVisible());
        QVERIFY(!form.splash().Text1Visible);
        QVERIFY(!form.splash().lblCloseVisible);
        form.Form_Activate();
        QVERIFY(!form.splash().isVisible());
        QCOMPARE(splash.count(), 2);
        QStringList messages;
        for (const QString &line : f.env.fs.readLines(Start::DebugLog::FileName))
            messages << line.section(u" - "_s, 1);
        QCOMPARE(messages, (QStringList{u"Iniditalize"_s, u"Iniditalize end"_s, u"Hide Splash (Activate)"_s,
                                        u"Hide Splash end (Activate)"_s}));
    }

    // On Yes the last tick, still only on its box, is saved; on No the files stay as they were.
    void closingAsksToSave_data()
    {
        QTest::addColumn<UiPort::Answer>("answer");
        QTest::newRow("No") << UiPort::Answer::No;
        QTest::newRow("Yes") << UiPort::Answer::Yes;
    }
    void closingAsksToSave()
    {
        QFETCH(UiPort::Answer, answer);
        WindowFixture f;
        frmScenery &form =
            f.load(Library().scenery(u"Alpha"_s).scenery(u"Beta"_s).set(u"Mine"_s, Sim::FS2002, {}));
        const QString sets = f.env.programFolder() + u"\\CFGSet.db"_s;
        const QByteArray before = f.env.readFile(sets);
        f.typeSet(u"Mine"_s);
        f.node(u"SceneryNew\\Beta"_s)->setChecked(true);
        QSignalSpy unloaded(&form, &frmScenery::unloaded);
        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               answer);
        form.Form_Unload();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!form.sets().displayedSet());
        if (answer == UiPort::Answer::No)
            QCOMPARE(f.env.readFile(sets), before);
        else
            QCOMPARE(f.env.fs.readLines(sets),
                     (QStringList{u"<Set>"_s, u"Mine"_s, u"1"_s, u"False"_s, u"Beta"_s, u"</Set>"_s}));
    }

    // A library read with errors is saved over its files only when the user says so again, and
    // the ".backup" copy of the damaged file stays as it was.
    void closingAfterDamagedReading_data()
    {
        QTest::addColumn<bool>("saveAnyway");
        QTest::newRow("not saved") << false;
        QTest::newRow("saved all the same") << true;
    }
    void closingAfterDamagedReading()
    {
        QFETCH(bool, saveAnyway);
        WindowFixture f;
        f.write(Library()
                    .scenery(u"Alpha"_s, {.key = u"SceneryNew\\Alpha"_s})
                    .scenery(u"Beta"_s, {.key = u"SceneryNew\\Alpha"_s}));
        const QString file = f.env.programFolder() + u"\\Lumivale.db5"_s;
        f.env.writeFile(file + u".backup"_s, "good copy");
        frmScenery &form = f.create();
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readDB\nError: 457\n"_s, u"Lumivale"_s);
        form.Form_Load();
        const QByteArray before = f.env.readFile(file);
        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               UiPort::Answer::Yes);
        f.env.ui.expectMessageStartingWith(
            u"The library files were read with errors:\r\nLumivale.db5, line "_s, u"Update Database"_s,
            saveAnyway ? UiPort::Answer::Yes : UiPort::Answer::No);
        form.Form_Unload();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(file) != before, saveAnyway);
        QCOMPARE(f.env.readFile(file + u".backup"_s), QByteArray("good copy"));
    }

    // Without its Scenery.cfg the simulator's "(Current)" is empty; the window opens all the same.
    void missingSceneryCfgOpensEmpty()
    {
        WindowFixture f;
        f.write(Library().scenery(u"Alpha"_s));
        f.env.fs.deleteFile(f.simFolder() + u"\\Scenery.cfg"_s);
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG"_s, u"Lumivale"_s);
        frmScenery &form = f.create();
        form.Form_Load();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.sets().displayedSet()->Key, Current);
        QCOMPARE(f.tickedTitles(), QStringList());
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 0 / 1"_s);
    }

    // The title names the selected simulator; the set list offers "(Current)" and its sets, the
    // stored ones read before "(Current)" was made.
    void titleAndSetsOfTheSelectedSimulator_data()
    {
        QTest::addColumn<Sim>("sim");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("2000") << Sim::FS2000 << u"Lumivale 1.6 - Flight Simulator 2000"_s
                              << QStringList{Current, u"Old"_s};
        QTest::newRow("CFS2") << Sim::CFS2 << u"Lumivale 1.6 - Combat Flight Simulator 2"_s
                              << QStringList{Current};
    }
    void titleAndSetsOfTheSelectedSimulator()
    {
        QFETCH(Sim, sim);
        QFETCH(QString, caption);
        QFETCH(QStringList, offered);
        WindowFixture f(sim);
        frmScenery &form = f.load(Library()
                                      .scenery(u"Alpha"_s)
                                      .set(u"Europe"_s, Sim::FS2002, {})
                                      .set(u"Old"_s, Sim::FS2000, {u"Alpha"_s}));
        QCOMPARE(form.status().Caption(), caption);
        QCOMPARE(form.sets().cboScenerySet().items, offered);
        QCOMPARE(form.sets().cboScenerySet().text, Current);
    }

    // ---- Sets ----------------------------------------------------------------------------------

    // A set name typed and Enter: the set is shown on the boxes; a new name makes a set of the
    // selected simulator; a set of another simulator is shown but not offered.
    void typedSetShown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Sim>("sim");
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QStringList>("offered");
        const QStringList listed{Current, u"Mine"_s, u"Two"_s};
        QTest::newRow("a set") << u"Mine"_s << Sim::FS2002 << QStringList{u"B"_s} << listed;
        QTest::newRow("another simulator's") << u"Old"_s << Sim::FS2000 << QStringList{u"A"_s} << listed;
        QTest::newRow("a new name") << u"Fresh"_s << Sim::FS2002 << QStringList()
                                    << listed + QStringList{u"Fresh"_s};
    }
    void typedSetShown()
    {
        QFETCH(QString, typed);
        QFETCH(Sim, sim);
        QFETCH(QStringList, ticked);
        QFETCH(QStringList, offered);
        WindowFixture f;
        frmScenery &form = loadSets(f);
        f.typeSet(typed);
        const CfgPtr shown = form.sets().displayedSet();
        QCOMPARE(shown->Key, typed);
        QCOMPARE(shown->Cache_Size, qint32(sim)); // Cache_Size holds the set's simulator
        QCOMPARE(f.tickedTitles(), ticked);
        QCOMPARE(form.sets().cboScenerySet().items, offered);
        QCOMPARE(form.sets().cboScenerySet().text, typed);
        QCOMPARE(f.members(Current), QStringList{u"A"_s});
    }

    void addSet()
    {
        WindowFixture f;
        frmScenery &form = loadSets(f);
        f.env.ui.expectInput(u"Insert a new Set name:"_s, u"Create new set"_s, u"Fresh"_s);
        form.runCommand(Start::Command::AddSet);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.sets().displayedSet()->Key, u"Fresh"_s);
        QCOMPARE(form.sets().cboScenerySet().text, u"Fresh"_s);
        QCOMPARE(setNames(*f.manager), (QStringList{u"Mine"_s, u"Two"_s, u"Old"_s, Current, u"Fresh"_s}));
        QCOMPARE(f.statusText(), Ready);
    }

    // A renamed set keeps its members and goes to the end of the list; "(Current)", a name
    // another set has and an empty name change nothing.
    void renameSet_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("answer"); // null: no prompt
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("shownAfter");
        QTest::addColumn<QStringList>("sets");
        const QStringList stored{u"Mine"_s, u"Two"_s, u"Old"_s, Current};
        QTest::newRow("renamed") << u"Mine"_s << u"New"_s << false << u"New"_s
                                 << QStringList{u"Two"_s, u"Old"_s, Current, u"New"_s};
        QTest::newRow("name taken") << u"Mine"_s << u"Two"_s << true << u"Mine"_s << stored;
        QTest::newRow("(Current) not renamed") << Current << QString() << false << Current << stored;
    }
    void renameSet()
    {
        QFETCH(QString, shown);
        QFETCH(QString, answer);
        QFETCH(bool, refused);
        QFETCH(QString, shownAfter);
        QFETCH(QStringList, sets);
        WindowFixture f;
        frmScenery &form = loadSets(f);
        f.typeSet(shown);
        const QStringList members = f.members(shown);
        if (!answer.isNull())
            f.env.ui.expectInput(u"Type in the new set name."_s, u"Rename set"_s, answer);
        if (refused)
            f.env.ui.expectMessage(u"A set named \"%1\" exists already."_s.arg(answer), u"Rename set"_s);
        form.runCommand(Start::Command::RenameSet);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.sets().displayedSet()->Key, shownAfter);
        QCOMPARE(form.sets().cboScenerySet().text, shownAfter);
        QCOMPARE(setNames(*f.manager), sets);
        QCOMPARE(f.members(shownAfter), members);
    }

    void removeSet_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("sets");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("a set") << u"Mine"_s << QStringList{u"Two"_s, u"Old"_s, Current}
                               << QStringList{Current, u"Two"_s};
        QTest::newRow("(Current) stays") << Current << QStringList{u"Mine"_s, u"Two"_s, u"Old"_s, Current}
                                         << QStringList{Current, u"Mine"_s, u"Two"_s};
    }
    void removeSet()
    {
        QFETCH(QString, shown);
        QFETCH(QStringList, sets);
        QFETCH(QStringList, offered);
        WindowFixture f;
        frmScenery &form = loadSets(f);
        f.typeSet(shown);
        form.runCommand(Start::Command::RemoveSet);
        QCOMPARE(setNames(*f.manager), sets);
        QCOMPARE(form.sets().cboScenerySet().items, offered);
        QCOMPARE(form.sets().displayedSet()->Key, Current);
        QCOMPARE(f.tickedTitles(), QStringList{u"A"_s});
    }

    // The displayed set takes the members of "(Current)"; onto "(Current)" itself the copy does
    // nothing, and says nothing.
    void copyCurrentToDisplayedSet_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("status");
        QTest::newRow("a set") << u"Mine"_s << Ready;
        QTest::newRow("(Current)") << Current << u"before"_s;
    }
    void copyCurrentToDisplayedSet()
    {
        QFETCH(QString, shown);
        QFETCH(QString, status);
        WindowFixture f;
        frmScenery &form = loadSets(f);
        f.typeSet(shown);
        form.status().Display(u"before"_s);
        form.runCommand(Start::Command::CopyCurrentToDisplayedSet);
        QCOMPARE(f.statusText(), status);
        QCOMPARE(f.members(shown), QStringList{u"A"_s});
        QCOMPARE(f.members(Current), QStringList{u"A"_s});
        QCOMPARE(f.tickedTitles(), QStringList{u"A"_s});
    }

    // A scenery in no set but "(Current)" is marked bold, also when the filter hides others.
    void findSceneriesWithoutSet()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library()
                                      .scenery(u"OnlyCurrent"_s)
                                      .scenery(u"InSet"_s)
                                      .scenery(u"Hidden"_s, {.flySim = FS95})
                                      .set(u"M"_s, Sim::FS2002, {u"InSet"_s}),
                                  Library().scenery(u"OnlyCurrent"_s).scenery(u"InSet"_s));
        form.chkFilter_Click(3, true);
        f.node(u"SceneryNew\\InSet"_s)->setBold(true);
        form.runCommand(Start::Command::FindSceneriesWithoutSet);
        QVERIFY(f.node(u"SceneryNew\\OnlyCurrent"_s)->bold());
        QVERIFY(!f.node(u"SceneryNew\\InSet"_s)->bold());
        QCOMPARE(f.statusText(), Ready);
    }

    // The report runs with its phrase in the status text and lists the whole library, sceneries
    // the window's filter hides included.
    void sceneryListReport()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Shown"_s).scenery(u"Hidden"_s, {.flySim = FS95}));
        form.chkFilter_Click(3, true);
        QVERIFY(!f.node(u"SceneryNew\\Hidden"_s));
        QVERIFY(form.isCommandAvailable(Start::Command::SceneryListReport));
        QString preview;
        QString statusWhileShown;
        f.env.ui.expectForm<frmPrintSceneryList>(u"frmPrintSceneryList"_s, [&](frmPrintSceneryList &dialog) {
            statusWhileShown = f.statusText();
            dialog.lstColumns[2].checked = true; // Title
            dialog.setColumnWidth(2, u"6"_s);
            dialog.chkFilter[0] = true;
            dialog.cmdRefresh_Click();
            preview = dialog.txtPreview;
            dialog.cmdClose_Click();
        });
        form.runCommand(Start::Command::SceneryListReport);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(statusWhileShown, u"Print scenery list."_s);
        QCOMPARE(preview, u"Title |\r\n-------\r\nHidden|\r\n"_s);
        QCOMPARE(f.statusText(), Ready);
    }

    // Sceneries the filter hides have no box: the displayed set keeps them as members, or the
    // next write-back would lose them.
    void membersHiddenByTheFilterKept()
    {
        WindowFixture f;
        frmScenery &form = loadFiltered(f);
        f.typeSet(u"Mine"_s);
        form.chkFilter_Click(3, true);
        QVERIFY(!f.node(u"SceneryNew\\Hidden"_s));
        QCOMPARE(f.tickedTitles(), QStringList{u"Shown"_s});
        form.sets().TransferData();
        QCOMPARE(f.members(u"Mine"_s), (QStringList{u"Shown"_s, u"Hidden"_s}));
        f.check(u"SceneryNew\\Shown"_s, false);
        QCOMPARE(f.members(u"Mine"_s), QStringList{u"Hidden"_s});
    }

    // A rebuild of the tree shows the displayed set's members, not the Scenery.cfg's marks.
    void rebuildShowsTheDisplayedSet()
    {
        WindowFixture f;
        frmScenery &form = loadFiltered(f);
        f.typeSet(u"Mine"_s);
        f.check(u"SceneryNew\\Shown"_s, false);
        form.chkFilter_Click(3, true);
        form.chkFilter_Click(3, false);
        QCOMPARE(f.tickedTitles(), QStringList{u"Hidden"_s});
        form.libraryTree().UndisplayAllTree();
        QCOMPARE(f.tickedTitles(), QStringList{u"Hidden"_s});
        form.sets().TransferData();
        QCOMPARE(f.members(u"Mine"_s), QStringList{u"Hidden"_s});
        QCOMPARE(f.members(Current), QStringList{u"Other"_s});
    }

    // A level's box ticks every scenery below it; boxes hold titles, so a level named like a
    // member scenery is ticked with it and the level's own caption is no member.
    void levelBoxTicksTheSceneriesBelow()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library()
                                      .scenery(u"Alpha"_s)
                                      .level(u"Europe"_s)
                                      .scenery(u"Paris"_s)
                                      .level(u"Europe\\Germany"_s)
                                      .scenery(u"Berlin"_s)
                                      .level(u"Paris"_s)
                                      .set(u"Mine"_s, Sim::FS2002, {})
                                      .recordOrder(),
                                  Library().scenery(u"Alpha"_s));
        f.typeSet(u"Mine"_s);
        f.check(u"LevelEurope"_s, true);
        QCOMPARE(f.tickedTitles(), (QStringList{u"Paris"_s, u"Berlin"_s, u"Paris"_s}));
        QCOMPARE(f.members(u"Mine"_s), (QStringList{u"Paris"_s, u"Berlin"_s}));
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 2 / 3"_s);
        f.check(u"LevelEurope\\Germany"_s, false);
        QCOMPARE(f.members(u"Mine"_s), QStringList{u"Paris"_s});
    }

    // The box follows the sub-menus' entries only for the displayed set; a second add makes no
    // second member.
    void setSubMenuEntriesChangeMembership()
    {
        WindowFixture f;
        frmScenery &form =
            f.load(Library().scenery(u"X"_s).set(u"A"_s, Sim::FS2002, {}).set(u"B"_s, Sim::FS2002, {}),
                   Library().scenery(u"X"_s));
        f.select(u"SceneryNew\\X"_s);
        form.sets().fillSetMenu();
        f.typeSet(u"B"_s);
        form.mnuSets_Click(2);
        form.mnuSets_Click(2);
        QCOMPARE(f.members(u"B"_s), QStringList{u"X"_s});
        QCOMPARE(f.tickedTitles(), QStringList{u"X"_s});
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 1 / 1"_s);
        form.mnuInSets_Click(2);
        QCOMPARE(f.members(u"B"_s), QStringList());
        QCOMPARE(f.tickedTitles(), QStringList());
        form.mnuSets_Click(1);
        QCOMPARE(f.members(u"A"_s), QStringList{u"X"_s});
        QCOMPARE(f.tickedTitles(), QStringList());
    }

    // ---- The status bar ------------------------------------------------------------------------

    // More members than one Scenery.cfg can take show the warning picture.
    void warningPictureOverTheLimit_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<bool>("warning");
        QTest::newRow("332 fit") << 332 << false;
        QTest::newRow("333 do not") << 333 << true;
    }
    void warningPictureOverTheLimit()
    {
        QFETCH(int, members);
        QFETCH(bool, warning);
        Library areas;
        for (int i = 0; i < members; ++i)
            areas.scenery(u"Area %1"_s.arg(i));
        WindowFixture f;
        frmScenery &form = f.load(Library(), areas);
        QCOMPARE(form.status().stbStatus().warningPicture, warning);
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: %1 / %1"_s.arg(members));
    }

    // Every command recounts: a level added is counted at once.
    void countsFollowEveryCommand()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Alpha"_s));
        f.env.ui.expectInput(u"Enter name for the new level:"_s, u"New Level"_s, u"Europe"_s);
        form.runCommand(Start::Command::AddLevel);
        QCOMPARE(form.status().stbStatus().panels[1], u"Level: 2"_s);
    }

    // ---- The sim filter ------------------------------------------------------------------------

    // The stored boxes are set without storing them again (bit 6 belongs to no box, so a store
    // would change the value), and the tree is built without a filter.
    void storedFilterRestoresTheBoxes()
    {
        WindowFixture f;
        f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s, u"74"_s);
        frmScenery &form = f.load(Library().scenery(u"Any"_s).scenery(u"Old"_s, {.flySim = FS95}));
        const std::array<bool, 6> &boxes = form.organiser().chkFilter();
        QCOMPARE(QList<bool>(boxes.begin(), boxes.end()),
                 (QList<bool>{false, true, false, true, false, false}));
        QCOMPARE(form.organiser().filterMask(), 10);
        QCOMPARE(storedSetting(f.env, u"Filter"_s), u"74"_s);
        QVERIFY(f.node(u"SceneryNew\\Old"_s));
    }

    // A box clicked is stored and rebuilds the tree with the sceneries of its simulator and those
    // made for none; the levels stay.
    void filterBoxRebuildsTheTree()
    {
        WindowFixture f;
        frmScenery &form =
            f.load(Library().scenery(u"Any"_s).scenery(u"Old"_s, {.flySim = FS95}).level(u"Empty"_s));
        QSignalSpy changed(&form.organiser(), &Organiser::filtersChanged);
        form.chkFilter_Click(5, true);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(form.organiser().filterMask(), 32);
        QCOMPARE(storedSetting(f.env, u"Filter"_s), u"32"_s);
        QVERIFY(!f.node(u"SceneryNew\\Old"_s));
        QVERIFY(f.node(u"SceneryNew\\Any"_s));
        QVERIFY(f.node(u"LevelEmpty"_s));
    }

    // ---- Label edits and the mouse -------------------------------------------------------------

    // A level's caption is edited in place; its key stays. "New" and sceneries are not edited.
    void labelEdit_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("caption");
        QTest::newRow("level") << u"LevelEurope"_s << u"Asia"_s << true << true << u"Asia"_s;
        QTest::newRow("backslash") << u"LevelEurope"_s << u"A\\B"_s << true << true << u"A/B"_s;
        QTest::newRow("empty refused") << u"LevelEurope"_s << QString() << true << false << u"Europe"_s;
        QTest::newRow("New") << u"LevelNew"_s << u"Other"_s << false << false << u"New"_s;
    }
    void labelEdit()
    {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(bool, editable);
        QFETCH(bool, accepted);
        QFETCH(QString, caption);
        WindowFixture f;
        frmScenery &form = f.load(Library().level(u"New"_s).level(u"Europe"_s).scenery(u"Paris"_s));
        form.trvScenery().setSelectedItem(f.node(key));
        QCOMPARE(form.trvScenery_BeforeLabelEdit(), editable);
        QCOMPARE(form.trvScenery_AfterLabelEdit(f.node(key), typed), accepted);
        QCOMPARE(f.node(key)->text(), caption);
        if (isLevelKey(key))
            QCOMPARE(f.manager->dicLevel.item(key)->sLevelCaption, caption);
        QVERIFY(f.node(u"SceneryEurope\\Paris"_s));
    }

    // A right press opens the menu of the selected node's kind; a scenery's shows its set
    // sub-menus until it closes.
    void rightPressOpensTheMenuOfTheNode_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<SetSelector::PopupMenu>("menu");
        QTest::newRow("nothing") << QString() << SetSelector::PopupMenu::None;
        QTest::newRow("a level") << u"LevelNew"_s << SetSelector::PopupMenu::Level;
        QTest::newRow("a scenery") << u"SceneryNew\\Alpha"_s << SetSelector::PopupMenu::Scenery;
    }
    void rightPressOpensTheMenuOfTheNode()
    {
        QFETCH(QString, selected);
        QFETCH(SetSelector::PopupMenu, menu);
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Alpha"_s));
        form.trvScenery().setSelectedItem(f.node(selected));
        QCOMPARE(form.trvScenery_RightClick(), menu);
        QCOMPARE(form.sets().setSubMenusVisible(), menu == SetSelector::PopupMenu::Scenery);
        form.scenerySubMenusClosed();
        QVERIFY(!form.sets().setSubMenusVisible());
    }

    // A press on a node makes it the selected node as well as the shown one, also when it lands on
    // the node's box: Remove then asks about the scenery the panel shows.
    void pressedNodeIsTheSelectedOne()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Alpha"_s).scenery(u"Charlie"_s));
        f.select(u"SceneryNew\\Alpha"_s);
        form.trvScenery_MouseDown(f.node(u"SceneryNew\\Charlie"_s));
        f.check(u"SceneryNew\\Charlie"_s, true);
        QCOMPARE(form.trvScenery().selectedItem(), f.node(u"SceneryNew\\Charlie"_s));
        QCOMPARE(form.details().displayedScenery()->Title, u"Charlie"_s);
        QCOMPARE(form.organiser().dragNode(), f.node(u"SceneryNew\\Charlie"_s));
        f.env.ui.expectMessage(u"Do you want to remove scenery Charlie?"_s, u"Remove Scenery"_s,
                               UiPort::Answer::No);
        form.runCommand(Start::Command::RemoveScenery);
        QVERIFY(f.env.ui.allShown());
    }

    // ---- Commands and function keys ------------------------------------------------------------

    // A command the window cannot run says so; the backup commands need the backup manager.
    void commandsOfThisBuild()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Alpha"_s));
        QVERIFY(!form.isCommandAvailable(Start::Command::None));
        QVERIFY(form.isCommandAvailable(Start::Command::AddSet));
        QVERIFY(form.isCommandAvailable(Start::Command::SelectSimType));
        QVERIFY(!form.isCommandAvailable(Start::Command::MakeBackup));
        form.runCommand(Start::Command::MakeBackup);
        QCOMPARE(f.statusText(), u"\"Make Backup\" is not available in this version."_s);
        BackupManager backup(f.env.context, f.simFolder(), 1);
        form.setBackupManager(&backup);
        QVERIFY(form.isCommandAvailable(Start::Command::MakeBackup));
        f.env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, QString());
        form.runCommand(Start::Command::MakeBackup);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.statusText(), Ready);
    }

    // The FILE_ID.DIZ editor works on the scenery shown and does nothing without one; the zip file
    // is packed from its file list and its folder remembered in the window's folder memory; the
    // texture manager opens between its status texts.
    void wizardCommands()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Alpha"_s, {.localPath = u"Addon Scenery\\Alpha"_s}));
        f.env.writeFile(f.simFolder() + u"\\Addon Scenery\\Alpha\\x.bgl"_s, "bgl");
        form.details().clearDisplayedScenery();
        form.runCommand(Start::Command::CreateFileIdDiz);
        f.select(u"SceneryNew\\Alpha"_s);
        f.env.ui.expectForm<EditFileIdDizDialog>(u"EditFileIdDizDialog"_s, [](EditFileIdDizDialog &dialog) {
            dialog.txtText = u"Alpha"_s;
            dialog.cmdOK_Click();
        });
        form.runCommand(Start::Command::CreateFileIdDiz);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(f.simFolder() + u"\\Addon Scenery\\Alpha\\FILE_ID.DIZ"_s),
                 QByteArray("Alpha"));
        Start::FolderMemory folders(*f.manager);
        form.setFolderMemory(&folders);
        form.mnuCreateInfoFile_Click();
        f.env.writeFile(u"C:\\Out\\keep.txt"_s);
        f.env.ui.expectFile(u"C:\\Out\\Alpha.zip"_s, u"Select folder and define Zip-Name"_s);
        form.runCommand(Start::Command::CreateSceneryZipFile);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(f.env.fs.fileExists(u"C:\\Out\\Alpha.zip"_s));
        QCOMPARE(folders.GetDicPath(u"CreateZIP"_s), u"C:\\Out\\"_s);
        f.env.ui.expectForm<GlobalTextureDialog>(u"GlobalTextureDialog"_s,
                                                 [](GlobalTextureDialog &dialog) { dialog.cmdExit_Click(); });
        form.runCommand(Start::Command::GlobalTextureManagement);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.statusText(), Ready);
    }

    // F3 is bound to "Find sceneries without set"; a key held with Shift (or Ctrl or Alt), and a
    // key bound to nothing, run nothing.
    void functionKeys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("runs");
        QTest::newRow("F3") << Qt::Key_F3 << Qt::KeyboardModifiers() << true;
        QTest::newRow("Shift+F3") << Qt::Key_F3 << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
        QTest::newRow("unbound F4") << Qt::Key_F4 << Qt::KeyboardModifiers() << false;
    }
    void functionKeys()
    {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, runs);
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Alpha"_s));
        Start::FunctionKeyTable keys;
        keys[2] = u"Find sceneries without set"_s;
        form.setFunctionKeys(keys);
        form.status().Display(u"before"_s);
        QCOMPARE(form.functionKey(key, modifiers), runs);
        QCOMPARE(f.statusText(), runs ? Ready : u"before"_s);
    }

    // ---- Placement -----------------------------------------------------------------------------

    // The window grows to its minimum size; the library tree takes what it has beyond its designed
    // width; only a normal window's placement is stored.
    void resize_data()
    {
        QTest::addColumn<WindowLayout::Placement>("reported");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("treeWidth"); // -1: no layout
        QTest::addColumn<bool>("stored");
        using P = WindowLayout::Placement;
        QTest::newRow("too low") << P{12000, 6000, 300, 200, 0} << 12000.0 << 7765.0 << -1 << false;
        QTest::newRow("normal") << P{13000, 9000, 300, 200, 0} << 13000.0 << 9000.0 << 6815 << true;
        QTest::newRow("maximised") << P{13000, 9000, 300, 200, 2} << 13000.0 << 9000.0 << 6815 << false;
        QTest::newRow("minimised") << P{2000, 500, 300, 200, 1} << 2000.0 << 500.0 << -1 << false;
    }
    void resize()
    {
        QFETCH(WindowLayout::Placement, reported);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, treeWidth);
        QFETCH(bool, stored);
        WindowFixture f;
        f.write(Library());
        frmScenery &form = f.create();
        form.layout().setPlacement(reported);
        QSignalSpy changed(&form.layout(), &WindowLayout::placementChanged);
        QCOMPARE(form.Form_Resize().value_or(-1), treeWidth);
        QCOMPARE(form.layout().placement().width, width);
        QCOMPARE(form.layout().placement().height, height);
        QCOMPARE(changed.count(), int(width != reported.width || height != reported.height));
        QCOMPARE(storedSetting(f.env, u"Form.Width"_s), stored ? u"13000"_s : u"(none)"_s);
        QCOMPARE(storedSetting(f.env, u"Form.Top"_s), stored ? u"200"_s : u"(none)"_s);
        QCOMPARE(storedSetting(f.env, u"Form.WindowState"_s), stored ? u"0"_s : u"(none)"_s);
    }

    // A stored measure that is no number leaves the designed one.
    void readSizeTakesNumbersOnly()
    {
        WindowFixture f;
        f.write(Library());
        const QList<std::pair<QString, QString>> stored{{u"Form.Width"_s, u"abc"_s},
                                                        {u"Form.Height"_s, u"9000.4"_s},
                                                        {u"Form.Left"_s, u"120"_s},
                                                        {u"Form.WindowState"_s, u"2"_s}};
        for (const auto &[name, value] : stored)
            f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, name, value);
        frmScenery &form = f.create();
        QSignalSpy changed(&form.layout(), &WindowLayout::placementChanged);
        form.layout().ReadSize();
        const WindowLayout::Placement &p = form.layout().placement();
        QCOMPARE(p.width, WindowLayout::DesignWidth);
        QCOMPARE(p.height, 9000.0);
        QCOMPARE(p.left, 120.0);
        QCOMPARE(p.top, 0.0);
        QCOMPARE(p.windowState, int(WindowLayout::Maximised));
        QCOMPARE(changed.count(), 1);
    }

    // Successive ticks show the fixed disks in turn; a disk that is not ready keeps the label.
    void freeSpaceWalksFixedDisks_data()
    {
        QTest::addColumn<QList<DriveInfo>>("drives");
        QTest::addColumn<QStringList>("shown");
        const qint64 mb = 1024 * 1024;
        const DriveInfo a{u'A', false, true, 10 * mb};
        const DriveInfo c{u'C', true, true, 5000 * mb + mb - 1};
        const DriveInfo d{u'D', true, true, 42 * mb};
        const DriveInfo e{u'E', true, false, 0};
        QTest::newRow("A C D") << QList<DriveInfo>{a, c, d}
                               << QStringList{u"C: 5000 MB"_s, u"D: 42 MB"_s, u"C: 5000 MB"_s};
        QTest::newRow("D, E not ready")
            << QList<DriveInfo>{d, e} << QStringList{u"D: 42 MB"_s, u"D: 42 MB"_s, u"D: 42 MB"_s};
        QTest::newRow("no fixed disk") << QList<DriveInfo>{a} << QStringList{QString(), QString()};
    }
    void freeSpaceWalksFixedDisks()
    {
        QFETCH(QList<DriveInfo>, drives);
        QFETCH(QStringList, shown);
        WindowFixture f;
        frmScenery &form = f.load(Library());
        form.status().setDriveSource([drives] { return drives; });
        QStringList labels;
        for (qsizetype tick = 0; tick < shown.size(); ++tick) {
            form.tmrFreeSpace_Timer();
            labels << QString(form.status().lblFreeSpace()).remove(u"Free space on "_s);
        }
        QCOMPARE(labels, shown);
    }
};

QTEST_GUILESS_MAIN(TestFrmScenery)
#include "tst_frmscenery.moc"
