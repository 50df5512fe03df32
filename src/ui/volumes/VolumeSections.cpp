#include "ui/volumes/VolumeSections.h"

#include "model/AppModel.h"
#include "text/CountText.h"
#include "text/SizeFormat.h"
#include "ui/style/Theme.h"

namespace stowage {

namespace {

using Usage = Classify::VolumeUsage;

const QString dot = QStringLiteral("  ·  ");

QList<SGVolume> passing(const QList<SGVolume>& volumes, const QString& search)
{
    if (search.isEmpty())
        return volumes;
    QList<SGVolume> out;
    for (const SGVolume& v : volumes)
        if (matchesVolumeSearch(v, search))
            out.append(v);
    return out;
}

QString countOf(qsizetype n, const char* noun)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(noun) + (n == 1 ? QString() : QStringLiteral("s"));
}

}  // namespace

QString label(VolumeFilter filter)
{
    switch (filter) {
    case VolumeFilter::all: return QStringLiteral("All");
    case VolumeFilter::inUse: return QStringLiteral("In use by projects");
    case VolumeFilter::orphans: return QStringLiteral("Orphans");
    }
    return {};
}

QColor usageColor(Classify::VolumeUsage usage)
{
    switch (usage) {
    case Usage::inUse: return Theme::success();
    case Usage::orphanLabeled:
    case Usage::orphanNamed: return Theme::warning();
    case Usage::orphanAnonymous: return Theme::danger();
    case Usage::disputed: return Theme::cyan();
    case Usage::unknown: return Theme::textDim();
    }
    return Theme::textDim();
}

QString usageMeaning(Classify::VolumeUsage usage)
{
    switch (usage) {
    case Usage::inUse: return QStringLiteral("In use — keep");
    case Usage::orphanLabeled:
    case Usage::orphanNamed: return QStringLiteral("Orphan, had a project or a name");
    case Usage::orphanAnonymous: return QStringLiteral("Orphan, anonymous");
    case Usage::disputed: return QStringLiteral("Conflicting signals");
    case Usage::unknown: return QStringLiteral("Usage not verified");
    }
    return QStringLiteral("Usage not verified");
}

QString usageMark(Classify::VolumeUsage usage)
{
    switch (usage) {
    case Usage::inUse: return QStringLiteral("✓");
    case Usage::orphanLabeled:
    case Usage::orphanNamed: return QStringLiteral("!");
    case Usage::orphanAnonymous: return QStringLiteral("✕");
    case Usage::disputed:
    case Usage::unknown: return QStringLiteral("?");
    }
    return QStringLiteral("?");
}

QString volumeProjectCell(const ProjectText& owners, const SGVolume& volume)
{
    if (owners.text == QStringLiteral("—") && !volume.project.isEmpty())
        return volume.project + QStringLiteral(" (label only)");
    return owners.text;
}

QString usedByText(const QStringList& mounters)
{
    if (mounters.isEmpty())
        return QStringLiteral("—");
    if (mounters.size() == 1)
        return mounters.first();
    return mounters.first() + QStringLiteral(" +") + QString::number(mounters.size() - 1);
}

bool matchesVolumeSearch(const SGVolume& volume, const QString& search)
{
    return search.isEmpty() || volume.name.contains(search, Qt::CaseInsensitive)
        || volume.project.contains(search, Qt::CaseInsensitive);
}

VolumeCatalog::VolumeCatalog(const AppModel& model) : VolumeCatalog(model.inventory(), model.index()) {}

VolumeCatalog::VolumeCatalog(const Inventory& inventory, const ProjectIndex& index)
    : inventory_(inventory),
      index_(index),
      read_(true),
      sizes_(inventory.volumeSizes),
      usageDataComplete_(inventory.usageDataComplete)
{
    const UsageClassification classification(inventory_, index_);
    groups_ = classification.volumesByProject();
    unknown_ = classification.volumesMatching(Usage::unknown);
    disputed_ = classification.volumesMatching(Usage::disputed);
    orphanLabeled_ = classification.volumesMatching(Usage::orphanLabeled);
    orphanNamed_ = classification.volumesMatching(Usage::orphanNamed);
    orphanAnonymous_ = classification.volumesMatching(Usage::orphanAnonymous);
    const QList<SGVolume> orphans = classification.orphanVolumes();
    orphanCount_ = int(orphans.size());
    // Every in-use volume is in exactly one project group.
    qsizetype inUse = 0;
    qint64 inUseBytes = 0;
    for (const VolumeGroup& group : groups_) {
        inUse += group.volumes.size();
        inUseBytes += group.bytes;
    }
    summary_ = counted(inventory_.volumes.size(), QStringLiteral("volume")) + dot + QString::number(inUse)
        + QStringLiteral(" in use (") + SizeFormat::humanSize(inUseBytes) + QStringLiteral(")") + dot
        + QString::number(orphans.size()) + QStringLiteral(" orphan (") + SizeFormat::humanSize(sizeOf(orphans))
        + QStringLiteral(")");
}

qint64 VolumeCatalog::sizeOf(const QList<SGVolume>& volumes) const
{
    qint64 total = 0;
    for (const SGVolume& v : volumes)
        total += sizes_.value(v.name, 0);
    return total;
}

VolumeCells VolumeCatalog::cells(const SGVolume& volume) const
{
    if (!read_)
        return {};
    auto it = cells_.constFind(volume.name);
    if (it == cells_.cend()) {
        const UsageClassification classification(inventory_, index_);
        const QStringList mounters = index_.volumeMounters.value(volume.name);
        it = cells_.insert(volume.name,
                           {classification.volumeUsage(volume), SizeFormat::humanSize(sizes_.value(volume.name, 0)),
                            volumeProjectCell(classification.volumeProjectText(volume), volume), usedByText(mounters),
                            mounters, classification.volumeStatusText(volume)});
    }
    return *it;
}

std::optional<SGVolume> VolumeCatalog::volume(const QString& name) const
{
    for (const SGVolume& v : inventory_.volumes)
        if (v.name == name)
            return v;
    return std::nullopt;
}

QList<VolumeSection> VolumeCatalog::sections(VolumeFilter filter, const QString& search) const
{
    QList<VolumeSection> out;
    auto add = [&out](VolumeSection section) {
        if (!section.volumes.isEmpty())
            out.append(std::move(section));
    };
    if (filter != VolumeFilter::orphans) {
        for (const VolumeGroup& group : groups_) {
            QList<SGVolume> shown = passing(group.volumes, search);
            const QString name = group.project.isEmpty() ? QStringLiteral("(no compose project)") : group.project;
            const QString title = name + dot + (group.running ? QStringLiteral("running") : QStringLiteral("stopped"))
                + dot + countOf(shown.size(), "volume") + dot + SizeFormat::humanSize(group.bytes);
            add({QStringLiteral("p:") + group.project, title, group.running ? Theme::success() : Theme::accent(),
                 std::move(shown)});
        }
    }
    QList<SGVolume> unknown = passing(unknown_, search);
    add({QStringLiteral("unknown"),
         QStringLiteral("Unknown — usage not verified") + dot + QString::number(unknown.size()) + dot
             + SizeFormat::humanSize(sizeOf(unknown)),
         Theme::textDim(), unknown});
    QList<SGVolume> disputed = passing(disputed_, search);
    add({QStringLiteral("disputed"),
         QStringLiteral("Conflicting signals — Docker still counts a reference") + dot
             + QString::number(disputed.size()),
         Theme::cyan(), disputed});
    if (filter != VolumeFilter::inUse) {
        QList<SGVolume> labeled = passing(orphanLabeled_, search);
        add({QStringLiteral("orphan-labeled"),
             QStringLiteral("Orphan — labelled for a project, mounted by nothing") + dot
                 + QString::number(labeled.size()) + dot + SizeFormat::humanSize(sizeOf(labeled)) + dot
                 + QStringLiteral("check before deleting"),
             Theme::warning(), labeled});
        QList<SGVolume> named = passing(orphanNamed_, search);
        add({QStringLiteral("orphan-named"),
             QStringLiteral("Orphan — named, no project, may hold data") + dot + QString::number(named.size()) + dot
                 + SizeFormat::humanSize(sizeOf(named)) + dot + QStringLiteral("check before deleting"),
             Theme::warning(), named});
        QList<SGVolume> anonymous = passing(orphanAnonymous_, search);
        add({QStringLiteral("orphan-anon"),
             QStringLiteral("Orphan — anonymous, no project") + dot + QString::number(anonymous.size()) + dot
                 + SizeFormat::humanSize(sizeOf(anonymous)) + dot + QStringLiteral("safe to remove"),
             Theme::danger(), anonymous});
    }
    return out;
}

}  // namespace stowage
