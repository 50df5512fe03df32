#pragma once
// Our own drawings of the symbols the screens use, as filled outlines on a
// 24 × 24 grid. They stand in for an icon theme that lacks the symbol.

#include <QPainterPath>
#include <QString>

#include <optional>

namespace stowage {

// The outline of `symbol`, or none when we have no drawing of it.
std::optional<QPainterPath> symbolGlyph(const QString& symbol);

// The neutral glyph shown for symbols we do not know.
QPainterPath fallbackGlyph();

}  // namespace stowage
