// The model's use of the state cache: what a load restores and announces, and
// what it leaves alone when there is nothing usable on disk.

#include "model/ModelTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>

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

TEST(AppModelCache, BackgroundLoadAppliesOnTheUiThreadAndReports)
{
    ModelRig rig;
    ASSERT_TRUE(rig.refreshAndWait());
    rig.model->flushCache();

    AppModel::Options options;
    options.cacheFile = std::optional<QString>(rig.cacheFile());
    AppModel reloaded(*rig.cli, options);
    std::optional<bool> result;
    reloaded.loadCacheInBackground([&](bool loaded) { result = loaded; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }));
    EXPECT_TRUE(*result);
    EXPECT_EQ(reloaded.containers().size(), 3);

    options.cacheFile = std::optional<QString>(rig.cacheDir.filePath("missing.json"));
    AppModel fresh(*rig.cli, options);
    result.reset();
    fresh.loadCacheInBackground([&](bool loaded) { result = loaded; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }));
    EXPECT_FALSE(*result);
}

}  // namespace
