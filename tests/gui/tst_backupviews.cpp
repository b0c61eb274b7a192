#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"
#include "gui/backup/backupviews.h"
#include "support/testenv.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QString SimFolder = QStringLiteral("C:\\FS2002");

// One installation with two zip backups and one V1.5 backup folder in the backup root.
struct Backups
{
    Backups()
    {
        env.installSim(1, SimFolder);
        manager = std::make_unique<BackupManager>(env.context, SimFolder, 1);
        const QString root = manager->backupRoot();
        env.writeFile(root + QStringLiteral("Before update.zip"), "PK");
        env.writeFile(root + QStringLiteral("Monday.zip"), "PK");
        env.writeFile(root + QStringLiteral("Old 1.5\\Scenery.cfg"), "[General]");
    }

    TestEnv env;
    std::unique_ptr<BackupManager> manager;
};

void selectEntry(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(text));
    list->setCurrentItem(found.first());
}

// What the user does with a picker; returns the dialog's result code.
int act(BackupPickerView &view, const QString &action, const QString &entry)
{
    view.show();
    if (!entry.isEmpty())
        selectEntry(view.list(), entry);
    if (action == QStringLiteral("ok")) {
        QTest::mouseClick(view.okButton(), Qt::LeftButton);
    } else if (action == QStringLiteral("double click")) {
        const QListWidgetItem *item = view.list()->findItems(entry, Qt::MatchExactly).value(0);
        const QPoint centre = view.list()->visualItemRect(item).center();
        // A real double click starts with a press on the same entry.
        QTest::mousePress(view.list()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(view.list()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view.list()->viewport(), Qt::LeftButton, {}, centre);
    } else if (action == QStringLiteral("cancel")) {
        QTest::mouseClick(view.cancelButton(), Qt::LeftButton);
    } else if (action == QStringLiteral("escape")) {
        QTest::keyClick(&view, Qt::Key_Escape);
    }
    return view.result();
}
} // namespace

class TestBackupViews : public QObject
{
    Q_OBJECT

private slots:
    void picker_data();
    void picker();
    void listShowsWhatTheLogicLoaded();
    void fileList_data();
    void fileList();
};

void TestBackupViews::picker_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("result");

    const int ok = QDialog::Accepted;
    const int cancelled = QDialog::Rejected;
    QTest::newRow("install, OK") << "install"
                                 << "ok"
                                 << "Monday.zip"
                                 << "Monday.zip" << ok;
    QTest::newRow("install, double click") << "install"
                                           << "double click"
                                           << "Before update.zip"
                                           << "Before update.zip" << ok;
    QTest::newRow("install, cancel after choosing") << "install"
                                                    << "cancel"
                                                    << "Monday.zip"
                                                    << "" << cancelled;
    QTest::newRow("install, escape") << "install"
                                     << "escape"
                                     << "Monday.zip"
                                     << "" << cancelled;
    QTest::newRow("install V1.5, OK") << "install old"
                                      << "ok"
                                      << "Old 1.5"
                                      << "Old 1.5" << ok;
    QTest::newRow("delete, OK") << "delete"
                                << "ok"
                                << "Before update.zip"
                                << "Before update.zip" << ok;
    QTest::newRow("delete, double click") << "delete"
                                          << "double click"
                                          << "Monday.zip"
                                          << "Monday.zip" << ok;
    QTest::newRow("delete, cancel") << "delete"
                                    << "cancel"
                                    << "Monday.zip"
                                    << "" << cancelled;
}

void TestBackupViews::picker()
{
    QFETCH(QString, dialog);
    QFETCH(QString, action);
    QFETCH(QString, entry);
    QFETCH(QString, expected);
    QFETCH(int, result);

    Backups backups;
    QString chosen;
    int code = -1;
    if (dialog == QStringLiteral("delete")) {
        DeleteBackupDialog form(*backups.manager);
        form.Form_Load();
        BackupPickerView view(form);
        code = act(view, action, entry);
        chosen = form.sBackup;
        QVERIFY(!form.visible || code == QDialog::Rejected);
    } else {
        InstallBackupDialog form(*backups.manager, dialog == QStringLiteral("install old"));
        form.Form_Load();
        BackupPickerView view(form);
        QCOMPARE(view.windowTitle(), QStringLiteral("Install backup"));
        code = act(view, action, entry);
        chosen = form.sBackup;
    }
    QCOMPARE(chosen, expected);
    QCOMPARE(code, result);
}

void TestBackupViews::listShowsWhatTheLogicLoaded()
{
    Backups backups;
    InstallBackupDialog zips(*backups.manager);
    zips.Form_Load();
    BackupPickerView zipView(zips);
    QStringList shown;
    for (int i = 0; i < zipView.list()->count(); ++i)
        shown.append(zipView.list()->item(i)->text());
    QCOMPARE(shown, zips.cboBackups);
    QCOMPARE(zipView.list()->currentRow(), zips.cboBackupsIndex);

    // OK with nothing to choose hands back no name.
    TestEnv empty;
    empty.installSim(1, SimFolder);
    BackupManager none(empty.context, SimFolder, 1);
    DeleteBackupDialog form(none);
    form.Form_Load();
    BackupPickerView view(form);
    QCOMPARE(view.windowTitle(), QStringLiteral("Delete Backup"));
    QCOMPARE(view.list()->count(), 0);
    view.show();
    QTest::mouseClick(view.okButton(), Qt::LeftButton);
    QCOMPARE(form.sBackup, QString());
}

void TestBackupViews::fileList_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("OK writes the edited text")
        << true << QByteArray("\\Scenery.cfg\r\n\\FS2002.cfg\r\n\\Added.cfg");
    QTest::newRow("cancel keeps the file") << false << QByteArray("\\Scenery.cfg\r\n\\FS2002.cfg\r\n");
}

void TestBackupViews::fileList()
{
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);

    Backups backups;
    const QString list = backups.manager->backupListPath();
    backups.env.writeFile(list, "\\Scenery.cfg\r\n\\FS2002.cfg\r\n");
    BackupFileListDialog form(*backups.manager);
    form.Form_Load();
    BackupFileListView view(form);
    QCOMPARE(view.windowTitle(), QStringLiteral("Backup file list"));
    view.show();
    // The editor shows the lines, not the file's carriage returns.
    QCOMPARE(view.text()->toPlainText(), QStringLiteral("\\Scenery.cfg\n\\FS2002.cfg\n"));

    view.text()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view.text(), QStringLiteral("\\Added.cfg"));
    QTest::mouseClick(ok ? view.okButton() : view.cancelButton(), Qt::LeftButton);

    QVERIFY(!view.isVisible());
    QCOMPARE(backups.env.readFile(list), expected);
}

QTEST_MAIN(TestBackupViews)
#include "tst_backupviews.moc"
