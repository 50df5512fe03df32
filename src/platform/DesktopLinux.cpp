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

const QString noFolderOpener = QStringLiteral(
    "Nor is any program set to open folders (xdg-open was not found). Install a file manager, or copy the path.");

// Opens the folder through the desktop's opener; false when none would take it.
bool openFolder(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void openFolderOrReport(const QString& item, const QString& whyNoFileManager, const DesktopFailed& failed)
{
    if (!openFolder(parentFolder(item)))
        report(failed, folderNotShown(item, whyNoFileManager + QLatin1Char(' ') + noFolderOpener));
}

class LinuxDesktop final : public Desktop {
public:
    void copyText(const QString& text) override { copyToClipboard(text); }

    // Asks the file manager to show the item selected; when no file manager
    // answers on the session bus, opens the folder instead.
    void revealInFileManager(const QString& path, DesktopFailed failed) override
    {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            openFolderOrReport(absolute, QStringLiteral("There is no session bus to reach a file manager over."),
                               failed);
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QString::fromUtf8(QUrl::fromLocalFile(absolute).toEncoded())} << QString();
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, showItemsTimeoutMs));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                         [absolute, failed = std::move(failed)](QDBusPendingCallWatcher* done) {
                             if (done->isError())
                                 openFolderOrReport(absolute,
                                                    QStringLiteral("No file manager answered on the session bus."),
                                                    failed);
                             done->deleteLater();
                         });
    }

    void openTerminalAt(const QString& path, DesktopFailed failed) override
    {
        const QStringList candidates = terminalCandidates(qEnvironmentVariable("TERMINAL"));
        const auto program =
            chooseTerminal(candidates, [](const QString& name) { return QStandardPaths::findExecutable(name); });
        if (!program) {
            report(failed, terminalNotOpened(path, QStringLiteral("No terminal program was found (looked for %1). "
                                                                  "Install one, or set TERMINAL to its name.")
                                                       .arg(candidates.join(QStringLiteral(", ")))));
            return;
        }
        if (!QProcess::startDetached(*program, {}, path))
            report(failed, terminalNotOpened(path, QStringLiteral("%1 could not be started.").arg(*program)));
    }

    void openUrl(const QUrl& url, DesktopFailed failed) override
    {
        if (!isOpenableLink(url))
            report(failed, refusedLink(url));
        else if (!QDesktopServices::openUrl(url))
            report(failed, linkNotOpened(url, QStringLiteral("This desktop has no program set to open links "
                                                             "(xdg-open was not found). Install a browser, or "
                                                             "copy the link.")));
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
