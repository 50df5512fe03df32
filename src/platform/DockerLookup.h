#pragma once
// Where the docker program is looked for first. On Linux the docker a user
// means is the one their PATH finds (`which docker`); the fixed places are
// where desktop installs put it on a Mac, whose GUI applications start without
// the user's shell PATH.

#include <QString>

namespace stowage::platform {

#ifdef Q_OS_MACOS
inline constexpr bool userPathBeforeFixedCandidates = false;
#else
inline constexpr bool userPathBeforeFixedCandidates = true;
#endif

// The shell the user's account logs in with (what a terminal starts for them),
// else $SHELL, else none. Asked once for the PATH of the user's own profile,
// which a desktop session started from a display manager may not have.
QString accountShell();

}  // namespace stowage::platform
