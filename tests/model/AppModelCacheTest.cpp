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

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(AppModelCache, NothingUsableOnDiskLeavesTheModelUntouched)
{
    ModelRig rig;
    EXPECT_FALSE(rig.model->loadCache());  // no file
    writeFile(rig.cacheFile(), "{\"containers\": [");  // truncated
    EXPECT_FALSE(rig.model->loadCache());
    writeFile(rig.cacheFile(), "[]");
    EXPECT_FALSE(rig.model->loadCache());
    EXPECT_TRUE(rig.statuses.isEmpty());
    EXPECT_FALSE(rig.model->dataStale());
    EXPECT_EQ(rig.model->statusText(), "Ready");
}

TEST(AppModelCache, ARefreshIsSavedAndReloadsIntoTheSameClassification)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->flushCache();
    const Inventory refreshed = rig.model->inventory();
    const auto unused = rig.model->unusedImages();
    const auto orphans = rig.model->orphanVolumes();

    AppModel::Options options;
    options.cacheFile = std::optional<QString>(rig.cacheFile());
    AppModel reloaded(*rig.cli, options);
    ASSERT_TRUE(reloaded.loadCache());
    EXPECT_EQ(reloaded.inventory(), refreshed);
    EXPECT_EQ(reloaded.unusedImages(), unused);
    EXPECT_EQ(reloaded.orphanVolumes(), orphans);
    EXPECT_EQ(reloaded.index(), rig.model->index());
    EXPECT_TRUE(reloaded.dataStale());
    EXPECT_THAT(reloaded.statusText().toStdString(), StartsWith("Showing cached data from "));
    EXPECT_TRUE(reloaded.statusText().endsWith(" — press Refresh to update."));
}

TEST(AppModelCache, AnIncompleteOrEmptyCacheIsReportedAsSuch)
{
    ModelRig rig;
    CachedState incomplete;
    SGVolume volume;
    volume.name = "v";
    incomplete.volumes = {volume};
    writeFile(rig.cacheFile(), StateCache::encode(incomplete));
    ASSERT_TRUE(rig.model->loadCache());
    EXPECT_FALSE(rig.model->usageDataComplete());
    EXPECT_EQ(rig.model->usageDataProblem(), "Loaded from cache — usage was never fully verified. Refresh to check.");
    EXPECT_EQ(rig.model->volumeUsage(volume), Classify::VolumeUsage::unknown);

    ModelRig empty;
    CachedState nothing;
    nothing.dockerRoot = "/elsewhere";
    writeFile(empty.cacheFile(), StateCache::encode(nothing));
    EXPECT_FALSE(empty.model->loadCache());
    EXPECT_EQ(empty.model->dockerRoot(), "/elsewhere");  // assigned all the same
    EXPECT_FALSE(empty.model->dataStale());
    EXPECT_EQ(empty.model->statusText(), "Ready");
}

TEST(AppModelCache, BackgroundLoadReportsAndNeverReplacesNewerData)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->flushCache();
    CachedState older;
    older.containers = {container("from-the-cache", "old")};

    struct Case {
        const char* name;
        QString file;
        bool refreshFirst;  // a refresh runs to its end while the file is still being read
        AppModel::CacheLoad expected;
        qsizetype containers;
    };
    const QString pipe = rig.cacheDir.filePath("slow.json");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    const Case cases[] = {
        {"loaded", rig.cacheFile(), false, AppModel::CacheLoad::loaded, 3},
        {"missing", rig.cacheDir.filePath("missing.json"), false, AppModel::CacheLoad::nothing, 0},
        {"after a refresh", pipe, true, AppModel::CacheLoad::superseded, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppModel::Options options;
        options.cacheFile = std::optional<QString>(c.file);
        AppModel model(*rig.cli, options);
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
