#pragma once
// One model operation (a refresh or a removal) running on a thread of its own.
// The body receives a stop token: a stop request reaches every docker command
// it runs (the runner kills their children) and the body ends through its
// cancellation path. The body hands every state change to the UI thread; it
// never touches model state itself.

#include <functional>
#include <stop_token>
#include <thread>

namespace stowage {

class BackgroundOperation {
public:
    using Body = std::function<void(std::stop_token)>;

    explicit BackgroundOperation(Body body) : thread_(std::move(body)) {}
    // Joins the thread; request a stop first when it must end early.
    ~BackgroundOperation() = default;

    BackgroundOperation(const BackgroundOperation&) = delete;
    BackgroundOperation& operator=(const BackgroundOperation&) = delete;

    void requestStop() { thread_.request_stop(); }
    bool stopRequested() const { return thread_.get_stop_token().stop_requested(); }

private:
    std::jthread thread_;
};

}  // namespace stowage
