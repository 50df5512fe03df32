#pragma once
// Shared between one run, its kill entry in the operation center and the stop
// callback of the waiting caller. kill() may come from any thread, before or
// after the child exists; it never blocks.

#include <chrono>
#include <mutex>
#include <optional>
#include <sys/types.h>

namespace stowage {

class ProcessBox {
public:
    using Clock = std::chrono::steady_clock;

    // Stores the started child unless a kill was already requested; returns
    // whether it was stored. When false, the caller must end the child itself.
    bool set(pid_t pid);

    // Asks the child to stop: SIGTERM now; the run escalates to SIGKILL after
    // its grace period (see escalateIfDue). Sets `cancelled` for good.
    void kill();

    bool cancelled() const;

    // Called by the run that supervises the child once the child has ended
    // (before it is reaped); no signal is sent after this.
    void markExited();

    // Ends the child at once with SIGKILL, for a run that stops supervising it
    // before it ended (an exception unwinding the run); no signal is sent
    // after this, so the caller may hand the child to a background reaper.
    void abandon();

    // Sends SIGKILL when SIGTERM went out at least `grace` ago and the child
    // still runs. The supervising run calls it while it waits.
    void escalateIfDue(Clock::time_point now, std::chrono::duration<double> grace);

private:
    // Signals are sent while holding the lock: together with markExited this
    // guarantees that a signal never reaches a process id that was reaped and
    // reused. kill(2) does not block, so this costs nothing.
    mutable std::mutex lock_;
    std::optional<pid_t> pid_;
    bool cancelled_ = false;
    bool exited_ = false;
    bool sentKill_ = false;
    std::optional<Clock::time_point> termSentAt_;
};

}  // namespace stowage
