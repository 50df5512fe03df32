#pragma once
// Hands work from any thread to the thread of one QObject, in the order it was
// handed over: the way background operations, the runner and the log publish
// their changes to the UI thread.
//
// The work waits in a queue guarded by a std::mutex and each hand-off posts a
// no-argument call to a small endpoint object, so the functions and everything
// they capture pass between threads under a lock that ThreadSanitizer sees (Qt's
// own event queue synchronises with primitives it cannot see).

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace stowage::platform {

class ThreadHandOff {
public:
    // Runs handed-over work on `receiver`'s thread. Create it on that thread,
    // owned by the receiver (usually a member), so that it dies with it.
    explicit ThreadHandOff(QObject* receiver);
    // Work still waiting is dropped; later hand-offs through a channel() do nothing.
    ~ThreadHandOff();

    ThreadHandOff(const ThreadHandOff&) = delete;
    ThreadHandOff& operator=(const ThreadHandOff&) = delete;

    // From any thread; `work` runs on the receiver's thread after everything
    // handed over before it.
    void post(std::function<void()> work) const;

    // A handle that may outlive the receiver (a detached thread keeps it):
    // posting through it after the receiver is gone drops the work.
    class Channel;
    std::shared_ptr<Channel> channel() const { return channel_; }

private:
    std::shared_ptr<Channel> channel_;
};

class ThreadHandOff::Channel {
public:
    void post(std::function<void()> work);

private:
    friend class ThreadHandOff;
    friend class ThreadHandOffEndpoint;
    // Runs the oldest waiting function; one call per hand-off.
    void runOne();
    void close();
    void forget(QObject* endpoint);

    std::mutex mutex_;
    std::deque<std::function<void()>> waiting_;
    QObject* endpoint_ = nullptr;  // null once closed
};

// The receiver-side object the posted calls land on (an implementation detail
// that needs moc, hence in the header).
class ThreadHandOffEndpoint : public QObject {
    Q_OBJECT
public:
    ThreadHandOffEndpoint(std::shared_ptr<ThreadHandOff::Channel> channel, QObject* receiver);
    // Deleted with its receiver or by close(): either way hand-offs stop.
    ~ThreadHandOffEndpoint() override;

public slots:
    void runOne();

private:
    std::shared_ptr<ThreadHandOff::Channel> channel_;
};

}  // namespace stowage::platform
