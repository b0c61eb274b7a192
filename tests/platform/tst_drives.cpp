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
        map.setDrive(QLatin1Char('e'), dir.path() + u"/unplugged"_s);
        map.setDrive(QLatin1Char('C'), dir.path() + u"/c"_s);
        map.setDrive(QLatin1Char('Z'), u"/"_s);

        const QList<DriveInfo> drives = listDrives(map);
        QCOMPARE(drives.size(), 3);
        QCOMPARE(drives.at(0).letter, QLatin1Char('C'));
        QCOMPARE(drives.at(1).letter, QLatin1Char('E'));
        QCOMPARE(drives.at(2).letter, QLatin1Char('Z'));
        QVERIFY(drives.at(0).fixed && drives.at(0).ready);
        QVERIFY(drives.at(0).freeBytes > 0);
        // A letter whose folder is gone is neither a disk to show nor ready.
        QVERIFY(!drives.at(1).fixed && !drives.at(1).ready);
        QCOMPARE(drives.at(1).freeBytes, qint64(0));
        QVERIFY(drives.at(2).fixed && drives.at(2).ready);
    }

    void resolveProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected"); // "@" stands for drive C:'s folder

        QTest::newRow("windows path") << "C:\\Tools\\Viewer.exe"
                                      << "@/tools/Viewer.exe";
        QTest::newRow("windows path, slashes") << "c:/TOOLS/viewer.exe"
                                               << "@/tools/viewer.exe";
        QTest::newRow("host root as Z:") << "z:\\usr\\bin\\xdg-open"
                                         << "/usr/bin/xdg-open";
        QTest::newRow("host path") << "/usr/bin/xdg-open"
                                   << "/usr/bin/xdg-open";
        QTest::newRow("bare command") << "xdg-open"
                                      << "xdg-open";
        QTest::newRow("unmapped drive") << "Q:\\x.exe"
                                        << "";
        QTest::newRow("network path") << "\\\\server\\x.exe"
                                      << "";
    }
    void resolveProgram()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.path() + u"/tools"_s));
        DriveMap map;
        map.setDrive(QLatin1Char('C'), dir.path());
        const FileSystem fs(map);
        const Launcher launcher(fs);
        QCOMPARE(launcher.resolveProgram(program), expected.replace(QLatin1Char('@'), dir.path()));
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
