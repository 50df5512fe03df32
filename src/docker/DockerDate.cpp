// Docker's time stamps ("2024-05-01T10:11:12.123456789Z") to instants.

#include "docker/DockerDate.h"

#include "text/TextTrim.h"

#include <QDate>
#include <QTime>

namespace stowage {

namespace {

enum class Fraction { required, forbidden };

// Reads `count` ASCII digits at `pos`; false when any of them is not one.
bool readDigits(QStringView text, qsizetype pos, qsizetype count, int& value)
{
    if (pos + count > text.size())
        return false;
    value = 0;
    for (qsizetype i = pos; i < pos + count; ++i) {
        if (!isAsciiDigit(text[i]))
            return false;
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return true;
}

bool charAt(QStringView text, qsizetype pos, char16_t expected)
{
    return pos < text.size() && text[pos].unicode() == expected;
}

// An internet date-time: yyyy-MM-ddTHH:mm:ss, optionally a full stop and one
// to three fraction digits (millisecond precision), then "Z" or ±HH:MM.
// Longer fractions are rejected here; the caller's whole-second fallback
// handles Docker's nanosecond stamps.
std::optional<QDateTime> parseInternetDateTime(QStringView text, Fraction fraction)
{
    int year, month, day, hour, minute, second;
    if (!readDigits(text, 0, 4, year) || !charAt(text, 4, u'-') || !readDigits(text, 5, 2, month)
        || !charAt(text, 7, u'-') || !readDigits(text, 8, 2, day) || !charAt(text, 10, u'T')
        || !readDigits(text, 11, 2, hour) || !charAt(text, 13, u':') || !readDigits(text, 14, 2, minute)
        || !charAt(text, 16, u':') || !readDigits(text, 17, 2, second))
        return std::nullopt;

    qsizetype pos = 19;
    int msecs = 0;
    if (fraction == Fraction::required) {
        if (!charAt(text, pos, u'.'))
            return std::nullopt;
        ++pos;
        int digits = 0;
        while (pos < text.size() && isAsciiDigit(text[pos])) {
            if (++digits > 3)
                return std::nullopt;
            msecs = msecs * 10 + (text[pos].unicode() - u'0');
            ++pos;
        }
        if (digits == 0)
            return std::nullopt;
        for (int d = digits; d < 3; ++d)
            msecs *= 10;
    }

    int offsetSeconds = 0;
    if (charAt(text, pos, u'Z')) {
        ++pos;
    } else if (charAt(text, pos, u'+') || charAt(text, pos, u'-')) {
        const int sign = charAt(text, pos, u'-') ? -1 : 1;
        int offsetHours, offsetMinutes;
        if (!readDigits(text, pos + 1, 2, offsetHours) || !charAt(text, pos + 3, u':')
            || !readDigits(text, pos + 4, 2, offsetMinutes) || offsetHours > 23 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = sign * (offsetHours * 3600 + offsetMinutes * 60);
        pos += 6;
    } else {
        return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;

    const QDate date(year, month, day);
    const QTime time(hour, minute, second, msecs);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds);
}

}  // namespace

OptionalDate parseDockerDate(const QString& input)
{
    // Line breaks are deliberately not trimmed: a stamp with one is not a stamp.
    const QStringView text = trimSpacesAndTabs(input);
    // "0001-01-01T00:00:00Z" is Docker's zero time: never started or stopped.
    if (text.isEmpty() || text.startsWith(u"0001"))
        return std::nullopt;
    if (auto t = parseInternetDateTime(text, Fraction::required))
        return t;
    if (auto t = parseInternetDateTime(text, Fraction::forbidden))
        return t;
    // Nanosecond stamps: keep the whole second.
    const qsizetype dot = text.indexOf(u'.');
    if (dot >= 0 && text.endsWith(u'Z')) {
        const QString wholeSecond = text.left(dot).toString() + u'Z';
        return parseInternetDateTime(wholeSecond, Fraction::forbidden);
    }
    return std::nullopt;
}

}  // namespace stowage
