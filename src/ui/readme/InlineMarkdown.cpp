#include "ui/readme/InlineMarkdown.h"

#include "ui/readme/SafeTextDocument.h"
#include "ui/widgets/Label.h"

#include <QTextBlock>
#include <QUrlQuery>
#include <QTextCursor>

namespace stowage::InlineMarkdown {

namespace {

bool isBlankChar(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Three or more of one of "-", "*", "_" and nothing else but blanks.
bool isThematicBreak(const QString& text)
{
    const QChar mark = text[0];
    if (mark != QLatin1Char('-') && mark != QLatin1Char('*') && mark != QLatin1Char('_'))
        return false;
    int marks = 0;
    for (QChar c : text) {
        if (c == mark)
            ++marks;
        else if (!isBlankChar(c))
            return false;
    }
    return marks >= 3;
}

// Whether a single line starting this way would open a block construct
// (heading, quote, list, rule, fence) rather than a paragraph. Characters
// without inline meaning are always escaped; "*", "_" and "`" only when they
// would start a block, so that emphasis and code spans at the start still work.
bool opensBlockConstruct(const QString& text)
{
    static const QString inert = QStringLiteral("#>+-~=|");
    const QChar first = text[0];
    if (inert.contains(first))
        return true;
    if (first == QLatin1Char('*') && (text.size() == 1 || isBlankChar(text[1])))
        return true;
    return isThematicBreak(text) || text.startsWith(QLatin1String("```"));
}

// Makes Markdown read `text` as one inline paragraph: leading blanks become
// no-break spaces (kept, and not an indented code block) and a leading block
// marker is escaped with a backslash.
QString asInlineSource(QString text)
{
    text.remove(QLatin1Char('\r'));
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        text[i] = QChar(0x00A0);
        ++i;
    }
    if (i > 0 || text.isEmpty())
        return text;
    if (opensBlockConstruct(text))
        return QLatin1Char('\\') + text;
    qsizetype digits = 0;
    while (digits < text.size() && text[digits].isDigit())
        ++digits;
    if (digits > 0 && digits < text.size() && (text[digits] == QLatin1Char('.') || text[digits] == QLatin1Char(')')))
        text.insert(digits, QLatin1Char('\\'));
    return text;
}

// Whether any inline construct could be present; plain lines skip the parser.
bool mayHoldMarkup(const QString& text)
{
    for (QChar c : text)
        if (c == QLatin1Char('*') || c == QLatin1Char('_') || c == QLatin1Char('`') || c == QLatin1Char('[')
            || c == QLatin1Char('<') || c == QLatin1Char('\\') || c == QLatin1Char('&') || c == QLatin1Char('!'))
            return true;
    return false;
}

// The output format of one parsed fragment: only the whitelisted properties
// of `parsed` are carried over onto the base style.
QTextCharFormat formatFor(const QTextCharFormat& parsed, const Style& style)
{
    QTextCharFormat out = style.base;
    if (parsed.fontWeight() >= QFont::DemiBold)
        out.setFontWeight(QFont::Bold);
    if (parsed.fontItalic())
        out.setFontItalic(true);
    if (parsed.fontStrikeOut())
        out.setFontStrikeOut(true);
    if (parsed.fontFixedPitch()) {
        out.setFontFamilies(style.codeFont.families());
        out.setFontFixedPitch(true);
    }
    const QUrl link(parsed.anchorHref());
    if (parsed.isAnchor() && isOpenableLink(link)) {
        out.setAnchor(true);
        out.setAnchorHref(link.toString());
        out.setForeground(style.linkColor);
        out.setFontUnderline(true);
        out.setToolTip(plainToolTip(link.toString()));
    }
    return out;
}

void insertParsed(QTextCursor& cursor, const QString& text, const Style& style)
{
    SafeTextDocument parsed;
    parsed.setMarkdown(asInlineSource(text),
                       QTextDocument::MarkdownFeatures(QTextDocument::MarkdownNoHTML));  // CommonMark, no raw HTML
    bool firstBlock = true;
    bool insertedAny = false;
    for (QTextBlock block = parsed.begin(); block.isValid(); block = block.next()) {
        if (!firstBlock && block.length() > 1)
            cursor.insertText(QStringLiteral(" "), style.base);
        firstBlock = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                // Pictures are never fetched; their description stands in.
                cursor.insertText(format.stringProperty(QTextFormat::ImageAltText), style.base);
            } else {
                QString piece = fragment.text();
                piece.replace(QChar::LineSeparator, QLatin1Char(' '));
                cursor.insertText(piece, formatFor(format, style));
            }
            insertedAny = true;
        }
    }
    if (!insertedAny)
        cursor.insertText(text, style.base);
}

}  // namespace

bool isOpenableLink(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"));
}

QUrl linkToOpen(const QUrl& url)
{
    if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) != 0)
        return url;
    QUrlQuery kept;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyEncoded)) {
        const QString name = key.toLower();
        if (name == QLatin1String("subject") || name == QLatin1String("body"))
            kept.addQueryItem(key, value);
    }
    QUrl result = url;
    result.setFragment({});
    if (kept.isEmpty())
        result.setQuery(QString());
    else
        result.setQuery(kept);
    return result;
}

void insert(QTextCursor& cursor, const QString& text, const Style& style)
{
    if (!mayHoldMarkup(text)) {
        QString plain = text;
        plain.remove(QLatin1Char('\r'));
        cursor.insertText(plain, style.base);
        return;
    }
    insertParsed(cursor, text, style);
}

}  // namespace stowage::InlineMarkdown
