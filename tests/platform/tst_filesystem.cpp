#include "platform/filesystem.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A Wine-style prefix in a temporary folder: drive C: is "prefix/drive_c".
struct Sandbox
{
    QTemporaryDir dir;
    FileSystem fs;

    Sandbox()
    {
        QDir(dir.path()).mkpath(u"prefix/drive_c"_s);
        QDir(dir.path()).mkpath(u"prefix/dosdevices"_s);
        QFile::link(u"../drive_c"_s, dir.path() + u"/prefix/dosdevices/c:"_s);
        fs.setDriveMap(DriveMap::fromWinePrefix(dir.path() + u"/prefix"_s));
    }

    QString driveC() const { return dir.path() + u"/prefix/drive_c"_s; }
    QString host(const QString &relative) const { return driveC() + QLatin1Char('/') + relative; }

    void put(const QString &relative, const QByteArray &bytes = {}) const
    {
        const QString path = host(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    void mkdir(const QString &relative) const { QVERIFY(QDir().mkpath(host(relative))); }
    QByteArray content(const QString &relative) const
    {
        QFile file(host(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void setReadOnly(const QString &relative) const
    {
        QVERIFY(QFile::setPermissions(host(relative), QFileDevice::ReadOwner | QFileDevice::ReadUser));
    }
};

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// The number of the LmError the call throws, or 0 when it returns.
template<typename F> qint32 errorOf(F &&call)
{
    try {
        call();
    } catch (const LmError &e) {
        return e.number();
    }
    return 0;
}

} // namespace

class TstFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void driveMapFromPrefix()
    {
        QTemporaryDir dir;
        const QString devices = dir.path() + u"/dosdevices"_s;
        QVERIFY(QDir().mkpath(devices));
        QVERIFY(QDir().mkpath(dir.path() + u"/drive_c"_s));
        QVERIFY(QDir().mkpath(dir.path() + u"/games"_s));
        QVERIFY(QFile::link(u"../drive_c"_s, devices + u"/c:"_s));
        QVERIFY(QFile::link(dir.path() + u"/games/"_s, devices + u"/d:"_s));
        QVERIFY(QFile::link(u"/"_s, devices + u"/z:"_s));
        QVERIFY(QFile::link(u"/dev/null"_s, devices + u"/d::"_s));
        QVERIFY(QFile::link(u"../no-medium"_s, devices + u"/e:"_s));
        QVERIFY(QFile::link(u"../drive_c"_s, devices + u"/com1"_s));

        const DriveMap map = DriveMap::fromWinePrefix(dir.path());
        QMap<QChar, QString> expected;
        expected.insert(QLatin1Char('C'), dir.path() + u"/drive_c"_s);
        expected.insert(QLatin1Char('D'), dir.path() + u"/games"_s);
        expected.insert(QLatin1Char('E'), dir.path() + u"/no-medium"_s);
        expected.insert(QLatin1Char('Z'), u"/"_s);
        QCOMPARE(map.drives(), expected);
        QCOMPARE(map.hostFolder(QLatin1Char('c')), std::optional<QString>(dir.path() + u"/drive_c"_s));
        QVERIFY(!map.hostFolder(QLatin1Char('F')).has_value());
    }

    void driveMapSetDrive()
    {
        DriveMap map;
        map.setDrive(QLatin1Char('d'), u"/srv/games/"_s);
        QCOMPARE(map.hostFolder(QLatin1Char('D')), std::optional<QString>(u"/srv/games"_s));
        map.setDrive(QLatin1Char('D'), QString());
        QVERIFY(map.isEmpty());
        QTemporaryDir dir;
        QVERIFY(DriveMap::fromWinePrefix(dir.path() + u"/nothing"_s).isEmpty());
    }

    void toHost_data()
    {
        // clang-format off
        QTest::addColumn<QString>("windowsPath");
        QTest::addColumn<QString>("expected"); // below drive C:; "-" for not found, "" for the drive itself

        const QString none = u"-"_s;
        QTest::newRow("other case") << u"C:\\FS2002\\SCENERY.CFG"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("slashes, small drive") << u"c:/Fs2002/Scenery.cfg"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("doubled separators") << u"C:\\\\FS2002\\\\scenery.cfg\\"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("missing tail kept") << u"C:\\FS2002\\Addon Scenery\\New\\Scenery\\X.BGL"_s << u"fs2002/Addon Scenery/New/Scenery/X.BGL"_s;
        QTest::newRow("missing middle stops matching") << u"C:\\Nope\\FS2002"_s << u"Nope/FS2002"_s;
        QTest::newRow("dot dot") << u"C:\\FS2002\\Texture\\..\\.\\SCENERY.cfg"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("dot dot after a missing folder") << u"C:\\Nope\\..\\FS2002\\SCENERY.CFG"_s << u"fs2002/scenery.cfg"_s;
        QTest::newRow("dot dot above root") << u"C:\\..\\..\\fs2002"_s << u"fs2002"_s;
        QTest::newRow("drive root") << u"C:\\"_s << QString();
        QTest::newRow("drive only") << u"C:"_s << QString();
        QTest::newRow("unc") << u"\\\\server\\share\\fs2002"_s << none;
        QTest::newRow("unc with slashes") << u"//server/share"_s << none;
        QTest::newRow("unmapped drive") << u"Q:\\fs2002"_s << none;
        QTest::newRow("relative") << u"fs2002\\scenery.cfg"_s << none;
        QTest::newRow("drive relative") << u"C:fs2002"_s << none;
        QTest::newRow("empty") << QString() << none;
        // clang-format on
    }

    void toHost()
    {
        QFETCH(QString, windowsPath);
        QFETCH(QString, expected);
        Sandbox box;
        box.put(u"fs2002/scenery.cfg"_s, "[General]");
        box.mkdir(u"fs2002/texture"_s);

        const QString host = box.fs.toHost(windowsPath);
        if (expected == u"-"_s) {
            QCOMPARE(host, QString());
            return;
        }
        QCOMPARE(host, expected.isEmpty() ? box.driveC() : box.host(expected));
    }

    void toHostPrefersExactCase()
    {
        Sandbox box;
        box.put(u"Data/a.txt"_s, "upper");
        box.put(u"data/a.txt"_s, "lower");
        QCOMPARE(box.fs.readAll(u"C:\\data\\A.TXT"_s), QByteArray("lower"));
        QCOMPARE(box.fs.readAll(u"C:\\Data\\A.TXT"_s), QByteArray("upper"));
        QCOMPARE(box.fs.readAll(u"C:\\DATA\\A.TXT"_s),
                 QByteArray("upper")); // first by code order
    }

    void toWindows_data()
    {
        // clang-format off
        QTest::addColumn<bool>("withDriveZ");
        QTest::addColumn<QString>("hostPath"); // "@" stands for drive C:'s folder
        QTest::addColumn<QString>("expected");

        QTest::newRow("file on C") << false << u"@/FS2002/Scenery.cfg"_s << u"C:\\FS2002\\Scenery.cfg"_s;
        QTest::newRow("C root") << false << u"@"_s << u"C:\\"_s;
        QTest::newRow("C root slash") << false << u"@/"_s << u"C:\\"_s;
        QTest::newRow("longest drive wins") << false << u"@/games/fs/x.bgl"_s << u"D:\\fs\\x.bgl"_s;
        QTest::newRow("prefix of a name is no folder") << false << u"@/gamesx/a"_s << u"C:\\gamesx\\a"_s;
        QTest::newRow("outside, no Z") << false << u"/usr/share/doc"_s << u"Z:\\usr\\share\\doc"_s;
        QTest::newRow("outside, Z mapped") << true << u"/usr/share/doc"_s << u"Z:\\usr\\share\\doc"_s;
        QTest::newRow("host root") << true << u"/"_s << u"Z:\\"_s;
        QTest::newRow("C beats Z") << true << u"@/a"_s << u"C:\\a"_s;
        QTest::newRow("unclean") << false << u"@/a/../b//c"_s << u"C:\\b\\c"_s;
        // clang-format on
    }

    void toWindows()
    {
        QFETCH(bool, withDriveZ);
        QFETCH(QString, hostPath);
        QFETCH(QString, expected);
        Sandbox box;
        DriveMap map = box.fs.driveMap();
        map.setDrive(QLatin1Char('D'), box.host(u"games"_s));
        if (withDriveZ)
            map.setDrive(QLatin1Char('Z'), u"/"_s);
        box.fs.setDriveMap(map);

        hostPath.replace(QLatin1Char('@'), box.driveC());
        const QString windows = box.fs.toWindows(hostPath);
        QCOMPARE(windows, expected);
        // Every path comes back to the same place, also through the Z: fallback.
        QCOMPARE(box.fs.toHost(windows), QDir::cleanPath(hostPath));
    }

    void existsOnUnmappablePaths()
    {
        Sandbox box;
        box.put(u"a.txt"_s);
        QVERIFY(box.fs.fileExists(u"C:\\A.TXT"_s));
        QVERIFY(!box.fs.folderExists(u"C:\\A.TXT"_s));
        QVERIFY(box.fs.folderExists(u"c:\\"_s));
        QVERIFY(!box.fs.fileExists(u"Q:\\a.txt"_s));
        QVERIFY(!box.fs.fileExists(u"\\\\server\\share\\a.txt"_s));
        QVERIFY(!box.fs.folderExists(u"a"_s));
        QCOMPARE(errorOf([&] { box.fs.readAll(u"Q:\\a.txt"_s); }), LmError::FileNotFound);
        QCOMPARE(errorOf([&] { box.fs.writeAll(u"Q:\\a.txt"_s, "x"); }), LmError::PathNotFound);
        QCOMPARE(errorOf([&] { box.fs.files(u"\\\\server\\share"_s); }), LmError::PathNotFound);
    }

    void copyFile_data()
    {
        // clang-format off
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("checkFile"); // below C:, holds "new" afterwards (or "old" on failure)

        QTest::newRow("new file") << "C:\\src\\a.bgl" << "C:\\dst\\b.bgl" << true << 0 << "dst/b.bgl";
        QTest::newRow("overwrite") << "C:\\src\\a.bgl" << "C:\\dst\\OLD.BGL" << true << 0 << "dst/old.bgl";
        QTest::newRow("no overwrite") << "C:\\src\\a.bgl" << "C:\\dst\\old.bgl" << false << int(LmError::FileAlreadyExists) << "dst/old.bgl";
        QTest::newRow("into folder") << "C:\\SRC\\A.bgl" << "C:\\dst\\" << true << 0 << "dst/a.bgl";
        QTest::newRow("read-only target") << "C:\\src\\a.bgl" << "C:\\dst\\locked.bgl" << true << int(LmError::PermissionDenied) << "dst/locked.bgl";
        QTest::newRow("target is folder") << "C:\\src\\a.bgl" << "C:\\dst" << true << int(LmError::PathFileAccess) << "";
        QTest::newRow("missing source") << "C:\\src\\none.bgl" << "C:\\dst\\b.bgl" << true << int(LmError::FileNotFound) << "";
        QTest::newRow("source is folder") << "C:\\src" << "C:\\dst\\b.bgl" << true << int(LmError::FileNotFound) << "";
        QTest::newRow("missing target folder") << "C:\\src\\a.bgl" << "C:\\nowhere\\b.bgl" << true << int(LmError::PathNotFound) << "";
        QTest::newRow("unmapped target") << "C:\\src\\a.bgl" << "Q:\\b.bgl" << true << int(LmError::PathNotFound) << "";
        // clang-format on
    }

    void copyFile()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, overwrite);
        QFETCH(int, error);
        QFETCH(QString, checkFile);
        Sandbox box;
        box.put(u"src/a.bgl"_s, "new");
        box.put(u"dst/old.bgl"_s, "old");
        box.put(u"dst/locked.bgl"_s, "old");
        box.setReadOnly(u"dst/locked.bgl"_s);

        QCOMPARE(errorOf([&] { box.fs.copyFile(source, target, overwrite); }), error);
        if (!checkFile.isEmpty())
            QCOMPARE(box.content(checkFile), error == 0 ? QByteArray("new") : QByteArray("old"));
        QCOMPARE(box.content(u"src/a.bgl"_s), QByteArray("new"));
    }

    void patterns()
    {
        Sandbox box;
        box.put(u"src/a.bgl"_s, "a");
        box.put(u"src/B.BMP"_s, "b");
        box.put(u"src/readme"_s, "r");
        box.put(u"src/sub/deep.bgl"_s, "d");
        box.put(u"dst/b.bmp"_s, "old");

        box.fs.copyFile(u"C:\\src\\*.*"_s, u"C:\\dst"_s);
        QCOMPARE(box.fs.files(u"C:\\dst"_s), (QStringList{u"a.bgl"_s, u"b.bmp"_s, u"readme"_s}));
        QCOMPARE(box.content(u"dst/b.bmp"_s), QByteArray("b"));
        QVERIFY(!box.fs.folderExists(u"C:\\dst\\sub"_s));

        box.mkdir(u"only"_s);
        box.fs.copyFile(u"C:\\src\\*.BGL"_s, u"C:\\only\\"_s);
        QCOMPARE(box.fs.files(u"C:\\only"_s), QStringList{u"a.bgl"_s});
        QCOMPARE(errorOf([&] { box.fs.copyFile(u"C:\\src\\*.zip"_s, u"C:\\only"_s); }),
                 LmError::FileNotFound);

        box.setReadOnly(u"dst/b.bmp"_s);
        box.fs.deleteFile(u"C:\\dst\\*.bmp"_s);
        QCOMPARE(box.fs.files(u"C:\\dst"_s), (QStringList{u"a.bgl"_s, u"readme"_s}));
        box.fs.deleteFile(u"C:\\dst\\*.*"_s);
        QVERIFY(box.fs.files(u"C:\\dst"_s).isEmpty());
        QCOMPARE(errorOf([&] { box.fs.deleteFile(u"C:\\dst\\*.*"_s); }), LmError::FileNotFound);
    }

    void moveFile_data()
    {
        // clang-format off
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("movedTo"); // below C:, empty when nothing moves

        QTest::newRow("rename") << "C:\\a\\F.TXT" << "C:\\a\\g.txt" << 0 << "a/g.txt";
        QTest::newRow("other folder") << "C:\\A\\f.txt" << "c:\\B\\f.txt" << 0 << "b/f.txt";
        QTest::newRow("into folder") << "C:\\a\\f.txt" << "C:\\b\\" << 0 << "b/f.txt";
        QTest::newRow("target exists") << "C:\\a\\f.txt" << "C:\\b\\taken.txt" << int(LmError::FileAlreadyExists) << "";
        QTest::newRow("missing source") << "C:\\a\\none.txt" << "C:\\b\\x.txt" << int(LmError::FileNotFound) << "";
        QTest::newRow("missing target folder") << "C:\\a\\f.txt" << "C:\\c\\x.txt" << int(LmError::PathNotFound) << "";
        // clang-format on
    }

    void moveFile()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(int, error);
        QFETCH(QString, movedTo);
        Sandbox box;
        box.put(u"a/f.txt"_s, "moving");
        box.put(u"b/taken.txt"_s, "stays");

        QCOMPARE(errorOf([&] { box.fs.moveFile(source, target); }), error);
        QCOMPARE(QFileInfo::exists(box.host(u"a/f.txt"_s)), movedTo.isEmpty());
        if (!movedTo.isEmpty())
            QCOMPARE(box.content(movedTo), QByteArray("moving"));
        QCOMPARE(box.content(u"b/taken.txt"_s), QByteArray("stays"));
    }

    void moveFileChangesOnlyCase()
    {
        Sandbox box;
        box.put(u"a/scenery.cfg"_s, "x");
        box.fs.moveFile(u"C:\\a\\scenery.cfg"_s, u"C:\\a\\Scenery.CFG"_s);
        QCOMPARE(box.fs.files(u"C:\\a"_s), QStringList{u"Scenery.CFG"_s});
        QCOMPARE(box.content(u"a/Scenery.CFG"_s), QByteArray("x"));

        box.mkdir(u"Folder/inner"_s);
        box.fs.moveFolder(u"C:\\folder"_s, u"C:\\FOLDER"_s);
        QCOMPARE(box.fs.subFolders(u"C:\\"_s), (QStringList{u"a"_s, u"FOLDER"_s}));
        QVERIFY(box.fs.folderExists(u"C:\\FOLDER\\inner"_s));
    }

    void moveFolder_data()
    {
        // clang-format off
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("movedTo");

        QTest::newRow("rename") << "C:\\Scenery\\Old" << "C:\\Scenery\\New Name" << 0 << "scenery/New Name";
        QTest::newRow("other folder") << "C:\\SCENERY\\old" << "C:\\addon\\old" << 0 << "addon/old";
        QTest::newRow("target exists") << "C:\\Scenery\\Old" << "C:\\addon" << int(LmError::FileAlreadyExists) << "";
        QTest::newRow("into itself") << "C:\\Scenery\\Old" << "C:\\Scenery\\Old\\sub\\x" << int(LmError::PathFileAccess) << "";
        QTest::newRow("missing source") << "C:\\Scenery\\None" << "C:\\x" << int(LmError::PathNotFound) << "";
        QTest::newRow("missing target parent") << "C:\\Scenery\\Old" << "C:\\no\\x" << int(LmError::PathNotFound) << "";
        // clang-format on
    }

    void moveFolder()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(int, error);
        QFETCH(QString, movedTo);
        Sandbox box;
        box.put(u"scenery/old/scenery/a.bgl"_s, "bgl");
        box.mkdir(u"scenery/old/sub"_s);
        box.mkdir(u"addon"_s);

        QCOMPARE(errorOf([&] { box.fs.moveFolder(source, target); }), error);
        QCOMPARE(QFileInfo::exists(box.host(u"scenery/old"_s)), movedTo.isEmpty());
        if (!movedTo.isEmpty())
            QCOMPARE(box.content(movedTo + u"/scenery/a.bgl"_s), QByteArray("bgl"));
    }

    void deleteFile_data()
    {
        // clang-format off
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("force");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("gone"); // whether "dir/ro.txt" is gone afterwards

        QTest::newRow("read-only, forced") << "C:\\DIR\\RO.TXT" << true << 0 << true;
        QTest::newRow("read-only, not forced") << "C:\\dir\\ro.txt" << false << int(LmError::PermissionDenied) << false;
        QTest::newRow("writable, not forced") << "C:\\dir\\rw.txt" << false << 0 << false;
        QTest::newRow("missing") << "C:\\dir\\none.txt" << true << int(LmError::FileNotFound) << false;
        QTest::newRow("a folder") << "C:\\dir" << true << int(LmError::FileNotFound) << false;
        QTest::newRow("unmapped") << "Q:\\dir\\ro.txt" << true << int(LmError::FileNotFound) << false;
        // clang-format on
    }

    void deleteFile()
    {
        QFETCH(QString, path);
        QFETCH(bool, force);
        QFETCH(int, error);
        QFETCH(bool, gone);
        Sandbox box;
        box.put(u"dir/ro.txt"_s, "x");
        box.put(u"dir/rw.txt"_s, "x");
        box.setReadOnly(u"dir/ro.txt"_s);

        QCOMPARE(errorOf([&] { box.fs.deleteFile(path, force); }), error);
        QCOMPARE(QFileInfo::exists(box.host(u"dir/ro.txt"_s)), !gone);
        QVERIFY(QFileInfo(box.host(u"dir"_s)).isDir());
    }

    void deleteFolderWithReadOnlyContent_data()
    {
        // clang-format off
        QTest::addColumn<bool>("force");
        QTest::addColumn<int>("error");
        QTest::newRow("forced") << true << 0;
        QTest::newRow("not forced") << false << int(LmError::PermissionDenied);
        // clang-format on
    }

    void deleteFolderWithReadOnlyContent()
    {
        QFETCH(bool, force);
        QFETCH(int, error);
        Sandbox box;
        box.put(u"victim/a.txt"_s, "a");
        box.put(u"victim/sub/deeper/b.txt"_s, "b");
        box.put(u"victim/sub/.hidden"_s, "h");
        box.setReadOnly(u"victim/sub/deeper/b.txt"_s);
        QVERIFY(QFile::setPermissions(box.host(u"victim/sub/deeper"_s),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        box.put(u"victimize/keep.txt"_s, "k");

        QCOMPARE(errorOf([&] { box.fs.deleteFolder(u"C:\\VICTIM"_s, force); }), error);
        QCOMPARE(QFileInfo::exists(box.host(u"victim"_s)), error != 0);
        QCOMPARE(box.content(u"victimize/keep.txt"_s), QByteArray("k"));
        if (error != 0)
            QCOMPARE(box.content(u"victim/sub/deeper/b.txt"_s), QByteArray("b"));
        QCOMPARE(errorOf([&] { box.fs.deleteFolder(u"C:\\none"_s); }), LmError::PathNotFound);
    }

    void clearAttributes()
    {
        Sandbox box;
        box.put(u"ro.txt"_s, "x");
        box.setReadOnly(u"ro.txt"_s);
        box.fs.clearAttributes(u"C:\\RO.TXT"_s);
        QVERIFY(QFileInfo(box.host(u"ro.txt"_s)).permissions() & QFileDevice::WriteOwner);
        // Once writable it can be replaced like any other file.
        box.fs.writeAll(u"C:\\ro.txt"_s, "y");
        QCOMPARE(box.content(u"ro.txt"_s), QByteArray("y"));
        QCOMPARE(errorOf([&] { box.fs.clearAttributes(u"C:\\none.txt"_s); }), LmError::FileNotFound);
    }

    void createFolder_data()
    {
        // clang-format off
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("created");

        QTest::newRow("new") << "C:\\FS2002\\Addon" << 0 << "fs2002/Addon";
        QTest::newRow("trailing separator") << "C:\\fs2002\\Addon\\" << 0 << "fs2002/Addon";
        QTest::newRow("exists, other case") << "C:\\FS2002\\TEXTURE" << 0 << "fs2002/texture";
        QTest::newRow("parent missing") << "C:\\FS2002\\a\\b" << int(LmError::PathNotFound) << "";
        QTest::newRow("file in the way") << "C:\\fs2002\\scenery.cfg" << int(LmError::PathFileAccess) << "";
        QTest::newRow("unmapped") << "Q:\\x" << int(LmError::PathNotFound) << "";
        // clang-format on
    }

    void createFolder()
    {
        QFETCH(QString, path);
        QFETCH(int, error);
        QFETCH(QString, created);
        Sandbox box;
        box.put(u"fs2002/scenery.cfg"_s, "x");
        box.put(u"fs2002/texture/t.bmp"_s, "t");

        QCOMPARE(errorOf([&] { box.fs.createFolder(path); }), error);
        if (!created.isEmpty())
            QVERIFY(QFileInfo(box.host(created)).isDir());
        QCOMPARE(box.content(u"fs2002/texture/t.bmp"_s), QByteArray("t"));
        QCOMPARE(box.content(u"fs2002/scenery.cfg"_s), QByteArray("x"));
    }

    void folderSize()
    {
        Sandbox box;
        box.put(u"s/a.bgl"_s, QByteArray(100, 'a'));
        box.put(u"s/texture/b.bmp"_s, QByteArray(2000, 'b'));
        box.put(u"s/texture/deep/.c"_s, QByteArray(30, 'c'));
        box.mkdir(u"s/empty"_s);
        box.put(u"outside.bin"_s, QByteArray(5000, 'x'));
        QCOMPARE(box.fs.folderSize(u"C:\\S"_s), qint64(2130));
        QCOMPARE(box.fs.folderSize(u"C:\\s\\empty"_s), qint64(0));
        QCOMPARE(errorOf([&] { box.fs.folderSize(u"C:\\none"_s); }), LmError::PathNotFound);
    }

    void listingsSortedWithoutCase()
    {
        Sandbox box;
        box.put(u"d/b.txt"_s);
        box.put(u"d/A.txt"_s);
        box.put(u"d/c.TXT"_s);
        box.put(u"d/.dot"_s);
        box.mkdir(u"d/Zeta"_s);
        box.mkdir(u"d/alpha"_s);
        QCOMPARE(box.fs.files(u"C:\\D\\"_s), (QStringList{u".dot"_s, u"A.txt"_s, u"b.txt"_s, u"c.TXT"_s}));
        QCOMPARE(box.fs.subFolders(u"C:\\d"_s), (QStringList{u"alpha"_s, u"Zeta"_s}));
        QCOMPARE(errorOf([&] { box.fs.files(u"C:\\d\\b.txt"_s); }), LmError::PathNotFound);
    }

    void shortName_data()
    {
        // clang-format off
        QTest::addColumn<QStringList>("siblings");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        const auto list = [](std::initializer_list<const char *> names) {
            QStringList out;
            for (const char *n : names)
                out << QString::fromLatin1(n);
            return out;
        };
        QTest::newRow("long folder") << list({"Program Files"}) << "Program Files" << "PROGRA~1";
        QTest::newRow("second of two") << list({"Program Files (x86)", "Program Files"}) << "Program Files (x86)" << "PROGRA~2";
        QTest::newRow("first of two") << list({"Program Files (x86)", "Program Files"}) << "Program Files" << "PROGRA~1";
        QTest::newRow("third, case ignored in order") << list({"scenery one", "Scenery Two", "SCENERY three"}) << "Scenery Two" << "SCENER~3";
        QTest::newRow("literal short name taken") << list({"PROGRA~1", "Program Files"}) << "Program Files" << "PROGRA~2";
        QTest::newRow("several dots") << list({"a.b.c.txt"}) << "a.b.c.txt" << "ABC~1.TXT";
        QTest::newRow("long extension") << list({"texture.jpeg"}) << "texture.jpeg" << "TEXTUR~1.JPE";
        QTest::newRow("blanks") << list({"my file.txt"}) << "my file.txt" << "MYFILE~1.TXT";
        QTest::newRow("invalid characters") << list({"a+b=c.txt"}) << "a+b=c.txt" << "A_B_C~1.TXT";
        QTest::newRow("leading dot") << list({".hidden"}) << ".hidden" << "HIDDEN~1";
        QTest::newRow("already short") << list({"readme.txt"}) << "readme.txt" << "README.TXT";
        QTest::newRow("already short, no extension") << list({"Scenery"}) << "Scenery" << "SCENERY";
        QTest::newRow("eight dot three") << list({"AIRPORTS.BGL", "AIRPORTS 2.BGL"}) << "AIRPORTS.BGL" << "AIRPORTS.BGL";
        QTest::newRow("nine letters") << list({"abcdefghi.txt"}) << "abcdefghi.txt" << "ABCDEF~1.TXT";
        QTest::newRow("other extensions do not collide") << list({"Long Name.bgl", "Long Name.bmp"}) << "Long Name.bmp" << "LONGNA~1.BMP";
        // clang-format on
    }

    void shortName()
    {
        QFETCH(QStringList, siblings);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        Sandbox box;
        for (const QString &sibling : siblings)
            box.put(u"dir/"_s + sibling);
        QCOMPARE(box.fs.shortName(u"C:\\DIR\\"_s + name.toUpper()), expected);
    }

    void tempFolder()
    {
        Sandbox box;
        const QString temp = box.fs.tempFolder();
        QVERIFY(!temp.endsWith(QLatin1Char('\\')));
        QCOMPARE(box.fs.toHost(temp), QDir::cleanPath(QDir::tempPath()));
        QVERIFY(box.fs.folderExists(temp));
    }

    void cp1252RoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Cp1252::encode(text), all);
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(0x8A), QChar(0x0160));
        QCOMPARE(text.at(0x99), QChar(0x2122));
        QCOMPARE(text.at(0x9F), QChar(0x0178));
        QCOMPARE(text.at(0x81), QChar(0x0081));
        QCOMPARE(text.at(0xE9), QChar(0x00E9));
    }

    void cp1252Encode_data()
    {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("ascii") << u"Scenery.cfg"_s << QByteArray("Scenery.cfg");
        QTest::newRow("latin-1") << u"Zürich Ølby"_s << QByteArray("Z\xFCrich \xD8lby");
        QTest::newRow("high controls") << u"€ „“” – — ™ œ Ÿ"_s << QByteArray("\x80 \x84\x93\x94 \x96 \x97 \x99 \x9C \x9F");
        QTest::newRow("outside the page") << u"Łódź"_s << QByteArray("?\xF3"
                                                        "d?");
        QTest::newRow("C1 control without byte") << QString(QChar(0x0080)) << QByteArray("?");
        QTest::newRow("surrogate pair is one character") << u"a\U0001F600b"_s << QByteArray("a?b");
        // clang-format on
    }

    void cp1252Encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1252::encode(text), bytes);
    }

    void readLines_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        const QString a = u"a"_s, b = u"b"_s, e;
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{a, b};
        QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{a, b};
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{a, b};
        QTest::newRow("mixed") << QByteArray("a\nb\r\n") << QStringList{a, b};
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n\nb\r\n") << QStringList{a, e, e, b};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{e};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("old Mac line end") << QByteArray("a\rb") << QStringList{a, b};
        QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80\r\n") << QStringList{u"café €"_s};
        QTest::newRow("blanks kept") << QByteArray("  a \t\r\n") << QStringList{u"  a \t"_s};
        // clang-format on
    }

    void readLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        Sandbox box;
        box.put(u"f.txt"_s, bytes);
        QCOMPARE(box.fs.readLines(u"C:\\F.txt"_s), lines);
    }

    void writeLinesEndsEveryLine_data()
    {
        // clang-format off
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("two") << QStringList{u"[General]"_s, u"Title=x"_s} << QByteArray("[General]\r\nTitle=x\r\n");
        QTest::newRow("empty line last") << QStringList{u"a"_s, QString()} << QByteArray("a\r\n\r\n");
        QTest::newRow("none") << QStringList{} << QByteArray();
        QTest::newRow("encoded") << QStringList{u"Ærø €"_s} << QByteArray("\xC6r\xF8 \x80\r\n");
        // clang-format on
    }

    void writeLinesEndsEveryLine()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        Sandbox box;
        box.put(u"out.txt"_s, "something much longer than the new content");
        box.fs.writeLines(u"C:\\OUT.TXT"_s, lines);
        QCOMPARE(box.content(u"out.txt"_s), bytes);
        QCOMPARE(box.fs.readLines(u"C:\\out.txt"_s), lines);

        // The line-by-line writer gives the same file, and only once it commits.
        box.put(u"cfg.txt"_s, "old");
        TextFileWriter writer(box.fs, u"C:\\CFG.TXT"_s);
        for (const QString &line : lines)
            writer.writeLine(line);
        QCOMPARE(box.content(u"cfg.txt"_s), QByteArray("old"));
        writer.commit();
        QCOMPARE(box.content(u"cfg.txt"_s), bytes);
    }

    void appendLine()
    {
        Sandbox box;
        box.mkdir(u"log"_s);
        box.fs.appendLine(u"C:\\log\\Debug.Log"_s, u"first"_s);
        box.fs.appendLine(u"C:\\LOG\\DEBUG.LOG"_s, u"zweite Zeile ä"_s);
        QCOMPARE(box.fs.files(u"C:\\log"_s), QStringList{u"Debug.Log"_s});
        QCOMPARE(box.content(u"log/Debug.Log"_s), QByteArray("first\r\nzweite Zeile \xE4\r\n"));
        QCOMPARE(errorOf([&] { box.fs.appendLine(u"C:\\nolog\\x.log"_s, u"x"_s); }), LmError::PathNotFound);
    }

    void failedWriteKeepsOldFile_data()
    {
        // clang-format off
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("error");
        QTest::newRow("target is a folder") << "folder" << int(LmError::PathFileAccess);
        QTest::newRow("read-only target") << "read-only file" << int(LmError::PathFileAccess);
        QTest::newRow("read-only folder") << "read-only folder" << int(LmError::PermissionDenied);
        QTest::newRow("folder missing") << "missing folder" << int(LmError::PathNotFound);
        // clang-format on
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, how);
        QFETCH(int, error);
        Sandbox box;
        QString path = u"C:\\data\\Scenery.cfg"_s;
        box.put(u"data/Scenery.cfg"_s, "old content");
        if (how == u"folder"_s) {
            path = u"C:\\data\\Folder"_s;
            box.put(u"data/folder/inside.txt"_s, "inside");
        } else if (how == u"read-only file"_s) {
            box.setReadOnly(u"data/Scenery.cfg"_s);
        } else if (how == u"read-only folder"_s) {
            if (runningAsRoot())
                QSKIP("the superuser writes into read-only folders");
            QVERIFY(
                QFile::setPermissions(box.host(u"data"_s), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            path = u"C:\\nodata\\Scenery.cfg"_s;
        }

        QCOMPARE(errorOf([&] { box.fs.writeLines(path, {u"new"_s}); }), error);
        QCOMPARE(errorOf([&] {
                     TextFileWriter writer(box.fs, path);
                     writer.writeLine(u"new"_s);
                     writer.commit();
                 }),
                 error);
        QFile::setPermissions(box.host(u"data"_s),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(box.content(u"data/Scenery.cfg"_s), QByteArray("old content"));
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(box.host(u"data"_s)).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Scenery.cfg"_s});
        if (how == u"folder"_s)
            QCOMPARE(box.content(u"data/folder/inside.txt"_s), QByteArray("inside"));
    }
};

QTEST_GUILESS_MAIN(TstFileSystem)
#include "tst_filesystem.moc"
