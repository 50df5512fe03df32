// The window end to end: started on an empty cache (a fresh data folder), it
// refreshes by itself from the private engine and its Overview shows the
// fixture's counts; the brand bar and the build-cache figures agree.

#include "EngineModelRig.h"
#include "ui/UiTestSupport.h"

#include "model/StateCache.h"
#include "ui/BrandBar.h"
#include "ui/MainWindow.h"
#include "ui/OverviewProjectsModel.h"
#include "ui/OverviewTab.h"
#include "ui/RootView.h"
#include "ui/SGButton.h"
#include "ui/SummaryCard.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>

using namespace stowage;
using namespace stowage::test;

namespace {

using WindowE2ETest = EngineTest;

int count(const QJsonObject& expected, const char* key)
{
    return expected.value("counts").toObject().value(key).toInt(-1);
}

TEST_F(WindowE2ETest, FirstStartOnAnEmptyCacheRefreshesAndTheOverviewShowsTheFixture)
{
    ASSERT_TRUE(engine.rebuildFixture());
    TempDataHome dataHome;
    const auto cacheFile = StateCache::fileURL();
    ASSERT_TRUE(cacheFile.has_value());
    ASSERT_TRUE(cacheFile->startsWith(dataHome.path()));
    ASSERT_FALSE(QFile::exists(*cacheFile));

    EngineModelSetup setup;
    setup.cacheFile = *cacheFile;
    EngineModelRig rig(engine, setup);
    RecordingDesktop desktop;
    MainWindow window(*rig.model, rig.log, desktop);
    window.show();

    ASSERT_TRUE(waitUntil([&] { return rig.model->statusText().startsWith("Loaded: "); }, std::chrono::seconds(90)))
        << rig.model->statusText().toStdString();
    ASSERT_TRUE(rig.waitIdle());
    drainEvents(std::chrono::milliseconds(100));
    ASSERT_TRUE(rig.model->usageDataComplete()) << rig.model->usageDataProblem().toStdString();

    auto& overview = *static_cast<OverviewTab*>(window.rootView()->tabView(RootView::Tab::overview));
    EXPECT_FALSE(window.rootView()->showsEmptyState());
    EXPECT_EQ(overview.card(OverviewTab::containersCard)->value(), QString::number(count(expected, "containers")));
    EXPECT_EQ(overview.card(OverviewTab::containersCard)->subtitle(),
              QString::number(count(expected, "runningContainers")) + " running");
    // The engine's own image figures (docker system df): build layers are not counted.
    const EngineImageTotals engineImages = DockerClient::parseEngineImageTotals(
        QString::fromUtf8(engine.docker({"system", "df", "--format", "{{json .}}"})));
    EXPECT_EQ(overview.card(OverviewTab::imagesCard)->subtitle(),
              QString::number(count(expected, "imageIds") - count(expected, "intermediateImages")) + " total");
    EXPECT_EQ(overview.card(OverviewTab::imagesCard)->value(), SizeFormat::humanSize(engineImages.sizeBytes));
    EXPECT_EQ(overview.card(OverviewTab::volumesCard)->subtitle(), QString::number(count(expected, "volumes")) + " total");
    EXPECT_EQ(overview.card(OverviewTab::buildCacheCard)->value(), rig.model->buildCache().shownSize());
    EXPECT_EQ(overview.dataRoot()->text(), engine.engineDir() + "/data");
    EXPECT_EQ(overview.projectsModel()->rowCount(), count(expected, "projects"));

    // Complete usage data: every bulk action is offered, with the fixture's candidates behind it.
    EXPECT_EQ(rig.model->unusedImageUnits().size(), count(expected, "unusedImages"));
    EXPECT_EQ(rig.model->orphanVolumes().size(), count(expected, "orphanVolumes"));
    for (const auto action : {OverviewTab::cleanBuildCache, OverviewTab::removeUnusedImages,
                              OverviewTab::removeOrphanVolumes, OverviewTab::safeCleanAll})
        EXPECT_TRUE(overview.action(action)->isEnabled()) << int(action);

    EXPECT_EQ(window.rootView()->brandBar()->shownLiveState(),
              QString("%1 images · %2 volumes").arg(count(expected, "imageRows")).arg(count(expected, "volumes")));
    // The refresh left its snapshot for the next start.
    rig.model->flushCache();
    EXPECT_TRUE(QFile::exists(*cacheFile));
}

}  // namespace
