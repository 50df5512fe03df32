// The Overview's figures, quick actions and projects table, the warning above
// the lists while usage is unverified, and the Build Cache tab's figures.
#include "UiRig.h"

#include "history/History.h"
#include "history/HistoryStore.h"
#include "text/SizeFormat.h"
#include "ui/buildcache/BuildCacheTab.h"
#include "ui/listing/UsageWarningBanner.h"
#include "ui/overview/GrowthChart.h"
#include "ui/overview/GrowthView.h"
#include "ui/overview/OverviewFiguresSource.h"
#include "ui/overview/OverviewProjectsModel.h"
#include "ui/overview/OverviewTab.h"
#include "ui/widgets/SGButton.h"
#include "ui/widgets/SummaryCard.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QXYSeries>
#include <QListWidget>
#include <QTableView>
#include <QTest>

namespace stowage::test {
namespace {

qint64 bytes(const char* size) { return SizeFormat::parseDockerSize(QString::fromLatin1(size)); }
QString human(qint64 b) { return SizeFormat::humanSize(b); }

qint64 allVolumeBytes(const CachedState& s) { return std::accumulate(s.volumeSizes.begin(), s.volumeSizes.end(), qint64(0)); }

struct Overview {
    explicit Overview(const QList<FakeRule>& rules) : rig(rules), tab(*rig.model)
    {
        rig.alerts.defaultAnswer = false;  // clean-ups ask and are declined
        tab.show();
    }
    SummaryCard& card(OverviewTab::Card c) { return *tab.card(c); }
    SGButton& action(OverviewTab::Action a) { return *tab.action(a); }
    UiRig rig;
    OverviewTab tab;
    UsageWarningBanner& banner = *new UsageWarningBanner(*rig.model, &tab);
};

TEST(OverviewTabTest, CompleteDataShowsEveryFigureTheProjectsAndEveryActionAsksToConfirm)
{
    const CachedState state = records::realistic();
    Overview o(records::dockerRules(state));
    // Before the engine has answered nothing is shown as a fact: no zeros, no guessed data root.
    for (const OverviewTab::Card card : {OverviewTab::containersCard, OverviewTab::imagesCard, OverviewTab::volumesCard,
                                         OverviewTab::buildCacheCard, OverviewTab::reclaimableCard})
        EXPECT_EQ(o.card(card).value(), "—");
    EXPECT_EQ(o.card(OverviewTab::containersCard).subtitle(), "");
    EXPECT_EQ(o.tab.dataRoot()->text(), "—");
    EXPECT_EQ(o.action(OverviewTab::safeCleanAll).text(), "Safe Clean All (—)");
    ASSERT_TRUE(o.rig.refreshAndWait());
    EXPECT_FALSE(o.banner.isVisible());
    // Unused: the older build, the image of no project and the dangling image (base images are
    // never offered); orphans: the labelled and the anonymous dangling volumes. "Safe to remove"
    // is what Safe Clean All removes: of the orphans only the anonymous ones.
    const qint64 unused = bytes("498MB") + bytes("310MB") + bytes("120MB");
    const qint64 orphans = bytes("700MB") + bytes("45MB") + bytes("256MB") + bytes("1MB");
    const qint64 reclaimable = unused + bytes("256MB") + bytes("1MB") + bytes("2.8GB");
    const struct { OverviewTab::Card card; QString value, subtitle; } cards[] = {
        {OverviewTab::containersCard, "13", "7 running"},
        // The engine's own total and count, not the rows' sizes summed.
        {OverviewTab::imagesCard, human(bytes("11GB")), "16 total"},
        {OverviewTab::volumesCard, human(allVolumeBytes(state)), "15 total"},
        {OverviewTab::buildCacheCard, "3.4 GB", "Reclaimable: 2.8 GB"},
        {OverviewTab::reclaimableCard, human(reclaimable), "Safe to remove"},
    };
    for (const auto& c : cards) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(o.card(c.card).value(), c.value);
        EXPECT_EQ(o.card(c.card).subtitle(), c.subtitle);
    }
    EXPECT_EQ(o.tab.dataRoot()->text(), "/var/lib/docker");

    const struct { OverviewTab::Action action; QString text; bool prominent; } actions[] = {
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

    // Standalone containers first, then the projects by name; each image once.
    const OverviewProjectsModel& table = *o.tab.projectsModel();
    QStringList rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.columnCount(); ++c)
            cells << table.data(table.index(r, c), Qt::DisplayRole).toString();
        rows << cells.join(" | ");
    }
    EXPECT_EQ(rows, (QStringList{"(no project) | 2 | 1 | 1 | portainer/portainer-ce, redis:7-alpine",
                                 "analytics | 3 | 3 | 0 | analytics-notebook, analytics-scheduler, metabase/metabase:v0.49",
                                 "blog | 3 | 0 | 3 | blog-app, mariadb:11, redis:7-alpine",
                                 "ml-lab | 1 | 0 | 1 | ml-lab-trainer", "oldshop | 0 | 0 | 0 | ",
                                 "shop | 4 | 3 | 1 | postgres:16, redis:7-alpine, shop-web, shop-worker"}));
}

TEST(OverviewTabTest, IncompleteDataOffersOnlyTheBuildCacheTheWarningSaysWhyAndTheFiguresAreTheEngines)
{
    CachedState state = records::realistic();
    state.containers[0].state = "restarting";
    state.containers[1].state = "paused";
    QList<FakeRule> rules = records::dockerRules(state, {FakeRule{"inspect", records::inspectOut(state, 11),
                                                                  "Error: No such object: " + state.containers[11].id + "\n", 1}});
    // The disk-usage query knows a volume the listing does not show.
    rules[4].out.replace("]}", R"(,{"Name":"ghost","Size":"1GB"}]})");  // system df -v
    Overview o(rules);
    EXPECT_FALSE(o.banner.isVisible());  // no volumes yet
    ASSERT_TRUE(o.rig.refreshAndWait());
    EXPECT_EQ(o.card(OverviewTab::containersCard).subtitle(), "5 running");  // exactly running
    EXPECT_EQ(o.card(OverviewTab::volumesCard).value(), human(allVolumeBytes(state) + bytes("1GB")));
    EXPECT_EQ(o.card(OverviewTab::volumesCard).subtitle(), "15 total");
    ASSERT_FALSE(o.rig.model->inventory().usageDataComplete);
    EXPECT_TRUE(o.banner.isVisible());
    EXPECT_EQ(o.banner.detailText(), "2 of 13 containers could not be inspected — Error: No such object: "
                                         + state.containers[11].id);
    EXPECT_EQ(o.card(OverviewTab::reclaimableCard).value(), human(bytes("2.8GB")));
    EXPECT_EQ(o.action(OverviewTab::removeUnusedImages).text(), "Remove Unused Images (" + human(0) + ")");
    EXPECT_EQ(o.action(OverviewTab::removeOrphanVolumes).text(), "Remove Orphan Volumes (" + human(0) + ")");
    EXPECT_TRUE(o.action(OverviewTab::cleanBuildCache).isEnabled());
    EXPECT_FALSE(o.action(OverviewTab::removeUnusedImages).isEnabled());
    EXPECT_FALSE(o.action(OverviewTab::removeOrphanVolumes).isEnabled());
    EXPECT_FALSE(o.action(OverviewTab::safeCleanAll).isEnabled());
}

TEST(OverviewTabTest, ALargeInventorysFiguresAreWorkedOutAsideAndTheLastChangesFiguresAreShown)
{
    records::StateBuilder builder = records::realisticBuilder();
    for (int i = 0; i < OverviewFiguresSource::inlineRows; ++i)
        builder.volume(QString("bulk-%1").arg(i), "", "1MB", true);
    Overview o(records::dockerRules(builder.build()));
    ASSERT_TRUE(o.rig.refreshAndWait());  // each listing of the refresh changed the figures on the way
    const OverviewFigures f = o.rig.model->overviewFigures();
    const auto volumes = [&] { return o.card(OverviewTab::volumesCard).value(); };
    ASSERT_TRUE(waitUntil([&] { return volumes() == human(f.volumeBytes); })) << volumes().toStdString();
    EXPECT_EQ(o.card(OverviewTab::reclaimableCard).value(), formatRange(f.reclaimableBytes));
    EXPECT_EQ(o.action(OverviewTab::removeOrphanVolumes).text(), "Remove Orphan Volumes (" + human(f.orphanBytes) + ")");
}

// The Growth section over a few days of scripted history: Docker's total and a
// chosen project drawn, the removal marked, the table by growth leading to its item.
TEST(OverviewTabTest, GrowthDrawsTheHistoryAndItsTableLeadsToWhatGrew)
{
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime freedAt = now.addSecs(-36 * 3600);  // marked on the line, half-way from 2 to 3 GB
    {
        auto store = HistoryStore::open(dir.filePath("history.db"), nullptr);
        for (const qint64 day : {3, 2, 1}) {
            HistorySnapshot s{History::engineName(), now.addDays(-day)};
            s.totals[int(HistoryKind::images)] = {(4 - day) * 1000'000'000, 3};  // 1, 2 then 3 GB
            s.projects = {{"shop", {HistoryAmount{(4 - day) * 100, 1}}}, {"blog", {HistoryAmount{900, 1}}}};
            s.namedVolumes = {{"shop_db", "shop", (4 - day) * 5000}, {"blog_db", "blog", 7000 - day}};
            ASSERT_TRUE(store->record(s, nullptr));
        }
        ASSERT_TRUE(store->recordRemoval({History::engineName(), freedAt, "freed by Safe Clean All", 5}, nullptr));
    }
    History history(dir.filePath("history.db"), [](const QString& problem) { ADD_FAILURE() << problem.toStdString(); });
    GrowthView view(&history);
    view.show();
    const auto lines = [&] {
        EXPECT_TRUE(waitUntil([&] { return !view.readPending(); }));
        QList<QList<QPointF>> points;
        for (QAbstractSeries* series : view.chart().series())
            points << static_cast<QXYSeries*>(series)->points();
        return points;
    };
    const double x3 = now.addDays(-3).toMSecsSinceEpoch(), x2 = now.addDays(-2).toMSecsSinceEpoch(),
                 x1 = now.addDays(-1).toMSecsSinceEpoch();
    EXPECT_EQ(lines(), (QList<QList<QPointF>>{{{x3, 1}, {x2, 2}, {x1, 3}}, {{double(freedAt.toMSecsSinceEpoch()), 2.5}}}));
    ASSERT_EQ(view.projectList().count(), 2);
    EXPECT_EQ(view.projectList().item(1)->text(), "shop");
    view.projectList().item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(lines().value(1), (QList<QPointF>{{x3, 1e-7}, {x2, 2e-7}, {x1, 3e-7}}));  // in GB, as the axis

    const auto since = [](const QDateTime& at) { return "Grew the most since " + QLocale().toString(at.toLocalTime(), "d MMM"); };
    EXPECT_EQ(view.tableHeading().text(), since(now.addDays(-7)));
    QStringList rows;
    for (int row = 0; row < view.table().model()->rowCount(); ++row)
        rows << view.table().model()->index(row, 0).data().toString() + " " + view.table().model()->index(row, 2).data().toString();
    EXPECT_EQ(rows, (QStringList{"shop_db +10.0 KB", "shop +200.0 B", "blog_db +2.0 B"}));  // what kept its size is left out
    QList<std::pair<DiskNodeKind, QString>> chosen;
    QObject::connect(&view, &GrowthView::itemChosen, [&](DiskNodeKind kind, const QString& id) { chosen.append({kind, id}); });
    for (const int row : {0, 1}) {
        view.table().setCurrentIndex(view.table().model()->index(row, 1));
        QTest::keyClick(&view.table(), Qt::Key_Return);
    }
    EXPECT_EQ(chosen, (QList<std::pair<DiskNodeKind, QString>>{{DiskNodeKind::volumes, "shop_db"}, {DiskNodeKind::project, "shop"}}));
    view.setPeriod(GrowthView::Period::all);
    EXPECT_EQ(lines().size(), 3);
    EXPECT_EQ(view.tableHeading().text(), since(now.addDays(-3)));  // the first refresh kept

    // An empty history, another engine's points only, and none at all say so instead of drawing.
    History empty(dir.filePath("empty.db"), [](const QString&) {});
    const std::tuple<History*, QString, QString> nothing[] = {
        {&empty, History::engineName(), "No history yet: each refresh adds a point."},
        {&history, "build-server", "No history yet: each refresh adds a point."},
        {nullptr, History::engineName(), "No history is kept: there is no data folder to keep it in."}};
    for (const auto& [kept, engine, notice] : nothing) {
        GrowthView none(kept, engine);
        EXPECT_TRUE(waitUntil([&] { return !none.readPending(); }));
        EXPECT_EQ(none.notice().text(), notice);
    }
}

TEST(BuildCacheTabTest, ShowsTheEngineTextsOrAQuestionMarkWhenTheQueryFailed)
{
    for (const bool failed : {false, true}) {
        const QList<FakeRule> failure{FakeRule{"system df --format", "", "boom", 1}};
        UiRig rig(records::dockerRules(records::realistic(), failed ? failure : QList<FakeRule>{}));
        rig.alerts.defaultAnswer = false;
        BuildCacheTab tab(*rig.model);
        EXPECT_EQ(tab.totalSize()->text(), "0 B");
        ASSERT_TRUE(rig.refreshAndWait());
        EXPECT_EQ(tab.totalSize()->text(), failed ? "?" : "3.4 GB");
        EXPECT_EQ(tab.reclaimable()->text(), failed ? "?" : "2.8 GB");
        tab.clearButton()->click();
        EXPECT_EQ(rig.alerts.confirms().size(), 1);
    }
}

}  // namespace
}  // namespace stowage::test
