#pragma once
// Addresses the window opens in the user's browser.

#include <QUrl>

namespace stowage {

// The product's home page: the Help menu and the brand bar's link.
inline QUrl homePageURL() { return QUrl(QStringLiteral("https://github.com/kilnworks/stowage")); }

}  // namespace stowage
