#pragma once
// What a removal freed, as the engine measures it: its disk-usage total
// (`docker system df`, every row) before the removal and after, beside the
// amount the confirmation promised.

#include "docker/DockerClient.h"
#include "inventory/ImageGraph.h"

#include <optional>
#include <stop_token>

namespace stowage {

struct FreedSpace {
    ByteRange expected;
    std::optional<qint64> before;
    std::optional<qint64> after;
    // The engine's figures after the removal, when they could be read.
    std::optional<DockerClient::DiskUsage> usageAfter;

    std::optional<qint64> measured() const;
    // "Freed 12.0 MB on disk (expected 12.1 MB)", or what was expected when
    // the engine could not say: in English for the log, and in the user's language.
    QString text() const;
    QString shownText() const;
};

// The engine's disk usage now; none when it cannot say (the removal goes on regardless).
std::optional<DockerClient::DiskUsage> readDiskUsage(const DockerClient& client, std::stop_token stop);

}  // namespace stowage
