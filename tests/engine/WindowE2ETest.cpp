// The window end to end: started on an empty cache (a fresh data folder), it refreshes by itself
// from the private engine, its Overview shows the fixture's counts, it leaves its snapshot, and
// "Delete entire project" pressed on a project card removes that project from the engine and the
// card from the tab.

#include "EngineRig.h"

#include "cache/StateCache.h"
#include "support/RecordingDesktop.h"
#include "text/SizeFormat.h"
#include "ui/overview/OverviewTab.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/projects/ProjectsTab.h"
#include "ui/shell/BrandBar.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/RootView.h"
#include "ui/widgets/SGButton.h"
#include "ui/widgets/SummaryCard.h"

#include <QFile>
#include <QLabel>
#include <QListView>
#include <QTest>

namespace stowage::test {
namespace {

using WindowE2ETest = FreshFixtureTest;

TEST_F(WindowE2ETest, FirstStartShowsTheFixtureAndACardsDeleteRemovesItsProject)
{
    TempDataHome dataHome;
    const auto cacheFile = StateCache::fileURL();
    ASSERT_TRUE(cacheFile.has_value() && cacheFile->startsWith(dataHome.path()));
    ASSERT_FALSE(QFile::exists(*cacheFile));

    EngineModelRig rig(engine, {.cacheFile = *cacheFile});
    RecordingDesktop desktop;
    MainWindow window(*rig.model, rig.log, desktop);
    window.resize(1200, 900);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return rig.model->statusText().startsWith("Loaded: "); }, std::chrono::seconds(90)))
        << rig.model->statusText().toStdString();
    ASSERT_TRUE(rig.waitIdle());
    drainEvents(std::chrono::milliseconds(100));
    ASSERT_TRUE(rig.model->inventory().usageDataComplete) << rig.model->inventory().usageDataProblem.toStdString();

    auto& overview = *static_cast<OverviewTab*>(window.rootView()->tabView(RootView::Tab::overview));
    EXPECT_EQ(overview.card(OverviewTab::containersCard)->value(), QString::number(count("containers")));
    // The engine's own image figures (docker system df): build layers are not counted.
    const EngineImageTotals images = engine.imageTotals();
    EXPECT_EQ(overview.card(OverviewTab::imagesCard)->subtitle(), QString::number(images.count) + " total");
    EXPECT_EQ(overview.card(OverviewTab::imagesCard)->value(), SizeFormat::humanSize(images.sizeBytes));
    EXPECT_EQ(overview.card(OverviewTab::buildCacheCard)->value(), rig.model->inventory().buildCache.shownSize());
    EXPECT_EQ(overview.dataRoot()->text(), engine.engineDir() + "/data");
    // Complete usage data: every bulk action is offered.
    for (const auto action : {OverviewTab::cleanBuildCache, OverviewTab::removeUnusedImages,
                              OverviewTab::removeOrphanVolumes, OverviewTab::safeCleanAll})
        EXPECT_TRUE(overview.action(action)->isEnabled()) << int(action);
    EXPECT_EQ(window.rootView()->brandBar()->shownLiveState(),
              QString("%1 images · %2 volumes").arg(engine.imageTotals().count).arg(count("volumes")));
    rig.model->flushCache();
    EXPECT_TRUE(QFile::exists(*cacheFile));

    // sgfx-beta runs redis:7, which sgfx-delta runs too, and mounts sgfx-alpha's shared-data volume.
    const DockerState before = DockerState::read(engine);
    const QString betaApi = engine.imageId("sgfx-beta_api:latest");
    const QSet<QString> betaContainers = containerIdsOf({"sgfx-beta_api_1", "sgfx-beta_cache_1"});
    window.rootView()->setTab(RootView::Tab::projects);
    auto& tab = *static_cast<ProjectsTab*>(window.rootView()->tabView(RootView::Tab::projects));
    drainEvents();
    const QRect button = tab.actionRect("sgfx-beta", CardAction::deleteProject);
    ASSERT_FALSE(button.isEmpty());
    QTest::mouseClick(tab.list().viewport(), Qt::LeftButton, {}, button.center());
    ASSERT_TRUE(waitUntil([&] { return !rig.alerts.confirms().isEmpty(); }));
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_TRUE(rig.alerts.confirms()[0].message.contains("\n\nKEPT (base / shared — not removed):\n  • redis:7\n"));

    const DockerState after = DockerState::read(engine);
    EXPECT_EQ(after.containerIds, before.containerIds - betaContainers);
    EXPECT_EQ(after.imageRefs, before.imageRefs - QSet<QString>{"sgfx-beta_api:latest"});
    EXPECT_EQ(after.volumes, before.volumes - QSet<QString>{"sgfx-beta_state"});
    EXPECT_EQ(rig.itemsOf({"rmi"}), QStringList{betaApi});
    EXPECT_EQ(rig.itemsOf({"volume", "rm"}), QStringList{"sgfx-beta_state"});
    tab.render();
    EXPECT_EQ(tab.cards().rowOf("sgfx-beta"), -1);
    EXPECT_GE(tab.cards().rowOf("sgfx-alpha"), 0);
}

}  // namespace
}  // namespace stowage::test
