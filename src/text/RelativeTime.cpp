#include "text/RelativeTime.h"

#include <array>
#include <cstdlib>

namespace stowage::RelativeTime {

namespace {

struct Unit {
    qint64 seconds;
    const char* name;
};

// Months and years as their average lengths; precise enough for "active …".
constexpr std::array<Unit, 7> units{{
    {365 * 86400 + 20952, "year"},
    {30 * 86400 + 37746, "month"},
    {7 * 86400, "week"},
    {86400, "day"},
    {3600, "hour"},
    {60, "minute"},
    {1, "second"},
}};

}  // namespace

QString describe(const QDateTime& date, const QDateTime& now)
{
    const qint64 delta = date.secsTo(now);  // positive: in the past
    const qint64 magnitude = std::llabs(delta);
    Unit unit = units.back();
    for (const Unit& u : units) {
        if (magnitude >= u.seconds) {
            unit = u;
            break;
        }
    }
    const qint64 count = magnitude / unit.seconds;
    const QString phrase =
        QString::number(count) + QLatin1Char(' ') + QLatin1String(unit.name) + QLatin1String(count == 1 ? "" : "s");
    return delta >= 0 ? phrase + QStringLiteral(" ago") : QStringLiteral("in ") + phrase;
}

}  // namespace stowage::RelativeTime
