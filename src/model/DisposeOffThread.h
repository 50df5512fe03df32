#pragma once
// Lets a large value that is no longer shown (a replaced project index, the
// rows of a table) be freed on a thread of its own. At 10,000 images and
// volumes, freeing an index's tens of thousands of strings, lists and hash
// nodes takes 10–20 ms, a stall of its own when the UI thread does it. The
// value's data may still be shared with copies elsewhere: implicit sharing
// counts references atomically, so whichever thread lets go last frees it.

#include "platform/ThreadPriority.h"

#include <thread>
#include <type_traits>
#include <utility>

namespace stowage {

template <typename T>
void disposeOffThread(T&& value)
{
    static_assert(!std::is_lvalue_reference_v<T>, "hand the value over: disposeOffThread(std::move(value))");
    // The callable, and the value with it, is destroyed on the new thread once it has run.
    std::thread([doomed = std::forward<T>(value)] { platform::lowerCurrentThreadPriority(); }).detach();
}

}  // namespace stowage
