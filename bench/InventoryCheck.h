#pragma once
// A benchmark that loaded less than it generated times an empty window and
// says nothing. Each benchmark compares the containers, images, volumes and
// compose projects it ended with to the inventory it built, and stops with a
// message and a non-zero exit when they differ.

#include "docker/Records.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace stowage::bench {

struct InventoryCounts {
    qsizetype containers = 0;
    qsizetype images = 0;
    qsizetype volumes = 0;
    qsizetype projects = 0;  // compose projects, the standalone group not counted

    bool operator==(const InventoryCounts&) const = default;
};

// The projects are the distinct project labels the containers and volumes
// carry: a project taken down lives on through its labelled volumes.
inline InventoryCounts countsOf(const QList<SGContainer>& containers, const QList<SGImage>& images,
                                const QList<SGVolume>& volumes)
{
    QSet<QString> projects;
    for (const SGContainer& c : containers)
        if (!c.project.isEmpty())
            projects.insert(c.project);
    for (const SGVolume& v : volumes)
        if (!v.project.isEmpty())
            projects.insert(v.project);
    return {containers.size(), images.size(), volumes.size(), projects.size()};
}

// The projects as a project index grouped them ("" holds the standalone containers).
template <typename ProjectGroups>
InventoryCounts countsOf(const QList<SGContainer>& containers, const QList<SGImage>& images,
                         const QList<SGVolume>& volumes, const ProjectGroups& projects)
{
    return {containers.size(), images.size(), volumes.size(), projects.size() - (projects.contains(QString()) ? 1 : 0)};
}

// Exits the benchmark with status 3 when `loaded` is not what was `built`.
inline void requireLoaded(const char* where, const InventoryCounts& built, const InventoryCounts& loaded)
{
    if (built == loaded)
        return;
    std::fprintf(stderr,
                 "%s: measured something else than was built: containers %lld of %lld, images %lld of %lld, "
                 "volumes %lld of %lld, projects %lld of %lld\n",
                 where, static_cast<long long>(loaded.containers), static_cast<long long>(built.containers),
                 static_cast<long long>(loaded.images), static_cast<long long>(built.images),
                 static_cast<long long>(loaded.volumes), static_cast<long long>(built.volumes),
                 static_cast<long long>(loaded.projects), static_cast<long long>(built.projects));
    std::exit(3);
}

}  // namespace stowage::bench
