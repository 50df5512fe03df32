#include "model/removal/RemovalConfirmations.h"

#include "inventory/ContainerStatus.h"
#include "inventory/ProjectIndex.h"
#include "text/CountText.h"
#include "text/PrintableText.h"
#include "text/SizeFormat.h"

#include <QCoreApplication>

namespace stowage {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Confirmation", text); }

QString volumeSize(const QHash<QString, qint64>& sizes, const SGVolume& volume)
{
    return SizeFormat::humanSize(sizes.value(volume.name, 0));
}

// What removing these images frees and which build layers go with them; nothing for no images.
QStringList imageRemovalNote(qsizetype images, const ImageFreeing& freeing)
{
    if (images == 0)
        return {};
    QStringList lines{tr("Frees %1 on disk (layers shared with images that stay are not counted).")
                          .arg(formatRange(freeing.freed))};
    if (freeing.buildLayers > 0)
        lines << tr("Also removed: %1 they were built from.")
                     .arg(counted(freeing.buildLayers, QStringLiteral("untagged build layer")));
    return lines;
}

// The selected items that stay, one a line with why, above the dialog's own text.
QString blockedSelection(const QList<BlockedItem>& blocked, const char* line)
{
    if (blocked.isEmpty())
        return {};
    QStringList lines{tr("BLOCKED (in use):")};
    for (const BlockedItem& item : blocked)
        lines << tr(line).arg(printable(item.name), item.reason);
    return joinLines(lines) + QStringLiteral("\n\n");
}

QString blockedImages(const ImageSelection& selection)
{
    return blockedSelection(selection.blocked, QT_TRANSLATE_NOOP("Confirmation", "  %1 (%2)"));
}

QString blockedVolumes(const VolumeSelection& selection)
{
    return blockedSelection(selection.blocked, QT_TRANSLATE_NOOP("Confirmation", "  %1 — %2"));
}

// A project inside a sentence: quoted by name, or the standalone group by its label.
QString named(const QString& project)
{
    return project.isEmpty() ? projectDisplayName(project) : QLatin1Char('\'') + printable(project) + QLatin1Char('\'');
}

// A teardown's question about `count` of `noun` in `project`, and the blank line under it.
QStringList projectQuestion(const char* question, qsizetype count, const QString& noun, const QString& project)
{
    return {tr(question).arg(counted(count, noun), named(project)), QString()};
}

// The closing line of a teardown: the data warning only when volumes go.
QString continueLine(const QList<SGVolume>& volumes)
{
    return volumes.isEmpty() ? tr("Continue?") : tr("⚠ Volume data will be permanently deleted. Continue?");
}

// The containers that go first, under `heading`; nothing when there are none.
QString blockerBlock(const QList<SGContainer>& blockers, const char* heading)
{
    if (blockers.isEmpty())
        return {};
    QStringList lines{QString(), QString(), tr(heading)};
    for (const auto& c : blockers)
        lines << QStringLiteral("  • ") + printable(c.name);
    return joinLines(lines);
}

QStringList ownersUnknownNote(const OwnersUnknown& problem)
{
    if (!problem)
        return {};
    return {QString(), tr("⚠ Usage could not be fully verified, so no image or volume is removed with these containers:"),
            QStringLiteral("  ") + *problem};
}

}  // namespace

Confirmation buildCacheConfirmation()
{
    return {tr("Clear build cache"), tr("Clear all Docker build cache?"), {}, tr("Clear Build Cache")};
}

Confirmation unusedImagesConfirmation(const QList<ImageUnit>& images, const ImageFreeing& freeing)
{
    QStringList lines;
    for (const auto& image : images)
        lines << imageLine(image);
    return {tr("Remove unused images"),
            tr("Remove %1?").arg(counted(images.size(), QStringLiteral("unused image"))) + QStringLiteral("\n\n")
                + joinLines(imageRemovalNote(images.size(), freeing)),
            joinLines(lines), removeAction(images.size(), QStringLiteral("Image"))};
}

QString nothingSafeSelected(const ImageSelection& selection)
{
    return blockedImages(selection) + tr("No safe images selected.");
}

QString nothingSafeSelected(const VolumeSelection& selection)
{
    return blockedVolumes(selection) + tr("No orphan volumes selected.");
}

Confirmation selectedImagesConfirmation(const ImageSelection& selection)
{
    QStringList lines{tr("Will remove:")};
    for (const auto& image : selection.allowed)
        lines << imageLine(image);
    return {tr("Remove selected images"),
            blockedImages(selection) + joinLines(imageRemovalNote(selection.allowed.size(), selection.freeing)),
            joinLines(lines), removeAction(selection.allowed.size(), QStringLiteral("Image"))};
}

Confirmation selectedVolumesConfirmation(const VolumeSelection& selection)
{
    return {tr("Remove selected volumes"), blockedVolumes(selection) + tr("⚠ Data will be permanently deleted!"),
            tr("Will remove:") + u'\n' + orphanVolumeListing(selection.allowed, selection.sizes, {}),
            removeAction(selection.allowed.size(), QStringLiteral("Volume"))};
}

Confirmation orphanBucketConfirmation(const OrphanBucket& bucket)
{
    qint64 bytes = 0;
    for (const auto& volume : bucket.volumes)
        bytes += bucket.sizes.value(volume.name, 0);
    QStringList caveat;
    if (bucket.anonymousOnly)
        caveat << tr("These belong to no compose project and are mounted by no container.");
    else
        caveat << tr("Mounted by no container, and Docker's own dangling filter agrees.");
    if (!bucket.labelled.isEmpty()) {
        qsizetype count = 0;
        QStringList lines;
        for (const auto& project : bucket.labelled) {
            count += project.count;
            lines << tr("  • %1: %2, %3")
                         .arg(printable(project.project), counted(project.count, QStringLiteral("volume")),
                              SizeFormat::humanSize(project.bytes));
        }
        lines.sort();
        caveat << tr("⚠ %1 of these carry a compose project label. No container mounts them any more, but this IS "
                     "that project's data — a leftover from an older compose file, or a project whose containers "
                     "were removed:")
                          .arg(count)
                      + u'\n' + joinLines(lines);
    }
    if (!bucket.named.isEmpty()) {
        QStringList lines;
        for (const auto& volume : bucket.named)
            lines << tr("  • %1 (%2)").arg(printable(volume.name), volumeSize(bucket.sizes, volume));
        caveat << tr("⚠ %1 of these have a name but no project label. Docker did not make up these names: someone "
                     "chose them, and a named volume often holds data meant to outlive its containers (a database, "
                     "uploads):")
                          .arg(bucket.named.size())
                      + u'\n' + joinLines(lines);
    }
    caveat << tr("⚠ Data will be permanently deleted!");
    return {bucket.anonymousOnly ? tr("Remove anonymous orphan volumes") : tr("Remove orphan volumes"),
            tr("Remove %1 (%2)?").arg(counted(bucket.volumes.size(), QStringLiteral("volume")),
                                      SizeFormat::humanSize(bytes))
                + QStringLiteral("\n\n") + caveat.join(QStringLiteral("\n\n")),
            orphanVolumeListing(bucket.volumes, bucket.sizes, bucket.anonymous),
            removeAction(bucket.volumes.size(), QStringLiteral("Volume"))};
}

Confirmation projectContainersConfirmation(const ProjectContainersPlan& plan)
{
    QStringList lines =
        projectQuestion(QT_TRANSLATE_NOOP("Confirmation", "Remove %1 of %2?"), plan.containers.size(),
                        QStringLiteral("container"), plan.project);
    for (const auto& c : plan.containers)
        lines << tr("  • %1 (%2)").arg(printable(c.name), ContainerStatus::at(c, plan.now));
    lines << QString() << tr("Images and volumes are NOT touched.");
    return {tr("Remove containers"), joinLines(lines), {},
            removeAction(plan.containers.size(), QStringLiteral("Container"))};
}

Confirmation projectImagesConfirmation(const ProjectImagesPlan& plan)
{
    QStringList lines =
        projectQuestion(QT_TRANSLATE_NOOP("Confirmation", "Remove %1 exclusive to %2?"), plan.images.size(),
                        QStringLiteral("image"), plan.project);
    for (const auto& image : plan.images)
        lines << imageLine(image, QStringLiteral("  • "));
    lines << QString() << imageRemovalNote(plan.images.size(), plan.freeing);
    return {tr("Remove project images"),
            joinLines(lines)
                + blockerBlock(plan.blockers, QT_TRANSLATE_NOOP("Confirmation", "These containers reference the "
                                                                                "images and will be removed first:")),
            {}, removeAction(plan.images.size(), QStringLiteral("Image"))};
}

Confirmation projectVolumesConfirmation(const ProjectVolumesPlan& plan)
{
    QStringList lines =
        projectQuestion(QT_TRANSLATE_NOOP("Confirmation", "Remove %1 exclusive to %2?"), plan.volumes.size(),
                        QStringLiteral("volume"), plan.project);
    for (const auto& volume : plan.volumes)
        lines << tr("  • %1 (%2)").arg(printable(volume.name), volumeSize(plan.sizes, volume));
    return {tr("Remove project volumes"),
            joinLines(lines)
                + blockerBlock(plan.blockers, QT_TRANSLATE_NOOP("Confirmation", "These containers use the volumes "
                                                                                "and will be removed first:"))
                + QStringLiteral("\n\n") + tr("⚠ Volume data will be permanently deleted."),
            {}, removeAction(plan.volumes.size(), QStringLiteral("Volume"))};
}

Confirmation entireProjectConfirmation(const EntireProjectPlan& plan)
{
    const QString none = tr("  (none)");
    QStringList lines{tr("Project: %1").arg(printable(projectDisplayName(plan.project))), QString()};
    lines << tr("Containers to remove (%1):").arg(plan.containers.size());
    for (const auto& c : plan.containers)
        lines << tr("  • %1  (%2)").arg(printable(c.name), ContainerStatus::at(c, plan.now));
    if (plan.containers.isEmpty())
        lines << none;
    lines << QString() << tr("Built images to remove (%1):").arg(plan.images.size());
    for (const auto& image : plan.images)
        lines << tr("  • %1  (%2)").arg(shownImageName(image), image.size);
    if (plan.images.isEmpty())
        lines << none;
    for (const QString& note : imageRemovalNote(plan.images.size(), plan.freeing))
        lines << QStringLiteral("  ") + note;
    lines << QString() << tr("Volumes to remove (%1):").arg(plan.volumes.size());
    for (const auto& volume : plan.volumes)
        lines << tr("  • %1  (%2)").arg(printable(volume.name), volumeSize(plan.sizes, volume));
    if (plan.volumes.isEmpty())
        lines << none;
    if (!plan.kept.isEmpty()) {
        lines << QString() << tr("KEPT (base / shared — not removed):");
        for (const auto& image : plan.kept)
            lines << QStringLiteral("  • ") + shownImageName(image);
    }
    lines << ownersUnknownNote(plan.ownersUnknown) << QString() << continueLine(plan.volumes);
    return {tr("Delete entire project"), joinLines(lines), {}, tr("Delete Project")};
}

Confirmation projectsSelectionConfirmation(const ProjectsSelectionPlan& plan)
{
    qsizetype containers = 0, images = 0;
    QList<SGVolume> volumes;
    for (const auto& loss : plan.losses) {
        containers += loss.containers.size();
        images += loss.images.size();
        volumes += loss.volumes;
    }
    QStringList lines{tr("Delete %1:").arg(counted(plan.projects.size(), QStringLiteral("project"))), QString()};
    for (const auto& name : plan.projects)
        lines << QStringLiteral("  • ") + printable(name);
    lines << QString() << tr("Totals to remove:")
          << QStringLiteral("  • ") + counted(containers, QStringLiteral("container"))
          << QStringLiteral("  • ") + counted(images, QStringLiteral("built image"))
          << QStringLiteral("  • ") + counted(volumes.size(), QStringLiteral("volume"))
          << imageRemovalNote(images, plan.freeing) << ownersUnknownNote(plan.ownersUnknown) << QString()
          << tr("Images/volumes shared with a project or container NOT in this selection are kept.")
          << continueLine(volumes);
    return {tr("Delete selected projects"), joinLines(lines), projectLossListing(plan.losses, plan.sizes, plan.now),
            tr("Delete %1").arg(counted(plan.projects.size(), QStringLiteral("Project")))};
}

}  // namespace stowage
