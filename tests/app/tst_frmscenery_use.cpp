#include "tst_frmscenery_fixture.h"

#include <QTest>

using Fixture = MainWindowFixture;

namespace {
const QString AlphaKey = u"SceneryNew\\Alpha"_s;
const QString BravoKey = u"SceneryNew\\Bravo"_s;
const QString CharlieKey = u"SceneryNew\\Charlie"_s;

// "New" holds Alpha, Bravo and Charlie; the simulator's Scenery.cfg lists Alpha and Bravo, so
// "(Current)" holds those two; the set "Mine" of the simulator is empty.
frmScenery &loadThree(Fixture &f)
{
    f.addLevel(u"LevelNew"_s, u"New"_s);
    f.addScenery(u"Alpha"_s);
    f.addScenery(u"Bravo"_s);
    f.addScenery(u"Charlie"_s);
    f.addCfgArea(u"Alpha"_s);
    f.addCfgArea(u"Bravo"_s);
    f.addSet(u"Mine"_s, 1, {});
    return f.load();
}
} // namespace

// The main window's logic as a user drives it: the choosers it opens, the node it acts on and the
// counts it shows after each command.
class TestFrmSceneryUse : public QObject
{
    Q_OBJECT

private slots:
    // The "..." buttons beside Local and Remote open a folder chooser in the field's folder; the
    // field takes the chosen folder with its closing "\".
    void folderButtons_data()
    {
        QTest::addColumn<int>("button"); // 0 Local, 1 Remote
        QTest::addColumn<QString>("storedLocal");
        QTest::addColumn<QString>("chosen"); // empty: cancelled
        QTest::addColumn<QString>("startFolder");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("remote");
        QTest::newRow("local") << 0 << u"C:\\Old"_s << u"D:\\New\\Place"_s << u"C:\\Old"_s
                               << u"D:\\New\\Place\\"_s << QString();
        QTest::newRow("relative local starts below the simulator")
            << 0 << u"Addon Scenery\\Alps"_s << u"C:\\Alps"_s << u"C:\\FS2002\\Addon Scenery\\Alps"_s
            << u"C:\\Alps\\"_s << QString();
        QTest::newRow("empty remote starts in the simulator folder")
            << 1 << u"C:\\Old"_s << u"E:\\Cd"_s << u"C:\\FS2002"_s << u"C:\\Old"_s << u"E:\\Cd\\"_s;
        QTest::newRow("drive root keeps its one backslash")
            << 0 << u"C:\\Old"_s << u"E:\\"_s << u"C:\\Old"_s << u"E:\\"_s << QString();
        QTest::newRow("cancelled") << 0 << u"C:\\Old"_s << QString() << u"C:\\Old"_s << u"C:\\Old"_s
                                   << QString();
    }
    void folderButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, storedLocal);
        QFETCH(QString, chosen);
        QFETCH(QString, startFolder);
        QFETCH(QString, local);
        QFETCH(QString, remote);
        Fixture f;
        f.addLevel(u"LevelNew"_s, u"New"_s);
        f.addScenery({.title = u"Alpha"_s, .local = storedLocal});
        frmScenery &form = f.load();
        f.select(AlphaKey);
        f.env.ui.expectFolder(chosen.isEmpty() ? std::nullopt : std::optional(chosen), u"Select folder"_s);
        form.cmdFile_Click(button);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.ui.shown().last(), u"folder|Select folder|"_s + startFolder);
        const SceneryPtr alpha = f.manager->colScenery.item(AlphaKey);
        QCOMPARE(alpha->LocalPath, local);
        QCOMPARE(alpha->RemotePath, remote);
        QCOMPARE(form.details().fields().txtLocal, local);
        QCOMPARE(form.details().fields().txtRemote, remote);
    }

    // A press on a node makes it the selected node as well as the shown one, also when it lands on
    // the node's check box: Remove then asks about the scenery the panel shows.
    void pressedNodeIsTheSelectedOne()
    {
        Fixture f;
        frmScenery &form = loadThree(f);
        f.select(AlphaKey);
        form.trvScenery_MouseDown(f.node(CharlieKey));
        f.node(CharlieKey)->setChecked(true);
        form.trvScenery_NodeCheck(f.node(CharlieKey));
        QCOMPARE(form.trvScenery().selectedItem()->key(), CharlieKey);
        QCOMPARE(form.details().displayedScenery()->Title, u"Charlie"_s);
        f.env.ui.expectMessage(u"Do you want to remove scenery Charlie?"_s, u"Remove Scenery"_s,
                               UiPort::Answer::No);
        form.runCommand(Start::commandByCaption(u"Remove Scenery"_s));
        QVERIFY(f.env.ui.allShown());
    }

    void countsAfterAddingALevel()
    {
        Fixture f;
        frmScenery &form = loadThree(f);
        QCOMPARE(form.status().stbStatus().panels[1], u"Level: 1"_s);
        f.env.ui.expectInput(u"Enter name for the new level:"_s, u"New Level"_s, u"Europe"_s);
        form.runCommand(Start::commandByCaption(u"Add Level"_s));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.status().stbStatus().panels[1], u"Level: 2"_s);
    }

    // The removed scenery leaves the library and, with its check box, the displayed set.
    void countsAfterRemovingAScenery()
    {
        Fixture f;
        frmScenery &form = loadThree(f);
        f.select(AlphaKey);
        f.env.ui.expectMessage(u"Do you want to remove scenery Alpha?"_s, u"Remove Scenery"_s,
                               UiPort::Answer::Yes);
        form.runCommand(Start::commandByCaption(u"Remove Scenery"_s));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.status().stbStatus().panels[2], u"Sceneries: 2"_s);
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 1 / 2"_s);
        QCOMPARE(f.members(u"(Current)"_s), QStringList{u"Bravo"_s});
    }

    void countsAfterCopyingCurrent()
    {
        Fixture f;
        frmScenery &form = loadThree(f);
        f.typeSet(u"Mine"_s);
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 0 / 3"_s);
        form.runCommand(Start::commandByCaption(u"Copy Current to Displayed Set"_s));
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 2 / 3"_s);
    }

    // "Add to Set..." and "Remove from Set..." on the displayed set change what it holds at once.
    void countsAfterTheSetMenuEntries()
    {
        Fixture f;
        frmScenery &form = loadThree(f);
        f.typeSet(u"Mine"_s);
        f.select(CharlieKey);
        const int mine = int(f.manager->dicCFGs.keys().indexOf(u"Mine"_s)) + 1;
        form.sets().fillSetMenu();
        form.mnuSets_Click(mine);
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 1 / 3"_s);
        form.sets().fillSetMenu();
        form.mnuInSets_Click(mine);
        QCOMPARE(form.status().stbStatus().panels[3], u"Sceneries in Set: 0 / 3"_s);
    }
};

QTEST_GUILESS_MAIN(TestFrmSceneryUse)
#include "tst_frmscenery_use.moc"
