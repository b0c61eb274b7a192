#include "platform/programinfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TstProgramInfo : public QObject
{
    Q_OBJECT

private slots:
    void folderFromEnvironmentIsCreated()
    {
        QTemporaryDir dir;
        const QString wanted = dir.path() + u"/a/b/Lumivale Home"_s;
        const QByteArray saved = qgetenv("LUMIVALE_HOME");
        qputenv("LUMIVALE_HOME", wanted.toUtf8());
        const QString folder = ProgramInfo::defaultProgramFolder();
        saved.isNull() ? qunsetenv("LUMIVALE_HOME") : qputenv("LUMIVALE_HOME", saved);
        QCOMPARE(folder, wanted);
        QVERIFY(QFileInfo(wanted).isDir());
        QCOMPARE(ProgramInfo(folder, {u"debug"_s, u"x"_s}).commandLine(), u"debug x"_s);
    }

    void instanceLock_data()
    {
        QTest::addColumn<QString>("before"); // what holds or held the lock
        QTest::addColumn<bool>("taken");
        QTest::newRow("running instance") << u"running"_s << false;
        QTest::newRow("old lock of a running instance is not stale") << u"running, old"_s << false;
        QTest::newRow("freed with the instance") << u"ended"_s << true;
        QTest::newRow("lock of a vanished process") << u"vanished"_s << true;
    }
    void instanceLock()
    {
        QFETCH(QString, before);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        QFile lock(dir.path() + u"/Lumivale.lock"_s);
        auto first = std::make_unique<ProgramInfo>(dir.path());
        if (before == u"vanished") {
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("2147483646\nlumivale-gone\n\n");
            lock.close();
        } else {
            QVERIFY(first->acquireInstanceLock());
            QVERIFY(first->acquireInstanceLock()); // asking again keeps it
        }
        if (before == u"running, old") {
            QVERIFY(lock.open(QIODevice::ReadWrite));
            lock.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
            lock.close();
        } else if (before == u"ended") {
            first.reset();
        }
        ProgramInfo next(dir.path());
        QCOMPARE(next.acquireInstanceLock(), taken);
    }
};

QTEST_GUILESS_MAIN(TstProgramInfo)
#include "tst_programinfo.moc"
