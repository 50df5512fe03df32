// The refresh pipeline of the model against the scripted fake docker: the
// status texts and their order, what is published when, the completeness
// decision, fallbacks, Stop in either phase, the gate and reconciliation.

#include "model/InventoryFixtures.h"
#include "model/ModelTestSupport.h"

#include <gmock/gmock.h>

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

using namespace stowage;
using namespace stowage::test;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::StartsWith;

namespace {

TEST(AppModelRefresh, ACompleteRefreshPublishesEverythingWithItsTexts)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    const AppModel& m = *rig.model;

    ASSERT_GE(rig.statuses.size(), 5);
    EXPECT_EQ(rig.statuses.mid(0, 3), (QStringList{"Loading Docker data…", "[1/2] Reading containers · images · volumes…",
                                                   "[2/2] Disk usage · volume sizes · inspecting 3 containers · info  ·  0s"}));
    EXPECT_EQ(rig.statuses[rig.statuses.size() - 2], "Building project index…");
    // Only "running" counts as running: the restarting container does not.
    EXPECT_THAT(m.statusText().toStdString(),
                StartsWith("Loaded: 3 containers (1 running), 4 images, 3 volumes  |  Last refresh: "));
    EXPECT_THAT(rig.logLines().filter("Refresh"),
                ElementsAre("info Refresh started", "info Refresh complete: 3 containers, 4 images, 3 volumes"));
    EXPECT_EQ(rig.logLines().filter(QRegularExpression("^info docker: .* \\(a fixed location\\)$")).size(), 1);

    EXPECT_TRUE(m.inventory().usageDataComplete);
    EXPECT_EQ(m.inventory().usageDataProblem, "");
    EXPECT_EQ(m.inventory().usedImageIDs, (QSet<QString>{sample::webImage, sample::dbImage}));
    EXPECT_EQ(m.inventory().containers[0].mounts, QStringList{"shop_data"});
    EXPECT_EQ(m.inventory().containers[0].startedAt, at("2024-05-01T10:11:12.000Z"));
    EXPECT_FALSE(m.inventory().containers[0].finishedAt.has_value());
    EXPECT_EQ(m.inventory().buildCache.reclaimableBytes, 1200000000);
    EXPECT_EQ(m.inventory().volumes[0].sizeBytes, 100 * 1000 * 1000);
    EXPECT_EQ(m.inventory().danglingVolumeNames.size(), 2);
    EXPECT_EQ(m.index().projects.value("shop").size(), 2);
    EXPECT_EQ(m.index().projectsMeta.value("shop").path, "/src/shop");
    EXPECT_FALSE(m.dataStale());
    EXPECT_EQ(m.spinnerFrame(), "");
    // The classification now sees complete data.
    EXPECT_EQ(ids(m.classification().unusedImages()), (QStringList{sample::oldImage, sample::danglingImage}));
    EXPECT_EQ(m.classification().orphanVolumes().size(), 2);
}

TEST(AppModelRefresh, PhaseOneListsAppearBeforePhaseTwoWhoseQueriesRunConcurrently)
{
    // Five phase-2 queries of 2 s each: one after another they would take 10 s.
    QList<FakeRule> slow;
    for (const char* match : {"system df -v", "system df --format", "volume ls -q", "info"})
        slow << FakeRule{match, "", {}, 0, 2};
    slow << FakeRule{"inspect", sample::inspectOut(), {}, 0, 2};
    ModelRig rig(sample::rules(slow));
    QElapsedTimer timer;
    timer.start();
    rig.model->refresh();
    ASSERT_TRUE(waitUntil([&] { return rig.model->inventory().volumes.size() == 3; }));
    EXPECT_TRUE(rig.model->isLoading());
    EXPECT_EQ(rig.model->inventory().containers.size(), 3);
    EXPECT_EQ(rig.model->inventory().images.size(), 4);
    EXPECT_FALSE(rig.model->inventory().usageDataComplete);  // still the previous facts
    EXPECT_TRUE(rig.model->index().projects.isEmpty());
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_LT(timer.elapsed(), 8000);
    EXPECT_TRUE(rig.model->inventory().usageDataComplete);
}

TEST(AppModelRefresh, DiskUsageAndInspectionStartBeforeTheListingsEndAndStopWhenOneFails)
{
    // The engine is still listing its images when the disk usage is read and the containers'
    // inspection starts; the listing then fails, and both (30 s) are stopped with the refresh.
    ModelRig rig(sample::rules({FakeRule{"images -a", {}, "boom", 1, 1.5}, FakeRule{"inspect", "", {}, 0, 30},
                                FakeRule{"system df", "", {}, 0, 30}}));
    rig.model->refresh();
    ASSERT_TRUE(waitForCommand(rig.operations, "inspect"));
    EXPECT_TRUE(waitForCommand(rig.operations, "system df", std::chrono::milliseconds(1)));
    EXPECT_TRUE(waitForCommand(rig.operations, "images -a", std::chrono::milliseconds(1)));
    ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(10)));
    EXPECT_EQ(rig.model->statusText(), "Error loading data: boom");
    EXPECT_TRUE(waitUntil([&] { return rig.operations.active().isEmpty(); }));
}

TEST(AppModelRefresh, IncompleteInspectionIsExplainedAndLogged)
{
    // The fake answers for two of three containers and reports the third.
    const QString partial = sample::inspectLine(sample::webId, sample::webImage, "[]")
        + sample::inspectLine(sample::dbId, sample::dbImage, "[]");
    ModelRig rig(sample::rules({FakeRule{"inspect", partial, "\nError: No such object: c3cccccccccc\n", 1}}));
    ASSERT_TRUE(rig.refreshAndWait());
    EXPECT_FALSE(rig.model->inventory().usageDataComplete);
    const QString problem = "1 of 3 containers could not be inspected — Error: No such object: c3cccccccccc";
    EXPECT_EQ(rig.model->inventory().usageDataProblem, problem);
    EXPECT_THAT(rig.logLines(), Contains("error Usage data INCOMPLETE: " + problem));
    EXPECT_TRUE(rig.model->classification().unusedImages().isEmpty());
    EXPECT_TRUE(rig.model->classification().orphanVolumes().isEmpty());

    rig.rebuild(sample::rules({FakeRule{"inspect", partial}}));
    ASSERT_TRUE(rig.refreshAndWait());
    EXPECT_EQ(rig.model->inventory().usageDataProblem, "1 of 3 containers could not be inspected — docker inspect returned no data");

    // With no containers, usage is complete without inspecting.
    ModelRig empty(sample::rules({FakeRule{"ps -a", ""}}));
    ASSERT_TRUE(empty.refreshAndWait());
    EXPECT_TRUE(empty.model->inventory().usageDataComplete);
    EXPECT_TRUE(empty.docker.callsStartingWith("inspect").isEmpty());
}

TEST(AppModelRefresh, FailedPhaseTwoQueriesFallBackButAStoppedDaemonFailsTheRefresh)
{
    ModelRig rig(sample::rules({FakeRule{"volume ls -q", {}, "boom", 1}, FakeRule{"system df", {}, "nope", 1},
                                FakeRule{"info", {}, "nope", 1}}));
    ASSERT_TRUE(rig.refreshAndWait());
    const AppModel& m = *rig.model;
    EXPECT_THAT(m.statusText().toStdString(), StartsWith("Loaded: "));
    EXPECT_FALSE(m.inventory().danglingKnown);
    EXPECT_TRUE(m.inventory().danglingVolumeNames.isEmpty());
    EXPECT_EQ(m.inventory().buildCache, (BuildCache{"?", 0, "?", 0}));
    EXPECT_TRUE(m.inventory().volumeSizes.isEmpty());
    EXPECT_EQ(m.inventory().volumes[0].sizeBytes, 0);
    EXPECT_EQ(m.inventory().dockerRoot, "/var/lib/docker");
    EXPECT_EQ(rig.logLines().filter("dangling=true"),
              QStringList{"warn docker volume ls --filter dangling=true failed — volume usage unknown, no volume is "
                          "offered as an orphan"});
    // Mount evidence alone never makes an orphan: without the engine's own list, usage is unknown.
    EXPECT_TRUE(m.classification().orphanVolumes().isEmpty());
    EXPECT_EQ(m.classification().volumesMatching(Classify::VolumeUsage::unknown).size(), 2);
    ASSERT_FALSE(m.dataStale());

    // A stopped daemon ends the next refresh with its text; the shown data stays, stale.
    rig.docker.setRules(sample::rules({FakeRule{
        "ps -a", {}, "Cannot connect to the Docker daemon at unix:///var/run/docker.sock. Is the docker daemon running?", 1}}));
    ASSERT_TRUE(rig.refreshAndWait());
    const QString down = "Cannot connect to the Docker daemon. Is Docker running?";
    EXPECT_EQ(rig.model->statusText(), "Error loading data: " + down);
    EXPECT_THAT(rig.logLines(), Contains("error Refresh failed: " + down));
    EXPECT_EQ(rig.model->spinnerFrame(), "");
    EXPECT_EQ(rig.model->inventory().containers.size(), 3);
    EXPECT_TRUE(rig.model->dataStale());
}

TEST(AppModelRefresh, StopDuringPhaseOneKillsTheListingsAndEndsTheRefresh)
{
    ModelRig rig(sample::rules({FakeRule{"ps -a", "", {}, 0, 30}}));
    rig.model->refresh();
    ASSERT_TRUE(waitForCommand(rig.operations, "ps -a"));
    QElapsedTimer timer;
    timer.start();
    rig.model->cancelCurrentOperation();
    EXPECT_EQ(rig.model->statusText(), "Stopping…");
    ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(20)));
    EXPECT_LT(timer.elapsed(), 15000);  // the listing would have slept 30 s
    // The killed listing fails, but after Stop that is the cancellation.
    EXPECT_EQ(rig.model->statusText(), "Refresh cancelled.");
    EXPECT_THAT(rig.logLines(), Contains("warn Stop requested — cancelling current operation"));
    EXPECT_THAT(rig.logLines(), Contains("warn Refresh cancelled"));
    EXPECT_TRUE(waitUntil([&] { return rig.operations.active().isEmpty(); }));
}

TEST(AppModelRefresh, AStoppedRefreshCallsNothingUnusedUntilOneCompletes)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    ASSERT_EQ(ids(rig.model->classification().unusedImages()), (QStringList{sample::oldImage, sample::danglingImage}));

    // A container of the unused image starts; the next refresh lists it and is stopped while inspecting.
    const QString listing = sample::containersOut()
        + listingLine(R"({"ID":"c4dddddddddd","Names":"revived","Image":"shop-old:v1","State":"running"})", "") + "\n";
    rig.docker.setRules(sample::rules({FakeRule{"ps -a", listing}, FakeRule{"inspect", "", {}, 0, 30}}));
    rig.model->refresh();
    // Stopped once the listings are in (inspection may start before they are).
    ASSERT_TRUE(waitUntil([&] { return rig.model->statusText().startsWith("[2/2]"); }));
    ASSERT_TRUE(waitForCommand(rig.operations, "inspect"));
    rig.model->cancelCurrentOperation();
    ASSERT_TRUE(rig.waitIdle(std::chrono::seconds(5)));
    // No progress tick overwrote the stop text before the ending.
    const int stopping = rig.statuses.lastIndexOf("Stopping…");
    EXPECT_EQ(rig.statuses.mid(stopping), (QStringList{"Stopping…", "Refresh cancelled."}));
    EXPECT_TRUE(rig.model->dataStale());

    // The new listing stays, but nothing is called unused on it, and the index follows it.
    EXPECT_EQ(rig.model->inventory().containers.size(), 4);
    EXPECT_EQ(rig.model->inventory().usageDataProblem, "The last refresh did not finish — usage was not verified. Refresh to check.");
    EXPECT_TRUE(rig.model->classification().unusedImages().isEmpty());
    EXPECT_EQ(rig.model->classification().imageStatus(rig.model->inventory().images[2]).reason, "Unknown — refresh needed");
    EXPECT_EQ(rig.model->index().projects.value("").size(), 2);

    // A local removal rebuilds from those records and keeps it so; the cache saved after it says so.
    rig.model->removals().deleteResources("one", {}, {}, {volume("shop_cache")});
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_TRUE(rig.model->classification().unusedImages().isEmpty());
    EXPECT_FALSE(rig.savedCache().value_or(CachedState{.usageDataComplete = true}).usageDataComplete);

    // A complete refresh decides again: the image is in use now.
    rig.docker.setRules(sample::rules(
        {FakeRule{"ps -a", listing},
         FakeRule{"inspect", sample::inspectOut() + sample::inspectLine("c4dddddddddd", sample::oldImage, "[]")}}));
    ASSERT_TRUE(rig.refreshAndWait());
    EXPECT_TRUE(rig.model->inventory().usageDataComplete);
    EXPECT_EQ(ids(rig.model->classification().unusedImages()), QStringList{sample::danglingImage});
    EXPECT_EQ(rig.model->classification().imageStatus(rig.model->inventory().images[2]).reason, "Used by container");
}

TEST(AppModelRefresh, TheUiThreadNeverWaitsForAnEndedOperationsThread)
{
    // The listing of containers fails while that of images runs and ignores SIGTERM: the ended
    // refresh's thread still waits out the kill grace for it.
    ModelRig rig(sample::rules({FakeRule{"ps -a", {}, "boom", 1, 0.3}, FakeRule{"images -a", {}, {}, 0, 30, -1, false, true}}));
    DockerRunner::Config config = rig.docker.config(&rig.operations, &rig.log);
    config.killGrace = 4.0;
    DockerRunner cli(config);
    AppModel model(cli, AppModel::Options{.cacheFile = std::optional<QString>(rig.cacheFile())});
    model.refresh();
    ASSERT_TRUE(waitUntil([&] { return !model.isLoading(); }));
    EXPECT_EQ(model.statusText(), "Error loading data: boom");

    rig.docker.setRules(sample::rules());
    QElapsedTimer timer;
    timer.start();
    model.refresh();
    EXPECT_LT(timer.elapsed(), 2000);  // the ended refresh's thread waits 4 s for its killed child
    ASSERT_TRUE(waitUntil([&] { return !model.isLoading(); }));
    EXPECT_TRUE(model.inventory().usageDataComplete);
}

TEST(AppModelRefresh, RefreshWhileLoadingAndCancelWhileIdleDoNothing)
{
    ModelRig rig(sample::rules({FakeRule{"inspect", sample::inspectOut(), {}, 0, 0.5}}));
    rig.model->cancelCurrentOperation();
    EXPECT_TRUE(rig.logLines().isEmpty());
    EXPECT_EQ(rig.model->statusText(), "Ready");

    rig.model->refresh();
    const int statusesBefore = rig.statuses.size();
    rig.model->refresh();
    EXPECT_EQ(rig.statuses.size(), statusesBefore);
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.logLines().filter("Refresh started").size(), 1);
    EXPECT_EQ(rig.docker.callsStartingWith("ps ").size(), 1);
}

}  // namespace
