#include "platform/archive.h"
#include "platform/filefaults.h"
#include "platform/lmerror.h"
#include "support/testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

// Drive C: of a test installation, with the temporary folder on it.
struct Drive : TestEnv
{
    Drive()
    {
        QDir().mkpath(driveCHost() + u"/Temp"_s);
        qputenv("TMPDIR", QFile::encodeName(driveCHost() + u"/Temp"_s));
    }
    // Every file on the drive but the archives as "path=start of content", sorted, joined by ";".
    // Links are not followed: what they lead to is listed where it lies.
    QString allFiles() const
    {
        QStringList files;
        for (QDirIterator it(driveCHost(), QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile f(it.next());
            if (f.fileName().endsWith(u".zip"_s) || !f.open(QIODevice::ReadOnly))
                continue;
            files << QDir(driveCHost()).relativeFilePath(f.fileName()) + u'=' + QString::fromLatin1(f.readAll().left(12));
        }
        files.sort();
        return files.join(u';');
    }
    // An archive written straight through libzip, entries stored uncompressed, so that names and
    // bytes the component itself would never write can be tested.
    void craftZip(const QString &path, const QList<QPair<QByteArray, QByteArray>> &entries)
    {
        QDir().mkpath(QFileInfo(host(path)).absolutePath());
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(host(path)).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        QVERIFY(z);
        for (const auto &[name, data] : entries) {
            zip_source_t *src = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
            const zip_int64_t index = zip_file_add(z, name.constData(), src, ZIP_FL_ENC_UTF_8);
            QVERIFY(index >= 0);
            zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        QCOMPARE(zip_close(z), 0);  // the buffers live in entries until here
    }
    QString entryNames(const QString &path) const
    {
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(host(path)).constData(), ZIP_RDONLY, &error);
        QStringList names;
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i)
            names << QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), 0));
        zip_discard(z);
        names.sort();
        return names.join(u';');
    }
};

QByteArray patterned(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 12345;
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((x = x * 1103515245u + 12345u) >> 24);
    return bytes;
}

qint32 thrown(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const LmError &e) {
        return e.number();
    }
    return 0;
}

const qint32 Damaged = LmError::UserBase + ArchiveError::ArchiveDamaged;
const qint32 Refused = LmError::UserBase + ArchiveError::EntriesRefused;

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("files");  // on disk; the first is added, or every one when it holds no "*.*"
        QTest::addColumn<QString>("added");      // a folder's "*.*" with bare names; "" every file below the drive
        QTest::addColumn<QString>("entries");
        const QString fs = u"C:\\FS2002\\"_s;
        QTest::newRow("one file below the drive") << QStringList{fs + u"Scenery.cfg"_s} << u""_s << u"FS2002/Scenery.cfg"_s;
        QTest::newRow("nested, one spanning buffers") << QStringList{fs + u"Scenery.cfg"_s, fs + u"Scenery\\World\\x.bgl"_s, fs + u"FS2002.cfg"_s} << u""_s << u"FS2002/FS2002.cfg;FS2002/Scenery.cfg;FS2002/Scenery/World/x.bgl"_s;
        QTest::newRow("blanks and code page characters") << QStringList{u"C:\\Program Files\\Caf\u00e9 \u00c4rea\\sc\u00e8ne.bgl"_s} << u""_s << u"Program Files/Caf\u00e9 \u00c4rea/sc\u00e8ne.bgl"_s;
        QTest::newRow("file in the drive root") << QStringList{u"C:\\a.txt"_s} << u""_s << u"a.txt"_s;
        QTest::newRow("bare names of a folder's files") << QStringList{fs + u"Texture\\a.bmp"_s, fs + u"Texture\\b.r8"_s, fs + u"Texture\\sub\\c.bmp"_s} << fs + u"Texture\\*.*"_s << u"a.bmp;b.r8"_s;
    }

    void roundTrip()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, added);
        QFETCH(QString, entries);
        Drive d;
        auto content = [&](qsizetype i) { return patterned(i == 1 ? 3 * 65536 + 4321 : 1000 + i) + files.at(i).toUtf8(); };
        for (qsizetype i = 0; i < files.size(); ++i)
            d.writeFile(files.at(i), content(i));
        QStringList progress;
        Zip zip(d.fs);
        zip.archive = u"C:\\Backups\\set.zip"_s;
        zip.entryNames = added.isEmpty() ? Zip::EntryNames::FolderBelowDrive : Zip::EntryNames::BareFileName;
        zip.progress = [&](const QString &text) { progress << text; };
        QDir().mkpath(d.host(u"C:\\Backups"_s));
        for (const QString &file : added.isEmpty() ? files : QStringList{added})
            zip.addFile(file);
        QCOMPARE(d.entryNames(zip.archive), entries);
        QCOMPARE(progress.size(), entries.count(u';') + 1);  // one per file zipped

        // Into the place it came from: changed, read-only and deleted files return to their saved state.
        for (const QString &file : files)
            d.writeFile(file, "changed");
        QFile::setPermissions(d.host(files.first()), QFileDevice::ReadOwner);
        QFile::remove(d.host(files.last()));
        Unzip unzip(d.fs);
        unzip.archive = zip.archive;
        unzip.targetFolder = added.isEmpty() ? u"C:\\"_s : added.chopped(4);
        unzip.extractAll();
        QVERIFY(unzip.refusedEntries().isEmpty());
        const qsizetype kept = added.isEmpty() ? files.size() : 2;  // the sub folder's file is not in the archive
        for (qsizetype i = 0; i < kept; ++i)
            QVERIFY2(d.readFile(files.at(i)) == content(i), qPrintable(files.at(i)));
        if (!added.isEmpty())
            QVERIFY(!QFileInfo::exists(d.host(files.last())));
    }

    void zipSlipRefused_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("listed");  // "file@folder" as listed and written; "" refused
        QTest::newRow("parent") << QByteArray("../evil.txt") << u""_s;
        QTest::newRow("parent after a folder") << QByteArray("a/../../x.txt") << u""_s;
        QTest::newRow("parent that stays inside") << QByteArray("a/../x.txt") << u""_s;
        QTest::newRow("backslash parents") << QByteArray("..\\..\\up.txt") << u""_s;
        QTest::newRow("absolute") << QByteArray("/abs.txt") << u""_s;
        QTest::newRow("absolute backslash") << QByteArray("\\abs.txt") << u""_s;
        QTest::newRow("drive") << QByteArray("C:/x.txt") << u""_s;
        QTest::newRow("drive without separator") << QByteArray("C:x.txt") << u""_s;
        QTest::newRow("colon in a later part") << QByteArray("a/b:c.txt") << u""_s;
        QTest::newRow("dots inside names are safe") << QByteArray("a/..b/c..txt") << u"c..txt@a\\..b\\"_s;
        QTest::newRow("dot and empty parts dropped") << QByteArray("./a//b.txt") << u"b.txt@a\\"_s;
        QTest::newRow("backslash folders") << QByteArray("a\\T\\y.bmp") << u"y.bmp@a\\T\\"_s;
    }

    void zipSlipRefused()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, listed);
        Drive d;
        d.craftZip(u"C:\\in.zip"_s, {{"first.txt", "1"}, {"Scenery/", ""}, {name, "row"}, {"sub/last.txt", "2"}});
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\in.zip"_s;
        unzip.targetFolder = u"C:\\Target\\Inner"_s;
        QStringList seen;
        unzip.FileInfo = [&](const QString &file, const QString &folder) { seen << file + u'@' + folder; };
        unzip.listEntries();
        QCOMPARE(seen.join(u';'), (QStringList{u"first.txt@"_s, listed, u"last.txt@sub\\"_s}.filter(u"@"_s).join(u';')));
        QVERIFY(d.allFiles().isEmpty());  // listing extracts nothing
        QCOMPARE(thrown([&] { unzip.extractAll(); }), listed.isEmpty() ? Refused : 0);
        QCOMPARE(unzip.refusedEntries(), listed.isEmpty() ? QStringList{QString::fromUtf8(name)} : QStringList());
        // One entry alone, named in other letter case, is written under its bare name; a refused one is not.
        unzip.targetFolder = u"C:\\Flat"_s;
        QCOMPARE(unzip.extractFile(QString::fromUtf8(name).toUpper()), !listed.isEmpty());
        QVERIFY(!unzip.extractFile(u"last.txt"_s) && !unzip.extractFile(u"Scenery/"_s));  // only by folder and name, no folders
        // A refused entry stops the whole extraction before anything is written.
        const QString file = listed.section(u'@', 0, 0), folder = listed.section(u'@', 1).replace(u'\\', u'/');
        QCOMPARE(
            d.allFiles(),
            listed.isEmpty()
                ? u""_s
                : u"Flat/%1=row;Target/Inner/%2%1=row;Target/Inner/first.txt=1;Target/Inner/sub/last.txt=2"_s
                      .arg(file, folder));
    }

    void damagedArchive_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("garbage") << u"garbage"_s;
        QTest::newRow("truncated to half") << u"half"_s;
        QTest::newRow("last byte cut") << u"cut1"_s;
        QTest::newRow("empty file") << u"empty"_s;
        QTest::newRow("missing, error 53") << u"missing"_s;
        QTest::newRow("flipped data byte keeps the existing file") << u"flipped"_s;
    }

    void damagedArchive()
    {
        QFETCH(QString, kind);
        const qint32 number = kind == u"missing"_s ? qint32(LmError::FileNotFound) : Damaged;
        Drive d;
        const QString archive = u"C:\\bad.zip"_s;
        d.writeFile(u"C:\\Out\\a\\one.txt"_s, "the file before");
        d.craftZip(archive, {{"a/one.txt", QByteArray(20000, 'A')}, {"two.txt", "two"}});
        const QByteArray bytes = d.readFile(archive);
        const qsizetype at = bytes.indexOf(QByteArray(100, 'A')) + 50;
        d.writeFile(archive, kind == u"half"_s ? bytes.left(bytes.size() / 2) : kind == u"cut1"_s ? bytes.chopped(1)
                             : kind == u"garbage"_s ? patterned(3000) : kind == u"flipped"_s ? bytes.left(at) + 'B' + bytes.mid(at + 1) : QByteArray());
        if (kind == u"missing"_s)
            QFile::remove(d.host(archive));
        const QString before = d.allFiles();
        Unzip unzip(d.fs);
        unzip.archive = archive;
        unzip.targetFolder = u"C:\\Out"_s;
        unzip.FileInfo = [](const QString &, const QString &) {};
        if (kind != u"flipped"_s)  // the entry list itself is sound there
            QCOMPARE(thrown([&] { unzip.listEntries(); }), number);
        QCOMPARE(thrown([&] { unzip.extractAll(); }), number);
        QVERIFY(!unzip.extractFile(u"a/one.txt"_s));
        QCOMPARE(d.allFiles(), before);
        // Adding to a file that is not a zip archive fails the same way and leaves it as it was.
        if (kind == u"garbage"_s) {
            d.writeFile(u"C:\\f.txt"_s, "f");
            Zip zip(d.fs);
            zip.archive = archive;
            QCOMPARE(thrown([&] { zip.addFile(u"C:\\f.txt"_s); }), number);
            QCOMPARE(d.readFile(archive), patterned(3000));
        }
    }

    // A backup is extracted into the drive root but may only hold files of the simulator folder.
    void confinedToAFolder_data()
    {
        QTest::addColumn<QStringList>("entries"); // each holds its own name
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("written");
        const QString cfg = u"Games/FS2002/Scenery.cfg"_s;
        QTest::newRow("inside") << QStringList{cfg} << QStringList()
                                << u"Games/FS2002/Scenery.cfg=Games/FS2002"_s;
        QTest::newRow("inside, other letter case")
            << QStringList{u"GAMES/fs2002/scenery.CFG"_s} << QStringList()
            << u"Games/FS2002/Scenery.cfg=GAMES/fs2002"_s;
        QTest::newRow("the folders that lead to it")
            << QStringList{u"Games/"_s, u"Games/FS2002/"_s, cfg} << QStringList()
            << u"Games/FS2002/Scenery.cfg=Games/FS2002"_s;
        QTest::newRow("the other simulator's file")
            << QStringList{cfg, u"Games/FS2000/Scenery.cfg"_s} << QStringList{u"Games/FS2000/Scenery.cfg"_s}
            << u"Games/FS2002/Scenery.cfg=before"_s;
        QTest::newRow("a folder elsewhere")
            << QStringList{cfg, u"windows/system32/"_s} << QStringList{u"windows/system32/"_s}
            << u"Games/FS2002/Scenery.cfg=before"_s;
        QTest::newRow("a folder named like the start of it")
            << QStringList{u"Games/FS2002x/a.dll"_s} << QStringList{u"Games/FS2002x/a.dll"_s}
            << u"Games/FS2002/Scenery.cfg=before"_s;
    }

    void confinedToAFolder()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, refused);
        QFETCH(QString, written);
        Drive d;
        d.writeFile(u"C:\\Games\\FS2002\\Scenery.cfg"_s, "before");
        QList<QPair<QByteArray, QByteArray>> content;
        for (const QString &entry : entries)
            content.append(
                {entry.toUtf8(), entry.endsWith(u'/') ? QByteArray() : entry.section(u'/', 0, 1).toUtf8()});
        d.craftZip(u"C:\\Backup.zip"_s, content);
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\Backup.zip"_s;
        unzip.targetFolder = u"C:\\"_s;
        unzip.confineTo = u"C:\\Games\\FS2002"_s;
        QCOMPARE(thrown([&] { unzip.extractAll(); }), refused.isEmpty() ? 0 : Refused);
        QCOMPARE(unzip.refusedEntries(), refused);
        QCOMPARE(d.allFiles(), written);
    }

    // Nothing is written through a symbolic link that leads out of the folder written into, however
    // the link got there (a Wine prefix links "Desktop" to the user's own folder).
    void linksLeadingOut_data()
    {
        QTest::addColumn<QString>("link");    // below C:\Target
        QTest::addColumn<QString>("leadsTo"); // below the drive
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("refused");
        QTest::newRow("a folder link out")
            << u"Desktop"_s << u"Outside"_s << QByteArray("Desktop/evil.txt") << true;
        QTest::newRow("a deeper folder link out")
            << u"sub/Desktop"_s << u"Outside"_s << QByteArray("sub/Desktop/evil.txt") << true;
        QTest::newRow("the file itself a link out")
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
        d.craftZip(u"C:\\in.zip"_s, {{"first.txt", "first"}, {entry, "evil"}});
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\in.zip"_s;
        unzip.targetFolder = u"C:\\Target"_s;
        QCOMPARE(thrown([&] { unzip.extractAll(); }), refused ? Refused : 0);
        const QString untouched = u"Outside/evil.txt=outside;Target/sub/kept.txt=kept"_s;
        const QString extracted = u"Outside/evil.txt=outside;Target/first.txt=first;Target/sub/evil.txt=evil;"
                                  u"Target/sub/kept.txt=kept"_s;
        QCOMPARE(d.allFiles(), refused ? untouched : extracted);
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
        d.craftZip(u"C:\\big.zip"_s,
                   {{"a/one.bin", QByteArray(30000, 'a')}, {"two.bin", QByteArray(12345, 'b')}});
        FileFaultPlan plan;
        plan.setFreeBytes(30000 + 12345 + spare);
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\big.zip"_s;
        unzip.targetFolder = u"C:\\Out"_s;
        QCOMPARE(thrown([&] { unzip.extractAll(); }), spare < 0 ? qint32(LmError::DiskFull) : 0);
        QCOMPARE(d.allFiles(), spare < 0 ? u""_s : u"Out/a/one.bin=aaaaaaaaaaaa;Out/two.bin=bbbbbbbbbbbb"_s);
    }

    // A file the disk takes only in part keeps its previous content, and the failure names it.
    void faultKeepsThePreviousFile()
    {
        Drive d;
        d.writeFile(u"C:\\Out\\a\\one.txt"_s, "the file before");
        d.craftZip(u"C:\\in.zip"_s, {{"a/one.txt", patterned(200000)}});
        FileFaultPlan plan;
        plan.failAt(FileStep::Write, 2);
        Unzip unzip(d.fs);
        unzip.archive = u"C:\\in.zip"_s;
        unzip.targetFolder = u"C:\\Out"_s;
        QString message;
        try {
            unzip.extractAll();
        } catch (const LmError &e) {
            message = e.description();
        }
        QVERIFY2(message.contains(u"C:\\Out\\a\\one.txt"_s), qPrintable(message));
        QCOMPARE(d.readFile(u"C:\\Out\\a\\one.txt"_s), QByteArray("the file before"));
        QCOMPARE(QDir(d.host(u"C:\\Out\\a"_s)).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"one.txt"_s});
    }

    // An archive on a long path is read from a copy in a folder of the program's own, which goes
    // afterwards; a file or link someone left in the temporary folder is neither used nor changed,
    // and a failure names the archive, not the copy.
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
        d.craftZip(archive, {{"one.txt", "restored"}});
        if (damaged)
            d.writeFile(archive, d.readFile(archive).left(40));
        d.writeFile(u"C:\\Someone\\secret.txt"_s, "secret");
        QVERIFY(
            QFile::link(d.host(u"C:\\Someone\\secret.txt"_s), d.driveCHost() + u"/Temp/LumivaleTmp.zip"_s));
        Unzip unzip(d.fs);
        unzip.archive = archive;
        unzip.targetFolder = u"C:\\Out"_s;
        QString message;
        try {
            unzip.extractAll();
        } catch (const LmError &e) {
            message = e.description();
        }
        QCOMPARE(message.isEmpty(), !damaged);
        QVERIFY2(message.isEmpty() || (message.contains(archive) && !message.contains(u"LumivaleTmp"_s)),
                 qPrintable(message));
        QCOMPARE(d.allFiles(), damaged ? u"Someone/secret.txt=secret"_s
                                       : u"Out/one.txt=restored;Someone/secret.txt=secret"_s);
        QCOMPARE(QDir(d.driveCHost() + u"/Temp"_s)
                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{u"LumivaleTmp.zip"_s});
    }

    // Adding to an archive that cannot be committed leaves the archive on disk as it was.
    void failedCommitKeepsTheArchive()
    {
        Drive d;
        d.craftZip(u"C:\\set.zip"_s, {{"old.txt", "old"}});
        const QByteArray before = d.readFile(u"C:\\set.zip"_s);
        d.writeFile(u"C:\\new.txt"_s, "new");
        FileFaultPlan plan;
        plan.failAt(FileStep::Commit, 1);
        Zip zip(d.fs);
        zip.archive = u"C:\\set.zip"_s;
        QCOMPARE(thrown([&] { zip.addFile(u"C:\\new.txt"_s); }),
                 LmError::UserBase + ArchiveError::ArchiveNotWritten);
        QCOMPARE(d.readFile(u"C:\\set.zip"_s), before);
        QCOMPARE(d.entryNames(u"C:\\set.zip"_s), u"old.txt"_s);
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
