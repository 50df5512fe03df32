#include "ui/listing/ListWrap.h"

#include <QRegularExpression>
#include <QStringList>

namespace stowage {

namespace {

constexpr QChar keptSpace = QChar(0x00A0);

// The spaces a break must not fall on: inside a size ("0 B", "12.3 MB").
QString joinSizes(const QString& line)
{
    static const QRegularExpression size(QStringLiteral("(\\d) ((?:[KMGT]i?)?B\\b)"));
    QString joined = line;
    joined.replace(size, QStringLiteral("\\1") + keptSpace + QStringLiteral("\\2"));
    return joined;
}

qsizetype leadingSpaces(const QString& line)
{
    qsizetype lead = 0;
    while (lead < line.size() && line[lead] == QLatin1Char(' '))
        ++lead;
    return lead;
}

QStringList wrapLine(const QString& line, const QFontMetrics& metrics, int width)
{
    const auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= width; };
    if (fits(line))
        return {line};
    const qsizetype lead = leadingSpaces(line);
    QString body = joinSizes(line.mid(lead));
    // A bullet stays with the first word of its item.
    const bool bullet = body.startsWith(QStringLiteral("• "));
    if (bullet)
        body[1] = keptSpace;
    // Continuation lines start under the item's text.
    const QString indent(lead + (bullet ? 2 : 0), QLatin1Char(' '));

    QStringList out;
    QString current = line.left(lead);
    bool lineEmpty = true;
    for (const QString& word : body.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = lineEmpty ? current + word : current + QLatin1Char(' ') + word;
        if (lineEmpty || fits(candidate)) {
            current = candidate;
        } else {
            out << current;
            current = indent + word;
        }
        lineEmpty = false;
        // A word wider than the line is broken where it must be.
        while (!fits(current) && current.size() > indent.size() + 1) {
            qsizetype cut = current.size() - 1;
            while (cut > indent.size() + 1 && !fits(current.left(cut)))
                --cut;
            out << current.left(cut);
            current = indent + current.mid(cut);
        }
    }
    out << current;
    for (QString& part : out)
        part.replace(keptSpace, QLatin1Char(' '));
    return out;
}

}  // namespace

QString wrapListLines(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines += wrapLine(line, metrics, width);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace stowage
