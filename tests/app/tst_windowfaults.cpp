// Damaged files and failing disks met by the main window: the user is told, the file named; the
// window stays usable; and nothing the user has is written over or lost.

#include "app/organiser.h"
#include "app/windowlayout.h"
#include "platform/filefaults.h"
#include "settings/frmhotkeys.h"
#include "settings/programsettings.h"
#include "tools/frmpref.h"
#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;
using Command = Start::Command;

namespace {

const QString SaveQuestion = u"Do you want to save the changes to the database?"_s;
const QString UpdateDatabase = u"Update Database"_s;

// What is wrong with a file when the window opens.
enum class Damage {
    Garbage,    // 64 KiB of bytes of every value
    Folder,     // a folder in its place
    Unreadable, // reading it fails (through the file-fault seam: the tests run as root)
};

// Where the window stores a setting.
enum class Place { Preferences, Hotkeys, FilterBox, Resizing };

Library library()
{
    return Library()
        .level(u"Europe"_s)
        .scenery(u"Alps"_s)
        .scenery(u"Paris"_s)
        .set(u"Mine"_s, Sim::FS2002, {u"Alps"_s});
}

// Whether one of the messages shown holds the text.
bool messageShown(const ScriptedUi &ui, const QString &text)
{
    for (const QString &shown : ui.shown()) {
        if (shown.startsWith(u"message|"_s) && shown.contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString shownLines(const ScriptedUi &ui)
{
    return ui.shown().join(u"\n"_s);
}

} // namespace

Q_DECLARE_METATYPE(Damage)
Q_DECLARE_METATYPE(Place)

class TestWindowFaults : public QObject
{
    Q_OBJECT

private slots:
    // The window opens on a damaged library file or Scenery.cfg, says what it met, and closing
    // with "save" does not put what could be read in the place of the damaged file.
    void damagedFileAtOpening_data()
    {
        QTest::addColumn<QString>("file"); // in the program folder, else in the simulator's
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("message"); // a part of a message shown

        QTest::newRow("library file of binary garbage")
            << u"Lumivale.db5"_s << Damage::Garbage << u"outside any <Scenery> block"_s;
        QTest::newRow("library file a folder") << u"Lumivale.db5"_s << Damage::Folder << u"Lumivale.db5"_s;
        QTest::newRow("library file unreadable")
            << u"Lumivale.db5"_s << Damage::Unreadable << u"Lumivale.db5"_s;
        QTest::newRow("set file unreadable") << u"CFGSet.db"_s << Damage::Unreadable << u"CFGSet.db"_s;
        QTest::newRow("Scenery.cfg of binary garbage")
            << u"Scenery.cfg"_s << Damage::Garbage << u"neither a section nor a value"_s;
        QTest::newRow("Scenery.cfg a folder") << u"Scenery.cfg"_s << Damage::Folder << u"Scenery.cfg"_s;
        QTest::newRow("Scenery.cfg unreadable") << u"Scenery.cfg"_s << Damage::Unreadable << u"Scenery.cfg"_s;
    }

    void damagedFileAtOpening()
    {
        QFETCH(QString, file);
        QFETCH(Damage, damage);
        QFETCH(QString, message);
        WindowFixture f;
        f.write(library(), library());
        const bool libraryFile = file != u"Scenery.cfg"_s;
        const QString path = (libraryFile ? f.env.programFolder() : f.simFolder()) + u'\\' + file;
        const QString host = f.env.host(path);
        if (damage == Damage::Garbage)
            f.env.writeFile(path, patterned(65536));
        if (damage == Damage::Folder) {
            QVERIFY(QFile::remove(host));
            QVERIFY(QDir().mkpath(host));
        }
        const QByteArray before = damage == Damage::Folder ? QByteArray() : f.env.readFile(path);

        FileFaultPlan faults;
        if (damage == Damage::Unreadable)
            faults.failFrom(FileStep::Read, 1, file);
        frmScenery &form = f.create();
        // Yes to saving at the end; every other question is answered No.
        f.env.ui.expectMessage(SaveQuestion, UpdateDatabase, Answer::Yes).standing();
        form.Form_Load();
        QVERIFY2(messageShown(f.env.ui, message), qPrintable(shownLines(f.env.ui)));
        // Still usable: the tree holds the sceneries that could be read, a command runs.
        QVERIFY2(f.childTitles(QString()).contains(u"Europe"_s),
                 qPrintable(f.childTitles(QString()).join(u", "_s)));
        form.runCommand(Command::SortLevelAscending);

        QSignalSpy unloaded(&form, &frmScenery::unloaded);
        QVERIFY(form.Form_Unload());
        QCOMPARE(unloaded.count(), 1);
        if (damage == Damage::Folder)
            QVERIFY2(QFileInfo(host).isDir(), "the folder was replaced");
        else
            QVERIFY2(f.env.readFile(path) == before, "the damaged file was written over");
    }

    // Saving at close fails: the user may keep the window, with every change, and save again
    // once the disk has room; or close and lose the changes, knowing it.
    void closingWhenTheSaveFails_data()
    {
        QTest::addColumn<Answer>("closeAnyway");
        QTest::newRow("the window is kept") << Answer::No;
        QTest::newRow("closed all the same") << Answer::Yes;
    }

    void closingWhenTheSaveFails()
    {
        QFETCH(Answer, closeAnyway);
        WindowFixture f;
        frmScenery &form = f.load(library());
        const QString sets = f.env.programFolder() + u"\\CFGSet.db"_s;
        const QByteArray before = f.env.readFile(sets);
        f.typeSet(u"Mine"_s);
        f.check(u"SceneryEurope\\Paris"_s, true);
        const QStringList ticked = f.tickedTitles();
        QSignalSpy unloaded(&form, &frmScenery::unloaded);
        {
            FileFaultPlan faults;
            faults.failFrom(FileStep::Write, 1, u"CFGSet.db"_s);
            f.env.ui.expectMessage(SaveQuestion, UpdateDatabase, Answer::Yes)
                .expectMessageStartingWith(u"SceneryManager.saveDB\nError: 61\n"_s, u"Lumivale"_s)
                .expectMessage(u"The library could not be saved, so the changes made since it was opened are "
                               "only in this window. Close anyway and lose them?"_s,
                               UpdateDatabase, closeAnyway, UiPort::Icon::Exclamation);
            QCOMPARE(form.Form_Unload(), closeAnyway == Answer::Yes);
            QVERIFY(f.env.ui.allShown());
        }
        QCOMPARE(f.env.readFile(sets), before);
        if (closeAnyway == Answer::Yes) {
            QCOMPARE(unloaded.count(), 1);
            return;
        }
        QCOMPARE(unloaded.count(), 0);
        QCOMPARE(f.tickedTitles(), ticked);
        f.env.ui.expectMessage(SaveQuestion, UpdateDatabase, Answer::Yes);
        QVERIFY(form.Form_Unload());
        QCOMPARE(f.members(u"Mine"_s), (QStringList{u"Alps"_s, u"Paris"_s}));
        QVERIFY(f.env.readFile(sets).contains("Paris"));
    }

    // Every place the window stores a setting, with the settings file unwritable: a message names
    // the file, a dialog stays open with what was chosen, and the file is as it was.
    void settingsFileUnwritable_data()
    {
        QTest::addColumn<Place>("place");
        QTest::newRow("Preferences, OK") << Place::Preferences;
        QTest::newRow("Hotkeys, OK") << Place::Hotkeys;
        QTest::newRow("a filter box") << Place::FilterBox;
        QTest::newRow("the window resized three times") << Place::Resizing;
    }

    void settingsFileUnwritable()
    {
        QFETCH(Place, place);
        WindowFixture f;
        frmScenery &form = f.load(library());
        const QString ini = f.env.programFolder() + u"\\Lumivale.ini"_s;
        ProgramSettings(*f.env.settings, f.env.programFolder()).setValue(u"Browser"_s, u"b"_s);
        const QByteArray before = f.env.readFile(ini);
        FileFaultPlan faults;
        faults.failFrom(FileStep::Commit, 1, u"Lumivale.ini"_s);
        f.env.ui.standing();

        switch (place) {
        case Place::Preferences:
            f.env.ui.expectForm<frmPref>(u"frmPref"_s, [](frmPref &dialog) {
                dialog.txtBRP = u"D:\\Backups"_s;
                dialog.cmdOk_Click();
                QVERIFY(dialog.visible);
                QCOMPARE(dialog.txtBRP, u"D:\\Backups"_s);
                dialog.cmdCancel_Click();
            });
            form.runCommand(Command::BasicFolders);
            break;
        case Place::Hotkeys:
            f.env.ui.expectForm<frmHotkeys>(u"frmHotkeys"_s, [](frmHotkeys &dialog) {
                dialog.cboHotkey_Click(0, int(Command::Search));
                dialog.cmdOk_Click();
                QVERIFY(dialog.visible);
                dialog.cmdCancel_Click();
            });
            form.runCommand(Command::DefineHotkey);
            QCOMPARE(form.functionKeys()[0], QString());
            break;
        case Place::FilterBox:
            form.organiser().chkFilter_Click(0, !form.organiser().chkFilter()[0]);
            break;
        case Place::Resizing:
            for (double width : {12000.0, 13000.0, 14000.0}) {
                WindowLayout::Placement placement = form.layout().placement();
                placement.width = width;
                form.layout().setPlacement(placement);
                form.layout().Form_Resize();
            }
            break;
        }

        // Said once, also where the value is stored again and again.
        QCOMPARE(f.env.ui.shown().filter(u"Lumivale.ini"_s).size(), 1);
        QCOMPARE(f.env.readFile(ini), before);
        QVERIFY(faults.struck());
    }
};

QTEST_GUILESS_MAIN(TestWindowFaults)
#include "tst_windowfaults.moc"
