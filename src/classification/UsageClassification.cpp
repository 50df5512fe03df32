#include "classification/UsageClassification.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>
#include <vector>

namespace stowage {

namespace {

const QString kNone = QStringLiteral("<none>");
const QString kRunning = QStringLiteral("running");
const QString kNoProject = QStringLiteral("—");

// Looked up at each use: the catalogue of the user's language is installed after start.
QString notUsedText()
{
    return QCoreApplication::translate("UsageClassification", "Not used by any container");
}

// Named owners (in the list's ascending order) joined; none when there is no named owner.
std::optional<ProjectText> namedOwnersText(const OwnerList& owners)
{
    // The standalone containers' "" sorts first.
    const qsizetype named = owners.size() - (owners.value(0).isEmpty() && !owners.isEmpty() ? 1 : 0);
    if (named == 0)
        return std::nullopt;
    // Most volumes and images have one owner: answer without joining.
    if (named == 1)
        return ProjectText{owners.constLast(), false};
    return ProjectText{owners.mid(owners.size() - named).join(QStringLiteral(", ")), true};
}

}  // namespace

UsageClassification::UsageClassification(const Inventory& inventory, const ProjectIndex& index)
    : inventory_(inventory), index_(index)
{
}

ImageStatus UsageClassification::imageStatus(const SGImage& image) const
{
    if (!inventory_.usageDataComplete)
        return {false, QCoreApplication::translate("UsageClassification", "Unknown — refresh needed")};
    if (inventory_.usedImageIDs.contains(image.id))
        return {false, QCoreApplication::translate("UsageClassification", "Used by container")};
    const ImageGraph& graph = index_.imageGraph;
    if (graph.hasChildren(image.id)) {
        // The tagged images at the end of the chain; a chain of untagged images names none.
        const QStringList builtOn = graph.imagesBuiltOn(image.id);
        const QString names = builtOn.isEmpty() ? QCoreApplication::translate("UsageClassification", "untagged images")
                                                : builtOn.join(QStringLiteral(", "));
        return {false, (graph.isIntermediate(image.id)
                            ? QCoreApplication::translate("UsageClassification", "Build layer of %1")
                            : QCoreApplication::translate("UsageClassification", "Base of %1"))
                           .arg(names)};
    }
    // Without the build parents an untagged image may be a build layer, which goes only with its image.
    if (image.repository == kNone)
        return graph.known()
                   ? ImageStatus{true, QCoreApplication::translate("UsageClassification", "Dangling image")}
                   : ImageStatus{false, QCoreApplication::translate("UsageClassification", "Untagged — not verified")};
    if (graph.pulledFromRegistry(image.id).value_or(false))
        return {true, pulledStatusText()};
    return {true, notUsedText()};
}

bool UsageClassification::keptAsBaseImage(const SGImage& image) const
{
    // The engine's digests say where an image came from; the name says it
    // only when they were not read.
    if (const auto pulled = index_.imageGraph.pulledFromRegistry(image.id))
        return *pulled;
    return image.repository != kNone && !Classify::looksLocallyBuilt(image.repository);
}

QString UsageClassification::imageStatusText(const SGImage& image) const
{
    const ImageStatus status = imageStatus(image);
    if (inventory_.usageDataComplete && imageProjectText(image).shared)
        return QCoreApplication::translate("UsageClassification", "Shared — keep");
    if (!status.safe || status.reason != notUsedText() || !keptAsBaseImage(image))
        return status.reason;
    return baseImageStatusText();
}

QString UsageClassification::baseImageStatusText()
{
    return QCoreApplication::translate("UsageClassification", "Base image — not offered for bulk removal");
}

QString UsageClassification::pulledStatusText()
{
    return QCoreApplication::translate("UsageClassification", "Pulled from a registry — kept");
}

QHash<QString, QString> UsageClassification::keptImageReasons() const
{
    // An image goes with all its names, so the name that keeps it speaks for it:
    // one that looks pulled, else (used, unknown) any of them.
    QHash<QString, QString> reasons;
    for (const SGImage& row : inventory_.images) {
        const QString text = imageStatusText(row);
        auto slot = reasons.find(row.id);
        if (slot == reasons.end())
            reasons.insert(row.id, text);
        else if (*slot == notUsedText())
            *slot = text;
    }
    return reasons;
}

QList<SGImage> UsageClassification::unusedImages() const
{
    QList<SGImage> result;
    if (!inventory_.usageDataComplete)
        return result;
    // Removing an image removes all its names: one that keeps it (a base
    // image) keeps the whole image out of the bulk removal. An image another
    // image was built on is refused by docker while that image exists. An
    // untagged image goes only when the build parents show it is dangling.
    const ImageGraph& graph = index_.imageGraph;
    QSet<QString> kept = inventory_.usedImageIDs;
    for (const SGImage& image : inventory_.images) {
        const bool untaggedKept = image.repository == kNone && !graph.isDangling(image.id);
        if (untaggedKept || keptAsBaseImage(image) || graph.hasChildren(image.id))
            kept.insert(image.id);
    }
    for (const SGImage& image : inventory_.images) {
        if (!kept.contains(image.id))
            result.append(image);
    }
    return result;
}

QList<ImageUnit> UsageClassification::unusedImageUnits() const
{
    return imageUnits(unusedImages(), inventory_.images);
}

ProjectText UsageClassification::imageProjectText(const SGImage& image) const
{
    if (auto owners = namedOwnersText(index_.imageOwners.value(image.id)))
        return *owners;
    if (const auto project = firstProjectBuilding(image.repository))
        return {QCoreApplication::translate("UsageClassification", "%1 (unused)").arg(*project), false};
    return {kNoProject, false};
}

// The alphabetically first project P for which isBuiltImage(repository, P)
// holds. Such a P, lower-cased, is a prefix of the lower-cased repository that
// ends just before a "-" or "_", so only those prefixes are looked up instead
// of testing every project.
std::optional<QString> UsageClassification::firstProjectBuilding(const QString& repository) const
{
    if (repository.isEmpty() || repository == kNone || repository.contains(u'/'))
        return std::nullopt;
    if (!projectsByLowerName_) {
        QHash<QString, QStringList> byLower;
        for (auto it = index_.projects.cbegin(); it != index_.projects.cend(); ++it) {
            if (!it.key().isEmpty())
                byLower[it.key().toLower()].append(it.key());
        }
        for (QStringList& names : byLower)
            std::sort(names.begin(), names.end());
        projectsByLowerName_ = std::move(byLower);
    }

    const QString lower = repository.toLower();
    std::optional<QString> first;
    for (qsizetype i = 1; i + 1 < lower.size(); ++i) {
        if (lower.at(i) != u'-' && lower.at(i) != u'_')
            continue;
        const auto names = projectsByLowerName_->constFind(lower.left(i));
        if (names == projectsByLowerName_->cend())
            continue;
        for (const QString& name : *names) {
            if (Classify::isBuiltImage(repository, name)) {
                if (!first || name < *first)
                    first = name;
                break;
            }
        }
    }
    return first;
}

Classify::VolumeUsage UsageClassification::volumeUsage(const SGVolume& volume) const
{
    if (index_.containerVolumeNames.contains(volume.name))
        return Classify::VolumeUsage::inUse;
    if (!inventory_.usageDataComplete)
        return Classify::VolumeUsage::unknown;
    // Without the engine's own dangling list nothing confirms the mount evidence.
    if (!inventory_.danglingKnown)
        return Classify::VolumeUsage::unknown;
    if (!inventory_.danglingVolumeNames.contains(volume.name))
        return Classify::VolumeUsage::disputed;
    if (!volume.project.isEmpty())
        return Classify::VolumeUsage::orphanLabeled;
    if (!isAnonymous(volume))
        return Classify::VolumeUsage::orphanNamed;
    return Classify::VolumeUsage::orphanAnonymous;
}

bool UsageClassification::isAnonymous(const SGVolume& volume) const
{
    return Classify::isAnonymousVolume(volume.name, volume.labels, engineLabelsAnonymous());
}

// Whether the engine labels the volumes it creates without a name. Its version
// is not among the facts a listing or the state cache carries, but its labels
// are: an engine that labels them has labelled every anonymous volume it made,
// so one such label in the listing tells. An engine that labels them but has
// made none yet is judged as an older one, by name and the absence of labels.
bool UsageClassification::engineLabelsAnonymous() const
{
    if (!engineLabelsAnonymous_)
        engineLabelsAnonymous_ =
            std::any_of(inventory_.volumes.cbegin(), inventory_.volumes.cend(), [](const SGVolume& volume) {
                return Classify::hasLabel(volume.labels, QLatin1String(EngineLabel::anonymousVolume));
            });
    return *engineLabelsAnonymous_;
}

QList<SGVolume> UsageClassification::orphanVolumes() const
{
    QList<SGVolume> orphans;
    if (!inventory_.usageDataComplete)
        return orphans;
    for (const SGVolume& volume : inventory_.volumes) {
        if (Classify::isOrphan(volumeUsage(volume)))
            orphans.append(volume);
    }
    return largestFirst(std::move(orphans));
}

QList<SGVolume> UsageClassification::anonymousOrphanVolumes() const
{
    if (!inventory_.usageDataComplete)
        return {};
    return volumesMatching(Classify::VolumeUsage::orphanAnonymous);
}

QList<SGVolume> UsageClassification::volumesMatching(Classify::VolumeUsage usage) const
{
    QList<SGVolume> matching;
    for (const SGVolume& volume : inventory_.volumes) {
        if (volumeUsage(volume) == usage)
            matching.append(volume);
    }
    return largestFirst(std::move(matching));
}

QList<VolumeGroup> UsageClassification::volumesByProject() const
{
    QList<VolumeGroup> groups;
    QHash<QString, qsizetype> groupOf;
    for (const SGVolume& volume : inventory_.volumes) {
        if (volumeUsage(volume) != Classify::VolumeUsage::inUse)
            continue;
        // The first named owner: "" (standalone containers) sorts before every name.
        const OwnerList owners = index_.volumeOwners.value(volume.name);
        const QString key = owners.value(owners.value(0).isEmpty() ? 1 : 0);
        auto slot = groupOf.constFind(key);
        if (slot == groupOf.cend()) {
            slot = groupOf.insert(key, groups.size());
            groups.append({key, false, {}, 0});
        }
        groups[*slot].volumes.append(volume);
    }
    for (VolumeGroup& group : groups) {
        const QList<SGContainer> members = index_.projects.value(group.project);
        group.running = std::any_of(members.cbegin(), members.cend(),
                                    [](const SGContainer& c) { return c.state == kRunning; });
        group.volumes = largestFirst(std::move(group.volumes));
        group.bytes = totalBytes(group.volumes);
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const VolumeGroup& a, const VolumeGroup& b) { return a.bytes > b.bytes; });
    return groups;
}

QString UsageClassification::volumeStatusText(const SGVolume& volume) const
{
    switch (volumeUsage(volume)) {
    case Classify::VolumeUsage::inUse: {
        const qsizetype count = index_.volumeMounters.value(volume.name).size();
        const bool running = index_.runningVolumeNames.contains(volume.name);
        return running ? QCoreApplication::translate("UsageClassification", "In use — %n container(s) (running)",
                                                     nullptr, int(count))
                       : QCoreApplication::translate("UsageClassification", "In use — %n container(s) (stopped)",
                                                     nullptr, int(count));
    }
    case Classify::VolumeUsage::orphanLabeled:
        return QCoreApplication::translate("UsageClassification", "Orphan — labelled, mounted by nothing");
    case Classify::VolumeUsage::orphanNamed:
        return QCoreApplication::translate("UsageClassification", "Orphan — named, mounted by nothing");
    case Classify::VolumeUsage::orphanAnonymous:
        return QCoreApplication::translate("UsageClassification", "Orphan — anonymous");
    case Classify::VolumeUsage::disputed:
        return QCoreApplication::translate("UsageClassification", "Docker says in use — keep");
    case Classify::VolumeUsage::unknown:
        return QCoreApplication::translate("UsageClassification", "Unknown — refresh needed");
    }
    return {};
}

ProjectText UsageClassification::volumeProjectText(const SGVolume& volume) const
{
    return namedOwnersText(index_.volumeOwners.value(volume.name)).value_or(ProjectText{kNoProject, false});
}

qint64 UsageClassification::totalBytes(const QList<SGVolume>& volumes) const
{
    qint64 total = 0;
    for (const SGVolume& volume : volumes)
        total += sizeOf(volume);
    return total;
}

ByteRange UsageClassification::unusedImageBytes() const
{
    return freedBy(unusedImageUnits());
}

QStringList UsageClassification::parentsGoingWith(const QList<ImageUnit>& images) const
{
    QStringList ids;
    for (const ImageUnit& image : images)
        ids.append(image.id);
    return index_.imageGraph.parentsGoingWith(ids, inventory_.usedImageIDs);
}

ByteRange UsageClassification::freedBy(const QList<ImageUnit>& images) const
{
    QSet<QString> going;
    for (const ImageUnit& image : images)
        going.insert(image.id);
    for (const QString& parent : parentsGoingWith(images))
        going.insert(parent);
    return index_.imageGraph.freedBy(going);
}

qint64 UsageClassification::imageDiskBytes() const
{
    if (inventory_.engineImages.known)
        return inventory_.engineImages.sizeBytes;
    QSet<QString> all;
    for (const SGImage& image : inventory_.images)
        all.insert(image.id);
    return index_.imageGraph.freedBy(all).high;
}

int UsageClassification::imageCount() const
{
    return inventory_.engineImages.known ? inventory_.engineImages.count : index_.imageGraph.topLevelCount();
}

qint64 UsageClassification::orphanVolumeBytes() const
{
    return totalBytes(orphanVolumes());
}

qint64 UsageClassification::sizeOf(const SGVolume& volume) const
{
    return inventory_.volumeSizes.value(volume.name, 0);
}

// Stable sort by volumeSizes, descending; each size is looked up once.
QList<SGVolume> UsageClassification::largestFirst(QList<SGVolume> volumes) const
{
    std::vector<std::pair<qint64, qsizetype>> order;
    order.reserve(volumes.size());
    for (qsizetype i = 0; i < volumes.size(); ++i)
        order.emplace_back(sizeOf(volumes.at(i)), i);
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

    QList<SGVolume> sorted;
    sorted.reserve(volumes.size());
    for (const auto& [size, i] : order)
        sorted.append(std::move(volumes[i]));
    return sorted;
}

}  // namespace stowage
