// Work off the UI thread: it hands its results back to the thread that asked, drops them once the asker is gone,
// and looks at a path only once however often it is asked meanwhile.
#include "model/BackgroundOperation.h"
#include "model/HostPathFacts.h"
#include "model/OffThread.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <latch>

namespace stowage {
namespace {

TEST(WorkerThreads, ResultsArriveOnTheAskingThreadOnlyAndPathChecksAreJoined)
{
    QThread* asker = QThread::currentThread();
    QThread* answeredOn = nullptr;
    {
        OffThread workers;
        workers.run<int>([] { return 1; }, [&](int) { answeredOn = QThread::currentThread(); });
        ASSERT_TRUE(test::waitUntil([&] { return answeredOn != nullptr; }));
    }
    EXPECT_EQ(answeredOn, asker);

    std::latch release(1);
    bool delivered = false;
    {
        OffThread workers;
        workers.run<int>([&] {
            release.wait();
            return 1;
        }, [&](int) { delivered = true; });
    }  // gone while its work still runs
    release.count_down();
    test::drainEvents(std::chrono::milliseconds(100));
    EXPECT_FALSE(delivered);

    // Checks of a path under way are joined, not repeated, and hold no other path.
    std::latch hung(1);
    std::atomic<int> looks = 0;
    HostPathFacts::Probes probes;
    probes.path = [&](const QString& path) {
        if (path == "/tmp") {
            ++looks;
            hung.wait();  // a look that hangs, as on a dead mount
        }
        return platform::probePath(path);
    };
    HostPathFacts facts(probes);
    QObject context;
    int answers = 0;
    for (int click = 0; click < 3; ++click)
        facts.check("/tmp", &context, [&](const platform::PathFacts& answer) {
            EXPECT_EQ(answer.presence, platform::PathPresence::present);
            ++answers;
        });
    bool otherAnswered = false;
    facts.check("/", &context, [&](const platform::PathFacts&) { otherAnswered = true; });
    const bool notHeld = test::waitUntil([&] { return otherAnswered; });
    hung.count_down();
    EXPECT_TRUE(notHeld) << "a hung look held the look at another path";
    ASSERT_TRUE(test::waitUntil([&] { return answers == 3; }));
    EXPECT_EQ(looks.load(), 1);
}

}  // namespace
}  // namespace stowage
