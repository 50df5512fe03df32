#pragma once
// The inventory grouped by docker compose project: who runs each image, who
// owns and mounts each volume, and a summary per project. Recomputed as a
// whole from the container, image and volume lists; never patched in place.
// Also the Projects tab's filtering, sorting and selection rules.

#include "docker/Records.h"
#include "inventory/ImageGraph.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>

namespace stowage {

// The projects that use an image or volume, sorted ascending and each once;
// "" stands for standalone containers. A list rather than a set: most images
// and volumes have one owner, and one small list per project is shared by all
// of them, where a hash set would cost a table each.
using OwnerList = QStringList;

struct ProjectIndex {
    // Image id -> projects of the containers running it.
    QHash<QString, OwnerList> imageOwners;
    // Volume name -> its own project label (when set) and the projects of every container mounting it.
    QHash<QString, OwnerList> volumeOwners;
    // Volume name -> names of the containers mounting it, sorted ascending, repeats kept.
    QHash<QString, QStringList> volumeMounters;
    // Volumes mounted by at least one container whose state is exactly "running".
    QSet<QString> runningVolumeNames;
    // Volumes mounted by any container (the keys of volumeMounters).
    QSet<QString> containerVolumeNames;
    // Project name -> its containers in inventory order; "" holds the standalone
    // containers. A project taken down keeps its key, without containers, while
    // a volume labelled with its name remains.
    QHash<QString, QList<SGContainer>> projects;
    // One summary per key of `projects`.
    QHash<QString, ProjectMeta> projectsMeta;
    // How the images stand to each other on disk (layers, build parents).
    ImageGraph imageGraph;

    bool operator==(const ProjectIndex&) const = default;
};

ProjectIndex buildProjectIndex(const QList<SGContainer>& containers, const QList<SGImage>& images,
                               const QList<SGVolume>& volumes, const QHash<QString, ImageLayers>& imageLayers = {});
// The same with the graph of `images` already built, as the refresh does while
// the containers are still being inspected.
ProjectIndex buildProjectIndex(const QList<SGContainer>& containers, const QList<SGImage>& images,
                               const QList<SGVolume>& volumes, ImageGraph imageGraph);

// The disk space a project's images take: each image once, shared layers once.
ByteRange projectImageBytes(const ProjectMeta& meta, const ImageGraph& graph);

// What a project without containers still holds, for its card and the report:
// "taken down — 1 volume, 4.2 MB may hold data".
QString takenDownText(const ProjectMeta& meta, const QHash<QString, qint64>& volumeSizes);

// Whether an image or volume owned by `owners` (the projects of the containers
// that use it; the empty name for a standalone container) goes with
// `projects`: every owner is among them. A standalone container is never
// among them, so what one uses stays; what no container uses is exclusive.
bool exclusiveTo(const OwnerList& owners, const QSet<QString>& projects);

// How `project` tells who else uses an image or volume with those `owners`:
// "exclusive" when it goes with the project alone (exclusiveTo), else
// "shared: " and the other projects by name, or "shared: other" when the only
// other user is a standalone container.
// Always in English: it goes into the assistant context; the project card
// words the same rule in the user's language.
QString ownershipText(const OwnerList& owners, const QString& project);
// The other projects among `owners`, by name and sorted; standalone containers
// are not named.
QStringList otherOwners(const OwnerList& owners, const QString& project);

// A project as dialogs, cards and log lines name it: the name, or
// "(standalone containers)" for the group of containers without a project.
QString projectDisplayName(const QString& project);

// Sort keys of the Projects tab, in display order.
enum class ProjectSort { lastActivity, lastStarted, name, containers, size };

QString sortName(ProjectSort sort);
// Accepts exactly the five names of sortName(ProjectSort).
std::optional<ProjectSort> projectSortFromLabel(const QString& text);
constexpr std::array<ProjectSort, 5> allProjectSorts()
{
    return {ProjectSort::lastActivity, ProjectSort::lastStarted, ProjectSort::name, ProjectSort::containers,
            ProjectSort::size};
}

using ProjectEntry = std::pair<QString, QList<SGContainer>>;

// The Projects tab's list: projects whose lower-cased name contains the trimmed,
// lower-cased search text, stably sorted by `sort`. Missing dates count as the
// most distant past; a project's size is its images' footprint plus its
// volumes' entries in `volumeSizes`.
QList<ProjectEntry> sortedFilteredProjects(const ProjectIndex& index, const QHash<QString, qint64>& volumeSizes,
                                           const QString& search, ProjectSort sort, bool ascending);

// The selection after toggling `name`: added when absent, removed when present.
QSet<QString> toggled(QSet<QString> selection, const QString& name);

}  // namespace stowage
