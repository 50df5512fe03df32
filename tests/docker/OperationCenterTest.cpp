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

QStringList labels(const OperationCenter& center)
{
    QStringList out;
    for (const auto& op : center.active())
        out << op.label;
    return out;
}

TEST(OperationCenter, ListChangesArriveOnTheUiThreadInCallOrder)
{
    OperationCenter center;
    int changes = 0;
    QObject::connect(&center, &OperationCenter::activeChanged, [&] {
        EXPECT_EQ(QThread::currentThread(), center.thread());
        ++changes;
    });
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), c = QUuid::createUuid();
    std::thread worker([&] {
        center.registerOp(a, "ps -a", QDateTime::currentDateTimeUtc(), [] {});
        center.registerOp(b, "images -a", QDateTime::currentDateTimeUtc(), [] {});
        center.unregisterOp(a);  // a run that ends at once never stays listed
        center.registerOp(c, "volume ls", QDateTime::currentDateTimeUtc(), [] {});
    });
    worker.join();
    EXPECT_TRUE(center.active().isEmpty());  // nothing applied off the UI thread
    drainEvents();
    EXPECT_EQ(labels(center), (QStringList{"images -a", "volume ls"}));
    EXPECT_EQ(changes, 4);
}

TEST(OperationCenter, KillCallsTheEntryOutsideTheLockAndLeavesTheListToTheRun)
{
    OperationCenter center;
    std::atomic<int> killedA = 0, killedB = 0;
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid();
    // A kill entry that re-enters the center must not deadlock.
    center.registerOp(a, "a", QDateTime::currentDateTimeUtc(), [&] {
        ++killedA;
        center.kill(QUuid::createUuid());
    });
    center.registerOp(b, "b", QDateTime::currentDateTimeUtc(), [&] { ++killedB; });
    drainEvents();

    center.kill(a);
    center.kill(QUuid::createUuid());
    EXPECT_EQ(killedA, 1);
    EXPECT_EQ(killedB, 0);
    center.killAll();
    EXPECT_EQ(killedA, 2);
    EXPECT_EQ(killedB, 1);
    drainEvents();
    EXPECT_EQ(center.active().size(), 2);  // only the runs' own ending unregisters them

    center.unregisterOp(a);
    center.unregisterOp(b);
    center.kill(a);  // unregistered: ignored
    center.killAll();
    EXPECT_EQ(killedA, 2);
    drainEvents();
    EXPECT_TRUE(center.active().isEmpty());
}

}  // namespace
