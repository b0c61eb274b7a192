// A second start on a program folder asks the window already running on it to come to the front.

#include "gui/app/instancechannel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

class TestInstanceChannel : public QObject
{
    Q_OBJECT

private slots:
    // The asking start blocks while it waits, as a second start does before it shows its message;
    // the running one answers from its event loop.
    void askingRaisesTheRunningWindow_data()
    {
        QTest::addColumn<bool>("sameFolder");
        QTest::newRow("same program folder") << true;
        QTest::newRow("another program folder") << false;
    }
    void askingRaisesTheRunningWindow()
    {
        QFETCH(bool, sameFolder);
        QTemporaryDir running, other;
        InstanceChannel channel(running.path());
        QSignalSpy raised(&channel, &InstanceChannel::raiseRequested);
        QVERIFY(channel.listen());
        const QString asked = sameFolder ? running.path() + QStringLiteral("/.") : other.path();
        std::atomic<bool> answered = false;
        std::unique_ptr<QThread> second(
            QThread::create([&] { answered = InstanceChannel::askToRaise(asked, 3000); }));
        second->start();
        QTRY_VERIFY_WITH_TIMEOUT(second->isFinished(), 5000);
        QCOMPARE(answered.load(), sameFolder);
        QCOMPARE(raised.count(), sameFolder ? 1 : 0);
    }

    // Only the holder of the single-instance lock listens, so a name a crashed run left behind is
    // taken over rather than refused.
    void leftOverNameIsTakenOver()
    {
        QTemporaryDir folder;
        auto crashed = std::make_unique<InstanceChannel>(folder.path());
        QVERIFY(crashed->listen());
        InstanceChannel next(folder.path());
        QVERIFY(next.listen());
    }
};

QTEST_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
