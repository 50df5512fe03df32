#pragma once
// Confirmations and notices list one item per line ("  • name (12.3 MB)").
// A message box would wrap a long line anywhere it finds a space, leaving a
// bullet alone on its line or a size broken in two. Here such lines are
// wrapped beforehand: at spaces only, never inside a size, and continued
// under the item's text (a hanging indent).

#include <QFontMetrics>
#include <QString>

namespace stowage {

// `text` with every line wider than `width` (measured with `metrics`) broken
// into lines that fit; a word wider than `width` is broken where it must.
QString wrapListLines(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace stowage
