#pragma once
// Background work yields the processor to the UI thread. A refresh runs a
// dozen docker clients and parses their output on worker threads; on a
// two-core machine they would otherwise take turns with the UI thread and
// stall the window while the data lands.

namespace stowage::platform {

// Lowers the calling thread's scheduling priority a little (on Linux its nice
// value, which the threads and child processes it starts inherit; on macOS
// its quality of service). Failures are ignored: it is only a preference.
void lowerCurrentThreadPriority();

}  // namespace stowage::platform
