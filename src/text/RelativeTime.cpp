#include "text/RelativeTime.h"

#include <QCoreApplication>

#include <array>
#include <cstdlib>

namespace stowage::RelativeTime {

namespace {

// Whole phrases per unit and direction, so that a language may inflect the unit for "ago" and "in".
struct Unit {
    qint64 seconds;
    const char* past;
    const char* future;
};

// Months and years as their average lengths; precise enough for "active …".
constexpr std::array<Unit, 7> units{{
    {365 * 86400 + 20952, QT_TRANSLATE_N_NOOP("RelativeTime", "%n year(s) ago"),
     QT_TRANSLATE_N_NOOP("RelativeTime", "in %n year(s)")},
    {30 * 86400 + 37746, QT_TRANSLATE_N_NOOP("RelativeTime", "%n month(s) ago"),
     QT_TRANSLATE_N_NOOP("RelativeTime", "in %n month(s)")},
    {7 * 86400, QT_TRANSLATE_N_NOOP("RelativeTime", "%n week(s) ago"),
     QT_TRANSLATE_N_NOOP("RelativeTime", "in %n week(s)")},
    {86400, QT_TRANSLATE_N_NOOP("RelativeTime", "%n day(s) ago"), QT_TRANSLATE_N_NOOP("RelativeTime", "in %n day(s)")},
    {3600, QT_TRANSLATE_N_NOOP("RelativeTime", "%n hour(s) ago"), QT_TRANSLATE_N_NOOP("RelativeTime", "in %n hour(s)")},
    {60, QT_TRANSLATE_N_NOOP("RelativeTime", "%n minute(s) ago"),
     QT_TRANSLATE_N_NOOP("RelativeTime", "in %n minute(s)")},
    {1, QT_TRANSLATE_N_NOOP("RelativeTime", "%n second(s) ago"),
     QT_TRANSLATE_N_NOOP("RelativeTime", "in %n second(s)")},
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
    const int count = int(magnitude / unit.seconds);
    return QCoreApplication::translate("RelativeTime", delta >= 0 ? unit.past : unit.future, nullptr, count);
}

}  // namespace stowage::RelativeTime
