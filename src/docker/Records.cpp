#include "docker/Records.h"
#include "text/SizeFormat.h"

#include <QJsonArray>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace stowage {

namespace {

// 2001-01-01 00:00:00 UTC in milliseconds since the Unix epoch: the origin of
// the on-disk date encoding.
constexpr qint64 referenceEpochMSecs = 978307200000LL;

// Hash stand-in for an optional instant: presence plus the instant itself,
// which is what QDateTime's equality compares.
struct DateKey {
    bool present;
    qint64 msecs;
};

DateKey dateKey(const OptionalDate& date)
{
    if (!date)
        return {false, 0};
    return {true, date->isValid() ? date->toMSecsSinceEpoch() : std::numeric_limits<qint64>::min()};
}

size_t qHash(DateKey key, size_t seed = 0) noexcept
{
    return qHashMulti(seed, key.present, key.msecs);
}

template <typename T>
size_t hashRecords(const QList<T>& list, size_t seed) noexcept
{
    return qHashRange(list.begin(), list.end(), seed);
}

}  // namespace

QString shortImageId(const QString& id)
{
    QString bare = id;
    bare.remove(QStringLiteral("sha256:"));
    return bare.left(12);
}

size_t qHash(const SGContainer& c, size_t seed) noexcept
{
    seed = qHashMulti(seed, c.id, c.name, c.image, c.status, c.state, c.size, c.ports, c.created, c.labels,
                      c.project, c.workingDir, c.configFiles, c.imageID);
    return qHashMulti(hashRecords(c.mounts, seed), dateKey(c.startedAt), dateKey(c.finishedAt));
}

size_t qHash(const SGImage& i, size_t seed) noexcept
{
    return qHashMulti(seed, i.id, i.repository, i.tag, i.size, i.sizeBytes, i.created);
}

size_t qHash(const SGVolume& v, size_t seed) noexcept
{
    return qHashMulti(seed, v.name, v.driver, v.mountpoint, v.labels, v.project, v.sizeBytes);
}

size_t qHash(const BuildCache& b, size_t seed) noexcept
{
    return qHashMulti(seed, b.size, b.sizeBytes, b.reclaimable, b.reclaimableBytes);
}

size_t qHash(const ContainerDetail& d, size_t seed) noexcept
{
    seed = qHashMulti(seed, d.imageID);
    return qHashMulti(hashRecords(d.mounts, seed), dateKey(d.startedAt), dateKey(d.finishedAt));
}

size_t qHash(const ProjectMeta& m, size_t seed) noexcept
{
    seed = hashRecords(m.images, seed);
    seed = hashRecords(m.volumes, seed);
    seed = hashRecords(m.builtImages, seed);
    return qHashMulti(seed, m.path, m.configFiles, dateKey(m.lastStarted), dateKey(m.lastActivity));
}

// ---------------------------------------------------------------------------
// Dates in the on-disk encoding

double toReferenceSeconds(const QDateTime& t)
{
    return double(t.toMSecsSinceEpoch() - referenceEpochMSecs) / 1000.0;
}

QDateTime fromReferenceSeconds(double seconds)
{
    // About three million years either way: far beyond any real date, and
    // small enough that the millisecond count cannot overflow.
    constexpr double limit = 1e14;
    if (!std::isfinite(seconds) || std::fabs(seconds) > limit)
        return {};
    // Rounded to the millisecond so that writing and reading back is exact.
    const qint64 msecs = std::llround(seconds * 1000.0);
    return QDateTime::fromMSecsSinceEpoch(msecs + referenceEpochMSecs, Qt::UTC);
}

// ---------------------------------------------------------------------------
// JSON form

namespace {

void putDate(QJsonObject& o, const QString& key, const OptionalDate& date)
{
    if (date && date->isValid())
        o.insert(key, toReferenceSeconds(*date));
}

// Reads required and optional keys of one record; any missing or mistyped
// required key clears `ok`.
class StrictReader {
public:
    explicit StrictReader(const QJsonObject& o) : o_(o) {}

    bool ok() const { return ok_; }

    QString string(const QString& key)
    {
        const QJsonValue v = o_.value(key);
        if (!v.isString())
            return fail<QString>();
        return v.toString();
    }

    // A JSON number that is an integer within the signed 64-bit range. Large
    // integers are kept exact (Qt stores parsed integers without going
    // through double); fractions and out-of-range values are rejected.
    qint64 integer(const QString& key)
    {
        const QJsonValue v = o_.value(key);
        if (!v.isDouble())
            return fail<qint64>();
        const qint64 value = v.toInteger(0);
        // toInteger() falls back to its default when the value is not an
        // exact 64-bit integer; two different defaults reveal that case.
        if (value != v.toInteger(1))
            return fail<qint64>();
        return value;
    }

    QStringList strings(const QString& key)
    {
        const QJsonValue v = o_.value(key);
        if (!v.isArray())
            return fail<QStringList>();
        QStringList list;
        const QJsonArray array = v.toArray();
        list.reserve(array.size());
        for (const QJsonValue& item : array) {
            if (!item.isString())
                return fail<QStringList>();
            list.append(item.toString());
        }
        return list;
    }

    // An optional date: a missing key or null means absent.
    OptionalDate date(const QString& key)
    {
        const QJsonValue v = o_.value(key);
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        if (!v.isDouble())
            return fail<OptionalDate>();
        const QDateTime t = fromReferenceSeconds(v.toDouble());
        if (!t.isValid())
            return fail<OptionalDate>();
        return t;
    }

private:
    template <typename T>
    T fail()
    {
        ok_ = false;
        return T{};
    }

    const QJsonObject& o_;
    bool ok_ = true;
};

}  // namespace

QJsonObject toJson(const SGContainer& c)
{
    QJsonObject o{
        {QStringLiteral("id"), c.id},
        {QStringLiteral("name"), c.name},
        {QStringLiteral("image"), c.image},
        {QStringLiteral("status"), c.status},
        {QStringLiteral("state"), c.state},
        {QStringLiteral("size"), c.size},
        {QStringLiteral("ports"), c.ports},
        {QStringLiteral("created"), c.created},
        {QStringLiteral("labels"), c.labels},
        {QStringLiteral("project"), c.project},
        {QStringLiteral("workingDir"), c.workingDir},
        {QStringLiteral("configFiles"), c.configFiles},
        {QStringLiteral("imageID"), c.imageID},
        {QStringLiteral("mounts"), QJsonArray::fromStringList(c.mounts)},
    };
    putDate(o, QStringLiteral("startedAt"), c.startedAt);
    putDate(o, QStringLiteral("finishedAt"), c.finishedAt);
    return o;
}

QJsonObject toJson(const SGImage& i)
{
    return QJsonObject{
        {QStringLiteral("id"), i.id},
        {QStringLiteral("repository"), i.repository},
        {QStringLiteral("tag"), i.tag},
        {QStringLiteral("size"), i.size},
        {QStringLiteral("sizeBytes"), i.sizeBytes},
        {QStringLiteral("created"), i.created},
    };
}

QJsonObject toJson(const SGVolume& v)
{
    return QJsonObject{
        {QStringLiteral("name"), v.name},
        {QStringLiteral("driver"), v.driver},
        {QStringLiteral("mountpoint"), v.mountpoint},
        {QStringLiteral("labels"), v.labels},
        {QStringLiteral("project"), v.project},
        {QStringLiteral("sizeBytes"), v.sizeBytes},
    };
}

QJsonObject toJson(const BuildCache& b)
{
    return QJsonObject{
        {QStringLiteral("size"), b.size},
        {QStringLiteral("sizeBytes"), b.sizeBytes},
        {QStringLiteral("reclaimable"), b.reclaimable},
        {QStringLiteral("reclaimableBytes"), b.reclaimableBytes},
    };
}

std::optional<SGContainer> containerFromJson(const QJsonObject& o)
{
    StrictReader r(o);
    SGContainer c;
    c.id = r.string(QStringLiteral("id"));
    c.name = r.string(QStringLiteral("name"));
    c.image = r.string(QStringLiteral("image"));
    c.status = r.string(QStringLiteral("status"));
    c.state = r.string(QStringLiteral("state"));
    c.size = r.string(QStringLiteral("size"));
    c.ports = r.string(QStringLiteral("ports"));
    c.created = r.string(QStringLiteral("created"));
    c.labels = r.string(QStringLiteral("labels"));
    c.project = r.string(QStringLiteral("project"));
    c.workingDir = r.string(QStringLiteral("workingDir"));
    c.configFiles = r.string(QStringLiteral("configFiles"));
    c.imageID = r.string(QStringLiteral("imageID"));
    c.mounts = r.strings(QStringLiteral("mounts"));
    c.startedAt = r.date(QStringLiteral("startedAt"));
    c.finishedAt = r.date(QStringLiteral("finishedAt"));
    if (!r.ok())
        return std::nullopt;
    return c;
}

std::optional<SGImage> imageFromJson(const QJsonObject& o)
{
    StrictReader r(o);
    SGImage i;
    i.id = r.string(QStringLiteral("id"));
    i.repository = r.string(QStringLiteral("repository"));
    i.tag = r.string(QStringLiteral("tag"));
    i.size = r.string(QStringLiteral("size"));
    i.sizeBytes = r.integer(QStringLiteral("sizeBytes"));
    i.created = r.string(QStringLiteral("created"));
    if (!r.ok())
        return std::nullopt;
    return i;
}

std::optional<SGVolume> volumeFromJson(const QJsonObject& o)
{
    StrictReader r(o);
    SGVolume v;
    v.name = r.string(QStringLiteral("name"));
    v.driver = r.string(QStringLiteral("driver"));
    v.mountpoint = r.string(QStringLiteral("mountpoint"));
    v.labels = r.string(QStringLiteral("labels"));
    v.project = r.string(QStringLiteral("project"));
    v.sizeBytes = r.integer(QStringLiteral("sizeBytes"));
    if (!r.ok())
        return std::nullopt;
    return v;
}

std::optional<BuildCache> buildCacheFromJson(const QJsonObject& o)
{
    StrictReader r(o);
    BuildCache b;
    b.size = r.string(QStringLiteral("size"));
    b.sizeBytes = r.integer(QStringLiteral("sizeBytes"));
    b.reclaimable = r.string(QStringLiteral("reclaimable"));
    b.reclaimableBytes = r.integer(QStringLiteral("reclaimableBytes"));
    if (!r.ok())
        return std::nullopt;
    return b;
}

qint64 SGContainer::writableBytes() const
{
    return SizeFormat::parseDockerSize(size.section(QLatin1Char(' '), 0, 0));
}

QString BuildCache::shownSize() const
{
    return size == unknownText() ? size : SizeFormat::humanSize(sizeBytes);
}

QString BuildCache::shownReclaimable() const
{
    return reclaimable == unknownText() ? reclaimable : SizeFormat::humanSize(reclaimableBytes);
}

}  // namespace stowage
