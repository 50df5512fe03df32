#include "cli/HeadlessRequest.h"

#include <QRegularExpression>

#include <array>
#include <utility>

namespace stowage::cli {

namespace {

const std::array<std::pair<const char*, CleanKind>, 4> kindNames{{
    {"build-cache", CleanKind::buildCache},
    {"images", CleanKind::unusedImages},
    {"volumes", CleanKind::orphanVolumes},
    {"anonymous-volumes", CleanKind::anonymousOrphanVolumes},
}};

}  // namespace

QStringList cleanKindNames()
{
    QStringList names;
    for (const auto& [name, kind] : kindNames)
        names << QString::fromLatin1(name);
    return names;
}

std::optional<CleanKind> cleanKindNamed(const QString& name)
{
    for (const auto& [known, kind] : kindNames)
        if (name == QLatin1String(known))
            return kind;
    return std::nullopt;
}

std::optional<std::chrono::seconds> parseSince(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^([1-9][0-9]{0,5})([mhdw])$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 count = match.captured(1).toLongLong();
    const QChar unit = match.captured(2).at(0);
    const qint64 seconds = unit == u'm' ? 60 : unit == u'h' ? 3600 : unit == u'd' ? 86400 : 7 * 86400;
    return std::chrono::seconds(count * seconds);
}

}  // namespace stowage::cli
