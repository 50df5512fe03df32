#include "model/removal/ConfirmationText.h"

#include "inventory/ContainerStatus.h"
#include "inventory/ProjectIndex.h"
#include "text/PrintableText.h"
#include "text/SizeFormat.h"

#include <QCoreApplication>

namespace stowage {

namespace {

constexpr int listedAnonymousVolumes = 40;

// The confirmations' words, in the user's language.
struct Shown {
    Q_DECLARE_TR_FUNCTIONS(Confirmation)
};

QString volumeLine(const SGVolume& volume, const QHash<QString, qint64>& sizes, const QString& indent)
{
    return indent + printable(volume.name) + QStringLiteral(" (") + SizeFormat::humanSize(sizes.value(volume.name, 0))
           + u')';
}

// What Safe Clean All leaves of the orphans, and where the user removes them deliberately.
QString keptOrphansNote(qsizetype named, qsizetype labelled)
{
    if (named == 0 && labelled == 0)
        return {};
    const QString kept = labelled == 0 ? Shown::tr("%n named orphan volume(s)", nullptr, int(named))
                         : named == 0  ? Shown::tr("%n project orphan volume(s)", nullptr, int(labelled))
                                       : Shown::tr("%1 named and %2 project orphan volumes")
                                            .arg(QString::number(named), QString::number(labelled));
    return QStringLiteral("\n\n")
           + Shown::tr("Left alone: %1, which may hold data. Check them in the Volumes tab, "
                       "whose \"Remove All Orphans\" button removes them after naming each one.")
                 .arg(kept);
}

}  // namespace

QString volumeBucketCount(CleanKinds kinds, qsizetype count)
{
    return kinds.testFlag(CleanKind::orphanVolumes) ? Shown::tr("%n orphan volume(s)", nullptr, int(count))
                                                    : Shown::tr("%n anonymous orphan volume(s)", nullptr, int(count));
}

bool cleansVolumes(CleanKinds kinds)
{
    return kinds.testFlag(CleanKind::orphanVolumes) || kinds.testFlag(CleanKind::anonymousOrphanVolumes);
}

QString joinLines(const QStringList& lines) { return lines.join(u'\n'); }

QString removeAction(qint64 count, RemovedKind kind)
{
    switch (kind) {
    case RemovedKind::container: return Shown::tr("Remove %n Container(s)", nullptr, int(count));
    case RemovedKind::image: return Shown::tr("Remove %n Image(s)", nullptr, int(count));
    case RemovedKind::volume: return Shown::tr("Remove %n Volume(s)", nullptr, int(count));
    }
    return {};
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
        lines << Shown::tr("  … and %n more anonymous volume(s)", nullptr, int(anonymousLeft));
    return lines.join(u'\n');
}

Confirmation safeCleanConfirmation(const CleanPlan& plan, const QHash<QString, qint64>& sizes,
                                   const QSet<QString>& anonymous)
{
    QString parts;
    QStringList details;
    if (plan.buildCache)
        parts += QStringLiteral("\n  • ") + Shown::tr("Build cache: %1").arg(plan.buildCacheReclaimable);
    if (plan.kinds.testFlag(CleanKind::unusedImages)) {
        parts += QStringLiteral("\n  • ") + Shown::tr("%n unused image(s)", nullptr, int(plan.images.size()));
        if (!plan.images.isEmpty())
            parts += Shown::tr(" (frees %1)").arg(formatRange(plan.imageBytes));
        if (!plan.buildLayers.isEmpty())
            parts += QStringLiteral("\n  • ")
                     + Shown::tr("%n untagged build layer(s) of those images", nullptr, int(plan.buildLayers.size()));
        if (!plan.images.isEmpty()) {
            QStringList lines{Shown::tr("Unused images:")};
            for (const ImageUnit& image : plan.images)
                lines << imageLine(image);
            details << lines.join(u'\n');
        }
    }
    if (cleansVolumes(plan.kinds)) {
        parts += QStringLiteral("\n  • ") + volumeBucketCount(plan.kinds, plan.volumes.size());
        if (!plan.volumes.isEmpty())
            details << (plan.kinds.testFlag(CleanKind::orphanVolumes) ? Shown::tr("Orphan volumes:")
                                                                      : Shown::tr("Anonymous orphan volumes:"))
                           + u'\n' + orphanVolumeListing(plan.volumes, sizes, anonymous);
        parts += keptOrphansNote(plan.keptNamedOrphans, plan.keptProjectOrphans);
    }
    return {Shown::tr("Safe Clean All"),
            Shown::tr("This will safely remove:\n%1\n\nContainers and their resources will NOT be touched."
                      "\n\nContinue?")
                .arg(parts),
            details.join(QStringLiteral("\n\n")), Shown::tr("Safe Clean All")};
}

QString projectLossListing(const QList<ProjectLoss>& losses, const QHash<QString, qint64>& sizes,
                           const QDateTime& now)
{
    QStringList blocks;
    for (const ProjectLoss& loss : losses) {
        QStringList lines{printable(projectDisplayName(loss.project))};
        lines << Shown::tr("  Containers (%1):").arg(loss.containers.size());
        for (const SGContainer& c : loss.containers)
            lines << QStringLiteral("    • %1  (%2)").arg(printable(c.name), printable(ContainerStatus::at(c, now)));
        if (!loss.images.isEmpty())
            lines << Shown::tr("  Built images (%1):").arg(loss.images.size());
        for (const ImageUnit& image : loss.images)
            lines << imageLine(image, QStringLiteral("    • "));
        if (!loss.volumes.isEmpty())
            lines << Shown::tr("  Volumes (%1):").arg(loss.volumes.size());
        for (const SGVolume& volume : loss.volumes)
            lines << volumeLine(volume, sizes, QStringLiteral("    • "));
        blocks << lines.join(u'\n');
    }
    return blocks.join(QStringLiteral("\n\n"));
}

}  // namespace stowage
