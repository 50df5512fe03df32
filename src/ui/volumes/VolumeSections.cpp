#include "ui/volumes/VolumeSections.h"

#include "model/AppModel.h"
#include "text/SizeFormat.h"
#include "ui/style/Theme.h"

#include <QCoreApplication>

namespace stowage {

namespace {

using Usage = Classify::VolumeUsage;


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


}  // namespace

QString filterName(VolumeFilter filter)
{
    switch (filter) {
    case VolumeFilter::all: return QCoreApplication::translate("VolumeSections", "All");
    case VolumeFilter::inUse: return QCoreApplication::translate("VolumeSections", "In use by projects");
    case VolumeFilter::orphans: return QCoreApplication::translate("VolumeSections", "Orphans");
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
    case Usage::inUse: return QCoreApplication::translate("VolumeSections", "In use — keep");
    case Usage::orphanLabeled:
    case Usage::orphanNamed: return QCoreApplication::translate("VolumeSections", "Orphan, had a project or a name");
    case Usage::orphanAnonymous: return QCoreApplication::translate("VolumeSections", "Orphan, anonymous");
    case Usage::disputed: return QCoreApplication::translate("VolumeSections", "Conflicting signals");
    case Usage::unknown: return QCoreApplication::translate("VolumeSections", "Usage not verified");
    }
    return QCoreApplication::translate("VolumeSections", "Usage not verified");
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
        return QCoreApplication::translate("VolumeSections", "%1 (label only)").arg(volume.project);
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
    summary_ =
        QCoreApplication::translate("VolumeSections", "%1  ·  %2 in use (%3)  ·  %4 orphan (%5)")
            .arg(QCoreApplication::translate("VolumeSections", "%n volume(s)", nullptr, int(inventory_.volumes.size())),
                 QString::number(inUse), SizeFormat::humanSize(inUseBytes), QString::number(orphans.size()),
                 SizeFormat::humanSize(sizeOf(orphans)));
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
            const QString name = group.project.isEmpty()
                                     ? QCoreApplication::translate("VolumeSections", "(no compose project)")
                                     : group.project;
            const QString title =
                (group.running ? QCoreApplication::translate("VolumeSections", "%1  ·  running  ·  %n volume(s)  ·  %2",
                                                             nullptr, int(shown.size()))
                               : QCoreApplication::translate("VolumeSections", "%1  ·  stopped  ·  %n volume(s)  ·  %2",
                                                             nullptr, int(shown.size())))
                    .arg(name, SizeFormat::humanSize(group.bytes));
            add({QStringLiteral("p:") + group.project, title, group.running ? Theme::success() : Theme::accent(),
                 std::move(shown)});
        }
    }
    QList<SGVolume> unknown = passing(unknown_, search);
    add({QStringLiteral("unknown"),
         QCoreApplication::translate("VolumeSections", "Unknown — usage not verified  ·  %1  ·  %2")
             .arg(QString::number(unknown.size()), SizeFormat::humanSize(sizeOf(unknown))),
         Theme::textDim(), unknown});
    QList<SGVolume> disputed = passing(disputed_, search);
    add({QStringLiteral("disputed"),
         QCoreApplication::translate("VolumeSections", "Conflicting signals — Docker still counts a reference  ·  %1")
             .arg(disputed.size()),
         Theme::cyan(), disputed});
    if (filter != VolumeFilter::inUse) {
        QList<SGVolume> labeled = passing(orphanLabeled_, search);
        add({QStringLiteral("orphan-labeled"),
             QCoreApplication::translate(
                 "VolumeSections",
                 "Orphan — labelled for a project, mounted by nothing  ·  %1  ·  %2  ·  check before deleting")
                 .arg(QString::number(labeled.size()), SizeFormat::humanSize(sizeOf(labeled))),
             Theme::warning(), labeled});
        QList<SGVolume> named = passing(orphanNamed_, search);
        add({QStringLiteral("orphan-named"),
             QCoreApplication::translate(
                 "VolumeSections", "Orphan — named, no project, may hold data  ·  %1  ·  %2  ·  check before deleting")
                 .arg(QString::number(named.size()), SizeFormat::humanSize(sizeOf(named))),
             Theme::warning(), named});
        QList<SGVolume> anonymous = passing(orphanAnonymous_, search);
        add({QStringLiteral("orphan-anon"),
             QCoreApplication::translate("VolumeSections",
                                         "Orphan — anonymous, no project  ·  %1  ·  %2  ·  safe to remove")
                 .arg(QString::number(anonymous.size()), SizeFormat::humanSize(sizeOf(anonymous))),
             Theme::danger(), anonymous});
    }
    return out;
}

}  // namespace stowage
