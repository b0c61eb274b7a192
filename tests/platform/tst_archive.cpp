// The archive component: zip files written with entry names below the drive or bare, and
// extraction that checks every entry before it writes any: names that leave the folder, entries
// outside the folder a backup is confined to, links that lead out, and the free space.

#include "platform/archive.h"
#include "platform/filefaults.h"
#include "platform/lmerror.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

const qint32 Damaged = LmError::UserBase + ArchiveError::ArchiveDamaged;
const qint32 Refused = LmError::UserBase + ArchiveError::EntriesRefused;

// An entry of a zip file made for a test: its name as stored, and its content.
struct Entry
{
    QByteArray name;
    QByteArray content = {};
};

// Drive C: of a test installation, with the temporary folder on it.
struct Drive : TestEnv
{
    Drive()
    {
        QDir().mkpath(driveCHost() + u"/Temp"_s);
        qputenv("TMPDIR", QFile::encodeName(driveCHost() + u"/Temp"_s));
    }

    // Every file on the drive but the zip files.
    Files files() const
    {
        Files files = filesBelow(driveCHost());
        files.removeIf([](const auto &file) { return file.key().endsWith(u".zip"_s); });
        return files;
    }

    // A zip file written straight through libzip, entries stored uncompressed, so that names and
    // bytes the component itself would never write can be tested.
    void writeZip(const QString &path, const QList<Entry> &entries)
    {
        QDir().mkpath(QFileInfo(host(path)).absolutePath());
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(host(path)).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        QVERIFY(z);
        for (const Entry &entry : entries) {
            zip_source_t *source =
                zip_source_buffer(z, entry.content.constData(), zip_uint64_t(entry.content.size()), 0);
            const zip_int64_t index = zip_file_add(z, entry.name.constData(), source, ZIP_FL_ENC_UTF_8);
            QVERIFY(index >= 0);
            zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        QCOMPARE(zip_close(z), 0); // the buffers must live until here
    }

    QStringList entryNames(const QString &path) const
    {
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(host(path)).constData(), ZIP_RDONLY, &error);
        QStringList names;
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i)
            names << QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), 0));
        zip_discard(z);
        names.sort();
        return names;
    }
};

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    // Files zipped under their path below the drive come back into their place: changed,
    // read-only and deleted ones return to their saved content.
    void filesBelowTheDriveComeBack()
    {
        Drive d;
        const Files saved{{u"FS2002/Scenery.cfg"_s, "[General]"},
                          {u"FS2002/Scenery/World/x.bgl"_s, patterned(3 * 65536 + 4321)}, // several buffers
                          {u"Program Files/Caf\u00e9 \u00c4rea/sc\u00e8ne.bgl"_s, "code page"},
                          {u"a.txt"_s, "in the root"}};
        Zip zip(d.fs);
        zip.archive = u"C:\\Backups\\set.zip"_s;
        QStringList progress;
        zip.progress = [&](const QString &text) { progress << text; };
        QDir().mkpath(d.host(u"C:\\Backups"_s));
        for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
            const QString path = u"C:\\"_s + QString(it.key()).replace(u'/', u'\\');
            d.writeFile(path, it.value());
            zip.addFile(path);
        }
        QCOMPARE(d.entryNames(zip.archive), saved.keys());
        QCOMPARE(progress.size(), saved.size());

        d.writeFile(u"C:\\FS2002\\Scenery.cfg"_s, "changed");
        QFile::setPermissions(d.host(u"C:\\FS2002\\Scenery.cfg"_s), QFileDevice::ReadOwner);
        QFile::remove(d.host(u"C:\\a.txt"_s));
        Unzip unzip(d.fs);
        unzip.archive = zip.archive;
        unzip.targetFolder = u"C:\\"_s;
        unzip.extractAll();
        QVERIFY(unzip.refusedEntries().isEmpty());
        QVERIFY(sameFiles(d.files(), saved));
    }

    // An entry named to leave the folder refuses the whole archive before anything is written.
    void entryNamesThatLeaveTheFolder_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("written"); // below the target folder; "" refused
        QTest::newRow("a parent that stays inside") << QByteArray("a/../x.txt") << QString();
        QTest::newRow("parents with backslashes") << QByteArray("..\\..\\up.txt") << QString();
        QTest::newRow("absolute") << QByteArray("\\abs.txt") << QString();
        QTest::newRow("a drive") << QByteArray("C:x.txt") << QString();
        QTest::newRow("dots inside names") << QByteArray("a/..b/c..txt") << u"a/..b/c..txt"_s;
        QTest::newRow("dot and empty parts") << QByteArray("./a//b.txt") << u"a/b.txt"_s;
        QTest::newRow("folders with backslashes") << QByteArray("a\\T\\y.bmp") << u"a/T/y.bmp"_s;
    }

    void entryNamesThatLeaveTheFolder()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, written);
        Drive d;
        d.writeZip(u"C:\\in.zip"_s, {{"first.txt", "1"}, {"Scenery/"}, {name, "row"}, {"sub/last.txt", "2"}});
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\in.zip"_s;
        unzip.targetFolder = u"C:\\Target"_s;
        QStringList listed;
        unzip.FileInfo = [&](const QString &file, const QString &folder) { listed << folder + file; };
        unzip.listEntries();
        QStringList expected{u"first.txt"_s};
        if (!written.isEmpty())
            expected << QString(written).replace(u'/', u'\\');
        QCOMPARE(listed, expected << u"sub\\last.txt"_s);
        QVERIFY(d.files().isEmpty()); // listing extracts nothing
        QCOMPARE(thrownBy([&] { unzip.extractAll(); }).number(), written.isEmpty() ? Refused : 0);
        QCOMPARE(unzip.refusedEntries(),
                 written.isEmpty() ? QStringList{QString::fromUtf8(name)} : QStringList());
        if (written.isEmpty()) {
            QVERIFY(d.files().isEmpty());
        } else {
            QVERIFY(sameFiles(d.files(), {{u"Target/first.txt"_s, "1"},
                                          {u"Target/"_s + written, "row"},
                                          {u"Target/sub/last.txt"_s, "2"}}));
        }
    }

    // One entry alone, named in any letter case, is written under its bare name; a folder or a
    // bare name without its folder names no entry.
    void oneEntryAlone()
    {
        Drive d;
        d.writeZip(u"C:\\in.zip"_s, {{"Scenery/"}, {"sub/last.txt", "2"}, {"../evil.txt", "evil"}});
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\in.zip"_s;
        unzip.targetFolder = u"C:\\Flat"_s;
        QVERIFY(unzip.extractFile(u"SUB/LAST.TXT"_s));
        QVERIFY(!unzip.extractFile(u"last.txt"_s));
        QVERIFY(!unzip.extractFile(u"Scenery/"_s));
        QVERIFY(!unzip.extractFile(u"../evil.txt"_s));
        QVERIFY(sameFiles(d.files(), {{u"Flat/last.txt"_s, "2"}}));
    }

    // A damaged archive is said to be one, and a file it would replace keeps its content.
    void damagedArchive_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<qint32>("error");
        QTest::newRow("no zip file at all") << u"garbage"_s << Damaged;
        QTest::newRow("empty") << u"empty"_s << Damaged;
        QTest::newRow("missing") << u"missing"_s << qint32(LmError::FileNotFound);
        QTest::newRow("a data byte changed") << u"flipped"_s << Damaged;
    }

    void damagedArchive()
    {
        QFETCH(QString, damage);
        QFETCH(qint32, error);
        Drive d;
        const QString archive = u"C:\\bad.zip"_s;
        d.writeFile(u"C:\\Out\\a\\one.txt"_s, "the file before");
        d.writeZip(archive, {{"a/one.txt", QByteArray(20000, 'A')}, {"two.txt", "two"}});
        QByteArray bytes = d.readFile(archive);
        if (damage == u"garbage"_s)
            bytes = patterned(3000);
        else if (damage == u"empty"_s)
            bytes.clear();
        else if (damage == u"flipped"_s)
            bytes[bytes.indexOf(QByteArray(100, 'A')) + 50] = 'B';
        d.writeFile(archive, bytes);
        if (damage == u"missing"_s)
            QFile::remove(d.host(archive));
        Unzip unzip(d.fs);
        unzip.archive = archive;
        unzip.targetFolder = u"C:\\Out"_s;
        QCOMPARE(thrownBy([&] { unzip.extractAll(); }).number(), error);
        QVERIFY(!unzip.extractFile(u"a/one.txt"_s));
        QVERIFY(sameFiles(d.files(), {{u"Out/a/one.txt"_s, "the file before"}}));
    }

    // Adding to a file that is no zip file fails the same way and leaves it as it was.
    void addingToADamagedArchive()
    {
        Drive d;
        d.writeFile(u"C:\\bad.zip"_s, patterned(3000));
        d.writeFile(u"C:\\f.txt"_s, "f");
        Zip zip(d.fs);
        zip.archive = u"C:\\bad.zip"_s;
        QCOMPARE(thrownBy([&] { zip.addFile(u"C:\\f.txt"_s); }).number(), Damaged);
        QCOMPARE(d.readFile(u"C:\\bad.zip"_s), patterned(3000));
    }

    // A backup is extracted into the drive root but may only hold files of the simulator folder.
    void confinedToAFolder_data()
    {
        QTest::addColumn<QByteArrayList>("entries"); // each file holds the folder of its name
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QByteArray>("cfg"); // the content of Games\FS2002\Scenery.cfg afterwards
        QTest::newRow("inside, other letter case")
            << QByteArrayList{"GAMES/fs2002/scenery.CFG"} << QStringList() << QByteArray("GAMES/fs2002");
        QTest::newRow("the folders that lead to it")
            << QByteArrayList{"Games/", "Games/FS2002/", "Games/FS2002/Scenery.cfg"} << QStringList()
            << QByteArray("Games/FS2002");
        QTest::newRow("a folder elsewhere") << QByteArrayList{"Games/FS2002/Scenery.cfg", "windows/system32/"}
                                            << QStringList{u"windows/system32/"_s} << QByteArray("before");
        QTest::newRow("a folder named like the start of it")
            << QByteArrayList{"Games/FS2002x/a.dll"} << QStringList{u"Games/FS2002x/a.dll"_s}
            << QByteArray("before");
    }

    void confinedToAFolder()
    {
        QFETCH(QByteArrayList, entries);
        QFETCH(QStringList, refused);
        QFETCH(QByteArray, cfg);
        Drive d;
        d.writeFile(u"C:\\Games\\FS2002\\Scenery.cfg"_s, "before");
        QList<Entry> content;
        for (const QByteArray &name : entries)
            content.append({name, name.endsWith('/') ? QByteArray() : name.left(name.lastIndexOf('/'))});
        d.writeZip(u"C:\\Backup.zip"_s, content);
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\Backup.zip"_s;
        unzip.targetFolder = u"C:\\"_s;
        unzip.confineTo = u"C:\\Games\\FS2002"_s;
        QCOMPARE(thrownBy([&] { unzip.extractAll(); }).number(), refused.isEmpty() ? 0 : Refused);
        QCOMPARE(unzip.refusedEntries(), refused);
        QVERIFY(sameFiles(d.files(), {{u"Games/FS2002/Scenery.cfg"_s, cfg}}));
    }

    // Nothing is written through a symbolic link that leads out of the folder written into, however
    // the link got there (a Wine prefix links "Desktop" to the user's own folder).
    void linksLeadingOut_data()
    {
        QTest::addColumn<QString>("link");    // below C:\Target
        QTest::addColumn<QString>("leadsTo"); // below the drive
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("refused");
        QTest::newRow("a folder link")
            << u"Desktop"_s << u"Outside"_s << QByteArray("Desktop/evil.txt") << true;
        QTest::newRow("the file itself a link")
            << u"evil.txt"_s << u"Outside/evil.txt"_s << QByteArray("evil.txt") << true;
        QTest::newRow("a link to a file not yet there")
            << u"evil.txt"_s << u"Outside/new.txt"_s << QByteArray("evil.txt") << true;
        QTest::newRow("a link that stays inside")
            << u"Shortcut"_s << u"Target/sub"_s << QByteArray("Shortcut/evil.txt") << false;
    }

    void linksLeadingOut()
    {
        QFETCH(QString, link);
        QFETCH(QString, leadsTo);
        QFETCH(QByteArray, entry);
        QFETCH(bool, refused);
        Drive d;
        d.writeFile(u"C:\\Outside\\evil.txt"_s, "outside");
        d.writeFile(u"C:\\Target\\sub\\kept.txt"_s, "kept");
        QVERIFY(QFile::link(d.driveCHost() + u'/' + leadsTo, d.driveCHost() + u"/Target/"_s + link));
        d.writeZip(u"C:\\in.zip"_s, {{"first.txt", "first"}, {entry, "evil"}});
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\in.zip"_s;
        unzip.targetFolder = u"C:\\Target"_s;
        QCOMPARE(thrownBy([&] { unzip.extractAll(); }).number(), refused ? Refused : 0);
        Files expected{{u"Outside/evil.txt"_s, "outside"}, {u"Target/sub/kept.txt"_s, "kept"}};
        if (!refused) {
            expected.insert(u"Target/first.txt"_s, "first");
            expected.insert(u"Target/sub/evil.txt"_s, "evil");
        }
        QVERIFY(sameFiles(d.files(), expected));
    }

    // An archive that unpacks to more than the disk has free is refused before anything is written.
    void spaceChecked_data()
    {
        QTest::addColumn<qint64>("spare"); // free bytes beyond what the archive unpacks to
        QTest::newRow("one byte short") << qint64(-1);
        QTest::newRow("just enough") << qint64(0);
    }

    void spaceChecked()
    {
        QFETCH(qint64, spare);
        Drive d;
        d.writeZip(u"C:\\big.zip"_s,
                   {{"a/one.bin", QByteArray(30000, 'a')}, {"two.bin", QByteArray(12345, 'b')}});
        FileFaultPlan plan;
        plan.setFreeBytes(30000 + 12345 + spare);
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\big.zip"_s;
        unzip.targetFolder = u"C:\\Out"_s;
        QCOMPARE(thrownBy([&] { unzip.extractAll(); }).number(), spare < 0 ? qint32(LmError::DiskFull) : 0);
        QCOMPARE(d.files().size(), spare < 0 ? 0 : 2);
    }

    // A file the disk takes only in part keeps its previous content, and the failure names it.
    void faultKeepsThePreviousFile()
    {
        Drive d;
        d.writeFile(u"C:\\Out\\a\\one.txt"_s, "the file before");
        d.writeZip(u"C:\\in.zip"_s, {{"a/one.txt", patterned(200000)}});
        FileFaultPlan plan;
        plan.failAt(FileStep::Write, 2);
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\in.zip"_s;
        unzip.targetFolder = u"C:\\Out"_s;
        const QString message = thrownBy([&] { unzip.extractAll(); }).description();
        QVERIFY2(message.contains(u"C:\\Out\\a\\one.txt"_s), qPrintable(message));
        QVERIFY(sameFiles(filesBelow(d.host(u"C:\\Out"_s)), {{u"a/one.txt"_s, "the file before"}}));
    }

    // An archive on a long path is read from a copy in a folder of the program's own, which goes
    // afterwards; a link someone left in the temporary folder under the copy's name is neither used
    // nor changed, and a failure names the archive, not the copy.
    void longPathReadFromPrivateCopy_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("sound archive") << false;
        QTest::newRow("damaged archive") << true;
    }

    void longPathReadFromPrivateCopy()
    {
        QFETCH(bool, damaged);
        Drive d;
        const QString archive = u"C:\\"_s + QString(80, u'l') + u"\\Saved.zip"_s;
        d.writeZip(archive, {{"one.txt", "restored"}});
        if (damaged)
            d.writeFile(archive, d.readFile(archive).left(40));
        d.writeFile(u"C:\\Someone\\secret.txt"_s, "secret");
        QVERIFY(
            QFile::link(d.host(u"C:\\Someone\\secret.txt"_s), d.driveCHost() + u"/Temp/LumivaleTmp.zip"_s));
        Unzip unzip(d.fs);
        unzip.archive = archive;
        unzip.targetFolder = u"C:\\Out"_s;
        const LmError thrown = thrownBy([&] { unzip.extractAll(); });
        const QString message = thrown.description();
        Files expected{{u"Someone/secret.txt"_s, "secret"}};
        if (damaged) {
            QVERIFY2(message.contains(archive) && !message.contains(u"LumivaleTmp"_s), qPrintable(message));
        } else {
            QCOMPARE(thrown.number(), 0);
            expected.insert(u"Out/one.txt"_s, "restored");
        }
        QVERIFY(sameFiles(d.files(), expected));
        QCOMPARE(QDir(d.driveCHost() + u"/Temp"_s)
                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{u"LumivaleTmp.zip"_s});
    }

    // Adding to an archive that cannot be committed leaves the archive on disk as it was.
    void failedCommitKeepsTheArchive()
    {
        Drive d;
        d.writeZip(u"C:\\set.zip"_s, {{"old.txt", "old"}});
        const QByteArray before = d.readFile(u"C:\\set.zip"_s);
        d.writeFile(u"C:\\new.txt"_s, "new");
        FileFaultPlan plan;
        plan.failAt(FileStep::Commit, 1);
        Zip zip(d.fs);
        zip.archive = u"C:\\set.zip"_s;
        QCOMPARE(thrownBy([&] { zip.addFile(u"C:\\new.txt"_s); }).number(),
                 LmError::UserBase + ArchiveError::ArchiveNotWritten);
        QCOMPARE(d.readFile(u"C:\\set.zip"_s), before);
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
