// "Check library" run from the main window's logic.

#include "app/windowfixture.h"
#include "checks/frmchecklibrary.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Ready = u"Ready."_s;
constexpr qint16 FS95 = 1;
} // namespace

class TestCheckCommand : public QObject
{
    Q_OBJECT

private slots:
    // "Check library" checks the set the boxes show as edited, and the whole tree though the
    // filter hides part of it; a double click on a finding shows its scenery, or says it is hidden.
    void checkLibrary()
    {
        WindowFixture f;
        frmScenery &form = f.load(
            Library()
                .level(u"Europe"_s)
                .scenery(u"A"_s, {.flySim = FS95, .isLocalPath = true, .localPath = u"Addon Scenery\\A"_s})
                .scenery(u"B"_s, {.remotePath = u"C:\\CD\\B"_s})
                .set(u"Mine"_s, Sim::FS2002, {}));
        f.typeSet(u"Mine"_s);
        f.check(u"SceneryEurope\\A"_s, true);
        f.env.ui.expectForm<frmCheckLibrary>(u"frmCheckLibrary"_s, [&](frmCheckLibrary &dialog) {
            QCOMPARE(dialog.findings.size(), 1);
            dialog.cboScope_Click(int(dialog.cboScopeItems.indexOf(u"Mine"_s)));
            QCOMPARE(dialog.findings.size(), 1);
            QCOMPARE(dialog.findings.first().key, u"SceneryEurope\\A"_s);
            dialog.lvwFindings_DblClick(0);
            QCOMPARE(form.trvScenery().selectedItem(), f.node(u"SceneryEurope\\A"_s));
        });
        form.runCommand(Start::Command::CheckLibrary);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.statusText(), Ready);

        form.chkFilter_Click(3, true); // shows FS2K2 sceneries only: A goes
        f.env.ui.expectForm<frmCheckLibrary>(u"frmCheckLibrary"_s, [&](frmCheckLibrary &dialog) {
            QCOMPARE(dialog.findings.size(), 1);
            dialog.lvwFindings_DblClick(0);
            QCOMPARE(f.statusText(), u"The scenery is hidden by the filter."_s);
        });
        form.runCommand(Start::Command::CheckLibrary);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(!f.node(u"SceneryEurope\\A"_s));
    }
};

QTEST_GUILESS_MAIN(TestCheckCommand)
#include "tst_checkcommand.moc"
