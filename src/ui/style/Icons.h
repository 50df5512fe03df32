#pragma once
// Icons by the symbol names the screens use ("arrow.clockwise", "trash", …).
// Each symbol maps to a freedesktop icon name; when the user's icon theme has
// a symbolic (monochrome) version of it, that is drawn in the requested colour,
// otherwise our own vector drawing of the symbol is. So every control has an
// icon even on a system without any icon theme.

#include <QColor>
#include <QIcon>
#include <QString>

namespace stowage::Icons {

// The icon for `symbol` drawn in `color`; an unknown name gives a neutral dot.
QIcon symbol(const QString& symbol, const QColor& color);

// The freedesktop icon name for `symbol`, or an empty string when none fits.
QString freedesktopName(const QString& symbol);

// Whether we draw `symbol` ourselves (rather than the neutral dot).
bool isDrawn(const QString& symbol);

}  // namespace stowage::Icons
