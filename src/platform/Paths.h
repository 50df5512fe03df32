#pragma once
// Where the application keeps its own files (the activity log, the state cache).

#include <QString>

#include <optional>

namespace stowage::platform {

// The application's data folder: "Stowage" inside the per-user data directory
// ($XDG_DATA_HOME or ~/.local/share on Linux, ~/Library/Application Support on
// macOS). The folder is created when missing; failure to create it is ignored.
// None when the system reports no data directory.
std::optional<QString> appDataDir();

}  // namespace stowage::platform
