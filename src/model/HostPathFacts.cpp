#include "model/HostPathFacts.h"

#include <QDir>
#include <QDirIterator>
#include <QTimer>

namespace stowage {

std::optional<QString> findReadme(const QString& folder)
{
    // Only regular files (or links to them) count: a folder named "readme-assets"
    // is not something the README dialog can show.
    static const QStringList fixedNames{
        QStringLiteral("README.md"),       QStringLiteral("readme.md"), QStringLiteral("Readme.md"),
        QStringLiteral("README.markdown"), QStringLiteral("README.MD"), QStringLiteral("README.txt"),
        QStringLiteral("README"),
    };
    const QDir dir(folder);
    for (const QString& name : fixedNames)
        if (QFileInfo(dir.filePath(name)).isFile())
            return dir.filePath(name);
    // In the listing's own order, and no further than the first match.
    QDirIterator entries(folder, QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        entries.next();
        if (entries.fileName().toLower().startsWith(QLatin1String("readme")))
            return entries.filePath();
    }
    return std::nullopt;
}

HostPathFacts::HostPathFacts(Probes probes, QObject* parent) : QObject(parent), probes_(std::move(probes)) {}

std::optional<ProjectPathFacts> HostPathFacts::project(const QString& path) const
{
    const auto it = projects_.constFind(path);
    return it == projects_.cend() ? std::nullopt : std::optional(*it);
}

void HostPathFacts::renewProjects(const QSet<QString>& paths)
{
    wanted_ = paths;
    for (auto it = projects_.begin(); it != projects_.end();)
        it = paths.contains(it.key()) ? std::next(it) : projects_.erase(it);
    for (const QString& path : paths) {
        if (projectsInFlight_.contains(path))
            lookAgain_.insert(path);
        else
            lookAtProject(path);
    }
}

void HostPathFacts::lookAtProject(const QString& path)
{
    projectsInFlight_.insert(path);
    workers_.run<ProjectPathFacts>(
        [probes = probes_, path] {
            ProjectPathFacts facts{probes.path(path), std::nullopt};
            if (facts.folder.presence == platform::PathPresence::present && facts.folder.isFolder)
                facts.readme = probes.readme(path);
            return facts;
        },
        [this, path](const ProjectPathFacts& facts) { projectAnswered(path, facts); });
}

void HostPathFacts::projectAnswered(const QString& path, const ProjectPathFacts& facts)
{
    projectsInFlight_.remove(path);
    const bool again = lookAgain_.remove(path);
    if (!wanted_.contains(path))
        return;
    if (again)
        lookAtProject(path);
    const auto previous = projects_.constFind(path);
    if (previous != projects_.cend() && *previous == facts)
        return;
    projects_.insert(path, facts);
    // Answers arrive one by one; views hear of them once per pass of the event loop.
    if (arrived_.isEmpty())
        QTimer::singleShot(0, this, [this] { emit projectsChanged(std::exchange(arrived_, {})); });
    arrived_.insert(path);
}

void HostPathFacts::check(const QString& path, QObject* context, std::function<void(const platform::PathFacts&)> done)
{
    auto& waiters = checks_[path];
    waiters.append({context, std::move(done)});
    if (waiters.size() > 1)
        return;  // a look at this path is already under way
    workers_.run<platform::PathFacts>([probe = probes_.path, path] { return probe(path); },
                                      [this, path](const platform::PathFacts& facts) {
                                          for (const Waiter& waiter : checks_.take(path))
                                              if (waiter.context)
                                                  waiter.done(facts);
                                      });
}

}  // namespace stowage
