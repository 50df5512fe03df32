#pragma once
// A desktop that records what it was asked to do instead of doing it, and
// that can be told to fail every action the way a desktop without a file
// manager, terminal or browser does.

#include "platform/Desktop.h"
#include "platform/DesktopSupport.h"

#include <QStringList>
#include <QUrl>

#include <optional>

namespace stowage::test {

class RecordingDesktop : public platform::Desktop {
public:
    void copyText(const QString& text) override { copied << text; }
    void revealInFileManager(const QString& path, platform::DesktopFailed failed) override
    {
        revealed << path;
        if (failWith)
            platform::report(failed, platform::folderNotShown(path, *failWith));
    }
    void openTerminalAt(const QString& path, platform::DesktopFailed failed) override
    {
        terminals << path;
        if (failWith)
            platform::report(failed, platform::terminalNotOpened(path, *failWith));
    }
    void openUrl(const QUrl& url, platform::DesktopFailed failed) override
    {
        opened << url;
        if (failWith)
            platform::report(failed, platform::linkNotOpened(url, *failWith));
    }

    QStringList copied;
    QStringList revealed;
    QStringList terminals;
    QList<QUrl> opened;
    // When set, every action is recorded and then reported as failed for this reason.
    std::optional<QString> failWith;
};

}  // namespace stowage::test
