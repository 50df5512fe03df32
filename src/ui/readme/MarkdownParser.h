#pragma once
// The README renderer's block parser: one block per line, in the small subset
// the README dialog understands (headings, paragraphs, bullets, fenced code and
// horizontal rules). Inline markup inside a block is left to the view.

#include <QList>
#include <QString>

namespace stowage {

struct MDBlock {
    enum class Kind { heading, paragraph, bullet, code, rule };

    Kind kind = Kind::paragraph;
    int level = 0;  // 1 to 4 for headings, 0 otherwise
    QString text;   // empty for rules

    static MDBlock heading(int level, const QString& text) { return {Kind::heading, level, text}; }
    static MDBlock paragraph(const QString& text) { return {Kind::paragraph, 0, text}; }
    static MDBlock bullet(const QString& text) { return {Kind::bullet, 0, text}; }
    static MDBlock code(const QString& text) { return {Kind::code, 0, text}; }
    static MDBlock rule() { return {Kind::rule, 0, {}}; }

    bool operator==(const MDBlock&) const = default;
};

namespace MarkdownParser {

// Splits at line feeds only (a carriage return stays part of its line) and
// turns every non-blank line outside a fence into its own block; adjacent
// lines are never merged. Pure and total.
QList<MDBlock> parse(const QString& text);

}  // namespace MarkdownParser

}  // namespace stowage
