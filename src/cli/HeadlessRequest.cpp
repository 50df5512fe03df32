#include "cli/HeadlessRequest.h"

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

}  // namespace stowage::cli
