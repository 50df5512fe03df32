#include "docker/Probe.h"

#include "docker/DockerClient.h"
#include "docker/DockerRunner.h"
#include "text/SizeFormat.h"

#include <QTextStream>

namespace stowage::Probe {

namespace {

QString boolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

}  // namespace

QStringList lines(const DockerClient& client)
{
    try {
        const auto containers = client.containers();
        const auto images = client.images();
        const auto volumes = client.volumes();
        const auto cache = client.buildCache();
        const auto sizes = client.volumeSizes();
        const auto root = client.dockerRoot();

        qint64 total = 0;
        for (qint64 size : sizes)
            total += size;
        const bool firstIsSha = !images.isEmpty() && images.first().id.startsWith(QStringLiteral("sha256:"));
        return {
            QStringLiteral("containers: %1").arg(containers.size()),
            QStringLiteral("images: %1 | first id is sha256: %2").arg(images.size()).arg(boolText(firstIsSha)),
            QStringLiteral("volumes: %1").arg(volumes.size()),
            QStringLiteral("build cache: %1 reclaimable %2").arg(cache.size, cache.reclaimable),
            QStringLiteral("volume sizes: %1 | total %2").arg(sizes.size()).arg(SizeFormat::humanSize(total)),
            QStringLiteral("docker root: %1").arg(root),
            QStringLiteral("docker: %1").arg(client.cli.dockerExecutable()),
        };
    } catch (const RunError& error) {
        return {QStringLiteral("ERROR: ") + error.description()};
    }
}

void run()
{
    QTextStream out(stdout);
    for (const auto& line : lines(DockerClient(DockerRunner::shared())))
        out << line << '\n';
    out.flush();
}

bool requested(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--probe"));
}

}  // namespace stowage::Probe
