#include "model/OffThread.h"

#include "platform/ThreadPriority.h"

#include <QMetaObject>

#include <thread>

namespace stowage {

struct OffThread::State {
    std::mutex lock;
    std::deque<std::function<void(const Deliver&)>> jobs;  // guarded by lock
    int workers = 0;                                        // guarded by lock
    int maxWorkers = 1;
    // Receives results on the creating thread; null once the OffThread is gone.
    QObject* receiver = nullptr;  // guarded by lock
};

OffThread::OffThread(int maxWorkers) : state_(std::make_shared<State>())
{
    state_->maxWorkers = std::max(1, maxWorkers);
    state_->receiver = new QObject;
}

OffThread::~OffThread()
{
    QObject* receiver = nullptr;
    {
        std::lock_guard guard(state_->lock);
        state_->jobs.clear();
        receiver = std::exchange(state_->receiver, nullptr);
    }
    // Deleting it also discards results already posted to it.
    delete receiver;
}

int OffThread::runningWorkers() const
{
    std::lock_guard guard(state_->lock);
    return state_->workers;
}

void OffThread::submit(std::function<void(const Deliver&)> job)
{
    std::lock_guard guard(state_->lock);
    state_->jobs.push_back(std::move(job));
    if (state_->workers >= state_->maxWorkers)
        return;
    ++state_->workers;
    std::thread([state = state_] {
        platform::lowerCurrentThreadPriority();
        const Deliver deliver = [&state](std::function<void()> result) {
            // Posting under the lock: the receiver cannot be deleted meanwhile.
            std::lock_guard guard(state->lock);
            if (state->receiver)
                QMetaObject::invokeMethod(state->receiver, std::move(result), Qt::QueuedConnection);
        };
        for (;;) {
            std::function<void(const Deliver&)> next;
            {
                std::lock_guard guard(state->lock);
                if (state->jobs.empty()) {
                    --state->workers;
                    return;
                }
                next = std::move(state->jobs.front());
                state->jobs.pop_front();
            }
            next(deliver);
        }
    }).detach();
}

}  // namespace stowage
