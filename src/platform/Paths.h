#pragma once
// Where the application keeps its own files (the activity log, the state
// cache, the lock that admits one window), and how they are kept private:
// they hold project paths and names, so only their owner may read them.

#include <QString>

#include <optional>

namespace stowage::platform {

// The application's data folder: "Stowage" inside the per-user data directory
// ($XDG_DATA_HOME or ~/.local/share on Linux, ~/Library/Application Support on
// macOS). The folder is created when missing, private to the user; failure to
// create it is ignored. None when the system reports no data directory.
std::optional<QString> appDataDir();

// Creates the folder `path` (missing parents with the usual modes) so that
// only its owner may enter it (0700); an existing folder loses any group and
// other access. Returns whether the folder exists afterwards.
bool makePrivateDir(const QString& path);

// Removes group and other access from the file or folder at `path`; never
// adds access. Does nothing when there is nothing to remove or the change is
// refused (the file belongs to someone else).
void restrictToOwner(const QString& path);

// Whether `path` is a folder (not a link to one) that belongs to this user and
// that no one else may write into, so that what this process puts there
// cannot be replaced or faked by another user.
bool isPrivateDir(const QString& path);

}  // namespace stowage::platform
