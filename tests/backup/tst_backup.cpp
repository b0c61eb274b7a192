#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"
#include "platform/archive.h"
#include "platform/filefaults.h"
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

namespace {

const QString Key = u"SOFTWARE\\Tarnwick\\Lumivale"_s, Sim = u"C:\\FS2002"_s, Cfg = Sim + u"\\Scenery.cfg"_s, CfgCopy = Sim + u"\\Scenery.CFG.Backup"_s;
const QByteArray CfgText = "[General]\r\nTitle=now\r\n";
// Joined to "C:\FS2002\" these give paths of 79 and 80 characters.
const QString N69 = QString(65, u'n') + u".bgl"_s, N70 = QString(66, u'n') + u".bgl"_s;

// Flight Simulator 2002 in C:\FS2002 with its Scenery.cfg; the temporary folder inside the test's own folder.
struct Fixture
{
    Fixture()
    {
        env.installSim(1, Sim);
        QDir().mkpath(env.rootHost() + u"/tmp"_s);
        qputenv("TMPDIR", QFile::encodeName(env.rootHost() + u"/tmp"_s));
        env.writeFile(Cfg, CfgText);
        manager = std::make_unique<BackupManager>(env.context, Sim, 1);
        manager->setStatus([this](const QString &) { busy << env.ui.busy(); });
    }
    void setBackupPath(const QString &path) { env.settings->write(SettingsStore::Root::Machine, Key, u"BackupPath"_s, path); }
    void setList(const QByteArray &bytes) { env.writeFile(env.programFolder() + u"\\BackupFilesFS2002.db"_s, bytes); }
    QString root() const { return env.programFolder() + u"\\EnvBackups\\"_s; }
    QString backups() const { return env.fs.files(manager->backupRoot()).join(u';'); }
    bool exists(const QString &path) const { return QFileInfo::exists(env.host(path)); }
    void expectName(const QString &name) { env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, name); }
    void expectBackupFirst(Answer answer) { env.ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s, answer); }
    void expectError(const QString &procedure) { env.ui.expectMessageStartingWith(u"BackupManager.%1\nError: 53\n"_s.arg(procedure), u"Lumivale"_s); }
    bool make(const QString &name, const QByteArray &list)
    {
        setList(list);
        expectName(name);
        return manager->makeBackup().isDone();
    }
    // The entries of a zip file as "folder\\name;...", "<none>" without a readable one.
    QString zipEntries(const QString &path) const
    {
        Unzip unzip(env.fs);
        unzip.archive = path;
        QStringList names;
        unzip.FileInfo = [&](const QString &name, const QString &folder) { names << folder + name; };
        try {
            unzip.listEntries();
        } catch (const LmError &) {
            return u"<none>"_s;
        }
        names.sort();
        return names.join(u';');
    }

    TestEnv env;
    std::unique_ptr<BackupManager> manager;
    QList<bool> busy;  // the busy pointer at each status text
};

// A zip file as another program may make it: entries named as given, folders ending in "/", every
// file holding "restored".
void writeZip(const QString &hostPath, const QByteArrayList &entries)
{
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(hostPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(z);
    for (const QByteArray &entry : entries) {
        const bool folder = entry.endsWith('/');
        zip_source_t *content = zip_source_buffer(z, "restored", folder ? 0 : 8, 0);
        QVERIFY(zip_file_add(z, entry.constData(), content, 0) >= 0);
    }
    QCOMPARE(zip_close(z), 0);
}

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
        QTest::newRow("trailing backslash") << u"C:\\A\\"_s << u"C:\\A\\"_s;
    }

    void getDir()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(BackupManager::getDir(path), expected);
    }

    // The list file follows the simulator; the backup root is created, with its missing parents, on first use.
    void paths_data()
    {
        QTest::addColumn<int>("simType");  // -1: not given
        QTest::addColumn<QString>("selectedSim");
        QTest::addColumn<QString>("backupPath");
        QTest::addColumn<QString>("expected");  // list file | backup root; "" the program folder's EnvBackups
        QTest::newRow("no setting, empty BackupPath") << -1 << u""_s << u""_s << u"BackupFiles.db|"_s;
        QTest::newRow("given type wins over a stale setting, missing parents") << 0 << u"1"_s << u"C:\\Data\\Sim\\Backups\\"_s << u"BackupFiles.db|C:\\Data\\Sim\\Backups\\"_s;
        QTest::newRow("setting 1, root without closing backslash") << -1 << u"1"_s << u"C:\\Saves"_s << u"BackupFilesFS2002.db|C:\\Saves\\"_s;
        QTest::newRow("setting 2") << -1 << u"2"_s << u""_s << u"BackupFilesCFS2.db|"_s;
    }

    void paths()
    {
        QFETCH(int, simType);
        QFETCH(QString, selectedSim);
        QFETCH(QString, backupPath);
        QFETCH(QString, expected);
        Fixture f;
        f.env.settings->write(SettingsStore::Root::Machine, Key, u"SelectedSim"_s, selectedSim);
        f.setBackupPath(backupPath);
        BackupManager manager(f.env.context, Sim, simType < 0 ? std::nullopt : std::optional<qint32>(simType));
        const QString root = expected.section(u'|', 1).isEmpty() ? f.root() : expected.section(u'|', 1);
        QVERIFY(!f.exists(root) && !f.exists(manager.backupListPath()));
        QCOMPARE(manager.backupListPath().mid(f.env.programFolder().size() + 1) + u'|' + manager.backupRoot(), expected.section(u'|', 0, 0) + u'|' + root);
        QVERIFY(f.env.fs.folderExists(root));
        QCOMPARE(manager.backupList(), QStringList());
        QVERIFY(f.exists(manager.backupListPath()));  // reading the list creates it empty
        manager.setSimulator(u"C:\\CFS2"_s, 2);  // a switch of simulator changes the list
        QCOMPARE(manager.backupListPath(), f.env.programFolder() + u"\\BackupFilesCFS2.db"_s);
    }

    void makeBackup_data()
    {
        QTest::addColumn<QString>("name");  // as typed
        QTest::addColumn<QByteArray>("list");  // "-": no list file; each listed file but Scenery.cfg holds its own name
        QTest::addColumn<QByteArray>("first");  // the list of a first backup of the same name, "" none
        QTest::addColumn<bool>("cfg");  // the simulator has a Scenery.cfg
        QTest::addColumn<QString>("asked");  // "": no long-path question about the last line, else "Ok" or "Cancel"
        QTest::addColumn<QString>("zip");  // the backup root's files, then the zip's entries
        QTest::addColumn<QByteArray>("copy");  // Scenery.CFG.Backup afterwards
        const QString cfg = u"FS2002\\Scenery.cfg"_s;
        const QByteArray one = "\\Scenery.cfg\r\n", two = "\\Scenery.cfg\r\n\\FS2002.CFG\r\n";
        QTest::newRow("a:b?c becomes a_b_c.zip") << u"a:b?c"_s << one << QByteArray() << true << u""_s << u"a_b_c.zip: "_s + cfg << CfgText;
        QTest::newRow("new.zip stays") << u"new.zip"_s << one << QByteArray() << true << u""_s << u"new.zip: "_s + cfg << CfgText;
        QTest::newRow("old.ZIP stays") << u"old.ZIP"_s << one << QByteArray() << true << u""_s << u"old.ZIP: "_s + cfg << CfgText;
        QTest::newRow("every forbidden character") << u"a/b\\c\"d<e>f|g*h"_s << one << QByteArray() << true << u""_s << u"a_b_c_d_e_f_g_h.zip: "_s + cfg << CfgText;
        QTest::newRow("files below the drive, blank lines skipped") << u"Week"_s << QByteArray("\\Scenery.cfg\r\n\r\n\\Scenery\\World\\x.bgl\r\nFS2002.CFG\r\n   \r\n") << QByteArray() << true << u""_s
                                                                   << u"Week.zip: FS2002\\FS2002.CFG;FS2002\\Scenery.cfg;FS2002\\Scenery\\World\\x.bgl"_s << CfgText;
        QTest::newRow("only empty lines still refresh the copy") << u"Nothing"_s << QByteArray("\r\n\r\n") << QByteArray() << true << u""_s << u": <none>"_s << CfgText;
        QTest::newRow("missing list") << u"Nothing"_s << QByteArray("-") << QByteArray() << true << u""_s << u": <none>"_s << CfgText;
        QTest::newRow("empty name writes nothing") << u""_s << one << QByteArray() << true << u""_s << u": <none>"_s << QByteArray("stale");
        QTest::newRow("79 characters not asked") << u"Long"_s << "\\" + N69.toLatin1() << QByteArray() << true << u""_s << u"Long.zip: FS2002\\"_s + N69 << CfgText;
        QTest::newRow("80 characters asked, OK adds") << u"Long"_s << "\\" + N70.toLatin1() << QByteArray() << true << u"Ok"_s << u"Long.zip: FS2002\\"_s + N70 << CfgText;
        QTest::newRow("80 characters asked, Cancel stops") << u"Long"_s << one + "\\" + N70.toLatin1() << QByteArray() << true << u"Cancel"_s << u": <none>"_s << QByteArray("stale");
        QTest::newRow("no Scenery.cfg: zip, no copy") << u"First"_s << QByteArray("\\FS2002.CFG\r\n") << QByteArray() << false << u""_s << u"First.zip: FS2002\\FS2002.CFG"_s << QByteArray();
        // A backup under a taken name replaces the earlier one only when complete: a file the list no
        // longer names must not come back with the next restore, and a failed backup keeps the first.
        QTest::newRow("second backup replaces the first") << u"Twice"_s << one << two << true << u""_s << u"Twice.zip: "_s + cfg << CfgText;
        QTest::newRow("failing second backup keeps the first") << u"Twice"_s << one + "\\Missing.bgl" << two << true << u""_s << u"Twice.zip: FS2002\\FS2002.CFG;"_s + cfg << QByteArray("stale");
    }

    void makeBackup()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, list);
        QFETCH(QByteArray, first);
        QFETCH(bool, cfg);
        QFETCH(QString, asked);
        QFETCH(QString, zip);
        QFETCH(QByteArray, copy);
        Fixture f;
        for (const QString &file : {u"Scenery\\World\\x.bgl"_s, u"FS2002.CFG"_s, N69, N70})
            f.env.writeFile(Sim + u'\\' + file, "x");
        if (!first.isEmpty())
            QVERIFY(f.make(name, first));
        cfg ? f.env.writeFile(CfgCopy, "stale") : void(QFile::remove(f.env.host(Cfg)));
        list == "-" ? void(QFile::remove(f.env.host(f.env.programFolder() + u"\\BackupFilesFS2002.db"_s))) : f.setList(list);
        f.expectName(name);
        if (!asked.isEmpty())
            f.env.ui.expectMessage(Sim + QString::fromLatin1(list).section(u"\r\n"_s, -1) + u"\nSorry, the path is longer than 79 characters.\n"
                                   u"Due to limitations of the third party zip control you can not zip longer filenames.\nDo you want to continue?"_s,
                                   u"Cannot zip file!"_s, asked == u"Ok"_s ? Answer::Ok : Answer::Cancel);
        if (list.contains("Missing"))
            f.expectError(u"makeBackup"_s);
        QCOMPARE(f.manager->makeBackup().isDone(), asked != u"Cancel"_s && !list.contains("Missing"));
        QVERIFY(f.env.ui.allShown());
        const QString made = f.backups();
        QCOMPARE(made + u": "_s + f.zipEntries(f.root() + made), zip);
        QCOMPARE(f.env.readFile(CfgCopy), copy);
        QVERIFY(cfg || !f.exists(CfgCopy));
    }

    // The backup root holds Saved.zip (Scenery.cfg "saved cfg" and Scenery\\World\\x.bgl), the V1.5
    // folder V15, a file File.zip and a folder Folder; since then the Scenery.cfg was edited, the
    // World folder deleted and Texture\\t.bmp made read-only.
    void installBackup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("old");  // the V1.5 form
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("first");  // "": not asked, "No", or the name typed after Yes ("-" empty)
        QTest::addColumn<QString>("after");  // "message" or "error" when shown, the backups, then Scenery.cfg|x.bgl|t.bmp
        const QByteArray one = "\\Scenery.cfg\r\n";
        const QString saved = u"File.zip;Saved.zip|saved cfg|saved bgl|current bmp"_s, none = u"message File.zip;Saved.zip|edited||current bmp"_s;
        QTest::newRow("no backup first") << u"Saved.zip"_s << false << one << u"No"_s << saved;
        QTest::newRow("Yes, then empty name restores without a new backup") << u"Saved.zip"_s << false << one << u"-"_s << saved;
        QTest::newRow("Yes, then a name") << u"Saved.zip"_s << false << one << u"Before"_s << u"Before.zip;"_s + saved;
        // The current files are not overwritten without the backup the user asked for.
        QTest::newRow("a failing backup first stops") << u"Saved.zip"_s << false << one + "\\Gone.bgl" << u"Fails"_s << u"error File.zip;Saved.zip|edited||current bmp"_s;
        QTest::newRow("missing backup") << u"None.zip"_s << false << one << u""_s << none;
        QTest::newRow("a folder is no backup") << u"Folder"_s << false << one << u""_s << none;
        // A line without its leading "\\" is relative to the simulator folder too.
        QTest::newRow("V1.5: listed files copied") << u"V15"_s << true << one + "\r\n\\Scenery\\World\\x.bgl\r\nTexture\\t.bmp" << u"No"_s << u"File.zip;Saved.zip|old cfg|old bgl|old bmp"_s;
        QTest::newRow("V1.5: a file it lacks ends it, copied stays") << u"V15"_s << true << one + "\\NotThere.bgl\r\n\\Texture\\t.bmp" << u"No"_s << u"error File.zip;Saved.zip|old cfg||current bmp"_s;
        QTest::newRow("V1.5: missing folder") << u"None"_s << true << one << u""_s << none;
        QTest::newRow("V1.5: a file is no V1.5 backup") << u"File.zip"_s << true << one << u""_s << none;
    }

    void installBackup()
    {
        QFETCH(QString, name);
        QFETCH(bool, old);
        QFETCH(QByteArray, list);
        QFETCH(QString, first);
        QFETCH(QString, after);
        Fixture f;
        const QString bgl = Sim + u"\\Scenery\\World\\x.bgl"_s, bmp = Sim + u"\\Texture\\t.bmp"_s;
        f.env.writeFile(Cfg, "saved cfg");
        f.env.writeFile(bgl, "saved bgl");
        QVERIFY(f.make(u"Saved"_s, "\\Scenery.cfg\r\n\\Scenery\\World\\x.bgl\r\n"));
        for (const char *file : {"Scenery.cfg|old cfg", "Scenery\\World\\x.bgl|old bgl", "Texture\\t.bmp|old bmp"})
            f.env.writeFile(f.root() + u"V15\\"_s + QString::fromLatin1(file).section(u'|', 0, 0), QByteArray(file).split('|')[1]);
        f.env.writeFile(f.root() + u"File.zip"_s, "zip");
        QDir().mkpath(f.env.host(f.root() + u"Folder"_s));
        f.env.writeFile(Cfg, "edited");
        QVERIFY(QDir(f.env.host(Sim + u"\\Scenery\\World"_s)).removeRecursively());
        f.env.writeFile(bmp, "current bmp");
        QFile::setPermissions(f.env.host(bmp), QFileDevice::ReadOwner);
        f.setList(list);
        if (first.isEmpty())
            f.env.ui.expectMessage(u"Backup does not exist."_s, u"Could not install backup."_s, Answer::Ok, UiPort::Icon::Critical);
        else
            f.expectBackupFirst(first == u"No"_s ? Answer::No : Answer::Yes);
        if (!first.isEmpty() && first != u"No"_s)
            f.expectName(first == u"-"_s ? QString() : first);
        if (after.startsWith(u"error"_s))
            f.expectError(old ? u"installBackup_old"_s : u"makeBackup"_s);
        old ? f.manager->installBackup_old(name) : f.manager->installBackup(name);
        QVERIFY(f.env.ui.allShown());
        const QString shown = after.section(u' ', 0, 0);
        QCOMPARE((shown == u"message"_s || shown == u"error"_s ? shown + u' ' : QString()) + f.backups() + u'|' + QString::fromLatin1(f.env.readFile(Cfg) + '|' + f.env.readFile(bgl) + '|' + f.env.readFile(bmp)), after);
        if (first == u"Before"_s)
            QCOMPARE(f.zipEntries(f.root() + u"Before.zip"_s), u"FS2002\\Scenery.cfg"_s);
    }

    // Backups on a long path are made and restored like any other; the files written aside go with
    // the folder they were written in, and what another user left in the temporary folder under
    // the names used there is neither used nor changed.
    void longPathAndTheTemporaryFolder()
    {
        Fixture f;
        const QString root = u"C:\\"_s + QString(80, u'r') + u"\\"_s;
        f.setBackupPath(root);
        const QString temp = f.env.rootHost() + u"/tmp/"_s;
        QFile secret(f.env.rootHost() + u"/secret"_s);
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("secret") == 6);
        secret.close();
        QVERIFY(QFile::link(secret.fileName(), temp + u"LumivaleTmp.zip"_s));
        QFile other(temp + u"LumivaleBackup.zip"_s);
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("another user's") == 14);
        other.close();
        QVERIFY(QFile::setPermissions(other.fileName(), QFileDevice::ReadOwner));

        QVERIFY(f.make(u"Saved"_s, "\\Scenery.cfg\r\n"));
        f.env.writeFile(Cfg, "edited");
        f.expectBackupFirst(Answer::No);
        QCOMPARE(f.manager->installBackup(u"Saved.zip"_s).kind(), Outcome::Kind::Done);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), CfgText);
        QCOMPARE(f.zipEntries(root + u"Saved.zip"_s), u"FS2002\\Scenery.cfg"_s);
        QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{u"LumivaleBackup.zip"_s, u"LumivaleTmp.zip"_s}));
        QVERIFY(secret.open(QIODevice::ReadOnly));
        QCOMPARE(secret.readAll(), QByteArray("secret"));
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), QByteArray("another user's"));
    }

    // A name from the command line names a backup of the backup root, nothing else: a path, a
    // pattern or ".." is refused before anything, the backup root among it, is touched.
    void namesStayInTheBackupRoot_data()
    {
        QTest::addColumn<QString>("operation"); // install, install-old or delete
        QTest::addColumn<QString>("name");
        QTest::newRow("delete the library file") << u"delete"_s << u"..\\Lumivale.db5"_s;
        QTest::newRow("install from outside") << u"install"_s << u"..\\outside.zip"_s;
        QTest::newRow("install its parent as a V1.5 backup") << u"install-old"_s << u".."_s;
    }

    void namesStayInTheBackupRoot()
    {
        QFETCH(QString, operation);
        QFETCH(QString, name);
        Fixture f;
        f.env.writeFile(f.env.programFolder() + u"\\Lumivale.db5"_s, "library");
        f.env.writeFile(f.env.programFolder() + u"\\Level.db"_s, "levels");
        f.env.writeFile(f.env.programFolder() + u"\\outside.zip"_s, f.env.readFile(Cfg));
        f.setList("\\Scenery.cfg\r\n");
        f.env.ui.expectMessageStartingWith(u"BackupManager.%1\nError: 52\nBad file name: \"%2\""_s.arg(
                                               operation == u"delete"_s    ? u"deleteBackup"_s
                                               : operation == u"install"_s ? u"installBackup"_s
                                                                           : u"installBackup_old"_s,
                                               name),
                                           u"Lumivale"_s);
        const Outcome outcome = operation == u"delete"_s    ? f.manager->deleteBackup(name)
                                : operation == u"install"_s ? f.manager->installBackup(name)
                                                            : f.manager->installBackup_old(name);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(outcome.kind(), Outcome::Kind::Failed);
        QCOMPARE(f.env.readFile(f.env.programFolder() + u"\\Lumivale.db5"_s), QByteArray("library"));
        QCOMPARE(f.env.readFile(f.env.programFolder() + u"\\Level.db"_s), QByteArray("levels"));
        QCOMPARE(f.env.readFile(Cfg), CfgText);
        QVERIFY(!f.exists(f.root()));
    }

    // A backup holds only files of the simulator folder. One holding anything else, made by hand or
    // by another program, is refused as a whole, before a single file is restored.
    void foreignEntriesRefuseTheBackup_data()
    {
        QTest::addColumn<QByteArrayList>("entries"); // each holds "restored"
        QTest::addColumn<bool>("restored");
        QTest::newRow("the simulator's own file") << QByteArrayList{"FS2002/Scenery.cfg"} << true;
        QTest::newRow("a system file")
            << QByteArrayList{"FS2002/Scenery.cfg", "windows/system32/evil.dll"} << false;
    }

    void foreignEntriesRefuseTheBackup()
    {
        QFETCH(QByteArrayList, entries);
        QFETCH(bool, restored);
        Fixture f;
        f.env.writeFile(u"C:\\FS2000\\Scenery.cfg"_s, "other simulator");
        writeZip(f.env.host(f.manager->backupRoot() + u"Foreign.zip"_s), entries);
        f.expectBackupFirst(Answer::No);
        if (!restored)
            f.env.ui.expectMessageStartingWith(
                u"BackupManager.installBackup\nError: %1\nNothing was extracted"_s.arg(
                    LmError::UserBase + ArchiveError::EntriesRefused),
                u"Lumivale"_s);
        QCOMPARE(f.manager->installBackup(u"Foreign.zip"_s).kind(),
                 restored ? Outcome::Kind::Done : Outcome::Kind::Failed);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), restored ? QByteArray("restored") : CfgText);
        QCOMPARE(f.env.readFile(u"C:\\FS2000\\Scenery.cfg"_s), QByteArray("other simulator"));
        QVERIFY(!f.exists(u"C:\\windows"_s) && !f.exists(u"C:\\autoexec.bat"_s));
    }

    // A disk that fills up while a backup is restored leaves the file it was writing whole, and the
    // failure names it.
    void fullDiskKeepsTheFile()
    {
        Fixture f;
        QVERIFY(f.make(u"Saved"_s, "\\Scenery.cfg\r\n"));
        f.env.writeFile(Cfg, "edited");
        f.expectBackupFirst(Answer::No);
        f.env.ui.expectMessage(
            u"BackupManager.installBackup\nError: 61\nDisk full (C:\\FS2002\\Scenery.cfg)"_s, u"Lumivale"_s);
        FileFaultPlan plan;
        plan.failAt(FileStep::Write, 1, u"Scenery.cfg"_s);
        QCOMPARE(f.manager->installBackup(u"Saved.zip"_s).kind(), Outcome::Kind::Failed);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(Cfg), QByteArray("edited"));
    }

    void deleteBackup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("answer");  // to the question; "missing" for the message, "" nothing shown
        QTest::newRow("Yes") << u"A.zip"_s << false << u"Yes"_s;
        QTest::newRow("Yes, read-only") << u"A.zip"_s << true << u"Yes"_s;
        QTest::newRow("No") << u"A.zip"_s << false << u"No"_s;
        QTest::newRow("missing") << u"B.zip"_s << false << u"missing"_s;
        QTest::newRow("empty name") << u""_s << false << u""_s;
    }

    void deleteBackup()
    {
        QFETCH(QString, name);
        QFETCH(bool, readOnly);
        QFETCH(QString, answer);
        Fixture f;
        const QString file = f.root() + u"A.zip"_s;
        f.env.writeFile(file, "zip");
        QFile::setPermissions(f.env.host(file), readOnly ? QFileDevice::ReadOwner : QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (answer == u"missing"_s)
            f.env.ui.expectMessage(u"Backup does not exist."_s, u"Could not delete backup."_s, Answer::Ok, UiPort::Icon::Critical);
        else if (!answer.isEmpty())
            f.env.ui.expectMessage(u"Do you want to delete this backup?"_s, u"Delete backup"_s, answer == u"Yes"_s ? Answer::Yes : Answer::No);
        f.manager->deleteBackup(name);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.exists(file), answer != u"Yes"_s);
    }

    // The menu commands run the operation on the name their dialog gives back, between their status
    // texts. The backup root holds Zipped.zip (of Scenery.cfg) and the V1.5 folder Folder; the
    // Scenery.cfg was edited since.
    void menuCommand_data()
    {
        QTest::addColumn<int>("command");  // 0 make, 1 install, 2 install V1.5, 3 delete, 4 file list (its editing is a view test)
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("after");  // backups | Scenery.cfg | list file
        const QString list = u"|\\Scenery.cfg\r\n\\x\u00e9.bgl\r\n"_s;
        QTest::newRow("make") << 0 << true << u"Cmd.zip;Zipped.zip|edited"_s + list;
        QTest::newRow("install") << 1 << true << u"Zipped.zip|[General]\r\nTitle=now\r\n"_s + list;
        QTest::newRow("install, Cancel") << 1 << false << u"Zipped.zip|edited"_s + list;
        QTest::newRow("install V1.5") << 2 << true << u"Zipped.zip|from folder"_s + list;
        QTest::newRow("delete") << 3 << true << u"|edited"_s + list;
        QTest::newRow("file list OK writes the text back in its code page") << 4 << true << u"Zipped.zip|edited"_s + list;
    }

    void menuCommand()
    {
        QFETCH(int, command);
        QFETCH(bool, ok);
        QFETCH(QString, after);
        Fixture f;
        QVERIFY(f.make(u"Zipped"_s, "\\Scenery.cfg\r\n"));
        f.env.writeFile(f.root() + u"Folder\\Scenery.cfg"_s, "from folder");
        f.env.writeFile(Cfg, "edited");
        f.setList("\\Scenery.cfg\r\n\\x\xe9.bgl\r\n");
        f.env.writeFile(Sim + u"\\x\u00e9.bgl"_s, "x");
        f.env.writeFile(f.root() + u"Folder\\x\u00e9.bgl"_s, "x");
        f.busy.clear();
        auto pick = [ok](auto &d) { d.cboBackupsIndex = 0, ok ? d.cmdOK_Click() : d.cmdCancel_Click(); };
        if (command == 0)
            f.expectName(u"Cmd"_s);
        else if (command == 3)
            f.env.ui.expectForm<DeleteBackupDialog>(u"DeleteBackupDialog"_s, pick);
        else if (command == 4)
            f.env.ui.expectForm<BackupFileListDialog>(u"BackupFileListDialog"_s, [](BackupFileListDialog &d) { d.cmdOK_Click(); });
        else
            f.env.ui.expectForm<InstallBackupDialog>(u"InstallBackupDialog"_s, pick);
        if ((command == 1 || command == 2) && ok)
            f.expectBackupFirst(Answer::No);
        if (command == 3)
            f.env.ui.expectMessage(u"Do you want to delete this backup?"_s, u"Delete backup"_s, Answer::Yes);
        QStringList display;
        const auto run = std::array{BackupCommands::mnuBackupMake_Click, BackupCommands::mnuWizardBackup_Click, BackupCommands::mnuWizardBackup15_Click,
                                    BackupCommands::mnuWizardDeleteBackup_Click, BackupCommands::mnuWizardBackupFiles_Click}[command];
        run(*f.manager, [&](const QString &text) { display << text; });
        QVERIFY(f.env.ui.allShown());
        const QStringList texts{u"Make Backup."_s, u"Install backup."_s, u"Install backup V1.5."_s, u"Delete backup."_s, u"Show backup file list."_s};
        QCOMPARE(display, (QStringList{texts[command], u"Ready."_s}));
        QCOMPARE(f.backups() + u'|' + QString::fromLatin1(f.env.readFile(Cfg)) + u'|' + QString::fromLatin1(f.env.readFile(f.manager->backupListPath())), after);
        QVERIFY(!f.env.ui.busy() && (command == 0 || !f.busy.contains(false)));  // restores run under the busy pointer
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
