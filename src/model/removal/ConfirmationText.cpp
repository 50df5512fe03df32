#include "model/removal/ConfirmationText.h"

#include "inventory/ContainerStatus.h"
#include "inventory/ProjectIndex.h"
#include "text/CountText.h"
#include "text/PrintableText.h"
#include "text/SizeFormat.h"

namespace stowage {

namespace {

constexpr int listedAnonymousVolumes = 40;

QString volumeLine(const SGVolume& volume, const QHash<QString, qint64>& sizes, const QString& indent)
{
    return indent + printable(volume.name) + QStringLiteral(" (") + SizeFormat::humanSize(sizes.value(volume.name, 0))
           + u')';
}

// What Safe Clean All leaves of the orphans, and where the user removes them deliberately.
QString keptOrphansNote(qsizetype named, qsizetype labelled)
{
    QStringList kinds;
    if (named > 0)
        kinds << QStringLiteral("%1 named").arg(named);
    if (labelled > 0)
        kinds << QStringLiteral("%1 project").arg(labelled);
    if (kinds.isEmpty())
        return {};
    return QStringLiteral("\n\nLeft alone: %1 %2, which may hold data. Check them in the Volumes tab, "
                          "whose \"Remove All Orphans\" button removes them after naming each one.")
        .arg(kinds.join(QStringLiteral(" and ")),
             named + labelled == 1 ? QStringLiteral("orphan volume") : QStringLiteral("orphan volumes"));
}

}  // namespace

QString volumeBucketCount(CleanKinds kinds, qsizetype count)
{
    return counted(count, kinds.testFlag(CleanKind::orphanVolumes) ? QStringLiteral("orphan volume")
                                                                   : QStringLiteral("anonymous orphan volume"));
}

bool cleansVolumes(CleanKinds kinds)
{
    return kinds.testFlag(CleanKind::orphanVolumes) || kinds.testFlag(CleanKind::anonymousOrphanVolumes);
}

QString joinLines(const QStringList& lines) { return lines.join(u'\n'); }

QString removeAction(qint64 count, const QString& singular)
{
    return QStringLiteral("Remove ") + counted(count, singular);
}

QString shownImageName(const ImageUnit& image) { return printable(image.name); }

QString imageLine(const ImageUnit& image, const QString& indent)
{
    return indent + shownImageName(image) + QStringLiteral(" (") + printable(image.size) + u')';
}

QString orphanVolumeListing(const QList<SGVolume>& volumes, const QHash<QString, qint64>& sizes,
                            const QSet<QString>& anonymous)
{
    QStringList lines;
    qsizetype anonymousShown = 0, anonymousLeft = 0;
    for (const SGVolume& volume : volumes) {
        if (anonymous.contains(volume.name) && anonymousShown++ >= listedAnonymousVolumes)
            ++anonymousLeft;
        else
            lines << volumeLine(volume, sizes, QStringLiteral("  "));
    }
    if (anonymousLeft > 0)
        lines << QStringLiteral("  … and ")
                     + counted(anonymousLeft, QStringLiteral("more anonymous volume"), QStringLiteral("more anonymous volumes"));
    return lines.join(u'\n');
}

Confirmation safeCleanConfirmation(const CleanPlan& plan, const QHash<QString, qint64>& sizes,
                                   const QSet<QString>& anonymous)
{
    QString parts;
    QStringList details;
    if (plan.buildCache)
        parts += QStringLiteral("\n  • Build cache: ") + plan.buildCacheReclaimable;
    if (plan.kinds.testFlag(CleanKind::unusedImages)) {
        parts += QStringLiteral("\n  • ") + counted(plan.images.size(), QStringLiteral("unused image"));
        if (!plan.images.isEmpty())
            parts += QStringLiteral(" (frees ") + formatRange(plan.imageBytes) + u')';
        if (!plan.buildLayers.isEmpty())
            parts += QStringLiteral("\n  • ") + counted(plan.buildLayers.size(), QStringLiteral("untagged build layer"))
                     + QStringLiteral(" of those images");
        if (!plan.images.isEmpty()) {
            QStringList lines{QStringLiteral("Unused images:")};
            for (const ImageUnit& image : plan.images)
                lines << imageLine(image);
            details << lines.join(u'\n');
        }
    }
    if (cleansVolumes(plan.kinds)) {
        parts += QStringLiteral("\n  • ") + volumeBucketCount(plan.kinds, plan.volumes.size());
        if (!plan.volumes.isEmpty()) {
            QString heading = volumeBucketCount(plan.kinds, 2).section(u' ', 1);
            heading[0] = heading[0].toUpper();
            details << heading + QStringLiteral(":\n") + orphanVolumeListing(plan.volumes, sizes, anonymous);
        }
        parts += keptOrphansNote(plan.keptNamedOrphans, plan.keptProjectOrphans);
    }
    return {QStringLiteral("Safe Clean All"),
            QStringLiteral("This will safely remove:\n") + parts
                + QStringLiteral("\n\nContainers and their resources will NOT be touched.\n\nContinue?"),
            details.join(QStringLiteral("\n\n")), QStringLiteral("Safe Clean All")};
}

QString projectLossListing(const QList<ProjectLoss>& losses, const QHash<QString, qint64>& sizes,
                           const QDateTime& now)
{
    QStringList blocks;
    for (const ProjectLoss& loss : losses) {
        QStringList lines{printable(projectDisplayName(loss.project))};
        lines << QStringLiteral("  Containers (%1):").arg(loss.containers.size());
        for (const SGContainer& c : loss.containers)
            lines << QStringLiteral("    • %1  (%2)").arg(printable(c.name), printable(ContainerStatus::at(c, now)));
        if (!loss.images.isEmpty())
            lines << QStringLiteral("  Built images (%1):").arg(loss.images.size());
        for (const ImageUnit& image : loss.images)
            lines << imageLine(image, QStringLiteral("    • "));
        if (!loss.volumes.isEmpty())
            lines << QStringLiteral("  Volumes (%1):").arg(loss.volumes.size());
        for (const SGVolume& volume : loss.volumes)
            lines << volumeLine(volume, sizes, QStringLiteral("    • "));
        blocks << lines.join(u'\n');
    }
    return blocks.join(QStringLiteral("\n\n"));
}

}  // namespace stowage
