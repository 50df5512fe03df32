// The desktop on Linux and other freedesktop systems: the file manager over
// its D-Bus interface, a terminal found on PATH, links through the desktop's
// URL opener. Paths are never given to a shell or put on a command line: the
// terminal gets the folder as its working directory.
#ifndef __APPLE__

#include "platform/Desktop.h"
#include "platform/DesktopSupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace stowage::platform {

namespace {

// Long enough for the session bus to start a file manager that is not running yet.
constexpr int showItemsTimeoutMs = 10'000;

void openFolder(const QString& folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

class LinuxDesktop final : public Desktop {
public:
    void copyText(const QString& text) override { copyToClipboard(text); }

    // Asks the file manager to show the item selected; when no file manager
    // answers on the session bus, opens the folder instead.
    void revealInFileManager(const QString& path) override
    {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            openFolder(parentFolder(absolute));
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QString::fromUtf8(QUrl::fromLocalFile(absolute).toEncoded())} << QString();
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, showItemsTimeoutMs));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [absolute](QDBusPendingCallWatcher* done) {
            if (done->isError())
                openFolder(parentFolder(absolute));
            done->deleteLater();
        });
    }

    void openTerminalAt(const QString& path) override
    {
        const auto program = chooseTerminal(terminalCandidates(qEnvironmentVariable("TERMINAL")),
                                            [](const QString& name) { return QStandardPaths::findExecutable(name); });
        if (!program)
            return;
        QProcess::startDetached(*program, {}, path);
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
    static LinuxDesktop desktop;
    return desktop;
}

}  // namespace stowage::platform

#endif
