// The "@@"-separated outputs of container and image inspect, and the mounts JSON inside the first.

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
    const auto images = DockerClient::parseImageLayers(out);
    for (auto it = images.cbegin(); it != images.cend(); ++it)
        fuzz::require(!it.key().isEmpty() && it.key() == it.value().id,
                      "image facts are keyed by their non-empty id");
    for (const QString& name : DockerClient::namedVolumes(out))
        fuzz::require(!name.isEmpty(), "named volumes are never empty");
    return 0;
}
