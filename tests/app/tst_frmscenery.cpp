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

void io(const char *in = "in") { QTest::addColumn<QString>(in), QTest::addColumn<QString>("out"); }
QString u8(const char *text) { return QString::fromUtf8(text); }
void row(const char *name, const char *in, const char *out) { QTest::newRow(name) << u8(in) << u8(out); }

// Runs space-separated steps on the loaded window; the "?" steps answer, joined by " ".
QString run(Fixture &f, const QString &script)
{
    frmScenery &form = *f.form;
    QStringList out;
    for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
        const QString op = step.section(u'=', 0, 0), arg = step.section(u'=', 1);
        const CfgPtr shown = form.displayedSet();
        if (op == u"type") f.typeSet(arg);
        else if (op == u"check" || op == u"clear") f.check(arg, op == u"check");
        else if (op == u"filter" || op == u"unfilter") form.chkFilter_Click(arg.toInt(), op == u"filter");
        else if (op == u"bold") f.node(arg)->setBold(true);
        else if (op == u"select") f.select(arg);
        else if (op == u"cmd") form.runCommand(arg.toInt());
        else if (op == u"say") form.Display(arg);
        else if (op == u"add") f.env.ui.expectInput(u"Insert a new Set name:"_s, u"Create new set"_s, arg), form.runCommand(15);
        else if (op.startsWith(u"rename"_s)) { // "rename!": the new name is refused
            f.env.ui.expectInput(u"Type in the new set name."_s, u"Rename set"_s, arg);
            if (op.endsWith(u'!'))
                f.env.ui.expectMessageStartingWith(u"A set named"_s, u"Rename set"_s);
            form.runCommand(17);
        }
        else if (op.startsWith(u'+')) form.mnuSets_Click(op.mid(1).toInt());
        else if (op.startsWith(u'-')) form.mnuInSets_Click(op.mid(1).toInt());
        else if (op == u"rebuild") form.libraryTree().UndisplayAllTree();
        else if (op == u"transfer") form.TransferData();
        else if (op == u"?checked" || op == u"?bold") out << f.checked(op == u"?bold");
        else if (op == u"?sets") out << f.sets();
        else if (op == u"?members") out << f.members(arg).join(u',');
        else if (op == u"?status") out << form.stbStatus().panels[0];
        else if (op == u"?count") out << form.stbStatus().panels[3];
        else if (op == u"?shown") out << u"%1@%2"_s.arg(shown->Key).arg(shown->Cache_Size);
        else if (op == u"?combo") out << form.cboScenerySet().items.join(u',') + u'|' + form.cboScenerySet().text;
        else if (op == u"?node") out << QString::number(f.node(arg) != nullptr);
        else if (op == u"?menu") {
            const frmScenery::SetMenu &m = form.fillSetMenu();
            QStringList add, remove; // entry 0 is the hidden design-time entry; "(Current)" is never offered
            for (int i = 0; i < m.mnuSets.size(); ++i) {
                if (m.mnuSets[i].visible) add << m.mnuSets[i].caption;
                if (m.mnuInSets[i].visible) remove << m.mnuInSets[i].caption;
            }
            out << u"%1%2 +%3 -%4"_s.arg(int(m.mnuAddToSetEnabled)).arg(int(m.mnuRemoveFromSetEnabled))
                       .arg(add.join(u','), remove.join(u','));
        } else out << u"<bad step "_s + step + u'>';
    }
    return out.join(u' ');
}
} // namespace

class TestFrmScenery : public QObject
{
    Q_OBJECT

private slots:
    void titleAndSetList_data()
    {
        io("simType"); // stored sets are read before "(Current)" is created; the list still starts with it
        row("2000", "0", "Lumivale 1.6 - Flight Simulator 2000|(Current),Old");
        row("2002", "1", "Lumivale 1.6 - Flight Simulator 2002|(Current),Europe");
        row("CFS2", "2", "Lumivale 1.6 - Combat Flight Simulator 2|(Current)");
    }
    void titleAndSetList()
    {
        QFETCH(QString, simType);
        QFETCH(QString, out);
        Fixture f;
        frmScenery &form = f.describe({}, u"Alpha"_s, u"Europe=1:;Old=0:"_s).load(simType.toInt());
        QCOMPARE(form.Caption() + u'|' + form.cboScenerySet().items.join(u','), out);
        QCOMPARE(form.cboScenerySet().listIndex + f.env.ui.allShown(), 1);
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
        QVERIFY(!f.env.ui.busy());
        // The areas of the Scenery.cfg are the members of "(Current)", displayed and ticked.
        QCOMPARE(form.cboScenerySet().text + u'|' + form.displayedSet()->Key + u'|' + run(f, u"?members=(Current) ?checked"_s)
                     + f.status().section(u'|', 1),
                 u"(Current)|(Current)|Alpha,Beta Beta,AlphaLevel: 1|Sceneries: 2|Sceneries in Set: 2 / 2"_s);
        form.Form_Activate();
        QVERIFY(!form.splash().isVisible() && splash.count() == 2 && f.env.ui.allShown());
        QStringList lines;
        for (const QString &line : f.env.fs.readLines(Start::DebugLog::FileName))
            lines << line.section(u" - "_s, 1);
        QCOMPARE(lines.join(u'|'), u"Iniditalize|Iniditalize end|Hide Splash (Activate)|Hide Splash end (Activate)"_s);
    }

    // The window opens on the library with an empty "(Current)".
    void missingSceneryCfgStillOpens()
    {
        Fixture f;
        f.describe(u"New:Alpha"_s).writeFiles(1);
        f.env.fs.deleteFile(Fixture::simFolder(1) + u"\\Scenery.cfg"_s);
        f.create();
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG"_s, u"Lumivale"_s);
        f.form->Form_Load();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.form->cboScenerySet().text + f.checked() + f.status().section(u'|', 2),
                 u"(Current)Sceneries: 1|Sceneries in Set: 0 / 1"_s);
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
            return f.env.readFile(f.dbPath(u"Lumivale.db5"_s)) + f.env.readFile(f.dbPath(u"Level.db"_s))
                 + f.env.readFile(f.dbPath(u"CFGSet.db"_s));
        };
        const QByteArray before = files();
        run(f, u"type=Mine clear=SceneryNew\\Alpha"_s);
        f.node(u"SceneryNew\\Beta"_s)->setChecked(true); // the last tick is only on the box when the window closes
        QSignalSpy unloaded(&form, &frmScenery::unloaded);
        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               save ? UiPort::Answer::Yes : UiPort::Answer::No);
        form.Form_Unload();
        QVERIFY(f.env.ui.allShown() && unloaded.count() == 1 && !form.displayedSet());
        QCOMPARE(files() == before, !save);
        if (save)
            QCOMPARE(f.env.fs.readLines(f.dbPath(u"CFGSet.db"_s)).join(u'|'), u"<Set>|Mine|1|False|Beta|</Set>"_s);
    }

    // A library "levels|Scenery.cfg areas|sets" (see describe), the steps of run() and their answers.
    void scenarios_data()
    {
        QTest::addColumn<QString>("world");
        io("steps");
        const char *sets = "New:A,B|A|Mine=1:B;Two=1:;Old=0:A", *in = "Mine=B;Two=;Old=A;(Current)=A";
        const auto set = [&](const char *name, const char *steps, const char *out) {
            QTest::newRow(name) << u8(sets) << u8(steps) << u8(out).replace(u"S0"_s, u8(in));
        };
        set("typed set", "type=Mine ?shown ?checked ?combo", "Mine@1 B (Current),Mine,Two|Mine");
        set("typed set of other sim: shown, not listed", "type=Old ?shown ?checked ?combo", "Old@0 A (Current),Mine,Two|Old");
        set("typed new name", "type=Fresh ?shown ?sets ?checked ?combo", "Fresh@1 S0;Fresh=  (Current),Mine,Two,Fresh|Fresh");
        set("add", "add=Fresh ?shown ?sets ?combo ?status", "Fresh@1 S0;Fresh= (Current),Mine,Two,Fresh|Fresh Ready.");
        set("add cancelled", "say=- add= ?shown ?sets ?status", "(Current)@0 S0 Ready.");
        set("rename", "type=Mine rename=New ?shown ?sets ?checked ?combo",
            "New@1 Two=;Old=A;(Current)=A;New=B B (Current),Two,New|New");
        set("rename to taken refused", "type=Mine rename!=Two ?shown ?sets ?combo", "Mine@1 S0 (Current),Mine,Two|Mine");
        set("rename to (Current) refused", "type=Mine rename!=(Current) ?shown ?sets", "Mine@1 S0");
        set("rename empty", "type=Mine rename= ?shown ?sets", "Mine@1 S0");
        set("rename unchanged", "type=Mine rename=Mine ?shown ?sets ?combo", "Mine@1 S0 (Current),Mine,Two|Mine");
        set("rename (Current) ignored", "cmd=17 ?shown ?sets", "(Current)@0 S0");
        set("remove", "type=Mine cmd=16 ?shown ?sets ?checked ?combo",
            "(Current)@0 Two=;Old=A;(Current)=A A (Current),Two|(Current)");
        set("remove (Current) ignored", "cmd=16 ?shown ?sets", "(Current)@0 S0");
        set("copy Current", "type=Mine cmd=19 ?shown ?sets ?checked", "Mine@1 Mine=A;Two=;Old=A;(Current)=A A");
        set("copy onto (Current) silent", "say=- cmd=19 ?status ?sets", "- S0");
        const auto row = [](const char *name, const char *world, const char *steps, const char *out) {
            QTest::newRow(name) << u8(world) << u8(steps) << u8(out);
        };
        row("find without set: bold only if in (Current) alone", "New:OnlyCurrent,InSet,Hidden@1|OnlyCurrent,InSet|M=1:InSet",
            "filter=3 bold=SceneryNew\\InSet cmd=18 ?bold ?status", "OnlyCurrent Ready.");
        // Otherwise the next write-back would lose the members the tree does not show.
        row("members hidden by the filter kept", "New:Other,Shown@8,Hidden@1|Other|Mine=1:Shown,Hidden",
            "type=Mine filter=3 ?node=SceneryNew\\Hidden ?checked transfer ?members=Mine clear=SceneryNew\\Shown ?members=Mine",
            "0 Shown Shown,Hidden Hidden");
        row("rebuilds show the displayed set, not InCFG", "New:Other,Shown@8,Hidden@1|Other|Mine=1:Shown,Hidden",
            "type=Mine clear=SceneryNew\\Shown filter=3 unfilter=3 ?checked rebuild ?checked transfer ?sets",
            "Hidden Hidden Mine=Hidden;(Current)=Other");
        // Europe's own box is cleared again (no member has its caption); the level "Paris" is ticked by it.
        row("level box ticks sceneries below", "New:Alpha;Europe:Paris;Europe\\Germany:Berlin;Paris|Alpha|Mine=1:",
            "type=Mine check=LevelEurope ?checked ?members=Mine ?count clear=LevelEurope\\Germany ?members=Mine",
            "Paris,Berlin,Paris Paris,Berlin Sceneries in Set: 2 / 3 Paris");
        row("menu: in every set, add disabled", "New:X|X|A=1:X;B=1:X", "select=SceneryNew\\X ?menu", "01 + -A,B");
        row("menu: in none, remove disabled", "New:X|X|A=1:;B=1:", "select=SceneryNew\\X ?menu", "10 +A,B -");
        row("menu: in one", "New:X|X|A=1:;B=1:X", "select=SceneryNew\\X ?menu", "11 +A -B");
        // The box follows the menu entries only for the displayed set; a second add makes no duplicate.
        row("menu entries change membership", "New:X|X|A=1:;B=1:",
            "select=SceneryNew\\X ?menu type=B +2 +2 ?sets ?checked -2 ?checked +1 ?sets ?checked -1 ?sets",
            "10 +A,B - A=;B=X;(Current)=X X  A=X;B=;(Current)=X  A=;B=;(Current)=X");
    }
    void scenarios()
    {
        QFETCH(QString, world);
        QFETCH(QString, steps);
        QFETCH(QString, out);
        Fixture f;
        f.describe(world.section(u'|', 0, 0), world.section(u'|', 1, 1), world.section(u'|', 2)).load();
        QCOMPARE(run(f, steps), out);
        QVERIFY(f.env.ui.allShown());
    }

    void warningPictureFromMemberCount_data()
    {
        QTest::addColumn<int>("members");
        QTest::newRow("332 no picture") << 332;
        QTest::newRow("333 warns") << 333;
    }
    void warningPictureFromMemberCount()
    {
        QFETCH(int, members);
        Fixture f;
        for (int i = 0; i < members; ++i)
            f.addCfgArea(u"Area %1"_s.arg(i));
        frmScenery &form = f.load();
        QCOMPARE(form.stbStatus().warningPicture, members > 332);
        QCOMPARE(form.stbStatus().panels[3], u"Sceneries in Set: %1 / %1"_s.arg(members));
    }

    void filters_data()
    {
        io(); // in: "Filter" before loading and the box clicked after (-1 none)
        // Out: the boxes, "Filter" afterwards, whether "Old" (FS95) is shown, the filter mask.
        // Bit 6 belongs to no box: a store while loading would write "10" back; loading builds unfiltered.
        row("stored restores boxes", "74 -1", "010100 74 1 10");
        row("FS95 click", " 0", "100000 1 1 1");
        row("CFS2 click", " 5", "000001 32 0 32");
    }
    void filters()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        Fixture f;
        f.describe(u"New:Any,Old@1;Empty"_s, u"Any"_s);
        const auto filter = [&] { return f.env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s); };
        f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s, in.section(u' ', 0, 0));
        frmScenery &form = f.load();
        QSignalSpy filters(&form, &frmScenery::filtersChanged);
        const int box = in.section(u' ', 1).toInt();
        if (box >= 0)
            form.chkFilter_Click(box, true);
        QString boxes;
        for (bool b : form.chkFilter())
            boxes += QString::number(b);
        QCOMPARE(u"%1 %2 %3 %4"_s.arg(boxes, filter()).arg(bool(f.node(u"SceneryNew\\Old"_s))).arg(form.filterMask()), out);
        QVERIFY(f.node(u"SceneryNew\\Any"_s) && f.node(u"LevelEmpty"_s) && !form.eventsSuppressed());
        QCOMPARE(filters.count(), int(box >= 0));
    }

    void labelEdit_data()
    {
        io(); // in: the selected node and the text typed; out: whether editable, the level's caption afterwards
        row("level", "LevelEurope Asia", "1 Asia");
        row("backslash", "LevelEurope A\\B", "1 A/B");
        row("empty refused", "LevelEurope ", "1 Europe");
        row("New", "LevelNew Other", "0 New");
        row("scenery", "SceneryEurope\\Paris X", "0 Paris");
    }
    void labelEdit()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        Fixture f;
        frmScenery &form = f.describe(u"New;Europe:Paris"_s, u"Paris"_s).load();
        QVERIFY(!form.trvScenery_BeforeLabelEdit());
        const QString key = in.section(u' ', 0, 0);
        TreeNode *node = f.node(key);
        form.trvScenery().setSelectedItem(node);
        const bool editable = form.trvScenery_BeforeLabelEdit();
        form.trvScenery_AfterLabelEdit(node, in.section(u' ', 1));
        QCOMPARE(u"%1 %2"_s.arg(int(editable)).arg(node->text()), out);
        // The key stays; only the caption changes.
        QCOMPARE(node->key(), key);
        if (key.startsWith(u"Level"_s))
            QCOMPARE(f.manager->dicLevel.item(key)->sLevelCaption, node->text());
        QVERIFY(f.node(u"SceneryEurope\\Paris"_s));
    }

    void rightClickPreparesMenus()
    {
        Fixture f;
        frmScenery &form = f.describe(u"New:Alpha"_s, u"Alpha"_s).load();
        QString trace;
        for (const QString &key : {QString(), u"LevelNew"_s, u"SceneryNew\\Alpha"_s}) {
            form.trvScenery().setSelectedItem(f.node(key));
            trace += u"%1%2 "_s.arg(int(form.trvScenery_RightClick())).arg(form.setSubMenusVisible());
        }
        form.scenerySubMenusClosed();
        QCOMPARE(trace + QString::number(form.setSubMenusVisible()), u"00 10 21 0"_s);
        QCOMPARE(form.setMenu().mnuSets.size(), 2);
        // A press makes the node under the pointer the drag node and shows it.
        form.trvScenery_MouseDown(f.node(u"SceneryNew\\Alpha"_s));
        QCOMPARE(form.dragNode()->key() + form.displayedScenery()->Title, u"SceneryNew\\AlphaAlpha"_s);
        form.trvScenery_MouseDown(nullptr);
        QVERIFY(!form.dragNode());
    }

    void functionKeys_data()
    {
        io(); // in: key, Shift, the caption bound; out: whether the key ran, the status
        row("F3 Move up, nothing selected", "3 0 Move up", "1 before");
        row("Shift+F5 runs nothing", "5 1 Move up", "0 before");
        row("unknown caption", "7 0 Make Coffee", "0 before");
        row("unbound", "12 0 ", "0 before");
        row("find without set", "1 0 Find sceneries without set", "1 Ready.");
    }
    void functionKeys()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        Fixture f;
        frmScenery &form = f.describe({}, u"Alpha"_s).load();
        const int key = in.section(u' ', 0, 0).toInt();
        Start::FunctionKeyTable table;
        table[std::size_t(key - 1)] = in.section(u' ', 2);
        form.setFunctionKeys(table);
        form.Display(u"before"_s);
        const bool ran = form.functionKey(key, in.section(u' ', 1, 1) == u"1"_s, false, false);
        QCOMPARE(u"%1 %2"_s.arg(int(ran)).arg(form.stbStatus().panels[0]), out);
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
        QVERIFY(form.functionKey(4, false, false, false) && f.env.ui.allShown());
        QCOMPARE(form.stbStatus().panels[0], u"Ready."_s);
        QVERIFY(backup.backupFiles().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFrmScenery)
#include "tst_frmscenery.moc"
