// The "@@"-separated inspect output and the mounts JSON inside it.

#include "FuzzInput.h"

#include "docker/DockerClient.h"

using namespace stowage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString out = fuzz::text(data, size);
    const auto details = DockerClient::parseInspect(out);
    for (auto it = details.cbegin(); it != details.cend(); ++it) {
        fuzz::require(!it.key().isEmpty() && it.key().size() <= 12, "keys are short container ids");
        for (const QString& name : it.value().mounts)
            fuzz::require(!name.isEmpty(), "mounted volume names are never empty");
    }
    for (const QString& name : DockerClient::namedVolumes(out))
        fuzz::require(!name.isEmpty(), "named volumes are never empty");
    return 0;
}
