#pragma once
// Drives one started child to its end on the calling thread: drains its pipes
// (so a child writing more than a pipe buffer never blocks), enforces the time
// limit, escalates a requested kill from SIGTERM to SIGKILL, and reaps it.
//
// Bounded waits:
//  - after the time limit the child is killed and waited for at most
//    `postTimeoutWait`; should it still not end, it is reaped in the background;
//  - after the child exits, the pipes are read until end of file for at most
//    `drainAfterExit` (a grandchild may hold them open). Everything the child
//    itself wrote is already in the pipe when it exits and is read first, so a
//    child that exits normally never loses output.
// An exception thrown by `onData` or `onTimeout` passes on after the child was
// killed (SIGKILL) and handed to a background reaper: none runs on unwatched.

#include "docker/ProcessBox.h"
#include "platform/ChildProcess.h"

#include <QByteArrayView>

#include <functional>
#include <optional>

namespace stowage {

struct SupervisorTiming {
    double timeout = 0;
    double killGrace = 2.0;
    double postTimeoutWait = 8.0;
    double drainAfterExit = 2.0;
};

struct SupervisedOutcome {
    std::optional<int> status;  // none when the child never ended in time
    bool timedOut = false;
};

enum class ChildStream { out, err };

SupervisedOutcome superviseChild(const platform::SpawnedChild& child, ProcessBox& box, const SupervisorTiming& timing,
                                 const std::function<void(ChildStream, QByteArrayView)>& onData,
                                 const std::function<void()>& onTimeout);

}  // namespace stowage
