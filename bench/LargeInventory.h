#pragma once
// The large synthetic inventory of the window benchmarks: 10,000 images,
// 10,000 volumes, 2,750 containers in 500 compose projects (five containers
// each, every third project stopped) and 250 standalone containers; or the
// same shape scaled down to fewer projects for a quick run.

#include "cache/StateCache.h"
#include "classification/UsageClassification.h"
#include "inventory/ProjectIndex.h"

#include <QDateTime>

namespace stowage::bench {

inline constexpr int fullProjectCount = 500;
inline constexpr int smallProjectCount = 10;

inline QString hexId(int kind, int i)
{
    return QStringLiteral("%1%2").arg(kind, 8, 16, QLatin1Char('0')).arg(i, 56, 16, QLatin1Char('0'));
}

// A container's short id, unique per kind and number (docker keys inspection by the first 12 characters).
inline QString shortId(int kind, int i)
{
    return QStringLiteral("%1%2").arg(kind, 1, 16).arg(i, 11, 16, QLatin1Char('0'));
}

// `projectCount` projects of five containers (every third project stopped)
// and half as many standalone containers. Twenty images per project: five
// built per project (used), then pulled bases up to half of them (a fifth
// used), the rest unused local builds and dangling images. Twenty volumes per
// project: six mounted, then labelled orphans, anonymous orphans and, every
// tenth unmounted one, volumes the engine disputes. Every image's layers are
// known, as after a refresh.
inline CachedState largeInventory(int projectCount = fullProjectCount)
{
    const int imageCount = 20 * projectCount;
    const int volumeCount = 20 * projectCount;
    CachedState s;
    s.usageDataComplete = true;
    s.danglingKnown = true;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < imageCount; ++i) {
        SGImage image;
        image.id = QStringLiteral("sha256:") + hexId(1, i);
        if (i < projectCount * 5)
            image.repository = QStringLiteral("app%1-svc%2").arg(i / 5).arg(i % 5);
        else if (i < imageCount / 2)
            image.repository = QStringLiteral("library/base%1").arg(i);
        else if (i < imageCount * 3 / 4)
            image.repository = QStringLiteral("scratch%1-build").arg(i);
        else
            image.repository = QStringLiteral("<none>");
        image.tag = image.repository == QStringLiteral("<none>") ? QStringLiteral("<none>") : QStringLiteral("latest");
        image.sizeBytes = qint64(1 + (i * 7919) % 4000) * 1024 * 1024;
        image.size = SizeFormat::humanSize(image.sizeBytes).remove(QLatin1Char(' '));
        image.created = QStringLiteral("2 weeks ago");
        s.images << image;
        // Every image stands on one of twenty bases of four shared layers and
        // adds two of its own; the pulled bases carry a registry digest.
        ImageLayers layers{image.id, {}, image.sizeBytes, {}, QStringList()};
        for (int layer = 0; layer < 4; ++layer)
            layers.layers << QStringLiteral("sha256:") + hexId(5, (i % 20) * 4 + layer);
        for (int layer = 0; layer < 2; ++layer)
            layers.layers << QStringLiteral("sha256:") + hexId(6, i * 2 + layer);
        if (image.repository.startsWith(QLatin1String("library/")))
            layers.repoDigests = QStringList{image.repository + QStringLiteral("@sha256:") + hexId(7, i)};
        s.imageLayers << layers;
    }
    int volume = 0;
    const auto addVolume = [&](const QString& name, const QString& project, bool dangling) {
        SGVolume v;
        v.name = name;
        v.driver = QStringLiteral("local");
        v.project = project;
        v.mountpoint = QStringLiteral("/var/lib/docker/volumes/") + name + QStringLiteral("/_data");
        s.volumes << v;
        s.volumeSizes.insert(name, qint64(1 + (volume * 104729) % 900) * 1024 * 1024);
        if (dangling)
            s.danglingVolumeNames << name;
        ++volume;
    };
    for (int p = 0; p < projectCount; ++p) {
        const QString project = QStringLiteral("app%1").arg(p);
        QStringList volumes;
        for (int v = 0; v < 6; ++v) {
            volumes << QStringLiteral("%1_data%2").arg(project).arg(v);
            addVolume(volumes.last(), project, false);
        }
        for (int c = 0; c < 5; ++c) {
            SGContainer container;
            container.id = shortId(2, p * 5 + c);
            container.name = QStringLiteral("%1-svc%2-1").arg(project).arg(c);
            container.project = project;
            container.image = QStringLiteral("app%1-svc%2").arg(p).arg(c);
            container.imageID = s.images[p * 5 + c].id;
            const bool running = p % 3 != 0;
            container.state = running ? QStringLiteral("running") : QStringLiteral("exited");
            container.status = running ? QStringLiteral("Up 3 hours") : QStringLiteral("Exited (0) 2 days ago");
            container.workingDir = QStringLiteral("/nonexistent/src/") + project;
            container.mounts = {volumes[c], volumes[5]};
            container.startedAt = now.addSecs(-60 * (p + 1));
            s.containers << container;
            s.usedImageIDs << container.imageID;
        }
    }
    for (int i = 0; i < projectCount / 2; ++i) {
        SGContainer container;
        container.id = shortId(3, i);
        container.name = QStringLiteral("tool-%1").arg(i);
        container.image = s.images[projectCount * 5 + i * 5].repository;
        container.imageID = s.images[projectCount * 5 + i * 5].id;
        container.state = QStringLiteral("exited");
        container.status = QStringLiteral("Exited (0) 1 day ago");
        s.containers << container;
        s.usedImageIDs << container.imageID;
    }
    for (int i = 0; volume < volumeCount; ++i) {
        const bool disputed = i % 10 == 9;
        if (i % 2 == 0)
            addVolume(QStringLiteral("old%1_data").arg(i), QStringLiteral("old%1").arg(i), !disputed);
        else
            addVolume(hexId(4, i), QString(), !disputed);
    }
    return s;
}

// `s` with the Overview's figures, as the application saves it.
inline CachedState withOverviewFigures(CachedState s)
{
    Inventory inventory;
    inventory.containers = s.containers;
    inventory.images = s.images;
    inventory.volumes = s.volumes;
    inventory.buildCache = s.buildCache;
    inventory.volumeSizes = s.volumeSizes;
    inventory.usedImageIDs = QSet<QString>(s.usedImageIDs.cbegin(), s.usedImageIDs.cend());
    inventory.danglingVolumeNames = QSet<QString>(s.danglingVolumeNames.cbegin(), s.danglingVolumeNames.cend());
    inventory.danglingKnown = s.danglingKnown;
    inventory.usageDataComplete = s.usageDataComplete;
    const ProjectIndex index = buildProjectIndex(inventory.containers, inventory.images, inventory.volumes);
    s.figures = OverviewFigures::of(inventory, UsageClassification(inventory, index));
    return s;
}

}  // namespace stowage::bench
