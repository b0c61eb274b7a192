// The file system as the Windows programs see it: drive letters over host folders, names in any
// letter case, read-only files, short names and Windows-1252 text files.

#include "platform/drives.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Drive C: in a temporary folder, and D: its folder "games".
struct Drive
{
    Drive()
    {
        QDir().mkpath(c());
        DriveMap map;
        map.setDrive(u'C', c());
        map.setDrive(u'D', host(u"games"_s));
        fs.setDriveMap(map);
    }

    QString c() const { return dir.path() + u"/drive_c"_s; }
    // A path below drive C:, in host form.
    QString host(const QString &below) const { return QDir::cleanPath(c() + u'/' + below); }
    void write(const QString &below, const QByteArray &content = {})
    {
        QDir().mkpath(QFileInfo(host(below)).absolutePath());
        QFile file(host(below));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void writeReadOnly(const QString &below, const QByteArray &content)
    {
        write(below, content);
        QFile::setPermissions(host(below), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    }
    void makeFolder(const QString &below) { QDir().mkpath(host(below)); }
    bool isReadOnly(const QString &below) const
    {
        return !(QFile::permissions(host(below)) & QFileDevice::WriteOwner);
    }
    Files files() const { return filesBelow(c()); }

    QTemporaryDir dir;
    FileSystem fs;
};

} // namespace

class TstFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void pathsToHost_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("below"); // the host path below drive C:'s folder; null: none
        QTest::newRow("other letter case") << u"C:\\FS2002\\SCENERY.CFG"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("doubled separators, one at the end")
            << u"C:\\\\FS2002\\\\scenery.cfg\\"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("a missing tail as written")
            << u"C:\\FS2002\\Addon\\X.BGL"_s << u"fs2002/Addon/X.BGL"_s;
        QTest::newRow("dots settled before the lookup")
            << u"C:\\Nope\\..\\FS2002\\.\\SCENERY.CFG"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("dots stay on the drive") << u"C:\\..\\..\\fs2002"_s << u"fs2002"_s;
        QTest::newRow("the drive root") << u"C:\\"_s << u""_s;
        QTest::newRow("a drive not mapped") << u"Q:\\fs2002"_s << QString();
        QTest::newRow("a network path") << u"\\\\server\\share\\fs2002"_s << QString();
    }

    void pathsToHost()
    {
        QFETCH(QString, path);
        QFETCH(QString, below);
        Drive d;
        d.write(u"fs2002/scenery.cfg"_s);
        QCOMPARE(d.fs.toHost(path), below.isNull() ? QString() : d.host(below));
    }

    // The drive whose folder holds the path, the longest if several do; outside every drive, Z:
    // is the host's root, as Wine shows it. Every path comes back to the same place.
    void hostPathsToWindows_data()
    {
        QTest::addColumn<QString>("below"); // below drive C:'s folder; from "/" outside it
        QTest::addColumn<QString>("windows");
        QTest::newRow("on C:") << u"FS2002/Scenery.cfg"_s << u"C:\\FS2002\\Scenery.cfg"_s;
        QTest::newRow("the longest drive folder") << u"games/fs/x.bgl"_s << u"D:\\fs\\x.bgl"_s;
        QTest::newRow("a name that begins alike") << u"gamesx/a"_s << u"C:\\gamesx\\a"_s;
        QTest::newRow("outside every drive") << u"/usr/share"_s << u"Z:\\usr\\share"_s;
    }

    void hostPathsToWindows()
    {
        QFETCH(QString, below);
        QFETCH(QString, windows);
        Drive d;
        const QString host = below.startsWith(u'/') ? below : d.host(below);
        QCOMPARE(d.fs.toWindows(host), windows);
        QCOMPARE(d.fs.toHost(windows), host);
    }

    // A letter whose folder is gone is neither a disk to show nor ready.
    void drivesInLetterOrder()
    {
        Drive d;
        const QList<DriveInfo> drives = listDrives(d.fs.driveMap());
        QCOMPARE(drives.size(), 2);
        QCOMPARE(drives[0].letter, QChar(u'C'));
        QVERIFY(drives[0].fixed);
        QVERIFY(drives[0].ready);
        QVERIFY(drives[0].freeBytes > 0);
        QCOMPARE(drives[1].letter, QChar(u'D'));
        QVERIFY(!drives[1].fixed);
        QVERIFY(!drives[1].ready);
    }

    // Of names that differ in letter case only, the one spelt as asked is used, else the first in
    // code order.
    void namesInAnyLetterCase()
    {
        Drive d;
        d.write(u"Data/a.txt"_s, "upper");
        d.write(u"data/a.txt"_s, "lower");
        QCOMPARE(d.fs.readAll(u"C:\\data\\A.TXT"_s), QByteArray("lower"));
        QCOMPARE(d.fs.readAll(u"C:\\DATA\\A.TXT"_s), QByteArray("upper"));
        QCOMPARE(thrownBy([&] { d.fs.readAll(u"Q:\\a.txt"_s); }).number(), LmError::FileNotFound);
    }

    void listingsAndSizes()
    {
        Drive d;
        for (const QString &name : {u"b.txt"_s, u"A.txt"_s, u"c.TXT"_s, u".dot"_s})
            d.write(u"d/"_s + name);
        d.makeFolder(u"d/Zeta"_s);
        d.write(u"s/a.bgl"_s, "1");
        d.write(u"s/texture/b.bmp"_s, "22");
        d.write(u"s/texture/deep/.c"_s, "333");
        d.makeFolder(u"s/empty"_s);
        d.write(u"s.bin"_s, "outside");
        QCOMPARE(d.fs.files(u"C:\\D\\"_s), (QStringList{u".dot"_s, u"A.txt"_s, u"b.txt"_s, u"c.TXT"_s}));
        QCOMPARE(d.fs.folderSize(u"C:\\S"_s), 6);
    }

    void copyFile()
    {
        Drive d;
        d.write(u"src/a.bgl"_s, "new");
        d.write(u"dst/old.bgl"_s, "old");
        d.writeReadOnly(u"dst/locked.bgl"_s, "old");
        d.fs.copyFile(u"C:\\src\\a.bgl"_s, u"C:\\dst\\b.bgl"_s);
        QCOMPARE(thrownBy([&] { d.fs.copyFile(u"C:\\src\\a.bgl"_s, u"C:\\dst\\old.bgl"_s, false); }).number(),
                 LmError::FileAlreadyExists);
        QCOMPARE(thrownBy([&] { d.fs.copyFile(u"C:\\src\\a.bgl"_s, u"C:\\dst\\locked.bgl"_s); }).number(),
                 LmError::PermissionDenied);
        QCOMPARE(d.files()[u"dst/old.bgl"_s], QByteArray("old"));
        d.fs.copyFile(u"C:\\src\\a.bgl"_s, u"C:\\dst\\OLD.BGL"_s); // over the file of that name
        QVERIFY(sameFiles(d.files(), {{u"dst/b.bgl"_s, "new"},
                                      {u"dst/locked.bgl"_s, "old"},
                                      {u"dst/old.bgl"_s, "new"},
                                      {u"src/a.bgl"_s, "new"}}));
    }

    void moveFile()
    {
        Drive d;
        d.write(u"a/f.txt"_s, "moving");
        d.write(u"b/taken.txt"_s, "stays");
        d.fs.moveFile(u"C:\\a\\F.TXT"_s, u"C:\\a\\g.txt"_s);
        d.fs.moveFile(u"C:\\A\\g.txt"_s, u"c:\\B\\"_s);
        QCOMPARE(thrownBy([&] { d.fs.moveFile(u"C:\\b\\g.txt"_s, u"C:\\b\\taken.txt"_s); }).number(),
                 LmError::FileAlreadyExists);
        d.fs.moveFile(u"C:\\b\\g.txt"_s, u"C:\\b\\G.Txt"_s); // the letter case alone
        QVERIFY(sameFiles(d.files(), {{u"b/G.Txt"_s, "moving"}, {u"b/taken.txt"_s, "stays"}}));
    }

    // A read-only file is removed only when forced, or once its mark is cleared.
    void readOnlyFiles()
    {
        Drive d;
        d.writeReadOnly(u"dir/ro.txt"_s, "x");
        d.writeReadOnly(u"dir/ro2.txt"_s, "y");
        QCOMPARE(thrownBy([&] { d.fs.deleteFile(u"C:\\dir\\ro.txt"_s, false); }).number(),
                 LmError::PermissionDenied);
        d.fs.clearAttributes(u"C:\\DIR\\RO.TXT"_s);
        QVERIFY(!d.isReadOnly(u"dir/ro.txt"_s));
        d.fs.deleteFile(u"C:\\dir\\ro.txt"_s, false);
        d.fs.deleteFile(u"C:\\dir\\ro2.txt"_s);
        QVERIFY(d.files().isEmpty());
    }

    // New folders and files take the spelling given; folders already there keep theirs.
    void createdAsSpelt()
    {
        Drive d;
        d.write(u"fs/scenery.cfg"_s, "x");
        d.fs.createFolder(u"C:\\FS\\Addon\\"_s);
        d.fs.appendLine(u"C:\\FS\\Debug.Log"_s, u"caf\u00e9"_s);
        d.fs.appendLine(u"C:\\fs\\DEBUG.LOG"_s, u"two"_s);
        QVERIFY(QFileInfo(d.host(u"fs/Addon"_s)).isDir());
        QVERIFY(
            sameFiles(d.files(), {{u"fs/Debug.Log"_s, "caf\xe9\r\ntwo\r\n"}, {u"fs/scenery.cfg"_s, "x"}}));
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF and LF, empty lines kept")
            << QByteArray("a\r\n\r\n\nb\r\n") << QStringList{u"a"_s, QString(), QString(), u"b"_s};
        QTest::newRow("CR alone") << QByteArray("[General]\rTitle=x\r")
                                  << QStringList{u"[General]"_s, u"Title=x"_s};
        QTest::newRow("Windows-1252, blanks kept")
            << QByteArray(" caf\xe9 \x80\t\r\n") << QStringList{u" caf\u00e9 \u20ac\t"_s};
        // A byte-order mark says the file was saved as UTF-8; the mark is no part of the first line.
        QTest::newRow("UTF-8 after its mark")
            << QByteArray("\xef\xbb\xbf[General]\r\nTitle=Z\xc3\xbcrich\r\n")
            << QStringList{u"[General]"_s, u"Title=Z\u00fcrich"_s};
    }

    void readLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lines);
        Drive d;
        d.write(u"f"_s, file);
        QCOMPARE(d.fs.readLines(u"C:\\F"_s), lines);
    }

    // Lines end in CR LF, in Windows-1252 (every byte of which the round trip below proves); a
    // character outside it is written as "?".
    void writeLines()
    {
        Drive d;
        d.write(u"out.txt"_s, "something much longer than the new content");
        d.fs.writeLines(u"C:\\OUT.TXT"_s,
                        {u"[General]"_s, u"\u20ac\u0141\u00f3d\u017a \u0080 a\U0001F600b"_s});
        QVERIFY(sameFiles(d.files(), {{u"out.txt"_s, "[General]\r\n\x80?\xf3"
                                                     "d? ? a?b\r\n"}}));
    }

    // A failed write leaves the old file whole and nothing half-written beside it.
    void failedWritesLeaveTheFile()
    {
        Drive d;
        d.writeReadOnly(u"data/Scenery.cfg"_s, "old");
        QCOMPARE(thrownBy([&] { d.fs.writeLines(u"C:\\data\\Scenery.cfg"_s, {u"new"_s}); }).number(),
                 LmError::PathFileAccess);
        QCOMPARE(thrownBy([&] { d.fs.writeLines(u"C:\\nodata\\Scenery.cfg"_s, {u"new"_s}); }).number(),
                 LmError::PathNotFound);
        QVERIFY(sameFiles(d.files(), {{u"data/Scenery.cfg"_s, "old"}}));
    }

    // Letters the code page shares with Latin-1 go as they are; U+0080-U+009F are not among
    // them, and only those the code page has there keep their byte (the round trip below).
    void cp1252Encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII and Latin-1") << u"Caf\u00E9 \u00FF"_s << QByteArray("Caf\xE9 \xFF");
        QTest::newRow("controls it has no byte for") << u"a\u0080\u0100"_s << QByteArray("a??");
        QTest::newRow("nothing") << QString() << QByteArray();
    }
    void cp1252Encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1252::encode(text), bytes);
    }

    void cp1252RoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(Cp1252::encode(text), all);
        // 0x80-0x9F are the code page's own letters, not C1 controls (0x81 has none).
        QCOMPARE(text.mid(0x80, 0x20),
                 u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
                 "\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                 "\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178"_s);
        QCOMPARE(text.at(0xE9), QChar(0xE9));
    }
};

QTEST_GUILESS_MAIN(TstFileSystem)
#include "tst_filesystem.moc"
