// Sizes: the verbose disk-usage document, and every line read as one of
// docker's size texts and shown again as ours.

#include "FuzzInput.h"

#include "docker/DockerClient.h"
#include "text/SizeFormat.h"

using namespace stowage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString out = fuzz::text(data, size);
    const auto sizes = DockerClient::parseVolumeSizes(out);
    for (qint64 bytes : sizes)
        SizeFormat::humanSize(bytes);
    for (const QString& line : out.split(u'\n')) {
        const qint64 bytes = SizeFormat::parseDockerSize(line);
        fuzz::require(!SizeFormat::humanSize(bytes).isEmpty(), "every size has a text");
    }
    return 0;
}
