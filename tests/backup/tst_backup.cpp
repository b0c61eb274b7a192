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
const QString Cfg = Sim + u"\\Scenery.cfg"_s;
const QString CfgCopy = Sim + u"\\Scenery.CFG.Backup"_s;
const QByteArray CfgText = "[General]\r\nTitle=now\r\n";

// One installation with Flight Simulator 2002 in C:\FS2002, its Scenery.cfg, and the temporary
// folder inside the test's own folder.
struct Fixture
{
    Fixture()
    {
        env.installSim(1, Sim);
        QDir().mkpath(env.rootHost() + u"/tmp"_s);
        qputenv("TMPDIR", QFile::encodeName(env.rootHost() + u"/tmp"_s));
        env.writeFile(Cfg, CfgText);
        manager = std::make_unique<BackupManager>(env.context, Sim, 1);
        manager->setStatus([this](const QString &text) {
            statusTexts.append(text);
            busyDuringStatus.append(env.ui.busy());
        });
    }

    void setBackupPath(const QString &path) { env.settings->write(SettingsStore::Root::Machine, Key, u"BackupPath"_s, path); }
    void setList(const QByteArray &bytes) { env.writeFile(env.programFolder() + u"\\BackupFilesFS2002.db"_s, bytes); }
    QString root() const { return env.programFolder() + u"\\EnvBackups\\"_s; }
    QStringList backups() const { return env.fs.files(manager->backupRoot()); }
    bool exists(const QString &windowsPath) const
    {
        const QString host = env.fs.toHost(windowsPath);
        return !host.isEmpty() && QFileInfo::exists(host);
    }
    // Makes a backup under the name typed; the list, when given, is written first.
    bool make(const QString &name, const QByteArray &list = {})
    {
        if (!list.isEmpty())
            setList(list);
        expectName(name);
        return manager->makeBackup();
    }
    void expectName(const QString &name) { env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, name); }
    void expectBackupFirst(Answer answer)
    {
        env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, answer);
    }
    void expectError(const QString &procedure)
    {
        env.ui.expectMessageStartingWith(u"BackupManager.%1\nError: 53\n"_s.arg(procedure), u"Lumivale"_s);
    }
    // What a menu command shows in the status bar.
    template<typename Command>
    QStringList run(Command command)
    {
        QStringList display;
        command(*manager, [&](const QString &text) { display.append(text); });
        return display;
    }

    // Entries of a zip file as "name=content;...", read straight through libzip.
    QString zipContents(const QString &windowsPath) const
    {
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(env.fs.toHost(windowsPath)).constData(), ZIP_RDONLY, &error);
        if (!z)
            return u"<unreadable>"_s;
        QStringList entries;
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
            zip_stat_t st;
            zip_stat_index(z, zip_uint64_t(i), 0, &st);
            QByteArray data(qsizetype(st.size), Qt::Uninitialized);
            zip_file_t *f = zip_fopen_index(z, zip_uint64_t(i), 0);
            zip_fread(f, data.data(), st.size);
            zip_fclose(f);
            entries << QString::fromUtf8(st.name) + u'=' + QString::fromLatin1(data);
        }
        zip_discard(z);
        entries.sort();
        return entries.join(u';');
    }

    TestEnv env;
    std::unique_ptr<BackupManager> manager;
    QStringList statusTexts;
    QList<bool> busyDuringStatus;
};

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void getDir_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("folder and file") << u"\\Scenery\\x.bgl"_s << u"\\Scenery\\"_s;
        QTest::newRow("bare name") << u"x.bgl"_s << u""_s;
        QTest::newRow("full path") << u"C:\\FS2002\\Scenery.cfg"_s << u"C:\\FS2002\\"_s;
        QTest::newRow("trailing backslash") << u"C:\\A\\"_s << u"C:\\A\\"_s;
        QTest::newRow("empty") << u""_s << u""_s;
    }

    void getDir()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(BackupManager::getDir(path), expected);
    }

    void listFileFollowsSimulator_data()
    {
        QTest::addColumn<int>("simType");  // -1: not given
        QTest::addColumn<QString>("selectedSim");  // "": not stored
        QTest::addColumn<QString>("file");
        QTest::newRow("FS2000") << 0 << u""_s << u"BackupFiles.db"_s;
        QTest::newRow("FS2002") << 1 << u""_s << u"BackupFilesFS2002.db"_s;
        QTest::newRow("CFS2") << 2 << u""_s << u"BackupFilesCFS2.db"_s;
        QTest::newRow("given type wins over a stale setting") << 2 << u"1"_s << u"BackupFilesCFS2.db"_s;
        QTest::newRow("setting 0") << -1 << u"0"_s << u"BackupFiles.db"_s;
        QTest::newRow("setting 1") << -1 << u"1"_s << u"BackupFilesFS2002.db"_s;
        QTest::newRow("setting 2") << -1 << u"2"_s << u"BackupFilesCFS2.db"_s;
        QTest::newRow("no setting") << -1 << u""_s << u"BackupFiles.db"_s;
    }

    void listFileFollowsSimulator()
    {
        QFETCH(int, simType);
        QFETCH(QString, selectedSim);
        QFETCH(QString, file);
        Fixture f;
        if (!selectedSim.isEmpty())
            f.env.settings->write(SettingsStore::Root::Machine, Key, u"SelectedSim"_s, selectedSim);
        BackupManager manager(f.env.context, Sim, simType < 0 ? std::nullopt : std::optional<qint32>(simType));
        QCOMPARE(manager.backupListPath(), f.env.programFolder() + u"\\"_s + file);
        // Reading the list creates it empty.
        QVERIFY(!f.exists(manager.backupListPath()));
        QCOMPARE(manager.backupList(), QStringList());
        QVERIFY(f.exists(manager.backupListPath()));
    }

    void backupRoot_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("root");  // "": program folder + "\EnvBackups\"
        QTest::newRow("empty setting") << u""_s << u""_s;
        QTest::newRow("missing parents") << u"C:\\Data\\Sim\\Backups\\"_s << u"C:\\Data\\Sim\\Backups\\"_s;
        QTest::newRow("without closing backslash") << u"C:\\Saves"_s << u"C:\\Saves\\"_s;
    }

    void backupRoot()
    {
        QFETCH(QString, setting);
        QFETCH(QString, root);
        Fixture f;
        f.setBackupPath(setting);
        const QString expected = root.isEmpty() ? f.root() : root;
        QVERIFY(!f.exists(expected));
        QCOMPARE(f.manager->backupRoot(), expected);
        QVERIFY(f.env.fs.folderExists(expected));
    }

    void backupName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("forbidden characters") << u"a:b?c"_s << u"a_b_c.zip"_s;
        QTest::newRow("upper-case extension stays") << u"old.ZIP"_s << u"old.ZIP"_s;
        QTest::newRow("slashes and quotes") << u"a/b\\c\"d<e>f|g*h"_s << u"a_b_c_d_e_f_g_h.zip"_s;
        QTest::newRow("extension without dot") << u"myzip"_s << u"myzip.zip"_s;
        QTest::newRow("short name") << u"z"_s << u"z.zip"_s;
    }

    void backupName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        Fixture f;
        QVERIFY(f.make(typed, "\\Scenery.cfg\r\n"));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.backups(), QStringList{file});
    }

    void makeBackup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listExists");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("zip");  // entries of "<name>.zip"; "": no backup file at all
        QTest::newRow("files below the drive, empty and blank lines skipped")
            << u"Week"_s << true << QByteArray("\\Scenery.cfg\r\n\r\n\\Scenery\\World\\scenery\\x.bgl\r\nFS2002.CFG\r\n   \r\n")
            << u"FS2002/FS2002.CFG=cfg;FS2002/Scenery.cfg=[General]\r\nTitle=now\r\n;FS2002/Scenery/World/scenery/x.bgl=bgl"_s;
        QTest::newRow("list of empty lines") << u"Nothing"_s << true << QByteArray("\r\n\r\n\r\n") << u""_s;
        QTest::newRow("empty list") << u"Nothing"_s << true << QByteArray() << u""_s;
        QTest::newRow("missing list") << u"Nothing"_s << false << QByteArray() << u""_s;
    }

    void makeBackup()
    {
        QFETCH(QString, name);
        QFETCH(bool, listExists);
        QFETCH(QByteArray, list);
        QFETCH(QString, zip);
        Fixture f;
        f.env.writeFile(Sim + u"\\Scenery\\World\\scenery\\x.bgl"_s, "bgl");
        f.env.writeFile(Sim + u"\\FS2002.CFG"_s, "cfg");
        f.env.writeFile(CfgCopy, "stale");
        if (listExists)
            f.setList(list);
        QVERIFY(f.make(name));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.backups(), zip.isEmpty() ? QStringList() : QStringList{name + u".zip"_s});
        if (!zip.isEmpty())
            QCOMPARE(f.zipContents(f.root() + name + u".zip"_s), zip);
        // The Scenery.cfg is copied aside even when there is nothing to zip.
        QCOMPARE(f.env.readFile(CfgCopy), CfgText);
        QVERIFY(f.exists(f.manager->backupListPath()));
        // One status text and one event round per file.
        const int files = zip.isEmpty() ? 0 : int(zip.count(u';')) + 1;
        QCOMPARE(f.env.ui.processEventsCalls(), files);
        QCOMPARE(f.statusTexts.size(), files);
    }

    void makeBackupEmptyNameWritesNothing()
    {
        Fixture f;
        QVERIFY(f.make(QString(), "\\Scenery.cfg\r\n"));
        QVERIFY(f.env.ui.allShown());
        QVERIFY(!f.exists(CfgCopy));
        QVERIFY(!f.exists(f.root()) || f.backups().isEmpty());
    }

    void longPathQuestion_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("ok");
        QTest::newRow("79 characters") << 79 << false << false;
        QTest::newRow("80 characters, OK") << 80 << true << true;
        QTest::newRow("80 characters, Cancel") << 80 << true << false;
    }

    void longPathQuestion()
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
        f.expectName(u"Long"_s);
        if (asked)
            f.env.ui.expectMessage(path + u"\nSorry, the path is longer than 79 characters.\n"
                                          u"Due to limitations of the third party zip control you can not zip longer "
                                          u"filenames.\nDo you want to continue?"_s,
                                   u"Cannot zip file!"_s, ok ? Answer::Ok : Answer::Cancel);
        const bool cancelled = asked && !ok;
        QCOMPARE(f.manager->makeBackup(), !cancelled);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.exists(CfgCopy), !cancelled);
        QCOMPARE(f.zipContents(f.root() + u"Long.zip"_s),
                 cancelled ? u"<unreadable>"_s : u"FS2002/Scenery.cfg="_s + QString::fromLatin1(CfgText) + u";FS2002/"_s + name + u"=long"_s);
    }

    void secondBackupOfOneName_data()
    {
        QTest::addColumn<QByteArray>("secondList");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("zip");
        // A file the list no longer names must not come back with the next restore.
        QTest::newRow("replaces the first") << QByteArray("\\Scenery.cfg\r\n") << false << u"FS2002/Scenery.cfg=changed"_s;
        QTest::newRow("a missing file keeps the first") << QByteArray("\\Scenery.cfg\r\n\\Missing.bgl\r\n") << true
                                                        << u"FS2002/Gone.bgl=gone;FS2002/Scenery.cfg="_s + QString::fromLatin1(CfgText);
    }

    void secondBackupOfOneName()
    {
        QFETCH(QByteArray, secondList);
        QFETCH(bool, fails);
        QFETCH(QString, zip);
        Fixture f;
        f.env.writeFile(Sim + u"\\Gone.bgl"_s, "gone");
        QVERIFY(f.make(u"Backup"_s, "\\Scenery.cfg\r\n\\Gone.bgl\r\n"));
        f.env.writeFile(Cfg, "changed");
        f.setList(secondList);
        f.expectName(u"Backup"_s);
        if (fails)
            f.expectError(u"makeBackup"_s);
        QCOMPARE(f.manager->makeBackup(), !fails);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.zipContents(f.root() + u"Backup.zip"_s), zip);
        QCOMPARE(f.env.readFile(CfgCopy), fails ? CfgText : QByteArray("changed"));
    }

    void installBackup_data()
    {
        QTest::addColumn<bool>("backupFirst");
        QTest::addColumn<QString>("newName");  // name typed for the backup first
        QTest::addColumn<bool>("failing");  // that backup fails on a file the list names but that is gone
        QTest::addColumn<QString>("root");  // "": the default backup folder
        QTest::addColumn<QStringList>("backupsAfter");
        QTest::newRow("no backup first") << false << u""_s << false << u""_s << QStringList{u"Saved.zip"_s};
        QTest::newRow("yes, then empty name") << true << u""_s << false << u""_s << QStringList{u"Saved.zip"_s};
        QTest::newRow("yes, then a name") << true << u"Before"_s << false << u""_s
                                          << QStringList{u"Before.zip"_s, u"Saved.zip"_s};
        // The current files are not overwritten without the backup the user asked for.
        QTest::newRow("backup first fails") << true << u"Before"_s << true << u""_s << QStringList{u"Saved.zip"_s};
        QTest::newRow("archive path over 79 characters")
            << false << u""_s << false << u"C:\\"_s + QString(80, u'r') + u"\\"_s << QStringList{u"Saved.zip"_s};
    }

    void installBackup()
    {
        QFETCH(bool, backupFirst);
        QFETCH(QString, newName);
        QFETCH(bool, failing);
        QFETCH(QString, root);
        QFETCH(QStringList, backupsAfter);
        Fixture f;
        if (!root.isEmpty())
            f.setBackupPath(root);
        const QString bgl = Sim + u"\\Scenery\\World\\x.bgl"_s;
        f.env.writeFile(bgl, "saved bgl");
        QVERIFY(f.make(u"Saved"_s, "\\Scenery.cfg\r\n\\Scenery\\World\\x.bgl\r\n"));
        f.env.writeFile(Cfg, "edited");
        QVERIFY(QDir(f.env.host(Sim + u"\\Scenery\\World"_s)).removeRecursively());

        f.expectBackupFirst(backupFirst ? Answer::Yes : Answer::No);
        if (backupFirst)
            f.expectName(newName);
        if (failing)
            f.expectError(u"makeBackup"_s);
        else if (!newName.isEmpty())
            f.setList("\\Scenery.cfg\r\n");
        f.manager->installBackup(u"Saved.zip"_s);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), failing ? QByteArray("edited") : CfgText);
        QCOMPARE(f.exists(bgl), !failing);
        QCOMPARE(f.backups(), backupsAfter);
        if (!newName.isEmpty() && !failing)
            QCOMPARE(f.zipContents(f.root() + newName + u".zip"_s), u"FS2002/Scenery.cfg=edited"_s);
        // An archive on a long path is read from a copy in the temporary folder.
        if (!root.isEmpty())
            QCOMPARE(f.env.readFile(f.env.fs.tempFolder() + u"\\LumivaleTmp.zip"_s), f.env.readFile(root + u"Saved.zip"_s));
    }

    void installMissingBackup_data()
    {
        QTest::addColumn<bool>("old");
        QTest::addColumn<QString>("name");
        QTest::newRow("zip backup") << false << u"None.zip"_s;
        QTest::newRow("zip backup named like a folder") << false << u"Folder"_s;
        QTest::newRow("V1.5 backup") << true << u"None"_s;
        QTest::newRow("V1.5 backup named like a file") << true << u"File.zip"_s;
    }

    void installMissingBackup()
    {
        QFETCH(bool, old);
        QFETCH(QString, name);
        Fixture f;
        f.env.writeFile(f.root() + u"File.zip"_s, "zip");
        QDir().mkpath(f.env.host(f.root() + u"Folder"_s));
        f.env.ui.expectMessage(u"Backup does not exist."_s, u"Could not install backup."_s, Answer::Ok, Icon::Critical);
        if (old)
            f.manager->installBackup_old(name);
        else
            f.manager->installBackup(name);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), CfgText);
    }

    void installBackupOld()
    {
        Fixture f;
        const QString folder = f.root() + u"V15"_s;
        f.env.writeFile(folder + u"\\Scenery.cfg"_s, "old cfg");
        f.env.writeFile(folder + u"\\Scenery\\World\\x.bgl"_s, "old bgl");
        f.env.writeFile(folder + u"\\Texture\\t.bmp"_s, "old bmp");
        // A line without its leading "\" is relative to the simulator folder too.
        f.setList("\\Scenery.cfg\r\n\r\n\\Scenery\\World\\x.bgl\r\nTexture\\t.bmp\r\n");
        f.env.writeFile(Sim + u"\\Texture\\t.bmp"_s, "current bmp");
        QFile::setPermissions(f.env.host(Sim + u"\\Texture\\t.bmp"_s), QFileDevice::ReadOwner);
        f.expectBackupFirst(Answer::No);
        f.manager->installBackup_old(u"V15"_s);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg) + f.env.readFile(Sim + u"\\Scenery\\World\\x.bgl"_s)
                     + f.env.readFile(Sim + u"\\Texture\\t.bmp"_s),
                 QByteArray("old cfgold bglold bmp"));
        QCOMPARE(f.env.ui.processEventsCalls(), 3);

        // A file the folder does not hold ends the restore with the error; what was copied stays.
        f.setList("\\Scenery.cfg\r\n\\NotThere.bgl\r\n");
        f.env.writeFile(Cfg, "edited");
        f.expectBackupFirst(Answer::No);
        f.expectError(u"installBackup_old"_s);
        f.manager->installBackup_old(u"V15"_s);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), QByteArray("old cfg"));
    }

    void deleteBackup_data()
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

    void deleteBackup()
    {
        QFETCH(QString, name);
        QFETCH(bool, readOnly);
        QFETCH(int, answer);
        QFETCH(bool, remains);
        Fixture f;
        const QString file = f.root() + u"A.zip"_s;
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

    void switchSimulator()
    {
        Fixture f;
        f.env.installSim(2, u"C:\\CFS2"_s);
        f.env.writeFile(u"C:\\CFS2\\Scenery.cfg"_s, "cfs2");
        f.env.writeFile(f.env.programFolder() + u"\\BackupFilesCFS2.db"_s, "\\Scenery.cfg\r\n");
        f.manager->setSimulator(u"C:\\CFS2"_s, 2);
        QVERIFY(f.make(u"Combat"_s));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.zipContents(f.root() + u"Combat.zip"_s), u"CFS2/Scenery.cfg=cfs2"_s);
        QCOMPARE(f.env.readFile(u"C:\\CFS2\\Scenery.CFG.Backup"_s), QByteArray("cfs2"));
        QVERIFY(!f.exists(CfgCopy));
    }

    void backupDialogLists_data()
    {
        QTest::addColumn<int>("kind");  // 0 install, 1 install V1.5, 2 delete
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("install lists files") << 0 << QStringList{u"a.zip"_s, u"B.zip"_s, u"notes.txt"_s};
        QTest::newRow("V1.5 lists folders") << 1 << QStringList{u"Old1"_s, u"Old2"_s};
        QTest::newRow("delete lists files") << 2 << QStringList{u"a.zip"_s, u"B.zip"_s, u"notes.txt"_s};
    }

    void backupDialogLists()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, entries);
        Fixture f;
        for (const QString &name : {u"a.zip"_s, u"B.zip"_s, u"notes.txt"_s})
            f.env.writeFile(f.root() + name, "x");
        for (const QString &name : {u"Old1"_s, u"Old2"_s})
            QDir().mkpath(f.env.host(f.root() + name));
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

    void installCommand_data()
    {
        QTest::addColumn<bool>("old");
        QTest::addColumn<bool>("ok");
        QTest::newRow("install, OK") << false << true;
        QTest::newRow("install, Cancel") << false << false;
        QTest::newRow("V1.5, OK") << true << true;
        QTest::newRow("V1.5, Cancel") << true << false;
    }

    void installCommand()
    {
        QFETCH(bool, old);
        QFETCH(bool, ok);
        Fixture f;
        QVERIFY(f.make(u"Zipped"_s, "\\Scenery.cfg\r\n"));
        f.env.writeFile(f.root() + u"Folder\\Scenery.cfg"_s, "from folder");
        f.env.writeFile(Cfg, "edited");
        f.env.ui.expectForm<InstallBackupDialog>(u"InstallBackupDialog"_s, [&](InstallBackupDialog &dialog) {
            QCOMPARE(dialog.blnOld, old);
            QCOMPARE(dialog.cboBackups, QStringList{old ? u"Folder"_s : u"Zipped.zip"_s});
            if (ok)
                dialog.cmdOK_Click();
            else
                dialog.cmdCancel_Click();
        });
        if (ok)
            f.expectBackupFirst(Answer::No);
        f.busyDuringStatus.clear();
        const QStringList display = f.run(old ? BackupCommands::mnuWizardBackup15_Click : BackupCommands::mnuWizardBackup_Click);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(display, (QStringList{old ? u"Install backup V1.5."_s : u"Install backup."_s, u"Ready."_s}));
        QVERIFY(!f.env.ui.busy());
        // The restore runs under the busy pointer.
        QCOMPARE(f.busyDuringStatus.isEmpty(), !ok);
        QVERIFY(!f.busyDuringStatus.contains(false));
        QCOMPARE(f.env.readFile(Cfg), !ok ? QByteArray("edited") : old ? QByteArray("from folder") : CfgText);
    }

    void deleteAndMakeCommands()
    {
        Fixture f;
        f.env.writeFile(f.root() + u"One.zip"_s, "1");
        f.env.writeFile(f.root() + u"Two.zip"_s, "2");
        f.env.ui.expectForm<DeleteBackupDialog>(u"DeleteBackupDialog"_s, [](DeleteBackupDialog &dialog) {
            dialog.cboBackupsIndex = 1;
            dialog.cboBackups_DblClick();
        });
        f.env.ui.expectMessage(u"Do you want to delete this backup?"_s, u"Delete backup"_s, Answer::Yes);
        QCOMPARE(f.run(BackupCommands::mnuWizardDeleteBackup_Click), (QStringList{u"Delete backup."_s, u"Ready."_s}));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.backups(), QStringList{u"One.zip"_s});

        f.setList("\\Scenery.cfg\r\n");
        f.expectName(u"Cmd"_s);
        QCOMPARE(f.run(BackupCommands::mnuBackupMake_Click), (QStringList{u"Make Backup."_s, u"Ready."_s}));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.backups(), (QStringList{u"Cmd.zip"_s, u"One.zip"_s}));
    }

    void fileListDialog_data()
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
        QTest::newRow("OK edited with bare line feeds") << true << QByteArray("\\Scenery.cfg\r\n") << u"\\Scenery.cfg\r\n"_s
                                                        << true << u"\\a.cfg\n\\b.cfg\n"_s
                                                        << QByteArray("\\a.cfg\r\n\\b.cfg\r\n");
        QTest::newRow("Cancel") << true << QByteArray("\\Scenery.cfg\r\n") << u"\\Scenery.cfg\r\n"_s << false
                                << u"\\other\r\n"_s << QByteArray("\\Scenery.cfg\r\n");
        QTest::newRow("missing list shows empty text") << false << QByteArray() << u""_s << false << u""_s << QByteArray();
    }

    void fileListDialog()
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
        QCOMPARE(f.run(BackupCommands::mnuWizardBackupFiles_Click), (QStringList{u"Show backup file list."_s, u"Ready."_s}));
        QVERIFY(f.env.ui.allShown());
        QVERIFY(f.exists(f.manager->backupListPath()));
        QCOMPARE(f.env.readFile(f.manager->backupListPath()), after);
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
