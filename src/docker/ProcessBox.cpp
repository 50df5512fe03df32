#include "docker/ProcessBox.h"

#include "platform/ChildProcess.h"

#include <csignal>

namespace stowage {

bool ProcessBox::set(pid_t pid)
{
    std::lock_guard guard(lock_);
    if (cancelled_)
        return false;
    pid_ = pid;
    return true;
}

void ProcessBox::kill()
{
    std::lock_guard guard(lock_);
    cancelled_ = true;
    if (!pid_ || exited_ || termSentAt_)
        return;
    platform::signalChild(*pid_, SIGTERM);
    termSentAt_ = Clock::now();
}

bool ProcessBox::cancelled() const
{
    std::lock_guard guard(lock_);
    return cancelled_;
}

void ProcessBox::markExited()
{
    std::lock_guard guard(lock_);
    exited_ = true;
}

void ProcessBox::abandon()
{
    std::lock_guard guard(lock_);
    cancelled_ = true;
    if (pid_ && !exited_)
        platform::signalChild(*pid_, SIGKILL);
    exited_ = true;
}

void ProcessBox::escalateIfDue(Clock::time_point now, std::chrono::duration<double> grace)
{
    std::lock_guard guard(lock_);
    if (!pid_ || exited_ || sentKill_ || !termSentAt_ || now - *termSentAt_ < grace)
        return;
    platform::signalChild(*pid_, SIGKILL);
    sentKill_ = true;
}

}  // namespace stowage
