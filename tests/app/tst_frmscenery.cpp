#include "tst_frmscenery_fixture.h"

#include "app/commandtable.h"
#include "app/debuglog.h"
#include "areas/areadialogs.h"
#include "backup/backupmanager.h"
#include "settings/programsettings.h"

#include <QSignalSpy>
#include <QTest>

using Fixture = MainWindowFixture;

namespace {
const QString ExclValid = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00,OBJECTS"_s;
const QString FlatValid = u"120,N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;

QString u8(const char *text) { return QString::fromUtf8(text); }
void io() { QTest::addColumn<QString>("in"), QTest::addColumn<QString>("out"); }
void row(const char *name, const char *in, const char *out) { QTest::newRow(name) << u8(in) << u8(out); }
#define FETCH_IO QFETCH(QString, in); QFETCH(QString, out); const QStringList ins = in.split(u'|')

// Loads a library of this one scenery (below "New") and shows it in the details panel.
frmScenery &show(Fixture &f, const Fixture::Scenery &s)
{
    f.describe(u"New"_s, s.title);
    const QString key = f.addScenery(s);
    f.load();
    f.select(key);
    return *f.form;
}
clsScenery &record(Fixture &f, const QString &title = u"Alpha"_s)
{
    return *f.manager->colScenery.item(u"SceneryNew\\"_s + title);
}
QString setting(TestEnv &env, const QString &name)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name, u"-"_s);
}

// Runs space-separated steps ("op=argument", "_" for a space) on the loaded window; the "?" steps answer.
QString run(Fixture &f, const QString &script)
{
    frmScenery &form = *f.form;
    QSignalSpy filtered(&form.organiser(), &Organiser::filtersChanged);
    const auto fkey = [&](const QString &a) { // "3:Move up" binds F3 and presses it, "S3:..." with Shift
        Start::FunctionKeyTable table;
        const int key = a.section(u':', 0, 0).remove(u'S').toInt();
        table[std::size_t(key - 1)] = a.section(u':', 1);
        form.setFunctionKeys(table);
        const Qt::Key fk = Qt::Key(Qt::Key_F1 + key - 1);
        const bool ran = form.functionKey(fk, a.startsWith(u'S') ? Qt::ShiftModifier : Qt::NoModifier);
        return u"%1%2"_s.arg(ran).arg(form.functionKey(fk, Qt::ControlModifier) || form.functionKey(fk, Qt::AltModifier));
    };
    const auto visible = [](const auto &entries) { // entry 0 is the hidden design-time entry
        QStringList out;
        for (const auto &entry : entries)
            if (entry.visible)
                out << entry.caption;
        return out.join(u',');
    };
    const auto on = [](const QString &a) { return !a.startsWith(u'!'); }; // "check=!key" clears the box
    using Op = std::function<QString(const QString &)>;
    const QHash<QString, Op> ops{
        {u"type"_s, [&](const QString &a) { f.typeSet(a); return QString(); }},
        {u"check"_s, [&](const QString &a) { f.check(a.mid(!on(a)), on(a)); return QString(); }},
        {u"filter"_s, [&](const QString &a) { form.chkFilter_Click(a.mid(!on(a)).toInt(), on(a)); return QString(); }},
        {u"bold"_s, [&](const QString &a) { f.node(a)->setBold(true); return QString(); }},
        {u"select"_s, [&](const QString &a) { f.select(a); return QString(); }},
        {u"cmd"_s, [&](const QString &a) { form.runCommand(Start::Command(a.toInt())); return QString(); }},
        {u"say"_s, [&](const QString &a) { form.status().Display(a); return QString(); }},
        {u"rebuild"_s, [&](const QString &) { form.libraryTree().UndisplayAllTree(); return QString(); }},
        {u"transfer"_s, [&](const QString &) { form.sets().TransferData(); return QString(); }},
        {u"+"_s, [&](const QString &a) { form.mnuSets_Click(a.toInt()); return QString(); }},
        {u"-"_s, [&](const QString &a) { form.mnuInSets_Click(a.toInt()); return QString(); }},
        {u"add"_s, [&](const QString &a) {
             f.env.ui.expectInput(u"Insert a new Set name:"_s, u"Create new set"_s, a);
             form.runCommand(Start::Command::AddSet);
             return QString();
         }},
        {u"rename"_s, [&](const QString &a) { // "rename!": the new name is refused
             f.env.ui.expectInput(u"Type in the new set name."_s, u"Rename set"_s, a.section(u'!', 0, 0));
             if (a.endsWith(u'!'))
                 f.env.ui.expectMessageStartingWith(u"A set named"_s, u"Rename set"_s);
             form.runCommand(Start::Command::RenameSet);
             return QString();
         }},
        {u"?edit"_s, [&](const QString &a) { // "key:text": the user edits the node's label
             const QString key = a.section(u':', 0, 0);
             form.trvScenery().setSelectedItem(f.node(key));
             const bool editable = form.trvScenery_BeforeLabelEdit();
             form.trvScenery_AfterLabelEdit(f.node(key), a.section(u':', 1));
             const bool level = key.startsWith(u"Level"_s); // the key stays, the caption changes
             return u"%1 %2 %3"_s.arg(editable).arg(f.node(key)->text(),
                                                   level ? f.manager->dicLevel.item(key)->sLevelCaption : u"-"_s);
         }},
        {u"?fkey"_s, fkey},
        {u"?right"_s, [&](const QString &a) {
             form.trvScenery().setSelectedItem(f.node(a));
             const int menu = int(form.trvScenery_RightClick());
             return QString::number(menu) + QString::number(form.sets().setSubMenusVisible());
         }},
        {u"?close"_s, [&](const QString &) { return form.scenerySubMenusClosed(), QString::number(form.sets().setSubMenusVisible()); }},
        {u"?press"_s, [&](const QString &a) { // the node under the pointer becomes the drag node and is shown
             form.trvScenery_MouseDown(f.node(a));
             return form.organiser().dragNode() ? form.organiser().dragNode()->key() + u'=' + form.details().displayedScenery()->Title : u"-"_s;
         }},
        {u"?editable"_s, [&](const QString &) { return QString::number(form.trvScenery_BeforeLabelEdit()); }},
        {u"?checked"_s, [&](const QString &) { return f.checked(); }},
        {u"?bold"_s, [&](const QString &) { return f.checked(true); }},
        {u"?sets"_s, [&](const QString &) { return f.sets(); }},
        {u"?members"_s, [&](const QString &a) { return f.members(a).join(u','); }},
        {u"?status"_s, [&](const QString &) { return form.status().stbStatus().panels[0]; }},
        {u"?count"_s, [&](const QString &) { return form.status().stbStatus().panels[2] + u'|' + form.status().stbStatus().panels[3]; }},
        {u"?warn"_s, [&](const QString &) { return QString::number(form.status().stbStatus().warningPicture); }},
        {u"?shown"_s, [&](const QString &) { return u"%1@%2"_s.arg(form.sets().displayedSet()->Key).arg(form.sets().displayedSet()->Cache_Size); }},
        {u"?combo"_s, [&](const QString &) { return form.sets().cboScenerySet().items.join(u',') + u'|' + form.sets().cboScenerySet().text; }},
        {u"?caption"_s, [&](const QString &) { return form.status().Caption(); }},
        {u"?node"_s, [&](const QString &a) { return QString::number(f.node(a) != nullptr); }},
        {u"?menu"_s, [&](const QString &) {
             const SetSelector::SetMenu &m = form.sets().fillSetMenu();
             return u"%1%2 +%3 -%4"_s.arg(m.mnuAddToSetEnabled).arg(m.mnuRemoveFromSetEnabled)
                 .arg(visible(m.mnuSets), visible(m.mnuInSets));
         }},
        {u"?filters"_s, [&](const QString &) { // the boxes, the setting, the mask, whether the view was told
             QString boxes;
             for (bool b : form.organiser().chkFilter())
                 boxes += QString::number(b);
             return u"%1 %2 %3 %4%5"_s.arg(boxes, setting(f.env, u"Filter"_s)).arg(form.organiser().filterMask()).arg(filtered.count())
                 .arg(0);
         }},
    };
    QStringList out;
    for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
        const QString op = step.section(u'=', 0, 0), arg = step.section(u'=', 1).replace(u'_', u' ');
        if (!ops.contains(op))
            return u"<bad step "_s + step + u'>';
        const QString answer = ops[op](arg);
        if (op.startsWith(u'?'))
            out << answer;
    }
    return out.join(u' ');
}
} // namespace

class TestFrmScenery : public QObject
{
    Q_OBJECT

private slots:
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
        QVERIFY(form.splash().isVisible() && !form.splash().Text1Visible && !form.splash().lblCloseVisible && !f.env.ui.busy());
        // The areas of the Scenery.cfg are the members of "(Current)", displayed and ticked.
        QCOMPARE(form.sets().cboScenerySet().text + u'|' + form.sets().displayedSet()->Key + u'|' + run(f, u"?members=(Current) ?checked"_s)
                     + f.status().section(u'|', 1),
                 u"(Current)|(Current)|Alpha,Beta Beta,AlphaLevel: 1|Sceneries: 2|Sceneries in Set: 2 / 2"_s);
        form.Form_Activate();
        QVERIFY(!form.splash().isVisible() && splash.count() == 2 && f.env.ui.allShown());
        QStringList lines;
        for (const QString &line : f.env.fs.readLines(Start::DebugLog::FileName))
            lines << line.section(u" - "_s, 1);
        QCOMPARE(lines.join(u'|'), u"Iniditalize|Iniditalize end|Hide Splash (Activate)|Hide Splash end (Activate)"_s);
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
        const auto db = [&](const char *name) { return f.env.readFile(f.dbPath(u8(name))); };
        const auto files = [&] { return db("Lumivale.db5") + db("Level.db") + db("CFGSet.db"); };
        const QByteArray before = files();
        run(f, u"type=Mine check=!SceneryNew\\Alpha"_s);
        f.node(u"SceneryNew\\Beta"_s)->setChecked(true); // the last tick is only on the box when the window closes
        QSignalSpy unloaded(&form, &frmScenery::unloaded);
        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               save ? UiPort::Answer::Yes : UiPort::Answer::No);
        form.Form_Unload();
        QVERIFY(f.env.ui.allShown() && unloaded.count() == 1 && !form.sets().displayedSet());
        QCOMPARE(files() == before, !save);
        if (save)
            QCOMPARE(f.env.fs.readLines(f.dbPath(u"CFGSet.db"_s)).join(u'|'), u"<Set>|Mine|1|False|Beta|</Set>"_s);
    }

    // A library read with errors is saved over its files only when the user says so, and the
    // ".backup" copy of the damaged file stays as it was.
    void unloadAfterDamagedReading_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("not saved") << false;
        QTest::newRow("saved all the same") << true;
    }
    void unloadAfterDamagedReading()
    {
        QFETCH(bool, save);
        Fixture f;
        f.addLevel(u"LevelNew"_s, u"New"_s);
        f.writeFiles(1);
        const QStringList damaged{u"//Lumivale 1.6"_s,        u"<Scenery>"_s,  u"Key=SceneryNew\\Alpha"_s,
                                  u"Title=Alpha"_s,           u"</Scenery>"_s, u"<Scenery>"_s,
                                  u"Key=SceneryNew\\Alpha"_s, u"Title=Beta"_s, u"</Scenery>"_s};
        f.env.fs.writeLines(f.dbPath(u"Lumivale.db5"_s), damaged);
        f.env.writeFile(f.dbPath(u"Lumivale.db5.backup"_s), "good copy");
        f.create();
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readDB\nError: 457\n"_s, u"Lumivale"_s);
        f.form->Form_Load();
        const QByteArray before = f.env.readFile(f.dbPath(u"Lumivale.db5"_s));
        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               UiPort::Answer::Yes);
        f.env.ui.expectMessageStartingWith(
            u"The library files were read with errors:\r\nLumivale.db5, line 9: "_s, u"Update Database"_s,
            save ? UiPort::Answer::Yes : UiPort::Answer::No);
        f.form->Form_Unload();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(f.dbPath(u"Lumivale.db5"_s)) == before, !save);
        QCOMPARE(f.env.readFile(f.dbPath(u"Lumivale.db5.backup"_s)), QByteArray("good copy"));
    }

    // A library "levels|Scenery.cfg areas ("#n": n of them)|sets|simulator ("!": no Scenery.cfg)|stored Filter"
    // (see describe), the steps of run() and their answers.
    void scenarios_data()
    {
        io();
        const char *sets = "New:A,B|A|Mine=1:B;Two=1:;Old=0:A", *in = "Mine=B;Two=;Old=A;(Current)=A";
        const auto set = [&](const char *name, const char *steps, const char *out) {
            QTest::newRow(name) << u8(sets) + u" # "_s + u8(steps) << u8(out).replace(u"S0"_s, u8(in));
        };
        row("332 areas: no warning picture", "|#332 # ?warn ?count", "0 Sceneries: 332|Sceneries in Set: 332 / 332");
        row("333 areas warn", "|#333 # ?warn ?count", "1 Sceneries: 333|Sceneries in Set: 333 / 333");
        row("missing Scenery.cfg: opens, (Current) empty", "New:Alpha|||1! # ?shown ?checked ?count",
            "(Current)@0  Sceneries: 1|Sceneries in Set: 0 / 1");
        // Stored sets are read before "(Current)" is created; the list still starts with it.
        row("2000", "|Alpha|Europe=1:;Old=0:|0 # ?caption ?combo", "Lumivale 1.6 - Flight Simulator 2000 (Current),Old|(Current)");
        row("2002", "|Alpha|Europe=1:;Old=0:|1 # ?caption ?combo", "Lumivale 1.6 - Flight Simulator 2002 (Current),Europe|(Current)");
        row("CFS2", "|Alpha|Europe=1:;Old=0:|2 # ?caption ?combo", "Lumivale 1.6 - Combat Flight Simulator 2 (Current)|(Current)");
        set("typed set", "type=Mine ?shown ?checked ?combo", "Mine@1 B (Current),Mine,Two|Mine");
        set("typed set of other sim: shown, not listed", "type=Old ?shown ?checked ?combo", "Old@0 A (Current),Mine,Two|Old");
        set("typed new name", "type=Fresh ?shown ?sets ?checked ?combo", "Fresh@1 S0;Fresh=  (Current),Mine,Two,Fresh|Fresh");
        set("add", "add=Fresh ?shown ?sets ?combo ?status", "Fresh@1 S0;Fresh= (Current),Mine,Two,Fresh|Fresh Ready.");
        set("add cancelled", "say=- add= ?shown ?sets ?status", "(Current)@0 S0 Ready.");
        set("rename", "type=Mine rename=New ?shown ?sets ?checked ?combo",
            "New@1 Two=;Old=A;(Current)=A;New=B B (Current),Two,New|New");
        set("rename to taken refused", "type=Mine rename=Two! ?shown ?sets ?combo", "Mine@1 S0 (Current),Mine,Two|Mine");
        set("rename to (Current) refused", "type=Mine rename=(Current)! ?shown ?sets", "Mine@1 S0");
        set("rename empty", "type=Mine rename= ?shown ?sets", "Mine@1 S0");
        set("rename unchanged", "type=Mine rename=Mine ?shown ?sets ?combo", "Mine@1 S0 (Current),Mine,Two|Mine");
        set("rename (Current) ignored", "cmd=17 ?shown ?sets", "(Current)@0 S0");
        set("remove", "type=Mine cmd=16 ?shown ?sets ?checked ?combo",
            "(Current)@0 Two=;Old=A;(Current)=A A (Current),Two|(Current)");
        set("remove (Current) ignored", "cmd=16 ?shown ?sets", "(Current)@0 S0");
        set("copy Current", "type=Mine cmd=19 ?shown ?sets ?checked", "Mine@1 Mine=A;Two=;Old=A;(Current)=A A");
        set("copy onto (Current) silent", "say=- cmd=19 ?status ?sets", "- S0");
        row("find without set: bold only if in (Current) alone",
            "New:OnlyCurrent,InSet,Hidden@1|OnlyCurrent,InSet|M=1:InSet # filter=3 bold=SceneryNew\\InSet cmd=18 ?bold ?status", "OnlyCurrent Ready.");
        // Otherwise the next write-back would lose the members the tree does not show.
        row("members hidden by the filter kept",
            "New:Other,Shown@8,Hidden@1|Other|Mine=1:Shown,Hidden # type=Mine filter=3 ?node=SceneryNew\\Hidden ?checked"
            " transfer ?members=Mine check=!SceneryNew\\Shown ?members=Mine", "0 Shown Shown,Hidden Hidden");
        row("rebuilds show the displayed set, not InCFG",
            "New:Other,Shown@8,Hidden@1|Other|Mine=1:Shown,Hidden # type=Mine check=!SceneryNew\\Shown filter=3 filter=!3"
            " ?checked rebuild ?checked transfer ?sets", "Hidden Hidden Mine=Hidden;(Current)=Other");
        // Europe's own box is cleared again (no member has its caption); the level "Paris" is ticked by it.
        row("level box ticks sceneries below", "New:Alpha;Europe:Paris;Europe\\Germany:Berlin;Paris|Alpha|Mine=1: # type=Mine"
            " check=LevelEurope ?checked ?members=Mine ?count check=!LevelEurope\\Germany ?members=Mine",
            "Paris,Berlin,Paris Paris,Berlin Sceneries: 3|Sceneries in Set: 2 / 3 Paris");
        row("menu: in every set, add disabled", "New:X|X|A=1:X;B=1:X # select=SceneryNew\\X ?menu", "01 + -A,B");
        row("menu: in none, remove disabled", "New:X|X|A=1:;B=1: # select=SceneryNew\\X ?menu", "10 +A,B -");
        row("menu: in one", "New:X|X|A=1:;B=1:X # select=SceneryNew\\X ?menu", "11 +A -B");
        // The box follows the menu entries only for the displayed set; a second add makes no duplicate.
        row("menu entries change membership",
            "New:X|X|A=1:;B=1: # select=SceneryNew\\X ?menu type=B +=2 +=2 ?sets ?checked -=2 ?checked +=1 ?sets ?checked -=1 ?sets",
            "10 +A,B - A=;B=X;(Current)=X X  A=X;B=;(Current)=X  A=;B=;(Current)=X");
        // Bit 6 belongs to no box: a store while loading would write "10" back; loading builds unfiltered.
        row("stored filter restores boxes", "New:Any,Old@1;Empty|Any||1|74 # ?filters ?node=SceneryNew\\Old", "010100 74 10 00 1");
        row("FS95 filter", "New:Any,Old@1;Empty|Any # filter=0 ?filters ?node=SceneryNew\\Old ?node=LevelEmpty", "100000 1 1 10 1 1");
        row("CFS2 filter", "New:Any,Old@1;Empty|Any # filter=5 ?filters ?node=SceneryNew\\Old ?node=SceneryNew\\Any", "000001 32 32 10 0 1");
        row("level label", "New;Europe:Paris|Paris # ?editable ?edit=LevelEurope:Asia ?node=SceneryEurope\\Paris", "0 1 Asia Asia 1");
        row("backslash in label", "New;Europe:Paris|Paris # ?edit=LevelEurope:A\\B", "1 A/B A/B");
        row("empty label refused", "New;Europe:Paris|Paris # ?edit=LevelEurope:", "1 Europe Europe");
        row("New not renamed", "New;Europe:Paris|Paris # ?edit=LevelNew:Other", "0 New New");
        row("scenery not renamed", "New;Europe:Paris|Paris # ?edit=SceneryEurope\\Paris:X", "0 Paris -");
        row("right click and press", "New:Alpha|Alpha # ?right= ?right=LevelNew ?right=SceneryNew\\Alpha ?close ?press=SceneryNew\\Alpha ?press=",
            "00 10 21 0 SceneryNew\\Alpha=Alpha -");
        row("F3 Move up, nothing selected", "|Alpha # say=- ?fkey=3:Move_up ?status", "10 -");
        row("Shift+F5 runs nothing", "|Alpha # say=- ?fkey=S5:Move_up ?status", "00 -");
        row("unknown caption", "|Alpha # say=- ?fkey=7:Make_Coffee ?status", "00 -");
        row("unbound key", "|Alpha # say=- ?fkey=12: ?status", "00 -");
        row("find without set by key", "|Alpha # say=- ?fkey=1:Find_sceneries_without_set ?status", "10 Ready.");
    }
    void scenarios()
    {
        FETCH_IO;
        const QStringList w = in.section(u" # "_s, 0, 0).split(u'|');
        const bool many = w.value(1).startsWith(u'#');
        const int sim = w.value(3).isEmpty() ? 1 : w[3].left(1).toInt();
        Fixture f;
        f.describe(w[0], many ? QString() : w.value(1), w.value(2));
        for (int i = 0; many && i < w[1].mid(1).toInt(); ++i)
            f.addCfgArea(u"Area %1"_s.arg(i));
        if (!w.value(4).isEmpty())
            f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s, w[4]);
        f.writeFiles(sim);
        if (w.value(3).endsWith(u'!')) {
            f.env.fs.deleteFile(Fixture::simFolder(sim) + u"\\Scenery.cfg"_s);
            f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG"_s, u"Lumivale"_s);
        }
        f.create();
        f.form->Form_Load();
        QCOMPARE(run(f, in.section(u" # "_s, 1)), out);
        QVERIFY(f.env.ui.allShown());
    }

    void commandAvailability()
    {
        Fixture f;
        frmScenery &form = f.describe({}, u"Alpha"_s).load();
        const auto available = [&] {
            QString out;
            for (int row : {0, 7, 15, 19, 29, 33, 36, 46})
                out += QString::number(form.isCommandAvailable(Start::Command(row)));
            return out;
        };
        QCOMPARE(available(), u"00110000"_s); // 29 to 33: no backup manager given
        form.runCommand(Start::Command::SelectSimType);
        QCOMPARE(form.status().stbStatus().panels[0], frmScenery::notAvailableText(u"Select Sim Type"_s));
        BackupManager backup(f.env.context, Fixture::simFolder(1), 1);
        form.setBackupManager(&backup);
        // An empty backup name writes nothing.
        f.env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, QString());
        QCOMPARE(available() + u' ' + run(f, u"?fkey=4:Make_Backup ?status"_s), u"00111100 10 Ready."_s);
        QVERIFY(f.env.ui.allShown() && backup.backupFiles().isEmpty());
    }

    void folderSizeInStatus_data()
    {
        io(); // in: local path|whether local|bytes in the folder (-1: no folder written)
        row("1024 kB", "C:\\Sceneries\\Alpha|1|1048576", "Alpha (1024 kB)");
        row("1 MB", "C:\\Sceneries\\Alpha|1|1048577", "Alpha (1 MB)");
        row("1.5 MB", "C:\\Sceneries\\Alpha|1|1572864", "Alpha (1.5 MB)");
        row("cut not rounded", "C:\\Sceneries\\Alpha|1|3670015", "Alpha (3.49 MB)");
        row("remote", "C:\\Sceneries\\Alpha|0|1500", "Alpha");
        row("missing folder", "C:\\Nowhere|1|-1", "Alpha");
        row("base scenery", "scenery|1|1500", "Alpha");
        row("no local path", "|1|-1", "Alpha");
    }
    void folderSizeInStatus()
    {
        FETCH_IO;
        Fixture f;
        if (const qint64 bytes = ins[2].toLongLong(); bytes >= 0) { // split: the size counts every file below
            const QString folder = ins[0].contains(u':') ? ins[0] : Fixture::simFolder(1);
            f.env.writeFile(folder + u"\\scenery\\a.bgl"_s, QByteArray(bytes / 2, 'x'));
            f.env.writeFile(folder + u"\\b.txt"_s, QByteArray(bytes - bytes / 2, 'y'));
        }
        QCOMPARE(show(f, {.title = u"Alpha"_s, .local = ins[0], .isLocal = ins[1] == u"1"_s}).status().stbStatus().panels[0], out);
    }

    void fieldDisplayForms_data()
    {
        io(); // in: Layer|SalesType|GroupID|FlySim; out: txtLayer, cboSalesType, txtGroupID, the sim boxes
        row("layer 5, no sales type", "5|0|0|0", "005 -1 0 000000");
        row("layer 1234, payware", "1234|3|5|1", "234 2 5 100000");
        row("shareware, FS2K2 and CFS2", "0|5|2|40", "000 4 2 000101");
        row("unknown values", "12|9|7|0", "012 -1 -1 000000");
    }
    void fieldDisplayForms()
    {
        FETCH_IO;
        Fixture f;
        const auto &d = show(f, {.title = u"Alpha"_s, .flySim = qint16(ins[3].toInt()), .layer = qint16(ins[0].toInt()),
                                 .salesType = qint16(ins[1].toInt()), .groupId = qint16(ins[2].toInt())}).details().fields();
        QString boxes;
        for (bool b : d.chkType)
            boxes += QString::number(b);
        QCOMPARE(u"%1 %2 %3 "_s.arg(d.txtLayer).arg(d.cboSalesType).arg(d.txtGroupID) + boxes, out);
        // Showing writes back only what the fields can hold: values they cannot show stay.
        const clsScenery &r = record(f);
        QCOMPARE(u"%1|%2|%3|%4"_s.arg(r.Layer).arg(r.SalesType).arg(r.GroupID).arg(r.FlySim), in);
    }

    void fieldsWriteBack()
    {
        Fixture f;
        f.describe(u"New"_s, u"Alpha"_s).addScenery({.title = u"Alpha"_s, .local = u"Here"_s, .flySim = 40});
        frmScenery &form = f.load();
        const clsScenery &r = record(f);
        const auto edit = [&] { // a field emptied while typing, or out of range, is no number: the last one stays
            form.txtLocal_Change(u"There"_s), form.cboSalesType_Click(1), form.txtGroupID_Click(3);
            form.optLocalRemote_Click(1), form.chkType_Click(0, true), form.chkType_Click(5, false);
            for (const QString &text : {u"123"_s, QString(), u"70000"_s})
                form.txtTexture_ID_Change(text);
            return u"%1 %2 %3 %4 %5 %6 %7"_s.arg(r.LocalPath).arg(r.Active).arg(r.SalesType).arg(r.GroupID)
                .arg(r.IsLocalPath).arg(r.FlySim).arg(r.Texture_ID);
        };
        QCOMPARE(edit(), u"Here 1 0 0 1 40 0"_s); // without a displayed scenery nothing changes
        f.select(u"SceneryNew\\Alpha"_s);
        form.trvScenery_NodeClick(f.node(u"LevelNew"_s)); // a level leaves the panel as it was
        QCOMPARE(form.details().displayedScenery()->Title + u' ' + QString::number(form.details().fields().optLocalRemote), u"Alpha 0"_s);
        QCOMPARE(edit() + u' ' + form.details().fields().txtTexture_ID, u"There 1 2 3 0 9 123 70000"_s);
    }

    // Showing an inactive scenery leaves the clear box and the colour; the box recolours.
    void activeBoxRecoloursNode()
    {
        Fixture f;
        f.describe(u"New"_s, u"On"_s).addScenery({.title = u"Off"_s, .active = false});
        f.addScenery({.title = u"On"_s});
        frmScenery &form = f.load();
        QStringList colours;
        for (const QString &key : {u"SceneryNew\\Off"_s, u"SceneryNew\\On"_s, QString()}) {
            key.isEmpty() ? form.chkActive_Click(false) : f.select(key);
            for (const QString &node : {u"SceneryNew\\Off"_s, u"SceneryNew\\On"_s})
                colours << QString::number(f.node(node)->foreColor().value_or(0), 16);
        }
        QCOMPARE(colours.join(u' ') + QString::number(record(f, u"On"_s).Active), u"ff3c3c 3c3cff ff3c3c 6464ff ff3c3c ff64640"_s);
    }

    // The Exclude and Flatten fields typed, or set by their editors; wrong text is marked but stored.
    void areaFields_data()
    {
        io(); // in: Exclude typed|Flatten 3 typed|button (-1 Exclude, else Flatten position)|the editor's button
        // Out: Exclude red, Flatten 3 red, the tab's image, then Exclude|Flatten 3|Flatten 2 afterwards
        const QString rows[][3] = {
            {u"empty"_s, u"||"_s, u"0 0 27 ||"_s},
            {u"valid exclude"_s, ExclValid + u"||"_s, u"0 0 28 "_s + ExclValid + u"||"_s},
            {u"wrong exclude"_s, u"N47 30.00,OBJECTS||"_s, u"1 0 28 N47 30.00,OBJECTS||"_s},
            {u"wrong flatten"_s, u"|100000,N1 0,E1 0|"_s, u"0 1 28 |100000,N1 0,E1 0|"_s},
            {u"exclude editor delete"_s, ExclValid + u"||-1|delete"_s, u"0 0 27 ||"_s},
            {u"exclude editor cancel"_s, ExclValid + u"||-1|cancel"_s, u"0 0 28 "_s + ExclValid + u"||"_s},
            {u"exclude editor ok"_s, ExclValid + u"||-1|ok"_s, u"0 0 28 N47 30.00,W122 15.00,N47 00.00,W121 45.00,objects||"_s},
            {u"flatten editor delete"_s, u"||2|delete"_s, u"0 0 27 ||"_s},
            {u"flatten editor ok"_s, u"||2|ok"_s, u"0 0 28 ||"_s + FlatValid},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0].toUtf8().constData()) << r[1] << r[2];
    }
    void areaFields()
    {
        FETCH_IO;
        Fixture f;
        frmScenery &form = show(f, {.title = u"Alpha"_s});
        form.txtExclude_Change(ins[0]);
        form.txtFlatten_Change(3, ins[1]);
        const auto act = [action = ins.value(3)](auto &d) {
            action == u"delete"_s ? d.cmdDelete_Click() : action == u"cancel"_s ? d.cmdCancel_Click() : d.cmdOK_Click();
        };
        if (ins.value(2) == u"-1"_s) {
            f.env.ui.expectForm<frmExclude>(u"frmExclude"_s, std::function<void(frmExclude &)>(act));
            form.cmdExclude_Click();
        } else if (!ins.value(2).isEmpty()) {
            form.txtFlatten_Change(2, FlatValid); // the editor opens on the field's text
            f.env.ui.expectForm<frmFlatten>(u"frmFlatten"_s, std::function<void(frmFlatten &)>(act));
            form.cmdFlatten_Click(2);
        }
        const DetailsPanel::Fields &d = form.details().fields();
        const QStringList fields{record(f).Exclude, record(f).Flatten(3), record(f).Flatten(2)};
        QCOMPARE(u"%1 %2 %3 "_s.arg(d.txtExcludeRed).arg(d.txtFlattenRed[3]).arg(form.details().tbsScenery().excFlatImage) + fields.join(u'|'), out);
        QVERIFY(d.txtExclude == record(f).Exclude && f.env.ui.allShown());
    }

    void picturesAndFileListShown_data()
    {
        io(); // in: the files in the base folder; out: the picture, the file list tab's image
        row("none", "x.bmp", "|27");
        row("gif first", "Scenery.bmp|Scenery.gif", "scenery.gif|27");
        row("jpg before bmp", "Scenery.bmp|Scenery.jpg", "scenery.jpg|27");
        row("bmp, file list", "Scenery.bmp|LumivaleFileList.db", "scenery.bmp|28");
    }
    void picturesAndFileListShown()
    {
        FETCH_IO;
        Fixture f;
        for (const QString &file : ins) // the local path names the "scenery" subfolder; both look in the base folder
            f.env.writeFile(u"C:\\Sceneries\\Rome\\"_s + file, "pic");
        frmScenery &form = show(f, {.title = u"Rome"_s, .local = u"C:\\Sceneries\\Rome\\Scenery"_s});
        QCOMPARE(form.details().fields().picture.section(u'\\', -1).toLower() + u'|' + QString::number(form.details().tbsScenery().fileListImage), out);
    }

    void pictureSavedInBaseFolder_data()
    {
        io(); // in: local path|whether the picture loads; out: the target ("": refused for want of a local path)
        row("scenery subfolder", "C:\\Sceneries\\Rome\\scenery|1", "C:\\Sceneries\\Rome\\Scenery.bmp");
        row("base folder", "C:\\Sceneries\\Rome\\|1", "C:\\Sceneries\\Rome\\Scenery.bmp");
        row("relative", "Addon Scenery\\Rome|1", "C:\\FS2002\\Addon Scenery\\Rome\\Scenery.bmp");
        row("cannot load", "C:\\Sceneries\\Rome|0", "C:\\Sceneries\\Rome\\Scenery.bmp");
        row("no local path", "|1", "");
    }
    void pictureSavedInBaseFolder()
    {
        FETCH_IO;
        const QString chosen = u"C:\\Pictures\\rome.jpg"_s, title = u"Select bmp/gif/jpg"_s;
        Fixture f;
        frmScenery &form = show(f, {.title = u"Rome"_s, .local = ins[0]});
        QStringList calls;
        form.details().setPictureConverter([&](const QString &from, const QString &to) { return calls << from << to, ins[1] == u"1"_s; });
        if (out.isEmpty())
            f.env.ui.expectMessage(u"Please define the local path before you set the picture."_s, u"Can not assign picture"_s,
                                   UiPort::Answer::Ok, UiPort::Icon::Information);
        else // cancelled first: nothing is converted
            f.env.ui.expectFile(std::nullopt, title).expectFile(chosen, title), form.cmdFile_Click(2);
        form.cmdFile_Click(2);
        QCOMPARE(calls.join(u'|') + u'>' + form.details().fields().picture + u'>' + QString::number(f.env.ui.allShown()),
                 out.isEmpty() ? u">>1"_s : chosen + u'|' + out + u'>' + (ins[1] == u"1"_s ? chosen : QString()) + u">1"_s);
    }

    void authorCompletion_data()
    {
        io(); // in: text typed|caret|key released; out: the text, stored as the author
        row("other case", "jo|2|79", "John Smith");
        row("second entry", "JA|2|65", "Jane Doe");
        row("follows the caret", "John Smith|2|8", "John Smith");
        row("no match cuts", "Jxyz|2|88", "Jx");
        row("arrow key", "jo|2|37", "jo");
        row("caret at start", "zed|0|36", "zed");
    }
    void authorCompletion()
    {
        FETCH_IO;
        Fixture f;
        f.describe(u"New:C"_s, u"A"_s).addScenery({.title = u"A"_s, .author = u"John Smith"_s});
        f.addScenery({.title = u"B"_s, .author = u"Jane Doe"_s});
        frmScenery &form = f.load();
        f.select(u"SceneryNew\\C"_s);
        form.txtAuthor_Change(ins[0]);
        form.txtAuthor_KeyUp(ins[2] == u"37"_s ? Qt::Key_Left : Qt::Key(ins[2].toInt()), ins[1].toInt());
        const auto &d = form.details().fields();
        QCOMPARE(u"%1|%2|%3"_s.arg(d.txtAuthor, record(f, u"C"_s).Author).arg(d.txtAuthorSelStart), out + u'|' + out + u'|' + ins[1]);
    }

    void resize_data()
    {
        io(); // in: width|height|state; out: the measures, the tree's width and height, the pages' left
        // ("|" and the stored "Form.Width", Height, Left, Top, WindowState: a normal window's)
        row("too low", "12000|6000|0", "12000x7765|-");
        row("too narrow", "9000|8000|0", "11010x8000|-");
        row("normal", "13000|9000|0", "13000x9000 6815|13000 9000 300 200 0");
        row("maximised", "13000|9000|2", "13000x9000 6815|-");
        row("minimised", "2000|500|1", "2000x500|-");
        row("design size", "11000|7755|0", "11000x7755 4815|11000 7755 300 200 0");
    }
    void resize()
    {
        FETCH_IO;
        Fixture f;
        f.writeFiles(1);
        f.create();
        f.form->layout().setPlacement({ins[0].toDouble(), ins[1].toDouble(), 300, 200, ins[2].toInt()});
        QSignalSpy placement(&f.form->layout(), &WindowLayout::placementChanged);
        const std::optional<int> layout = f.form->Form_Resize();
        QString result = u"%1x%2"_s.arg(f.form->layout().placement().width).arg(f.form->layout().placement().height);
        if (layout)
            result += u" %1"_s.arg(*layout);
        QStringList saved;
        for (const char *name : {"Width", "Height", "Left", "Top", "WindowState"})
            saved << setting(f.env, u"Form."_s + u8(name));
        QCOMPARE(result + u'|' + saved.join(u' ').remove(u" -"_s), out);
        QCOMPARE(placement.count(), int(!result.startsWith(ins[0] + u'x' + ins[1])));
    }

    void readSizeTakesNumbersOnly()
    {
        Fixture f;
        f.writeFiles(1);
        for (const QString &value : {u"Width=abc"_s, u"Height=9000.4"_s, u"Left=120"_s, u"WindowState=2"_s})
            f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, u"Form."_s + value.section(u'=', 0, 0),
                                  value.section(u'=', 1));
        f.create();
        QSignalSpy placement(&f.form->layout(), &WindowLayout::placementChanged);
        f.form->layout().ReadSize();
        const WindowLayout::Placement &p = f.form->layout().placement();
        QCOMPARE(u"%1 %2 %3 %4 %5 %6"_s.arg(p.width).arg(p.height).arg(p.left).arg(p.top).arg(p.windowState).arg(placement.count()),
                 u"%1 9000 120 0 2 1"_s.arg(WindowLayout::DesignWidth));
    }

    void freeSpaceWalksFixedDisks_data()
    {
        io(); // in: the drives, letter, "f" fixed, "n" fixed not ready, "r" removable, the free MB; out: labels on ticks
        row("A C D", "Ar10 Cf5000.999 Df42", "C: 5000 MB|D: 42 MB|C: 5000 MB");
        row("not ready fixed disk keeps the label", "Df42 En0", "D: 42 MB|D: 42 MB|D: 42 MB");
        row("no fixed disk", "Ar10", "|");
        row("no drives", "", "");
    }
    void freeSpaceWalksFixedDisks()
    {
        FETCH_IO;
        QList<DriveInfo> drives;
        for (const QString &d : in.split(u' ', Qt::SkipEmptyParts))
            drives.append({d[0], d[1] != u'r', d[1] != u'n', qint64(d.mid(2).toDouble() * 1024 * 1024)});
        Fixture f;
        f.load().status().setDriveSource([drives] { return drives; });
        QStringList shown;
        for (qsizetype i = 0; i <= out.count(u'|'); ++i)
            f.form->tmrFreeSpace_Timer(), shown << QString(f.form->status().lblFreeSpace()).remove(u"Free space on "_s);
        QCOMPARE(shown.join(u'|'), out);
    }
};

QTEST_GUILESS_MAIN(TestFrmScenery)
#include "tst_frmscenery.moc"
