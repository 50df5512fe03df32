// The Overview's figures, quick actions and projects table, and the Build
// Cache tab's figures, over complete and incomplete usage data.
#include "SampleInventory.h"
#include "UiTestSupport.h"

#include "ui/BuildCacheTab.h"
#include "ui/OverviewProjectsModel.h"
#include "ui/OverviewTab.h"
#include "ui/SGButton.h"
#include "ui/SummaryCard.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace stowage::test {
namespace {

qint64 bytes(const char* size) { return SizeFormat::parseDockerSize(QString::fromLatin1(size)); }
QString human(qint64 b) { return SizeFormat::humanSize(b); }

template <typename Records>
qint64 totalOf(const Records& records)
{
    qint64 total = 0;
    for (const auto& r : records)
        total += SizeFormat::parseDockerSize(r.size);
    return total;
}
qint64 allVolumeBytes() { return totalOf(sample::volumes()); }

struct Overview {
    explicit Overview(const QList<FakeRule>& rules) : rig(rules), tab(*rig.model)
    {
        rig.alerts.defaultAnswer = false;  // clean-ups ask and are declined
        tab.show();
    }
    bool refresh()
    {
        const bool done = rig.refreshAndWait();
        drainEvents();
        return done;
    }
    SummaryCard& card(OverviewTab::Card c) { return *tab.card(c); }
    SGButton& action(OverviewTab::Action a) { return *tab.action(a); }
    UiRig rig;
    OverviewTab tab;
};

TEST(OverviewTabTest, CompleteDataShowsEveryFigureAndEveryActionAsksToConfirm)
{
    Overview o(sample::rules());
    ASSERT_TRUE(o.refresh());
    // Unused: the two older builds (base images and the dangling one are never offered);
    // orphans: the labelled and the anonymous dangling volume. "Safe to remove" is what Safe
    // Clean All removes: of the orphans only the anonymous one.
    const qint64 unused = bytes("305MB") + bytes("181MB");
    const qint64 orphans = bytes("410MB") + bytes("256MB");
    const qint64 reclaimable = unused + bytes("256MB") + bytes("2.8GB");

    const struct {
        OverviewTab::Card card;
        QString value, subtitle;
    } cards[] = {
        {OverviewTab::containersCard, "9", "5 running"},
        // The engine's own total and count, not the rows' sizes summed.
        {OverviewTab::imagesCard, human(bytes("3.9GB")), "12 total"},
        {OverviewTab::volumesCard, human(allVolumeBytes()), "9 total"},
        {OverviewTab::buildCacheCard, "3.4 GB", "Reclaimable: 2.8 GB"},
        {OverviewTab::reclaimableCard, human(reclaimable), "Safe to remove"},
    };
    for (const auto& c : cards) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(o.card(c.card).value(), c.value);
        EXPECT_EQ(o.card(c.card).subtitle(), c.subtitle);
    }
    EXPECT_EQ(o.tab.dataRoot()->text(), "/var/lib/docker");

    const struct {
        OverviewTab::Action action;
        QString text;
        bool prominent;
    } actions[] = {
        {OverviewTab::cleanBuildCache, "Clean Build Cache (2.8 GB)", false},
        {OverviewTab::removeUnusedImages, "Remove Unused Images (" + human(unused) + ")", false},
        {OverviewTab::removeOrphanVolumes, "Remove Orphan Volumes (" + human(orphans) + ")", false},
        {OverviewTab::safeCleanAll, "Safe Clean All (" + human(reclaimable) + ")", true},
    };
    for (const auto& a : actions) {
        SCOPED_TRACE(a.text.toStdString());
        EXPECT_EQ(o.action(a.action).text(), a.text);
        EXPECT_TRUE(o.action(a.action).isEnabled());
        EXPECT_EQ(o.action(a.action).isProminent(), a.prominent);
        // Each asks the model, which asks for a confirmation; declined, nothing runs.
        const auto shown = o.rig.alerts.confirms().size();
        o.action(a.action).click();
        EXPECT_EQ(o.rig.alerts.confirms().size(), shown + 1);
        EXPECT_FALSE(o.rig.model->isLoading());
    }
}

TEST(OverviewTabTest, IncompleteDataOffersOnlyTheBuildCacheAndCountsOnlyIt)
{
    Overview o(sample::incompleteRules());
    ASSERT_TRUE(o.refresh());
    ASSERT_FALSE(o.rig.model->usageDataComplete());
    EXPECT_EQ(o.card(OverviewTab::reclaimableCard).value(), human(bytes("2.8GB")));
    EXPECT_EQ(o.action(OverviewTab::removeUnusedImages).text(), "Remove Unused Images (" + human(0) + ")");
    EXPECT_EQ(o.action(OverviewTab::removeOrphanVolumes).text(), "Remove Orphan Volumes (" + human(0) + ")");
    EXPECT_TRUE(o.action(OverviewTab::cleanBuildCache).isEnabled());
    EXPECT_FALSE(o.action(OverviewTab::removeUnusedImages).isEnabled());
    EXPECT_FALSE(o.action(OverviewTab::removeOrphanVolumes).isEnabled());
    EXPECT_FALSE(o.action(OverviewTab::safeCleanAll).isEnabled());
}

TEST(OverviewTabTest, VolumesCardCountsEverySizeTheEngineReported)
{
    // The disk-usage query knows a volume the listing does not show.
    const QString sizes = sample::volumeSizesOut().replace("]}", R"(,{"Name":"ghost","Size":"1GB"}]})");
    Overview o(sample::rules({FakeRule{"system df -v", sizes}}));
    ASSERT_TRUE(o.refresh());
    EXPECT_EQ(o.card(OverviewTab::volumesCard).value(), human(allVolumeBytes() + bytes("1GB")));
    EXPECT_EQ(o.card(OverviewTab::volumesCard).subtitle(), "9 total");
}

TEST(OverviewTabTest, ProjectsTableListsStandaloneFirstAndEachImageOnce)
{
    Overview o(sample::rules());
    ASSERT_TRUE(o.refresh());
    const OverviewProjectsModel& table = *o.tab.projectsModel();
    ASSERT_EQ(table.rowCount(), 4);
    auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < table.columnCount(); ++c)
            cells << table.data(table.index(r, c), Qt::DisplayRole).toString();
        return cells;
    };
    EXPECT_EQ(row(0), QStringList({"(no project)", "2", "1", "1", "alpine:3.19, portainer/portainer-ce:latest"}));
    EXPECT_EQ(row(1), QStringList({"analytics", "2", "0", "2", "analytics-jupyter, postgres:16"}));
    EXPECT_EQ(row(2), QStringList({"blog", "2", "2", "0", "blog-app, redis:7"}));
    EXPECT_EQ(row(3), QStringList({"shop", "3", "2", "1", "postgres:16, shop-web, shop-worker"}));
}

TEST(OverviewTabTest, RunningMeansExactlyRunning)
{
    QList<sample::Container> containers = sample::containers();
    containers[0].state = "restarting";
    containers[1].state = "paused";
    Overview o(sample::rules({FakeRule{"ps -a", sample::containersOut(containers)}}));
    ASSERT_TRUE(o.refresh());
    EXPECT_EQ(o.card(OverviewTab::containersCard).subtitle(), "3 running");
    EXPECT_EQ(OverviewTab::figures(*o.rig.model).running, 3);
}

TEST(BuildCacheTabTest, ShowsTheEngineTextsUnchangedAndTheFallbacks)
{
    const struct {
        const char* name;
        QList<FakeRule> rules;
        QString total, reclaimable;
    } cases[] = {
        {"reported", sample::rules(), "3.4 GB", "2.8 GB"},
        {"query failed", sample::rules({FakeRule{"system df --format", "", "boom", 1}}), "?", "?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UiRig rig(c.rules);
        rig.alerts.defaultAnswer = false;
        BuildCacheTab tab(*rig.model);
        EXPECT_EQ(tab.totalSize()->text(), "0 B");
        EXPECT_EQ(tab.reclaimable()->text(), "0 B");
        ASSERT_TRUE(rig.refreshAndWait());
        EXPECT_EQ(tab.totalSize()->text(), c.total);
        EXPECT_EQ(tab.reclaimable()->text(), c.reclaimable);
        EXPECT_TRUE(tab.clearButton()->isEnabled());
        tab.clearButton()->click();
        EXPECT_EQ(rig.alerts.confirms().size(), 1);
    }
}

}  // namespace
}  // namespace stowage::test
