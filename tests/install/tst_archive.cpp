#include "install/archive.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

using Entries = QList<QPair<QString, QString>>;  // file name, folder path

// Drive C: and D: over two folders of a temporary directory; the temporary folder lies on C:.
class Drives
{
public:
    Drives()
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("c"));
        root.mkpath(QStringLiteral("d"));
        root.mkpath(QStringLiteral("c/Temp"));
        DriveMap map;
        map.setDrive(u'C', dir.path() + QStringLiteral("/c"));
        map.setDrive(u'D', dir.path() + QStringLiteral("/d"));
        fs.setDriveMap(map);
        qputenv("TMPDIR", QFile::encodeName(dir.path() + QStringLiteral("/c/Temp")));
    }

    void write(const QString &windowsPath, const QByteArray &bytes)
    {
        const QString host = hostOf(windowsPath);
        QDir().mkpath(QFileInfo(host).absolutePath());
        QFile f(host);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    QByteArray read(const QString &windowsPath) const
    {
        QFile f(hostOf(windowsPath));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    bool exists(const QString &windowsPath) const { return QFileInfo::exists(hostOf(windowsPath)); }

    QString hostOf(const QString &windowsPath) const
    {
        const QString host = fs.toHost(windowsPath);
        if (host.isEmpty())
            qFatal("unmapped test path %s", qPrintable(windowsPath));
        return host;
    }

    // Every file below the temporary directory, relative to it.
    QStringList allFiles() const
    {
        QStringList files;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(QDir(dir.path()).relativeFilePath(it.next()));
        files.sort();
        return files;
    }

    // Writes an archive with the given entry names and contents straight through libzip, so
    // that names the component itself would never write can be tested.
    void craftZip(const QString &windowsPath, const QList<QPair<QByteArray, QByteArray>> &entries)
    {
        const QString host = hostOf(windowsPath);
        QDir().mkpath(QFileInfo(host).absolutePath());
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(host).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        QVERIFY(z);
        for (const auto &entry : entries) {
            // libzip keeps the buffer until zip_close: the data lives in m_keep.
            m_keep.append(entry.second);
            zip_source_t *src = zip_source_buffer(z, m_keep.last().constData(), zip_uint64_t(m_keep.last().size()), 0);
            QVERIFY(src);
            QVERIFY(zip_file_add(z, entry.first.constData(), src, ZIP_FL_ENC_UTF_8) >= 0);
        }
        QCOMPARE(zip_close(z), 0);
        m_keep.clear();
    }

    QStringList entryNames(const QString &windowsPath) const
    {
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(hostOf(windowsPath)).constData(), ZIP_RDONLY, &error);
        if (!z)
            return {QStringLiteral("<unreadable>")};
        QStringList names;
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i)
            names.append(QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), 0)));
        zip_discard(z);
        names.sort();
        return names;
    }

    QTemporaryDir dir;
    FileSystem fs;

private:
    QList<QByteArray> m_keep;
};

QByteArray patterned(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 12345;
    for (qsizetype i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

qint32 userError(qint32 offset)
{
    return LmError::UserBase + offset;
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void entryName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("bare");
        QTest::addColumn<QString>("expected");

        QTest::newRow("below drive") << u"C:\\FS2002\\Scenery.cfg"_s << false << u"FS2002/Scenery.cfg"_s;
        QTest::newRow("deep below drive") << u"C:\\FS2002\\Scenery\\World\\scenery\\x.bgl"_s << false
                                          << "FS2002/Scenery/World/scenery/x.bgl";
        QTest::newRow("file in drive root") << u"D:\\a.txt"_s << false << u"a.txt"_s;
        QTest::newRow("doubled separator") << u"C:\\FS2002\\\\Scenery.cfg"_s << false << u"FS2002/Scenery.cfg"_s;
        QTest::newRow("forward slashes") << u"C:/FS2002/Scenery.cfg"_s << false << u"FS2002/Scenery.cfg"_s;
        QTest::newRow("bare name") << u"C:\\FS2002\\Texture\\a.bmp"_s << true << u"a.bmp"_s;
        QTest::newRow("bare name in root") << u"C:\\a.bmp"_s << true << u"a.bmp"_s;
    }

    void entryName()
    {
        QFETCH(QString, path);
        QFETCH(bool, bare);
        QFETCH(QString, expected);
        QCOMPARE(Zip::entryName(path, bare ? Zip::EntryNames::BareFileName : Zip::EntryNames::FolderBelowDrive), expected);
    }

    void safeEntryParts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::addColumn<QStringList>("parts");

        QTest::newRow("plain") << u"a.txt"_s << true << QStringList{u"a.txt"_s};
        QTest::newRow("folders") << u"a/b/c.txt"_s << true << QStringList{u"a"_s, u"b"_s, u"c.txt"_s};
        QTest::newRow("backslashes") << u"a\\b.txt"_s << true << QStringList{u"a"_s, u"b.txt"_s};
        QTest::newRow("dot and empty parts") << u"./a//b.txt"_s << true << QStringList{u"a"_s, u"b.txt"_s};
        QTest::newRow("dots inside a name") << u"a/..b/c..txt"_s << true << QStringList{u"a"_s, u"..b"_s, u"c..txt"_s};
        QTest::newRow("folder entry") << u"a/b/"_s << true << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("parent") << u"../evil"_s << false << QStringList{};
        QTest::newRow("parent in the middle") << u"a/../../x"_s << false << QStringList{};
        QTest::newRow("parent that stays inside") << u"a/../x"_s << false << QStringList{};
        QTest::newRow("absolute") << u"/abs"_s << false << QStringList{};
        QTest::newRow("absolute backslash") << u"\\abs"_s << false << QStringList{};
        QTest::newRow("drive") << u"C:/x"_s << false << QStringList{};
        QTest::newRow("drive without separator") << u"C:x"_s << false << QStringList{};
        QTest::newRow("colon in a later part") << u"a/b:c"_s << false << QStringList{};
    }

    void safeEntryParts()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QFETCH(QStringList, parts);
        const std::optional<QStringList> result = Unzip::safeEntryParts(name);
        QCOMPARE(result.has_value(), safe);
        if (safe)
            QCOMPARE(*result, parts);
    }

    void roundTripFolderBelowDrive_data()
    {
        QTest::addColumn<QStringList>("files");

        QTest::newRow("one file") << QStringList{u"C:\\FS2002\\Scenery.cfg"_s};
        QTest::newRow("nested folders") << QStringList{u"C:\\FS2002\\Scenery.cfg"_s, u"C:\\FS2002\\Scenery\\World\\x.bgl"_s,
                                                       u"C:\\FS2002\\FS2002.cfg"_s};
        QTest::newRow("blanks and code page characters")
            << QStringList{QStringLiteral("C:\\Program Files\\FS\\Caf\u00e9 \u00c4rea\\sc\u00e8ne.bgl")};
    }

    void roundTripFolderBelowDrive()
    {
        QFETCH(QStringList, files);
        Drives d;
        // The second file spans several copy buffers with a tail that fills none.
        auto content = [&](qsizetype i) { return patterned(i == 1 ? 3 * 65536 + 4321 : 1000 + i) + files.at(i).toUtf8(); };
        for (qsizetype i = 0; i < files.size(); ++i)
            d.write(files.at(i), content(i));

        QStringList progress;
        Zip zip(d.fs);
        zip.archive = QStringLiteral("C:\\Backups\\set.zip");
        zip.progress = [&](const QString &text) { progress.append(text); };
        QDir().mkpath(d.hostOf(QStringLiteral("C:\\Backups")));
        for (const QString &file : files)
            zip.addFile(file);
        QCOMPARE(progress.size(), files.size());

        // Extracting into another drive's root rebuilds the folders below the drive there.
        Unzip unzip(d.fs);
        unzip.archive = zip.archive;
        unzip.targetFolder = QStringLiteral("D:\\");
        unzip.extractAll();
        QVERIFY(unzip.refusedEntries().isEmpty());
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QString onD = QStringLiteral("D:") + files.at(i).mid(2);
            QVERIFY(d.read(onD) == content(i));
        }

        // Into the drive root it came from, changed files return to their saved state, read-only or not.
        for (const QString &file : files)
            d.write(file, "changed");
        QFile::setPermissions(d.hostOf(files.first()), QFileDevice::ReadOwner);
        unzip.targetFolder = QStringLiteral("C:\\");
        unzip.extractAll();
        for (qsizetype i = 0; i < files.size(); ++i)
            QVERIFY(d.read(files.at(i)) == content(i));
    }

    void roundTripBareNamesWithWildcard()
    {
        Drives d;
        d.write(QStringLiteral("C:\\FS2002\\Texture\\a.bmp"), "aaa");
        d.write(QStringLiteral("C:\\FS2002\\Texture\\b.r8"), "bbbb");
        d.write(QStringLiteral("C:\\FS2002\\Texture\\sub\\c.bmp"), "not in the folder itself");
        QDir().mkpath(d.hostOf(QStringLiteral("C:\\TexBackups")));

        Zip zip(d.fs);
        zip.archive = QStringLiteral("C:\\TexBackups\\tex.zip");
        zip.entryNames = Zip::EntryNames::BareFileName;
        zip.addFile(QStringLiteral("C:\\FS2002\\Texture\\*.*"));
        QCOMPARE(d.entryNames(zip.archive), (QStringList{u"a.bmp"_s, u"b.r8"_s}));

        d.write(QStringLiteral("C:\\FS2002\\Texture\\a.bmp"), "changed");
        QVERIFY(QFile::remove(d.hostOf(QStringLiteral("C:\\FS2002\\Texture\\b.r8"))));
        Unzip unzip(d.fs);
        unzip.archive = zip.archive;
        unzip.targetFolder = QStringLiteral("C:\\FS2002\\Texture");
        unzip.extractAll();
        QCOMPARE(d.read(QStringLiteral("C:\\FS2002\\Texture\\a.bmp")), QByteArray("aaa"));
        QCOMPARE(d.read(QStringLiteral("C:\\FS2002\\Texture\\b.r8")), QByteArray("bbbb"));
    }

    void extractFile_data()
    {
        QTest::addColumn<QString>("archiveBytes");  // "good", "garbage" or "missing"
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("written");  // file expected in the target folder

        QTest::newRow("folder and name") << u"good"_s << u"Scenery\\x.bgl"_s << true << u"x.bgl"_s;
        QTest::newRow("slashes, other case") << u"good"_s << u"SCENERY/X.BGL"_s << true << u"x.bgl"_s;
        QTest::newRow("root entry") << u"good"_s << u"readme.txt"_s << true << u"readme.txt"_s;
        QTest::newRow("name without its folder") << u"good"_s << u"x.bgl"_s << false << u""_s;
        QTest::newRow("folder entry") << u"good"_s << u"Scenery/"_s << false << u""_s;
        QTest::newRow("refused entry") << u"good"_s << u"../evil.txt"_s << false << u""_s;
        QTest::newRow("damaged archive") << u"garbage"_s << u"Scenery\\x.bgl"_s << false << u""_s;
        QTest::newRow("missing archive") << u"missing"_s << u"Scenery\\x.bgl"_s << false << u""_s;
    }

    void extractFile()
    {
        QFETCH(QString, archiveBytes);
        QFETCH(QString, entry);
        QFETCH(bool, result);
        QFETCH(QString, written);
        Drives d;
        const QString archive = QStringLiteral("C:\\in\\s.zip");
        if (archiveBytes == QStringLiteral("good")) {
            d.craftZip(archive, {{"Scenery/", ""}, {"Scenery/x.bgl", "bgl data"}, {"readme.txt", "read me"},
                                 {"../evil.txt", "evil"}});
        } else if (archiveBytes == QStringLiteral("garbage")) {
            d.write(archive, "this is not a zip file at all, just text");
        }
        const QStringList before = d.allFiles();

        Unzip unzip(d.fs);
        unzip.archive = archive;
        unzip.targetFolder = QStringLiteral("C:\\Temp");
        QCOMPARE(unzip.extractFile(entry), result);
        if (result) {
            const QString target = QStringLiteral("C:\\Temp\\") + written;
            QVERIFY(d.exists(target));
            QVERIFY(!d.exists(QStringLiteral("C:\\Temp\\Scenery")));
            QCOMPARE(d.allFiles().size(), before.size() + 1);
        } else {
            QCOMPARE(d.allFiles(), before);
        }
    }

    void listEntries()
    {
        Drives d;
        d.craftZip(QStringLiteral("C:\\s.zip"),
                   {{"readme.txt", "r"}, {"Scenery/", ""}, {"Scenery/x.bgl", "x"}, {"Scenery\\Texture\\y.bmp", "y"},
                    {"../evil.txt", "e"}, {"/abs.txt", "a"}});
        const QStringList before = d.allFiles();
        Entries seen;
        Unzip unzip(d.fs);
        unzip.archive = QStringLiteral("C:\\s.zip");
        unzip.targetFolder = QStringLiteral("D:\\");
        unzip.FileInfo = [&](const QString &name, const QString &folder) { seen.append({name, folder}); };
        unzip.listEntries();
        const Entries expected{{u"readme.txt"_s, u""_s}, {u"x.bgl"_s, u"Scenery\\"_s}, {u"y.bmp"_s, u"Scenery\\Texture\\"_s}};
        QCOMPARE(seen, expected);
        QCOMPARE(unzip.refusedEntries(), (QStringList{u"../evil.txt"_s, u"/abs.txt"_s}));
        QCOMPARE(d.allFiles(), before);
    }

    void zipSlipRefused_data()
    {
        QTest::addColumn<QByteArray>("evil");
        QTest::newRow("parent") << QByteArray("../evil.txt");
        QTest::newRow("parent after folder") << QByteArray("a/../../x.txt");
        QTest::newRow("absolute") << QByteArray("/abs.txt");
        QTest::newRow("absolute backslash") << QByteArray("\\abs2.txt");
        QTest::newRow("drive") << QByteArray("C:/x.txt");
        QTest::newRow("backslash parent") << QByteArray("..\\..\\up.txt");
    }

    void zipSlipRefused()
    {
        QFETCH(QByteArray, evil);
        Drives d;
        d.craftZip(QStringLiteral("C:\\in.zip"), {{"first.txt", "1"}, {evil, "evil"}, {"sub/last.txt", "2"}});
        const QStringList before = d.allFiles();

        Unzip unzip(d.fs);
        unzip.archive = QStringLiteral("C:\\in.zip");
        unzip.targetFolder = QStringLiteral("D:\\Target\\Inner");
        try {
            unzip.extractAll();
            QFAIL("refused entry not reported");
        } catch (const LmError &e) {
            QCOMPARE(e.number(), userError(ArchiveError::EntriesRefused));
            QVERIFY2(e.description().contains(QString::fromUtf8(evil)), qPrintable(e.description()));
        }
        QCOMPARE(unzip.refusedEntries(), QStringList{QString::fromUtf8(evil)});
        // The safe entries on both sides of the refused one are written, nothing else anywhere.
        QCOMPARE(d.read(QStringLiteral("D:\\Target\\Inner\\first.txt")), QByteArray("1"));
        QCOMPARE(d.read(QStringLiteral("D:\\Target\\Inner\\sub\\last.txt")), QByteArray("2"));
        QCOMPARE(d.allFiles().size(), before.size() + 2);
    }

    void damagedArchive_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint32>("number");
        QTest::newRow("garbage") << u"garbage"_s << userError(ArchiveError::ArchiveDamaged);
        QTest::newRow("truncated to half") << u"half"_s << userError(ArchiveError::ArchiveDamaged);
        QTest::newRow("last byte cut") << u"cut1"_s << userError(ArchiveError::ArchiveDamaged);
        QTest::newRow("empty file") << u"empty"_s << userError(ArchiveError::ArchiveDamaged);
        QTest::newRow("missing") << u"missing"_s << qint32(LmError::FileNotFound);
    }

    void damagedArchive()
    {
        QFETCH(QString, kind);
        QFETCH(qint32, number);
        Drives d;
        const QString archive = QStringLiteral("C:\\bad.zip");
        if (kind != QStringLiteral("missing")) {
            d.craftZip(archive, {{"a/one.txt", patterned(20000)}, {"two.txt", "two"}});
            QByteArray bytes = d.read(archive);
            if (kind == QStringLiteral("garbage"))
                bytes = patterned(3000);
            else if (kind == QStringLiteral("half"))
                bytes.truncate(bytes.size() / 2);
            else if (kind == QStringLiteral("cut1"))
                bytes.chop(1);
            else if (kind == QStringLiteral("empty"))
                bytes.clear();
            d.write(archive, bytes);
        }
        const QStringList before = d.allFiles();

        for (int operation = 0; operation < 2; ++operation) {
            Unzip unzip(d.fs);
            unzip.archive = archive;
            unzip.targetFolder = QStringLiteral("D:\\Out");
            unzip.FileInfo = [](const QString &, const QString &) {};
            try {
                if (operation == 0)
                    unzip.listEntries();
                else
                    unzip.extractAll();
                QFAIL("damaged archive accepted");
            } catch (const LmError &e) {
                QCOMPARE(e.number(), number);
            }
        }
        QCOMPARE(d.allFiles(), before);

        // Adding to a file that is not a zip archive fails the same way and leaves it as it was.
        if (kind == QStringLiteral("garbage")) {
            d.write(QStringLiteral("C:\\f.txt"), "f");
            Zip zip(d.fs);
            zip.archive = archive;
            try {
                zip.addFile(QStringLiteral("C:\\f.txt"));
                QFAIL("added to garbage");
            } catch (const LmError &e) {
                QCOMPARE(e.number(), number);
            }
            QCOMPARE(d.read(archive), patterned(3000));
        }
    }

    void corruptEntryKeepsExistingFile()
    {
        Drives d;
        // Stored uncompressed so a flipped byte reaches the data and fails the checksum.
        const QString host = d.hostOf(QStringLiteral("C:\\")) + QStringLiteral("/c.zip");
        {
            int error = 0;
            zip_t *z = zip_open(QFile::encodeName(host).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
            QVERIFY(z);
            const QByteArray data = QByteArray(4000, 'A');
            zip_source_t *src = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
            const zip_int64_t index = zip_file_add(z, "FS/data.txt", src, 0);
            QVERIFY(index >= 0);
            QCOMPARE(zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0), 0);
            QCOMPARE(zip_close(z), 0);
        }
        QByteArray bytes = d.read(QStringLiteral("C:\\c.zip"));
        const qsizetype at = bytes.indexOf(QByteArray(100, 'A'));
        QVERIFY(at > 0);
        bytes[at + 50] = 'B';
        d.write(QStringLiteral("C:\\c.zip"), bytes);
        d.write(QStringLiteral("D:\\FS\\data.txt"), "the file before");

        Unzip unzip(d.fs);
        unzip.archive = QStringLiteral("C:\\c.zip");
        unzip.targetFolder = QStringLiteral("D:\\");
        try {
            unzip.extractAll();
            QFAIL("checksum failure not reported");
        } catch (const LmError &e) {
            QCOMPARE(e.number(), userError(ArchiveError::ArchiveDamaged));
        }
        QCOMPARE(d.read(QStringLiteral("D:\\FS\\data.txt")), QByteArray("the file before"));
    }

    void usableArchivePath_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("copied");
        QTest::newRow("79 characters") << 79 << false;
        QTest::newRow("80 characters") << 80 << true;
        QTest::newRow("120 characters") << 120 << true;
    }

    void usableArchivePath()
    {
        QFETCH(int, length);
        QFETCH(bool, copied);
        Drives d;
        // "C:\" + folder + "\b.zip"
        const QString folder = QString(length - 9, u'f');
        const QString archive = QStringLiteral("C:\\") + folder + QStringLiteral("\\b.zip");
        QCOMPARE(archive.size(), length);
        d.craftZip(archive, {{"x.txt", "x"}});

        const QString usable = Unzip::usableArchivePath(d.fs, archive);
        const QString tmp = d.fs.tempFolder() + QStringLiteral("\\LumivaleTmp.zip");
        QCOMPARE(usable, copied ? tmp : archive);
        QCOMPARE(d.exists(tmp), copied);
        if (copied)
            QCOMPARE(d.read(tmp), d.read(archive));
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
