// The registry of running commands: kill entries work from any thread at once,
// the visible list changes only on the UI thread, in call order.

#include "docker/OperationCenter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <thread>

using namespace stowage;
using namespace stowage::test;

namespace {

TEST(OperationCenter, ListChangesOnTheUiThreadInCallOrderAndKillLeavesTheListToTheRun)
{
    OperationCenter center;
    int changes = 0;
    QObject::connect(&center, &OperationCenter::activeChanged, [&] {
        EXPECT_EQ(QThread::currentThread(), center.thread());
        ++changes;
    });
    std::atomic<int> killedB = 0, killedC = 0;
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), c = QUuid::createUuid();
    std::thread worker([&] {
        center.registerOp(a, "ps -a", QDateTime::currentDateTimeUtc(), [] {});
        // A kill entry that re-enters the center must not deadlock.
        center.registerOp(b, "images -a", QDateTime::currentDateTimeUtc(), [&] { ++killedB; center.kill(a); });
        center.unregisterOp(a);  // a run that ends at once never stays listed
        center.registerOp(c, "volume ls", QDateTime::currentDateTimeUtc(), [&] { ++killedC; });
    });
    worker.join();
    EXPECT_TRUE(center.active().isEmpty());  // nothing applied off the UI thread
    drainEvents();
    ASSERT_EQ(center.active().size(), 2);
    EXPECT_EQ(std::pair(center.active()[0].label, center.active()[1].label), std::pair(QString("images -a"), QString("volume ls")));
    EXPECT_EQ(changes, 4);

    center.kill(b);
    center.kill(QUuid::createUuid());
    EXPECT_EQ(std::pair(killedB.load(), killedC.load()), std::pair(1, 0));
    center.killAll();
    EXPECT_EQ(std::pair(killedB.load(), killedC.load()), std::pair(2, 1));
    drainEvents();
    EXPECT_EQ(center.active().size(), 2);  // only the runs' own ending unregisters them
    center.unregisterOp(b);
    center.unregisterOp(c);
    center.kill(b);  // unregistered: ignored
    center.killAll();
    EXPECT_EQ(killedB, 2);
    drainEvents();
    EXPECT_TRUE(center.active().isEmpty());
}

}  // namespace
