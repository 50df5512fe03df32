// The window end to end: started on an empty cache (a fresh data folder), it refreshes by itself
// from the private engine, its Overview shows the fixture's counts, and it leaves its snapshot.

#include "EngineRig.h"

#include "model/StateCache.h"
#include "support/RecordingDesktop.h"
#include "ui/BrandBar.h"
#include "ui/MainWindow.h"
#include "ui/OverviewTab.h"
#include "ui/RootView.h"
#include "ui/SGButton.h"
#include "ui/SummaryCard.h"

#include <QFile>
#include <QLabel>

namespace stowage::test {
namespace {

using WindowE2ETest = EngineTest;

TEST_F(WindowE2ETest, FirstStartOnAnEmptyCacheRefreshesAndTheOverviewShowsTheFixture)
{
    TempDataHome dataHome;
    const auto cacheFile = StateCache::fileURL();
    ASSERT_TRUE(cacheFile.has_value() && cacheFile->startsWith(dataHome.path()));
    ASSERT_FALSE(QFile::exists(*cacheFile));

    EngineModelRig rig(engine, {.cacheFile = *cacheFile});
    RecordingDesktop desktop;
    MainWindow window(*rig.model, rig.log, desktop);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return rig.model->statusText().startsWith("Loaded: "); }, std::chrono::seconds(90)))
        << rig.model->statusText().toStdString();
    ASSERT_TRUE(rig.waitIdle());
    drainEvents(std::chrono::milliseconds(100));
    ASSERT_TRUE(rig.model->usageDataComplete()) << rig.model->usageDataProblem().toStdString();

    auto& overview = *static_cast<OverviewTab*>(window.rootView()->tabView(RootView::Tab::overview));
    EXPECT_EQ(overview.card(OverviewTab::containersCard)->value(), QString::number(count("containers")));
    // The engine's own image figures (docker system df): build layers are not counted.
    const EngineImageTotals images = engine.imageTotals();
    EXPECT_EQ(overview.card(OverviewTab::imagesCard)->subtitle(), QString::number(images.count) + " total");
    EXPECT_EQ(overview.card(OverviewTab::imagesCard)->value(), SizeFormat::humanSize(images.sizeBytes));
    EXPECT_EQ(overview.card(OverviewTab::buildCacheCard)->value(), rig.model->buildCache().shownSize());
    EXPECT_EQ(overview.dataRoot()->text(), engine.engineDir() + "/data");
    // Complete usage data: every bulk action is offered.
    for (const auto action : {OverviewTab::cleanBuildCache, OverviewTab::removeUnusedImages,
                              OverviewTab::removeOrphanVolumes, OverviewTab::safeCleanAll})
        EXPECT_TRUE(overview.action(action)->isEnabled()) << int(action);
    EXPECT_EQ(window.rootView()->brandBar()->shownLiveState(),
              QString("%1 images · %2 volumes").arg(count("imageRows")).arg(count("volumes")));
    rig.model->flushCache();
    EXPECT_TRUE(QFile::exists(*cacheFile));
}

}  // namespace
}  // namespace stowage::test
