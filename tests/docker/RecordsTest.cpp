#include "docker/Records.h"
#include "text/SizeFormat.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <unordered_set>

using namespace stowage;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

SGContainer sampleContainer()
{
    return {"3f2a9c1d0b7e", "shop-web-1", "shop-web", "Up 2 hours", "running", "0B", "0.0.0.0:8080->80/tcp",
            "2024-05-01 10:11:12 +0200 CEST", "com.docker.compose.project=shop", "shop", "/Users/me/shop",
            "/Users/me/shop/compose.yaml", "sha256:0123456789abcdef", {"shop_data", "3b1f"},
            utc(2024, 5, 1, 10, 11, 12, 345), utc(2024, 4, 30, 9, 0, 0)};
}

// Serialises through text, as the state cache does.
QJsonObject throughText(const QJsonObject& o)
{
    return QJsonDocument::fromJson(QJsonDocument(o).toJson(QJsonDocument::Compact)).object();
}

template <class Record>
using Change = std::function<void(Record&)>;

// Each change alone makes the record unequal and hash differently.
template <class Record>
void expectEveryChangeCounts(const Record& base, const std::vector<Change<Record>>& changes)
{
    const Record copy = base;
    EXPECT_EQ(copy, base);
    EXPECT_EQ(qHash(copy), qHash(base));
    for (size_t i = 0; i < changes.size(); ++i) {
        Record changed = base;
        changes[i](changed);
        EXPECT_NE(changed, base) << "change " << i;
        EXPECT_NE(qHash(changed), qHash(base)) << "change " << i;
    }
}

}  // namespace

TEST(Records, EqualityAndHashCoverEveryField)
{
    expectEveryChangeCounts<SGContainer>(sampleContainer(), {
        [](auto& c) { c.id += "x"; }, [](auto& c) { c.name += "x"; }, [](auto& c) { c.image += "x"; },
        [](auto& c) { c.status += "x"; }, [](auto& c) { c.state += "x"; }, [](auto& c) { c.size += "x"; },
        [](auto& c) { c.ports += "x"; }, [](auto& c) { c.created += "x"; }, [](auto& c) { c.labels += "x"; },
        [](auto& c) { c.project += "x"; }, [](auto& c) { c.workingDir += "x"; }, [](auto& c) { c.configFiles += "x"; },
        [](auto& c) { c.imageID += "x"; }, [](auto& c) { c.mounts.append("more"); },
        [](auto& c) { c.mounts = QStringList{"3b1f", "shop_data"}; },  // order matters
        [](auto& c) { c.startedAt.reset(); }, [](auto& c) { c.startedAt = c.startedAt->addMSecs(1); },
        [](auto& c) { c.finishedAt.reset(); }, [](auto& c) { c.finishedAt = c.finishedAt->addMSecs(1); },
    });
    expectEveryChangeCounts<SGImage>({"sha256:aa", "shop-api", "latest", "1.2GB", 1288490188, "2 days ago"}, {
        [](auto& i) { i.id += "x"; }, [](auto& i) { i.repository += "x"; }, [](auto& i) { i.tag += "x"; },
        [](auto& i) { i.size += "x"; }, [](auto& i) { ++i.sizeBytes; }, [](auto& i) { i.created += "x"; },
    });
    expectEveryChangeCounts<SGVolume>({"v", "local", "/m", "a=b", "shop", 12}, {
        [](auto& v) { v.name += "x"; }, [](auto& v) { v.driver += "x"; }, [](auto& v) { v.mountpoint += "x"; },
        [](auto& v) { v.labels += "x"; }, [](auto& v) { v.project += "x"; }, [](auto& v) { ++v.sizeBytes; },
    });
    expectEveryChangeCounts<BuildCache>({"1KB", 1024, "1KB", 1024}, {
        [](auto& b) { b.size += "x"; }, [](auto& b) { ++b.sizeBytes; }, [](auto& b) { b.reclaimable += "x"; },
        [](auto& b) { ++b.reclaimableBytes; },
    });
    expectEveryChangeCounts<ContainerDetail>({"sha256:a", {"v"}, utc(2024, 1, 1, 0, 0, 0), utc(2024, 1, 2, 0, 0, 0)}, {
        [](auto& d) { d.imageID += "x"; }, [](auto& d) { d.mounts.append("w"); },
        [](auto& d) { d.startedAt = d.startedAt->addSecs(1); }, [](auto& d) { d.finishedAt.reset(); },
    });
    const SGImage image{"sha256:aa", "shop-api", "latest", "1.2GB", 1288490188, "2 days ago"};
    expectEveryChangeCounts<ProjectMeta>({{image}, {SGVolume{"v"}}, {image}, "/p", "/p/c.yml", utc(2024, 1, 1, 0, 0, 0), {}}, {
        [](auto& m) { m.images.clear(); }, [](auto& m) { m.volumes.clear(); }, [](auto& m) { m.builtImages.clear(); },
        [](auto& m) { m.path += "x"; }, [](auto& m) { m.configFiles += "x"; }, [](auto& m) { m.lastStarted.reset(); },
        [&](auto& m) { m.lastActivity = utc(2024, 1, 1, 0, 0, 0); },
    });

    // The same instant in another zone is equal and hashes alike.
    SGContainer a = sampleContainer();
    SGContainer b = a;
    b.startedAt = a.startedAt->toOffsetFromUtc(7200);
    EXPECT_EQ(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
    EXPECT_EQ((std::unordered_set<SGImage>{image, image}).size(), 1u);  // usable in std containers
}

// Whether `read` takes the object, through text, with `key` set to `value` (removed when undefined).
template <class Read>
bool accepts(QJsonObject o, const char* key, const QJsonValue& value, Read read)
{
    if (value.isUndefined())
        o.remove(key);
    else
        o.insert(key, value);
    return read(throughText(o)).has_value();
}

TEST(RecordsJson, StrictReadingRejectsMissingOrMistypedKeysAndInexactSizes)
{
    const QJsonObject good = toJson(sampleContainer());
    const QJsonValue missing(QJsonValue::Undefined);
    for (const char* key : {"id", "labels", "imageID", "mounts", "configFiles"})
        for (const QJsonValue& value : {missing, QJsonValue(42)})
            EXPECT_FALSE(accepts(good, key, value, containerFromJson)) << key;
    const std::pair<const char*, QJsonValue> rejected[] = {
        {"mounts", QJsonArray{"a", 1}}, {"startedAt", "2024-05-01T10:11:12Z"}, {"startedAt", 1e300}};
    for (const auto& [key, value] : rejected)
        EXPECT_FALSE(accepts(good, key, value, containerFromJson)) << key;
    QJsonObject extra = good;
    extra.insert("somethingNew", true);
    EXPECT_EQ(containerFromJson(extra), sampleContainer());
    QJsonObject nullDate = good;
    nullDate.insert("finishedAt", QJsonValue::Null);
    EXPECT_EQ(containerFromJson(nullDate).value_or(SGContainer{}).finishedAt, std::nullopt);

    // Sizes must be integers within range.
    const QJsonObject volume = toJson(SGVolume{"v", "local", "/m", "", "", 0});
    for (const QJsonValue& size : {QJsonValue(12), QJsonValue(1e3)})
        EXPECT_TRUE(accepts(volume, "sizeBytes", size, volumeFromJson)) << size.toDouble();
    for (const QJsonValue& size : {QJsonValue(1.5), QJsonValue("12"), QJsonValue(1e30), QJsonValue(9223372036854775808.0),
                                   QJsonValue(QJsonValue::Null), missing})
        EXPECT_FALSE(accepts(volume, "sizeBytes", size, volumeFromJson)) << size.toDouble();
}

TEST(RecordsJson, DatesUseSecondsSince2001)
{
    EXPECT_DOUBLE_EQ(toReferenceSeconds(utc(1970, 1, 1, 0, 0, 0)), -978307200.0);
    EXPECT_EQ(fromReferenceSeconds(60.5), utc(2001, 1, 1, 0, 1, 0, 500));
    // Absurd numbers read back as no date rather than overflowing.
    EXPECT_FALSE(fromReferenceSeconds(1e300).isValid());
    EXPECT_FALSE(fromReferenceSeconds(std::nan("")).isValid());
}

TEST(ParseDockerDate, AcceptedForms)
{
    const QDateTime base = utc(2024, 5, 1, 10, 11, 12);
    const struct {
        const char* text;
        QDateTime expected;
    } cases[] = {
        {"2024-05-01T10:11:12Z", base}, {"2024-05-01T10:11:12.123Z", base.addMSecs(123)},
        {"2024-05-01T10:11:12.5Z", base.addMSecs(500)}, {"2024-05-01T12:11:12+02:00", base},
        {"2024-05-01T05:41:12.250-04:30", base.addMSecs(250)},
        // Docker's nanosecond stamps keep their whole second.
        {"2024-05-01T10:11:12.123456789Z", base}, {"2024-05-01T10:11:12.1234Z", base},
        {" \t2024-05-01T10:11:12Z\t ", base}, {"2024-02-29T23:59:59Z", utc(2024, 2, 29, 23, 59, 59)},
        // The whole-second fallback cuts at the first full stop when the text ends in Z.
        {"2024-05-01T10:11:12.garbageZ", base}, {"2024-05-01T10:11:12.Z", base},
    };
    for (const auto& c : cases) {
        const OptionalDate parsed = parseDockerDate(c.text);
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(*parsed, c.expected) << c.text;
        EXPECT_EQ(parsed->timeSpec(), Qt::UTC) << c.text;
    }
}

TEST(ParseDockerDate, RejectedForms)
{
    for (const char* text : {
             "", "   ", "0001-01-01T00:00:00Z", "0001-01-01T00:00:00.5Z",  // Docker's zero time: never
             "2024-05-01 10:11:12 +0200 CEST", "2024-05-01T10:11:12",        // the listing's format; no zone
             "2024-05-01T10:11:12.123456789+02:00", "2024-13-01T10:11:12Z", "2023-02-29T10:11:12Z",
             "2024-05-01T24:00:00Z", "2024-05-01T10:11:12Zjunk", "2024-05-01t10:11:12z", "2024-05-01.T10:11:12Z",
             "2024-05-01T10:11:12Z\n", "２０２４-05-01T10:11:12Z",  // line breaks are not trimmed; non-ASCII digits
         })
        EXPECT_FALSE(parseDockerDate(QString::fromUtf8(text)).has_value()) << text;
}

TEST(ParseDockerSize, Table)
{
    const struct {
        const char* text;
        qint64 bytes;
    } cases[] = {
        {"1.2GB", 1200000000},  // docker prints decimal units (go-units HumanSize)
        {"512kB", 512000}, {"512KB", 512000}, {"0B", 0}, {"3B", 3}, {"  3B\t", 3}, {"1TB", 1000000000000LL},
        {"2.5MB", 2500000},
        {"1.005kB", 1005},  // rounded: 1.005 * 1000 is 1004.99… in binary
        {"-1.5KB", -1500},  // sign kept
        {"+2KB", 2000}, {".5KB", 500}, {"1.KB", 1000},
        {"1.5MiB", 1572864},  // binary units are powers of 1024
        // No size: 0.
        {"", 0}, {"1.2 GB", 0}, {"12", 0}, {"GB", 0}, {"1e3B", 0}, {"infB", 0}, {"nanKB", 0},
        {"1.2.3MB", 0}, {"99999999999TB", 0} /* beyond 64 bits */, {"８KB", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeFormat::parseDockerSize(QString::fromUtf8(c.text)), c.bytes) << c.text;
}

TEST(HumanSize, Table)
{
    const struct {
        qint64 bytes;
        const char* text;
    } cases[] = {
        {0, "0 B"}, {1, "1.0 B"}, {999, "999.0 B"}, {1000, "1.0 KB"},
        {1982256, "2.0 MB"},  // docker says 1.98MB
        {1200000000, "1.2 GB"},
        {999999999999999LL, "1000.0 TB"},  // rounding shows 1000.0, the unit stays
        {1000000000000000LL, "1.0 PB"}, {-1500, "-1.5 KB"},
        {std::numeric_limits<qint64>::max(), "9223.4 PB"}, {std::numeric_limits<qint64>::min(), "-9223.4 PB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeFormat::humanSize(c.bytes), QString::fromUtf8(c.text)) << c.bytes;
}
