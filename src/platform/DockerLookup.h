#pragma once
// Where the docker program is looked for first. On Linux the docker a user
// means is the one their PATH finds (`which docker`); the fixed places are
// where desktop installs put it on a Mac, whose GUI applications start without
// the user's shell PATH.

#include <QtGlobal>

namespace stowage::platform {

#ifdef Q_OS_MACOS
inline constexpr bool userPathBeforeFixedCandidates = false;
#else
inline constexpr bool userPathBeforeFixedCandidates = true;
#endif

}  // namespace stowage::platform
