// Project teardown: removing a project's containers, the images and volumes
// only it uses, whole projects, or a selection of projects.

#include "model/removal/Removals.h"

#include "model/AppModel.h"

#include "inventory/ContainerStatus.h"
#include "model/removal/ConfirmationText.h"
#include "text/CountText.h"
#include "text/PrintableText.h"

#include <algorithm>

namespace stowage {

namespace {

// A project inside a sentence: quoted by name, or the standalone group by its label.
QString named(const QString& project)
{
    return project.isEmpty() ? projectDisplayName(project) : QLatin1Char('\'') + printable(project) + QLatin1Char('\'');
}

// The closing line of a teardown: the data warning only when volumes go.
QString continueLine(const QList<SGVolume>& volumes)
{
    return volumes.isEmpty() ? QStringLiteral("Continue?")
                             : QStringLiteral("⚠ Volume data will be permanently deleted. Continue?");
}

QStringList blockerBlock(const QList<SGContainer>& blockers, const QString& heading)
{
    if (blockers.isEmpty())
        return {};
    QStringList names;
    for (const auto& c : blockers)
        names << QStringLiteral("  • ") + printable(c.name);
    return {heading + joinLines(names)};
}

}  // namespace

QList<SGImage> Removals::projectExclusiveImages(const QString& project, bool builtOnly) const
{
    const auto meta = model_.index_.projectsMeta.constFind(project);
    if (meta == model_.index_.projectsMeta.constEnd() || !model_.inventory_.usageDataComplete)
        return {};
    QList<SGImage> result;
    for (const auto& image : builtOnly ? meta->builtImages : meta->images)
        if (exclusiveTo(model_.index_.imageOwners.value(image.id), {project}))
            result << image;
    return result;
}

QList<SGVolume> Removals::projectExclusiveVolumes(const QString& project) const
{
    const auto meta = model_.index_.projectsMeta.constFind(project);
    if (meta == model_.index_.projectsMeta.constEnd() || !model_.inventory_.usageDataComplete)
        return {};
    QList<SGVolume> result;
    for (const auto& volume : meta->volumes)
        if (exclusiveTo(model_.index_.volumeOwners.value(volume.name), {project}))
            result << volume;
    return result;
}

void Removals::removeProjectContainers(const QString& project)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, project] { removeProjectContainers(project); });
    const QList<SGContainer> list = model_.index_.projects.value(project);
    if (list.isEmpty()) {
        model_.alerts().info(QStringLiteral("Info"), QStringLiteral("No containers in this project."));
        return;
    }
    QStringList lines;
    for (const auto& c : list)
        lines << QStringLiteral("  • %1 (%2)").arg(printable(c.name), ContainerStatus::at(c, model_.clock_.now()));
    const QString message = QStringLiteral("Remove ") + counted(list.size(), QStringLiteral("container"))
                            + QStringLiteral(" of ") + named(project) + QStringLiteral("?\n\n") + joinLines(lines)
                            + QStringLiteral("\n\nImages and volumes are NOT touched.");
    if (model_.alerts().confirm(
            {QStringLiteral("Remove containers"), message, {}, removeAction(list.size(), QStringLiteral("Container"))})
        && model_.idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" containers"), list, {}, {});
}

bool Removals::blockedWithoutOwners()
{
    if (model_.inventory_.usageDataComplete)
        return false;
    model_.alerts().info(QStringLiteral("Blocked"),
                  QStringLiteral("Usage could not be fully verified, so no image or volume is called exclusive to "
                                 "this project.\n\n")
                      + model_.inventory_.usageDataProblem + QStringLiteral("\n\nPress Refresh and try again."));
    return true;
}

QStringList Removals::ownersUnknownNote() const
{
    if (model_.inventory_.usageDataComplete)
        return {};
    return {QString(), QStringLiteral("⚠ Usage could not be fully verified, so no image or volume is removed with "
                                      "these containers:"),
            QStringLiteral("  ") + model_.inventory_.usageDataProblem};
}

void Removals::removeProjectImages(const QString& project)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, project] { removeProjectImages(project); });
    if (blockedWithoutOwners())
        return;
    const QList<ImageUnit> images = unitsOf(projectExclusiveImages(project, true));
    if (images.isEmpty()) {
        model_.alerts().info(QStringLiteral("Info"), QStringLiteral("No images exclusive to this project."));
        return;
    }
    QSet<QString> ids;
    for (const auto& image : images)
        ids.insert(image.id);
    QList<SGContainer> blockers;
    for (const auto& c : model_.inventory_.containers)
        if (ids.contains(c.imageID) && c.project == project)
            blockers << c;
    QStringList lines;
    for (const auto& image : images)
        lines << imageLine(image, QStringLiteral("  • "));
    QString message = QStringLiteral("Remove ") + counted(images.size(), QStringLiteral("image"))
                      + QStringLiteral(" exclusive to ") + named(project) + QStringLiteral("?\n\n") + joinLines(lines)
                      + QStringLiteral("\n\n") + joinLines(imageRemovalNote(images));
    for (const auto& block : blockerBlock(
             blockers, QStringLiteral("\n\nThese containers reference the images and will be removed first:\n")))
        message += block;
    if (model_.alerts().confirm({QStringLiteral("Remove project images"),
                                 message,
                                 {},
                                 removeAction(images.size(), QStringLiteral("Image"))})
        && model_.idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" images"), blockers, images, {});
}

void Removals::removeProjectVolumes(const QString& project)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, project] { removeProjectVolumes(project); });
    if (blockedWithoutOwners())
        return;
    const QList<SGVolume> vols = projectExclusiveVolumes(project);
    if (vols.isEmpty()) {
        model_.alerts().info(QStringLiteral("Info"), QStringLiteral("No volumes exclusive to this project."));
        return;
    }
    QSet<QString> names;
    for (const auto& volume : vols)
        names.insert(volume.name);
    QList<SGContainer> blockers;
    for (const auto& c : model_.inventory_.containers)
        if (c.project == project
            && std::any_of(c.mounts.begin(), c.mounts.end(), [&](const QString& m) { return names.contains(m); }))
            blockers << c;
    QStringList lines;
    for (const auto& volume : vols)
        lines << QStringLiteral("  • %1 (%2)")
                     .arg(printable(volume.name),
                          SizeFormat::humanSize(model_.inventory_.volumeSizes.value(volume.name, 0)));
    QString message = QStringLiteral("Remove ") + counted(vols.size(), QStringLiteral("volume"))
                      + QStringLiteral(" exclusive to ") + named(project) + QStringLiteral("?\n\n") + joinLines(lines);
    for (const auto& block :
         blockerBlock(blockers, QStringLiteral("\n\nThese containers use the volumes and will be removed first:\n")))
        message += block;
    message += QStringLiteral("\n\n⚠ Volume data will be permanently deleted.");
    if (model_.alerts().confirm({QStringLiteral("Remove project volumes"),
                                 message,
                                 {},
                                 removeAction(vols.size(), QStringLiteral("Volume"))})
        && model_.idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" volumes"), blockers, {}, vols);
}

void Removals::deleteEntireProject(const QString& project)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, project] { deleteEntireProject(project); });
    const QList<SGContainer> cs = model_.index_.projects.value(project);
    const QList<ImageUnit> imgs = unitsOf(projectExclusiveImages(project, true));
    const QList<SGVolume> vols = projectExclusiveVolumes(project);
    QSet<QString> removedIds;
    for (const auto& image : imgs)
        removedIds.insert(image.id);
    QList<SGImage> keptRows;
    for (const auto& image : model_.index_.projectsMeta.value(project).images)
        if (!removedIds.contains(image.id))
            keptRows << image;
    const QList<ImageUnit> kept = unitsOf(keptRows);

    QStringList lines{QStringLiteral("Project: ") + printable(projectDisplayName(project)), QString()};
    lines << QStringLiteral("Containers to remove (%1):").arg(cs.size());
    for (const auto& c : cs)
        lines << QStringLiteral("  • %1  (%2)").arg(printable(c.name), ContainerStatus::at(c, model_.clock_.now()));
    if (cs.isEmpty())
        lines << QStringLiteral("  (none)");
    lines << QString() << QStringLiteral("Built images to remove (%1):").arg(imgs.size());
    for (const auto& image : imgs)
        lines << QStringLiteral("  • %1  (%2)").arg(shownImageName(image), image.size);
    if (imgs.isEmpty())
        lines << QStringLiteral("  (none)");
    for (const QString& note : imageRemovalNote(imgs))
        lines << QStringLiteral("  ") + note;
    lines << QString() << QStringLiteral("Volumes to remove (%1):").arg(vols.size());
    for (const auto& volume : vols)
        lines << QStringLiteral("  • %1  (%2)")
                     .arg(printable(volume.name),
                          SizeFormat::humanSize(model_.inventory_.volumeSizes.value(volume.name, 0)));
    if (vols.isEmpty())
        lines << QStringLiteral("  (none)");
    if (!kept.isEmpty()) {
        lines << QString() << QStringLiteral("KEPT (base / shared — not removed):");
        for (const auto& image : kept)
            lines << QStringLiteral("  • ") + shownImageName(image);
    }
    lines << ownersUnknownNote();
    lines << QString() << continueLine(vols);
    if (model_.alerts().confirm(
            {QStringLiteral("Delete entire project"), joinLines(lines), {}, QStringLiteral("Delete Project")})
        && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("project ") + projectDisplayName(project), cs, imgs, vols);
}

void Removals::deleteProjects(const QSet<QString>& projects, std::function<void()> confirmed)
{
    QSet<QString> selection = projects;
    selection.remove(QString());
    if (selection.isEmpty())
        return;
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, projects, confirmed] { deleteProjects(projects, confirmed); });
    QStringList names = selection.values();
    names.sort();

    QList<SGContainer> cs;
    QList<ImageUnit> imgs;
    QList<SGVolume> vols;
    QList<ProjectLoss> losses;
    QSet<QString> takenImages, takenVolumes;
    const bool ownersKnown = model_.inventory_.usageDataComplete;
    for (const auto& project : names) {
        ProjectLoss loss{project, model_.index_.projects.value(project), {}, {}};
        const ProjectMeta meta = model_.index_.projectsMeta.value(project);
        QList<SGImage> imageRows;
        for (const auto& image : meta.builtImages)
            if (ownersKnown && !takenImages.contains(image.id)
                && exclusiveTo(model_.index_.imageOwners.value(image.id), selection)) {
                takenImages.insert(image.id);
                imageRows << image;
            }
        for (const auto& volume : meta.volumes)
            if (ownersKnown && !takenVolumes.contains(volume.name)
                && exclusiveTo(model_.index_.volumeOwners.value(volume.name), selection)) {
                takenVolumes.insert(volume.name);
                loss.volumes << volume;
            }
        loss.images = unitsOf(imageRows);
        cs += loss.containers;
        imgs += loss.images;
        vols += loss.volumes;
        losses << loss;
    }

    QStringList lines{QStringLiteral("Delete ") + counted(names.size(), QStringLiteral("project")) + QLatin1Char(':'),
                      QString()};
    for (const auto& name : names)
        lines << QStringLiteral("  • ") + printable(name);
    lines << QString() << QStringLiteral("Totals to remove:")
          << QStringLiteral("  • ") + counted(cs.size(), QStringLiteral("container"))
          << QStringLiteral("  • ") + counted(imgs.size(), QStringLiteral("built image"))
          << QStringLiteral("  • ") + counted(vols.size(), QStringLiteral("volume")) << imageRemovalNote(imgs)
          << ownersUnknownNote() << QString()
          << QStringLiteral("Images/volumes shared with a project or container NOT in this selection are kept.")
          << continueLine(vols);
    if (!model_.alerts().confirm({QStringLiteral("Delete selected projects"), joinLines(lines),
                           projectLossListing(losses, model_.inventory_.volumeSizes, model_.clock_.now()),
                           QStringLiteral("Delete ") + counted(names.size(), QStringLiteral("Project"))}))
        return;
    if (confirmed)
        confirmed();
    if (model_.idleAfterConfirmation())
        deleteResources(counted(names.size(), QStringLiteral("project")), cs, imgs, vols);
}

}  // namespace stowage
