#include "ui/readme/MarkdownParser.h"

#include <QStringView>

#include <algorithm>

namespace stowage::MarkdownParser {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Removes spaces and tabs, and nothing else, at both ends: other white space
// such as a carriage return belongs to the line.
QString trimSpacesAndTabs(QStringView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlank(line[begin]))
        ++begin;
    while (end > begin && isBlank(line[end - 1]))
        --end;
    return line.sliced(begin, end - begin).toString();
}

MDBlock headingFrom(const QString& trimmed)
{
    qsizetype hashes = 0;
    while (hashes < trimmed.size() && trimmed[hashes] == QLatin1Char('#'))
        ++hashes;
    const int level = int(std::min<qsizetype>(hashes, 4));
    return MDBlock::heading(level, trimSpacesAndTabs(QStringView(trimmed).sliced(hashes)));
}

bool isRule(const QString& trimmed)
{
    return trimmed == QLatin1String("---") || trimmed == QLatin1String("***") || trimmed == QLatin1String("___");
}

}  // namespace

QList<MDBlock> parse(const QString& text)
{
    QList<MDBlock> blocks;
    if (text.isEmpty())
        return blocks;

    const QString fence = QStringLiteral("```");
    bool inCode = false;
    QStringList codeLines;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QString t = trimSpacesAndTabs(line);
        if (t.startsWith(fence)) {
            if (inCode) {
                blocks.append(MDBlock::code(codeLines.join(QLatin1Char('\n'))));
                codeLines.clear();
            }
            inCode = !inCode;
        } else if (inCode) {
            codeLines.append(line.toString());
        } else if (t.isEmpty()) {
            continue;
        } else if (t.startsWith(QLatin1Char('#'))) {
            blocks.append(headingFrom(t));
        } else if (t.startsWith(QLatin1String("- ")) || t.startsWith(QLatin1String("* "))) {
            blocks.append(MDBlock::bullet(t.mid(2)));
        } else if (isRule(t)) {
            blocks.append(MDBlock::rule());
        } else {
            blocks.append(MDBlock::paragraph(t));
        }
    }
    if (inCode && !codeLines.isEmpty())
        blocks.append(MDBlock::code(codeLines.join(QLatin1Char('\n'))));
    return blocks;
}

}  // namespace stowage::MarkdownParser
