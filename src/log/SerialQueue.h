#pragma once
// A private background thread that runs submitted tasks one at a time, in
// submission order. Submitting never blocks on the tasks themselves.

#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace stowage {

class SerialQueue {
public:
    // `name` becomes the thread's name (visible in debuggers and crash reports).
    explicit SerialQueue(const QString& name);
    // Runs what is still queued, waiting at most `drainLimit`; a thread still
    // busy after that is left to finish on its own.
    ~SerialQueue();

    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void submit(std::function<void()> task);

    // Waits until every task submitted before the call has run, or `limit`
    // has passed; true when they all ran.
    bool flush(std::chrono::milliseconds limit);

    static constexpr std::chrono::milliseconds drainLimit{5000};

private:
    struct State;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace stowage
