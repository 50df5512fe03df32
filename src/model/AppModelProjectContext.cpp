// The project card's shortcuts that leave Docker alone: the Markdown summary
// for the clipboard, the README lookup and the two folder shortcuts.
//
// A project's path comes from a compose label, which anyone able to create
// containers can set. It is only ever used as a file-system path: checked for
// existence, joined with file names, handed to the desktop layer (which never
// passes it through a shell).

#include "docker/Classify.h"
#include "model/AppModel.h"
#include "model/LocaleFormat.h"
#include "platform/Desktop.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBoundaryFinder>

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

QString ownerText(const QSet<QString>& owners)
{
    QStringList names;
    for (const QString& name : owners)
        if (!name.isEmpty())
            names.append(name);
    if (names.size() < 2)
        return QStringLiteral("exclusive");
    names.sort();
    return QStringLiteral("shared: ") + names.join(QStringLiteral(", "));
}

// What a person counts as characters: an em dash, a "•" or an emoji with its
// modifiers is one, whatever its length in UTF-16 or UTF-8.
qsizetype characterCount(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

// Docker reports absolute paths. Anything else (empty, relative, a path that
// only exists inside a VM or on another host) is not a folder on this machine.
bool existsOnThisHost(const QString& path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path) && QFileInfo::exists(path);
}

platform::Desktop& desktopOr(platform::Desktop* supplied)
{
    return supplied ? *supplied : platform::Desktop::system();
}

}  // namespace

QString AppModel::claudeContext(const QString& project) const
{
    const QList<SGContainer> containers = projects().value(project);
    const ProjectMeta meta = projectsMeta().value(project);

    QString doc = QStringLiteral("# Docker project: ") + project + QStringLiteral("\n\n");
    if (!meta.path.isEmpty())
        doc += QStringLiteral("- Path: `") + meta.path + QStringLiteral("`\n");
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
        volumeBytes += sizeOf(volumeSizes(), volume.name);
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
    std::stable_sort(volumes.begin(), volumes.end(), [this](const SGVolume& a, const SGVolume& b) {
        return sizeOf(volumeSizes(), a.name) > sizeOf(volumeSizes(), b.name);
    });
    for (const SGVolume& volume : volumes)
        doc += QStringLiteral("- `") + volume.name + QStringLiteral("`") + emDash
               + SizeFormat::humanSize(sizeOf(volumeSizes(), volume.name)) + QStringLiteral(" [")
               + ownerText(volumeOwners().value(volume.name)) + QStringLiteral("]") + emDash + QStringLiteral("mount `")
               + volume.mountpoint + QStringLiteral("`\n");

    doc += QStringLiteral("\n_Generated by Stowage._\n");
    return doc;
}

void AppModel::copyClaudeContext(const QString& project)
{
    const QString doc = claudeContext(project);
    desktopOr(desktop_).copyText(doc);
    // One-pass arg(): the project name may itself contain "%2".
    setStatusText(QStringLiteral("Copied Claude context for '%1' to clipboard (%2 chars).")
                      .arg(project, QString::number(characterCount(doc))));
}

std::optional<QString> AppModel::readmeURL(const QString& project) const
{
    const QString path = projectsMeta().value(project).path;
    if (!existsOnThisHost(path))
        return std::nullopt;
    const QDir dir(path);

    // Only regular files (or links to them) count: a folder named "readme-assets"
    // is not something the README sheet can show.
    static const QStringList fixedNames{
        QStringLiteral("README.md"),  QStringLiteral("readme.md"),  QStringLiteral("Readme.md"),
        QStringLiteral("README.markdown"), QStringLiteral("README.MD"), QStringLiteral("README.txt"),
        QStringLiteral("README"),
    };
    for (const QString& name : fixedNames)
        if (QFileInfo(dir.filePath(name)).isFile())
            return dir.filePath(name);

    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries)
        if (entry.toLower().startsWith(QLatin1String("readme")))
            return dir.filePath(entry);
    return std::nullopt;
}

void AppModel::openInFinder(const QString& path)
{
    if (path.isEmpty())
        return;
    if (!existsOnThisHost(path)) {
        alerts().info(QStringLiteral("Not found"), QStringLiteral("Project path not found on this host:\n") + path);
        return;
    }
    desktopOr(desktop_).revealInFileManager(path);
}

void AppModel::openInTerminal(const QString& path)
{
    if (!existsOnThisHost(path)) {
        alerts().info(QStringLiteral("Not found"), QStringLiteral("Project path not found on this host:\n") + path);
        return;
    }
    desktopOr(desktop_).openTerminalAt(path);
}

}  // namespace stowage
