#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"
#include "gui/backup/backupviews.h"
#include "support/testenv.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
// One installation, with two zip backups and one V1.5 backup folder in the backup root unless empty.
struct Backups
{
    explicit Backups(bool empty = false)
    {
        env.installSim(1, u"C:\\FS2002"_s);
        manager = std::make_unique<BackupManager>(env.context, u"C:\\FS2002"_s, 1);
        for (const QString &file : {u"Before update.zip"_s, u"Monday.zip"_s, u"Old 1.5\\Scenery.cfg"_s})
            empty ? void() : env.writeFile(manager->backupRoot() + file, "PK");
    }
    TestEnv env;
    std::unique_ptr<BackupManager> manager;
};
// What the user does with a picker: its title, the chosen name, and the dialog's result when an entry was chosen.
template<class Form> QString pick(Form &form, const QString &action, const QString &entry)
{
    form.Form_Load();
    BackupPickerView view(form);
    // The list shows what the logic loaded.
    QStringList shown;
    for (int i = 0; i < view.list()->count(); ++i)
        shown << view.list()->item(i)->text();
    if (shown != form.cboBackups || view.list()->currentRow() != form.cboBackupsIndex)
        return u"list differs: "_s + shown.join(u',');
    view.show();
    QListWidgetItem *item = view.list()->findItems(entry, Qt::MatchExactly).value(0);
    view.list()->setCurrentItem(item);
    if (action == u"double click"_s) {
        // A real double click starts with a press on the same entry.
        QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, {}, view.list()->visualItemRect(item).center());
        QTest::mouseDClick(view.list()->viewport(), Qt::LeftButton, {}, view.list()->visualItemRect(item).center());
    } else if (action == u"escape"_s) {
        QTest::keyClick(&view, Qt::Key_Escape);
    } else {
        QTest::mouseClick(view.findChild<QPushButton *>(action), Qt::LeftButton);
    }
    if (form.visible && view.result() != QDialog::Rejected)
        return u"still open"_s;
    return view.windowTitle() + u": "_s + form.sBackup + (item ? u" %1"_s.arg(view.result()) : QString());
}
} // namespace

class TestBackupViews : public QObject
{
    Q_OBJECT

private slots:
    void picker_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("expected"); // the chosen name and the dialog's result
        QTest::newRow("install, double click") << "install" << "double click" << "Before update.zip" << "Before update.zip 1";
        QTest::newRow("install, escape") << "install" << "escape" << "Monday.zip" << " 0";
        QTest::newRow("install V1.5, OK") << "install old" << "cmdOK" << "Old 1.5" << "Old 1.5 1";
        QTest::newRow("delete, double click") << "delete" << "double click" << "Monday.zip" << "Monday.zip 1";
        QTest::newRow("delete, cancel") << "delete" << "cmdCancel" << "Monday.zip" << " 0";
        QTest::newRow("delete, OK with nothing to choose gives no name") << "delete none" << "cmdOK" << "" << "";
    }
    void picker()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, action);
        QFETCH(QString, entry);
        QFETCH(QString, expected);
        Backups backups(dialog == u"delete none"_s);
        if (dialog.startsWith(u"delete"_s)) {
            DeleteBackupDialog form(*backups.manager);
            QCOMPARE(pick(form, action, entry), u"Delete Backup: "_s + expected);
        } else {
            InstallBackupDialog form(*backups.manager, dialog == u"install old"_s);
            QCOMPARE(pick(form, action, entry), u"Install backup: "_s + expected);
        }
    }

    // OK writes the edited text; Cancel keeps the file.
    void fileList()
    {
        Backups backups;
        const QString path = backups.manager->backupListPath();
        backups.env.writeFile(path, "\\Scenery.cfg\r\n\\FS2002.cfg\r\n");
        for (bool ok : {false, true}) {
            BackupFileListDialog form(*backups.manager);
            form.Form_Load();
            BackupFileListView view(form);
            view.show();
            // The editor shows the lines, not the file's carriage returns.
            QCOMPARE(view.windowTitle() + u':' + view.text()->toPlainText(), u"Backup file list:\\Scenery.cfg\n\\FS2002.cfg\n"_s);
            view.text()->moveCursor(QTextCursor::End);
            QTest::keyClicks(view.text(), u"\\Added.cfg"_s);
            QTest::mouseClick(ok ? view.okButton() : view.cancelButton(), Qt::LeftButton);
            QCOMPARE(backups.env.readFile(path), ok ? "\\Scenery.cfg\r\n\\FS2002.cfg\r\n\\Added.cfg" : "\\Scenery.cfg\r\n\\FS2002.cfg\r\n");
        }
    }
};

QTEST_MAIN(TestBackupViews)
#include "tst_backupviews.moc"
