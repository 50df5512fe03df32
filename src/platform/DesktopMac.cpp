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
    void revealInFileManager(const QString& path, DesktopFailed failed) override
    {
        if (!QProcess::startDetached(openProgram, {QStringLiteral("-R"), QFileInfo(path).absoluteFilePath()}))
            report(failed, folderNotShown(path, QStringLiteral("The open program could not be started.")));
    }

    void openTerminalAt(const QString& path, DesktopFailed failed) override
    {
        const QString application = iTermInstalled() ? QStringLiteral("iTerm") : QStringLiteral("Terminal");
        if (!QProcess::startDetached(openProgram, {QStringLiteral("-a"), application, path}))
            report(failed, terminalNotOpened(path, QStringLiteral("The open program could not be started.")));
    }

    void openUrl(const QUrl& url, DesktopFailed failed) override
    {
        if (!isOpenableLink(url))
            report(failed, refusedLink(url));
        else if (!QDesktopServices::openUrl(url))
            report(failed, linkNotOpened(url, QStringLiteral("No application would open it.")));
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
