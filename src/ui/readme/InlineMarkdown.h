#pragma once
// Inline Markdown inside one README block: emphasis, strong, code spans and
// links. The text is untrusted, so only those four are carried over into the
// output; raw HTML stays literal text, images become their alternative text,
// and links survive only for http, https and mailto.

#include <QString>
#include <QTextCharFormat>
#include <QUrl>

class QTextCursor;

namespace stowage::InlineMarkdown {

// The link schemes a README may open.
bool isOpenableLink(const QUrl& url);
// The link as it is opened. A mail link keeps its recipients, subject and body
// only: a README may not have the mail program attach the user's files
// (attach=), copy others in (cc=, bcc=) or set other headers.
QUrl linkToOpen(const QUrl& url);

struct Style {
    QTextCharFormat base;  // font and colour of plain text
    QColor linkColor;
    QFont codeFont;        // font of code spans (its size follows `base`)
};

// Inserts `text` at `cursor` as inline-rendered Markdown in `style`.
void insert(QTextCursor& cursor, const QString& text, const Style& style);

}  // namespace stowage::InlineMarkdown
