#pragma once
// Cutting text by user-perceived characters, so that no character (an emoji
// sequence, a letter with its accents) is ever split.

#include <QString>

namespace stowage {

// The first `count` user-perceived characters of `text` (all of it when shorter).
QString leadingCharacters(const QString& text, int count);
// The number of user-perceived characters in `text`.
int characterCount(const QString& text);

}  // namespace stowage
