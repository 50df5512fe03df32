#pragma once
// Names and labels from Docker may hold anything. Before one is shown (in a
// terminal or in a dialog) it goes through printable(), so that it cannot
// start a line of its own, move a cursor or reorder the text around it.

#include <QString>

namespace stowage {

// `text` with control characters (line feeds included) and bidirectional
// overrides and isolates replaced by U+FFFD.
QString printable(const QString& text);

// printable() applied to each line of a text built here, keeping its line feeds.
QString printableLines(const QString& text);

}  // namespace stowage
