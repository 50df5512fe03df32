#include "platform/ThreadPriority.h"

#ifdef __APPLE__
#include <pthread.h>
#include <sys/qos.h>
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>

namespace stowage::platform {

namespace {

// Enough for the UI thread to win most contests for a core, not so much that
// background work starves on a busy machine.
constexpr int niceStep = 5;

}  // namespace

void lowerCurrentThreadPriority()
{
#ifdef __APPLE__
    pthread_set_qos_class_self_np(QOS_CLASS_UTILITY, 0);
#else
    // On Linux the nice value belongs to the thread (its kernel task id).
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        setpriority(PRIO_PROCESS, thread, std::min(current + niceStep, 19));
#endif
}

}  // namespace stowage::platform
