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

QString filterSetting(TestEnv &env)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s);
}
} // namespace

class TestFrmScenery : public QObject
{
    Q_OBJECT

private slots:
    void titleAndSetList_data()
    {
        QTest::addColumn<int>("simType");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("offered");
        // Stored sets are read before "(Current)" is created; the list still starts with it.
        QTest::newRow("2000") << 0 << "Lumivale 1.6 - Flight Simulator 2000" << "(Current),Old";
        QTest::newRow("2002") << 1 << "Lumivale 1.6 - Flight Simulator 2002" << "(Current),Europe";
        QTest::newRow("CFS2") << 2 << "Lumivale 1.6 - Combat Flight Simulator 2" << "(Current)";
    }
    void titleAndSetList()
    {
        QFETCH(int, simType);
        QFETCH(QString, title);
        QFETCH(QString, offered);
        Fixture f;
        frmScenery &form = f.describe({}, u"Alpha"_s, u"Europe=1:;Old=0:"_s).load(simType);
        QCOMPARE(form.Caption(), title);
        QCOMPARE(form.cboScenerySet().items.join(u','), offered);
        QCOMPARE(form.cboScenerySet().listIndex, int(form.cboScenerySet().items.indexOf(Current)));
        QVERIFY(f.env.ui.allShown());
    }

    void loadAndActivate()
    {
        Fixture f;
        f.describe(u"New:Alpha"_s, u"Alpha,Beta"_s).writeFiles(1);
        f.create();
        frmScenery &form = *f.form;
        Start::DebugLog log(f.env.fs, true);
        form.setDebugLog(&log);
        QSignalSpy splash(&form, &frmScenery::splashChanged);
        form.Form_Initialize();
        form.Form_Load();
        QVERIFY(form.splash().isVisible() && !form.splash().Text1Visible && !form.splash().lblCloseVisible);
        QCOMPARE(form.splash().lblBuild, u"Build: %1.%2.%3"_s.arg(ProgramInfo::versionMajor())
                                             .arg(ProgramInfo::versionMinor())
                                             .arg(ProgramInfo::versionRevision()));
        QVERIFY(!f.env.ui.busy());
        // The areas of the Scenery.cfg are the members of "(Current)", displayed and ticked.
        QCOMPARE(form.cboScenerySet().text + u'|' + form.displayedSet()->Key, u"(Current)|(Current)"_s);
        QCOMPARE(f.members(Current).join(u','), u"Alpha,Beta"_s);
        QCOMPARE(f.checked(), u"Beta,Alpha"_s);
        QCOMPARE(f.status().section(u'|', 1), u"Level: 1|Sceneries: 2|Sceneries in Set: 2 / 2"_s);
        form.Form_Activate();
        QVERIFY(!form.splash().isVisible());
        QCOMPARE(splash.count(), 2);
        QStringList lines;
        for (const QString &line : f.env.fs.readLines(Start::DebugLog::FileName))
            lines << line.section(u" - "_s, 1);
        QCOMPARE(lines.join(u'|'), u"Iniditalize|Iniditalize end|Hide Splash (Activate)|Hide Splash end (Activate)"_s);
        QVERIFY(f.env.ui.allShown());
    }

    void missingSceneryCfgStillOpens()
    {
        Fixture f;
        f.describe(u"New:Alpha"_s).writeFiles(1);
        f.env.fs.deleteFile(Fixture::simFolder(1) + u"\\Scenery.cfg"_s);
        f.create();
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG"_s, u"Lumivale"_s);
        f.form->Form_Load();
        QVERIFY(f.env.ui.allShown());
        // The window opens on the library with an empty "(Current)".
        QCOMPARE(f.form->cboScenerySet().text + f.checked(), Current);
        QCOMPARE(f.status().section(u'|', 2), u"Sceneries: 1|Sceneries in Set: 0 / 1"_s);
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
        frmScenery &form = f.describe(u"New:Alpha,Beta"_s, u"Alpha,Fresh"_s, u"Mine=1:Alpha"_s).load();
        const auto files = [&] {
            QByteArray all;
            for (const QString &name : {u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s})
                all += f.env.readFile(f.dbPath(name));
            return all;
        };
        const QByteArray before = files();
        f.typeSet(u"Mine"_s);
        f.check(u"SceneryNew\\Alpha"_s, false);
        // The last tick is only on the check box when the window closes.
        f.node(u"SceneryNew\\Beta"_s)->setChecked(true);
        QSignalSpy unloaded(&form, &frmScenery::unloaded);
        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               save ? UiPort::Answer::Yes : UiPort::Answer::No);
        form.Form_Unload();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!form.displayedSet());
        QCOMPARE(files() == before, !save);
        if (save)
            QCOMPARE(f.env.fs.readLines(f.dbPath(u"CFGSet.db"_s)).join(u'|'), u"<Set>|Mine|1|False|Beta|</Set>"_s);
    }

    // Typing a set name, and the set commands. The result: the displayed set and its simulator, every
    // set with its members, the ticked nodes and the status text.
    void setCommands_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("row"); // 0: only the typed name
        QTest::addColumn<QString>("answer"); // "-": no prompt
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("result");
        const QString sets = u"Mine=B;Two=;Old=A;(Current)=A"_s;
        QTest::newRow("typed set") << "Mine" << 0 << "-" << false << u"Mine@1: %1|B|before"_s.arg(sets);
        QTest::newRow("typed set of other sim") << "Old" << 0 << "-" << false << u"Old@0: %1|A|before"_s.arg(sets);
        QTest::newRow("typed new name") << "Fresh" << 0 << "-" << false << u"Fresh@1: %1;Fresh=||before"_s.arg(sets);
        QTest::newRow("add") << Current << 15 << "Fresh" << false << u"Fresh@1: %1;Fresh=||Ready."_s.arg(sets);
        QTest::newRow("add cancelled") << Current << 15 << "" << false << u"(Current)@0: %1|A|Ready."_s.arg(sets);
        QTest::newRow("rename") << "Mine" << 17 << "New" << false << "New@1: Two=;Old=A;(Current)=A;New=B|B|Ready.";
        QTest::newRow("rename to taken refused") << "Mine" << 17 << "Two" << true << u"Mine@1: %1|B|Ready."_s.arg(sets);
        QTest::newRow("rename to (Current) refused") << "Mine" << 17 << Current << true << u"Mine@1: %1|B|Ready."_s.arg(sets);
        QTest::newRow("rename empty") << "Mine" << 17 << "" << false << u"Mine@1: %1|B|Ready."_s.arg(sets);
        QTest::newRow("rename unchanged") << "Mine" << 17 << "Mine" << false << u"Mine@1: %1|B|Ready."_s.arg(sets);
        QTest::newRow("rename (Current) ignored") << Current << 17 << "-" << false << u"(Current)@0: %1|A|Ready."_s.arg(sets);
        QTest::newRow("remove") << "Mine" << 16 << "-" << false << "(Current)@0: Two=;Old=A;(Current)=A|A|Ready.";
        QTest::newRow("remove (Current) ignored") << Current << 16 << "-" << false << u"(Current)@0: %1|A|Ready."_s.arg(sets);
        QTest::newRow("copy Current") << "Mine" << 19 << "-" << false << "Mine@1: Mine=A;Two=;Old=A;(Current)=A|A|Ready.";
        QTest::newRow("copy onto (Current) silent") << Current << 19 << "-" << false << u"(Current)@0: %1|A|before"_s.arg(sets);
    }
    void setCommands()
    {
        QFETCH(QString, shown);
        QFETCH(int, row);
        QFETCH(QString, answer);
        QFETCH(bool, refused);
        QFETCH(QString, result);
        Fixture f;
        frmScenery &form = f.describe(u"New:A,B"_s, u"A"_s, u"Mine=1:B;Two=1:;Old=0:A"_s).load();
        f.typeSet(shown);
        form.Display(u"before"_s);
        if (answer != u"-"_s)
            f.env.ui.expectInput(row == 15 ? u"Insert a new Set name:"_s : u"Type in the new set name."_s,
                                 row == 15 ? u"Create new set"_s : u"Rename set"_s, answer);
        if (refused)
            f.env.ui.expectMessageStartingWith(u"A set named"_s, u"Rename set"_s);
        if (row)
            form.runCommand(row);
        QVERIFY(f.env.ui.allShown());
        const CfgPtr set = form.displayedSet();
        QCOMPARE(u"%1@%2: "_s.arg(set->Key).arg(set->Cache_Size) + f.sets() + u'|' + f.checked() + u'|'
                     + form.stbStatus().panels[0],
                 result);
        QStringList listed = f.manager->dicCFGs.keys();
        listed.removeOne(u"Old"_s);
        listed.move(listed.indexOf(Current), 0); // "(Current)" heads the list
        if (shown == u"Old"_s)
            QCOMPARE(form.cboScenerySet().text, u"Old"_s); // shown, but not listed
        else
            QCOMPARE(form.cboScenerySet().items.join(u',') + u'|' + form.cboScenerySet().text,
                     listed.join(u',') + u'|' + set->Key);
    }

    void findSceneriesWithoutSetMarksBold()
    {
        Fixture f;
        frmScenery &form = f.describe(u"New:OnlyCurrent,InSet,Hidden@1"_s, u"OnlyCurrent,InSet"_s, u"M=1:InSet"_s).load();
        form.chkFilter_Click(3, true); // hides "Hidden" (FS95 only)
        f.node(u"SceneryNew\\InSet"_s)->setBold(true);
        form.runCommand(18);
        QCOMPARE(f.checked(true), u"OnlyCurrent"_s);
        QCOMPARE(form.stbStatus().panels[0], u"Ready."_s);
    }

    void warningPictureFromMemberCount_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<bool>("warning");
        QTest::newRow("332 no picture") << 332 << false;
        QTest::newRow("333 warns") << 333 << true;
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

    void setMenu_data()
    {
        QTest::addColumn<QString>("sets");
        QTest::addColumn<QString>("menu"); // add and remove enabled, "+" the sets offered, "-" those to leave
        QTest::newRow("in every set: add disabled") << "A=1:X;B=1:X" << "01 + -A,B";
        QTest::newRow("in none: remove disabled") << "A=1:;B=1:" << "10 +A,B -";
        QTest::newRow("in one") << "A=1:;B=1:X" << "11 +A -B";
    }
    void setMenu()
    {
        QFETCH(QString, sets);
        QFETCH(QString, menu);
        Fixture f;
        frmScenery &form = f.describe(u"New:X"_s, u"X"_s, sets).load();
        f.select(u"SceneryNew\\X"_s);
        const frmScenery::SetMenu &m = form.fillSetMenu();
        // Entry 0 is the hidden design-time entry; "(Current)" is never offered.
        QStringList add, remove;
        for (int i = 0; i < m.mnuSets.size(); ++i) {
            if (m.mnuSets[i].visible)
                add << m.mnuSets[i].caption;
            if (m.mnuInSets[i].visible)
                remove << m.mnuInSets[i].caption;
        }
        QCOMPARE(u"%1%2 +%3 -%4"_s.arg(int(m.mnuAddToSetEnabled)).arg(int(m.mnuRemoveFromSetEnabled))
                     .arg(add.join(u','), remove.join(u',')),
                 menu);

        // The entries ("+" add to, "-" remove from the n-th set) change membership; the box follows
        // only for the displayed set. The first two clicks bring every row to the same start.
        f.typeSet(u"B"_s);
        QStringList trace;
        for (const QString &click : u"+1 -2 +2 +2 -1 -2 +1"_s.split(u' ')) {
            const int index = click.mid(1).toInt();
            click.startsWith(u'+') ? form.mnuSets_Click(index) : form.mnuInSets_Click(index);
            trace << f.sets().section(u';', 0, 1) + u'|' + f.checked();
        }
        QCOMPARE(trace.mid(2).join(u' '), u"A=X;B=X|X A=X;B=X|X A=;B=X|X A=;B=| A=X;B=|"_s);
    }

    // Sceneries hidden by the filter keep their membership, and every rebuild shows the displayed
    // set's marks; otherwise the next write-back would lose members.
    void rebuildsKeepDisplayedSet()
    {
        Fixture f;
        frmScenery &form = f.describe(u"New:Other,Shown@8,Hidden@1"_s, u"Other"_s, u"Mine=1:Shown,Hidden"_s).load();
        f.typeSet(u"Mine"_s);
        form.chkFilter_Click(3, true); // FS2K2 only: "Hidden" leaves the tree
        QVERIFY(!f.node(u"SceneryNew\\Hidden"_s));
        QCOMPARE(f.checked(), u"Shown"_s);
        form.TransferData();
        QCOMPARE(f.members(u"Mine"_s).join(u','), u"Shown,Hidden"_s);
        f.check(u"SceneryNew\\Shown"_s, false);
        QCOMPARE(f.members(u"Mine"_s).join(u','), u"Hidden"_s);
        form.chkFilter_Click(3, false);
        QCOMPARE(f.checked(), u"Hidden"_s);
        // A rebuild by another command (as before writing a Scenery.cfg) shows the set, not InCFG.
        form.libraryTree().UndisplayAllTree();
        QCOMPARE(f.checked(), u"Hidden"_s);
        form.TransferData();
        QCOMPARE(f.sets(), u"Mine=Hidden;(Current)=Other"_s);
    }

    void checkingLevelChecksSceneriesBelow()
    {
        Fixture f;
        frmScenery &form =
            f.describe(u"New:Alpha;Europe:Paris;Europe\\Germany:Berlin;Paris"_s, u"Alpha"_s, u"Mine=1:"_s).load();
        f.typeSet(u"Mine"_s);
        f.check(u"LevelEurope"_s, true);
        // Europe's own box is cleared again (no member has its caption); the level "Paris" is ticked by it.
        QCOMPARE(f.checked(), u"Paris,Berlin,Paris"_s);
        QCOMPARE(f.members(u"Mine"_s).join(u','), u"Paris,Berlin"_s);
        QCOMPARE(form.stbStatus().panels[3], u"Sceneries in Set: 2 / 3"_s);
        f.check(u"LevelEurope\\Germany"_s, false);
        QCOMPARE(f.members(u"Mine"_s).join(u','), u"Paris"_s);
    }

    void filters_data()
    {
        QTest::addColumn<QString>("stored"); // "Filter" before loading
        QTest::addColumn<int>("box");        // clicked after loading, -1 none
        QTest::addColumn<QString>("result"); // the boxes, "Filter" afterwards, whether "Old" (FS95) is shown
        // Bit 6 belongs to no box: a store while loading would write "10" back; loading builds unfiltered.
        QTest::newRow("stored restores boxes") << "74" << -1 << "010100 74 1";
        QTest::newRow("FS95 click") << "" << 0 << "100000 1 1";
        QTest::newRow("CFS2 click") << "" << 5 << "000001 32 0";
    }
    void filters()
    {
        QFETCH(QString, stored);
        QFETCH(int, box);
        QFETCH(QString, result);
        Fixture f;
        f.describe(u"New:Any,Old@1;Empty"_s, u"Any"_s);
        f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s, stored);
        frmScenery &form = f.load();
        QSignalSpy filters(&form, &frmScenery::filtersChanged);
        if (box >= 0)
            form.chkFilter_Click(box, true);
        QString boxes;
        for (bool b : form.chkFilter())
            boxes += QString::number(b);
        QCOMPARE(u"%1 %2 %3"_s.arg(boxes, filterSetting(f.env)).arg(bool(f.node(u"SceneryNew\\Old"_s))), result);
        QCOMPARE(form.filterMask(), box < 0 ? 10 : 1 << box);
        QVERIFY(f.node(u"SceneryNew\\Any"_s) && f.node(u"LevelEmpty"_s) && !form.eventsSuppressed());
        QCOMPARE(filters.count(), box < 0 ? 0 : 1);
    }

    void labelEdit_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("caption"); // the level's caption afterwards
        QTest::newRow("level") << "LevelEurope" << true << "Asia" << "Asia";
        QTest::newRow("backslash") << "LevelEurope" << true << "A\\B" << "A/B";
        QTest::newRow("empty refused") << "LevelEurope" << true << "" << "Europe";
        QTest::newRow("New") << "LevelNew" << false << "Other" << "New";
        QTest::newRow("scenery") << "SceneryEurope\\Paris" << false << "X" << "";
    }
    void labelEdit()
    {
        QFETCH(QString, selected);
        QFETCH(bool, editable);
        QFETCH(QString, typed);
        QFETCH(QString, caption);
        Fixture f;
        frmScenery &form = f.describe(u"New;Europe:Paris"_s, u"Paris"_s).load();
        QVERIFY(!form.trvScenery_BeforeLabelEdit());
        TreeNode *node = f.node(selected);
        form.trvScenery().setSelectedItem(node);
        QCOMPARE(form.trvScenery_BeforeLabelEdit(), editable);
        form.trvScenery_AfterLabelEdit(node, typed);
        // The key stays; only the caption changes.
        QCOMPARE(node->key(), selected);
        if (!caption.isEmpty())
            QCOMPARE(f.manager->dicLevel.item(selected)->sLevelCaption + u'|' + node->text(), caption + u'|' + caption);
        QVERIFY(f.node(u"SceneryEurope\\Paris"_s));
    }

    void rightClickPreparesMenus()
    {
        Fixture f;
        frmScenery &form = f.describe(u"New:Alpha"_s, u"Alpha"_s).load();
        QStringList trace;
        for (const QString &key : {QString(), u"LevelNew"_s, u"SceneryNew\\Alpha"_s}) {
            form.trvScenery().setSelectedItem(f.node(key));
            trace << QString::number(int(form.trvScenery_RightClick()));
            trace.last() += QString::number(form.setSubMenusVisible());
        }
        form.scenerySubMenusClosed();
        QCOMPARE(trace.join(u' ') + QString::number(form.setSubMenusVisible()), u"00 10 210"_s);
        QCOMPARE(form.setMenu().mnuSets.size(), 2);
        // A press makes the node under the pointer the drag node and shows it.
        form.trvScenery_MouseDown(f.node(u"SceneryNew\\Alpha"_s));
        QCOMPARE(form.dragNode()->key() + form.displayedScenery()->Title, u"SceneryNew\\AlphaAlpha"_s);
        form.trvScenery_MouseDown(nullptr);
        QVERIFY(!form.dragNode());
    }

    void functionKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("bound");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("status"); // "": the key ran nothing
        QTest::newRow("F3 Move up, nothing selected") << 3 << "Move up" << false << "before";
        QTest::newRow("Shift+F5 runs nothing") << 5 << "Move up" << true << "";
        QTest::newRow("unknown caption") << 7 << "Make Coffee" << false << "";
        QTest::newRow("unbound") << 12 << "" << false << "";
        QTest::newRow("find without set") << 1 << "Find sceneries without set" << false << "Ready.";
    }
    void functionKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, bound);
        QFETCH(bool, shift);
        QFETCH(QString, status);
        Fixture f;
        frmScenery &form = f.describe({}, u"Alpha"_s).load();
        Start::FunctionKeyTable table;
        table[std::size_t(key - 1)] = bound;
        form.setFunctionKeys(table);
        form.Display(u"before"_s);
        QCOMPARE(form.functionKey(key, shift, false, false), !status.isEmpty());
        QCOMPARE(form.stbStatus().panels[0], status.isEmpty() ? u"before"_s : status);
        QVERIFY(!form.functionKey(key, false, true, false) && !form.functionKey(key, false, false, true));
    }

    void commandAvailability()
    {
        Fixture f;
        frmScenery &form = f.describe({}, u"Alpha"_s).load();
        const auto available = [&] {
            QString out;
            for (int row : {0, 7, 15, 19, 29, 33, 36, 46})
                out += QString::number(form.isCommandAvailable(row));
            return out;
        };
        QCOMPARE(available(), u"00110000"_s); // 29 to 33: no backup manager given
        form.runCommand(36);
        QCOMPARE(form.stbStatus().panels[0], frmScenery::notAvailableText(u"Select Sim Type"_s));
        BackupManager backup(f.env.context, Fixture::simFolder(1), 1);
        form.setBackupManager(&backup);
        QCOMPARE(available(), u"00111100"_s);
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
