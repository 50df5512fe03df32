#include "inventory/FreedSpace.h"

#include "docker/DockerRunner.h"
#include "text/SizeFormat.h"

#include <QCoreApplication>

namespace stowage {

std::optional<qint64> FreedSpace::measured() const
{
    if (!before || !after)
        return std::nullopt;
    return std::max<qint64>(0, *before - *after);
}

QString FreedSpace::text() const
{
    if (const auto freed = measured())
        return QStringLiteral("Freed %1 on disk (expected %2)")
            .arg(SizeFormat::humanSize(*freed), formatRange(expected));
    return QStringLiteral("Expected to free %1 (the engine's disk usage could not be read)")
        .arg(formatRange(expected));
}

QString FreedSpace::shownText() const
{
    if (const auto freed = measured())
        return QCoreApplication::translate("FreedSpace", "Freed %1 on disk (expected %2)")
            .arg(SizeFormat::humanSize(*freed), formatRange(expected));
    return QCoreApplication::translate("FreedSpace", "Expected to free %1 (the engine's disk usage could not be read)")
        .arg(formatRange(expected));
}

std::optional<DockerClient::DiskUsage> readDiskUsage(const DockerClient& client, std::stop_token stop)
{
    try {
        return client.diskUsage(stop);
    } catch (const RunError&) {
        return std::nullopt;
    }
}

}  // namespace stowage
