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

TEST(AppModelCache, BackgroundLoadReportsAndNeverReplacesNewerData)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->flushCache();
    CachedState older;
    older.containers = {container("from-the-cache", "old")};

    const QString pipe = rig.cacheDir.filePath("slow.json");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    const struct {
        const char* name;
        QString file;
        bool refreshFirst;  // a refresh runs to its end while the file is still being read
        AppModel::CacheLoad expected;
        qsizetype containers;
    } cases[] = {
        {"loaded", rig.cacheFile(), false, AppModel::CacheLoad::loaded, 3},
        {"missing", rig.cacheDir.filePath("missing.json"), false, AppModel::CacheLoad::nothing, 0},
        {"after a refresh", pipe, true, AppModel::CacheLoad::superseded, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppModel model(*rig.cli, AppModel::Options{.cacheFile = std::optional<QString>(c.file)});
        std::optional<AppModel::CacheLoad> result;
        model.loadCacheInBackground([&](AppModel::CacheLoad load) { result = load; });
        if (c.refreshFirst) {
            QFile pipeEnd(c.file);  // meets the reading thread; the refresh's own save replaces the path only
            ASSERT_TRUE(pipeEnd.open(QIODevice::WriteOnly));
            model.refresh();
            ASSERT_TRUE(waitUntil([&] { return !model.isLoading(); }));
            pipeEnd.write(StateCache::encode(older));  // the read ends only now
        }
        ASSERT_TRUE(waitUntil([&] { return result.has_value(); }));
        EXPECT_EQ(*result, c.expected);
        EXPECT_EQ(model.containers().size(), c.containers);
        EXPECT_FALSE(model.dataStale() && c.refreshFirst);
    }
}

}  // namespace
