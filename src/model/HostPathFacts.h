#pragma once
// What this host holds at the paths Docker names: compose working directories
// (is the folder here, where is its README) and volume mountpoints. Every
// look at the file system runs off the UI thread, and the UI thread never
// waits for one: a project folder on a hung mount simply stays unknown.
//
// Project folders are looked at once after each change of the project index
// and the answers are cached; views are told when answers arrive. One-off
// checks (before revealing a folder) ask afresh; a check already under way
// for the same path is joined rather than repeated, so clicks on a hung path
// do not pile up workers.

#include "model/OffThread.h"
#include "platform/FileProbe.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

namespace stowage {

struct ProjectPathFacts {
    platform::PathFacts folder;
    std::optional<QString> readme;

    bool operator==(const ProjectPathFacts&) const = default;
};

// The README of `folder`: the first of "README.md", "readme.md", "Readme.md",
// "README.markdown", "README.MD", "README.txt", "README" that is a file, else
// the first file the listing returns whose lower-cased name starts with
// "readme". Blocking.
std::optional<QString> findReadme(const QString& folder);

class HostPathFacts : public QObject {
    Q_OBJECT
public:
    // The blocking looks; tests put in ones that block or answer at will.
    struct Probes {
        std::function<platform::PathFacts(const QString& path)> path = platform::probePath;
        std::function<std::optional<QString>(const QString& folder)> readme = findReadme;
    };

    explicit HostPathFacts(Probes probes, QObject* parent = nullptr);

    // The last answer for a project folder; none until one has arrived.
    std::optional<ProjectPathFacts> project(const QString& path) const;
    // Looks at these project folders (again); answers for other paths are forgotten.
    void renewProjects(const QSet<QString>& paths);

    // Looks at `path` afresh and calls `done` with the answer on this thread,
    // unless `context` is gone by then.
    void check(const QString& path, QObject* context, std::function<void(const platform::PathFacts&)> done);

    const OffThread& workers() const { return workers_; }

signals:
    // Answers for these project folders have arrived (one signal per burst).
    void projectsChanged(const QSet<QString>& paths);

private:
    void lookAtProject(const QString& path);
    void projectAnswered(const QString& path, const ProjectPathFacts& facts);

    struct Waiter {
        QPointer<QObject> context;
        std::function<void(const platform::PathFacts&)> done;
    };

    Probes probes_;
    QHash<QString, ProjectPathFacts> projects_;
    QSet<QString> wanted_;          // project folders of the current index
    QSet<QString> projectsInFlight_;
    QSet<QString> lookAgain_;       // asked for again while a look was under way
    QSet<QString> arrived_;         // answers not yet announced
    QHash<QString, QList<Waiter>> checks_;
    OffThread workers_;
};

}  // namespace stowage
