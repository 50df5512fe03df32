// Every line-oriented listing parser over the same bytes: containers, images,
// volumes, build cache, dangling names and data root. Whatever docker prints,
// each record it yields must survive the state cache's JSON form unchanged.

#include "FuzzInput.h"

#include "docker/DockerClient.h"

using namespace stowage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString out = fuzz::text(data, size);
    for (const SGContainer& c : DockerClient::parseContainers(out))
        fuzz::require(containerFromJson(toJson(c)) == c, "container survives the cache form");
    for (const SGImage& i : DockerClient::parseImages(out))
        fuzz::require(imageFromJson(toJson(i)) == i, "image survives the cache form");
    for (const SGVolume& v : DockerClient::parseVolumes(out))
        fuzz::require(volumeFromJson(toJson(v)) == v, "volume survives the cache form");
    const BuildCache cache = DockerClient::parseBuildCache(out);
    fuzz::require(buildCacheFromJson(toJson(cache)) == cache, "build cache survives the cache form");
    DockerClient::parseDanglingNames(out);
    fuzz::require(!DockerClient::parseDockerRoot(out).isEmpty(), "a data root is never empty");
    return 0;
}
