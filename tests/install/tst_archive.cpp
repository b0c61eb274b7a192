#include "install/archive.h"
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
    QString allFiles() const
    {
        QStringList files;
        for (QDirIterator it(driveCHost(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
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
        // The safe entries on both sides of a refused one are written, nothing else anywhere.
        const QString file = listed.section(u'@', 0, 0), folder = listed.section(u'@', 1).replace(u'\\', u'/');
        QCOMPARE(d.allFiles(), (listed.isEmpty() ? u""_s : u"Flat/%1=row;Target/Inner/%2%1=row;"_s.arg(file, folder)) + u"Target/Inner/first.txt=1;Target/Inner/sub/last.txt=2"_s);
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
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
