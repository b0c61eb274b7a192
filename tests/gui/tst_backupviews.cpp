// The views of the backup dialogs bound to their logic.

#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"
#include "gui/backup/backupviews.h"
#include "support/librarybuilder.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
// Flight Simulator 2002, with two zip backups and one V1.5 backup folder in the backup root
// unless it is to be empty.
struct Backups
{
    explicit Backups(bool empty = false)
    {
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        manager = std::make_unique<BackupManager>(env.context, u"C:\\FS2002"_s, 1);
        if (empty)
            return;
        for (const QString &file : {u"Before update.zip"_s, u"Monday.zip"_s, u"Old 1.5\\Scenery.cfg"_s})
            env.writeFile(manager->backupRoot() + file, "PK");
    }
    TestEnv env;
    std::unique_ptr<BackupManager> manager;
};

enum class Picker { Install, Delete };
enum class Choosing { DoubleClick, Escape, Ok, Cancel };

// The user's part in a picker: the entry is chosen, then the dialog is left by the action.
void choose(BackupPickerView &view, Choosing action, const QString &entry)
{
    QListWidget *list = view.list();
    QListWidgetItem *item = list->findItems(entry, Qt::MatchExactly).value(0);
    list->setCurrentItem(item);
    if (action == Choosing::DoubleClick) {
        // A real double click starts with a press on the same entry.
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    } else if (action == Choosing::Escape) {
        QTest::keyClick(&view, Qt::Key_Escape);
    } else {
        const QString button = action == Choosing::Ok ? u"cmdOK"_s : u"cmdCancel"_s;
        QTest::mouseClick(view.findChild<QPushButton *>(button), Qt::LeftButton);
    }
}

QStringList listed(const BackupPickerView &view)
{
    QStringList entries;
    for (int i = 0; i < view.list()->count(); ++i)
        entries << view.list()->item(i)->text();
    return entries;
}
} // namespace

class TestBackupViews : public QObject
{
    Q_OBJECT

private slots:
    // The list shows what the logic loaded; the backup chosen is the logic's answer.
    void picker_data()
    {
        QTest::addColumn<Picker>("picker");
        QTest::addColumn<bool>("emptyRoot");
        QTest::addColumn<Choosing>("action");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("result");
        QTest::newRow("install, double click")
            << Picker::Install << false << Choosing::DoubleClick << u"Before update.zip"_s
            << u"Install backup"_s << u"Before update.zip"_s << int(QDialog::Accepted);
        QTest::newRow("install, escape") << Picker::Install << false << Choosing::Escape << u"Monday.zip"_s
                                         << u"Install backup"_s << QString() << int(QDialog::Rejected);
        QTest::newRow("delete, Cancel") << Picker::Delete << false << Choosing::Cancel << u"Monday.zip"_s
                                        << u"Delete Backup"_s << QString() << int(QDialog::Rejected);
        QTest::newRow("delete, OK with nothing to choose")
            << Picker::Delete << true << Choosing::Ok << QString() << u"Delete Backup"_s << QString()
            << int(QDialog::Accepted);
    }
    void picker()
    {
        QFETCH(Picker, picker);
        QFETCH(bool, emptyRoot);
        QFETCH(Choosing, action);
        QFETCH(QString, entry);
        QFETCH(QString, title);
        QFETCH(QString, chosen);
        QFETCH(int, result);
        Backups backups(emptyRoot);
        std::unique_ptr<BackupPickerView> view;
        std::unique_ptr<InstallBackupDialog> install;
        std::unique_ptr<DeleteBackupDialog> remove;
        if (picker == Picker::Delete) {
            remove = std::make_unique<DeleteBackupDialog>(*backups.manager);
            remove->Form_Load();
            view = std::make_unique<BackupPickerView>(*remove);
            QCOMPARE(listed(*view), remove->cboBackups);
            QCOMPARE(view->list()->currentRow(), remove->cboBackupsIndex);
        } else {
            install = std::make_unique<InstallBackupDialog>(*backups.manager, false);
            install->Form_Load();
            view = std::make_unique<BackupPickerView>(*install);
            QCOMPARE(listed(*view), install->cboBackups);
            QCOMPARE(view->list()->currentRow(), install->cboBackupsIndex);
        }
        view->show();
        choose(*view, action, entry);
        QVERIFY(!view->isVisible());
        QCOMPARE(view->windowTitle(), title);
        QCOMPARE(install ? install->sBackup : remove->sBackup, chosen);
        QCOMPARE(view->result(), result);
    }

    // The editor shows the lines, not the file's carriage returns; OK writes the edited text,
    // Cancel keeps the file.
    void fileList_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("OK") << true << QByteArray("\\Scenery.cfg\r\n\\FS2002.cfg\r\n\\Added.cfg");
        QTest::newRow("Cancel") << false << QByteArray("\\Scenery.cfg\r\n\\FS2002.cfg\r\n");
    }
    void fileList()
    {
        QFETCH(bool, ok);
        QFETCH(QByteArray, written);
        Backups backups;
        const QString path = backups.manager->backupListPath();
        backups.env.writeFile(path, "\\Scenery.cfg\r\n\\FS2002.cfg\r\n");
        BackupFileListDialog form(*backups.manager);
        form.Form_Load();
        BackupFileListView view(form);
        view.show();
        QCOMPARE(view.windowTitle(), u"Backup file list"_s);
        QCOMPARE(view.text()->toPlainText(), u"\\Scenery.cfg\n\\FS2002.cfg\n"_s);
        view.text()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view.text(), u"\\Added.cfg"_s);
        QTest::mouseClick(ok ? view.okButton() : view.cancelButton(), Qt::LeftButton);
        QCOMPARE(backups.env.readFile(path), written);
    }
};

QTEST_MAIN(TestBackupViews)
#include "tst_backupviews.moc"
