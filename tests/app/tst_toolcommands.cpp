// The window's commands of the "&Preferences" and "&Help" menus and the path tools, run as their
// menu entries and function keys run them.

#include "windowfixture.h"

#include "app/frmsplash.h"
#include "platform/launcher.h"
#include "settings/frmhotkeys.h"
#include "tools/frmpref.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Start::Command;

namespace {

class RecordingLauncher : public Launcher
{
public:
    using Launcher::Launcher;
    bool startProgram(const QString &, const QStringList &) override { return false; }
    bool openWithDesktop(const QUrl &address) override
    {
        opened << address;
        return true;
    }
    bool programExists(const QString &) const override { return false; }
    QList<QUrl> opened;
};

// "New" holds Alps (relative, with its "Scenery" folder) and Rome (absolute, without one).
frmScenery &loadPaths(WindowFixture &f)
{
    f.env.writeFile(f.simFolder() + u"\\Addon Scenery\\Alps\\Scenery\\a.bgl"_s);
    return f.load(Library()
                      .scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Alps"_s, .remotePath = u"Alps"_s})
                      .scenery(u"Rome"_s, {.localPath = u"C:\\Rome"_s})
                      .recordOrder());
}

} // namespace

class TestToolCommands : public QObject
{
    Q_OBJECT

private slots:
    // A key bound in the hotkey dialog runs its command at once; what was bound before is gone.
    void hotkeyBindsAtOnce()
    {
        WindowFixture f;
        frmScenery &form = loadPaths(f);
        Start::FunctionKeyTable keys;
        keys[2] = u"Add Level"_s;
        form.setFunctionKeys(keys);
        f.env.ui.expectForm<frmHotkeys>(u"frmHotkeys"_s, [](frmHotkeys &dialog) {
            QCOMPARE(dialog.cboHotkey[2], int(Command::AddLevel));
            dialog.cboHotkey_Click(2, 0);
            dialog.cboHotkey_Click(4, int(Command::TestLocalPaths));
            dialog.cmdOk_Click();
        });
        form.runCommand(Command::DefineHotkey);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.statusText(), u"Ready."_s);
        QVERIFY(!form.functionKey(Qt::Key_F3, Qt::NoModifier));
        QVERIFY(form.functionKey(Qt::Key_F5, Qt::NoModifier));
        QVERIFY(f.node(u"SceneryNew\\Rome"_s)->bold());
        QVERIFY(!f.node(u"SceneryNew\\Alps"_s)->bold());
    }

    // The shown scenery's paths become absolute in the record and in the panel's fields.
    void currentToAbsolute()
    {
        WindowFixture f;
        frmScenery &form = loadPaths(f);
        f.select(u"SceneryNew\\Alps"_s);
        form.runCommand(Command::CurrentToAbsoluteSceneryPath);
        const QString alps = f.simFolder() + u"\\Addon Scenery\\Alps"_s;
        QCOMPARE(f.scenery(u"SceneryNew\\Alps"_s).LocalPath, alps);
        QCOMPARE(form.details().fields().txtLocal, alps);
        QCOMPARE(form.details().fields().txtRemote, f.simFolder() + u"\\Alps"_s);
        QCOMPARE(f.statusText(), u"Ready."_s);
    }

    // "Documentation" on a fresh installation opens the program folder's manual.
    void documentationOpensTheManual()
    {
        WindowFixture f;
        frmScenery &form = loadPaths(f);
        RecordingLauncher launcher(f.env.fs);
        form.setLauncher(&launcher);
        form.runCommand(Command::Documentation);
        QCOMPARE(launcher.opened,
                 QList<QUrl>{QUrl::fromLocalFile(f.env.host(f.env.programFolder() + u"\\Manual.htm"_s))});
        QCOMPARE(f.statusText(), u"Ready."_s);
    }

    // "Info" shows the splash with its close label as an about box; a click closes it.
    void infoShowsTheSplash()
    {
        WindowFixture f;
        frmScenery &form = loadPaths(f);
        f.env.ui.expectForm<frmSplash>(u"frmSplash"_s, [](frmSplash &about) {
            QVERIFY(about.isVisible());
            QVERIFY(about.lblCloseVisible);
            QVERIFY(about.lblBuild.startsWith(u"Build: "_s));
            about.lblClose_Click();
        });
        form.runCommand(Command::Info);
        QVERIFY(f.env.ui.allShown());
    }

    // The preferences dialog opens on the window's settings; Cancel leaves them.
    void basicFolders()
    {
        WindowFixture f;
        frmScenery &form = loadPaths(f);
        f.env.ui.expectForm<frmPref>(u"frmPref"_s, [&f](frmPref &dialog) {
            QCOMPARE(dialog.txtFS2002, f.simFolder());
            dialog.cmdCancel_Click();
        });
        form.runCommand(Command::BasicFolders);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.statusText(), u"Ready."_s);
    }
};

QTEST_GUILESS_MAIN(TestToolCommands)
#include "tst_toolcommands.moc"
