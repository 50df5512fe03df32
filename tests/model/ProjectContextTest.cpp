// The project card's shortcuts: the clipboard summary byte for byte, the
// README lookup on a real folder, and the folder shortcuts' notices. The model
// state comes from a state cache file, so no docker is involved.

#include "InventoryFixtures.h"

#include "docker/DockerCLI.h"
#include "docker/OperationCenter.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "model/LocaleFormat.h"
#include "platform/Desktop.h"
#include "support/ScriptedAlerts.h"
#include "support/ScriptedDocker.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace stowage {
namespace {

using test::at;
using test::container;
using test::image;
using test::volume;

constexpr qint64 MiB = 1024 * 1024;

class RecordingDesktop : public platform::Desktop {
public:
    void copyText(const QString& text) override { copied << text; }
    void revealInFileManager(const QString& path) override { revealed << path; }
    void openTerminalAt(const QString& path) override { terminals << path; }
    void openUrl(const QUrl& url) override { urls << url; }

    QStringList copied, revealed, terminals;
    QList<QUrl> urls;
};

// A model whose state is loaded from `state` through the cache file.
struct ContextRig {
    test::ScriptedDocker docker;
    OperationCenter operations;
    ActivityLog log{std::nullopt};
    QTemporaryDir cacheDir;
    std::unique_ptr<DockerCLI> cli;
    test::ScriptedAlerts alerts;
    RecordingDesktop desktop;
    std::unique_ptr<AppModel> model;

    explicit ContextRig(const CachedState& state = {}, HostPathFacts::Probes probes = {})
    {
        cli = std::make_unique<DockerCLI>(docker.config(&operations, &log));
        const QString file = cacheDir.filePath("state.json");
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(StateCache::encode(state));
        out.close();
        AppModel::Options options;
        options.cacheFile = std::optional<QString>(file);
        options.alerts = &alerts;
        options.desktop = &desktop;
        options.pathProbes = std::move(probes);
        model = std::make_unique<AppModel>(*cli, options);
        model->loadCache();
    }
};

SGContainer withDetails(SGContainer c, const QString& image, const QString& status)
{
    c.image = image;
    c.status = status;
    return c;
}

SGVolume mountedAt(SGVolume v, const QString& mountpoint)
{
    v.mountpoint = mountpoint;
    return v;
}

SGImage sized(SGImage i, const QString& sizeText)
{
    i.size = sizeText;
    return i;
}

// Project "shop": a running web container built by compose, a stopped
// database on a pulled image; its data volume is its own, its cache volume is
// shared with project "other" and a standalone container.
CachedState shopState()
{
    SGContainer web = withDetails(container("shop-web-1", "shop", "running", "sha256:web", {"shop_data"}), "shop-web",
                                  "Up 2 hours");
    web.workingDir = "/src/shop";
    web.configFiles = "/src/shop/compose.yaml";
    web.startedAt = at("2024-05-01T10:00:00.000Z");
    SGContainer db = withDetails(container("shop-db-1", "shop", "exited", "sha256:pg", {"shop_data", "shared_cache"}),
                                 "postgres:16", "Exited (0) 1 hour ago");
    db.startedAt = at("2024-05-01T09:00:00.000Z");
    db.finishedAt = at("2024-05-02T08:00:00.000Z");

    CachedState state;
    state.containers = {web, db, container("other-app-1", "other", "running", {}, {"shared_cache"}),
                        container("solo", "", "exited", {}, {"shared_cache"})};
    // The smaller image is listed first: the document lists by size.
    state.images = {sized(image("sha256:web", "shop-web", 10 * MiB), "10MB"),
                    sized(image("sha256:pg", "postgres", 400 * MiB, "16"), "400MB")};
    state.volumes = {mountedAt(volume("shared_cache"), "/v/shared"),
                     mountedAt(volume("shop_data", "shop"), "/var/lib/docker/volumes/shop_data/_data")};
    state.volumeSizes = {{"shop_data", 100 * MiB}, {"shared_cache", 2 * MiB}};
    return state;
}

TEST(ProjectContext, TheDocumentListsEverythingSortedWithOwnersAndFooter)
{
    ContextRig rig(shopState());
    const QString expected =
        "# Docker project: shop\n\n"
        "- Path: `/src/shop`\n"
        "- Compose file(s): `/src/shop/compose.yaml`\n"
        "- Last started: " + LocaleFormat::mediumDateShortTime(at("2024-05-01T10:00:00.000Z")) + "\n"
        "- Last activity: " + LocaleFormat::mediumDateShortTime(at("2024-05-02T08:00:00.000Z")) + "\n"
        "- Containers: 2 (1 running)\n"
        "- Images: 2 (410.0 MB)\n"
        "- Volumes: 2 (102.0 MB)\n\n"
        "## Containers\n"
        "- `shop-web-1` — image `shop-web` — Up 2 hours (state: running)\n"
        "- `shop-db-1` — image `postgres:16` — Exited (0) 1 hour ago (state: exited)\n"
        "\n## Images\n"
        "- `postgres:16` — 400MB [base]\n"
        "- `shop-web:latest` — 10MB [built]\n"
        "\n## Volumes\n"
        "- `shop_data` — 100.0 MB [exclusive] — mount `/var/lib/docker/volumes/shop_data/_data`\n"
        "- `shared_cache` — 2.0 MB [shared: other, shop] — mount `/v/shared`\n"
        "\n_Generated by Stowage._\n";
    EXPECT_EQ(rig.model->claudeContext("shop"), expected);
}

TEST(ProjectContext, ProjectsWithoutPathDatesOrAnySummaryKeepTheirHeadings)
{
    ContextRig rig(shopState());
    // No index entry at all.
    EXPECT_EQ(rig.model->claudeContext("ghost"),
              "# Docker project: ghost\n\n"
              "- Last started: —\n"
              "- Last activity: —\n"
              "- Containers: 0 (0 running)\n"
              "- Images: 0 (0 B)\n"
              "- Volumes: 0 (0 B)\n\n"
              "## Containers\n"
              "\n## Images\n"
              "\n## Volumes\n"
              "\n_Generated by Stowage._\n");
    // Indexed, but without a path, compose files, dates or images; a volume without a size counts 0.
    const QString other = rig.model->claudeContext("other");
    EXPECT_TRUE(other.startsWith("# Docker project: other\n\n- Last started: —\n- Last activity: —\n"
                                 "- Containers: 1 (1 running)\n- Images: 0 (0 B)\n- Volumes: 1 (2.0 MB)\n\n"))
        << other.toStdString();
    EXPECT_TRUE(other.contains("\n## Images\n\n## Volumes\n- `shared_cache` — 2.0 MB [shared: other, shop]"));
}

TEST(ProjectContext, CopyingPutsTheDocumentOnTheClipboardAndCountsCharactersNotBytes)
{
    CachedState state = shopState();
    // "🐳" is two UTF-16 units, "é" written as e + combining accent is two code points: one character each.
    state.containers[0].status = "Up • 🐳 cafe\u0301";
    ContextRig rig(state);
    rig.model->copyClaudeContext("shop");

    ASSERT_EQ(rig.desktop.copied.size(), 1);
    const QString doc = rig.desktop.copied.first();
    EXPECT_EQ(doc, rig.model->claudeContext("shop"));
    const qsizetype characters = doc.toUcs4().size() - 1;
    ASSERT_LT(characters, doc.size());
    EXPECT_EQ(rig.model->statusText(),
              QString("Copied Claude context for 'shop' to clipboard (%1 chars).").arg(characters));
    EXPECT_TRUE(rig.alerts.shown.isEmpty());
}

// --- README lookup ---

struct ReadmeCase {
    const char* scenario;
    QStringList files;
    QStringList folders;
    std::optional<QString> expected;
};

TEST(ProjectContext, ReadmeIsTheFirstFixedNameElseTheFirstReadmeFileInTheFolder)
{
    const QList<ReadmeCase> cases = {
        {"fixed names in order", {"README.txt", "readme.md", "README"}, {}, "readme.md"},
        {"upper-case extension before the bare name", {"README", "README.MD"}, {}, "README.MD"},
        {"any readme by scan", {"notes.txt", "ReadMe.rst"}, {}, "ReadMe.rst"},
        {"folders are not readmes", {"Readme.rst"}, {"readme-assets", "README.md"}, "Readme.rst"},
        {"nothing readme-like", {"notes.txt"}, {"readme-assets"}, std::nullopt},
    };
    for (const ReadmeCase& c : cases) {
        SCOPED_TRACE(c.scenario);
        QTemporaryDir folder;
        for (const QString& name : c.files) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        for (const QString& name : c.folders)
            ASSERT_TRUE(QDir(folder.path()).mkdir(name));
        const auto found = findReadme(folder.path());
        if (c.expected)
            EXPECT_EQ(found, folder.filePath(*c.expected));
        else
            EXPECT_EQ(found, std::nullopt);
    }
}

TEST(ProjectContext, ProjectFoldersAreLookedAtOffTheUiThreadOnceTheIndexIsBuilt)
{
    QTemporaryDir folder;
    QFile readme(folder.filePath("README.md"));
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    CachedState state;
    state.containers = {container("a-1", "a"), container("b-1", "b"), container("c-1", "c"), container("d-1", "d")};
    state.containers[1].workingDir = "/nonexistent/stowage/project";
    state.containers[2].workingDir = "relative";
    state.containers[3].workingDir = folder.path();
    ContextRig rig(state);
    // Nothing is known until the looks have answered; a project without a path is never looked at.
    ASSERT_TRUE(test::waitUntil([&] {
        return rig.model->projectPathFacts("b") && rig.model->projectPathFacts("c") && rig.model->projectPathFacts("d");
    }));
    EXPECT_EQ(rig.model->projectPathFacts("a"), std::nullopt);
    EXPECT_EQ(rig.model->projectPathFacts("b")->folder.presence, platform::PathPresence::missing);
    EXPECT_EQ(rig.model->projectPathFacts("c")->folder.presence, platform::PathPresence::missing);
    EXPECT_TRUE(rig.model->projectPathFacts("d")->folder.isFolder);
    EXPECT_EQ(rig.model->readmeURL("d"), folder.filePath("README.md"));
    for (const char* project : {"a", "b", "c", "unknown"})
        EXPECT_EQ(rig.model->readmeURL(project), std::nullopt) << project;
}

// --- Folder shortcuts ---

TEST(ProjectContext, FolderShortcutsHandExistingFoldersToTheDesktop)
{
    QTemporaryDir folder;
    ContextRig rig;
    rig.model->openInFinder(folder.path());
    rig.model->openInTerminal(folder.path());
    ASSERT_TRUE(test::waitUntil([&] { return rig.desktop.revealed.size() + rig.desktop.terminals.size() == 2; }));
    EXPECT_EQ(rig.desktop.revealed, QStringList{folder.path()});
    EXPECT_EQ(rig.desktop.terminals, QStringList{folder.path()});
    EXPECT_TRUE(rig.alerts.shown.isEmpty());
}

TEST(ProjectContext, FolderShortcutsSayWhatIsTrueOfAFolderTheyCannotOpenAndOfferToCopyIt)
{
    using platform::PathPresence;
    const struct {
        QString path;
        platform::PathFacts facts;  // as the file system answers
        const char* title;
        QString message;
    } cases[] = {
        // A relative path names no place Docker could have meant; it is not looked up from our own folder.
        {"src", {}, "Not found", "Project path not found on this host:\nsrc"},
        {"/srv/gone", {PathPresence::missing, false, "No such file or directory"}, "Not found",
         "Project path not found on this host:\n/srv/gone"},
        {"/home/ann/app", {PathPresence::notPermitted, false, "Permission denied"}, "Not permitted",
         "Your user may not open this path on this host:\n/home/ann/app\n\n(Permission denied)"},
        {"/mnt/nfs/app", {PathPresence::unavailable, false, "Stale file handle"}, "Cannot open",
         "This path could not be read on this host:\n/mnt/nfs/app\n\n(Stale file handle)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        HostPathFacts::Probes probes;
        probes.path = [&](const QString& path) { return QDir::isAbsolutePath(path) ? c.facts : platform::PathFacts{}; };
        ContextRig rig({}, probes);
        rig.model->openInFinder(c.path);
        rig.model->openInTerminal(c.path);
        ASSERT_TRUE(test::waitUntil([&] { return rig.alerts.infos().size() == 2; }));
        for (const auto& notice : rig.alerts.infos()) {
            EXPECT_EQ(notice.title, c.title);
            EXPECT_EQ(notice.message, c.message);
            EXPECT_EQ(notice.action.label, "Copy Path");
        }
        EXPECT_TRUE(rig.desktop.revealed.isEmpty());
        EXPECT_TRUE(rig.desktop.terminals.isEmpty());
        rig.alerts.infos().first().action.run();
        EXPECT_EQ(rig.desktop.copied, QStringList{c.path});
    }
}

TEST(ProjectContext, AnEmptyPathIsIgnoredByFinderButReportedByTerminal)
{
    ContextRig rig;
    rig.model->openInFinder("");
    rig.model->openInTerminal("");
    ASSERT_TRUE(test::waitUntil([&] { return !rig.alerts.infos().isEmpty(); }));
    test::drainEvents();
    ASSERT_EQ(rig.alerts.infos().size(), 1);
    EXPECT_EQ(rig.alerts.infos().first().message, "Project path not found on this host:\n");
    EXPECT_FALSE(rig.alerts.infos().first().action.run);  // nothing to copy
    EXPECT_TRUE(rig.desktop.revealed.isEmpty());
    EXPECT_TRUE(rig.desktop.terminals.isEmpty());
}

}  // namespace
}  // namespace stowage
