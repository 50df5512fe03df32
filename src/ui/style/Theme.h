#pragma once
// The application's colours and type scale. The window is always dark: the
// palette built here is applied to the whole application with the Fusion style.
//
// Type sizes are given in the design's points, which are logical pixels (as on
// macOS); font() converts them to Qt point sizes at the standard 96 dpi so that
// a user's font-DPI setting still scales them.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStringView>

namespace stowage::Theme {

// "#1C1C1E", "1C1C1E" or "#1C1C1E#": an opaque sRGB colour; unreadable text gives black.
QColor colorFromHex(QStringView hex);

const QColor& bg();       // window background
const QColor& surface();  // bars
const QColor& cardBg();   // cards
const QColor& accent();   // tint, normal state, links, primary icons
const QColor& danger();   // destructive actions, Stop, errors
const QColor& success();  // safe / reclaimable figures
const QColor& warning();  // stale data, stuck commands, unverified usage
const QColor& cyan();     // secondary accent
const QColor& text();     // normal text
const QColor& textDim();  // secondary text
const QColor& border();   // dividers and outlines

// `color` with the given opacity (0 … 1).
QColor withAlpha(const QColor& color, qreal opacity);

// Proportional and monospaced fonts at a design size.
QFont font(qreal points, QFont::Weight weight = QFont::Normal);
QFont monoFont(qreal points, QFont::Weight weight = QFont::Normal);
constexpr qreal titleSize = 22;  // the "title" text style

// The width `text` needs in `font`, rounded up (advances are fractional), so
// that text measured with it is never elided when drawn.
int textWidth(const QFont& font, const QString& text);

// The dark palette of the whole application.
QPalette palette();

// A widget's text colour (its WindowText and Text roles, all groups).
void setTextColor(QWidget& widget, const QColor& color);

}  // namespace stowage::Theme
