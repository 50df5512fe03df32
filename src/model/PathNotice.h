#pragma once
// What to tell the user about a path this host cannot show: that nothing is
// there, that this user may not open it, or that the file system failed to
// answer. Each notice says what is true and names the path, which the notice
// offers to copy.

#include "platform/FileProbe.h"

#include <QString>

namespace stowage {

struct PathNotice {
    QString title;
    QString message;
};

// A project's working directory (the folder shortcuts).
PathNotice projectPathNotice(const QString& path, const platform::PathFacts& facts);

// A volume's mountpoint. `dockerRoot` is the engine's data root, which on a
// Linux engine holds the volumes and is open to root only.
PathNotice mountpointNotice(const QString& mountpoint, const platform::PathFacts& facts, const QString& dockerRoot);

}  // namespace stowage
