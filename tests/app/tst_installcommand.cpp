// "&Add Scenery" from the main window: the dialog, the progress window and the new scenery in the
// tree under "New".

#include "airports/frmairportdir.h"
#include "install/frmaddscenery.h"
#include "install/frminstallprogress.h"
#include "windowfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Src = u"C:\\Download\\Alps"_s;
}

class tst_InstallCommand : public QObject
{
    Q_OBJECT

private slots:
    void installsIntoNew();
    void cancelledDialogMakesNothing();
    void cancelInProgressLeavesNoRecord();
    void airportButtonGivesTheTitle();
};

// The source folder's three scenery files, and the dialog filled for installing them.
static void fillDialog(WindowFixture &w, const QString &title)
{
    for (const QString &name : {u"A.BGL"_s, u"B.BGL"_s, u"C.BGL"_s})
        w.env.writeFile(Src + u'\\' + name, "bgl");
    w.env.ui.expectForm<frmAddScenery>(u"frmAddScenery"_s, [title](frmAddScenery &d) {
        d.txtTitle = title;
        d.optWay_Click(1);
        d.txtSourcePath = Src;
        d.txtDestPath = WindowFixture::simFolder(Sim::FS2002) + u"\\Addon\\Alps"_s;
        d.cmdOK_Click();
    });
}

void tst_InstallCommand::installsIntoNew()
{
    WindowFixture w;
    frmScenery &form = w.load(Library().level(u"Europe"_s).scenery(u"Rome"_s));
    fillDialog(w, u"Alps"_s);
    w.env.ui.expectForm<frmInstallProgress>(u"frmInstallProgress"_s, [](frmInstallProgress &p) { p.run(); });

    form.runCommand(Start::Command::AddScenery);

    QVERIFY(w.env.ui.allShown());
    QCOMPARE(w.childTitles(u"LevelNew"_s), QStringList{u"Alps"_s});
    QCOMPARE(w.scenery(u"SceneryNew\\Alps"_s).LocalPath, u"Addon\\Alps\\"_s);
    QVERIFY(w.env.fs.fileExists(w.simFolder() + u"\\Addon\\Alps\\Scenery\\C.BGL"_s));
    QCOMPARE(form.details().displayedScenery()->Title, u"Alps"_s);
    QCOMPARE(w.statusText(), u"Ready."_s);
}

void tst_InstallCommand::cancelledDialogMakesNothing()
{
    WindowFixture w;
    frmScenery &form = w.load(Library().scenery(u"Rome"_s));
    w.select(u"SceneryNew\\Rome"_s);
    w.env.ui.expectForm<frmAddScenery>(u"frmAddScenery"_s, [](frmAddScenery &d) { d.cmdCancel_Click(); });

    form.runCommand(Start::Command::AddScenery);

    QCOMPARE(w.manager->colScenery.count(), 1);
    QVERIFY(!form.details().displayedScenery());
    QCOMPARE(w.statusText(), u"Ready."_s);
}

void tst_InstallCommand::cancelInProgressLeavesNoRecord()
{
    WindowFixture w;
    frmScenery &form = w.load(Library().scenery(u"Rome"_s));
    fillDialog(w, u"Alps"_s);
    w.env.ui.expectForm<frmInstallProgress>(u"frmInstallProgress"_s, [](frmInstallProgress &p) {
        // The user clicks Cancel while the second file is being placed.
        p.changed = [&p] {
            if (p.filesDone == 2 && !p.cancelRequested())
                p.cmdCancel_Click();
        };
        p.run();
    });

    form.runCommand(Start::Command::AddScenery);

    QVERIFY(w.env.ui.allShown());
    QCOMPARE(w.manager->colScenery.count(), 1);
    QVERIFY(!w.node(u"SceneryNew\\Alps"_s));
    QVERIFY(w.env.fs.fileExists(w.simFolder() + u"\\Addon\\Alps\\Scenery\\B.BGL"_s));
    QVERIFY(!w.env.fs.fileExists(w.simFolder() + u"\\Addon\\Alps\\Scenery\\C.BGL"_s));
}

QTEST_GUILESS_MAIN(tst_InstallCommand)
#include "tst_installcommand.moc"

// The dialog's airport button opens the airport directory; the airport taken becomes the title.
void tst_InstallCommand::airportButtonGivesTheTitle()
{
    WindowFixture w;
    frmScenery &form = w.load(Library().scenery(u"Rome"_s));
    const QString folder = w.env.programFolder() + u"\\AirportDirectory\\"_s;
    w.env.writeFile(folder + u"AD_World.txt"_s, windowsText({u"Europe"_s}));
    w.env.writeFile(folder + u"AD_Europe.txt"_s, windowsText({u"Germany"_s}));
    w.env.writeFile(folder + u"AD_Germany.txt"_s, windowsText({u"Hesse"_s}));
    w.env.writeFile(folder + u"Hesse.txt"_s, windowsText({u"EDDF Frankfurt Main"_s}));
    QString title;
    bool enabled = false;
    w.env.ui.expectForm<frmAddScenery>(u"frmAddScenery"_s, [&](frmAddScenery &d) {
        enabled = d.cmdAirportEnabled();
        d.cmdAirport_Click();
        title = d.txtTitle;
        d.cmdCancel_Click();
    });
    w.env.ui.expectForm<frmAirportDir>(u"frmAirportDir"_s, [](frmAirportDir &dialog) {
        dialog.lstAirport_Click(0);
        dialog.cmdOk_Click();
    });

    form.runCommand(Start::Command::AddScenery);

    QVERIFY(w.env.ui.allShown());
    QVERIFY(enabled);
    QCOMPARE(title, u"EDDF Frankfurt Main"_s);
}
