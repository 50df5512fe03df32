#include "text/PrintableText.h"

#include <QStringList>

namespace stowage {

namespace {

bool isUnsafe(char32_t c)
{
    return QChar::category(c) == QChar::Other_Control || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (isUnsafe(c))
            out += QChar(0xFFFD);
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

QString printableLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = printable(line);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace stowage
