#pragma once
// Blocking file-system work (looks at paths that came from Docker, README
// reads) on a few worker threads that nobody ever waits for: work stuck on a
// hung network mount holds its worker, never the UI thread or the
// application's exit. Results are handed to the thread that created this
// object; once it is destroyed, results still to come are dropped.

#include "platform/ThreadHandOff.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace stowage {

class OffThread {
public:
    // At most `maxWorkers` threads run at once; more work waits in order.
    explicit OffThread(int maxWorkers = 4);
    ~OffThread();

    OffThread(const OffThread&) = delete;
    OffThread& operator=(const OffThread&) = delete;

    // Runs `work` on a worker, then `done` with its result on this object's thread.
    template <typename Result>
    void run(std::function<Result()> work, std::function<void(Result)> done)
    {
        submit([work = std::move(work), done = std::move(done)](const Deliver& deliver) {
            // The result is handed on, not copied: what `done` lets go of is not
            // kept alive by this call until it is destroyed.
            deliver([done, result = work()]() mutable { done(std::move(result)); });
        });
    }

    // How many workers are running right now (tests, diagnostics).
    int runningWorkers() const;

private:
    using Deliver = std::function<void(std::function<void()>)>;
    struct State;
    void submit(std::function<void(const Deliver&)> job);

    std::shared_ptr<State> state_;
    QObject receiver_;
    platform::ThreadHandOff handOff_{&receiver_};
};

}  // namespace stowage
