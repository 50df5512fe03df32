// Handing work to the UI thread: order, and a receiver that is gone before
// the work arrives.

#include "platform/ThreadHandOff.h"
#include "support/TestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace stowage;
using platform::ThreadHandOff;

// Work from several threads runs on the receiver's thread in each thread's order; work that
// arrives after the receiver is gone is dropped, not run.
TEST(ThreadHandOffTest, WorkRunsOnTheReceiversThreadInEachThreadsOrderAndNotAfterItIsGone)
{
    QObject receiver;
    ThreadHandOff handOff(&receiver);
    std::vector<std::vector<int>> seen(4);
    bool wrongThread = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i)
                handOff.post([&, t, i] {
                    wrongThread |= QThread::currentThread() != receiver.thread();
                    seen[t].push_back(i);
                });
        });
    for (auto& thread : threads)
        thread.join();
    ASSERT_TRUE(test::waitUntil([&] { return seen[0].size() + seen[1].size() + seen[2].size() + seen[3].size() == 2000; }));
    EXPECT_FALSE(wrongThread);
    for (const auto& list : seen)
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end()) && list.size() == 500);

    int runs = 0;
    std::shared_ptr<ThreadHandOff::Channel> channel;
    {
        QObject receiver;
        ThreadHandOff handOff(&receiver);
        channel = handOff.channel();
        handOff.post([&] { ++runs; });  // still waiting when the receiver goes
    }
    std::thread([&] { channel->post([&] { ++runs; }); }).join();
    test::drainEvents();
    EXPECT_EQ(runs, 0);
}

// Kept out of the normal suite: under ThreadSanitizer it must be REPORTED (the
// worker writes `value` after handing over work that reads it, with nothing
// ordering the two). scripts/test.sh runs it and expects the report, which
// proves that the suppressions do not hide races in handed-over work.
TEST(ThreadHandOffTest, DISABLED_RaceInHandedOverWorkIsReported)
{
    QObject receiver;
    ThreadHandOff handOff(&receiver);
    int value = 1;
    int read = 0;
    std::thread worker([&] {
        handOff.post([&] { read = value; });
        value = 2;
    });
    ASSERT_TRUE(test::waitUntil([&] { return read != 0; }));
    worker.join();
}
