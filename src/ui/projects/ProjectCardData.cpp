#include "ui/projects/ProjectCardData.h"

#include "docker/Classify.h"
#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"
#include "text/CountText.h"
#include "text/SizeFormat.h"
#include "ui/style/Theme.h"

#include <algorithm>

namespace stowage::ProjectCards {

CardBadge ownershipBadge(const QSet<QString>& owners, const QString& project)
{
    return {ownershipText(owners, project), exclusiveTo(owners, {project}) ? Theme::success() : Theme::danger()};
}

CardBadge kindBadge(const QString& repository, const QString& project)
{
    return Classify::isBuiltImage(repository, project) ? CardBadge{QStringLiteral("built"), Theme::warning()}
                                                       : CardBadge{QStringLiteral("base"), Theme::textDim()};
}

ProjectCardData build(const Inventory& inventory, const ProjectIndex& index, const QString& project,
                      const QList<SGContainer>& containers)
{
    const ProjectMeta meta = index.projectsMeta.value(project);
    const auto& sizes = inventory.volumeSizes;
    ProjectCardData card;
    card.project = project;
    card.title = projectDisplayName(project);
    for (const SGContainer& c : containers) {
        const bool running = c.state == QStringLiteral("running");
        card.runningCount += running ? 1 : 0;
        card.containers.append({c.name, c.image, c.status, c.startedAt, c.finishedAt, running});
    }
    card.runningText = card.runningCount > 0
        ? QStringLiteral("● ") + QString::number(card.runningCount) + QStringLiteral(" running")
        : QStringLiteral("● all stopped");
    card.runningColor = card.runningCount > 0 ? Theme::success() : Theme::textDim();
    card.lastActivity = meta.lastActivity;
    card.path = meta.path;

    QList<SGImage> images = meta.images;
    std::stable_sort(images.begin(), images.end(),
                     [](const SGImage& a, const SGImage& b) { return a.sizeBytes > b.sizeBytes; });
    for (const SGImage& image : images) {
        card.images.append({image.repository + QLatin1Char(':') + image.tag, image.size,
                            kindBadge(image.repository, project),
                            ownershipBadge(index.imageOwners.value(image.id), project)});
    }

    QList<SGVolume> volumes = meta.volumes;
    std::stable_sort(volumes.begin(), volumes.end(), [&](const SGVolume& a, const SGVolume& b) {
        return sizes.value(a.name, 0) > sizes.value(b.name, 0);
    });
    qint64 volumeBytes = 0;
    for (const SGVolume& volume : volumes) {
        const qint64 size = sizes.value(volume.name, 0);
        volumeBytes += size;
        card.volumes.append({volume.name, SizeFormat::humanSize(size), std::nullopt,
                             ownershipBadge(index.volumeOwners.value(volume.name), project)});
    }

    // Images share layers: each counts once, and so does every layer they share.
    const ByteRange imageBytes = projectImageBytes(meta, index.imageGraph);
    card.figures = counted(containers.size(), QStringLiteral("container")) + QStringLiteral(" · ")
        + counted(meta.images.size(), QStringLiteral("image")) + QStringLiteral(" (") + formatRange(imageBytes)
        + QStringLiteral(") · ") + counted(meta.volumes.size(), QStringLiteral("volume")) + QStringLiteral(" (")
        + SizeFormat::humanSize(volumeBytes) + QStringLiteral(")");
    // `docker compose down` leaves the project's volumes and built images: its data is still here.
    if (containers.isEmpty() && !project.isEmpty()) {
        card.runningText = takenDownText(meta, sizes);
        card.runningColor = Theme::warning();
    }
    return card;
}

QHash<QString, ProjectCardData> buildAll(const Inventory& inventory, const ProjectIndex& index)
{
    QHash<QString, ProjectCardData> cards;
    cards.reserve(index.projects.size());
    for (auto it = index.projects.cbegin(); it != index.projects.cend(); ++it)
        cards.insert(it.key(), build(inventory, index, it.key(), it.value()));
    return cards;
}

}  // namespace stowage::ProjectCards
