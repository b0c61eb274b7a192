#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"
#include "platform/lmerror.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <zip.h>

#include <memory>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;
using Icon = UiPort::Icon;

namespace {

const QString Key = u"SOFTWARE\\Tarnwick\\Lumivale"_s;
const QString Sim = u"C:\\FS2002"_s;

// One installation with Flight Simulator 2002 in C:\FS2002, its Scenery.cfg, and the temporary
// folder inside the test's own folder.
struct Fixture
{
    Fixture()
    {
        env.installSim(1, Sim);
        QDir().mkpath(env.rootHost() + u"/tmp"_s);
        qputenv("TMPDIR", QFile::encodeName(env.rootHost() + u"/tmp"_s));
        env.writeFile(Sim + u"\\Scenery.cfg"_s, "[General]\r\nTitle=now\r\n");
        manager = std::make_unique<BackupManager>(env.context, Sim, 1);
        manager->setStatus([this](const QString &text) {
            statusTexts.append(text);
            busyDuringStatus.append(env.ui.busy());
        });
    }

    void setBackupPath(const QString &path) { env.settings->write(SettingsStore::Root::Machine, Key, u"BackupPath"_s, path); }
    void setList(const QByteArray &bytes) { env.writeFile(env.programFolder() + u"\\BackupFilesFS2002.db"_s, bytes); }
    QString defaultRoot() const { return env.programFolder() + u"\\EnvBackups\\"_s; }
    bool exists(const QString &windowsPath) const
    {
        const QString host = env.fs.toHost(windowsPath);
        return !host.isEmpty() && QFileInfo::exists(host);
    }

    // Entry names and contents of a zip file, read straight through libzip.
    QMap<QString, QByteArray> zipContents(const QString &windowsPath) const
    {
        QMap<QString, QByteArray> entries;
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(env.fs.toHost(windowsPath)).constData(), ZIP_RDONLY, &error);
        if (!z) {
            entries.insert(u"<unreadable>"_s, {});
            return entries;
        }
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
            zip_stat_t st;
            zip_stat_index(z, zip_uint64_t(i), 0, &st);
            QByteArray data(qsizetype(st.size), Qt::Uninitialized);
            zip_file_t *f = zip_fopen_index(z, zip_uint64_t(i), 0);
            zip_fread(f, data.data(), st.size);
            zip_fclose(f);
            entries.insert(QString::fromUtf8(st.name), data);
        }
        zip_discard(z);
        return entries;
    }

    TestEnv env;
    std::unique_ptr<BackupManager> manager;
    QStringList statusTexts;
    QList<bool> busyDuringStatus;
};

void expectName(ScriptedUi &ui, const QString &name)
{
    ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, name);
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void getDir_data();
    void getDir();
    void listFileFollowsSimulator_data();
    void listFileFollowsSimulator();
    void backupRoot_data();
    void backupRoot();
    void backupName_data();
    void backupName();
    void makeBackupStoresFilesBelowDrive();
    void makeBackupEmptyNameWritesNothing();
    void makeBackupWithoutFiles_data();
    void makeBackupWithoutFiles();
    void longPathQuestion_data();
    void longPathQuestion();
    void makeBackupMissingFileKeepsEarlierBackup();
    void makeBackupReplacesEarlierBackup();
    void installBackup_data();
    void installBackup();
    void installBackupStopsWhenBackupFirstFails();
    void installBackupLongArchivePath();
    void installMissingBackup_data();
    void installMissingBackup();
    void installBackupOld();
    void deleteBackup_data();
    void deleteBackup();
    void switchSimulator();
    void backupDialogLists_data();
    void backupDialogLists();
    void installCommand_data();
    void installCommand();
    void deleteCommand();
    void makeCommandReportsStatus();
    void fileListDialog_data();
    void fileListDialog();
};

void TestBackup::getDir_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder and file") << u"\\Scenery\\x.bgl"_s << u"\\Scenery\\"_s;
    QTest::newRow("bare name") << u"x.bgl"_s << u""_s;
    QTest::newRow("full path") << u"C:\\FS2002\\Scenery.cfg"_s << u"C:\\FS2002\\"_s;
    QTest::newRow("trailing backslash") << u"C:\\A\\"_s << u"C:\\A\\"_s;
    QTest::newRow("empty") << u""_s << u""_s;
}

void TestBackup::getDir()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(BackupManager::getDir(path), expected);
}

void TestBackup::listFileFollowsSimulator_data()
{
    QTest::addColumn<int>("simType");  // -1: not given
    QTest::addColumn<QString>("selectedSim");  // "<none>": not stored
    QTest::addColumn<QString>("file");
    QTest::newRow("FS2000") << 0 << u"<none>"_s << u"BackupFiles.db"_s;
    QTest::newRow("FS2002") << 1 << u"<none>"_s << u"BackupFilesFS2002.db"_s;
    QTest::newRow("CFS2") << 2 << u"<none>"_s << u"BackupFilesCFS2.db"_s;
    QTest::newRow("given type wins over a stale setting") << 2 << u"1"_s << u"BackupFilesCFS2.db"_s;
    QTest::newRow("setting 0") << -1 << u"0"_s << u"BackupFiles.db"_s;
    QTest::newRow("setting 1") << -1 << u"1"_s << u"BackupFilesFS2002.db"_s;
    QTest::newRow("setting 2") << -1 << u"2"_s << u"BackupFilesCFS2.db"_s;
    QTest::newRow("no setting") << -1 << u"<none>"_s << u"BackupFiles.db"_s;
}

void TestBackup::listFileFollowsSimulator()
{
    QFETCH(int, simType);
    QFETCH(QString, selectedSim);
    QFETCH(QString, file);
    Fixture f;
    if (selectedSim != u"<none>"_s)
        f.env.settings->write(SettingsStore::Root::Machine, Key, u"SelectedSim"_s, selectedSim);
    BackupManager manager(f.env.context, Sim, simType < 0 ? std::nullopt : std::optional<qint32>(simType));
    QCOMPARE(manager.backupListPath(), f.env.programFolder() + u"\\"_s + file);
    // Reading the list creates it empty.
    QVERIFY(!f.exists(manager.backupListPath()));
    QCOMPARE(manager.backupList(), QStringList());
    QVERIFY(f.exists(manager.backupListPath()));
}

void TestBackup::backupRoot_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("root");  // "<default>": program folder + "\EnvBackups\"
    QTest::newRow("empty setting") << u""_s << u"<default>"_s;
    QTest::newRow("missing parents") << u"C:\\Data\\Sim\\Backups\\"_s << u"C:\\Data\\Sim\\Backups\\"_s;
    QTest::newRow("without closing backslash") << u"C:\\Saves"_s << u"C:\\Saves\\"_s;
}

void TestBackup::backupRoot()
{
    QFETCH(QString, setting);
    QFETCH(QString, root);
    Fixture f;
    f.setBackupPath(setting);
    const QString expected = root == u"<default>"_s ? f.defaultRoot() : root;
    QVERIFY(!f.exists(expected));
    QCOMPARE(f.manager->backupRoot(), expected);
    QVERIFY(f.env.fs.folderExists(expected));
}

void TestBackup::backupName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("forbidden characters") << u"a:b?c"_s << u"a_b_c.zip"_s;
    QTest::newRow("upper-case extension stays") << u"old.ZIP"_s << u"old.ZIP"_s;
    QTest::newRow("plain name") << u"Monday"_s << u"Monday.zip"_s;
    QTest::newRow("slashes and quotes") << u"a/b\\c\"d<e>f|g*h"_s << u"a_b_c_d_e_f_g_h.zip"_s;
    QTest::newRow("extension without dot") << u"myzip"_s << u"myzip.zip"_s;
    QTest::newRow("short name") << u"z"_s << u"z.zip"_s;
}

void TestBackup::backupName()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    Fixture f;
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, typed);
    QVERIFY(f.manager->makeBackup());
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.fs.files(f.defaultRoot()), QStringList{file});
}

void TestBackup::makeBackupStoresFilesBelowDrive()
{
    Fixture f;
    f.env.writeFile(Sim + u"\\Scenery\\World\\scenery\\x.bgl"_s, "bgl");
    f.env.writeFile(Sim + u"\\FS2002.CFG"_s, "cfg");
    f.setList("\\Scenery.cfg\r\n\r\n\\Scenery\\World\\scenery\\x.bgl\r\nFS2002.CFG\r\n   \r\n");
    f.env.writeFile(Sim + u"\\Scenery.CFG.Backup"_s, "stale");
    expectName(f.env.ui, u"Week"_s);
    QVERIFY(f.manager->makeBackup());
    QVERIFY(f.env.ui.allShown());

    const QMap<QString, QByteArray> expected{{u"FS2002/Scenery.cfg"_s, "[General]\r\nTitle=now\r\n"},
                                             {u"FS2002/Scenery/World/scenery/x.bgl"_s, "bgl"},
                                             {u"FS2002/FS2002.CFG"_s, "cfg"}};
    QCOMPARE(f.zipContents(f.defaultRoot() + u"Week.zip"_s), expected);
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.CFG.Backup"_s), QByteArray("[General]\r\nTitle=now\r\n"));
    QCOMPARE(f.env.ui.processEventsCalls(), 3);
    QCOMPARE(f.statusTexts.size(), 3);
}

void TestBackup::makeBackupEmptyNameWritesNothing()
{
    Fixture f;
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, QString());
    QVERIFY(f.manager->makeBackup());
    QVERIFY(f.env.ui.allShown());
    QVERIFY(!f.exists(Sim + u"\\Scenery.CFG.Backup"_s));
    QVERIFY(!f.exists(f.defaultRoot()) || f.env.fs.files(f.defaultRoot()).isEmpty());
}

void TestBackup::makeBackupWithoutFiles_data()
{
    QTest::addColumn<bool>("listExists");
    QTest::addColumn<QByteArray>("list");
    QTest::newRow("only empty lines") << true << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("empty file") << true << QByteArray();
    QTest::newRow("missing list") << false << QByteArray();
}

void TestBackup::makeBackupWithoutFiles()
{
    QFETCH(bool, listExists);
    QFETCH(QByteArray, list);
    Fixture f;
    if (listExists)
        f.setList(list);
    f.env.writeFile(Sim + u"\\Scenery.CFG.Backup"_s, "stale");
    expectName(f.env.ui, u"Nothing"_s);
    QVERIFY(f.manager->makeBackup());
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.fs.files(f.defaultRoot()), QStringList());
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.CFG.Backup"_s), QByteArray("[General]\r\nTitle=now\r\n"));
    QVERIFY(f.exists(f.manager->backupListPath()));
}

void TestBackup::longPathQuestion_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("ok");
    QTest::newRow("79 characters") << 79 << false << false;
    QTest::newRow("80 characters, OK") << 80 << true << true;
    QTest::newRow("80 characters, Cancel") << 80 << true << false;
}

void TestBackup::longPathQuestion()
{
    QFETCH(int, length);
    QFETCH(bool, asked);
    QFETCH(bool, ok);
    Fixture f;
    // "C:\FS2002" + "\" + line: the joined path has the wanted length.
    const QString name = QString(length - 10 - 4, u'n') + u".bgl"_s;
    const QString path = Sim + u"\\"_s + name;
    QCOMPARE(path.size(), length);
    f.env.writeFile(path, "long");
    f.setList((u"\\Scenery.cfg\r\n\\"_s + name + u"\r\n"_s).toLatin1());
    expectName(f.env.ui, u"Long"_s);
    if (asked) {
        f.env.ui.expectMessage(path + u"\nSorry, the path is longer than 79 characters.\n"
                                      u"Due to limitations of the third party zip control you can not zip longer "
                                      u"filenames.\nDo you want to continue?"_s,
                               u"Cannot zip file!"_s, ok ? Answer::Ok : Answer::Cancel);
    }
    const bool cancelled = asked && !ok;
    QCOMPARE(f.manager->makeBackup(), !cancelled);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.exists(Sim + u"\\Scenery.CFG.Backup"_s), !cancelled);
    if (cancelled) {
        QVERIFY(!f.exists(f.defaultRoot() + u"Long.zip"_s));
    } else {
        QCOMPARE(f.zipContents(f.defaultRoot() + u"Long.zip"_s).keys(),
                 (QStringList{u"FS2002/Scenery.cfg"_s, u"FS2002/"_s + name}));
    }
}

void TestBackup::makeBackupMissingFileKeepsEarlierBackup()
{
    Fixture f;
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, u"Keep"_s);
    QVERIFY(f.manager->makeBackup());

    f.setList("\\Scenery.cfg\r\n\\Missing.bgl\r\n");
    f.env.writeFile(Sim + u"\\Scenery.cfg"_s, "changed");
    expectName(f.env.ui, u"Keep"_s);
    f.env.ui.expectMessageStartingWith(u"BackupManager.makeBackup\nError: 53\n"_s, u"Lumivale"_s);
    QVERIFY(!f.manager->makeBackup());
    QVERIFY(f.env.ui.allShown());
    const QMap<QString, QByteArray> earlier{{u"FS2002/Scenery.cfg"_s, "[General]\r\nTitle=now\r\n"}};
    QCOMPARE(f.zipContents(f.defaultRoot() + u"Keep.zip"_s), earlier);
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.CFG.Backup"_s), QByteArray("[General]\r\nTitle=now\r\n"));
}

void TestBackup::makeBackupReplacesEarlierBackup()
{
    Fixture f;
    f.env.writeFile(Sim + u"\\Gone.bgl"_s, "gone");
    f.setList("\\Scenery.cfg\r\n\\Gone.bgl\r\n");
    expectName(f.env.ui, u"Backup"_s);
    QVERIFY(f.manager->makeBackup());
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, u"Backup"_s);
    QVERIFY(f.manager->makeBackup());
    QVERIFY(f.env.ui.allShown());
    // A file the list no longer names must not come back with the next restore.
    QCOMPARE(f.zipContents(f.defaultRoot() + u"Backup.zip"_s).keys(), QStringList{u"FS2002/Scenery.cfg"_s});
}

void TestBackup::installBackup_data()
{
    QTest::addColumn<bool>("backupFirst");
    QTest::addColumn<QString>("newName");  // name typed for the backup first
    QTest::addColumn<QStringList>("backupsAfter");
    QTest::newRow("no backup first") << false << u""_s << QStringList{u"Saved.zip"_s};
    QTest::newRow("yes, then empty name") << true << u""_s << QStringList{u"Saved.zip"_s};
    QTest::newRow("yes, then a name") << true << u"Before"_s << QStringList{u"Before.zip"_s, u"Saved.zip"_s};
}

void TestBackup::installBackup()
{
    QFETCH(bool, backupFirst);
    QFETCH(QString, newName);
    QFETCH(QStringList, backupsAfter);
    Fixture f;
    f.env.writeFile(Sim + u"\\Scenery\\World\\x.bgl"_s, "saved bgl");
    f.setList("\\Scenery.cfg\r\n\\Scenery\\World\\x.bgl\r\n");
    expectName(f.env.ui, u"Saved"_s);
    QVERIFY(f.manager->makeBackup());

    f.env.writeFile(Sim + u"\\Scenery.cfg"_s, "edited");
    QVERIFY(QFile::remove(f.env.host(Sim + u"\\Scenery\\World\\x.bgl"_s)));
    QVERIFY(QDir(f.env.host(Sim + u"\\Scenery\\World"_s)).removeRecursively());

    f.env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s,
                           backupFirst ? Answer::Yes : Answer::No);
    if (backupFirst) {
        expectName(f.env.ui, newName);
        // The backup of the current files cannot hold the file that is gone.
        if (!newName.isEmpty())
            f.setList("\\Scenery.cfg\r\n");
    }
    f.manager->installBackup(u"Saved.zip"_s);
    QVERIFY(f.env.ui.allShown());

    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.cfg"_s), QByteArray("[General]\r\nTitle=now\r\n"));
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery\\World\\x.bgl"_s), QByteArray("saved bgl"));
    QCOMPARE(f.env.fs.files(f.defaultRoot()), backupsAfter);
    if (!newName.isEmpty())
        QCOMPARE(f.zipContents(f.defaultRoot() + newName + u".zip"_s).value(u"FS2002/Scenery.cfg"_s),
                 QByteArray("edited"));
}

void TestBackup::installBackupStopsWhenBackupFirstFails()
{
    Fixture f;
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, u"Saved"_s);
    QVERIFY(f.manager->makeBackup());
    f.env.writeFile(Sim + u"\\Scenery.cfg"_s, "edited");
    f.setList("\\Scenery.cfg\r\n\\Missing.bgl\r\n");

    f.env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, Answer::Yes);
    expectName(f.env.ui, u"Before"_s);
    f.env.ui.expectMessageStartingWith(u"BackupManager.makeBackup\nError: 53\n"_s, u"Lumivale"_s);
    f.manager->installBackup(u"Saved.zip"_s);
    QVERIFY(f.env.ui.allShown());
    // The current files were not overwritten without the backup the user asked for.
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.cfg"_s), QByteArray("edited"));
}

void TestBackup::installBackupLongArchivePath()
{
    Fixture f;
    const QString root = u"C:\\"_s + QString(80, u'r') + u"\\"_s;
    f.setBackupPath(root);
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, u"Far"_s);
    QVERIFY(f.manager->makeBackup());
    QVERIFY(f.exists(root + u"Far.zip"_s));
    f.env.writeFile(Sim + u"\\Scenery.cfg"_s, "edited");

    f.env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, Answer::No);
    f.manager->installBackup(u"Far.zip"_s);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.cfg"_s), QByteArray("[General]\r\nTitle=now\r\n"));
    QCOMPARE(f.env.readFile(f.env.fs.tempFolder() + u"\\LumivaleTmp.zip"_s), f.env.readFile(root + u"Far.zip"_s));
}

void TestBackup::installMissingBackup_data()
{
    QTest::addColumn<bool>("old");
    QTest::addColumn<QString>("name");
    QTest::newRow("zip backup") << false << u"None.zip"_s;
    QTest::newRow("zip backup named like a folder") << false << u"Folder"_s;
    QTest::newRow("V1.5 backup") << true << u"None"_s;
    QTest::newRow("V1.5 backup named like a file") << true << u"File.zip"_s;
}

void TestBackup::installMissingBackup()
{
    QFETCH(bool, old);
    QFETCH(QString, name);
    Fixture f;
    f.env.writeFile(f.defaultRoot() + u"File.zip"_s, "zip");
    QDir().mkpath(f.env.host(f.defaultRoot() + u"Folder"_s));
    f.env.ui.expectMessage(u"Backup does not exist."_s, u"Could not install backup."_s, Answer::Ok, Icon::Critical);
    if (old)
        f.manager->installBackup_old(name);
    else
        f.manager->installBackup(name);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.cfg"_s), QByteArray("[General]\r\nTitle=now\r\n"));
}

void TestBackup::installBackupOld()
{
    Fixture f;
    const QString folder = f.defaultRoot() + u"V15"_s;
    f.env.writeFile(folder + u"\\Scenery.cfg"_s, "old cfg");
    f.env.writeFile(folder + u"\\Scenery\\World\\x.bgl"_s, "old bgl");
    f.env.writeFile(folder + u"\\Texture\\t.bmp"_s, "old bmp");
    // A line without its leading "\" is relative to the simulator folder too.
    f.setList("\\Scenery.cfg\r\n\r\n\\Scenery\\World\\x.bgl\r\nTexture\\t.bmp\r\n");
    f.env.writeFile(Sim + u"\\Texture\\t.bmp"_s, "current bmp");
    QFile::setPermissions(f.env.host(Sim + u"\\Texture\\t.bmp"_s), QFileDevice::ReadOwner);

    f.env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, Answer::No);
    f.manager->installBackup_old(u"V15"_s);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.cfg"_s), QByteArray("old cfg"));
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery\\World\\x.bgl"_s), QByteArray("old bgl"));
    QCOMPARE(f.env.readFile(Sim + u"\\Texture\\t.bmp"_s), QByteArray("old bmp"));
    QCOMPARE(f.env.ui.processEventsCalls(), 3);

    // A file the folder does not hold ends the restore with the error; what was copied stays.
    f.setList("\\Scenery.cfg\r\n\\NotThere.bgl\r\n");
    f.env.writeFile(Sim + u"\\Scenery.cfg"_s, "edited");
    f.env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, Answer::No);
    f.env.ui.expectMessageStartingWith(u"BackupManager.installBackup_old\nError: 53\n"_s, u"Lumivale"_s);
    f.manager->installBackup_old(u"V15"_s);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.cfg"_s), QByteArray("old cfg"));
}

void TestBackup::deleteBackup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("answer");  // 0 none asked, 1 Yes, 2 No, 3 missing message
    QTest::addColumn<bool>("remains");
    QTest::newRow("yes") << u"A.zip"_s << false << 1 << false;
    QTest::newRow("yes, read-only") << u"A.zip"_s << true << 1 << false;
    QTest::newRow("no") << u"A.zip"_s << false << 2 << true;
    QTest::newRow("missing") << u"B.zip"_s << false << 3 << true;
    QTest::newRow("empty name") << u""_s << false << 0 << true;
}

void TestBackup::deleteBackup()
{
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    QFETCH(int, answer);
    QFETCH(bool, remains);
    Fixture f;
    const QString file = f.defaultRoot() + u"A.zip"_s;
    f.env.writeFile(file, "zip");
    if (readOnly)
        QFile::setPermissions(f.env.host(file), QFileDevice::ReadOwner);
    if (answer == 1 || answer == 2)
        f.env.ui.expectMessage(u"Do you want to delete this backup?"_s, u"Delete backup"_s,
                               answer == 1 ? Answer::Yes : Answer::No);
    else if (answer == 3)
        f.env.ui.expectMessage(u"Backup does not exist."_s, u"Could not delete backup."_s, Answer::Ok, Icon::Critical);
    f.manager->deleteBackup(name);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.exists(file), remains);
}

void TestBackup::switchSimulator()
{
    Fixture f;
    f.env.installSim(2, u"C:\\CFS2"_s);
    f.env.writeFile(u"C:\\CFS2\\Scenery.cfg"_s, "cfs2");
    f.env.writeFile(f.env.programFolder() + u"\\BackupFilesCFS2.db"_s, "\\Scenery.cfg\r\n");
    f.manager->setSimulator(u"C:\\CFS2"_s, 2);
    expectName(f.env.ui, u"Combat"_s);
    QVERIFY(f.manager->makeBackup());
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.zipContents(f.defaultRoot() + u"Combat.zip"_s).keys(), QStringList{u"CFS2/Scenery.cfg"_s});
    QCOMPARE(f.env.readFile(u"C:\\CFS2\\Scenery.CFG.Backup"_s), QByteArray("cfs2"));
    QVERIFY(!f.exists(Sim + u"\\Scenery.CFG.Backup"_s));
}

void TestBackup::backupDialogLists_data()
{
    QTest::addColumn<int>("kind");  // 0 install, 1 install V1.5, 2 delete
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("install lists files") << 0 << QStringList{u"a.zip"_s, u"B.zip"_s, u"notes.txt"_s};
    QTest::newRow("V1.5 lists folders") << 1 << QStringList{u"Old1"_s, u"Old2"_s};
    QTest::newRow("delete lists files") << 2 << QStringList{u"a.zip"_s, u"B.zip"_s, u"notes.txt"_s};
}

void TestBackup::backupDialogLists()
{
    QFETCH(int, kind);
    QFETCH(QStringList, entries);
    Fixture f;
    for (const QString &name : {u"a.zip"_s, u"B.zip"_s, u"notes.txt"_s})
        f.env.writeFile(f.defaultRoot() + name, "x");
    for (const QString &name : {u"Old1"_s, u"Old2"_s})
        QDir().mkpath(f.env.host(f.defaultRoot() + name));

    auto check = [&](auto &dialog) {
        dialog.Form_Load();
        QCOMPARE(dialog.cboBackups, entries);
        QCOMPARE(dialog.cboBackupsIndex, 0);
        dialog.cboBackupsIndex = 1;
        dialog.cmdOK_Click();
        QCOMPARE(dialog.sBackup, entries.at(1));
        QVERIFY(!dialog.visible);
        dialog.cmdCancel_Click();
        QCOMPARE(dialog.sBackup, QString());
        dialog.cboBackupsIndex = 0;
        dialog.cboBackups_DblClick();
        QCOMPARE(dialog.sBackup, entries.at(0));
    };
    if (kind == 2) {
        DeleteBackupDialog dialog(*f.manager);
        check(dialog);
    } else {
        InstallBackupDialog dialog(*f.manager, kind == 1);
        check(dialog);
    }
}

void TestBackup::installCommand_data()
{
    QTest::addColumn<bool>("old");
    QTest::addColumn<bool>("ok");
    QTest::newRow("install, OK") << false << true;
    QTest::newRow("install, Cancel") << false << false;
    QTest::newRow("V1.5, OK") << true << true;
    QTest::newRow("V1.5, Cancel") << true << false;
}

void TestBackup::installCommand()
{
    QFETCH(bool, old);
    QFETCH(bool, ok);
    Fixture f;
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, u"Zipped"_s);
    QVERIFY(f.manager->makeBackup());
    f.env.writeFile(f.defaultRoot() + u"Folder\\Scenery.cfg"_s, "from folder");
    f.env.writeFile(Sim + u"\\Scenery.cfg"_s, "edited");

    f.env.ui.expectForm<InstallBackupDialog>(u"InstallBackupDialog"_s, [&](InstallBackupDialog &dialog) {
        QCOMPARE(dialog.blnOld, old);
        QCOMPARE(dialog.cboBackups, QStringList{old ? u"Folder"_s : u"Zipped.zip"_s});
        if (ok)
            dialog.cmdOK_Click();
        else
            dialog.cmdCancel_Click();
    });
    if (ok)
        f.env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, Answer::No);

    f.busyDuringStatus.clear();
    QStringList display;
    auto show = [&](const QString &text) { display.append(text); };
    if (old)
        BackupCommands::mnuWizardBackup15_Click(*f.manager, show);
    else
        BackupCommands::mnuWizardBackup_Click(*f.manager, show);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(display, (QStringList{old ? u"Install backup V1.5."_s : u"Install backup."_s, u"Ready."_s}));
    QVERIFY(!f.env.ui.busy());
    // The restore runs under the busy pointer.
    QCOMPARE(f.busyDuringStatus.isEmpty(), !ok);
    QVERIFY(!f.busyDuringStatus.contains(false));
    const QByteArray expected = !ok ? QByteArray("edited") : old ? QByteArray("from folder")
                                                                 : QByteArray("[General]\r\nTitle=now\r\n");
    QCOMPARE(f.env.readFile(Sim + u"\\Scenery.cfg"_s), expected);
}

void TestBackup::deleteCommand()
{
    Fixture f;
    f.env.writeFile(f.defaultRoot() + u"One.zip"_s, "1");
    f.env.writeFile(f.defaultRoot() + u"Two.zip"_s, "2");
    f.env.ui.expectForm<DeleteBackupDialog>(u"DeleteBackupDialog"_s, [](DeleteBackupDialog &dialog) {
        dialog.cboBackupsIndex = 1;
        dialog.cboBackups_DblClick();
    });
    f.env.ui.expectMessage(u"Do you want to delete this backup?"_s, u"Delete backup"_s, Answer::Yes);
    QStringList display;
    BackupCommands::mnuWizardDeleteBackup_Click(*f.manager, [&](const QString &t) { display.append(t); });
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(display, (QStringList{u"Delete backup."_s, u"Ready."_s}));
    QCOMPARE(f.env.fs.files(f.defaultRoot()), QStringList{u"One.zip"_s});
}

void TestBackup::makeCommandReportsStatus()
{
    Fixture f;
    f.setList("\\Scenery.cfg\r\n");
    expectName(f.env.ui, u"Cmd"_s);
    QStringList display;
    BackupCommands::mnuBackupMake_Click(*f.manager, [&](const QString &t) { display.append(t); });
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(display, (QStringList{u"Make Backup."_s, u"Ready."_s}));
    QVERIFY(f.exists(f.defaultRoot() + u"Cmd.zip"_s));
}

void TestBackup::fileListDialog_data()
{
    QTest::addColumn<bool>("listExists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("typed");  // "" keeps the text
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("OK unchanged") << true << QByteArray("\\Scenery.cfg\r\n\r\n\\x\xe9.bgl\r\n")
                                  << u"\\Scenery.cfg\r\n\r\n\\x\u00e9.bgl\r\n"_s << true << u""_s
                                  << QByteArray("\\Scenery.cfg\r\n\r\n\\x\xe9.bgl\r\n");
    QTest::newRow("OK edited with bare line feeds")
        << true << QByteArray("\\Scenery.cfg\r\n") << u"\\Scenery.cfg\r\n"_s << true << u"\\a.cfg\n\\b.cfg\n"_s
        << QByteArray("\\a.cfg\r\n\\b.cfg\r\n");
    QTest::newRow("Cancel") << true << QByteArray("\\Scenery.cfg\r\n") << u"\\Scenery.cfg\r\n"_s << false
                            << u"\\other\r\n"_s << QByteArray("\\Scenery.cfg\r\n");
    QTest::newRow("missing list shows empty text") << false << QByteArray() << u""_s << false << u""_s << QByteArray();
}

void TestBackup::fileListDialog()
{
    QFETCH(bool, listExists);
    QFETCH(QByteArray, before);
    QFETCH(QString, shown);
    QFETCH(bool, ok);
    QFETCH(QString, typed);
    QFETCH(QByteArray, after);
    Fixture f;
    if (listExists)
        f.setList(before);
    f.env.ui.expectForm<BackupFileListDialog>(u"BackupFileListDialog"_s, [&](BackupFileListDialog &dialog) {
        QCOMPARE(dialog.txtList, shown);
        if (!typed.isEmpty())
            dialog.txtList = typed;
        if (ok)
            dialog.cmdOK_Click();
        else
            dialog.cmdCancel_Click();
        QVERIFY(!dialog.visible);
    });
    QStringList display;
    BackupCommands::mnuWizardBackupFiles_Click(*f.manager, [&](const QString &t) { display.append(t); });
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(display, (QStringList{u"Show backup file list."_s, u"Ready."_s}));
    QVERIFY(f.exists(f.manager->backupListPath()));
    QCOMPARE(f.env.readFile(f.manager->backupListPath()), after);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
