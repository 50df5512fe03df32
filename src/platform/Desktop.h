#pragma once
// The desktop facilities the application uses beyond its window: the
// clipboard, the file manager, a terminal and the web browser. One small
// interface so that the model stays testable and each platform supplies its
// own way (freedesktop on Linux, Finder/iTerm2/Terminal on macOS).

#include <QString>
#include <QUrl>

namespace stowage::platform {

class Desktop {
public:
    virtual ~Desktop() = default;

    // Replaces the clipboard's content with plain text.
    virtual void copyText(const QString& text) = 0;
    // Shows `path` in the file manager, selected where the file manager can
    // (else its folder). Neither call looks at the path: callers have checked
    // it off the UI thread.
    virtual void revealInFileManager(const QString& path) = 0;
    // Opens a terminal whose working directory is the folder `path`.
    virtual void openTerminalAt(const QString& path) = 0;
    // Opens a web or mail link in the user's browser or mail program.
    virtual void openUrl(const QUrl& url) = 0;

    // The real desktop of this system.
    static Desktop& system();
};

}  // namespace stowage::platform
