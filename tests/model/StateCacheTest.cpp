#include "model/StateCache.h"

#include "InventoryFixtures.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace stowage {
namespace {

using test::at;

CachedState fullState()
{
    CachedState s;
    SGContainer web = test::container("web", "shop", "running", "sha256:web", {"data", "data", "cache"});
    web.startedAt = at("2024-05-01T10:11:12.345Z");
    web.finishedAt = at("1999-12-31T23:59:59Z");  // before the 2001 reference date
    web.labels = "com.docker.compose.project=shop,note=ünïcødé \"quoted\"";
    s.containers = {web, test::container("never-inspected", "")};
    s.images = {test::image("sha256:web", "shop-web", std::numeric_limits<qint64>::max())};
    s.volumes = {test::volume("data", "shop")};
    s.volumes[0].sizeBytes = 9007199254740993LL;  // 2^53 + 1: not a double
    s.buildCache = {"1.5GB", 1610612736, "1GB (66%)", -1};
    s.volumeSizes = {{"data", 9007199254740993LL}, {"cache", -1}, {"empty", 0}};
    s.usedImageIDs = {"sha256:web", "sha256:other"};
    s.dockerRoot = "/srv/docker";
    s.savedAt = at("2001-01-02T00:00:01.5Z");
    s.danglingVolumeNames = {"orphan"};
    s.danglingKnown = true;
    s.usageDataComplete = true;
    s.imageLayers = {{"sha256:web", "sha256:parent", 1982256, {"sha256:l1", "sha256:l2"}}};
    s.engineImages = {true, 7, "1.98MB", 1980000};
    return s;
}

QJsonObject encodedObject(const CachedState& s)
{
    return QJsonDocument::fromJson(StateCache::encode(s)).object();
}

QByteArray bytesOf(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

TEST(StateCacheFormat, RoundTripKeepsEveryFieldAndInstant)
{
    const CachedState original = fullState();
    const QByteArray bytes = StateCache::encode(original);
    EXPECT_FALSE(bytes.contains('\n'));
    EXPECT_EQ(StateCache::decode(bytes), original);
    // Dates are seconds since 2001 as numbers.
    EXPECT_EQ(encodedObject(original).value("savedAt").toDouble(), 86401.5);
    // Each flag is read back as written.
    for (const auto flag : {&CachedState::danglingKnown, &CachedState::usageDataComplete}) {
        CachedState changed = original;
        changed.*flag = false;
        EXPECT_EQ(StateCache::decode(StateCache::encode(changed)), changed);
    }
}

TEST(StateCacheFormat, EveryKeyIsRequiredAndTypedButTheImageFactsAndExtraKeysAreIgnored)
{
    const QJsonObject complete = encodedObject(fullState());
    const QStringList optional{"imageLayers", "engineImages"};
    for (const QString& key : complete.keys()) {
        QJsonObject o = complete;
        o.remove(key);
        EXPECT_EQ(StateCache::decode(bytesOf(o)).has_value(), optional.contains(key)) << "without " << key.toStdString();
        // Present, an optional key must have its shape.
        o.insert(key, 5);
        if (optional.contains(key)) {
            EXPECT_FALSE(StateCache::decode(bytesOf(o)).has_value()) << "mistyped " << key.toStdString();
        }
    }
    QJsonObject extra = complete;
    extra.insert("writtenBy", "a newer version");
    EXPECT_EQ(StateCache::decode(bytesOf(extra)), fullState());

    // A mistyped value rejects the whole file.
    const QList<std::pair<QString, QJsonValue>> wrong = {
        {"danglingKnown", "true"}, {"usageDataComplete", 1}, {"dockerRoot", QJsonValue::Null},
        {"savedAt", "2024-06-01T08:00:00Z"}, {"savedAt", 1e300}, {"volumeSizes", QJsonArray{}},
        {"volumeSizes", QJsonObject{{"data", 1.5}}}, {"volumeSizes", QJsonObject{{"data", "10"}}},
        {"volumeSizes", QJsonObject{{"data", 1e19}}}, {"usedImageIDs", QJsonArray{"sha256:a", 2}},
        {"danglingVolumeNames", "orphan"}, {"containers", QJsonObject{}}, {"images", QJsonArray{"sha256:web"}},
    };
    for (const auto& [key, value] : wrong) {
        QJsonObject o = complete;
        o.insert(key, value);
        EXPECT_FALSE(StateCache::decode(bytesOf(o)).has_value())
            << key.toStdString() << " = " << QJsonDocument(QJsonArray{value}).toJson().toStdString();
    }
    const QByteArray bytes = StateCache::encode(fullState());
    for (const QByteArray& damaged : {bytes.left(bytes.size() - 1), bytes.left(bytes.size() / 2), QByteArray(),
                                      QByteArray("[]"), QByteArray("null"), QByteArray("\x00\xff garbage", 10)})
        EXPECT_FALSE(StateCache::decode(damaged).has_value()) << damaged.left(40).toStdString();
}

TEST(StateCacheLocation, IsStateJsonInTheApplicationFolderWhichIsCreatedPrivate)
{
    const test::TempDataHome home;
    const std::optional<QString> file = StateCache::fileURL();
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(QFileInfo(*file).absoluteFilePath(), QDir(home.path()).filePath("Stowage/state.json"));
    EXPECT_EQ(test::fileMode(QFileInfo(*file).absolutePath()), 0700);
}

std::optional<CachedState> readBack(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? StateCache::decode(file.readAll()) : std::nullopt;
}

CachedState numbered(int n)
{
    CachedState s;
    s.dockerRoot = QString::number(n);
    s.volumeSizes.insert(QStringLiteral("v"), n);
    return s;
}

TEST(StateCacheWriter, ManySavesLeaveTheLastSnapshotOnDiskPrivateToTheUser)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("state.json");
    // Left readable by others by an older version.
    QFile(path).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    {
        StateCacheWriter writer(path);
        for (int n = 1; n <= 500; ++n)
            writer.save(numbered(n));
        writer.flush();
        EXPECT_EQ(readBack(path).value_or(CachedState{}).dockerRoot, "500");
        EXPECT_EQ(test::fileMode(path), 0600);

        // A later, smaller snapshot replaces a larger one (a removal shrinking the inventory).
        writer.save(fullState());
        writer.flush();
        writer.save(numbered(7));
        writer.save(numbered(8));
    }  // destruction writes what is pending
    EXPECT_EQ(readBack(path)->dockerRoot, "8");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"state.json"});
}

}  // namespace
}  // namespace stowage
