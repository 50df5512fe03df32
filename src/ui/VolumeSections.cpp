#include "ui/VolumeSections.h"

#include "model/AppModel.h"
#include "ui/Theme.h"

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
    case Usage::orphanLabeled: return Theme::warning();
    case Usage::orphanAnonymous: return Theme::danger();
    case Usage::disputed: return Theme::cyan();
    case Usage::unknown: return Theme::textDim();
    }
    return Theme::textDim();
}

QString usageMark(Classify::VolumeUsage usage)
{
    switch (usage) {
    case Usage::inUse: return QStringLiteral("✓");
    case Usage::orphanLabeled: return QStringLiteral("!");
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

VolumeCatalog::VolumeCatalog(const AppModel& model)
    : sizes_(model.volumeSizes()), usageDataComplete_(model.usageDataComplete())
{
    const UsageClassification classification = model.classification();
    const auto& mounters = model.volumeMounters();
    cells_.reserve(model.volumes().size());
    byName_.reserve(model.volumes().size());
    QList<SGVolume> inUse;
    for (const SGVolume& v : model.volumes()) {
        if (cells_.contains(v.name))
            continue;  // a repeated name shows the first record, like every other lookup
        const Usage usage = classification.volumeUsage(v);
        if (usage == Usage::inUse)
            inUse.append(v);
        cells_.insert(v.name, {usage, SizeFormat::humanSize(sizes_.value(v.name, 0)),
                               volumeProjectCell(classification.volumeProjectText(v), v),
                               usedByText(mounters.value(v.name)), mounters.value(v.name),
                               classification.volumeStatusText(v)});
        byName_.insert(v.name, v);
    }
    groups_ = classification.volumesByProject();
    unknown_ = classification.volumesMatching(Usage::unknown);
    disputed_ = classification.volumesMatching(Usage::disputed);
    orphanLabeled_ = classification.volumesMatching(Usage::orphanLabeled);
    orphanAnonymous_ = classification.volumesMatching(Usage::orphanAnonymous);
    const QList<SGVolume> orphans = classification.orphanVolumes();
    orphanCount_ = int(orphans.size());
    summary_ = QString::number(model.volumes().size()) + QStringLiteral(" volumes") + dot + QString::number(inUse.size())
        + QStringLiteral(" in use (") + SizeFormat::humanSize(sizeOf(inUse)) + QStringLiteral(")") + dot
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

const VolumeCells& VolumeCatalog::cells(const QString& name) const
{
    static const VolumeCells none;
    const auto it = cells_.constFind(name);
    return it == cells_.cend() ? none : *it;
}

const SGVolume* VolumeCatalog::volume(const QString& name) const
{
    const auto it = byName_.constFind(name);
    return it == byName_.cend() ? nullptr : &*it;
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
        QList<SGVolume> anonymous = passing(orphanAnonymous_, search);
        add({QStringLiteral("orphan-anon"),
             QStringLiteral("Orphan — anonymous, no project") + dot + QString::number(anonymous.size()) + dot
                 + SizeFormat::humanSize(sizeOf(anonymous)) + dot + QStringLiteral("safe to remove"),
             Theme::danger(), anonymous});
    }
    return out;
}

}  // namespace stowage
