// Size texts: Docker's ("1.2GB", "512kB") to bytes and bytes to ours ("1.5 KB").
// Docker prints sizes in decimal units (go-units' HumanSize: "1.98MB" is
// 1,982,256 bytes), and image inspect gives exact bytes; both meet only when
// the units are read as powers of 1000. Ours are decimal too, so that a size
// shown here reads as docker's own text does at the precision shown. The
// binary units ("MiB") are read as powers of 1024 wherever they appear.

#include "text/SizeFormat.h"

#include "text/TextTrim.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace stowage::SizeFormat {

namespace {

// An ordinary decimal number: optional sign, digits, optional fraction, at
// least one digit in all. No exponents, spaces or words such as "inf".
bool isPlainDecimal(QStringView text)
{
    qsizetype pos = 0;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
        ++pos;
    qsizetype digits = 0;
    bool seenPoint = false;
    for (; pos < text.size(); ++pos) {
        if (isAsciiDigit(text[pos]))
            ++digits;
        else if (text[pos] == u'.' && !seenPoint)
            seenPoint = true;
        else
            return false;
    }
    return digits > 0;
}

// The value of a plain decimal, correctly rounded. std::from_chars reads it
// several times faster than QString::toDouble (a refresh reads one size per
// image and per volume); it takes no "+", which is skipped.
std::optional<double> plainDecimalValue(QStringView number)
{
    const QByteArray ascii = number.toLatin1();
    const char* first = ascii.constData();
    const char* last = first + ascii.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

struct Unit {
    QStringView suffix;
    double multiplier;
};

// Tested in this order; the first suffix that ends the text wins ("MiB" before "B").
constexpr std::array<Unit, 11> units{{
    {u"TiB", 1099511627776.0},
    {u"GiB", 1073741824.0},
    {u"MiB", 1048576.0},
    {u"KiB", 1024.0},
    {u"TB", 1e12},
    {u"GB", 1e9},
    {u"MB", 1e6},
    {u"KB", 1e3},
    {u"kB", 1e3},
    {u"PB", 1e15},
    {u"B", 1.0},
}};

}  // namespace

qint64 parseDockerSize(const QString& input)
{
    const QStringView text = trimSpacesAndTabs(input);
    if (text.isEmpty() || text == u"0B")
        return 0;
    for (const Unit& unit : units) {
        if (!text.endsWith(unit.suffix))
            continue;
        const QStringView number = text.chopped(unit.suffix.size());
        if (!isPlainDecimal(number))
            return 0;
        const std::optional<double> read = plainDecimalValue(number);
        const double value = read.value_or(0) * unit.multiplier;
        // Docker never prints sizes beyond 64 bits; such a text is treated
        // like any other unreadable one rather than overflowing the cast.
        constexpr double limit = 9223372036854775808.0;  // 2^63
        if (!read || !std::isfinite(value) || value >= limit || value < -limit)
            return 0;
        return std::llround(value);  // decimal units: 0.29 * 1e6 is not quite 290000
    }
    return 0;
}

QString humanSize(qint64 bytes)
{
    if (bytes == 0)
        return QStringLiteral("0 B");
    static const std::array<QString, 5> names{QStringLiteral("B"), QStringLiteral("KB"), QStringLiteral("MB"),
                                              QStringLiteral("GB"), QStringLiteral("TB")};
    double value = double(bytes);
    size_t unit = 0;
    while (std::fabs(value) >= 1000.0 && unit + 1 < names.size()) {
        value /= 1000.0;
        ++unit;
    }
    if (std::fabs(value) >= 1000.0)
        return QString::asprintf("%.1f PB", value / 1000.0);
    return QString::asprintf("%.1f ", value) + names[unit];
}

}  // namespace stowage::SizeFormat

namespace stowage {

QString formatRange(ByteRange range)
{
    const QString low = SizeFormat::humanSize(range.low);
    const QString high = SizeFormat::humanSize(range.high);
    return low == high ? low : low + QStringLiteral("–") + high;
}

}  // namespace stowage
