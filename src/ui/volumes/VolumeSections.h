#pragma once
// What the Volumes tab shows, apart from drawing it: every volume's cells, the
// sections of the table (in-use volumes by project, then unverified, disputed,
// labelled orphans, named orphans and anonymous orphans) after the filter and search, the
// summary line and the counts behind the three buttons.
//
// A VolumeCatalog is computed once per model change; sections() is then cheap
// enough to run on every keystroke of the search. A volume's cells are worked
// out when first shown, so a long list costs only its visible rows.

#include "classification/UsageClassification.h"
#include "docker/Classify.h"
#include "docker/Records.h"
#include "inventory/Inventory.h"
#include "inventory/ProjectIndex.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace stowage {

class AppModel;

enum class VolumeFilter { all, inUse, orphans };
QString filterName(VolumeFilter filter);
constexpr std::array<VolumeFilter, 3> allVolumeFilters()
{
    return {VolumeFilter::all, VolumeFilter::inUse, VolumeFilter::orphans};
}

// The colour and mark of a volume's usage.
QColor usageColor(Classify::VolumeUsage usage);
QString usageMark(Classify::VolumeUsage usage);
// What the mark and colour say, in words (the legend's).
QString usageMeaning(Classify::VolumeUsage usage);

// The model's project text, or the volume's own project label followed by
// " (label only)" when no owner is known but the volume carries a label.
QString volumeProjectCell(const ProjectText& owners, const SGVolume& volume);
// "—", the only mounter, or the first mounter, " +" and the number of others.
QString usedByText(const QStringList& mounters);
// Case-insensitive containment in the name or the compose-project label.
bool matchesVolumeSearch(const SGVolume& volume, const QString& search);

struct VolumeCells {
    Classify::VolumeUsage usage = Classify::VolumeUsage::unknown;
    QString size;
    QString project;
    QString usedBy;
    QStringList mounters;
    QString status;
};

struct VolumeSection {
    QString id;
    QString title;
    QColor color;
    QList<SGVolume> volumes;
};

class VolumeCatalog {
public:
    VolumeCatalog() = default;
    // Of the model's inventory and index as they are now.
    explicit VolumeCatalog(const AppModel& model);
    // Keeps copies (sharing their data) to work cells out later: it may be made
    // on any thread, and then used on one thread at a time.
    VolumeCatalog(const Inventory& inventory, const ProjectIndex& index);

    QList<VolumeSection> sections(VolumeFilter filter, const QString& search) const;
    // "N volumes  ·  N in use (size)  ·  N orphan (size)"
    const QString& summary() const { return summary_; }
    VolumeCells cells(const SGVolume& volume) const;
    // The first volume of that name in the model, if any.
    std::optional<SGVolume> volume(const QString& name) const;

    int anonymousOrphanCount() const { return int(orphanAnonymous_.size()); }
    int orphanCount() const { return orphanCount_; }
    bool usageDataComplete() const { return usageDataComplete_; }

private:
    qint64 sizeOf(const QList<SGVolume>& volumes) const;

    Inventory inventory_;
    ProjectIndex index_;
    bool read_ = false;  // made of an inventory, not empty
    QHash<QString, qint64> sizes_;
    mutable QHash<QString, VolumeCells> cells_;
    QList<VolumeGroup> groups_;
    QList<SGVolume> unknown_;
    QList<SGVolume> disputed_;
    QList<SGVolume> orphanLabeled_;
    QList<SGVolume> orphanNamed_;
    QList<SGVolume> orphanAnonymous_;
    QString summary_;
    int orphanCount_ = 0;
    bool usageDataComplete_ = false;
};

}  // namespace stowage
