// The state cache's own layout: one CBOR array
//   ["stowage-state", version, summary or null, containers, images, volumes,
//    buildCache, volumeSizes, usedImageIDs, dockerRoot, savedAt,
//    danglingVolumeNames, danglingKnown, usageDataComplete, imageLayers, engineImages]
// Records are arrays of their fields in the order of their fields() list
// below; dates are milliseconds since 1970 UTC or null. Reading and writing
// walk the same lists, so a field added to a record is one more line there
// and a new `version`: a file of another version counts as missing and the
// next refresh writes it again. CBOR keeps each value's type, so a missing or
// mistyped field fails the read as a whole; so does a text that is not UTF-8
// or is not stored whole, with its length, as the writer stores every text.

#include "cache/StateCache.h"

#include <QCborStreamReader>
#include <QCborStreamWriter>

#include <array>
#include <concepts>
#include <limits>
#include <string>
#include <type_traits>

namespace stowage {

namespace {

const QString magic = QStringLiteral("stowage-state");
// 2: image layers carry the repository digests (whether an image was pulled).
constexpr qint64 version = 2;
constexpr qsizetype topLevelItems = 16;

template <typename T, typename Record>
concept Is = std::same_as<std::remove_const_t<T>, Record>;

void fields(auto& io, Is<SGContainer> auto& c)
{
    io(c.id), io(c.name), io(c.image), io(c.status), io(c.state), io(c.size), io(c.ports), io(c.created);
    io(c.labels), io(c.project), io(c.workingDir), io(c.configFiles), io(c.imageID), io(c.mounts);
    io(c.startedAt), io(c.finishedAt);
}

void fields(auto& io, Is<SGImage> auto& i)
{
    io(i.id), io(i.repository), io(i.tag), io(i.size), io(i.sizeBytes), io(i.created);
}

void fields(auto& io, Is<SGVolume> auto& v)
{
    io(v.name), io(v.driver), io(v.mountpoint), io(v.labels), io(v.project), io(v.sizeBytes);
}

void fields(auto& io, Is<BuildCache> auto& b)
{
    io(b.size), io(b.sizeBytes), io(b.reclaimable), io(b.reclaimableBytes);
}

void fields(auto& io, Is<ImageLayers> auto& l)
{
    io(l.id), io(l.parent), io(l.sizeBytes), io(l.layers), io(l.repoDigests);
}

void fields(auto& io, Is<EngineImageTotals> auto& t)
{
    io(t.known), io(t.count), io(t.size), io(t.sizeBytes);
}

void fields(auto& io, Is<OverviewFigures> auto& f)
{
    io(f.running), io(f.images), io(f.imageBytes), io(f.volumeBytes), io(f.unusedBytes.low), io(f.unusedBytes.high);
    io(f.orphanBytes), io(f.reclaimableBytes.low), io(f.reclaimableBytes.high);
}

void fields(auto& io, Is<OverviewProjectRow> auto& r)
{
    io(r.name), io(r.containers), io(r.running), io(r.imagesUsed);
}

void fields(auto& io, Is<CacheSummary> auto& s)
{
    io(s.savedAt), io(s.dockerRoot), io(s.usageDataComplete), io(s.containers), io(s.volumes), io(s.buildCache);
    io(s.figures), io(s.projects);
}

struct FieldCounter {
    qsizetype n = 0;
    void operator()(const auto&) { ++n; }
};

template <typename Record>
qsizetype fieldCount()
{
    static const qsizetype count = [] {
        FieldCounter counter;
        Record record{};
        fields(counter, record);
        return counter.n;
    }();
    return count;
}

class Writer {
public:
    explicit Writer(QByteArray* bytes) : out_(bytes) {}

    void operator()(const QString& text) { out_.append(QStringView(text)); }
    void operator()(bool flag) { out_.append(flag); }
    template <std::integral Number>
    void operator()(Number number) { out_.append(qint64(number)); }
    void operator()(const QDateTime& date) { out_.append(date.toMSecsSinceEpoch()); }
    void operator()(const QStringList& strings)
    {
        out_.startArray(strings.size());
        for (const QString& text : strings)
            (*this)(text);
        out_.endArray();
    }
    void operator()(const QHash<QString, qint64>& sizes)
    {
        out_.startMap(sizes.size());
        for (auto it = sizes.cbegin(); it != sizes.cend(); ++it)
            (*this)(it.key()), (*this)(it.value());
        out_.endMap();
    }
    template <typename Record>
    void operator()(const QList<Record>& records)
    {
        out_.startArray(records.size());
        for (const Record& record : records)
            (*this)(record);
        out_.endArray();
    }
    template <typename Record>
        requires requires(Writer& w, const Record& r) { fields(w, r); }
    void operator()(const Record& record)
    {
        out_.startArray(fieldCount<Record>());
        fields(*this, record);
        out_.endArray();
    }
    template <typename Record>
    void operator()(const std::optional<Record>& record)
    {
        if (record)
            (*this)(*record);
        else
            out_.append(nullptr);
    }

    void startTop() { out_.startArray(topLevelItems); }
    void endTop() { out_.endArray(); }

private:
    QCborStreamWriter out_;
};

// Reads values in the order the writer wrote them; the first one that is
// missing or of another type stops it, and every later read does nothing.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : in_(bytes), limit_(bytes.size()) {}

    bool ok() { return ok_ && in_.lastError() == QCborError::NoError; }
    // The whole input has been read, and nothing follows the top-level array.
    bool atEnd() { return ok() && in_.currentOffset() == limit_; }

    // Strings repeat from one record to the next in the same field: a
    // container's state, size or project, an image's tag. Such a string is
    // shared with the previous record's instead of decoded and allocated again.
    void operator()(QString& text)
    {
        if (!expect(in_.isString() && in_.isLengthKnown() && in_.length() <= quint64(limit_)))
            return;
        Previous& previous = previous_[slot_++ % previous_.size()];
        const auto size = qsizetype(in_.length());
        utf8_.resize(size);
        // The whole string comes as one chunk (its length is known); the next read ends it.
        const auto chunk = in_.readStringChunk(utf8_.data(), size);
        if (!expect(chunk.status == QCborStreamReader::Ok && chunk.data == size))
            return;
        if (!expect(in_.readStringChunk(nullptr, 0).status == QCborStreamReader::EndOfString))
            return;
        if (utf8_ == previous.utf8) {
            text = previous.text;
            return;
        }
        if (!expect(QByteArrayView(utf8_.data(), size).isValidUtf8()))
            return;
        text = QString::fromUtf8(utf8_.data(), size);
        previous.utf8 = utf8_;
        previous.text = text;
    }
    void operator()(bool& flag)
    {
        if (expect(in_.isBool())) {
            flag = in_.toBool();
            expect(in_.next());
        }
    }
    template <std::integral Number>
    void operator()(Number& number)
    {
        if (!expect(in_.isInteger()))
            return;
        constexpr auto most = quint64(std::numeric_limits<Number>::max());
        if (in_.isUnsignedInteger()) {
            const quint64 value = in_.toUnsignedInteger();
            if (expect(value <= most))
                number = Number(value);
        } else {
            // -magnitude, which fits down to -(most + 1) in a signed type
            const auto magnitude = quint64(in_.toNegativeInteger());
            if (expect(std::is_signed_v<Number> && magnitude - 1 <= most))
                number = Number(-qint64(magnitude - 1) - 1);
        }
        if (ok())
            expect(in_.next());
    }
    void operator()(QDateTime& date)
    {
        qint64 milliseconds = 0;
        (*this)(milliseconds);
        date = QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
        expect(date.isValid());
    }
    void operator()(QStringList& strings) { list(strings); }
    template <typename Record>
    void operator()(QList<Record>& records) { list(records); }
    void operator()(QHash<QString, qint64>& sizes)
    {
        const qsizetype count = enter(in_.isMap(), 2);
        sizes.clear();
        sizes.reserve(count);
        for (qsizetype i = 0; i < count && ok(); ++i) {
            QString name;
            qint64 bytes = 0;
            (*this)(name), (*this)(bytes);
            sizes.insert(name, bytes);
        }
        leave();
    }
    template <typename Record>
        requires requires(Reader& r, Record& record) { fields(r, record); }
    void operator()(Record& record)
    {
        if (enter(in_.isArray(), 1) != fieldCount<Record>())
            fail();
        slot_ = 0;
        fields(*this, record);
        leave();
    }
    template <typename Record>
    void operator()(std::optional<Record>& record)
    {
        if (ok() && in_.isNull()) {
            record.reset();
            expect(in_.next());
            return;
        }
        (*this)(record.emplace());
    }

    // The header: the array's length, the magic text and the version.
    void startTop()
    {
        if (enter(in_.isArray(), 1) != topLevelItems)
            fail();
        QString text;
        qint64 written = 0;
        (*this)(text), (*this)(written);
        expect(text == magic && written == version);
    }
    void endTop() { leave(); }

private:
    bool expect(bool condition)
    {
        if (!condition)
            ok_ = false;
        return ok();
    }
    void fail() { ok_ = false; }

    // Enters a container of known length and returns that length. A length
    // no input of this size could hold is refused before anything is reserved.
    qsizetype enter(bool rightKind, qsizetype bytesPerItem)
    {
        if (!expect(rightKind && in_.isLengthKnown() && in_.length() <= quint64(limit_ / bytesPerItem)))
            return 0;
        const auto length = qsizetype(in_.length());
        expect(in_.enterContainer());
        return length;
    }
    void leave()
    {
        if (expect(!in_.hasNext()))
            expect(in_.leaveContainer());
    }
    template <typename List>
    void list(List& items)
    {
        const qsizetype count = enter(in_.isArray(), 1);
        items.clear();
        items.reserve(count);
        for (qsizetype i = 0; i < count && ok(); ++i)
            (*this)(items.emplace_back());
        leave();
    }

    // std::string keeps its buffer when assigned to: no allocation per string read.
    struct Previous {
        std::string utf8;
        QString text;
    };

    QCborStreamReader in_;
    const qsizetype limit_;
    bool ok_ = true;
    std::string utf8_;  // the string being read, as stored
    std::array<Previous, 24> previous_;
    size_t slot_ = 0;  // the field being read within the current record
};

CacheSummary summaryOf(const CachedState& state)
{
    CacheSummary summary;
    summary.savedAt = state.savedAt;
    summary.dockerRoot = state.dockerRoot;
    summary.usageDataComplete = state.usageDataComplete;
    summary.containers = state.containers.size();
    summary.volumes = state.volumes.size();
    summary.buildCache = state.buildCache;
    if (state.figures) {
        summary.figures = *state.figures;
        QHash<QString, QList<SGContainer>> projects;
        for (const SGContainer& container : state.containers)
            projects[container.project].append(container);
        summary.projects = overviewProjectRows(projects);
    }
    return summary;
}

// The top-level items after the header and the summary, in file order.
void inventoryFields(auto& io, Is<CachedState> auto& s)
{
    io(s.containers), io(s.images), io(s.volumes), io(s.buildCache), io(s.volumeSizes), io(s.usedImageIDs);
    io(s.dockerRoot), io(s.savedAt), io(s.danglingVolumeNames), io(s.danglingKnown), io(s.usageDataComplete);
    io(s.imageLayers), io(s.engineImages);
}

bool looksLikeJson(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            return c == '{';
    }
    return false;
}

}  // namespace

namespace StateCache {

QByteArray encode(const CachedState& state)
{
    QByteArray bytes;
    // Roughly what an inventory takes, so that the buffer grows a few times only.
    bytes.reserve(512 + 400 * (state.containers.size() + state.images.size() + state.volumes.size()));
    Writer out(&bytes);
    out.startTop();
    out(magic), out(version);
    out(state.figures ? std::optional<CacheSummary>(summaryOf(state)) : std::nullopt);
    inventoryFields(out, state);
    out.endTop();
    return bytes;
}

std::optional<CachedState> decode(const QByteArray& bytes)
{
    if (looksLikeJson(bytes))
        return decodeJson(bytes);
    Reader in(bytes);
    in.startTop();
    std::optional<CacheSummary> summary;
    in(summary);
    CachedState state;
    inventoryFields(in, state);
    in.endTop();
    if (!in.atEnd())
        return std::nullopt;
    if (summary)
        state.figures = summary->figures;
    return state;
}

std::optional<CacheSummary> decodeSummary(const QByteArray& bytes)
{
    if (looksLikeJson(bytes))
        return std::nullopt;
    Reader in(bytes);
    in.startTop();
    std::optional<CacheSummary> summary;
    in(summary);
    return in.ok() ? summary : std::nullopt;
}

}  // namespace StateCache

}  // namespace stowage
