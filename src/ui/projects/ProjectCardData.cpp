#include "ui/projects/ProjectCardData.h"

#include "docker/Classify.h"
#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"
#include "text/SizeFormat.h"
#include "ui/style/Theme.h"

#include <algorithm>

#include <QCoreApplication>

namespace stowage::ProjectCards {

CardBadge ownershipBadge(const OwnerList& owners, const QString& project)
{
    if (exclusiveTo(owners, {project}))
        return {QCoreApplication::translate("ProjectCardData", "exclusive"), Theme::success()};
    const QStringList others = otherOwners(owners, project);
    return {others.isEmpty()
                ? QCoreApplication::translate("ProjectCardData", "shared: other")
                : QCoreApplication::translate("ProjectCardData", "shared: %1").arg(others.join(QStringLiteral(", "))),
            Theme::danger()};
}

CardBadge kindBadge(const QString& repository, const QString& project)
{
    return Classify::isBuiltImage(repository, project)
               ? CardBadge{QCoreApplication::translate("ProjectCardData", "built"), Theme::warning()}
               : CardBadge{QCoreApplication::translate("ProjectCardData", "base"), Theme::textDim()};
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
        ? QCoreApplication::translate("ProjectCardData", "● %n running", nullptr, card.runningCount)
        : QCoreApplication::translate("ProjectCardData", "● all stopped");
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
    const auto text = [](const char* source, qsizetype count) {
        return QCoreApplication::translate("ProjectCardData", source, nullptr, int(count));
    };
    card.figures = QCoreApplication::translate("ProjectCardData", "%1 · %2 (%3) · %4 (%5)")
                       .arg(text(QT_TRANSLATE_N_NOOP("ProjectCardData", "%n container(s)"), containers.size()),
                            text(QT_TRANSLATE_N_NOOP("ProjectCardData", "%n image(s)"), meta.images.size()),
                            formatRange(imageBytes),
                            text(QT_TRANSLATE_N_NOOP("ProjectCardData", "%n volume(s)"), meta.volumes.size()),
                            SizeFormat::humanSize(volumeBytes));
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
