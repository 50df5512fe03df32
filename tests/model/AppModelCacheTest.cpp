// The model's use of the state cache: what a load restores and announces, and
// what it leaves alone when there is nothing usable on disk.

#include "model/InventoryFixtures.h"
#include "model/ModelTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>

using namespace stowage;
using namespace stowage::test;
using ::testing::StartsWith;

namespace {

TEST(AppModelCache, NothingUsableOnDiskLeavesTheModelUntouched)
{
    ModelRig rig;
    EXPECT_FALSE(AppModelTestAccess::loadCache(*rig.model));  // no file
    QFile file(rig.cacheFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("{\"containers\": [") > 0);
    file.close();
    EXPECT_FALSE(AppModelTestAccess::loadCache(*rig.model));
    // An empty inventory loads nothing, but its docker root is taken all the same.
    CachedState nothing;
    nothing.dockerRoot = "/elsewhere";
    EXPECT_FALSE(rig.show(nothing));
    EXPECT_EQ(rig.model->inventory().dockerRoot, "/elsewhere");
    EXPECT_TRUE(rig.statuses.isEmpty());
    EXPECT_FALSE(rig.model->dataStale());
    EXPECT_EQ(rig.model->statusText(), "Ready");
}

TEST(AppModelCache, ARefreshIsSavedAndReloadsIntoTheSameClassification)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->flushCache();
    AppModel reloaded(*rig.cli, AppModel::Options{.cacheFile = std::optional<QString>(rig.cacheFile())});
    ASSERT_TRUE(AppModelTestAccess::loadCache(reloaded));
    EXPECT_EQ(reloaded.inventory(), rig.model->inventory());
    EXPECT_TRUE(reloaded.dataStale());
    EXPECT_THAT(reloaded.statusText().toStdString(), StartsWith("Showing cached data from "));
    EXPECT_TRUE(reloaded.statusText().endsWith(" — press Refresh to update."));

    // A cache that says usage was incomplete is reported as such.
    CachedState incomplete;
    incomplete.volumes = {volume("v")};
    ASSERT_TRUE(rig.show(incomplete));
    EXPECT_FALSE(rig.model->inventory().usageDataComplete);
    EXPECT_EQ(rig.model->inventory().usageDataProblem, "Loaded from cache — usage was never fully verified. Refresh to check.");
    EXPECT_EQ(rig.model->classification().volumeUsage(incomplete.volumes[0]), Classify::VolumeUsage::unknown);
}

TEST(AppModelCache, BackgroundLoadShowsTheSummaryFirstReportsAndNeverReplacesNewerData)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->flushCache();

    const QString pipe = rig.cacheDir.filePath("pipe");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    const QString zero = rig.cacheDir.filePath("zero");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const struct {
        const char* name;
        QString file;
        bool refreshFirst;  // a refresh starts before the read has been handed over
        AppModel::CacheLoad expected;
        qsizetype containers;
        bool summaryShown;
        bool logged;  // a line says why the file was ignored
    } cases[] = {
        {"loaded", rig.cacheFile(), false, AppModel::CacheLoad::loaded, 3, true, false},
        {"missing", rig.cacheDir.filePath("missing"), false, AppModel::CacheLoad::nothing, 0, false, false},
        {"a FIFO", pipe, false, AppModel::CacheLoad::nothing, 0, false, true},
        {"a link to a device", zero, false, AppModel::CacheLoad::nothing, 0, false, true},
        {"after a refresh", rig.cacheFile(), true, AppModel::CacheLoad::superseded, 3, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto refusals = [&] { return rig.logLines().filter("warn The state cache").size(); };
        const qsizetype refusalsBefore = refusals();
        AppModel model(*rig.cli, AppModel::Options{.cacheFile = std::optional<QString>(c.file)});
        std::optional<AppModel::CacheLoad> result;
        bool summaryShown = false;
        QObject::connect(&model, &AppModel::cacheSummaryChanged, [&] {
            if (model.cacheSummary() && model.inventory().containers.isEmpty())
                summaryShown = model.cacheSummary()->containers == 3;
        });
        model.loadCacheInBackground([&](AppModel::CacheLoad load) { result = load; });
        if (c.refreshFirst)
            model.refresh();  // the read's results arrive later, through the event loop
        ASSERT_TRUE(waitUntil([&] { return result.has_value() && !model.isLoading(); }));
        EXPECT_EQ(*result, c.expected);
        EXPECT_EQ(model.inventory().containers.size(), c.containers);
        EXPECT_EQ(summaryShown, c.summaryShown);
        EXPECT_FALSE(model.cacheSummary().has_value());
        EXPECT_EQ(refusals() > refusalsBefore, c.logged);
        EXPECT_FALSE(model.dataStale() && c.refreshFirst);
    }
}

}  // namespace

namespace {

// A removal confirms only from figures this session read less than a minute ago:
// from the cache or older ones it reads them again first and names the sizes found now.
TEST(AppModelCache, ARemovalConfirmsFromFiguresReadJustBeforeIt)
{
    const auto sizes = [](const QString& size) {
        return FakeRule{"system df -v", R"({"Volumes":[{"Name":"shop_cache","Size":")" + size + "\"}]}"};
    };
    const struct { const char* name; bool fromCache; int secondsLater; QString shown; } cases[] = {
        {"shown from the cache", true, 0, "  shop_cache (5.0 MB)"},
        {"read 61 s ago", false, 61, "  shop_cache (5.0 MB)"},
        {"read 30 s ago", false, 30, "  shop_cache (9.0 B)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDateTime now = QDateTime::currentDateTimeUtc();
        ModelRig rig;
        rig.clock = [&] { return now; };
        rig.rebuild(sample::rules({sizes("9B")}));
        ASSERT_TRUE(rig.refreshAndWait());
        rig.model->flushCache();
        // The volume received data since.
        rig.docker.setRules(sample::rules({sizes("5MB")}));
        if (c.fromCache) {
            ASSERT_TRUE(AppModelTestAccess::loadCache(*rig.model));
        }
        now = now.addSecs(c.secondsLater);
        rig.alerts.defaultAnswer = false;
        rig.model->removals().cleanOrphanVolumes();
        ASSERT_TRUE(rig.waitIdle());
        ASSERT_EQ(rig.alerts.confirms().size(), 1);
        EXPECT_THAT(rig.alerts.confirms()[0].details.split('\n'), ::testing::Contains(c.shown));
        const bool refreshed = c.shown.contains("5.0");  // read again
        EXPECT_EQ(rig.docker.callsStartingWith("ps -a").size(), refreshed ? 2 : 1);
        EXPECT_EQ(rig.statuses.contains("Reading current figures before confirming…"), refreshed);
    }

    // A refresh that fails refuses with its reason, and nothing is asked.
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->flushCache();
    ASSERT_TRUE(AppModelTestAccess::loadCache(*rig.model));
    rig.docker.setRules(sample::rules({FakeRule{"ps -a", {}, "Cannot connect to the Docker daemon", 1}}));
    rig.model->removals().removeProjectContainers("shop");
    ASSERT_TRUE(rig.waitIdle());
    ASSERT_EQ(rig.alerts.shown.size(), 1);
    EXPECT_EQ(rig.alerts.shown[0].title, "Nothing removed");
    EXPECT_THAT(rig.alerts.shown[0].message.toStdString(), ::testing::HasSubstr("Cannot connect to the Docker daemon"));
}

}  // namespace
