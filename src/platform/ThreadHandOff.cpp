#include "platform/ThreadHandOff.h"

namespace stowage::platform {

ThreadHandOff::ThreadHandOff(QObject* receiver)
    : channel_(std::make_shared<Channel>())
{
    channel_->endpoint_ = new ThreadHandOffEndpoint(channel_, receiver);
}

ThreadHandOff::~ThreadHandOff() { channel_->close(); }

void ThreadHandOff::post(std::function<void()> work) const { channel_->post(std::move(work)); }

void ThreadHandOff::Channel::post(std::function<void()> work)
{
    std::lock_guard guard(mutex_);
    if (!endpoint_)
        return;
    waiting_.push_back(std::move(work));
    // Posted under the lock: close() cannot delete the endpoint meanwhile.
    QMetaObject::invokeMethod(endpoint_, "runOne", Qt::QueuedConnection);
}

void ThreadHandOff::Channel::runOne()
{
    std::function<void()> work;
    {
        std::lock_guard guard(mutex_);
        if (waiting_.empty())
            return;
        work = std::move(waiting_.front());
        waiting_.pop_front();
    }
    // One function per posted call, run outside the lock: delivered exactly
    // like one queued call per hand-off.
    work();
}

void ThreadHandOff::Channel::close()
{
    QObject* endpoint = nullptr;
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard guard(mutex_);
        endpoint = std::exchange(endpoint_, nullptr);
        dropped.swap(waiting_);
    }
    delete endpoint;  // its pending calls are discarded with it
}

void ThreadHandOff::Channel::forget(QObject* endpoint)
{
    std::lock_guard guard(mutex_);
    if (endpoint_ == endpoint)
        endpoint_ = nullptr;
}

ThreadHandOffEndpoint::ThreadHandOffEndpoint(std::shared_ptr<ThreadHandOff::Channel> channel, QObject* receiver)
    : QObject(receiver)
    , channel_(std::move(channel))
{
}

ThreadHandOffEndpoint::~ThreadHandOffEndpoint() { channel_->forget(this); }

void ThreadHandOffEndpoint::runOne() { channel_->runOne(); }

}  // namespace stowage::platform
