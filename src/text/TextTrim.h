#pragma once
// Trimming as the docker output rules need it: only spaces and tabs, so that a
// line break inside a value is never silently dropped.

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace stowage {

inline bool isSpaceOrTab(QChar c)
{
    return c == u' ' || c == u'\t';
}

inline QStringView trimSpacesAndTabs(QStringView text)
{
    while (!text.isEmpty() && isSpaceOrTab(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isSpaceOrTab(text.back()))
        text.chop(1);
    return text;
}

// The same on UTF-8: a space or tab is one byte there, never part of another character.
inline QByteArrayView trimSpacesAndTabs(QByteArrayView text)
{
    while (!text.isEmpty() && isSpaceOrTab(QChar(text.front())))
        text = text.sliced(1);
    while (!text.isEmpty() && isSpaceOrTab(QChar(text.back())))
        text.chop(1);
    return text;
}

// The first line of `text` that holds more than blanks, without surrounding
// spaces and tabs; none when there is no such line.
inline std::optional<QString> firstLine(const QString& text)
{
    for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringView trimmed = trimSpacesAndTabs(line);
        if (!trimmed.isEmpty())
            return trimmed.toString();
    }
    return std::nullopt;
}

inline bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

}  // namespace stowage
