// The preferences dialog, the web links, the cache manager and the scenery path tools, each on
// an isolated installation with the scripted UI playing the user.

#include "library/scenerymanager.h"
#include "platform/bundledfiles.h"
#include "platform/launcher.h"
#include "settings/programsettings.h"
#include "sims/location.h"
#include "support/librarybuilder.h"
#include "tools/frmcache.h"
#include "tools/frmpref.h"
#include "tools/pathtools.h"
#include "tools/weblinks.h"
#include "tree/tree.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using Icon = UiPort::Icon;

namespace {

const QString Key = ProgramSettings::Key;
constexpr auto Machine = SettingsStore::Root::Machine;

// Records what would have been started; the browser exists when it is named in `existing`.
class RecordingLauncher : public Launcher
{
public:
    using Launcher::Launcher;
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        started << program + u" | "_s + arguments.join(u" | "_s);
        return programStarts;
    }
    bool openWithDesktop(const QUrl &address) override
    {
        opened << address;
        return desktopOpens;
    }
    bool programExists(const QString &program) const override { return existing.contains(program); }

    QStringList existing;
    bool programStarts = true;
    bool desktopOpens = true;
    QStringList started;
    QList<QUrl> opened;
};

QString simKeyValue(TestEnv &env, int sim)
{
    return env.settings->read(Machine, Location::installationKey(sim), frmPref::simulatorValueName(sim));
}

} // namespace

class TstTools : public QObject
{
    Q_OBJECT

private slots:
    // ---- Preferences -------------------------------------------------------------------------

    // Nothing stored: the default backup roots (made at once), the Windows folder's browser, the
    // program folder's manual and the built-in addresses; a simulator without its value has an
    // empty, disabled field.
    void preferencesOpenWithDefaults()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002\\"_s}});
        ProgramSettings settings(*env.settings, env.programFolder(), u"C:\\windows"_s);
        frmPref dialog(env.context, settings);
        dialog.Form_Load();
        QCOMPARE(dialog.txtBRP, env.programFolder() + u"\\EnvBackups\\"_s);
        QCOMPARE(dialog.txtTBRP, env.programFolder() + u"\\TextureBackups\\"_s);
        QVERIFY(env.fs.folderExists(dialog.txtBRP));
        QVERIFY(env.fs.folderExists(dialog.txtTBRP));
        QCOMPARE(dialog.txtBrowser, u"C:\\windows\\explorer.exe"_s);
        QCOMPARE(dialog.txtDoc, env.programFolder() + u"\\Manual.htm"_s);
        QCOMPARE(dialog.txtHomePage, ProgramSettings::DefaultHomepage);
        QCOMPARE(dialog.txtForum, ProgramSettings::DefaultForum);
        QCOMPARE(dialog.txtFS2002, u"C:\\FS2002\\"_s);
        QVERIFY(dialog.simulatorFieldEnabled(1));
        QCOMPARE(dialog.txtFS2000, QString());
        QVERIFY(!dialog.simulatorFieldEnabled(0));
        QVERIFY(!dialog.simulatorFieldEnabled(2));
    }

    // OK writes each field that is not empty, the simulators' folders into their own keys; an
    // emptied field keeps what is stored, and a simulator not installed stays unwritten.
    void preferencesOkWritesFilledFields()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setValue(u"Forum"_s, u"https://forum.example.org/"_s);
        frmPref dialog(env.context, settings);
        dialog.Form_Load();
        dialog.txtForum.clear();
        dialog.txtFS2002 = u"E:\\Games\\FS2002\\"_s;
        dialog.txtBrowser = u"/usr/bin/firefox"_s;
        dialog.cmdOk_Click();
        QVERIFY(!dialog.visible);
        QCOMPARE(settings.value(u"Forum"_s), u"https://forum.example.org/"_s);
        QCOMPARE(settings.value(u"Browser"_s), u"/usr/bin/firefox"_s);
        QCOMPARE(settings.value(u"BackupPath"_s), env.programFolder() + u"\\EnvBackups\\"_s);
        QCOMPARE(settings.value(u"Homepage"_s), ProgramSettings::DefaultHomepage);
        QCOMPARE(simKeyValue(env, 1), u"E:\\Games\\FS2002\\"_s);
        bool exists = true;
        env.settings->read(Machine, Location::installationKey(0), u"Path"_s, {}, &exists);
        QVERIFY(!exists);
        env.settings->read(Machine, Location::installationKey(2), u"EXE Path"_s, {}, &exists);
        QVERIFY(!exists);
    }

    void preferencesCancelWritesNothing()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        ProgramSettings settings(*env.settings, env.programFolder());
        frmPref dialog(env.context, settings);
        dialog.Form_Load();
        dialog.txtHomePage = u"https://elsewhere.example.org/"_s;
        dialog.cmdCancel_Click();
        QVERIFY(!dialog.visible);
        QVERIFY(!settings.contains(u"Homepage"_s));
        QVERIFY(!settings.contains(u"BackupPath"_s));
    }

    // The simulator chooser gives the field the chosen program's folder; the bare program name,
    // an empty name and a cancel change nothing. A simulator not installed gets its folder so,
    // and OK then writes it.
    void simulatorChooser_data()
    {
        QTest::addColumn<std::optional<QString>>("chosen");
        QTest::addColumn<QString>("field");
        QTest::newRow("a program file")
            << std::optional(u"C:\\Games\\FS2000\\FS2000.exe"_s) << u"C:\\Games\\FS2000\\"_s;
        QTest::newRow("the bare program name") << std::optional(u"FS2000.exe"_s) << QString();
        QTest::newRow("an empty name") << std::optional(QString()) << QString();
        QTest::newRow("cancelled") << std::optional<QString>() << QString();
    }

    void simulatorChooser()
    {
        QFETCH(std::optional<QString>, chosen);
        QFETCH(QString, field);
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        ProgramSettings settings(*env.settings, env.programFolder());
        frmPref dialog(env.context, settings);
        dialog.Form_Load();
        env.ui.expectFile(chosen, u"Change the FS2000 installation path."_s);
        dialog.cmdFS2000Root_Click();
        QVERIFY(env.ui.allShown());
        QCOMPARE(dialog.txtFS2000, field);
        dialog.cmdOk_Click();
        bool exists = false;
        const QString stored =
            env.settings->read(Machine, Location::installationKey(0), u"Path"_s, {}, &exists);
        QCOMPARE(exists, !field.isEmpty());
        QCOMPARE(stored, field);
    }

    // The folder choosers give the chosen folder ending in "\"; the browser and documentation
    // choosers the whole file name; a cancel leaves each field.
    void otherChoosers()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        ProgramSettings settings(*env.settings, env.programFolder());
        frmPref dialog(env.context, settings);
        dialog.Form_Load();
        const QString texture = dialog.txtTBRP;
        env.ui.expectFolder(u"D:\\Backups"_s, u"Select folder"_s)
            .expectFolder(std::nullopt, u"Select folder"_s)
            .expectFile(u"C:\\Browsers\\web.exe"_s, u"Select Browser"_s)
            .expectFile(std::nullopt, u"Select start html file"_s);
        dialog.cmdSelectBackupPath_Click();
        dialog.cmdTextureRoot_Click();
        dialog.cmdSelectBrowser_Click();
        dialog.cmdDoc_Click();
        QVERIFY(env.ui.allShown());
        QCOMPARE(dialog.txtBRP, u"D:\\Backups\\"_s);
        QCOMPARE(dialog.txtTBRP, texture);
        QCOMPARE(dialog.txtBrowser, u"C:\\Browsers\\web.exe"_s);
        QCOMPARE(dialog.txtDoc, env.programFolder() + u"\\Manual.htm"_s);
    }

    // ---- Web links ---------------------------------------------------------------------------

    // A browser this system can start gets the target as its one argument: a web address as it
    // is, the manual as the host file (a program of this system cannot read a Windows path).
    void browserThatExists_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("stored");
        QTest::newRow("homepage") << int(WebLinks::Link::Homepage) << u"https://home.example.org/"_s;
        QTest::newRow("documentation") << int(WebLinks::Link::Documentation) << QString();
    }

    void browserThatExists()
    {
        QFETCH(int, link);
        QFETCH(QString, stored);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setValue(u"Browser"_s, u"/usr/bin/web"_s);
        settings.setValue(u"Homepage"_s, stored);
        env.writeFile(env.programFolder() + u"\\Manual.htm"_s, "<html></html>");
        RecordingLauncher launcher(env.fs);
        launcher.existing << u"/usr/bin/web"_s;
        const Outcome outcome = WebLinks::open(env.context, settings, launcher, WebLinks::Link(link));
        QVERIFY(outcome.isDone());
        const QString argument =
            stored.isEmpty() ? env.host(env.programFolder() + u"\\Manual.htm"_s) : stored;
        QCOMPARE(launcher.started, QStringList{u"/usr/bin/web | "_s + argument});
        QVERIFY(launcher.opened.isEmpty());
    }

    // The Windows default browser under Linux, an empty setting, or a browser that does not
    // start: the desktop opens the target, a file as its host file.
    void desktopOpens_data()
    {
        QTest::addColumn<QString>("browser");
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<int>("startsTried");
        QTest::newRow("the default explorer.exe, not there") << QString() << true << 0;
        QTest::newRow("a program that does not start") << u"/usr/bin/web"_s << false << 1;
    }

    void desktopOpens()
    {
        QFETCH(QString, browser);
        QFETCH(bool, browserStarts);
        QFETCH(int, startsTried);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setValue(u"Browser"_s, browser);
        RecordingLauncher launcher(env.fs);
        launcher.existing << u"/usr/bin/web"_s;
        launcher.programStarts = browserStarts;
        QVERIFY(WebLinks::open(env.context, settings, launcher, WebLinks::Link::Documentation).isDone());
        QCOMPARE(launcher.started.size(), startsTried);
        QCOMPARE(launcher.opened,
                 QList<QUrl>{QUrl::fromLocalFile(env.host(env.programFolder() + u"\\Manual.htm"_s))});
    }

    // Neither the browser nor the desktop: the user is told, and the outcome names the failure.
    void nothingOpens()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        RecordingLauncher launcher(env.fs);
        launcher.desktopOpens = false;
        env.ui.expectMessageStartingWith(u"Could not open \"%1\""_s.arg(ProgramSettings::DefaultForum),
                                         u"Open address"_s);
        const Outcome outcome = WebLinks::open(env.context, settings, launcher, WebLinks::Link::Forum);
        QVERIFY(env.ui.allShown());
        QVERIFY(outcome.isFailed());
        QCOMPARE(launcher.opened, QList<QUrl>{QUrl(ProgramSettings::DefaultForum)});
    }

    // The plain launcher finds programs as this system runs them.
    void programExists()
    {
        TestEnv env;
        Launcher launcher(env.fs);
        env.writeFile(u"C:\\windows\\explorer.exe"_s, "MZ");
        QVERIFY(!launcher.programExists(u"C:\\windows\\explorer.exe"_s)); // a file that cannot be run
        QVERIFY(launcher.programExists(u"sh"_s));
        QVERIFY(!launcher.programExists(QString()));
        QFile script(env.host(u"C:\\windows\\explorer.exe"_s));
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        QVERIFY(launcher.programExists(u"C:\\windows\\explorer.exe"_s));
    }

    // A fresh program folder gets the manual the "Documentation" setting names by default, with
    // every picture it shows and every section it lists.
    void manualIsShippedWhole()
    {
        TestEnv env;
        BundledFiles::installMissing(env.homeHost());
        ProgramSettings settings(*env.settings, env.programFolder());
        const QString manual = settings.documentation();
        QVERIFY2(env.fs.fileExists(manual), qPrintable(manual));
        const QString html = QString::fromLatin1(env.fs.readAll(manual));
        static const QRegularExpression picture(u"<img src=\"([^\"]+)\""_s);
        int pictures = 0;
        for (const QRegularExpressionMatch &m : picture.globalMatch(html)) {
            const QString file = env.programFolder() + u'\\' + m.captured(1).replace(u'/', u'\\');
            QVERIFY2(env.fs.fileExists(file), qPrintable(file));
            ++pictures;
        }
        QVERIFY(pictures >= 4);
        static const QRegularExpression link(u"<a href=\"#([a-z]+)\""_s);
        for (const QRegularExpressionMatch &m : link.globalMatch(html))
            QVERIFY2(html.contains(u"id=\""_s + m.captured(1) + u'"'), qPrintable(m.captured(1)));
    }

    // ---- Cache manager -----------------------------------------------------------------------

    // A file numbered from 1, with a gap, in another order: each position shows the next entry
    // by number, so every entry can be reached, and the buttons stop at either end; every edit
    // goes into the entry shown at once, an emptied title included.
    void cacheStepsThroughTheEntries()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        SceneryManager manager(env.context);
        Library()
            .cache(u"[Cache.005]"_s, {5, u"Far"_s, u"far"_s, u"\\\\srv\\far"_s, true})
            .cache(u"[Cache.001]"_s, {1, u"Default"_s, u"texture"_s, QString(), false})
            .buildInto(manager);
        frmCache dialog(manager);
        dialog.Form_Load();
        QCOMPARE(dialog.txtTitle, u"Default"_s);
        QCOMPARE(dialog.txtLayer, u"001"_s);
        QVERIFY(!dialog.chkActive);
        QVERIFY(!dialog.cmdDownEnabled);
        QVERIFY(dialog.cmdUpEnabled);
        dialog.cmdUp_Click();
        dialog.cmdUp_Click(); // past the last entry: stays on it
        QCOMPARE(dialog.position, 2);
        QCOMPARE(dialog.txtTitle, u"Far"_s);
        QCOMPARE(dialog.txtLayer, u"005"_s);
        QCOMPARE(dialog.txtRemote, u"\\\\srv\\far"_s);
        QVERIFY(dialog.chkActive);
        QVERIFY(!dialog.cmdUpEnabled);
        QVERIFY(dialog.cmdDownEnabled);
        dialog.txtTitle_Change(QString());
        dialog.txtRemote_Change(u"D:\\tex"_s);
        const clsCache &far = *manager.colCache.item(u"[Cache.005]"_s);
        QCOMPARE(far.strTitle, QString());
        QCOMPARE(far.strRemote, u"D:\\tex"_s);
        dialog.cmdDown_Click();
        QCOMPARE(dialog.txtTitle, u"Default"_s);
    }

    // Only Flight Simulator 2002 has cache entries; a library without any says so too.
    void cacheCommand_data()
    {
        QTest::addColumn<Sim>("sim");
        QTest::addColumn<bool>("withEntries");
        QTest::addColumn<QString>("message"); // "" the dialog opens
        const QString onlyFs2002 = u"The cache manager is only accessable for FS2002"_s;
        QTest::newRow("FS2000") << Sim::FS2000 << true << onlyFs2002;
        QTest::newRow("FS2002") << Sim::FS2002 << true << QString();
        QTest::newRow("FS2002 without entries")
            << Sim::FS2002 << false << u"The library holds no cache entries."_s;
    }

    void cacheCommand()
    {
        QFETCH(Sim, sim);
        QFETCH(bool, withEntries);
        QFETCH(QString, message);
        TestEnv env;
        install(env, {{sim, u"C:\\Sim"_s}});
        SceneryManager manager(env.context);
        if (withEntries)
            Library()
                .cache(u"[Cache.000]"_s, {0, u"Default"_s, u"texture"_s, QString(), false})
                .buildInto(manager);
        if (message.isEmpty())
            env.ui.expectForm<frmCache>(u"frmCache"_s, [](frmCache &dialog) {
                QCOMPARE(dialog.txtTitle, u"Default"_s);
                dialog.cmdOk_Click();
            });
        else
            env.ui.expectMessageStartingWith(message, u"Info"_s);
        QStringList status;
        const Outcome outcome =
            mnuCache_Click(env.context, manager, [&status](const QString &text) { status << text; });
        QVERIFY(env.ui.allShown());
        QCOMPARE(outcome.isDone(), message.isEmpty());
        QCOMPARE(status, (QStringList{u"Manage the cache entry."_s, u"Ready."_s}));
    }

    // ---- Path tools --------------------------------------------------------------------------

    // With the simulator in C:\FS2002: relative paths go below it, with or without a leading
    // "\"; drives, "[" paths and network folders stay; the root "scenery" stays relative as a
    // local path only.
    void absolutePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("remote");
        const QString alps = u"C:\\FS2002\\Addon Scenery\\Alps"_s;
        QTest::newRow("relative") << u"Addon Scenery\\Alps"_s << alps << alps;
        QTest::newRow("leading backslash") << u"\\Addon Scenery\\Alps"_s << alps << alps;
        QTest::newRow("a drive") << u"D:\\Sceneries\\Alps"_s << u"D:\\Sceneries\\Alps"_s
                                 << u"D:\\Sceneries\\Alps"_s;
        QTest::newRow("a bracket path") << u"[CD]\\Alps"_s << u"[CD]\\Alps"_s << u"[CD]\\Alps"_s;
        QTest::newRow("a network folder")
            << u"\\\\server\\share\\Alps"_s << u"\\\\server\\share\\Alps"_s << u"\\\\server\\share\\Alps"_s;
        QTest::newRow("the root scenery") << u"Scenery"_s << u"Scenery"_s << u"C:\\FS2002\\Scenery"_s;
        QTest::newRow("empty") << QString() << QString() << QString();
    }

    void absolutePaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, local);
        QFETCH(QString, remote);
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        SceneryManager manager(env.context);
        Library().scenery(u"Alps"_s, {.localPath = path, .remotePath = path}).buildInto(manager);
        PathTools::makeAllAbsolute(manager);
        const clsScenery &all = *manager.colScenery.item(u"SceneryNew\\Alps"_s);
        QCOMPARE(all.LocalPath, local);
        QCOMPARE(all.RemotePath, remote);

        // One scenery at a time gives the same, and says why the root path stays.
        clsScenery one =
            Library().scenery(u"Alps"_s, {.localPath = path, .remotePath = path}).record(u"Alps"_s);
        if (local == u"Scenery"_s)
            env.ui.expectMessage(u"The root scenery path MUST be relative!"_s,
                                 u"Can't create the absolute path."_s, UiPort::Answer::Ok, Icon::Critical);
        const Outcome outcome = PathTools::makeOneAbsolute(env.context, manager.FSPath(), one);
        QVERIFY(env.ui.allShown());
        QVERIFY(outcome.isDone());
        QCOMPARE(outcome.problems.size(), local == u"Scenery"_s ? 1 : 0);
        QCOMPARE(one.LocalPath, local);
        QCOMPARE(one.RemotePath, remote);
    }

    // A scenery whose folder has no "Scenery" folder is bold, in any letter case of the folder's
    // name; a path beginning with "[" and an empty one never are; a bold node that has its folder
    // now is set back to normal; a scenery without a node is passed over.
    void testLocalPaths()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        env.writeFile(u"C:\\FS2002\\Addon Scenery\\Alps\\SCENERY\\a.bgl"_s);
        env.writeFile(u"C:\\FS2002\\Addon Scenery\\Rome\\texture\\a.bmp"_s);
        env.writeFile(u"C:\\Sceneries\\Oslo\\scenery\\a.bgl"_s);
        SceneryManager manager(env.context);
        Tree tree;
        Library()
            .scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Alps\\scenery"_s})
            .scenery(u"Rome"_s, {.localPath = u"Addon Scenery\\Rome"_s})
            .scenery(u"Oslo"_s, {.localPath = u"C:\\Sceneries\\Oslo"_s})
            .scenery(u"Disc"_s, {.localPath = u"[CD]\\Missing"_s})
            .scenery(u"Remote"_s, {.remotePath = u"\\\\srv\\x"_s})
            .scenery(u"Hidden"_s, {.inTree = false, .localPath = u"Missing"_s})
            .buildInto(manager, tree);
        tree.node(u"SceneryNew\\Alps"_s)->setBold(true);
        QCOMPARE(PathTools::markSceneriesWithoutSceneryFolder(env.context, manager, tree), 1);
        QStringList bold;
        for (TreeNode *node = tree.firstRoot(); node; node = node->nextInWalk()) {
            if (node->bold())
                bold << node->text();
        }
        QCOMPARE(bold, QStringList{u"Rome"_s});
        QStringList listed;
        for (const SceneryPtr &s : PathTools::sceneriesWithoutSceneryFolder(manager, &tree))
            listed << s->Title;
        QCOMPARE(listed, QStringList{u"Rome"_s});
        QCOMPARE(PathTools::sceneriesWithoutSceneryFolder(manager).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TstTools)
#include "tst_tools.moc"
