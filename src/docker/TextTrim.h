#pragma once
// Trimming as the docker output rules need it: only spaces and tabs, so that a
// line break inside a value is never silently dropped.

#include <QString>
#include <QStringView>

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

inline bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

}  // namespace stowage
