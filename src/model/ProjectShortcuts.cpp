// The project card's shortcuts that leave Docker alone: the Markdown summary
// for the clipboard, the README lookup and the two folder shortcuts.
//
// A project's path comes from a compose label, which anyone able to create
// containers can set. It is only ever used as a file-system path: looked at
// off the UI thread (it may sit on a hung mount), joined with file names,
// handed to the desktop layer (which never passes it through a shell).

#include "model/ProjectShortcuts.h"

#include "docker/Classify.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "platform/Desktop.h"
#include "text/Graphemes.h"
#include "text/LocaleFormat.h"
#include "text/SizeFormat.h"

#include <algorithm>

namespace stowage {

namespace {

const QString emDash = QStringLiteral(" \u2014 ");

QString dateText(const OptionalDate& date)
{
    return date ? LocaleFormat::mediumDateShortTime(*date) : QStringLiteral("\u2014");
}

qint64 sizeOf(const QHash<QString, qint64>& volumeSizes, const QString& name)
{
    return volumeSizes.value(name, 0);
}

}  // namespace

ProjectShortcuts::ProjectShortcuts(AppModel& model, platform::Desktop* desktop, HostPathFacts::Probes pathProbes)
    : model_(model), desktop_(desktop), pathFacts_(std::move(pathProbes))
{
    // Project folders are looked at again whenever the index changes.
    // The folders of a remote engine's projects are on its host: nothing here to look at.
    connect(&model_, &AppModel::indexChanged, this, [this] {
        QSet<QString> paths;
        for (const ProjectMeta& meta : model_.index().projectsMeta)
            if (!meta.path.isEmpty() && engineHost(model_).isEmpty())
                paths.insert(meta.path);
        pathFacts_.renewProjects(paths);
    });
}

QString ProjectShortcuts::assistantContext(const QString& project) const
{
    const QList<SGContainer> containers = model_.index().projects.value(project);
    const ProjectMeta meta = model_.index().projectsMeta.value(project);
    const QHash<QString, qint64>& volumeSizes = model_.inventory().volumeSizes;

    QString doc = QStringLiteral("# Docker project: ") + project + QStringLiteral("\n\n");
    if (!meta.path.isEmpty())
        doc += QStringLiteral("- Path: `") + meta.path + QStringLiteral("`\n");
    if (const QString host = engineHost(model_); !host.isEmpty())
        doc += QStringLiteral("- Host: `") + host + QStringLiteral("` (the engine and the path are on that host)\n");
    if (!meta.configFiles.isEmpty())
        doc += QStringLiteral("- Compose file(s): `") + meta.configFiles + QStringLiteral("`\n");
    doc += QStringLiteral("- Last started: ") + dateText(meta.lastStarted) + QStringLiteral("\n");
    doc += QStringLiteral("- Last activity: ") + dateText(meta.lastActivity) + QStringLiteral("\n");

    const auto running = std::count_if(containers.begin(), containers.end(),
                                       [](const SGContainer& c) { return c.state == QLatin1String("running"); });
    doc += QStringLiteral("- Containers: %1 (%2 running)\n").arg(containers.size()).arg(running);

    qint64 imageBytes = 0;
    for (const SGImage& image : meta.images)
        imageBytes += image.sizeBytes;
    doc += QStringLiteral("- Images: %1 (%2)\n").arg(meta.images.size()).arg(SizeFormat::humanSize(imageBytes));

    qint64 volumeBytes = 0;
    for (const SGVolume& volume : meta.volumes)
        volumeBytes += sizeOf(volumeSizes, volume.name);
    doc += QStringLiteral("- Volumes: %1 (%2)\n\n").arg(meta.volumes.size()).arg(SizeFormat::humanSize(volumeBytes));

    doc += QStringLiteral("## Containers\n");
    for (const SGContainer& c : containers)
        doc += QStringLiteral("- `") + c.name + QStringLiteral("`") + emDash + QStringLiteral("image `") + c.image
               + QStringLiteral("`") + emDash + c.status + QStringLiteral(" (state: ") + c.state
               + QStringLiteral(")\n");

    doc += QStringLiteral("\n## Images\n");
    QList<SGImage> images = meta.images;
    std::stable_sort(images.begin(), images.end(),
                     [](const SGImage& a, const SGImage& b) { return a.sizeBytes > b.sizeBytes; });
    for (const SGImage& image : images) {
        const bool built = Classify::isBuiltImage(image.repository, project);
        doc += QStringLiteral("- `") + image.repository + QStringLiteral(":") + image.tag + QStringLiteral("`")
               + emDash + image.size + QStringLiteral(" [") + (built ? QStringLiteral("built") : QStringLiteral("base"))
               + QStringLiteral("]\n");
    }

    doc += QStringLiteral("\n## Volumes\n");
    QList<SGVolume> volumes = meta.volumes;
    std::stable_sort(volumes.begin(), volumes.end(), [&volumeSizes](const SGVolume& a, const SGVolume& b) {
        return sizeOf(volumeSizes, a.name) > sizeOf(volumeSizes, b.name);
    });
    for (const SGVolume& volume : volumes)
        doc += QStringLiteral("- `") + volume.name + QStringLiteral("`") + emDash
               + SizeFormat::humanSize(sizeOf(volumeSizes, volume.name)) + QStringLiteral(" [")
               + ownershipText(model_.index().volumeOwners.value(volume.name), project) + QStringLiteral("]") + emDash
               + QStringLiteral("mount `") + volume.mountpoint + QStringLiteral("`\n");

    doc += QStringLiteral("\n_Generated by Stowage._\n");
    return doc;
}

void ProjectShortcuts::copyAssistantContext(const QString& project)
{
    const QString doc = assistantContext(project);
    desktop().copyText(doc);
    // One-pass arg(): the project name may itself contain "%2".
    model_.setStatusText(tr("Copied assistant context for '%1' to clipboard (%2 chars).")
                      .arg(project, QString::number(characterCount(doc))));
}

QString ProjectShortcuts::elsewhereNotice() const
{
    const QString host = engineHost(model_);
    return host.isEmpty() ? QString() : tr("On %1: open it there.").arg(host);
}

std::optional<QString> ProjectShortcuts::readmeURL(const QString& project) const
{
    const auto facts = projectPathFacts(project);
    return facts ? facts->readme : std::nullopt;
}

std::optional<ProjectPathFacts> ProjectShortcuts::projectPathFacts(const QString& project) const
{
    const QString path = model_.index().projectsMeta.value(project).path;
    return path.isEmpty() || !engineHost(model_).isEmpty() ? std::nullopt : pathFacts_.project(path);
}

platform::Desktop& ProjectShortcuts::desktop() const
{
    return desktop_ ? *desktop_ : platform::Desktop::system();
}

void ProjectShortcuts::openLink(const QUrl& url)
{
    desktop().openUrl(url, desktopFailed());
}

platform::DesktopFailed ProjectShortcuts::desktopFailed()
{
    return [model = QPointer<ProjectShortcuts>(this)](const platform::DesktopFailure& failure) {
        if (model)
            model->reportDesktopFailure(failure);
    };
}

void ProjectShortcuts::reportDesktopFailure(const platform::DesktopFailure& failure)
{
    const QString line = failure.title + QStringLiteral(": ") + failure.reason;
    if (!loggedDesktopFailures_.contains(line)) {
        loggedDesktopFailures_.insert(line);
        model_.client().cli.log().log(LogLevel::warn, line);
    }
    const bool link = failure.kind == platform::DesktopFailure::Target::link;
    model_.alerts().notice(failure.title,
                           failure.tried + QLatin1Char('\n') + failure.target + QStringLiteral("\n\n") + failure.reason,
                           {link ? tr("Copy Link") : tr("Copy Path"),
                            [this, target = failure.target] { desktop().copyText(target); }});
}

void ProjectShortcuts::whenPathPresent(const QString& path, std::function<void()> act,
                               std::function<PathNotice(const platform::PathFacts&)> describe)
{
    pathFacts_.check(path, this, [this, path, act = std::move(act), describe = std::move(describe)](
                                     const platform::PathFacts& facts) {
        if (facts.presence == platform::PathPresence::present) {
            act();
            return;
        }
        const PathNotice notice = describe(facts);
        if (path.isEmpty()) {
            model_.alerts().info(notice.title, notice.message);
            return;
        }
        model_.alerts().notice(notice.title, notice.message, {tr("Copy Path"), [this, path] {
                                                           desktop().copyText(path);
                                                       }});
    });
}

void ProjectShortcuts::openInFileManager(const QString& path)
{
    if (path.isEmpty())
        return;
    whenPathPresent(
        path, [this, path] { desktop().revealInFileManager(path, desktopFailed()); },
        [path](const platform::PathFacts& facts) { return projectPathNotice(path, facts); });
}

void ProjectShortcuts::openInTerminal(const QString& path)
{
    whenPathPresent(
        path, [this, path] { desktop().openTerminalAt(path, desktopFailed()); },
        [path](const platform::PathFacts& facts) { return projectPathNotice(path, facts); });
}

}  // namespace stowage
