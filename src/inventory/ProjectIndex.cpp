#include "inventory/ProjectIndex.h"

#include "docker/Classify.h"
#include "text/SizeFormat.h"
#include "text/TextTrim.h"

#include <QCoreApplication>
#include <QVarLengthArray>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace stowage {

namespace {

const QString kRunning = QStringLiteral("running");
const QString kLatest = QStringLiteral("latest");

void keepLater(OptionalDate& latest, const OptionalDate& candidate)
{
    if (candidate && (!latest || *candidate > *latest))
        latest = candidate;
}

// Image rows by id (the first row of each id) and by repository and tag.
struct ImageLookup {
    struct IdEntry {
        const SGImage* firstRow = nullptr;
        // The ordinal of the last project that met the id; -1 before any.
        int lastProject = -1;
    };
    QHash<QString, IdEntry> byId;
    // Keyed by the pair rather than "repository:tag": no text is built per row.
    QHash<std::pair<QString, QString>, const SGImage*> byReference;

    // The row a container runs: the one named by the reference the container
    // was started with, when that names its image, else the id's first row.
    // So an image tagged several times is shown under the name the project uses.
    // A reference without a tag means ":latest"; a tag holds neither ':' nor '/'.
    const SGImage* rowFor(const SGContainer& c, const SGImage* firstRow) const
    {
        const qsizetype colon = c.image.lastIndexOf(QLatin1Char(':'));
        const bool tagged = colon > c.image.lastIndexOf(QLatin1Char('/'));
        // Both parts are looked up in place, without copies.
        const std::pair<QString, QString> reference = tagged
            ? std::pair(QString::fromRawData(c.image.constData(), colon),
                        QString::fromRawData(c.image.constData() + colon + 1, c.image.size() - colon - 1))
            : std::pair(c.image, kLatest);
        const SGImage* named = byReference.value(reference);
        return named && named->id == c.imageID ? named : firstRow;
    }

    // The row project `ordinal` shows for the image `c` runs, the first time
    // the project meets the image; none after that, and none for an image
    // not listed (every listed row's id is in byId).
    const SGImage* firstMeeting(const SGContainer& c, int ordinal)
    {
        if (c.imageID.isEmpty())
            return nullptr;
        const auto entry = byId.find(c.imageID);
        if (entry == byId.end() || entry->lastProject == ordinal)
            return nullptr;
        entry->lastProject = ordinal;
        return rowFor(c, entry->firstRow);
    }
};

// The owner lists: most images and volumes belong to one project, and a list
// made once per project is shared by all of them (QStringList is implicitly
// shared: adding a second owner detaches that one list).
class OwnerLists {
public:
    void add(OwnerList& owners, const QString& project)
    {
        if (owners.isEmpty()) {
            auto single = singles_.constFind(project);
            if (single == singles_.cend())
                single = singles_.insert(project, OwnerList{project});
            owners = *single;
            return;
        }
        const auto at = std::lower_bound(owners.cbegin(), owners.cend(), project);
        if (at == owners.cend() || *at != project)
            owners.insert(at - owners.cbegin(), project);
    }

private:
    QHash<QString, OwnerList> singles_;
};

// Summary of one project from its containers. Images and volumes come from the
// lookups built once for the whole index, so this is linear in the project's size.
ProjectMeta metaFor(const QString& project, int ordinal, const QList<SGContainer>& members, ImageLookup& images)
{
    ProjectMeta meta;
    // The rows are gathered first so that each list is allocated once.
    QVarLengthArray<const SGImage*, 16> rows;
    for (const SGContainer& c : members) {
        if (const SGImage* image = images.firstMeeting(c, ordinal))
            rows.append(image);
        if (meta.path.isEmpty())
            meta.path = c.workingDir;
        if (meta.configFiles.isEmpty())
            meta.configFiles = c.configFiles;
        keepLater(meta.lastStarted, c.startedAt);
        keepLater(meta.lastActivity, c.startedAt);
        keepLater(meta.lastActivity, c.finishedAt);
    }
    meta.images.reserve(rows.size());
    qsizetype built = 0;
    for (const SGImage* image : std::as_const(rows)) {
        meta.images.append(*image);
        built += Classify::isBuiltImage(image->repository, project) ? 1 : 0;
    }
    meta.builtImages.reserve(built);
    for (const SGImage* image : std::as_const(rows)) {
        if (built > 0 && Classify::isBuiltImage(image->repository, project))
            meta.builtImages.append(*image);
    }
    return meta;
}

// Image rows in list order under each lower-cased name of `projects` that
// could have built them (Classify::isBuiltImage): such a name is a prefix of
// the lower-cased repository that ends before a '-' or '_' followed by more
// text. Looking those prefixes up instead of testing every image against
// every project keeps the index linear when thousands of projects have been
// taken down.
QHash<QString, QList<const SGImage*>> imagesBuiltBy(const QStringList& projects, const QList<SGImage>& images)
{
    QHash<QString, QList<const SGImage*>> byProject;
    if (projects.isEmpty())
        return byProject;
    for (const QString& project : projects)
        byProject.insert(project.toLower(), {});
    for (const SGImage& image : images) {
        if (!image.repository.contains(u'-') && !image.repository.contains(u'_'))
            continue;
        const QString name = image.repository.toLower();
        for (qsizetype i = 1; i + 1 < name.size(); ++i) {
            if (name[i] != u'-' && name[i] != u'_')
                continue;
            // The prefix is looked up in place, without a copy.
            const auto slot = byProject.find(QString::fromRawData(name.constData(), i));
            if (slot != byProject.end() && Classify::isBuiltImage(image.repository, slot.key()))
                slot->append(&image);
        }
    }
    return byProject;
}

}  // namespace

ProjectIndex buildProjectIndex(const QList<SGContainer>& containers, const QList<SGImage>& images,
                               const QList<SGVolume>& volumes, const QHash<QString, ImageLayers>& imageLayers)
{
    return buildProjectIndex(containers, images, volumes, ImageGraph(images, imageLayers));
}

ProjectIndex buildProjectIndex(const QList<SGContainer>& containers, const QList<SGImage>& images,
                               const QList<SGVolume>& volumes, ImageGraph imageGraph)
{
    ProjectIndex index;
    index.imageGraph = std::move(imageGraph);

    // One image listed under several tags gives several rows; the first row stands for the id.
    ImageLookup imageLookup;
    imageLookup.byId.reserve(images.size());
    imageLookup.byReference.reserve(images.size());
    for (const SGImage& image : images) {
        ImageLookup::IdEntry& entry = imageLookup.byId[image.id];
        if (!entry.firstRow)
            entry.firstRow = &image;
        imageLookup.byReference.insert({image.repository, image.tag}, &image);
    }

    index.imageOwners.reserve(images.size());
    index.volumeOwners.reserve(volumes.size());
    index.volumeMounters.reserve(volumes.size());
    index.containerVolumeNames.reserve(volumes.size());
    index.runningVolumeNames.reserve(volumes.size());
    OwnerLists owners;
    // Each project's container list is allocated once, at its final size.
    QHash<QString, qsizetype> memberCounts;
    for (const SGContainer& c : containers) {
        if (!c.imageID.isEmpty())
            owners.add(index.imageOwners[c.imageID], c.project);
        ++memberCounts[c.project];
    }
    index.projects.reserve(memberCounts.size());
    for (auto it = memberCounts.cbegin(); it != memberCounts.cend(); ++it)
        index.projects[it.key()].reserve(it.value());
    for (const SGVolume& v : volumes) {
        if (!v.project.isEmpty())
            owners.add(index.volumeOwners[v.name], v.project);
    }
    for (const SGContainer& c : containers) {
        const bool running = c.state == kRunning;
        for (const QString& mount : c.mounts) {
            owners.add(index.volumeOwners[mount], c.project);
            QStringList& mounters = index.volumeMounters[mount];
            if (mounters.isEmpty())
                index.containerVolumeNames.insert(mount);
            mounters.append(c.name);
            if (running)
                index.runningVolumeNames.insert(mount);
        }
        index.projects[c.project].append(c);
    }
    for (QStringList& mounters : index.volumeMounters)
        std::sort(mounters.begin(), mounters.end());

    // A project taken down (`docker compose down`) leaves its labelled volumes
    // and the images it built: it lives on, without containers, as long as they do.
    QStringList takenDown;
    for (const SGVolume& v : volumes) {
        if (!v.project.isEmpty() && !index.projects.contains(v.project)) {
            index.projects.insert(v.project, {});
            takenDown.append(v.project);
        }
    }

    index.projectsMeta.reserve(index.projects.size());
    int ordinal = 0;
    for (auto it = index.projects.cbegin(); it != index.projects.cend(); ++it)
        index.projectsMeta.emplace(it.key(), metaFor(it.key(), ordinal++, it.value(), imageLookup));
    // Nothing runs its images any more: the ones named after it are the ones it
    // built, each once, under its first such name (docker lists an image's
    // names in no fixed order).
    const QHash<QString, QList<const SGImage*>> builtBy = imagesBuiltBy(takenDown, images);
    for (const QString& project : std::as_const(takenDown)) {
        QList<const SGImage*> built;
        QHash<QString, qsizetype> slotOf;
        const QList<const SGImage*> candidates = builtBy.value(project.toLower());
        for (const SGImage* candidate : candidates) {
            const SGImage& image = *candidate;
            const auto slot = slotOf.constFind(image.id);
            if (slot == slotOf.cend()) {
                slotOf.insert(image.id, built.size());
                built.append(&image);
            } else if (std::pair(image.repository, image.tag) < std::pair(built[*slot]->repository, built[*slot]->tag)) {
                built[*slot] = &image;
            }
        }
        ProjectMeta& meta = index.projectsMeta[project];
        for (const SGImage* image : std::as_const(built)) {
            meta.images.append(*image);
            meta.builtImages.append(*image);
        }
    }

    // Volumes go to every owning project. Walking the volume
    // list (first row per name) instead of searching owners per project keeps this linear.
    // The placements are gathered first and grouped by project (in list order
    // within each), so that each project's volume list is allocated once.
    std::vector<std::pair<ProjectMeta*, const SGVolume*>> placements;
    placements.reserve(size_t(volumes.size()));
    QSet<QString> seenVolumeNames;
    seenVolumeNames.reserve(volumes.size());
    for (const SGVolume& v : volumes) {
        const auto owners = index.volumeOwners.constFind(v.name);
        if (owners == index.volumeOwners.cend())
            continue;
        const qsizetype seenBefore = seenVolumeNames.size();
        seenVolumeNames.insert(v.name);
        if (seenVolumeNames.size() == seenBefore)
            continue;
        for (const QString& project : *owners) {
            const auto meta = index.projectsMeta.find(project);
            if (meta != index.projectsMeta.end())
                placements.emplace_back(&*meta, &v);
        }
    }
    std::stable_sort(placements.begin(), placements.end(),
                     [](const auto& a, const auto& b) { return std::less<>()(a.first, b.first); });
    for (auto run = placements.cbegin(); run != placements.cend();) {
        const auto end = std::find_if(run, placements.cend(), [&](const auto& p) { return p.first != run->first; });
        run->first->volumes.reserve(end - run);
        for (; run != end; ++run)
            run->first->volumes.append(*run->second);
    }
    return index;
}

ByteRange projectImageBytes(const ProjectMeta& meta, const ImageGraph& graph)
{
    QSet<QString> ids;
    for (const SGImage& image : meta.images)
        ids.insert(image.id);
    return graph.footprint(ids);
}

QString takenDownText(const ProjectMeta& meta, const QHash<QString, qint64>& volumeSizes)
{
    qint64 bytes = 0;
    for (const SGVolume& volume : meta.volumes)
        bytes += volumeSizes.value(volume.name, 0);
    return QCoreApplication::translate("ProjectIndex", "taken down — %n volume(s), %1 may hold data", nullptr,
                                       int(meta.volumes.size()))
        .arg(SizeFormat::humanSize(bytes));
}

bool exclusiveTo(const OwnerList& owners, const QSet<QString>& projects)
{
    return std::all_of(owners.cbegin(), owners.cend(), [&](const QString& owner) { return projects.contains(owner); });
}

QString ownershipText(const OwnerList& owners, const QString& project)
{
    if (exclusiveTo(owners, {project}))
        return QStringLiteral("exclusive");
    const QStringList others = otherOwners(owners, project);
    return QStringLiteral("shared: ") +
           (others.isEmpty() ? QStringLiteral("other") : others.join(QStringLiteral(", ")));
}

QStringList otherOwners(const OwnerList& owners, const QString& project)
{
    QStringList others;
    for (const QString& owner : owners)
        if (!owner.isEmpty() && owner != project)
            others << owner;
    return others;
}

QString projectDisplayName(const QString& project)
{
    return project.isEmpty() ? QStringLiteral("(standalone containers)") : project;
}

QString sortName(ProjectSort sort)
{
    switch (sort) {
    case ProjectSort::lastActivity: return QCoreApplication::translate("ProjectSort", "Last activity");
    case ProjectSort::lastStarted: return QCoreApplication::translate("ProjectSort", "Last started");
    case ProjectSort::name: return QCoreApplication::translate("ProjectSort", "Name");
    case ProjectSort::containers: return QCoreApplication::translate("ProjectSort", "Containers");
    case ProjectSort::size: return QCoreApplication::translate("ProjectSort", "Size");
    }
    return {};
}

std::optional<ProjectSort> projectSortFromLabel(const QString& text)
{
    for (ProjectSort sort : allProjectSorts()) {
        if (sortName(sort) == text)
            return sort;
    }
    return std::nullopt;
}

namespace {

qint64 dateKey(const OptionalDate& date)
{
    return date ? date->toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

qint64 projectSize(const ProjectMeta& meta, const ImageGraph& graph, const QHash<QString, qint64>& volumeSizes)
{
    qint64 total = projectImageBytes(meta, graph).high;
    for (const SGVolume& volume : meta.volumes)
        total += volumeSizes.value(volume.name, 0);
    return total;
}

qint64 numericKey(const QString& name, const QList<SGContainer>& members, const ProjectIndex& index,
                  const QHash<QString, qint64>& volumeSizes, ProjectSort sort)
{
    const auto meta = index.projectsMeta.constFind(name);
    const bool hasMeta = meta != index.projectsMeta.cend();
    switch (sort) {
    case ProjectSort::lastActivity: return hasMeta ? dateKey(meta->lastActivity) : dateKey(std::nullopt);
    case ProjectSort::lastStarted: return hasMeta ? dateKey(meta->lastStarted) : dateKey(std::nullopt);
    case ProjectSort::containers: return members.size();
    case ProjectSort::size: return hasMeta ? projectSize(*meta, index.imageGraph, volumeSizes) : 0;
    case ProjectSort::name: return 0;
    }
    return 0;
}

}  // namespace

QList<ProjectEntry> sortedFilteredProjects(const ProjectIndex& index, const QHash<QString, qint64>& volumeSizes,
                                           const QString& search, ProjectSort sort, bool ascending)
{
    const QString query = trimSpacesAndTabs(search).toString().toLower();

    // Names in ascending order first, so that projects that sort equal come out
    // in the same order on every call rather than in hash order.
    QStringList names;
    names.reserve(index.projects.size());
    for (auto it = index.projects.cbegin(); it != index.projects.cend(); ++it) {
        if (query.isEmpty() || it.key().toLower().contains(query))
            names.append(it.key());
    }
    std::sort(names.begin(), names.end());

    struct Keyed {
        const QString* name;
        qint64 key;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (const QString& name : std::as_const(names))
        keyed.push_back({&name, numericKey(name, index.projects.value(name), index, volumeSizes, sort)});

    const auto less = [sort](const Keyed& a, const Keyed& b) {
        return sort == ProjectSort::name ? *a.name < *b.name : a.key < b.key;
    };
    if (ascending)
        std::stable_sort(keyed.begin(), keyed.end(), less);
    else
        std::stable_sort(keyed.begin(), keyed.end(), [&less](const Keyed& a, const Keyed& b) { return less(b, a); });

    QList<ProjectEntry> result;
    result.reserve(qsizetype(keyed.size()));
    for (const Keyed& k : keyed)
        result.append({*k.name, index.projects.value(*k.name)});
    return result;
}

QSet<QString> toggled(QSet<QString> selection, const QString& name)
{
    if (!selection.remove(name))
        selection.insert(name);
    return selection;
}

}  // namespace stowage
