#include "model/OffThread.h"

#include "platform/ThreadPriority.h"

#include <thread>

namespace stowage {

struct OffThread::State {
    std::mutex lock;
    std::deque<std::function<void(const Deliver&)>> jobs;  // guarded by lock
    int workers = 0;                                        // guarded by lock
    int maxWorkers = 1;
    // Hands results to the creating thread; drops them once the OffThread is gone.
    std::shared_ptr<platform::ThreadHandOff::Channel> results;
};

OffThread::OffThread(int maxWorkers) : state_(std::make_shared<State>())
{
    state_->maxWorkers = std::max(1, maxWorkers);
    state_->results = handOff_.channel();
}

OffThread::~OffThread()
{
    std::lock_guard guard(state_->lock);
    state_->jobs.clear();
    // handOff_, destroyed next, drops results already handed over and any still to come.
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
        const Deliver deliver = [&state](std::function<void()> result) { state->results->post(std::move(result)); };
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
