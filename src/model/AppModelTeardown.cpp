// Project teardown: removing a project's containers, the images and volumes
// only it uses, whole projects, or a selection of projects. One rule decides
// what goes with a project: exclusivity — nothing that a project outside the
// ones being removed still uses. Owners are known only when every container
// was inspected: until then nothing is exclusive, and containers alone go.

#include "model/AppModel.h"

#include "text/CountText.h"
#include "model/ConfirmationText.h"
#include "text/PrintableText.h"
#include "inventory/ContainerStatus.h"

#include <algorithm>

namespace stowage {

namespace {

QString joinLines(const QStringList& lines) { return lines.join(QLatin1Char('\n')); }

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


// Exclusive to one project: no owner, or that project alone.
bool exclusiveTo(const QSet<QString>& owners, const QString& project)
{
    return owners.isEmpty() || (owners.size() == 1 && owners.contains(project));
}

// Exclusive to a selection: every owner is selected. A standalone container
// (the empty owner) is never selected, so what one uses stays.
bool exclusiveToSelection(const QSet<QString>& owners, const QSet<QString>& selection)
{
    return selection.contains(owners);
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

QList<SGImage> AppModel::projectExclusiveImages(const QString& project, bool builtOnly) const
{
    const auto meta = index_.projectsMeta.constFind(project);
    if (meta == index_.projectsMeta.constEnd() || !inventory_.usageDataComplete)
        return {};
    QList<SGImage> result;
    for (const auto& image : builtOnly ? meta->builtImages : meta->images)
        if (exclusiveTo(index_.imageOwners.value(image.id), project))
            result << image;
    return result;
}

QList<SGVolume> AppModel::projectExclusiveVolumes(const QString& project) const
{
    const auto meta = index_.projectsMeta.constFind(project);
    if (meta == index_.projectsMeta.constEnd() || !inventory_.usageDataComplete)
        return {};
    QList<SGVolume> result;
    for (const auto& volume : meta->volumes)
        if (exclusiveTo(index_.volumeOwners.value(volume.name), project))
            result << volume;
    return result;
}

void AppModel::removeProjectContainers(const QString& project)
{
    if (!factsAreFresh())
        return readFreshFactsThen([this, project] { removeProjectContainers(project); });
    const QList<SGContainer> list = index_.projects.value(project);
    if (list.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("No containers in this project."));
        return;
    }
    QStringList lines;
    for (const auto& c : list)
        lines << QStringLiteral("  • %1 (%2)").arg(printable(c.name), ContainerStatus::at(c, clock_.now()));
    const QString message = QStringLiteral("Remove ") + counted(list.size(), QStringLiteral("container"))
                            + QStringLiteral(" of ") + named(project) + QStringLiteral("?\n\n") + joinLines(lines) + QStringLiteral("\n\nImages and volumes are NOT touched.");
    if (alerts().confirm({QStringLiteral("Remove containers"), message, {}, removeAction(list.size(), QStringLiteral("Container"))})
        && idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" containers"), list, {}, {});
}

bool AppModel::blockedWithoutOwners()
{
    if (inventory_.usageDataComplete)
        return false;
    alerts().info(QStringLiteral("Blocked"),
                  QStringLiteral("Usage could not be fully verified, so no image or volume is called exclusive to "
                                 "this project.\n\n")
                      + inventory_.usageDataProblem + QStringLiteral("\n\nPress Refresh and try again."));
    return true;
}

QStringList AppModel::ownersUnknownNote() const
{
    if (inventory_.usageDataComplete)
        return {};
    return {QString(), QStringLiteral("⚠ Usage could not be fully verified, so no image or volume is removed with "
                                      "these containers:"),
            QStringLiteral("  ") + inventory_.usageDataProblem};
}

void AppModel::removeProjectImages(const QString& project)
{
    if (!factsAreFresh())
        return readFreshFactsThen([this, project] { removeProjectImages(project); });
    if (blockedWithoutOwners())
        return;
    const QList<ImageUnit> images = unitsOf(projectExclusiveImages(project, true));
    if (images.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("No images exclusive to this project."));
        return;
    }
    QSet<QString> ids;
    for (const auto& image : images)
        ids.insert(image.id);
    QList<SGContainer> blockers;
    for (const auto& c : inventory_.containers)
        if (ids.contains(c.imageID) && c.project == project)
            blockers << c;
    QStringList lines;
    for (const auto& image : images)
        lines << imageLine(image, QStringLiteral("  • "));
    QString message = QStringLiteral("Remove ") + counted(images.size(), QStringLiteral("image"))
                      + QStringLiteral(" exclusive to ") + named(project) + QStringLiteral("?\n\n") + joinLines(lines)
                      + QStringLiteral("\n\n") + joinLines(imageRemovalNote(images));
    for (const auto& block :
         blockerBlock(blockers, QStringLiteral("\n\nThese containers reference the images and will be removed first:\n")))
        message += block;
    if (alerts().confirm({QStringLiteral("Remove project images"), message, {}, removeAction(images.size(), QStringLiteral("Image"))})
        && idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" images"), blockers, images, {});
}

void AppModel::removeProjectVolumes(const QString& project)
{
    if (!factsAreFresh())
        return readFreshFactsThen([this, project] { removeProjectVolumes(project); });
    if (blockedWithoutOwners())
        return;
    const QList<SGVolume> vols = projectExclusiveVolumes(project);
    if (vols.isEmpty()) {
        alerts().info(QStringLiteral("Info"), QStringLiteral("No volumes exclusive to this project."));
        return;
    }
    QSet<QString> names;
    for (const auto& volume : vols)
        names.insert(volume.name);
    QList<SGContainer> blockers;
    for (const auto& c : inventory_.containers)
        if (c.project == project
            && std::any_of(c.mounts.begin(), c.mounts.end(), [&](const QString& m) { return names.contains(m); }))
            blockers << c;
    QStringList lines;
    for (const auto& volume : vols)
        lines << QStringLiteral("  • %1 (%2)").arg(printable(volume.name),
                                                   SizeFormat::humanSize(inventory_.volumeSizes.value(volume.name, 0)));
    QString message = QStringLiteral("Remove ") + counted(vols.size(), QStringLiteral("volume"))
                      + QStringLiteral(" exclusive to ") + named(project) + QStringLiteral("?\n\n") + joinLines(lines);
    for (const auto& block :
         blockerBlock(blockers, QStringLiteral("\n\nThese containers use the volumes and will be removed first:\n")))
        message += block;
    message += QStringLiteral("\n\n⚠ Volume data will be permanently deleted.");
    if (alerts().confirm({QStringLiteral("Remove project volumes"), message, {}, removeAction(vols.size(), QStringLiteral("Volume"))})
        && idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" volumes"), blockers, {}, vols);
}

void AppModel::deleteEntireProject(const QString& project)
{
    if (!factsAreFresh())
        return readFreshFactsThen([this, project] { deleteEntireProject(project); });
    const QList<SGContainer> cs = index_.projects.value(project);
    const QList<ImageUnit> imgs = unitsOf(projectExclusiveImages(project, true));
    const QList<SGVolume> vols = projectExclusiveVolumes(project);
    QSet<QString> removedIds;
    for (const auto& image : imgs)
        removedIds.insert(image.id);
    QList<SGImage> keptRows;
    for (const auto& image : index_.projectsMeta.value(project).images)
        if (!removedIds.contains(image.id))
            keptRows << image;
    const QList<ImageUnit> kept = unitsOf(keptRows);

    QStringList lines{QStringLiteral("Project: ") + printable(projectDisplayName(project)), QString()};
    lines << QStringLiteral("Containers to remove (%1):").arg(cs.size());
    for (const auto& c : cs)
        lines << QStringLiteral("  • %1  (%2)").arg(printable(c.name), ContainerStatus::at(c, clock_.now()));
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
        lines << QStringLiteral("  • %1  (%2)").arg(printable(volume.name),
                                                    SizeFormat::humanSize(inventory_.volumeSizes.value(volume.name, 0)));
    if (vols.isEmpty())
        lines << QStringLiteral("  (none)");
    if (!kept.isEmpty()) {
        lines << QString() << QStringLiteral("KEPT (base / shared — not removed):");
        for (const auto& image : kept)
            lines << QStringLiteral("  • ") + shownImageName(image);
    }
    lines << ownersUnknownNote();
    lines << QString() << continueLine(vols);
    if (alerts().confirm({QStringLiteral("Delete entire project"), joinLines(lines), {}, QStringLiteral("Delete Project")})
        && idleAfterConfirmation())
        deleteResources(QStringLiteral("project ") + projectDisplayName(project), cs, imgs, vols);
}

void AppModel::deleteSelectedProjects()
{
    QSet<QString> selection = selectedProjects_;
    selection.remove(QString());
    if (selection.isEmpty())
        return;
    if (!factsAreFresh())
        return readFreshFactsThen([this] { deleteSelectedProjects(); });
    QStringList names = selection.values();
    names.sort();

    QList<SGContainer> cs;
    QList<ImageUnit> imgs;
    QList<SGVolume> vols;
    QList<ProjectLoss> losses;
    QSet<QString> takenImages, takenVolumes;
    const bool ownersKnown = inventory_.usageDataComplete;
    for (const auto& project : names) {
        ProjectLoss loss{project, index_.projects.value(project), {}, {}};
        const ProjectMeta meta = index_.projectsMeta.value(project);
        QList<SGImage> imageRows;
        for (const auto& image : meta.builtImages)
            if (ownersKnown && !takenImages.contains(image.id)
                && exclusiveToSelection(index_.imageOwners.value(image.id), selection)) {
                takenImages.insert(image.id);
                imageRows << image;
            }
        for (const auto& volume : meta.volumes)
            if (ownersKnown && !takenVolumes.contains(volume.name)
                && exclusiveToSelection(index_.volumeOwners.value(volume.name), selection)) {
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
          << QStringLiteral("  • ") + counted(vols.size(), QStringLiteral("volume")) << imageRemovalNote(imgs) << ownersUnknownNote() << QString()
          << QStringLiteral("Images/volumes shared with a project or container NOT in this selection are kept.")
          << continueLine(vols);
    if (!alerts().confirm({QStringLiteral("Delete selected projects"), joinLines(lines),
                           projectLossListing(losses, inventory_.volumeSizes, clock_.now()),
                           QStringLiteral("Delete ") + counted(names.size(), QStringLiteral("Project"))}))
        return;
    setSelectedProjects({});
    setSelectionMode(false);
    if (idleAfterConfirmation())
        deleteResources(counted(names.size(), QStringLiteral("project")), cs, imgs, vols);
}

}  // namespace stowage
