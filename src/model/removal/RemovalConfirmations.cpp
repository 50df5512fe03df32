#include "model/removal/RemovalConfirmations.h"

#include "inventory/ContainerStatus.h"
#include "inventory/ProjectIndex.h"
#include "text/CountText.h"
#include "text/PrintableText.h"
#include "text/SizeFormat.h"

#include <QCoreApplication>

namespace stowage {

namespace {

// Texts chosen by the caller and marked with QT_TRANSLATE_NOOP("Confirmation", …).
QString translated(const char* text) { return QCoreApplication::translate("Confirmation", text); }

QString volumeSize(const QHash<QString, qint64>& sizes, const SGVolume& volume)
{
    return SizeFormat::humanSize(sizes.value(volume.name, 0));
}

// What removing these images frees and which build layers go with them; nothing for no images.
QStringList imageRemovalNote(qsizetype images, const ImageFreeing& freeing)
{
    if (images == 0)
        return {};
    QStringList lines{QCoreApplication::translate(
                          "Confirmation", "Frees %1 on disk (layers shared with images that stay are not counted).")
                          .arg(formatRange(freeing.freed))};
    if (freeing.buildLayers > 0)
        lines << QCoreApplication::translate("Confirmation", "Also removed: %1 they were built from.")
                     .arg(QCoreApplication::translate("Confirmation", "%n untagged build layer(s)", nullptr,
                                                      int(freeing.buildLayers)));
    return lines;
}

// The selected items that stay, one a line with why, above the dialog's own text.
QString blockedSelection(const QList<BlockedItem>& blocked, const char* line)
{
    if (blocked.isEmpty())
        return {};
    QStringList lines{QCoreApplication::translate("Confirmation", "BLOCKED (in use):")};
    for (const BlockedItem& item : blocked)
        lines << translated(line).arg(printable(item.name), item.reason);
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
QStringList projectQuestion(const char* question, const QString& count, const QString& project)
{
    return {translated(question).arg(count, named(project)), QString()};
}

// The closing line of a teardown: the data warning only when volumes go.
QString continueLine(const QList<SGVolume>& volumes)
{
    return volumes.isEmpty()
               ? QCoreApplication::translate("Confirmation", "Continue?")
               : QCoreApplication::translate("Confirmation", "⚠ Volume data will be permanently deleted. Continue?");
}

// The containers that go first, under `heading`; nothing when there are none.
QString blockerBlock(const QList<SGContainer>& blockers, const char* heading)
{
    if (blockers.isEmpty())
        return {};
    QStringList lines{QString(), QString(), translated(heading)};
    for (const auto& c : blockers)
        lines << QStringLiteral("  • ") + printable(c.name);
    return joinLines(lines);
}

QStringList ownersUnknownNote(const OwnersUnknown& problem)
{
    if (!problem)
        return {};
    return {QString(),
            QCoreApplication::translate(
                "Confirmation",
                "⚠ Usage could not be fully verified, so no image or volume is removed with these containers:"),
            QStringLiteral("  ") + *problem};
}

}  // namespace

Confirmation buildCacheConfirmation()
{
    return {QCoreApplication::translate("Confirmation", "Clear build cache"),
            QCoreApplication::translate("Confirmation", "Clear all Docker build cache?"),
            {},
            QCoreApplication::translate("Confirmation", "Clear Build Cache")};
}

Confirmation unusedImagesConfirmation(const QList<ImageUnit>& images, const ImageFreeing& freeing)
{
    QStringList lines;
    for (const auto& image : images)
        lines << imageLine(image);
    return {
        QCoreApplication::translate("Confirmation", "Remove unused images"),
        QCoreApplication::translate("Confirmation", "Remove %1?")
                .arg(QCoreApplication::translate("Confirmation", "%n unused image(s)", nullptr, int(images.size()))) +
            QStringLiteral("\n\n") + joinLines(imageRemovalNote(images.size(), freeing)),
        joinLines(lines), removeAction(images.size(), RemovedKind::image)};
}

QString nothingSafeSelected(const ImageSelection& selection)
{
    return blockedImages(selection) + QCoreApplication::translate("Confirmation", "No safe images selected.");
}

QString nothingSafeSelected(const VolumeSelection& selection)
{
    return blockedVolumes(selection) + QCoreApplication::translate("Confirmation", "No orphan volumes selected.");
}

Confirmation selectedImagesConfirmation(const ImageSelection& selection)
{
    QStringList lines{QCoreApplication::translate("Confirmation", "Will remove:")};
    for (const auto& image : selection.allowed)
        lines << imageLine(image);
    return {QCoreApplication::translate("Confirmation", "Remove selected images"),
            blockedImages(selection) + joinLines(imageRemovalNote(selection.allowed.size(), selection.freeing)),
            joinLines(lines), removeAction(selection.allowed.size(), RemovedKind::image)};
}

Confirmation selectedVolumesConfirmation(const VolumeSelection& selection)
{
    return {
        QCoreApplication::translate("Confirmation", "Remove selected volumes"),
        blockedVolumes(selection) + QCoreApplication::translate("Confirmation", "⚠ Data will be permanently deleted!"),
        QCoreApplication::translate("Confirmation", "Will remove:") + u'\n' +
            orphanVolumeListing(selection.allowed, selection.sizes, {}),
        removeAction(selection.allowed.size(), RemovedKind::volume)};
}

Confirmation orphanBucketConfirmation(const OrphanBucket& bucket)
{
    qint64 bytes = 0;
    for (const auto& volume : bucket.volumes)
        bytes += bucket.sizes.value(volume.name, 0);
    QStringList caveat;
    if (bucket.anonymousOnly)
        caveat << QCoreApplication::translate("Confirmation",
                                              "These belong to no compose project and are mounted by no container.");
    else
        caveat << QCoreApplication::translate("Confirmation",
                                              "Mounted by no container, and Docker's own dangling filter agrees.");
    if (!bucket.labelled.isEmpty()) {
        qsizetype count = 0;
        QStringList lines;
        for (const auto& project : bucket.labelled) {
            count += project.count;
            lines << QCoreApplication::translate("Confirmation", "  • %1: %2, %3")
                         .arg(printable(project.project),
                              QCoreApplication::translate("Confirmation", "%n volume(s)", nullptr, int(project.count)),
                              SizeFormat::humanSize(project.bytes));
        }
        lines.sort();
        caveat << QCoreApplication::translate(
                      "Confirmation",
                      "⚠ %1 of these carry a compose project label. No container mounts them any more, but this IS "
                      "that project's data — a leftover from an older compose file, or a project whose containers "
                      "were removed:")
                          .arg(count) +
                      u'\n' + joinLines(lines);
    }
    if (!bucket.named.isEmpty()) {
        QStringList lines;
        for (const auto& volume : bucket.named)
            lines << QCoreApplication::translate("Confirmation", "  • %1 (%2)")
                         .arg(printable(volume.name), volumeSize(bucket.sizes, volume));
        caveat << QCoreApplication::translate(
                      "Confirmation",
                      "⚠ %1 of these have a name but no project label. Docker did not make up these names: someone "
                      "chose them, and a named volume often holds data meant to outlive its containers (a database, "
                      "uploads):")
                          .arg(bucket.named.size()) +
                      u'\n' + joinLines(lines);
    }
    caveat << QCoreApplication::translate("Confirmation", "⚠ Data will be permanently deleted!");
    return {
        bucket.anonymousOnly ? QCoreApplication::translate("Confirmation", "Remove anonymous orphan volumes")
                             : QCoreApplication::translate("Confirmation", "Remove orphan volumes"),
        QCoreApplication::translate("Confirmation", "Remove %1 (%2)?")
                .arg(QCoreApplication::translate("Confirmation", "%n volume(s)", nullptr, int(bucket.volumes.size())),
                     SizeFormat::humanSize(bytes)) +
            QStringLiteral("\n\n") + caveat.join(QStringLiteral("\n\n")),
        orphanVolumeListing(bucket.volumes, bucket.sizes, bucket.anonymous),
        removeAction(bucket.volumes.size(), RemovedKind::volume)};
}

Confirmation projectContainersConfirmation(const ProjectContainersPlan& plan)
{
    QStringList lines = projectQuestion(
        QT_TRANSLATE_NOOP("Confirmation", "Remove %1 of %2?"),
        QCoreApplication::translate("Confirmation", "%n container(s)", nullptr, int(plan.containers.size())),
        plan.project);
    for (const auto& c : plan.containers)
        lines << QCoreApplication::translate("Confirmation", "  • %1 (%2)")
                     .arg(printable(c.name), ContainerStatus::at(c, plan.now));
    lines << QString() << QCoreApplication::translate("Confirmation", "Images and volumes are NOT touched.");
    return {QCoreApplication::translate("Confirmation", "Remove containers"), joinLines(lines), {},
            removeAction(plan.containers.size(), RemovedKind::container)};
}

Confirmation projectImagesConfirmation(const ProjectImagesPlan& plan)
{
    QStringList lines = projectQuestion(
        QT_TRANSLATE_NOOP("Confirmation", "Remove %1 exclusive to %2?"),
        QCoreApplication::translate("Confirmation", "%n image(s)", nullptr, int(plan.images.size())), plan.project);
    for (const auto& image : plan.images)
        lines << imageLine(image, QStringLiteral("  • "));
    lines << QString() << imageRemovalNote(plan.images.size(), plan.freeing);
    return {QCoreApplication::translate("Confirmation", "Remove project images"),
            joinLines(lines)
                + blockerBlock(plan.blockers, QT_TRANSLATE_NOOP("Confirmation", "These containers reference the "
                                                                                "images and will be removed first:")),
            {}, removeAction(plan.images.size(), RemovedKind::image)};
}

Confirmation projectVolumesConfirmation(const ProjectVolumesPlan& plan)
{
    QStringList lines = projectQuestion(
        QT_TRANSLATE_NOOP("Confirmation", "Remove %1 exclusive to %2?"),
        QCoreApplication::translate("Confirmation", "%n volume(s)", nullptr, int(plan.volumes.size())), plan.project);
    for (const auto& volume : plan.volumes)
        lines << QCoreApplication::translate("Confirmation", "  • %1 (%2)")
                     .arg(printable(volume.name), volumeSize(plan.sizes, volume));
    return {QCoreApplication::translate("Confirmation", "Remove project volumes"),
            joinLines(lines) +
                blockerBlock(plan.blockers, QT_TRANSLATE_NOOP("Confirmation",
                                                              "These containers use the volumes "
                                                              "and will be removed first:")) +
                QStringLiteral("\n\n") +
                QCoreApplication::translate("Confirmation", "⚠ Volume data will be permanently deleted."),
            {},
            removeAction(plan.volumes.size(), RemovedKind::volume)};
}

Confirmation entireProjectConfirmation(const EntireProjectPlan& plan)
{
    const QString none = QCoreApplication::translate("Confirmation", "  (none)");
    QStringList lines{
        QCoreApplication::translate("Confirmation", "Project: %1").arg(printable(projectDisplayName(plan.project))),
        QString()};
    lines << QCoreApplication::translate("Confirmation", "Containers to remove (%1):").arg(plan.containers.size());
    for (const auto& c : plan.containers)
        lines << QCoreApplication::translate("Confirmation", "  • %1  (%2)")
                     .arg(printable(c.name), ContainerStatus::at(c, plan.now));
    if (plan.containers.isEmpty())
        lines << none;
    lines << QString()
          << QCoreApplication::translate("Confirmation", "Built images to remove (%1):").arg(plan.images.size());
    for (const auto& image : plan.images)
        lines << QCoreApplication::translate("Confirmation", "  • %1  (%2)").arg(shownImageName(image), image.size);
    if (plan.images.isEmpty())
        lines << none;
    for (const QString& note : imageRemovalNote(plan.images.size(), plan.freeing))
        lines << QStringLiteral("  ") + note;
    lines << QString()
          << QCoreApplication::translate("Confirmation", "Volumes to remove (%1):").arg(plan.volumes.size());
    for (const auto& volume : plan.volumes)
        lines << QCoreApplication::translate("Confirmation", "  • %1  (%2)")
                     .arg(printable(volume.name), volumeSize(plan.sizes, volume));
    if (plan.volumes.isEmpty())
        lines << none;
    if (!plan.kept.isEmpty()) {
        lines << QString() << QCoreApplication::translate("Confirmation", "KEPT (base / shared — not removed):");
        for (const auto& image : plan.kept)
            lines << QStringLiteral("  • ") + shownImageName(image);
    }
    lines << ownersUnknownNote(plan.ownersUnknown) << QString() << continueLine(plan.volumes);
    return {QCoreApplication::translate("Confirmation", "Delete entire project"),
            joinLines(lines),
            {},
            QCoreApplication::translate("Confirmation", "Delete Project")};
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
    QStringList lines{
        QCoreApplication::translate("Confirmation", "Delete %1:")
            .arg(QCoreApplication::translate("Confirmation", "%n project(s)", nullptr, int(plan.projects.size()))),
        QString()};
    for (const auto& name : plan.projects)
        lines << QStringLiteral("  • ") + printable(name);
    lines << QString() << QCoreApplication::translate("Confirmation", "Totals to remove:")
          << QStringLiteral("  • ") +
                 QCoreApplication::translate("Confirmation", "%n container(s)", nullptr, int(containers))
          << QStringLiteral("  • ") +
                 QCoreApplication::translate("Confirmation", "%n built image(s)", nullptr, int(images))
          << QStringLiteral("  • ") +
                 QCoreApplication::translate("Confirmation", "%n volume(s)", nullptr, int(volumes.size()))
          << imageRemovalNote(images, plan.freeing) << ownersUnknownNote(plan.ownersUnknown) << QString()
          << QCoreApplication::translate(
                 "Confirmation", "Images/volumes shared with a project or container NOT in this selection are kept.")
          << continueLine(volumes);
    return {QCoreApplication::translate("Confirmation", "Delete selected projects"), joinLines(lines),
            projectLossListing(plan.losses, plan.sizes, plan.now),
            QCoreApplication::translate("Confirmation", "Delete %1")
                .arg(QCoreApplication::translate("Confirmation", "%n Project(s)", nullptr, int(plan.projects.size())))};
}

}  // namespace stowage
