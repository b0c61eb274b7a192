#include "platform/programinfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstProgramInfo : public QObject
{
    Q_OBJECT

private slots:
    void folderFromEnvironmentIsCreated()
    {
        QTemporaryDir dir;
        const QString wanted = dir.path() + QStringLiteral("/a/b/Lumivale Home");
        const QByteArray saved = qgetenv("LUMIVALE_HOME");
        qputenv("LUMIVALE_HOME", wanted.toUtf8());
        const QString folder = ProgramInfo::defaultProgramFolder();
        if (saved.isNull())
            qunsetenv("LUMIVALE_HOME");
        else
            qputenv("LUMIVALE_HOME", saved);
        QCOMPARE(folder, wanted);
        QVERIFY(QFileInfo(wanted).isDir());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("one") << QStringList{QStringLiteral("DEBUG")} << QStringLiteral("DEBUG");
        QTest::newRow("two") << QStringList{QStringLiteral("debug"), QStringLiteral("x")} << QStringLiteral("debug x");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QCOMPARE(ProgramInfo(QStringLiteral("/nowhere"), arguments).commandLine(), expected);
    }

    void secondInstanceIsRefused()
    {
        QTemporaryDir dir;
        ProgramInfo first(dir.path());
        QVERIFY(first.acquireInstanceLock());
        QVERIFY(first.acquireInstanceLock());  // asking again keeps the lock
        {
            ProgramInfo second(dir.path());
            QVERIFY(!second.acquireInstanceLock());
        }
        // An old lock of a running instance is not stale.
        QFile lock(dir.path() + QStringLiteral("/Lumivale.lock"));
        QVERIFY(lock.exists());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        lock.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
        lock.close();
        ProgramInfo third(dir.path());
        QVERIFY(!third.acquireInstanceLock());
    }

    void lockIsFreedWithTheInstance()
    {
        QTemporaryDir dir;
        {
            ProgramInfo first(dir.path());
            QVERIFY(first.acquireInstanceLock());
        }
        ProgramInfo next(dir.path());
        QVERIFY(next.acquireInstanceLock());
    }

    void lockOfAVanishedProcessIsTaken()
    {
        QTemporaryDir dir;
        QFile lock(dir.path() + QStringLiteral("/Lumivale.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("2147483646\nlumivale-gone\n\n");
        lock.close();
        ProgramInfo program(dir.path());
        QVERIFY(program.acquireInstanceLock());
    }
};

QTEST_GUILESS_MAIN(TstProgramInfo)
#include "tst_programinfo.moc"
