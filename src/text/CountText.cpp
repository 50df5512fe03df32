#include "text/CountText.h"

namespace stowage {

QString nounFor(qint64 count, const QString& singular, const QString& plural)
{
    if (count == 1)
        return singular;
    return plural.isEmpty() ? singular + QLatin1Char('s') : plural;
}

QString counted(qint64 count, const QString& singular, const QString& plural)
{
    return QString::number(count) + QLatin1Char(' ') + nounFor(count, singular, plural);
}

}  // namespace stowage
