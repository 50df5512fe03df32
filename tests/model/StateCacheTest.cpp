#include "cache/StateCache.h"

#include "InventoryFixtures.h"
#include "support/TestSupport.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include <sys/stat.h>

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
    web.image = "shop-web";
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
    s.imageLayers = {{"sha256:web", "sha256:parent", 1982256, {"sha256:l1", "sha256:l2"}, QStringList{"web@sha256:d1"}}};
    s.engineImages = {true, 7, "1.98MB", 1980000};
    return s;
}

// The JSON layout earlier versions wrote, which is still read once.
QJsonObject encodedObject(const CachedState& s)
{
    const auto records = [](const auto& list) {
        QJsonArray array;
        for (const auto& record : list)
            array.append(toJson(record));
        return array;
    };
    QJsonObject sizes;
    for (auto it = s.volumeSizes.cbegin(); it != s.volumeSizes.cend(); ++it)
        sizes.insert(it.key(), QJsonValue(it.value()));
    return {{"containers", records(s.containers)}, {"images", records(s.images)}, {"volumes", records(s.volumes)},
            {"buildCache", toJson(s.buildCache)}, {"volumeSizes", sizes},
            {"usedImageIDs", QJsonArray::fromStringList(s.usedImageIDs)}, {"dockerRoot", s.dockerRoot},
            {"savedAt", toReferenceSeconds(s.savedAt)},
            {"danglingVolumeNames", QJsonArray::fromStringList(s.danglingVolumeNames)},
            {"danglingKnown", s.danglingKnown}, {"usageDataComplete", s.usageDataComplete},
            {"imageLayers", records(s.imageLayers)}, {"engineImages", toJson(s.engineImages)}};
}

QByteArray bytesOf(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

CachedState withFigures(CachedState s)
{
    s.figures = OverviewFigures{2, 7, 1980000, 4096, {10, 20}, 300, {1000, 2000}};
    return s;
}

TEST(StateCacheFormat, RoundTripKeepsEveryFieldAndInstantAndPutsTheSummaryFirst)
{
    for (const CachedState& original : {fullState(), withFigures(fullState())}) {
        EXPECT_EQ(StateCache::decode(StateCache::encode(original)), original);
        // Each flag is read back as written.
        for (const auto flag : {&CachedState::danglingKnown, &CachedState::usageDataComplete}) {
            CachedState changed = original;
            changed.*flag = false;
            EXPECT_EQ(StateCache::decode(StateCache::encode(changed)), changed);
        }
    }
    // Values that repeat from one record to the next, and change back and forth, read back as written.
    CachedState repeated = fullState();
    SGContainer twin = repeated.containers[0];
    twin.id = "twin";
    twin.name = "bew";  // as long as "web"
    twin.labels.replace("shop", "shoq");
    repeated.containers = {repeated.containers[0], twin, repeated.containers[1], twin, repeated.containers[1]};
    EXPECT_EQ(StateCache::decode(StateCache::encode(repeated)), repeated);
    // The JSON of earlier versions reads to the same state, without figures.
    EXPECT_EQ(StateCache::decode(bytesOf(encodedObject(fullState()))), fullState());
    EXPECT_FALSE(StateCache::decodeSummary(bytesOf(encodedObject(fullState()))).has_value());
    EXPECT_FALSE(StateCache::decodeSummary(StateCache::encode(fullState())).has_value());

    // With figures, the summary reads from the start of the file alone.
    const CachedState state = withFigures(fullState());
    const QByteArray bytes = StateCache::encode(state);
    const CacheSummary expected{state.savedAt, "/srv/docker", true, 2, 1, state.buildCache, *state.figures,
                                {{"", 1, 0, ""}, {"shop", 1, 1, "shop-web"}}};
    EXPECT_EQ(StateCache::decodeSummary(bytes.left(bytes.size() / 2)), expected);
}

// `value` with the item at `path` (indexes into nested arrays) replaced by `change` of it.
QCborValue edited(const QCborValue& value, QList<qsizetype> path, const std::function<QCborValue(QCborValue)>& change)
{
    if (path.isEmpty())
        return change(value);
    QCborArray array = value.toArray();
    const qsizetype at = path.takeFirst();
    array[at] = edited(array.at(at), path, change);
    return array;
}

TEST(StateCacheFormat, AMissingMistypedOrExtraValueRejectsTheWholeFile)
{
    const QCborValue good = QCborValue::fromCbor(StateCache::encode(withFigures(fullState())));
    ASSERT_TRUE(good.isArray());
    const auto to = [](QCborValue replacement) { return [replacement](const QCborValue&) { return replacement; }; };
    const auto withoutLast = [](const QCborValue& v) {
        QCborArray a = v.toArray();
        a.removeLast();
        return QCborValue(a);
    };
    const auto withOneMore = [](const QCborValue& v) {
        QCborArray a = v.toArray();
        a.append(QCborValue(0));
        return QCborValue(a);
    };
    const struct {
        const char* what;
        QList<qsizetype> path;
        std::function<QCborValue(QCborValue)> change;
    } cases[] = {
        {"another version", {1}, to(3)},
        {"another magic", {0}, to("stowage")},
        {"a container without its last field", {3, 0}, withoutLast},
        {"a container with a field too many", {3, 0}, withOneMore},
        {"an image size as text", {4, 0, 4}, to("10")},
        {"a volume size as a fraction", {7}, to(QCborMap{{"data", 1.5}})},
        {"sizes as a list", {7}, to(QCborArray{})},
        {"a used image id as a number", {8}, to(QCborArray{"sha256:a", 2})},
        {"no data root", {9}, to(QCborValue(QCborValue::Null))},
        {"the saving date as text", {10}, to("2024-06-01T08:00:00Z")},
        {"a flag as a number", {12}, to(1)},
        {"a count beyond an int", {15, 1}, to(qint64(1) << 40)},
        {"a summary of another shape", {2}, to("summary")},
        {"a top-level item missing", {}, withoutLast},
        {"a top-level item too many", {}, withOneMore},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = edited(good, c.path, c.change).toCbor();
        EXPECT_FALSE(StateCache::decode(bytes).has_value()) << c.what;
    }
    const QByteArray bytes = good.toCbor();
    ASSERT_TRUE(StateCache::decode(bytes).has_value());
    for (const QByteArray& damaged : {bytes.left(bytes.size() - 1), bytes.left(bytes.size() / 2), bytes + '\0',
                                      QByteArray(), QByteArray("\x9f\xff"), QByteArray("\x00\xff garbage", 10)})
        EXPECT_FALSE(StateCache::decode(damaged).has_value()) << damaged.left(40).toHex().toStdString();
    QByteArray notUtf8 = bytes;
    const qsizetype name = notUtf8.indexOf("never-inspected");
    ASSERT_GE(name, 0);
    notUtf8[name + 5] = '\xff';
    EXPECT_FALSE(StateCache::decode(notUtf8).has_value()) << "a name that is not UTF-8";
}

TEST(StateCacheFormat, TheJsonOfEarlierVersionsNeedsEveryKeyTypedButTheImageFactsAndExtraKeysAreIgnored)
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
    const QByteArray bytes = bytesOf(complete);
    for (const QByteArray& damaged : {bytes.left(bytes.size() - 1), bytes.left(bytes.size() / 2), QByteArray("[]"),
                                      QByteArray("null")})
        EXPECT_FALSE(StateCache::decode(damaged).has_value()) << damaged.left(40).toStdString();
}

TEST(StateCacheLocation, IsStateCacheInTheApplicationFolderWhichIsCreatedPrivateAndEachContextHasItsOwnFile)
{
    const test::TempDataHome home;
    const std::optional<QString> file = StateCache::fileURL();
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(QFileInfo(*file).absoluteFilePath(), QDir(home.path()).filePath("Stowage/state.cache"));
    EXPECT_EQ(StateCache::legacyFileURL(), QFileInfo(*file).absolutePath() + "/state.json");
    EXPECT_EQ(test::fileMode(QFileInfo(*file).absolutePath()), 0700);

    // Each context's own file: a bounded name with no path in it, distinct for distinct names.
    QSet<QString> files;
    const QStringList names{"remote", "Remote", "my engine", "../x", "..", "a/b\\c", "<b>x</b>", QString(300, 'x'), "x/y", "x_y", "x..y"};
    for (const QString& name : names) {
        const QString fileName = StateCache::fileName(name);
        EXPECT_TRUE(QRegularExpression("^state-[A-Za-z0-9_-]{1,40}-[0-9a-f]{16}\\.cache$").match(fileName).hasMatch()) << fileName.toStdString();
        EXPECT_EQ(StateCache::fileURL(name), QFileInfo(*file).absolutePath() + '/' + fileName);
        files.insert(fileName);
    }
    EXPECT_EQ(files.size(), names.size());
    EXPECT_TRUE(StateCache::fileName("remote").startsWith("state-remote-"));
}

TEST(StateCacheFile, OnlyARegularFileUnderTheSizeLimitIsReadAndARefusalIsExplained)
{
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name); };
    ASSERT_TRUE(test::writeFile(path("regular"), "bytes"));
    QFile large(path("large"));  // sparse: takes no room on the disk
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(StateCache::maxFileBytes + 1));
    ASSERT_EQ(::mkfifo(path("fifo").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero")));
    ASSERT_TRUE(QFile::link(path("regular"), path("link")));
    const struct {
        const char* name;
        bool read;
        bool explained;
    } cases[] = {
        {"regular", true, false}, {"link", true, false}, {"missing", false, false}, {"fifo", false, true},
        {"zero", false, true},    {"large", false, true}, {"", false, true},  // the folder itself
    };
    for (const auto& c : cases) {
        const StateCache::FileBytes file = StateCache::readFile(path(c.name));
        EXPECT_EQ(file.bytes.has_value(), c.read) << c.name;
        EXPECT_EQ(!file.problem.isEmpty(), c.explained) << c.name;
    }
}

std::optional<CachedState> readBack(const QString& path) { return StateCache::decode(test::readFile(path)); }

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

    // The file an earlier version wrote goes once the new one is written.
    const QString earlier = dir.filePath("earlier.json");
    QFile(earlier).open(QIODevice::WriteOnly);
    StateCacheWriter writer(dir.filePath("state.cache"), earlier);
    writer.save(numbered(1));
    writer.flush();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"state.cache", "state.json"}));
}

}  // namespace
}  // namespace stowage
