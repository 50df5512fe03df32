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
    EXPECT_FALSE(rig.model->loadCache());  // no file
    QFile file(rig.cacheFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("{\"containers\": [") > 0);
    file.close();
    EXPECT_FALSE(rig.model->loadCache());
    // An empty inventory loads nothing, but its docker root is taken all the same.
    CachedState nothing;
    nothing.dockerRoot = "/elsewhere";
    EXPECT_FALSE(rig.show(nothing));
    EXPECT_EQ(rig.model->dockerRoot(), "/elsewhere");
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
    ASSERT_TRUE(reloaded.loadCache());
    EXPECT_EQ(reloaded.inventory(), rig.model->inventory());
    EXPECT_TRUE(reloaded.dataStale());
    EXPECT_THAT(reloaded.statusText().toStdString(), StartsWith("Showing cached data from "));
    EXPECT_TRUE(reloaded.statusText().endsWith(" — press Refresh to update."));

    // A cache that says usage was incomplete is reported as such.
    CachedState incomplete;
    incomplete.volumes = {volume("v")};
    ASSERT_TRUE(rig.show(incomplete));
    EXPECT_FALSE(rig.model->usageDataComplete());
    EXPECT_EQ(rig.model->usageDataProblem(), "Loaded from cache — usage was never fully verified. Refresh to check.");
    EXPECT_EQ(rig.model->volumeUsage(incomplete.volumes[0]), Classify::VolumeUsage::unknown);
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
            if (model.cacheSummary() && model.containers().isEmpty())
                summaryShown = model.cacheSummary()->containers == 3;
        });
        model.loadCacheInBackground([&](AppModel::CacheLoad load) { result = load; });
        if (c.refreshFirst)
            model.refresh();  // the read's results arrive later, through the event loop
        ASSERT_TRUE(waitUntil([&] { return result.has_value() && !model.isLoading(); }));
        EXPECT_EQ(*result, c.expected);
        EXPECT_EQ(model.containers().size(), c.containers);
        EXPECT_EQ(summaryShown, c.summaryShown);
        EXPECT_FALSE(model.cacheSummary().has_value());
        EXPECT_EQ(refusals() > refusalsBefore, c.logged);
        EXPECT_FALSE(model.dataStale() && c.refreshFirst);
    }
}

}  // namespace
