#include "platform/drives.h"
#include "platform/launcher.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TstDrives : public QObject
{
    Q_OBJECT

private slots:
    void mappedDrivesInLetterOrder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.path() + u"/c"_s));
        DriveMap map;
        map.setDrive(u'e', dir.path() + u"/unplugged"_s);
        map.setDrive(u'C', dir.path() + u"/c"_s);
        map.setDrive(u'Z', u"/"_s);
        QStringList seen;
        for (const DriveInfo &d : listDrives(map))
            seen << QString(d.letter) + (d.fixed ? u" fixed"_s : u""_s) + (d.ready ? u" ready"_s : u""_s)
                        + (d.freeBytes > 0 ? u" free"_s : u""_s);
        // A letter whose folder is gone is neither a disk to show nor ready.
        QCOMPARE(seen.join(u';'), u"C fixed ready free;E;Z fixed ready free"_s);
    }

    void resolveProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected"); // "@" stands for drive C:'s folder
        QTest::newRow("windows path, other case") << u"c:/TOOLS/Viewer.exe"_s << u"@/tools/Viewer.exe"_s;
        QTest::newRow("host root as Z:") << u"z:\\usr\\bin\\xdg-open"_s << u"/usr/bin/xdg-open"_s;
        QTest::newRow("host path") << u"/usr/bin/xdg-open"_s << u"/usr/bin/xdg-open"_s;
        QTest::newRow("bare command") << u"xdg-open"_s << u"xdg-open"_s;
        QTest::newRow("unmapped drive") << u"Q:\\x.exe"_s << u""_s;
        QTest::newRow("network path") << u"\\\\server\\x.exe"_s << u""_s;
    }
    void resolveProgram()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.path() + u"/tools"_s));
        DriveMap map;
        map.setDrive(u'C', dir.path());
        const FileSystem fs(map);
        QCOMPARE(Launcher(fs).resolveProgram(program), expected.replace(u'@', dir.path()));
    }

    void startProgram()
    {
        const FileSystem fs;
        Launcher launcher(fs);
        QVERIFY(launcher.startProgram(u"/bin/sh"_s, {u"-c"_s, u"exit 0"_s}));
        QVERIFY(!launcher.startProgram(u"/nonexistent/program"_s, {}));
        QVERIFY(!launcher.startProgram(u"Q:\\Program.exe"_s, {}));
    }
};

QTEST_GUILESS_MAIN(TstDrives)
#include "tst_drives.moc"
