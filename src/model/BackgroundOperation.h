#pragma once
// One model operation (a refresh or a removal) running on a thread of its own.
// The body receives a stop token: a stop request reaches every docker command
// it runs (the runner kills their children) and the body ends through its
// cancellation path. The body hands every state change to the UI thread; it
// never touches model state itself.

#include "platform/ThreadPriority.h"

#include <functional>
#include <future>
#include <memory>
#include <stop_token>
#include <thread>
#include <vector>

namespace stowage {

class BackgroundOperation {
public:
    using Body = std::function<void(std::stop_token)>;

    // The body runs below the UI thread's priority, and so do the threads and
    // docker children it starts.
    explicit BackgroundOperation(Body body)
        : thread_([body = std::move(body)](std::stop_token stop) {
              platform::lowerCurrentThreadPriority();
              body(stop);
          })
    {
    }
    // Joins the thread; request a stop first when it must end early.
    ~BackgroundOperation() = default;

    BackgroundOperation(const BackgroundOperation&) = delete;
    BackgroundOperation& operator=(const BackgroundOperation&) = delete;

    void requestStop() { thread_.request_stop(); }
    bool stopRequested() const { return thread_.get_stop_token().stop_requested(); }

private:
    std::jthread thread_;
};

// Operations that have reported their end but whose threads may still be
// finishing (waiting for killed children, up to the kill grace plus the wait
// after a time-out). They are joined on helper threads, so the thread that
// retires them never waits; destruction waits for all of them.
class RetiredOperations {
public:
    void retire(std::unique_ptr<BackgroundOperation> operation)
    {
        if (!operation)
            return;
        std::erase_if(joins_, [](const std::future<void>& join) {
            return join.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        });
        joins_.push_back(std::async(std::launch::async, [operation = std::move(operation)]() mutable { operation.reset(); }));
    }
    // Waits until every retired operation has ended.
    void joinAll() { joins_.clear(); }

private:
    std::vector<std::future<void>> joins_;
};

}  // namespace stowage
