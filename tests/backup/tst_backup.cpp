// Backups of the simulator's listed files: made as zip files in the backup root, installed from a
// zip file or from a folder of version 1.5, deleted, and run from the "Backup" menu.

#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"
#include "platform/archive.h"
#include "platform/lmerror.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

#include <zip.h>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;

Q_DECLARE_METATYPE(std::optional<qint32>)
Q_DECLARE_METATYPE(UiPort::Answer)

namespace {

const QString Key = u"SOFTWARE\\Tarnwick\\Lumivale"_s;
const QString Sim = u"C:\\FS2002"_s;
const QString Cfg = Sim + u"\\Scenery.cfg"_s;
const QString CfgCopy = Sim + u"\\Scenery.CFG.Backup"_s;
const QByteArray CfgText = "[General]\r\nTitle=now\r\n";
// Joined to "C:\FS2002\" these give paths of 79 and 80 characters.
const QString Name79 = QString(65, u'n') + u".bgl"_s;
const QString Name80 = QString(66, u'n') + u".bgl"_s;

// Flight Simulator 2002 in C:\FS2002 with its Scenery.cfg; the temporary folder inside the test's
// own folder.
struct Fixture
{
    Fixture()
    {
        env.installSim(1, Sim);
        QDir().mkpath(env.rootHost() + u"/tmp"_s);
        qputenv("TMPDIR", QFile::encodeName(env.rootHost() + u"/tmp"_s));
        env.writeFile(Cfg, CfgText);
        manager.setStatus([this](const QString &) { busy << env.ui.busy(); });
    }

    void setBackupPath(const QString &path)
    {
        env.settings->write(SettingsStore::Root::Machine, Key, u"BackupPath"_s, path);
    }
    void setList(const QStringList &lines) { env.writeFile(manager.backupListPath(), windowsText(lines)); }
    QString root() const { return env.programFolder() + u"\\EnvBackups\\"_s; }
    QStringList backups() const { return env.fs.files(manager.backupRoot()); }
    bool exists(const QString &path) const { return QFileInfo::exists(env.host(path)); }
    // The files of a zip file as "folder\name", sorted; none when it cannot be read.
    QStringList entries(const QString &zip) const
    {
        Unzip unzip(env.fs);
        unzip.archive = zip;
        QStringList names;
        unzip.FileInfo = [&](const QString &name, const QString &folder) { names << folder + name; };
        try {
            unzip.listEntries();
        } catch (const LmError &) {
            return {};
        }
        names.sort();
        return names;
    }
    void expectName(const QString &name)
    {
        env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, name);
    }
    void expectBackupFirst(Answer answer)
    {
        env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, answer);
    }
    void expectError(const QString &procedure)
    {
        env.ui.expectMessageStartingWith(u"BackupManager.%1\nError: 53\n"_s.arg(procedure), u"Lumivale"_s);
    }
    void expectMissing(const QString &title)
    {
        env.ui.expectMessage(u"Backup does not exist."_s, title, Answer::Ok, UiPort::Icon::Critical);
    }
    bool make(const QString &name, const QStringList &list)
    {
        setList(list);
        expectName(name);
        return manager.makeBackup().isDone();
    }

    TestEnv env;
    BackupManager manager{env.context, Sim, 1};
    QList<bool> busy; // the busy pointer at each status text
};

// The backup root as the install tests find it: Saved.zip of Scenery.cfg "saved cfg" and
// Scenery\World\x.bgl, the version 1.5 folder V15, a file File.zip and a folder Folder; since the
// backup the Scenery.cfg was edited, the World folder deleted and Texture\t.bmp made read-only.
struct InstallFixture : Fixture
{
    InstallFixture()
    {
        env.writeFile(Cfg, "saved cfg");
        env.writeFile(Bgl, "saved bgl");
        QVERIFY(make(u"Saved"_s, {u"\\Scenery.cfg"_s, u"\\Scenery\\World\\x.bgl"_s}));
        env.writeFile(root() + u"V15\\Scenery.cfg"_s, "old cfg");
        env.writeFile(root() + u"V15\\Scenery\\World\\x.bgl"_s, "old bgl");
        env.writeFile(root() + u"V15\\Texture\\t.bmp"_s, "old bmp");
        env.writeFile(root() + u"File.zip"_s, "zip");
        QDir().mkpath(env.host(root() + u"Folder"_s));
        env.writeFile(Cfg, "edited");
        QDir(env.host(Sim + u"\\Scenery\\World"_s)).removeRecursively();
        env.writeFile(Bmp, "current bmp");
        QFile::setPermissions(env.host(Bmp), QFileDevice::ReadOwner);
    }

    const QString Bgl = Sim + u"\\Scenery\\World\\x.bgl"_s;
    const QString Bmp = Sim + u"\\Texture\\t.bmp"_s;
};

// A zip file as another program may make it: every entry holding "restored".
void writeZip(const QString &hostPath, const QByteArrayList &entries)
{
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(hostPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(z);
    for (const QByteArray &entry : entries)
        QVERIFY(zip_file_add(z, entry.constData(), zip_source_buffer(z, "restored", 8, 0), 0) >= 0);
    QCOMPARE(zip_close(z), 0);
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    // The list file follows the simulator; the backup root is made, with its missing parents, on
    // first use.
    void listFileAndRoot_data()
    {
        QTest::addColumn<std::optional<qint32>>("simType");
        QTest::addColumn<QString>("selectedSim");
        QTest::addColumn<QString>("backupPath");
        QTest::addColumn<QString>("listFile");
        QTest::addColumn<QString>("root"); // "" for the program folder's EnvBackups
        QTest::newRow("nothing stored")
            << std::optional<qint32>() << QString() << QString() << u"BackupFiles.db"_s << QString();
        QTest::newRow("the type given over the one stored")
            << std::optional<qint32>(0) << u"1"_s << u"C:\\Data\\Sim\\Backups\\"_s << u"BackupFiles.db"_s
            << u"C:\\Data\\Sim\\Backups\\"_s;
        QTest::newRow("FS2002 stored, a root without its closing backslash")
            << std::optional<qint32>() << u"1"_s << u"C:\\Saves"_s << u"BackupFilesFS2002.db"_s
            << u"C:\\Saves\\"_s;
    }

    void listFileAndRoot()
    {
        QFETCH(std::optional<qint32>, simType);
        QFETCH(QString, selectedSim);
        QFETCH(QString, backupPath);
        QFETCH(QString, listFile);
        QFETCH(QString, root);
        Fixture f;
        f.env.settings->write(SettingsStore::Root::Machine, Key, u"SelectedSim"_s, selectedSim);
        f.setBackupPath(backupPath);
        BackupManager manager(f.env.context, Sim, simType);
        const QString expectedRoot = root.isEmpty() ? f.root() : root;
        QVERIFY(!f.exists(expectedRoot));
        QCOMPARE(manager.backupListPath(), f.env.programFolder() + u'\\' + listFile);
        QCOMPARE(manager.backupRoot(), expectedRoot);
        QVERIFY(f.env.fs.folderExists(expectedRoot));
        QCOMPARE(manager.backupList(), QStringList());
        QVERIFY(f.exists(manager.backupListPath())); // reading the list makes it, empty
        manager.setSimulator(u"C:\\CFS2"_s, 2);
        QCOMPARE(manager.backupListPath(), f.env.programFolder() + u"\\BackupFilesCFS2.db"_s);
    }

    // The name typed, made a file name, with ".zip" unless it ends so in any letter case.
    void backupFileNames()
    {
        QCOMPARE(BackupManager::backupFileName(u"a:b"_s), u"a_b.zip"_s);
        QCOMPARE(BackupManager::backupFileName(u"old.Zip"_s), u"old.Zip"_s);
    }

    // Each line of the list names a file below the simulator folder, with or without the leading
    // "\"; blank lines are passed over. The Scenery.cfg is copied beside itself as well.
    void makeBackup()
    {
        Fixture f;
        f.env.writeFile(Sim + u"\\Scenery\\World\\x.bgl"_s, "x");
        f.env.writeFile(Sim + u"\\FS2002.CFG"_s, "x");
        f.env.writeFile(CfgCopy, "stale");
        QVERIFY(f.make(u"Week"_s, {u"\\Scenery.cfg"_s, QString(), u"\\Scenery\\World\\x.bgl"_s,
                                   u"FS2002.CFG"_s, u"   "_s}));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.backups(), QStringList{u"Week.zip"_s});
        QCOMPARE(f.entries(f.root() + u"Week.zip"_s),
                 (QStringList{u"FS2002\\FS2002.CFG"_s, u"FS2002\\Scenery.cfg"_s,
                              u"FS2002\\Scenery\\World\\x.bgl"_s}));
        QCOMPARE(f.env.readFile(CfgCopy), CfgText);
    }

    // Without files to list there is no zip file, but the Scenery.cfg is still copied; without a
    // name nothing at all is done.
    void nothingToZip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("copy"); // Scenery.CFG.Backup afterwards
        QTest::newRow("empty lines only") << u"Nothing"_s << CfgText;
        QTest::newRow("no name") << QString() << QByteArray("stale");
    }

    void nothingToZip()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, copy);
        Fixture f;
        f.env.writeFile(CfgCopy, "stale");
        f.setList({QString(), QString()});
        f.expectName(name);
        QVERIFY(f.manager.makeBackup().isDone());
        QCOMPARE(f.backups(), QStringList());
        QCOMPARE(f.env.readFile(CfgCopy), copy);
    }

    // The zip component of the earlier versions took paths of up to 79 characters; a longer one is
    // asked about, and Cancel stops the backup before anything is written.
    void longPaths_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("79 characters") << Name79 << false << Answer::Ok;
        QTest::newRow("80 characters, OK") << Name80 << true << Answer::Ok;
        QTest::newRow("80 characters, Cancel") << Name80 << true << Answer::Cancel;
    }

    void longPaths()
    {
        QFETCH(QString, file);
        QFETCH(bool, asked);
        QFETCH(Answer, answer);
        Fixture f;
        f.env.writeFile(Sim + u'\\' + file, "x");
        f.env.writeFile(CfgCopy, "stale");
        f.setList({u"\\Scenery.cfg"_s, u'\\' + file});
        f.expectName(u"Long"_s);
        if (asked)
            f.env.ui.expectMessage(Zip::longPathMessage(Sim + u'\\' + file), u"Cannot zip file!"_s, answer);
        const Outcome made = f.manager.makeBackup();
        QVERIFY(f.env.ui.allShown());
        const bool stopped = answer == Answer::Cancel;
        QCOMPARE(made.isStopped(), stopped);
        QCOMPARE(f.backups(), stopped ? QStringList() : QStringList{u"Long.zip"_s});
        QCOMPARE(f.env.readFile(CfgCopy), stopped ? QByteArray("stale") : CfgText);
    }

    // A simulator without a Scenery.cfg yet is backed up all the same, without a copy of it.
    void noSceneryCfgYet()
    {
        Fixture f;
        QFile::remove(f.env.host(Cfg));
        f.env.writeFile(Sim + u"\\FS2002.CFG"_s, "x");
        QVERIFY(f.make(u"First"_s, {u"\\FS2002.CFG"_s}));
        QCOMPARE(f.entries(f.root() + u"First.zip"_s), QStringList{u"FS2002\\FS2002.CFG"_s});
        QVERIFY(!f.exists(CfgCopy));
    }

    // A backup under a taken name replaces the earlier one only when complete: a file the list no
    // longer names must not come back with the next restore, and a failed backup keeps the first.
    void sameNameAgain_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("replaces the first")
            << QStringList{u"\\Scenery.cfg"_s} << QStringList{u"FS2002\\Scenery.cfg"_s};
        QTest::newRow("a failing one keeps the first")
            << QStringList{u"\\Scenery.cfg"_s, u"\\Missing.bgl"_s}
            << QStringList{u"FS2002\\FS2002.CFG"_s, u"FS2002\\Scenery.cfg"_s};
    }

    void sameNameAgain()
    {
        QFETCH(QStringList, list);
        QFETCH(QStringList, entries);
        Fixture f;
        f.env.writeFile(Sim + u"\\FS2002.CFG"_s, "x");
        QVERIFY(f.make(u"Twice"_s, {u"\\Scenery.cfg"_s, u"\\FS2002.CFG"_s}));
        const bool fails = list.size() > 1;
        f.setList(list);
        f.expectName(u"Twice"_s);
        if (fails)
            f.expectError(u"makeBackup"_s);
        QCOMPARE(f.manager.makeBackup().isDone(), !fails);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.entries(f.root() + u"Twice.zip"_s), entries);
    }

    // Before a zip backup is restored the user may make a backup of the current files; the current
    // files are not overwritten without the backup asked for.
    void installBackup_data()
    {
        QTest::addColumn<Answer>("backUpFirst");
        QTest::addColumn<QString>("name"); // of the backup first
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<QStringList>("backups");
        const QStringList cfg{u"\\Scenery.cfg"_s};
        const QStringList files{u"File.zip"_s, u"Saved.zip"_s};
        QTest::newRow("no backup first") << Answer::No << QString() << cfg << true << files;
        QTest::newRow("Yes, then a name") << Answer::Yes << u"Before"_s << cfg << true
                                          << QStringList{u"Before.zip"_s, u"File.zip"_s, u"Saved.zip"_s};
        QTest::newRow("a backup first that fails")
            << Answer::Yes << u"Fails"_s << QStringList{u"\\Scenery.cfg"_s, u"\\Gone.bgl"_s} << false
            << files;
    }

    void installBackup()
    {
        QFETCH(Answer, backUpFirst);
        QFETCH(QString, name);
        QFETCH(QStringList, list);
        QFETCH(bool, restored);
        QFETCH(QStringList, backups);
        InstallFixture f;
        f.setList(list);
        f.expectBackupFirst(backUpFirst);
        if (backUpFirst == Answer::Yes)
            f.expectName(name);
        if (!restored)
            f.expectError(u"makeBackup"_s);
        QCOMPARE(f.manager.installBackup(u"Saved.zip"_s).isDone(), restored);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.backups(), backups);
        QCOMPARE(f.env.readFile(Cfg), restored ? QByteArray("saved cfg") : QByteArray("edited"));
        QCOMPARE(f.env.readFile(f.Bgl), restored ? QByteArray("saved bgl") : QByteArray());
        QCOMPARE(f.env.readFile(f.Bmp), QByteArray("current bmp"));
        if (!name.isEmpty() && restored)
            QCOMPARE(f.entries(f.root() + name + u".zip"_s), QStringList{u"FS2002\\Scenery.cfg"_s});
    }

    // A version 1.5 backup is a folder; each listed file is copied back, read-only or not, and a
    // listed file it lacks ends the restore, what was copied staying copied.
    void installOldBackup_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QByteArray>("cfg");
        QTest::addColumn<QByteArray>("bgl");
        QTest::addColumn<QByteArray>("bmp");
        QTest::newRow("every listed file")
            << QStringList{u"\\Scenery.cfg"_s, QString(), u"\\Scenery\\World\\x.bgl"_s, u"Texture\\t.bmp"_s}
            << QByteArray("old cfg") << QByteArray("old bgl") << QByteArray("old bmp");
        QTest::newRow("a file it lacks")
            << QStringList{u"\\Scenery.cfg"_s, u"\\NotThere.bgl"_s, u"\\Texture\\t.bmp"_s}
            << QByteArray("old cfg") << QByteArray() << QByteArray("current bmp");
    }

    void installOldBackup()
    {
        QFETCH(QStringList, list);
        QFETCH(QByteArray, cfg);
        QFETCH(QByteArray, bgl);
        QFETCH(QByteArray, bmp);
        InstallFixture f;
        f.setList(list);
        f.expectBackupFirst(Answer::No);
        if (bmp == "current bmp")
            f.expectError(u"installBackup_old"_s);
        f.manager.installBackup_old(u"V15"_s);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), cfg);
        QCOMPARE(f.env.readFile(f.Bgl), bgl);
        QCOMPARE(f.env.readFile(f.Bmp), bmp);
    }

    void missingBackup_data()
    {
        QTest::addColumn<bool>("oldForm");
        QTest::addColumn<QString>("name");
        QTest::newRow("no such zip file") << false << u"None.zip"_s;
        QTest::newRow("no such folder") << true << u"None"_s;
    }

    void missingBackup()
    {
        QFETCH(bool, oldForm);
        QFETCH(QString, name);
        InstallFixture f;
        f.expectMissing(u"Could not install backup."_s);
        const Outcome outcome = oldForm ? f.manager.installBackup_old(name) : f.manager.installBackup(name);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(outcome.isFailed());
        QCOMPARE(f.env.readFile(Cfg), QByteArray("edited"));
    }

    // A list line that leads out of the simulator folder would make a backup that cannot be
    // restored, or restore a V1.5 backup's file over one elsewhere: the list is refused as a whole
    // before anything is written.
    void listLinesOutsideAreRefused_data()
    {
        QTest::addColumn<bool>("oldForm");
        QTest::addColumn<QString>("line");
        QTest::newRow("backup, a \"..\" part") << false << u"..\\V15\\Scenery.cfg"_s;
        QTest::newRow("V1.5 restore, a \"..\" part") << true << u"\\Scenery\\..\\..\\V15\\Scenery.cfg"_s;
    }

    void listLinesOutsideAreRefused()
    {
        QFETCH(bool, oldForm);
        QFETCH(QString, line);
        InstallFixture f;
        f.setList({u"\\Scenery.cfg"_s, line});
        if (!oldForm)
            f.expectName(u"Outside"_s);
        f.env.ui.expectMessageStartingWith(
            u"BackupManager.%1\nError: %2\nNothing was done, because these lines of %3 name files outside "
            "C:\\FS2002: %4"_s.arg(oldForm ? u"installBackup_old"_s : u"makeBackup"_s)
                .arg(LmError::UserBase + ArchiveError::EntriesRefused)
                .arg(f.manager.backupListPath(), line),
            u"Lumivale"_s);
        const Outcome outcome = oldForm ? f.manager.installBackup_old(u"V15"_s) : f.manager.makeBackup();
        QVERIFY(f.env.ui.allShown());
        QVERIFY(outcome.isFailed());
        QVERIFY(!f.exists(f.root() + u"Outside.zip"_s));
        QVERIFY(!f.exists(u"C:\\V15"_s));
        QCOMPARE(f.env.readFile(Cfg), QByteArray("edited"));
    }

    // The backup is built aside in a folder of its own, which goes afterwards: what another user
    // left in the temporary folder under the name used there is neither used nor changed.
    void othersTemporaryFileUntouched()
    {
        Fixture f;
        const QString temp = f.env.rootHost() + u"/tmp/"_s;
        QFile other(temp + u"LumivaleBackup.zip"_s);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("another user's");
        other.close();
        QVERIFY(QFile::setPermissions(other.fileName(), QFileDevice::ReadOwner));

        QVERIFY(f.make(u"Saved"_s, {u"\\Scenery.cfg"_s}));
        QCOMPARE(f.entries(f.root() + u"Saved.zip"_s), QStringList{u"FS2002\\Scenery.cfg"_s});
        QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{u"LumivaleBackup.zip"_s});
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), QByteArray("another user's"));
    }

    // A name from the command line names a backup of the backup root, nothing else: a path, a
    // pattern or ".." is refused before anything, the backup root among it, is touched.
    void namesStayInTheBackupRoot_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("name");
        QTest::newRow("delete the library file") << u"deleteBackup"_s << u"..\\Lumivale.db5"_s;
        QTest::newRow("install from outside") << u"installBackup"_s << u"..\\outside.zip"_s;
        QTest::newRow("install its parent as a V1.5 backup") << u"installBackup_old"_s << u".."_s;
    }

    void namesStayInTheBackupRoot()
    {
        QFETCH(QString, procedure);
        QFETCH(QString, name);
        Fixture f;
        f.env.writeFile(f.env.programFolder() + u"\\Lumivale.db5"_s, "library");
        f.env.writeFile(f.env.programFolder() + u"\\outside.zip"_s, "zip");
        f.setList({u"\\Scenery.cfg"_s});
        f.env.ui.expectMessageStartingWith(
            u"BackupManager.%1\nError: 52\nBad file name: \"%2\""_s.arg(procedure, name), u"Lumivale"_s);
        const auto run = [&] {
            if (procedure == u"deleteBackup"_s)
                return f.manager.deleteBackup(name);
            if (procedure == u"installBackup"_s)
                return f.manager.installBackup(name);
            return f.manager.installBackup_old(name);
        };
        const Outcome outcome = run();
        QVERIFY(f.env.ui.allShown());
        QVERIFY(outcome.isFailed());
        QCOMPARE(f.env.readFile(f.env.programFolder() + u"\\Lumivale.db5"_s), QByteArray("library"));
        QCOMPARE(f.env.readFile(Cfg), CfgText);
        QVERIFY(!f.exists(f.root()));
    }

    // A backup holds only files of the simulator folder. One holding anything else, made by hand or
    // by another program, is refused as a whole, before a single file is restored.
    void foreignEntriesRefuseTheBackup()
    {
        Fixture f;
        writeZip(f.env.host(f.manager.backupRoot() + u"Foreign.zip"_s),
                 {"FS2002/Scenery.cfg", "windows/system32/evil.dll"});
        f.expectBackupFirst(Answer::No);
        f.env.ui.expectMessageStartingWith(
            u"BackupManager.installBackup\nError: %1\nNothing was extracted"_s.arg(
                LmError::UserBase + ArchiveError::EntriesRefused),
            u"Lumivale"_s);
        QVERIFY(f.manager.installBackup(u"Foreign.zip"_s).isFailed());
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), CfgText);
        QVERIFY(!f.exists(u"C:\\windows"_s));
    }

    void deleteBackup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("asked"); // else the message that it does not exist, or nothing without a name
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Yes, a read-only one") << u"A.zip"_s << true << Answer::Yes;
        QTest::newRow("No") << u"A.zip"_s << true << Answer::No;
        QTest::newRow("missing") << u"B.zip"_s << false << Answer::Ok;
        QTest::newRow("no name") << QString() << false << Answer::Ok;
    }

    void deleteBackup()
    {
        QFETCH(QString, name);
        QFETCH(bool, asked);
        QFETCH(Answer, answer);
        Fixture f;
        const QString file = f.root() + u"A.zip"_s;
        f.env.writeFile(file, "zip");
        QFile::setPermissions(f.env.host(file), QFileDevice::ReadOwner);
        if (asked)
            f.env.ui.expectMessage(u"Do you want to delete this backup?"_s, u"Delete backup"_s, answer);
        else if (!name.isEmpty())
            f.expectMissing(u"Could not delete backup."_s);
        f.manager.deleteBackup(name);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.exists(file), answer != Answer::Yes);
    }

    // The menu commands run the operation on the name their dialog gives back, between their status
    // texts; restores run under the busy pointer.
    void installFromTheMenu_data()
    {
        QTest::addColumn<bool>("oldForm");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("cfg");
        QTest::newRow("a zip backup") << false << true << CfgText;
        QTest::newRow("Cancel") << false << false << QByteArray("edited");
        QTest::newRow("a version 1.5 backup") << true << true << QByteArray("from folder");
    }

    void installFromTheMenu()
    {
        QFETCH(bool, oldForm);
        QFETCH(bool, ok);
        QFETCH(QByteArray, cfg);
        Fixture f;
        QVERIFY(f.make(u"Zipped"_s, {u"\\Scenery.cfg"_s}));
        f.env.writeFile(f.root() + u"Folder\\Scenery.cfg"_s, "from folder");
        f.env.writeFile(Cfg, "edited");
        f.busy.clear();
        f.env.ui.expectForm<InstallBackupDialog>(u"InstallBackupDialog"_s, [ok](InstallBackupDialog &dialog) {
            dialog.cboBackupsIndex = 0;
            if (ok)
                dialog.cmdOK_Click();
            else
                dialog.cmdCancel_Click();
        });
        if (ok)
            f.expectBackupFirst(Answer::No);
        QStringList shown;
        const auto command =
            oldForm ? BackupCommands::mnuWizardBackup15_Click : BackupCommands::mnuWizardBackup_Click;
        command(f.manager, [&](const QString &text) { shown << text; });
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(shown,
                 (QStringList{oldForm ? u"Install backup V1.5."_s : u"Install backup."_s, u"Ready."_s}));
        QCOMPARE(f.env.readFile(Cfg), cfg);
        QVERIFY(!f.env.ui.busy());
        QVERIFY(!f.busy.contains(false));
    }

    // The list is shown as one text and written back, on OK, in its code page.
    void fileListFromTheMenu()
    {
        Fixture f;
        f.setList({u"\\Scenery.cfg"_s, u"\\x\u00e9.bgl"_s});
        f.env.ui.expectForm<BackupFileListDialog>(
            u"BackupFileListDialog"_s, [](BackupFileListDialog &dialog) {
                QCOMPARE(dialog.txtList, u"\\Scenery.cfg\r\n\\x\u00e9.bgl\r\n"_s);
                dialog.txtList += u"\\more.bgl"_s;
                dialog.cmdOK_Click();
            });
        QStringList shown;
        BackupCommands::mnuWizardBackupFiles_Click(f.manager, [&](const QString &text) { shown << text; });
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(shown, (QStringList{u"Show backup file list."_s, u"Ready."_s}));
        QCOMPARE(f.env.readFile(f.manager.backupListPath()),
                 QByteArray("\\Scenery.cfg\r\n\\x\xe9.bgl\r\n\\more.bgl"));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
