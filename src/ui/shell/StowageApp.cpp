#include "ui/shell/StowageApp.h"

#include "BuildInfo.h"
#include "ui/style/Icons.h"
#include "ui/style/Theme.h"

#include <QIcon>
#include <QStyleFactory>
#include <QToolTip>

namespace stowage {

StowageApp::StowageApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Stowage"));
    setApplicationDisplayName(QStringLiteral("Stowage"));
    setApplicationVersion(QString::fromLatin1(build::version));
    setOrganizationName(QStringLiteral("KILNWORKS"));
    // The desktop entry's name: desktops match the window to its entry and icon by it.
    setDesktopFileName(QString::fromLatin1(build::appId));
    // The installed application icon; the drawn symbol when running from the build tree.
    setWindowIcon(QIcon::fromTheme(QString::fromLatin1(build::appId),
                                   Icons::symbol(QStringLiteral("shippingbox.fill"), Theme::accent())));
    applyLook(*this);
}

void StowageApp::applyLook(QApplication& app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setPalette(Theme::palette());
    QToolTip::setPalette(Theme::palette());
    app.setFont(Theme::font(13));
}

}  // namespace stowage
