#pragma once
// The words that differ between desktops: what the file manager is called in
// buttons and menus, and the help that only makes sense on one system. The
// window reads them from here; this system's table is chosen at compile time.

#include <QString>

namespace stowage::platform {

struct PlatformWords {
    // A project card's and the README dialog's button that shows the project folder.
    QString showFolderButton;
    // The Volumes table's context-menu item that shows a volume's mountpoint.
    QString showMountpointAction;
    // The Logs tab's button that shows the log file.
    QString showLogFileButton;
    // Added under a refresh error when the engine refused the user on its
    // socket ("permission denied"); empty where there is nothing to add.
    QString socketPermissionHelp;
    // Added under a refresh error when no docker program was found.
    QString installDockerHelp;
    // The advice after the engine stopped answering a health check.
    QString restartDockerHelp;
};

enum class DesktopKind { macOS, freedesktop };

// In the language of the installed catalogues.
PlatformWords wordsFor(DesktopKind kind);

// The words of the system this program was built for.
PlatformWords platformWords();

}  // namespace stowage::platform
