#include "docker/Records.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <unordered_set>

using namespace stowage;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

SGContainer sampleContainer()
{
    SGContainer c;
    c.id = "3f2a9c1d0b7e";
    c.name = "shop-web-1";
    c.image = "shop-web";
    c.status = "Up 2 hours";
    c.state = "running";
    c.size = "0B";
    c.ports = "0.0.0.0:8080->80/tcp";
    c.created = "2024-05-01 10:11:12 +0200 CEST";
    c.labels = "com.docker.compose.project=shop";
    c.project = "shop";
    c.workingDir = "/Users/me/shop";
    c.configFiles = "/Users/me/shop/compose.yaml";
    c.imageID = "sha256:0123456789abcdef";
    c.mounts = {"shop_data", "3b1f"};
    c.startedAt = utc(2024, 5, 1, 10, 11, 12, 345);
    c.finishedAt = utc(2024, 4, 30, 9, 0, 0);
    return c;
}

// Serialises through text, as the state cache does.
QJsonObject throughText(const QJsonObject& o)
{
    return QJsonDocument::fromJson(QJsonDocument(o).toJson(QJsonDocument::Compact)).object();
}

QJsonObject parseObject(const char* text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

}  // namespace

TEST(Records, EqualityAndHashCoverEveryField)
{
    const SGContainer base = sampleContainer();
    const std::vector<std::function<void(SGContainer&)>> changes = {
        [](SGContainer& c) { c.id += "x"; },
        [](SGContainer& c) { c.configFiles += "x"; },
        [](SGContainer& c) { c.imageID += "x"; },
        [](SGContainer& c) { c.mounts.append("more"); },
        [](SGContainer& c) { c.mounts = QStringList{"3b1f", "shop_data"}; },  // order matters
        [](SGContainer& c) { c.startedAt.reset(); },
        [](SGContainer& c) { c.finishedAt = c.finishedAt->addMSecs(1); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        SGContainer changed = base;
        changes[i](changed);
        EXPECT_NE(changed, base) << "change " << i;
        EXPECT_NE(qHash(changed), qHash(base)) << "change " << i;
    }
    SGContainer copy = base;
    EXPECT_EQ(copy, base);
    EXPECT_EQ(qHash(copy), qHash(base));
}

TEST(Records, SameInstantInAnotherZoneIsEqualAndHashesAlike)
{
    SGContainer a = sampleContainer();
    SGContainer b = a;
    b.startedAt = a.startedAt->toOffsetFromUtc(7200);
    EXPECT_EQ(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
}

TEST(Records, UsableInStdAndQtHashContainers)
{
    SGImage image{"sha256:aa", "shop-api", "latest", "1.2GB", 1288490188, "2 days ago"};
    SGImage other = image;
    other.tag = "v2";
    std::unordered_set<SGImage> set{image, image, other};
    EXPECT_EQ(set.size(), 2u);

    ProjectMeta meta;
    meta.images = {image};
    ProjectMeta meta2 = meta;
    meta2.builtImages = {image};
    EXPECT_NE(qHash(meta), qHash(meta2));
    EXPECT_NE(qHash(ContainerDetail{"a", {}, {}, {}}), qHash(ContainerDetail{"b", {}, {}, {}}));
}

TEST(RecordsJson, ContainerRoundTripsWithAndWithoutDates)
{
    SGContainer withDates = sampleContainer();
    SGContainer withoutDates = sampleContainer();
    withoutDates.startedAt.reset();
    withoutDates.finishedAt.reset();

    for (const SGContainer& c : {withDates, withoutDates}) {
        const QJsonObject o = throughText(toJson(c));
        EXPECT_EQ(o.contains("startedAt"), c.startedAt.has_value());
        const auto back = containerFromJson(o);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, c);
    }
}

TEST(RecordsJson, KeysAreTheFieldNames)
{
    const QStringList keys = toJson(sampleContainer()).keys();
    for (const char* key : {"id", "name", "image", "status", "state", "size", "ports", "created", "labels",
                            "project", "workingDir", "configFiles", "imageID", "mounts", "startedAt", "finishedAt"})
        EXPECT_TRUE(keys.contains(key)) << key;
    EXPECT_EQ(keys.size(), 16);
    EXPECT_EQ(toJson(BuildCache{}).keys(), (QStringList{"reclaimable", "reclaimableBytes", "size", "sizeBytes"}));
}

TEST(RecordsJson, SizesAreExactBeyondDoublePrecision)
{
    const qint64 big = 9007199254740993LL;  // 2^53 + 1: not representable as a double
    const SGImage image{"sha256:aa", "r", "t", "8PB", big, "now"};
    const QByteArray text = QJsonDocument(toJson(image)).toJson(QJsonDocument::Compact);
    EXPECT_TRUE(text.contains("9007199254740993")) << text.constData();
    EXPECT_EQ(imageFromJson(throughText(toJson(image)))->sizeBytes, big);

    const SGVolume volume{"v", "local", "/m", "", "", std::numeric_limits<qint64>::min()};
    EXPECT_EQ(volumeFromJson(throughText(toJson(volume)))->sizeBytes, std::numeric_limits<qint64>::min());
    const BuildCache cache{"1B", std::numeric_limits<qint64>::max(), "0B", -1};
    EXPECT_EQ(buildCacheFromJson(throughText(toJson(cache))), cache);
}

TEST(RecordsJson, StrictReadingRejectsMissingOrMistypedKeys)
{
    const QJsonObject good = toJson(sampleContainer());
    for (const char* key : {"id", "labels", "imageID", "mounts", "configFiles"}) {
        QJsonObject missing = good;
        missing.remove(key);
        EXPECT_FALSE(containerFromJson(missing).has_value()) << "missing " << key;
        QJsonObject mistyped = good;
        mistyped.insert(key, 42);
        EXPECT_FALSE(containerFromJson(mistyped).has_value()) << "mistyped " << key;
    }
    QJsonObject badMount = good;
    badMount.insert("mounts", QJsonArray{"a", 1});
    EXPECT_FALSE(containerFromJson(badMount).has_value());
    QJsonObject textDate = good;
    textDate.insert("startedAt", "2024-05-01T10:11:12Z");
    EXPECT_FALSE(containerFromJson(textDate).has_value());

    QJsonObject extra = good;
    extra.insert("somethingNew", true);
    EXPECT_TRUE(containerFromJson(extra).has_value());
    QJsonObject nullDate = good;
    nullDate.insert("finishedAt", QJsonValue::Null);
    ASSERT_TRUE(containerFromJson(nullDate).has_value());
    EXPECT_FALSE(containerFromJson(nullDate)->finishedAt.has_value());
}

TEST(RecordsJson, SizesMustBeIntegersWithinRange)
{
    const struct {
        const char* json;
        bool accepted;
    } cases[] = {
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":"","sizeBytes":12})", true},
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":"","sizeBytes":1e3})", true},
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":"","sizeBytes":1.5})", false},
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":"","sizeBytes":"12"})", false},
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":"","sizeBytes":1e30})", false},
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":"","sizeBytes":9223372036854775808})",
         false},
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":"","sizeBytes":null})", false},
        {R"({"name":"v","driver":"local","mountpoint":"/m","labels":"","project":""})", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(volumeFromJson(parseObject(c.json)).has_value(), c.accepted) << c.json;
}

TEST(RecordsJson, DatesUseSecondsSince2001)
{
    EXPECT_DOUBLE_EQ(toReferenceSeconds(utc(2001, 1, 1, 0, 0, 0)), 0.0);
    EXPECT_DOUBLE_EQ(toReferenceSeconds(utc(2001, 1, 1, 0, 1, 0, 500)), 60.5);
    EXPECT_DOUBLE_EQ(toReferenceSeconds(utc(1970, 1, 1, 0, 0, 0)), -978307200.0);
    EXPECT_EQ(fromReferenceSeconds(60.5), utc(2001, 1, 1, 0, 1, 0, 500));
    // Milliseconds survive the trip through a double.
    const QDateTime t = utc(2024, 5, 1, 10, 11, 12, 123);
    EXPECT_EQ(fromReferenceSeconds(toReferenceSeconds(t)), t);
    // Absurd numbers read back as no date rather than overflowing.
    EXPECT_FALSE(fromReferenceSeconds(1e300).isValid());
    EXPECT_FALSE(fromReferenceSeconds(std::nan("")).isValid());
    QJsonObject o = toJson(sampleContainer());
    o.insert("startedAt", 1e300);
    EXPECT_FALSE(containerFromJson(o).has_value());
}
