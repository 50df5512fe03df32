#include "log/SerialQueue.h"

#include "platform/ThreadPriority.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>

#include <pthread.h>

namespace stowage {

namespace {

void nameCurrentThread(const QByteArray& name)
{
    // The system keeps at most 15 characters.
#if defined(__APPLE__)
    pthread_setname_np(name.left(15).constData());
#elif defined(__linux__)
    pthread_setname_np(pthread_self(), name.left(15).constData());
#endif
}

}  // namespace

// Shared with the thread so that a thread outliving its queue object (a task
// stuck on a slow disk at shutdown) still has valid state.
struct SerialQueue::State {
    std::mutex lock;
    std::condition_variable workArrived;
    std::condition_variable workDone;
    std::deque<std::function<void()>> tasks;
    quint64 submitted = 0;
    quint64 completed = 0;
    bool stopping = false;
    bool finished = false;

    void run()
    {
        for (;;) {
            std::deque<std::function<void()>> batch;
            {
                std::unique_lock guard(lock);
                workArrived.wait(guard, [&] { return stopping || !tasks.empty(); });
                if (tasks.empty()) {
                    finished = true;  // stopping, and everything has run
                    workDone.notify_all();
                    return;
                }
                batch.swap(tasks);
            }
            for (auto& task : batch)
                task();
            {
                std::lock_guard guard(lock);
                completed += batch.size();
            }
            workDone.notify_all();
        }
    }
};

SerialQueue::SerialQueue(const QString& name) : state_(std::make_shared<State>())
{
    thread_ = std::thread([state = state_, name = name.toUtf8()] {
        nameCurrentThread(name);
        platform::lowerCurrentThreadPriority();
        state->run();
    });
}

SerialQueue::~SerialQueue()
{
    std::unique_lock guard(state_->lock);
    state_->stopping = true;
    state_->workArrived.notify_all();
    const bool drained = state_->workDone.wait_for(guard, drainLimit, [&] { return state_->finished; });
    guard.unlock();
    if (drained)
        thread_.join();
    else
        thread_.detach();  // still busy: it keeps its own reference to the state
}

void SerialQueue::submit(std::function<void()> task)
{
    {
        std::lock_guard guard(state_->lock);
        state_->tasks.push_back(std::move(task));
        ++state_->submitted;
    }
    state_->workArrived.notify_one();
}

bool SerialQueue::flush(std::chrono::milliseconds limit)
{
    std::unique_lock guard(state_->lock);
    const quint64 target = state_->submitted;
    return state_->workDone.wait_for(guard, limit, [&] { return state_->completed >= target; });
}

}  // namespace stowage
