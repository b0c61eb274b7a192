// The hotkey dialog: what its twelve lists select when it opens, and what OK and Cancel leave in
// the function-key table and the settings "F1" to "F12".

#include "app/commandtable.h"
#include "settings/frmhotkeys.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList commandCaptions()
{
    QStringList captions;
    for (const Start::CommandRow &row : Start::commandRows())
        captions << row.caption;
    return captions;
}

} // namespace

class TstFrmHotkeys : public QObject
{
    Q_OBJECT

private slots:
    // Each list offers row 0's empty caption first and every command after it, and selects the
    // key's caption; one the table does not know any more selects nothing.
    void opening_data()
    {
        QTest::addColumn<QString>("bound");
        QTest::addColumn<int>("selected");
        QTest::newRow("a command") << u"Move up"_s << int(Start::Command::MoveUp);
        QTest::newRow("no command: the empty first entry") << QString() << 0;
        QTest::newRow("a caption no row has") << u"Print"_s << -1;
        QTest::newRow("a caption in other letter case") << u"move up"_s << -1;
    }

    void opening()
    {
        QFETCH(QString, bound);
        QFETCH(int, selected);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        frmHotkeys::Table table;
        table[4] = bound;
        frmHotkeys dialog(env.ui, settings, commandCaptions(), table);
        dialog.Form_Load();
        QCOMPARE(dialog.cboHotkeyList.size(), Start::CommandCount);
        QCOMPARE(dialog.cboHotkeyList.first(), QString());
        QCOMPARE(dialog.cboHotkey[4], selected);
        QCOMPARE(dialog.cboHotkey[3], 0);
    }

    // OK writes all twelve keys, bound or not: a key without a selection and a key set back to the
    // empty entry are both stored empty, and the table follows.
    void okWritesEveryKey()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setFunctionKey(7, u"Add Set"_s);
        frmHotkeys::Table table;
        table[2] = u"Gone command"_s;
        table[6] = u"Add Set"_s;
        frmHotkeys dialog(env.ui, settings, commandCaptions(), table);
        dialog.Form_Load();
        dialog.cboHotkey_Click(0, int(Start::Command::Search));
        dialog.cboHotkey_Click(11, int(Start::Command::Search));
        dialog.cboHotkey_Click(6, 0);
        dialog.cmdOk_Click();

        QVERIFY(!dialog.visible);
        for (int key = 1; key <= 12; ++key) {
            const QString expected = key == 1 || key == 12 ? u"Search..."_s : QString();
            QCOMPARE(table[std::size_t(key - 1)], expected);
            QVERIFY2(settings.contains(u"F%1"_s.arg(key)), qPrintable(u"F%1 not written"_s.arg(key)));
            QCOMPARE(settings.functionKey(key), expected);
        }
        // What the program reads at its next start is what the dialog showed.
        Start::FunctionKeyTable reread;
        reread.fill(u"Stale"_s);
        Start::readFunctionKeys(*env.settings, reread);
        QCOMPARE(Start::functionKeyCommand(reread, 12), Start::Command::Search);
        QCOMPARE(Start::functionKeyCommand(reread, 7), Start::Command::None);
    }

    void cancelChangesNothing()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        frmHotkeys::Table table;
        table[0] = u"Add Level"_s;
        frmHotkeys dialog(env.ui, settings, commandCaptions(), table);
        dialog.Form_Load();
        dialog.cboHotkey_Click(0, int(Start::Command::Info));
        dialog.cmdCancel_Click();
        QVERIFY(!dialog.visible);
        QCOMPARE(table[0], u"Add Level"_s);
        for (int key = 1; key <= 12; ++key)
            QVERIFY(!settings.contains(u"F%1"_s.arg(key)));
    }
};

QTEST_GUILESS_MAIN(TstFrmHotkeys)
#include "tst_frmhotkeys.moc"
