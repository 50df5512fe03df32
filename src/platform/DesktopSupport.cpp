#include "platform/DesktopSupport.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>

namespace stowage::platform {

bool isOpenableLink(const QUrl& url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

QStringList terminalCandidates(const QString& terminalVariable)
{
    QStringList candidates;
    if (!terminalVariable.trimmed().isEmpty())
        candidates.append(terminalVariable.trimmed());
    candidates << QStringLiteral("x-terminal-emulator") << QStringLiteral("gnome-terminal") << QStringLiteral("konsole")
               << QStringLiteral("xfce4-terminal") << QStringLiteral("kitty") << QStringLiteral("alacritty")
               << QStringLiteral("xterm");
    return candidates;
}

std::optional<QString> chooseTerminal(const QStringList& candidates,
                                      const std::function<QString(const QString& name)>& findProgram)
{
    for (const QString& name : candidates) {
        const QString program = findProgram(name);
        if (!program.isEmpty())
            return program;
    }
    return std::nullopt;
}

QString parentFolder(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

DesktopFailure refusedLink(const QUrl& url)
{
    return {QStringLiteral("Link not opened"), QStringLiteral("Tried to open this link:"),
            url.toDisplayString(), QStringLiteral("Only web (http, https) and mail links are opened from Stowage."),
            DesktopFailure::Target::link};
}

DesktopFailure linkNotOpened(const QUrl& url, const QString& reason)
{
    return {QStringLiteral("Could not open the link"), QStringLiteral("Tried to open this link in your browser:"),
            url.toDisplayString(), reason, DesktopFailure::Target::link};
}

DesktopFailure folderNotShown(const QString& path, const QString& reason)
{
    return {QStringLiteral("Could not show the folder"), QStringLiteral("Tried to show this in the file manager:"), path,
            reason};
}

DesktopFailure terminalNotOpened(const QString& path, const QString& reason)
{
    return {QStringLiteral("Could not open a terminal"), QStringLiteral("Tried to open a terminal in this folder:"),
            path, reason};
}

void report(const DesktopFailed& failed, const DesktopFailure& failure)
{
    if (failed)
        failed(failure);
}

void copyToClipboard(const QString& text)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

}  // namespace stowage::platform
