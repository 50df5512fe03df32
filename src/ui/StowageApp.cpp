#include "ui/StowageApp.h"

#include "ui/Icons.h"
#include "ui/Theme.h"

#include <QIcon>
#include <QStyleFactory>
#include <QToolTip>

namespace stowage {

StowageApp::StowageApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Stowage"));
    setApplicationDisplayName(QStringLiteral("Stowage"));
    setApplicationVersion(QStringLiteral(STOWAGE_VERSION));
    setOrganizationName(QStringLiteral("KILNWORKS"));
    // The desktop entry's name: desktops match the window to its entry and icon by it.
    setDesktopFileName(QStringLiteral(STOWAGE_APP_ID));
    // The installed application icon; the drawn symbol when running from the build tree.
    setWindowIcon(QIcon::fromTheme(QStringLiteral(STOWAGE_APP_ID),
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
