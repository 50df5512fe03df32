// The desktop on macOS: Finder and the terminal through the `open` program
// (run directly with an argument list, never through a shell), links through
// the system's URL opener.
#ifdef __APPLE__

#include "platform/Desktop.h"
#include "platform/DesktopSupport.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace stowage::platform {

namespace {

const QString openProgram = QStringLiteral("/usr/bin/open");

bool iTermInstalled()
{
    return QFileInfo::exists(QStringLiteral("/Applications/iTerm.app"))
           || QFileInfo::exists(QDir::homePath() + QStringLiteral("/Applications/iTerm.app"));
}

class MacDesktop final : public Desktop {
public:
    void copyText(const QString& text) override { copyToClipboard(text); }

    // Absolute paths start with "/", so `open` can never take one for an option.
    void revealInFileManager(const QString& path) override
    {
        QProcess::startDetached(openProgram, {QStringLiteral("-R"), QFileInfo(path).absoluteFilePath()});
    }

    void openTerminalAt(const QString& path) override
    {
        const QString application = iTermInstalled() ? QStringLiteral("iTerm") : QStringLiteral("Terminal");
        QProcess::startDetached(openProgram, {QStringLiteral("-a"), application, path});
    }

    void openUrl(const QUrl& url) override
    {
        if (isOpenableLink(url))
            QDesktopServices::openUrl(url);
    }
};

}  // namespace

Desktop& Desktop::system()
{
    static MacDesktop desktop;
    return desktop;
}

}  // namespace stowage::platform

#endif
