#include "platform/programinfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// What holds or held the lock before the next start.
enum class Before { RunningInstance, OldLockOfARunningInstance, EndedInstance, VanishedProcess };

} // namespace

Q_DECLARE_METATYPE(Before)

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
        if (saved.isNull())
            qunsetenv("LUMIVALE_HOME");
        else
            qputenv("LUMIVALE_HOME", saved);
        QCOMPARE(folder, wanted);
        QVERIFY(QFileInfo(wanted).isDir());
        QCOMPARE(ProgramInfo(folder, {u"debug"_s, u"x"_s}).commandLine(), u"debug x"_s);
    }

    // One instance at a time: the lock is taken unless a running instance holds it.
    void instanceLock_data()
    {
        QTest::addColumn<Before>("before");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a running instance") << Before::RunningInstance << false;
        QTest::newRow("an old lock of a running instance is not stale")
            << Before::OldLockOfARunningInstance << false;
        QTest::newRow("freed with the instance") << Before::EndedInstance << true;
        QTest::newRow("the lock of a vanished process") << Before::VanishedProcess << true;
    }

    void instanceLock()
    {
        QFETCH(Before, before);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        QFile lock(dir.path() + u"/Lumivale.lock"_s);
        auto first = std::make_unique<ProgramInfo>(dir.path());
        if (before == Before::VanishedProcess) {
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("2147483646\nlumivale-gone\n\n");
            lock.close();
        } else {
            QVERIFY(first->acquireInstanceLock());
            QVERIFY(first->acquireInstanceLock()); // asking again keeps it
        }
        if (before == Before::OldLockOfARunningInstance) {
            QVERIFY(lock.open(QIODevice::ReadWrite));
            lock.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
            lock.close();
        } else if (before == Before::EndedInstance) {
            first.reset();
        }
        ProgramInfo next(dir.path());
        QCOMPARE(next.acquireInstanceLock(), taken);
    }
};

QTEST_GUILESS_MAIN(TstProgramInfo)
#include "tst_programinfo.moc"
