#pragma once
// The desktop facilities the application uses beyond its window: the
// clipboard, the file manager, a terminal and the web browser. One small
// interface so that the model stays testable and each platform supplies its
// own way (freedesktop on Linux, Finder/iTerm2/Terminal on macOS).

#include <QString>
#include <QUrl>

#include <functional>

namespace stowage::platform {

// A desktop action that could not be done, in words for the user: what was
// tried, on what, and why it failed.
struct DesktopFailure {
    enum class Target { path, link };

    QString title;   // "Could not open a terminal"
    QString tried;   // "Tried to open a terminal in this folder:"
    QString target;  // the path or link
    QString reason;  // what was missing or refused, and what would help
    Target kind = Target::path;

    bool operator==(const DesktopFailure&) const = default;
};

// Called on the UI thread, at most once per action, when the action failed.
// Actions that hand over to another program report only what they can see:
// that no program was there to take it, or that it could not be started.
using DesktopFailed = std::function<void(const DesktopFailure&)>;

class Desktop {
public:
    virtual ~Desktop() = default;

    // Replaces the clipboard's content with plain text.
    virtual void copyText(const QString& text) = 0;
    // Shows `path` in the file manager, selected where the file manager can
    // (else its folder). Neither call looks at the path: callers have checked
    // it off the UI thread.
    virtual void revealInFileManager(const QString& path, DesktopFailed failed) = 0;
    // Opens a terminal whose working directory is the folder `path`.
    virtual void openTerminalAt(const QString& path, DesktopFailed failed) = 0;
    // Opens a web or mail link in the user's browser or mail program; other
    // links are refused (and reported).
    virtual void openUrl(const QUrl& url, DesktopFailed failed) = 0;

    // The real desktop of this system.
    static Desktop& system();
};

}  // namespace stowage::platform
