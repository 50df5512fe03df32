// The window's frame: the empty state, the Stale badge, the first-display rule,
// Stop, Esc and the Logs tab's Stop all, and the brand bar's live state.
#include "UiRig.h"

#include "cache/StateCache.h"
#include "docker/DockerError.h"
#include "model/EngineSessions.h"
#include "platform/PlatformWords.h"
#include "text/LocaleFormat.h"
#include "ui/buildcache/BuildCacheTab.h"
#include "ui/images/ImagesTab.h"
#include "ui/listing/UsageWarningBanner.h"
#include "ui/logs/LogsTab.h"
#include "ui/operations/RunningCommandsPanel.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/shell/BrandBar.h"
#include "ui/shell/EngineChooser.h"
#include "ui/shell/EmptyState.h"
#include "ui/shell/HeaderBar.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/RootView.h"
#include "ui/shell/StatusBar.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Badge.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace stowage::test {
namespace {

struct Shell {
    explicit Shell(const QList<FakeRule>& rules) : rig(rules), window(*rig.model, rig.log, rig.desktop) {}
    RootView& root() { return *window.rootView(); }
    // Opens the window and waits until its first-display rule has settled.
    void open(const std::function<bool()>& settled)
    {
        window.show();
        ASSERT_TRUE(waitUntil(settled));
        rig.waitIdle();
    }
    int dockerCalls(const QString& prefix) const
    {
        const QStringList calls = rig.docker.calls();
        return int(std::count_if(calls.cbegin(), calls.cend(), [&](const QString& c) { return c.startsWith(prefix); }));
    }
    UiRig rig;
    MainWindow window;
};

TEST(ShellTest, EmptyStateTellsAFailedRefreshFromAnEmptyEngine)
{
    const platform::PlatformWords& words = platform::platformWords();
    const QString refused = "permission denied while trying to connect to the Docker daemon socket at "
                            "unix:///var/run/docker.sock: Get \"http://%2Fvar%2Frun%2Fdocker.sock/v1.24/containers/"
                            "json\": dial unix /var/run/docker.sock: connect: permission denied";
    const struct { const char* name; QList<FakeRule> rules; QString title, message, help, liveState; } cases[] = {
        {"daemon down",
         records::failingRules("Cannot connect to the Docker daemon at unix:///var/run/docker.sock. Is the docker "
                               "daemon running?\n"),
         "Couldn't reach Docker", "Cannot connect to the Docker daemon. Is Docker running?", "", "Docker not answering"},
        {"socket refused", records::failingRules(refused), "Couldn't reach Docker", refused,
         words.socketPermissionHelp, "Docker socket refused this user"},
        {"empty engine", records::dockerRules({}), "No Docker data", "Make sure Docker is running, then refresh.", "",
         "No scan yet"},
    };
    // Qt's complaints while the window is built and laid out (an empty label once asked for a height of -1).
    static QStringList warnings;
    const QtMessageHandler previousHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) { warnings << (type == QtWarningMsg ? text : QString()); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Shell shell(c.rules);
        shell.open([&] { return shell.dockerCalls("ps -a") > 0 && !shell.rig.model->isLoading(); });
        EmptyState& empty = *shell.root().emptyState();
        EXPECT_TRUE(shell.root().showsEmptyState());
        EXPECT_EQ(empty.title(), c.title);
        EXPECT_EQ(empty.message(), c.message);
        EXPECT_EQ(empty.help(), c.help);
        // Long texts wrap onto as many lines as they need, none cut off.
        for (QLabel* label : empty.findChildren<QLabel*>())
            if (label->wordWrap() && label->isVisible()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
            }
        EXPECT_EQ(shell.root().brandBar()->shownLiveState(), c.liveState);

        // Retry runs another refresh.
        empty.retryButton()->click();
        EXPECT_TRUE(shell.rig.model->isLoading());
        EXPECT_FALSE(empty.retryButton()->isEnabled());
        shell.rig.waitIdle();
        EXPECT_EQ(shell.dockerCalls("ps -a"), 2);
        if (QStringLiteral("empty engine") == c.name) {
            // No docker program at all: the help says how to install one.
            shell.rig.model->setStatusText("Error loading data: " + DockerError::notFound().description());
            EXPECT_EQ(empty.help(), words.installDockerHelp);
            EXPECT_EQ(shell.root().brandBar()->shownLiveState(), "docker program not found");
        }
    }
    qInstallMessageHandler(previousHandler);
    EXPECT_TRUE(warnings.filter("Negative sizes").isEmpty()) << warnings.join('\n').toStdString();
}

// The cache is the first look: it is painted at once, then current figures are read by
// themselves, and nothing can be removed before they are in.
TEST(ShellTest, CachedInventoryIsPaintedAtOnceThenRefreshedBeforeAnythingCanBeRemoved)
{
    const CachedState state = records::realistic();
    Shell shell(records::dockerRules(state, {FakeRule{"inspect", records::inspectOut(state), "", 0, 1}}));
    QFile cache(shell.rig.cacheFile());
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.write(StateCache::encode(state));
    cache.close();
    shell.window.show();
    ASSERT_TRUE(waitUntil([&] { return shell.rig.model->dataStale(); }));
    const auto* tab = qobject_cast<BuildCacheTab*>(shell.root().tabView(RootView::Tab::buildCache));
    ASSERT_NE(tab, nullptr);
    EXPECT_FALSE(shell.root().showsEmptyState());
    EXPECT_TRUE(shell.rig.model->isLoading());
    EXPECT_FALSE(tab->clearButton()->isEnabled());

    ASSERT_TRUE(shell.rig.waitIdle());
    EXPECT_EQ(shell.dockerCalls("ps -a"), 1);
    EXPECT_FALSE(shell.rig.model->dataStale());
    EXPECT_FALSE(shell.root().header()->staleBadge()->isVisibleTo(&shell.window));
    EXPECT_EQ(shell.root().brandBar()->shownLiveState(), "16 images · 15 volumes");
    EXPECT_TRUE(tab->clearButton()->isEnabled());
}

TEST(ShellTest, WithoutCacheTheFirstDisplayRefreshesOnceWhileControlsAreDisabledAndStopOrEscCancelsIt)
{
    // The inspection hangs until it is killed.
    const CachedState state = records::realistic();
    Shell shell(records::dockerRules(state, {FakeRule{"inspect", records::inspectOut(state), "", 0, 30}}));
    shell.window.show();
    const auto inspecting = [&] { return waitUntil([&] { return shell.rig.model->statusText().startsWith("[2/2]"); }); };
    ASSERT_TRUE(inspecting());
    StatusBar& status = *shell.root().statusBar();

    EXPECT_FALSE(shell.root().header()->refreshButton()->isEnabled());
    EXPECT_FALSE(shell.window.refreshAction()->isEnabled());
    EXPECT_TRUE(shell.window.stopAction()->isEnabled());
    EXPECT_EQ(shell.root().brandBar()->shownLiveState(), "Scanning…");
    EXPECT_TRUE(status.stopButton()->isVisibleTo(&shell.window));
    // The volumes are listed before any container was inspected: the warning asks for a refresh.
    UsageWarningBanner& banner = qobject_cast<ImagesTab*>(shell.root().tabView(RootView::Tab::images))->banner();
    EXPECT_EQ(banner.detailText(), "Press Refresh to read which containers hold which volumes.");
    // The spinner keeps turning while docker works.
    const QString frame = status.frameLabel()->text();
    EXPECT_TRUE(waitUntil([&] { return status.frameLabel()->text() != frame; }, std::chrono::seconds(2)));

    status.stopButton()->click();
    EXPECT_EQ(status.textLabel()->text(), "Stopping…");
    ASSERT_TRUE(shell.rig.waitIdle());
    EXPECT_EQ(status.textLabel()->text(), "Refresh cancelled.");
    EXPECT_FALSE(status.stopButton()->isVisibleTo(&shell.window));
    EXPECT_TRUE(shell.root().header()->refreshButton()->isEnabled());
    // Showing the window again does not start another.
    shell.window.hide();
    shell.window.show();
    drainEvents(std::chrono::milliseconds(100));
    EXPECT_FALSE(shell.rig.model->isLoading());
    EXPECT_EQ(shell.dockerCalls("ps -a"), 1);

    // Esc in a search field that holds text clears it and leaves the refresh alone; the next Esc stops it.
    shell.window.refreshAction()->trigger();
    ASSERT_TRUE(inspecting());
    shell.root().setTab(RootView::Tab::projects);
    shell.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shell.window));
    QLineEdit& search = qobject_cast<ProjectsTab*>(shell.root().tabView(RootView::Tab::projects))->searchField();
    search.setFocus();
    QTest::keyClicks(&search, "shop");
    QTest::keyClick(&search, Qt::Key_Escape);
    EXPECT_EQ(search.text(), "");
    EXPECT_TRUE(shell.rig.model->isLoading());
    QTest::keyClick(&search, Qt::Key_Escape);
    ASSERT_TRUE(shell.rig.waitIdle());
    EXPECT_EQ(shell.rig.model->statusText(), "Refresh cancelled.");

    // "Stop all" in the Logs tab kills the commands, not the refresh: it completes without the usage data.
    shell.window.refreshAction()->trigger();
    // Inspection starts while the listings may still run; stopping those would fail the refresh.
    ASSERT_TRUE(inspecting());
    ASSERT_TRUE(waitForCommand(shell.rig.operations, "inspect"));
    auto* logs = static_cast<LogsTab*>(shell.root().tabView(RootView::Tab::logs));
    logs->runningCommands()->stopAllButton()->click();
    ASSERT_TRUE(shell.rig.waitIdle());
    EXPECT_TRUE(status.textLabel()->text().startsWith("Loaded: "));
    EXPECT_FALSE(shell.rig.model->inventory().usageDataComplete);
    // A tab's own status messages reach the status line.
    logs->copyButton()->click();
    EXPECT_EQ(status.textLabel()->text(), QStringLiteral("Copied %1 log lines to clipboard.").arg(shell.rig.log.entries().size()));

    shell.window.helpAction()->trigger();
    ASSERT_EQ(shell.rig.desktop.opened.size(), 1);
    EXPECT_EQ(shell.rig.desktop.opened.first().scheme(), "https");
}

// Closing the window (Quit does the same) while a removal runs asks first; once agreed, the removal
// is stopped and its ending logged before the window goes. A refresh only reads: it just ends.
TEST(ShellTest, ClosingDuringARemovalAsksThenStopsItBeforeTheWindowGoes)
{
    const CachedState state = records::realistic();
    Shell shell(records::dockerRules(state, {FakeRule{"version", "20.10.24\n"}, FakeRule{"volume rm", "", "", 0, 30}}));
    shell.open([&] { return shell.rig.model->statusText().startsWith("Loaded: "); });
    ASSERT_FALSE(shell.rig.model->classification().orphanVolumes().isEmpty());
    shell.rig.model->removals().removeSelectedVolumes({shell.rig.model->classification().orphanVolumes().first().name});
    ASSERT_TRUE(waitForCommand(shell.rig.operations, "volume rm"));

    shell.rig.alerts.answers = {false};
    shell.window.close();
    EXPECT_EQ(shell.rig.alerts.last()->title, "Stop the removal and quit?");
    EXPECT_TRUE(shell.window.isVisible() && shell.rig.model->isLoading());
    shell.window.close();
    EXPECT_TRUE(shell.window.isVisible()) << "closed before the removal had ended";
    ASSERT_TRUE(waitUntil([&] { return !shell.window.isVisible(); }));
    EXPECT_FALSE(shell.rig.model->isLoading());
    drainEvents();
    EXPECT_TRUE(shell.rig.operations.active().isEmpty());
    EXPECT_TRUE(shell.rig.log.entries().last().message.startsWith(
        "Quit during a removal — operation stopped: selected volumes: cancelled — removed 0/1"))
        << shell.rig.log.entries().last().message.toStdString();

    Shell reading(records::dockerRules(state, {FakeRule{"inspect", records::inspectOut(state), "", 0, 30}}));
    reading.window.show();
    ASSERT_TRUE(waitForCommand(reading.rig.operations, "inspect"));
    reading.window.close();
    EXPECT_FALSE(reading.window.isVisible());
    EXPECT_TRUE(reading.rig.alerts.shown.isEmpty());
    reading.rig.model->cancelCurrentOperation();
    EXPECT_TRUE(reading.rig.waitIdle());
}

// Two engines: each shown engine keeps its view and its model, with a gate of its own; texts name the engine.
TEST(ShellTest, EachEngineHasItsOwnViewGateAndNameAndQuittingStopsThemAll)
{
    const QString contexts = R"({"Current":true,"Name":"default","DockerEndpoint":"unix:///run/docker.sock"}
{"Current":false,"Name":"build","DockerEndpoint":"ssh://me@build.example.com"})";
    UiRig rig(records::dockerRules(records::realistic(), {FakeRule{"context ls", contexts}}));
    ScriptedDocker buildDocker;
    buildDocker.setRules(records::dockerRules(records::StateBuilder().volume("ci_data", "ci", "1GB", true).build(),
                                              {FakeRule{"volume rm", "", "", 0, 30}}));
    EngineSessions engines(*rig.model, *rig.cli, [&](const EngineContext& engine, OperationCenter& operations) {
        DockerRunner::Config config = buildDocker.config(&operations, &rig.log);
        config.context = engine.name;
        AppModel::Options options{.cacheFile = std::optional<QString>(rig.dir.filePath("build.cache")),
                                  .alerts = &rig.alerts, .engine = engine};
        return EngineSessions::EngineParts{std::make_unique<DockerRunner>(config), options};
    });
    // An earlier session read "build": the menu says when, from that engine's cache.
    const TempDataHome home;
    const QDateTime earlier(QDate(2026, 3, 4), QTime(5, 6), Qt::UTC);
    QFile cache(*StateCache::fileURL("build"));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly) && cache.setFileTime(earlier, QFileDevice::FileModificationTime));
    engines.refreshContexts();
    ASSERT_TRUE(waitUntil([&] { return engines.several(); }));
    EXPECT_EQ(engines.cachedAt("build"), earlier);
    EXPECT_FALSE(engines.cachedAt("default"));
    MainWindow window(engines, rig.log, rig.desktop);
    window.show();
    // The list named the current engine before the first refresh: its runs name it from then on.
    ASSERT_TRUE(waitUntil([&] { return !rig.docker.callsStartingWith("--context default ps -a").isEmpty(); })
                && rig.waitIdle());
    RootView* first = window.rootView();
    EXPECT_TRUE(window.windowTitle() == "Stowage — default" && first->header()->engineChooser()->isVisible());
    EXPECT_TRUE(static_cast<EngineChooser*>(first->header()->engineChooser())
                    ->entryText(*engines.listed("build"))
                    .endsWith(" · read " + LocaleFormat::mediumDateShortTime(earlier.toLocalTime())));

    window.showEngine("build");
    AppModel& build = window.model();
    RootView* second = window.rootView();
    ASSERT_TRUE(waitUntil([&] { return !buildDocker.callsStartingWith("--context build ps -a").isEmpty(); }));
    ASSERT_TRUE(waitUntil([&] { return !build.isLoading(); }));
    EXPECT_EQ(build.inventory().volumes.first().name, "ci_data");
    EXPECT_EQ(window.windowTitle(), "Stowage — build");
    const qsizetype firstCalls = rig.docker.calls().size();
    window.showEngine("");
    drainEvents();
    EXPECT_TRUE(window.rootView() == first && rig.model->inventory().containers.size() == 13);
    EXPECT_EQ(rig.docker.calls().size(), firstCalls) << "switching back read the engine again";

    // `docker context use build` while the window is open: the first view stays the default
    // engine's, and its next refresh still reads that engine, not docker's new current one.
    QString switched = contexts;
    switched.replace("\"Current\":true", "\"Current\":0").replace("\"Current\":false", "\"Current\":true");
    switched.replace("\"Current\":0", "\"Current\":false");
    rig.docker.setRules(records::dockerRules(records::realistic(), {FakeRule{"context ls", switched}}));
    engines.refreshContexts();
    ASSERT_TRUE(waitUntil([&] { return engines.listed("build") && engines.listed("build")->current; }));
    EXPECT_EQ(static_cast<QToolButton*>(first->header()->engineChooser())->text(), "default");
    ASSERT_TRUE(rig.refreshAndWait());
    EXPECT_EQ(rig.docker.callsStartingWith("--context default ps -a").size(), 2);
    EXPECT_TRUE(rig.docker.callsStartingWith("ps -a").isEmpty());

    // An engine docker no longer knows: its view stays, its menu says it is gone.
    rig.docker.setRules({FakeRule{"context ls", contexts.section('\n', 0, 0)}, FakeRule{"", {}, {}, 0, 30}});
    engines.refreshContexts();
    ASSERT_TRUE(waitUntil([&] { return !engines.several(); }));
    EXPECT_EQ(static_cast<QToolButton*>(second->header()->engineChooser())->text(), "build (gone)");
    // A refresh of the first engine leaves the other's removals free; their confirmation names their engine.
    rig.model->refresh();
    build.removals().removeSelectedVolumes({"ci_data"});
    EXPECT_TRUE(rig.alerts.last()->message.startsWith("On engine build (ssh://me@build.example.com).\n\n"))
        << rig.alerts.last()->message.toStdString();
    ASSERT_TRUE(waitUntil([&] { return build.removalRunning(); }));
    window.close();
    EXPECT_EQ(rig.alerts.last()->title, "Stop the removal and quit?");
    ASSERT_TRUE(waitUntil([&] { return !window.isVisible(); }));
    EXPECT_FALSE(build.isLoading() || rig.model->isLoading());
}

TEST(SGButtonTest, TheIconTakesRoomBesideATitleThatIsNeverCut)
{
    SGButton plain("Copy", {}, Theme::accent(), false);
    SGButton withIcon("Copy", "doc.on.doc", Theme::accent(), true);
    EXPECT_TRUE(plain.icon().isNull());
    EXPECT_GT(withIcon.sizeHint().width(), plain.sizeHint().width());
    EXPECT_GE(plain.sizeHint().width(), Theme::textWidth(plain.font(), "Copy"));
}

}  // namespace
}  // namespace stowage::test
