// Project teardown: removing a project's containers, the images and volumes
// only it uses, whole projects, or a selection of projects.

#include "model/removal/Removals.h"

#include "model/AppModel.h"

#include "text/CountText.h"
#include "text/PrintableText.h"

#include <algorithm>

namespace stowage {

namespace {

// The containers of `project` for which `uses` holds: they go first, before
// what they reference can be removed.
template <typename Uses>
QList<SGContainer> projectContainersThat(const QList<SGContainer>& containers, const QString& project, Uses uses)
{
    QList<SGContainer> found;
    for (const auto& c : containers)
        if (c.project == project && uses(c))
            found << c;
    return found;
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
        model_.alerts().info(tr("Info"), tr("No containers in this project."));
        return;
    }
    if (confirm(projectContainersConfirmation({project, list, model_.clock_.now()}))
        && model_.idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" containers"), list, {}, {},
                        tr("%1 containers").arg(projectDisplayName(project)));
}

bool Removals::blockedWithoutOwners()
{
    if (model_.inventory_.usageDataComplete)
        return false;
    model_.alerts().info(tr("Blocked"), tr("Usage could not be fully verified, so no image or volume is called "
                                           "exclusive to this project.\n\n%1\n\nPress Refresh and try again.")
                                            .arg(model_.inventory_.usageDataProblem));
    return true;
}

OwnersUnknown Removals::ownersUnknown() const
{
    if (model_.inventory_.usageDataComplete)
        return std::nullopt;
    return model_.inventory_.usageDataProblem;
}

void Removals::removeProjectImages(const QString& project)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, project] { removeProjectImages(project); });
    if (blockedWithoutOwners())
        return;
    const QList<ImageUnit> images = unitsOf(projectExclusiveImages(project, true));
    if (images.isEmpty()) {
        model_.alerts().info(tr("Info"), tr("No images exclusive to this project."));
        return;
    }
    QSet<QString> ids;
    for (const auto& image : images)
        ids.insert(image.id);
    const QList<SGContainer> blockers = projectContainersThat(
        model_.inventory_.containers, project, [&](const SGContainer& c) { return ids.contains(c.imageID); });
    if (confirm(projectImagesConfirmation({project, images, freeingOf(images), blockers}))
        && model_.idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" images"), blockers, images, {},
                        tr("%1 images").arg(projectDisplayName(project)));
}

void Removals::removeProjectVolumes(const QString& project)
{
    if (!model_.factsAreFresh())
        return model_.readFreshFactsThen([this, project] { removeProjectVolumes(project); });
    if (blockedWithoutOwners())
        return;
    const QList<SGVolume> vols = projectExclusiveVolumes(project);
    if (vols.isEmpty()) {
        model_.alerts().info(tr("Info"), tr("No volumes exclusive to this project."));
        return;
    }
    QSet<QString> names;
    for (const auto& volume : vols)
        names.insert(volume.name);
    const QList<SGContainer> blockers =
        projectContainersThat(model_.inventory_.containers, project, [&](const SGContainer& c) {
            return std::any_of(c.mounts.begin(), c.mounts.end(), [&](const QString& m) { return names.contains(m); });
        });
    if (confirm(
            projectVolumesConfirmation({project, vols, model_.inventory_.volumeSizes, blockers}))
        && model_.idleAfterConfirmation())
        deleteResources(projectDisplayName(project) + QStringLiteral(" volumes"), blockers, {}, vols,
                        tr("%1 volumes").arg(projectDisplayName(project)));
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
    if (confirm(entireProjectConfirmation({project, cs, imgs, freeingOf(imgs), vols,
                                                            model_.inventory_.volumeSizes, unitsOf(keptRows),
                                                            ownersUnknown(), model_.clock_.now()}))
        && model_.idleAfterConfirmation())
        deleteResources(QStringLiteral("project ") + projectDisplayName(project), cs, imgs, vols,
                        tr("project %1").arg(projectDisplayName(project)));
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

    if (!confirm(projectsSelectionConfirmation(
            {names, losses, freeingOf(imgs), model_.inventory_.volumeSizes, ownersUnknown(), model_.clock_.now()})))
        return;
    if (confirmed)
        confirmed();
    if (model_.idleAfterConfirmation())
        deleteResources(counted(names.size(), QStringLiteral("project")), cs, imgs, vols,
                        tr("%n project(s)", nullptr, int(names.size())));
}

}  // namespace stowage
