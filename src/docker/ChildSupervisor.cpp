#include "docker/ChildSupervisor.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace stowage {

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

struct OpenPipe {
    int fd;
    ChildStream stream;
};

// Reads everything available now; returns false at end of file or on error.
bool readAvailable(const OpenPipe& pipe, const std::function<void(ChildStream, QByteArrayView)>& onData)
{
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(pipe.fd, buffer, sizeof buffer);
        if (n > 0) {
            onData(pipe.stream, QByteArrayView(buffer, n));
            continue;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

class Supervisor {
public:
    Supervisor(const platform::SpawnedChild& child, ProcessBox& box, const SupervisorTiming& timing,
               const std::function<void(ChildStream, QByteArrayView)>& onData, const std::function<void()>& onTimeout)
        : child_(child), box_(box), timing_(timing), onData_(onData), onTimeout_(onTimeout)
    {
        if (child.outFd >= 0)
            pipes_.push_back({child.outFd, ChildStream::out});
        if (child.errFd >= 0)
            pipes_.push_back({child.errFd, ChildStream::err});
    }

    ~Supervisor()
    {
        for (const auto& pipe : pipes_)
            ::close(pipe.fd);
        // Left by an exception (from onData, say) before the child ended: it
        // must neither run on unsupervised nor stay behind as a zombie.
        if (!exitedAt_ && !handedToReaper_) {
            box_.abandon();
            platform::reapInBackground(child_.pid);
        }
    }

    SupervisedOutcome run()
    {
        const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(Seconds(timing_.timeout));
        for (;;) {
            const auto now = Clock::now();
            checkExit(now);
            if (exitedAt_) {
                if (pipes_.empty() || now - *exitedAt_ >= Seconds(timing_.drainAfterExit)) {
                    drainOnce();
                    return {status_, timedOutAt_.has_value()};
                }
            } else {
                box_.escalateIfDue(now, Seconds(timing_.killGrace));
                if (!timedOutAt_ && now >= deadline) {
                    timedOutAt_ = now;
                    onTimeout_();
                }
                if (timedOutAt_ && now - *timedOutAt_ >= Seconds(timing_.postTimeoutWait)) {
                    drainOnce();
                    platform::reapInBackground(child_.pid);
                    handedToReaper_ = true;
                    return {std::nullopt, true};
                }
            }
            waitForActivity();
        }
    }

private:
    void checkExit(Clock::time_point now)
    {
        if (exitedAt_ || !platform::hasExited(child_.pid))
            return;
        box_.markExited();
        status_ = platform::reapChild(child_.pid);
        exitedAt_ = now;
        idleWait_ = std::chrono::milliseconds(1);
    }

    // Reads whatever the pipes hold right now, closing those at end of file.
    void drainOnce()
    {
        std::erase_if(pipes_, [&](const OpenPipe& pipe) {
            if (readAvailable(pipe, onData_))
                return false;
            ::close(pipe.fd);
            return true;
        });
    }

    // Waits for pipe data or a short while, then reads what arrived. With no
    // pipe left open, the child is about to exit: poll its state quickly at
    // first, then back off.
    void waitForActivity()
    {
        std::vector<pollfd> fds;
        for (const auto& pipe : pipes_)
            fds.push_back({pipe.fd, POLLIN, 0});
        const int sliceMs = fds.empty() ? static_cast<int>(idleWait_.count()) : 50;
        if (fds.empty())
            idleWait_ = std::min(idleWait_ * 2, std::chrono::milliseconds(50));
        int rc = ::poll(fds.data(), fds.size(), sliceMs);
        if (rc > 0)
            drainOnce();
    }

    const platform::SpawnedChild& child_;
    ProcessBox& box_;
    const SupervisorTiming& timing_;
    const std::function<void(ChildStream, QByteArrayView)>& onData_;
    const std::function<void()>& onTimeout_;
    std::vector<OpenPipe> pipes_;
    std::optional<int> status_;
    std::optional<Clock::time_point> exitedAt_;
    std::optional<Clock::time_point> timedOutAt_;
    bool handedToReaper_ = false;
    std::chrono::milliseconds idleWait_{1};
};

}  // namespace

SupervisedOutcome superviseChild(const platform::SpawnedChild& child, ProcessBox& box, const SupervisorTiming& timing,
                                 const std::function<void(ChildStream, QByteArrayView)>& onData,
                                 const std::function<void()>& onTimeout)
{
    return Supervisor(child, box, timing, onData, onTimeout).run();
}

}  // namespace stowage
