#pragma once
// Pieces shared by the desktop implementations of each platform: which links
// may be handed to the browser, how a terminal program is chosen, and the
// clipboard.

#include "platform/Desktop.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

namespace stowage::platform {

// Only web and mail links leave the application; file:, custom schemes and
// anything else that could start a program are refused.
bool isOpenableLink(const QUrl& url);

// Terminal programs to try, in order: the user's $TERMINAL (a program name or
// path, when set), the Debian alternative x-terminal-emulator, then common
// desktop terminals.
QStringList terminalCandidates(const QString& terminalVariable);

// The first candidate that `findProgram` resolves to an executable path (an
// empty result means "not found"); none when no candidate is found.
std::optional<QString> chooseTerminal(const QStringList& candidates,
                                      const std::function<QString(const QString& name)>& findProgram);

// The folder that holds `path`, worked out from the text alone: the path may
// sit on a hung mount, and this runs on the UI thread.
QString parentFolder(const QString& path);

// The failures every desktop reports in the same words.
DesktopFailure refusedLink(const QUrl& url);
DesktopFailure linkNotOpened(const QUrl& url, const QString& reason);
DesktopFailure folderNotShown(const QString& path, const QString& reason);
DesktopFailure terminalNotOpened(const QString& path, const QString& reason);

// Calls `failed` when it is set.
void report(const DesktopFailed& failed, const DesktopFailure& failure);

// Clears the clipboard and puts `text` on it. Does nothing in a process
// without a GUI application object (there is no clipboard to reach).
void copyToClipboard(const QString& text);

}  // namespace stowage::platform
