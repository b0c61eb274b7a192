// The views of the preferences, hotkey and cache dialogs bound to their logic, played with the
// mouse and keyboard.

#include "app/commandtable.h"
#include "gui/tools/toolviews.h"
#include "library/scenerymanager.h"
#include "settings/frmhotkeys.h"
#include "settings/programsettings.h"
#include "support/librarybuilder.h"
#include "tools/frmcache.h"
#include "tools/frmpref.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

QStringList commandCaptions()
{
    QStringList captions;
    for (const Start::CommandRow &row : Start::commandRows())
        captions << row.caption;
    return captions;
}

// Picks an entry of a drop-down list with the keyboard, as a user does.
void pick(QComboBox *list, int index)
{
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(list, Qt::Key_Down);
}

} // namespace

class TestToolViews : public QObject
{
    Q_OBJECT

private slots:
    // A key bound to a caption no command has shows no selection; OK stores what the lists show,
    // the key picked and the empty entry alike.
    void hotkeysOk()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        frmHotkeys::Table table;
        table[0] = u"Gone command"_s;
        table[1] = u"Add Set"_s;
        frmHotkeys form(env.ui, settings, commandCaptions(), table);
        form.Form_Load();
        HotkeysView view(form);
        QCOMPARE(view.list(0)->currentIndex(), -1);
        QCOMPARE(view.list(1)->currentText(), u"Add Set"_s);
        QCOMPARE(view.list(11)->count(), Start::CommandCount);
        pick(view.list(5), int(Start::Command::Search));
        QTest::mouseClick(view.okButton(), Qt::LeftButton);
        QCOMPARE(view.result(), int(QDialog::Accepted));
        QCOMPARE(settings.functionKey(6), u"Search..."_s);
        QCOMPARE(settings.functionKey(2), u"Add Set"_s);
        QVERIFY(settings.contains(u"F1"_s));
        QCOMPARE(settings.functionKey(1), QString());
    }

    void hotkeysEscapeIsCancel()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        frmHotkeys::Table table;
        frmHotkeys form(env.ui, settings, commandCaptions(), table);
        form.Form_Load();
        HotkeysView view(form);
        pick(view.list(2), 3);
        QTest::keyClick(&view, Qt::Key_Escape);
        QCOMPARE(view.result(), int(QDialog::Rejected));
        QCOMPARE(table[2], QString());
        QVERIFY(!settings.contains(u"F3"_s));
    }

    // A simulator that is not installed: its field is disabled until its chooser fills it; what
    // is typed into a field is what OK writes.
    void preferences()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        ProgramSettings settings(*env.settings, env.programFolder());
        frmPref form(env.context, settings);
        form.Form_Load();
        PrefView view(form);
        QLineEdit *fs2000 = view.field("txtFS2000");
        QVERIFY(!fs2000->isEnabled());
        QCOMPARE(view.field("txtFS2002")->text(), u"C:\\FS2002"_s);
        env.ui.expectFile(u"C:\\FS2000\\FS2000.exe"_s, u"Change the FS2000 installation path."_s);
        QTest::mouseClick(view.findChild<QPushButton *>(u"cmdFS2000Root"_s), Qt::LeftButton);
        QVERIFY(env.ui.allShown());
        QVERIFY(fs2000->isEnabled());
        QCOMPARE(fs2000->text(), u"C:\\FS2000\\"_s);
        QLineEdit *forum = view.field("txtForum");
        forum->selectAll();
        QTest::keyClicks(forum, u"https://forum.example.net/"_s);
        QTest::mouseClick(view.okButton(), Qt::LeftButton);
        QCOMPARE(view.result(), int(QDialog::Accepted));
        QCOMPARE(settings.forum(), u"https://forum.example.net/"_s);
        QCOMPARE(env.settings->read(SettingsStore::Root::Machine, Location::installationKey(0), u"Path"_s),
                 u"C:\\FS2000\\"_s);
    }

    // The buttons step through the entries and switch off at either end; typing edits the entry
    // shown.
    void cacheManager()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        SceneryManager manager(env.context);
        Library()
            .cache(u"[Cache.000]"_s, {0, u"Default"_s, u"texture"_s, QString(), true})
            .cache(u"[Cache.001]"_s, {1, u"Alps"_s, u"alps"_s, QString(), false})
            .buildInto(manager);
        frmCache form(manager);
        form.Form_Load();
        CacheView view(form);
        QVERIFY(!view.downButton()->isEnabled());
        QCOMPARE(view.layerField()->text(), u"000"_s);
        QVERIFY(view.activeBox()->isChecked());
        QTest::mouseClick(view.upButton(), Qt::LeftButton);
        QCOMPARE(view.titleField()->text(), u"Alps"_s);
        QVERIFY(!view.upButton()->isEnabled());
        QVERIFY(!view.activeBox()->isChecked());
        view.titleField()->selectAll();
        QTest::keyClicks(view.titleField(), u"Alpen"_s);
        QTest::mouseClick(view.activeBox(), Qt::LeftButton, {}, QPoint(6, view.activeBox()->height() / 2));
        const clsCache &alps = *manager.colCache.item(u"[Cache.001]"_s);
        QCOMPARE(alps.strTitle, u"Alpen"_s);
        QVERIFY(alps.blnActive);
        QTest::mouseClick(view.downButton(), Qt::LeftButton);
        QCOMPARE(view.titleField()->text(), u"Default"_s);
        QCOMPARE(manager.colCache.item(u"[Cache.000]"_s)->strTitle, u"Default"_s);
    }
};

QTEST_MAIN(TestToolViews)
#include "tst_toolviews.moc"
