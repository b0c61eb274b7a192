#include "platform/filesystem.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// A Wine-style prefix in a temporary folder: drive C: is "prefix/drive_c".
struct Sandbox
{
    QTemporaryDir dir;
    FileSystem fs;

    Sandbox()
    {
        QDir(dir.path()).mkpath(QStringLiteral("prefix/drive_c"));
        QDir(dir.path()).mkpath(QStringLiteral("prefix/dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), dir.path() + QStringLiteral("/prefix/dosdevices/c:"));
        fs.setDriveMap(DriveMap::fromWinePrefix(dir.path() + QStringLiteral("/prefix")));
    }

    QString driveC() const { return dir.path() + QStringLiteral("/prefix/drive_c"); }
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
        const QString devices = dir.path() + QStringLiteral("/dosdevices");
        QVERIFY(QDir().mkpath(devices));
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/drive_c")));
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/games")));
        QVERIFY(QFile::link(QStringLiteral("../drive_c"), devices + QStringLiteral("/c:")));
        QVERIFY(QFile::link(dir.path() + QStringLiteral("/games/"), devices + QStringLiteral("/d:")));
        QVERIFY(QFile::link(QStringLiteral("/"), devices + QStringLiteral("/z:")));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), devices + QStringLiteral("/d::")));
        QVERIFY(QFile::link(QStringLiteral("../no-medium"), devices + QStringLiteral("/e:")));
        QVERIFY(QFile::link(QStringLiteral("../drive_c"), devices + QStringLiteral("/com1")));

        const DriveMap map = DriveMap::fromWinePrefix(dir.path());
        QMap<QChar, QString> expected;
        expected.insert(QLatin1Char('C'), dir.path() + QStringLiteral("/drive_c"));
        expected.insert(QLatin1Char('D'), dir.path() + QStringLiteral("/games"));
        expected.insert(QLatin1Char('E'), dir.path() + QStringLiteral("/no-medium"));
        expected.insert(QLatin1Char('Z'), QStringLiteral("/"));
        QCOMPARE(map.drives(), expected);
        QCOMPARE(map.hostFolder(QLatin1Char('c')),
                 std::optional<QString>(dir.path() + QStringLiteral("/drive_c")));
        QVERIFY(!map.hostFolder(QLatin1Char('F')).has_value());
    }

    void driveMapMissingPrefix()
    {
        QTemporaryDir dir;
        QVERIFY(DriveMap::fromWinePrefix(dir.path() + QStringLiteral("/nothing")).isEmpty());
    }

    void driveMapSetDrive()
    {
        DriveMap map;
        map.setDrive(QLatin1Char('d'), QStringLiteral("/srv/games/"));
        map.setDrive(QLatin1Char('Z'), QStringLiteral("/"));
        QCOMPARE(map.hostFolder(QLatin1Char('D')), std::optional<QString>(QStringLiteral("/srv/games")));
        QCOMPARE(map.hostFolder(QLatin1Char('z')), std::optional<QString>(QStringLiteral("/")));
        map.setDrive(QLatin1Char('D'), QString());
        QVERIFY(!map.hostFolder(QLatin1Char('D')).has_value());
    }

    void toHost_data()
    {
        QTest::addColumn<QString>("windowsPath");
        QTest::addColumn<QString>("expected"); // below drive C:; "-" for not found, "" for the drive itself

        const QString none = QStringLiteral("-");
        QTest::newRow("other case") << QStringLiteral("C:\\FS2002\\SCENERY.CFG")
                                    << QStringLiteral("fs2002/scenery.cfg");
        QTest::newRow("slashes, small drive")
            << QStringLiteral("c:/Fs2002/Scenery.cfg") << QStringLiteral("fs2002/scenery.cfg");
        QTest::newRow("doubled separators")
            << QStringLiteral("C:\\\\FS2002\\\\scenery.cfg\\") << QStringLiteral("fs2002/scenery.cfg");
        QTest::newRow("missing tail kept") << QStringLiteral("C:\\FS2002\\Addon Scenery\\New\\Scenery\\X.BGL")
                                           << QStringLiteral("fs2002/Addon Scenery/New/Scenery/X.BGL");
        QTest::newRow("missing middle stops matching")
            << QStringLiteral("C:\\Nope\\FS2002") << QStringLiteral("Nope/FS2002");
        QTest::newRow("dot dot") << QStringLiteral("C:\\FS2002\\Texture\\..\\.\\SCENERY.cfg")
                                 << QStringLiteral("fs2002/scenery.cfg");
        QTest::newRow("dot dot above root")
            << QStringLiteral("C:\\..\\..\\fs2002") << QStringLiteral("fs2002");
        QTest::newRow("drive root") << QStringLiteral("C:\\") << QString();
        QTest::newRow("drive only") << QStringLiteral("C:") << QString();
        QTest::newRow("unc") << QStringLiteral("\\\\server\\share\\fs2002") << none;
        QTest::newRow("unc with slashes") << QStringLiteral("//server/share") << none;
        QTest::newRow("unmapped drive") << QStringLiteral("Q:\\fs2002") << none;
        QTest::newRow("relative") << QStringLiteral("fs2002\\scenery.cfg") << none;
        QTest::newRow("drive relative") << QStringLiteral("C:fs2002") << none;
        QTest::newRow("empty") << QString() << none;
    }

    void toHost()
    {
        QFETCH(QString, windowsPath);
        QFETCH(QString, expected);
        Sandbox box;
        box.put(QStringLiteral("fs2002/scenery.cfg"), "[General]");
        box.mkdir(QStringLiteral("fs2002/texture"));

        const QString host = box.fs.toHost(windowsPath);
        if (expected == QStringLiteral("-")) {
            QCOMPARE(host, QString());
            return;
        }
        QCOMPARE(host, expected.isEmpty() ? box.driveC() : box.host(expected));
    }

    void toHostPrefersExactCase()
    {
        Sandbox box;
        box.put(QStringLiteral("Data/a.txt"), "upper");
        box.put(QStringLiteral("data/a.txt"), "lower");
        QCOMPARE(box.fs.readAll(QStringLiteral("C:\\data\\A.TXT")), QByteArray("lower"));
        QCOMPARE(box.fs.readAll(QStringLiteral("C:\\Data\\A.TXT")), QByteArray("upper"));
        QCOMPARE(box.fs.readAll(QStringLiteral("C:\\DATA\\A.TXT")),
                 QByteArray("upper")); // first by code order
    }

    void toWindows_data()
    {
        QTest::addColumn<bool>("withDriveZ");
        QTest::addColumn<QString>("hostPath"); // "@" stands for drive C:'s folder
        QTest::addColumn<QString>("expected");

        QTest::newRow("file on C") << false << QStringLiteral("@/FS2002/Scenery.cfg")
                                   << QStringLiteral("C:\\FS2002\\Scenery.cfg");
        QTest::newRow("C root") << false << QStringLiteral("@") << QStringLiteral("C:\\");
        QTest::newRow("C root slash") << false << QStringLiteral("@/") << QStringLiteral("C:\\");
        QTest::newRow("longest drive wins")
            << false << QStringLiteral("@/games/fs/x.bgl") << QStringLiteral("D:\\fs\\x.bgl");
        QTest::newRow("prefix of a name is no folder")
            << false << QStringLiteral("@/gamesx/a") << QStringLiteral("C:\\gamesx\\a");
        QTest::newRow("outside, no Z")
            << false << QStringLiteral("/usr/share/doc") << QStringLiteral("Z:\\usr\\share\\doc");
        QTest::newRow("outside, Z mapped")
            << true << QStringLiteral("/usr/share/doc") << QStringLiteral("Z:\\usr\\share\\doc");
        QTest::newRow("host root") << true << QStringLiteral("/") << QStringLiteral("Z:\\");
        QTest::newRow("C beats Z") << true << QStringLiteral("@/a") << QStringLiteral("C:\\a");
        QTest::newRow("unclean") << false << QStringLiteral("@/a/../b//c") << QStringLiteral("C:\\b\\c");
    }

    void toWindows()
    {
        QFETCH(bool, withDriveZ);
        QFETCH(QString, hostPath);
        QFETCH(QString, expected);
        Sandbox box;
        DriveMap map = box.fs.driveMap();
        map.setDrive(QLatin1Char('D'), box.host(QStringLiteral("games")));
        if (withDriveZ)
            map.setDrive(QLatin1Char('Z'), QStringLiteral("/"));
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
        box.put(QStringLiteral("a.txt"));
        QVERIFY(box.fs.fileExists(QStringLiteral("C:\\A.TXT")));
        QVERIFY(!box.fs.folderExists(QStringLiteral("C:\\A.TXT")));
        QVERIFY(box.fs.folderExists(QStringLiteral("c:\\")));
        QVERIFY(!box.fs.fileExists(QStringLiteral("Q:\\a.txt")));
        QVERIFY(!box.fs.fileExists(QStringLiteral("\\\\server\\share\\a.txt")));
        QVERIFY(!box.fs.folderExists(QStringLiteral("a")));
        QCOMPARE(errorOf([&] { box.fs.readAll(QStringLiteral("Q:\\a.txt")); }), LmError::FileNotFound);
        QCOMPARE(errorOf([&] { box.fs.writeAll(QStringLiteral("Q:\\a.txt"), "x"); }), LmError::PathNotFound);
        QCOMPARE(errorOf([&] { box.fs.files(QStringLiteral("\\\\server\\share")); }), LmError::PathNotFound);
    }

    void copyFile_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("checkFile"); // below C:, holds "new" afterwards (or "old" on failure)

        QTest::newRow("new file") << "C:\\src\\a.bgl"
                                  << "C:\\dst\\b.bgl" << true << 0 << "dst/b.bgl";
        QTest::newRow("overwrite") << "C:\\src\\a.bgl"
                                   << "C:\\dst\\OLD.BGL" << true << 0 << "dst/old.bgl";
        QTest::newRow("no overwrite")
            << "C:\\src\\a.bgl"
            << "C:\\dst\\old.bgl" << false << int(LmError::FileAlreadyExists) << "dst/old.bgl";
        QTest::newRow("into folder") << "C:\\SRC\\A.bgl"
                                     << "C:\\dst\\" << true << 0 << "dst/a.bgl";
        QTest::newRow("read-only target")
            << "C:\\src\\a.bgl"
            << "C:\\dst\\locked.bgl" << true << int(LmError::PermissionDenied) << "dst/locked.bgl";
        QTest::newRow("target is folder") << "C:\\src\\a.bgl"
                                          << "C:\\dst" << true << int(LmError::PathFileAccess) << "";
        QTest::newRow("missing source") << "C:\\src\\none.bgl"
                                        << "C:\\dst\\b.bgl" << true << int(LmError::FileNotFound) << "";
        QTest::newRow("source is folder") << "C:\\src"
                                          << "C:\\dst\\b.bgl" << true << int(LmError::FileNotFound) << "";
        QTest::newRow("missing target folder")
            << "C:\\src\\a.bgl"
            << "C:\\nowhere\\b.bgl" << true << int(LmError::PathNotFound) << "";
        QTest::newRow("unmapped target") << "C:\\src\\a.bgl"
                                         << "Q:\\b.bgl" << true << int(LmError::PathNotFound) << "";
    }

    void copyFile()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, overwrite);
        QFETCH(int, error);
        QFETCH(QString, checkFile);
        Sandbox box;
        box.put(QStringLiteral("src/a.bgl"), "new");
        box.put(QStringLiteral("dst/old.bgl"), "old");
        box.put(QStringLiteral("dst/locked.bgl"), "old");
        box.setReadOnly(QStringLiteral("dst/locked.bgl"));

        QCOMPARE(errorOf([&] { box.fs.copyFile(source, target, overwrite); }), error);
        if (!checkFile.isEmpty())
            QCOMPARE(box.content(checkFile), error == 0 ? QByteArray("new") : QByteArray("old"));
        QCOMPARE(box.content(QStringLiteral("src/a.bgl")), QByteArray("new"));
    }

    void copyFilePattern()
    {
        Sandbox box;
        box.put(QStringLiteral("src/a.bgl"), "a");
        box.put(QStringLiteral("src/B.BMP"), "b");
        box.put(QStringLiteral("src/readme"), "r");
        box.put(QStringLiteral("src/sub/deep.bgl"), "d");
        box.put(QStringLiteral("dst/b.bmp"), "old");

        box.fs.copyFile(QStringLiteral("C:\\src\\*.*"), QStringLiteral("C:\\dst"));
        QCOMPARE(box.fs.files(QStringLiteral("C:\\dst")),
                 (QStringList{QStringLiteral("a.bgl"), QStringLiteral("b.bmp"), QStringLiteral("readme")}));
        QCOMPARE(box.content(QStringLiteral("dst/b.bmp")), QByteArray("b"));
        QVERIFY(!box.fs.folderExists(QStringLiteral("C:\\dst\\sub")));

        box.mkdir(QStringLiteral("only"));
        box.fs.copyFile(QStringLiteral("C:\\src\\*.BGL"), QStringLiteral("C:\\only\\"));
        QCOMPARE(box.fs.files(QStringLiteral("C:\\only")), QStringList{QStringLiteral("a.bgl")});
        QCOMPARE(
            errorOf([&] { box.fs.copyFile(QStringLiteral("C:\\src\\*.zip"), QStringLiteral("C:\\only")); }),
            LmError::FileNotFound);
    }

    void moveFile_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("movedTo"); // below C:, empty when nothing moves

        QTest::newRow("rename") << "C:\\a\\F.TXT"
                                << "C:\\a\\g.txt" << 0 << "a/g.txt";
        QTest::newRow("other folder") << "C:\\A\\f.txt"
                                      << "c:\\B\\f.txt" << 0 << "b/f.txt";
        QTest::newRow("into folder") << "C:\\a\\f.txt"
                                     << "C:\\b\\" << 0 << "b/f.txt";
        QTest::newRow("target exists") << "C:\\a\\f.txt"
                                       << "C:\\b\\taken.txt" << int(LmError::FileAlreadyExists) << "";
        QTest::newRow("missing source") << "C:\\a\\none.txt"
                                        << "C:\\b\\x.txt" << int(LmError::FileNotFound) << "";
        QTest::newRow("missing target folder") << "C:\\a\\f.txt"
                                               << "C:\\c\\x.txt" << int(LmError::PathNotFound) << "";
    }

    void moveFile()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(int, error);
        QFETCH(QString, movedTo);
        Sandbox box;
        box.put(QStringLiteral("a/f.txt"), "moving");
        box.put(QStringLiteral("b/taken.txt"), "stays");

        QCOMPARE(errorOf([&] { box.fs.moveFile(source, target); }), error);
        QCOMPARE(QFileInfo::exists(box.host(QStringLiteral("a/f.txt"))), movedTo.isEmpty());
        if (!movedTo.isEmpty())
            QCOMPARE(box.content(movedTo), QByteArray("moving"));
        QCOMPARE(box.content(QStringLiteral("b/taken.txt")), QByteArray("stays"));
    }

    void moveFileChangesOnlyCase()
    {
        Sandbox box;
        box.put(QStringLiteral("a/scenery.cfg"), "x");
        box.fs.moveFile(QStringLiteral("C:\\a\\scenery.cfg"), QStringLiteral("C:\\a\\Scenery.CFG"));
        QCOMPARE(box.fs.files(QStringLiteral("C:\\a")), QStringList{QStringLiteral("Scenery.CFG")});
        QCOMPARE(box.content(QStringLiteral("a/Scenery.CFG")), QByteArray("x"));

        box.mkdir(QStringLiteral("Folder/inner"));
        box.fs.moveFolder(QStringLiteral("C:\\folder"), QStringLiteral("C:\\FOLDER"));
        QCOMPARE(box.fs.subFolders(QStringLiteral("C:\\")),
                 (QStringList{QStringLiteral("a"), QStringLiteral("FOLDER")}));
        QVERIFY(box.fs.folderExists(QStringLiteral("C:\\FOLDER\\inner")));
    }

    void moveFolder_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("movedTo");

        QTest::newRow("rename") << "C:\\Scenery\\Old"
                                << "C:\\Scenery\\New Name" << 0 << "scenery/New Name";
        QTest::newRow("other folder") << "C:\\SCENERY\\old"
                                      << "C:\\addon\\old" << 0 << "addon/old";
        QTest::newRow("target exists") << "C:\\Scenery\\Old"
                                       << "C:\\addon" << int(LmError::FileAlreadyExists) << "";
        QTest::newRow("into itself") << "C:\\Scenery\\Old"
                                     << "C:\\Scenery\\Old\\sub\\x" << int(LmError::PathFileAccess) << "";
        QTest::newRow("missing source") << "C:\\Scenery\\None"
                                        << "C:\\x" << int(LmError::PathNotFound) << "";
        QTest::newRow("missing target parent") << "C:\\Scenery\\Old"
                                               << "C:\\no\\x" << int(LmError::PathNotFound) << "";
    }

    void moveFolder()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(int, error);
        QFETCH(QString, movedTo);
        Sandbox box;
        box.put(QStringLiteral("scenery/old/scenery/a.bgl"), "bgl");
        box.mkdir(QStringLiteral("scenery/old/sub"));
        box.mkdir(QStringLiteral("addon"));

        QCOMPARE(errorOf([&] { box.fs.moveFolder(source, target); }), error);
        QCOMPARE(QFileInfo::exists(box.host(QStringLiteral("scenery/old"))), movedTo.isEmpty());
        if (!movedTo.isEmpty())
            QCOMPARE(box.content(movedTo + QStringLiteral("/scenery/a.bgl")), QByteArray("bgl"));
    }

    void deleteFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("force");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("gone"); // whether "dir/ro.txt" is gone afterwards

        QTest::newRow("read-only, forced") << "C:\\DIR\\RO.TXT" << true << 0 << true;
        QTest::newRow("read-only, not forced")
            << "C:\\dir\\ro.txt" << false << int(LmError::PermissionDenied) << false;
        QTest::newRow("writable, not forced") << "C:\\dir\\rw.txt" << false << 0 << false;
        QTest::newRow("missing") << "C:\\dir\\none.txt" << true << int(LmError::FileNotFound) << false;
        QTest::newRow("a folder") << "C:\\dir" << true << int(LmError::FileNotFound) << false;
        QTest::newRow("unmapped") << "Q:\\dir\\ro.txt" << true << int(LmError::FileNotFound) << false;
    }

    void deleteFile()
    {
        QFETCH(QString, path);
        QFETCH(bool, force);
        QFETCH(int, error);
        QFETCH(bool, gone);
        Sandbox box;
        box.put(QStringLiteral("dir/ro.txt"), "x");
        box.put(QStringLiteral("dir/rw.txt"), "x");
        box.setReadOnly(QStringLiteral("dir/ro.txt"));

        QCOMPARE(errorOf([&] { box.fs.deleteFile(path, force); }), error);
        QCOMPARE(QFileInfo::exists(box.host(QStringLiteral("dir/ro.txt"))), !gone);
        QVERIFY(QFileInfo(box.host(QStringLiteral("dir"))).isDir());
    }

    void deleteFilePattern()
    {
        Sandbox box;
        box.put(QStringLiteral("tex/a.bmp"));
        box.put(QStringLiteral("tex/b.BMP"));
        box.put(QStringLiteral("tex/c.r8"));
        box.setReadOnly(QStringLiteral("tex/b.BMP"));
        box.fs.deleteFile(QStringLiteral("C:\\tex\\*.bmp"));
        QCOMPARE(box.fs.files(QStringLiteral("C:\\tex")), QStringList{QStringLiteral("c.r8")});
        box.fs.deleteFile(QStringLiteral("C:\\tex\\*.*"));
        QVERIFY(box.fs.files(QStringLiteral("C:\\tex")).isEmpty());
        QCOMPARE(errorOf([&] { box.fs.deleteFile(QStringLiteral("C:\\tex\\*.*")); }), LmError::FileNotFound);
    }

    void deleteFolderWithReadOnlyContent_data()
    {
        QTest::addColumn<bool>("force");
        QTest::addColumn<int>("error");
        QTest::newRow("forced") << true << 0;
        QTest::newRow("not forced") << false << int(LmError::PermissionDenied);
    }

    void deleteFolderWithReadOnlyContent()
    {
        QFETCH(bool, force);
        QFETCH(int, error);
        Sandbox box;
        box.put(QStringLiteral("victim/a.txt"), "a");
        box.put(QStringLiteral("victim/sub/deeper/b.txt"), "b");
        box.put(QStringLiteral("victim/sub/.hidden"), "h");
        box.setReadOnly(QStringLiteral("victim/sub/deeper/b.txt"));
        QVERIFY(QFile::setPermissions(box.host(QStringLiteral("victim/sub/deeper")),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        box.put(QStringLiteral("victimize/keep.txt"), "k");

        QCOMPARE(errorOf([&] { box.fs.deleteFolder(QStringLiteral("C:\\VICTIM"), force); }), error);
        QCOMPARE(QFileInfo::exists(box.host(QStringLiteral("victim"))), error != 0);
        QCOMPARE(box.content(QStringLiteral("victimize/keep.txt")), QByteArray("k"));
        if (error != 0)
            QCOMPARE(box.content(QStringLiteral("victim/sub/deeper/b.txt")), QByteArray("b"));
        QCOMPARE(errorOf([&] { box.fs.deleteFolder(QStringLiteral("C:\\none")); }), LmError::PathNotFound);
    }

    void clearAttributes()
    {
        Sandbox box;
        box.put(QStringLiteral("ro.txt"), "x");
        box.setReadOnly(QStringLiteral("ro.txt"));
        box.fs.clearAttributes(QStringLiteral("C:\\RO.TXT"));
        QVERIFY(QFileInfo(box.host(QStringLiteral("ro.txt"))).permissions() & QFileDevice::WriteOwner);
        // Once writable it can be replaced like any other file.
        box.fs.writeAll(QStringLiteral("C:\\ro.txt"), "y");
        QCOMPARE(box.content(QStringLiteral("ro.txt")), QByteArray("y"));
        QCOMPARE(errorOf([&] { box.fs.clearAttributes(QStringLiteral("C:\\none.txt")); }),
                 LmError::FileNotFound);
    }

    void createFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("created");

        QTest::newRow("new") << "C:\\FS2002\\Addon" << 0 << "fs2002/Addon";
        QTest::newRow("trailing separator") << "C:\\fs2002\\Addon\\" << 0 << "fs2002/Addon";
        QTest::newRow("exists, other case") << "C:\\FS2002\\TEXTURE" << 0 << "fs2002/texture";
        QTest::newRow("parent missing") << "C:\\FS2002\\a\\b" << int(LmError::PathNotFound) << "";
        QTest::newRow("file in the way") << "C:\\fs2002\\scenery.cfg" << int(LmError::PathFileAccess) << "";
        QTest::newRow("unmapped") << "Q:\\x" << int(LmError::PathNotFound) << "";
    }

    void createFolder()
    {
        QFETCH(QString, path);
        QFETCH(int, error);
        QFETCH(QString, created);
        Sandbox box;
        box.put(QStringLiteral("fs2002/scenery.cfg"), "x");
        box.put(QStringLiteral("fs2002/texture/t.bmp"), "t");

        QCOMPARE(errorOf([&] { box.fs.createFolder(path); }), error);
        if (!created.isEmpty())
            QVERIFY(QFileInfo(box.host(created)).isDir());
        QCOMPARE(box.content(QStringLiteral("fs2002/texture/t.bmp")), QByteArray("t"));
        QCOMPARE(box.content(QStringLiteral("fs2002/scenery.cfg")), QByteArray("x"));
    }

    void folderSize()
    {
        Sandbox box;
        box.put(QStringLiteral("s/a.bgl"), QByteArray(100, 'a'));
        box.put(QStringLiteral("s/texture/b.bmp"), QByteArray(2000, 'b'));
        box.put(QStringLiteral("s/texture/deep/.c"), QByteArray(30, 'c'));
        box.mkdir(QStringLiteral("s/empty"));
        box.put(QStringLiteral("outside.bin"), QByteArray(5000, 'x'));
        QCOMPARE(box.fs.folderSize(QStringLiteral("C:\\S")), qint64(2130));
        QCOMPARE(box.fs.folderSize(QStringLiteral("C:\\s\\empty")), qint64(0));
        QCOMPARE(errorOf([&] { box.fs.folderSize(QStringLiteral("C:\\none")); }), LmError::PathNotFound);
    }

    void listingsSortedWithoutCase()
    {
        Sandbox box;
        box.put(QStringLiteral("d/b.txt"));
        box.put(QStringLiteral("d/A.txt"));
        box.put(QStringLiteral("d/c.TXT"));
        box.put(QStringLiteral("d/.dot"));
        box.mkdir(QStringLiteral("d/Zeta"));
        box.mkdir(QStringLiteral("d/alpha"));
        QCOMPARE(box.fs.files(QStringLiteral("C:\\D\\")),
                 (QStringList{QStringLiteral(".dot"), QStringLiteral("A.txt"), QStringLiteral("b.txt"),
                              QStringLiteral("c.TXT")}));
        QCOMPARE(box.fs.subFolders(QStringLiteral("C:\\d")),
                 (QStringList{QStringLiteral("alpha"), QStringLiteral("Zeta")}));
        QCOMPARE(errorOf([&] { box.fs.files(QStringLiteral("C:\\d\\b.txt")); }), LmError::PathNotFound);
    }

    void shortName_data()
    {
        QTest::addColumn<QStringList>("siblings");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        const auto list = [](std::initializer_list<const char *> names) {
            QStringList out;
            for (const char *n : names)
                out << QString::fromLatin1(n);
            return out;
        };
        QTest::newRow("long folder") << list({"Program Files"}) << "Program Files"
                                     << "PROGRA~1";
        QTest::newRow("second of two")
            << list({"Program Files (x86)", "Program Files"}) << "Program Files (x86)"
            << "PROGRA~2";
        QTest::newRow("first of two") << list({"Program Files (x86)", "Program Files"}) << "Program Files"
                                      << "PROGRA~1";
        QTest::newRow("third, case ignored in order")
            << list({"scenery one", "Scenery Two", "SCENERY three"}) << "Scenery Two"
            << "SCENER~3";
        QTest::newRow("literal short name taken") << list({"PROGRA~1", "Program Files"}) << "Program Files"
                                                  << "PROGRA~2";
        QTest::newRow("several dots") << list({"a.b.c.txt"}) << "a.b.c.txt"
                                      << "ABC~1.TXT";
        QTest::newRow("long extension") << list({"texture.jpeg"}) << "texture.jpeg"
                                        << "TEXTUR~1.JPE";
        QTest::newRow("blanks") << list({"my file.txt"}) << "my file.txt"
                                << "MYFILE~1.TXT";
        QTest::newRow("invalid characters") << list({"a+b=c.txt"}) << "a+b=c.txt"
                                            << "A_B_C~1.TXT";
        QTest::newRow("leading dot") << list({".hidden"}) << ".hidden"
                                     << "HIDDEN~1";
        QTest::newRow("already short") << list({"readme.txt"}) << "readme.txt"
                                       << "README.TXT";
        QTest::newRow("already short, no extension") << list({"Scenery"}) << "Scenery"
                                                     << "SCENERY";
        QTest::newRow("eight dot three") << list({"AIRPORTS.BGL", "AIRPORTS 2.BGL"}) << "AIRPORTS.BGL"
                                         << "AIRPORTS.BGL";
        QTest::newRow("nine letters") << list({"abcdefghi.txt"}) << "abcdefghi.txt"
                                      << "ABCDEF~1.TXT";
        QTest::newRow("other extensions do not collide")
            << list({"Long Name.bgl", "Long Name.bmp"}) << "Long Name.bmp"
            << "LONGNA~1.BMP";
    }

    void shortName()
    {
        QFETCH(QStringList, siblings);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        Sandbox box;
        for (const QString &sibling : siblings)
            box.put(QStringLiteral("dir/") + sibling);
        QCOMPARE(box.fs.shortName(QStringLiteral("C:\\DIR\\") + name.toUpper()), expected);
    }

    void tempFolder()
    {
        Sandbox box;
        DriveMap map = box.fs.driveMap();
        map.setDrive(QLatin1Char('Z'), QStringLiteral("/"));
        box.fs.setDriveMap(map);
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
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("ascii") << QStringLiteral("Scenery.cfg") << QByteArray("Scenery.cfg");
        QTest::newRow("latin-1") << QStringLiteral(u"Zürich Ølby") << QByteArray("Z\xFCrich \xD8lby");
        QTest::newRow("high controls")
            << QStringLiteral(u"€ „“” – — ™ œ Ÿ") << QByteArray("\x80 \x84\x93\x94 \x96 \x97 \x99 \x9C \x9F");
        QTest::newRow("outside the page") << QStringLiteral(u"Łódź")
                                          << QByteArray("?\xF3"
                                                        "d?");
        QTest::newRow("C1 control without byte") << QString(QChar(0x0080)) << QByteArray("?");
        QTest::newRow("surrogate pair is one character")
            << QStringLiteral(u"a\U0001F600b") << QByteArray("a?b");
    }

    void cp1252Encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1252::encode(text), bytes);
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        const QString a = QStringLiteral("a"), b = QStringLiteral("b"), e;
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{a, b};
        QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{a, b};
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{a, b};
        QTest::newRow("mixed") << QByteArray("a\nb\r\n") << QStringList{a, b};
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n\nb\r\n") << QStringList{a, e, e, b};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{e};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("old Mac line end") << QByteArray("a\rb") << QStringList{a, b};
        QTest::newRow("windows-1252")
            << QByteArray("caf\xE9 \x80\r\n") << QStringList{QStringLiteral(u"café €")};
        QTest::newRow("blanks kept") << QByteArray("  a \t\r\n") << QStringList{QStringLiteral("  a \t")};
    }

    void readLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        Sandbox box;
        box.put(QStringLiteral("f.txt"), bytes);
        QCOMPARE(box.fs.readLines(QStringLiteral("C:\\F.txt")), lines);
    }

    void writeLinesEndsEveryLine_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("two") << QStringList{QStringLiteral("[General]"), QStringLiteral("Title=x")}
                             << QByteArray("[General]\r\nTitle=x\r\n");
        QTest::newRow("empty line last")
            << QStringList{QStringLiteral("a"), QString()} << QByteArray("a\r\n\r\n");
        QTest::newRow("none") << QStringList{} << QByteArray();
        QTest::newRow("encoded") << QStringList{QStringLiteral(u"Ærø €")} << QByteArray("\xC6r\xF8 \x80\r\n");
    }

    void writeLinesEndsEveryLine()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        Sandbox box;
        box.put(QStringLiteral("out.txt"), "something much longer than the new content");
        box.fs.writeLines(QStringLiteral("C:\\OUT.TXT"), lines);
        QCOMPARE(box.content(QStringLiteral("out.txt")), bytes);
        QCOMPARE(box.fs.readLines(QStringLiteral("C:\\out.txt")), lines.isEmpty() ? QStringList{} : lines);
    }

    void appendLine()
    {
        Sandbox box;
        box.mkdir(QStringLiteral("log"));
        box.fs.appendLine(QStringLiteral("C:\\log\\Debug.Log"), QStringLiteral("first"));
        box.fs.appendLine(QStringLiteral("C:\\LOG\\DEBUG.LOG"), QStringLiteral(u"zweite Zeile ä"));
        QCOMPARE(box.fs.files(QStringLiteral("C:\\log")), QStringList{QStringLiteral("Debug.Log")});
        QCOMPARE(box.content(QStringLiteral("log/Debug.Log")), QByteArray("first\r\nzweite Zeile \xE4\r\n"));
        QCOMPARE(errorOf([&] { box.fs.appendLine(QStringLiteral("C:\\nolog\\x.log"), QStringLiteral("x")); }),
                 LmError::PathNotFound);
    }

    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("error");
        QTest::newRow("target is a folder") << "folder" << int(LmError::PathFileAccess);
        QTest::newRow("read-only target") << "read-only file" << int(LmError::PathFileAccess);
        QTest::newRow("read-only folder") << "read-only folder" << int(LmError::PermissionDenied);
        QTest::newRow("folder missing") << "missing folder" << int(LmError::PathNotFound);
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, how);
        QFETCH(int, error);
        Sandbox box;
        QString path = QStringLiteral("C:\\data\\Scenery.cfg");
        box.put(QStringLiteral("data/Scenery.cfg"), "old content");
        if (how == QStringLiteral("folder")) {
            path = QStringLiteral("C:\\data\\Folder");
            box.put(QStringLiteral("data/folder/inside.txt"), "inside");
        } else if (how == QStringLiteral("read-only file")) {
            box.setReadOnly(QStringLiteral("data/Scenery.cfg"));
        } else if (how == QStringLiteral("read-only folder")) {
            if (runningAsRoot())
                QSKIP("the superuser writes into read-only folders");
            QVERIFY(QFile::setPermissions(box.host(QStringLiteral("data")),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            path = QStringLiteral("C:\\nodata\\Scenery.cfg");
        }

        QCOMPARE(errorOf([&] { box.fs.writeLines(path, {QStringLiteral("new")}); }), error);
        QCOMPARE(errorOf([&] {
                     TextFileWriter writer(box.fs, path);
                     writer.writeLine(QStringLiteral("new"));
                     writer.commit();
                 }),
                 error);
        QFile::setPermissions(box.host(QStringLiteral("data")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(box.content(QStringLiteral("data/Scenery.cfg")), QByteArray("old content"));
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(box.host(QStringLiteral("data"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Scenery.cfg")});
        if (how == QStringLiteral("folder"))
            QCOMPARE(box.content(QStringLiteral("data/folder/inside.txt")), QByteArray("inside"));
    }

    void textFileWriter()
    {
        Sandbox box;
        box.put(QStringLiteral("Scenery.cfg"), "old");
        TextFileWriter writer(box.fs, QStringLiteral("C:\\SCENERY.CFG"));
        writer.writeLine(QStringLiteral("[General]"));
        writer.writeLine();
        writer.writeLine(QStringLiteral(u"Title=Café"));
        // Nothing reaches the file before the commit.
        QCOMPARE(box.content(QStringLiteral("Scenery.cfg")), QByteArray("old"));
        writer.commit();
        QCOMPARE(box.content(QStringLiteral("Scenery.cfg")),
                 QByteArray("[General]\r\n\r\nTitle=Caf\xE9\r\n"));
    }
};

QTEST_GUILESS_MAIN(TstFileSystem)
#include "tst_filesystem.moc"
