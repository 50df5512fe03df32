#include "history/HistoryStore.h"

#include <QCborArray>
#include <QCborValue>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace stowage {

namespace {

constexpr int schemaVersion = 1;
constexpr qint64 dayMs = 24LL * 3600 * 1000;
constexpr qint64 everyRefreshKeptMs = 7 * dayMs;
constexpr qint64 dailyKeptMs = 365 * dayMs;

const char* const schema[] = {
    "CREATE TABLE IF NOT EXISTS refresh ("
    " id INTEGER PRIMARY KEY,"
    " engine TEXT NOT NULL,"
    " taken_at INTEGER NOT NULL,"  // milliseconds since the Unix epoch, UTC
    " headless INTEGER NOT NULL,"
    " refreshes INTEGER NOT NULL DEFAULT 1,"  // how many refreshes the row stands for once folded
    " image_bytes INTEGER NOT NULL, image_count INTEGER NOT NULL,"
    " volume_bytes INTEGER NOT NULL, volume_count INTEGER NOT NULL,"
    " container_bytes INTEGER NOT NULL, container_count INTEGER NOT NULL,"
    " cache_bytes INTEGER NOT NULL, cache_count INTEGER NOT NULL,"
    " reclaimable_bytes INTEGER NOT NULL,"
    // Per project and per named volume, as compressed CBOR: a year of hourly
    // refreshes at 500 projects stays a few megabytes, where a row per project
    // and refresh would pass ten.
    " projects BLOB NOT NULL,"
    " volumes BLOB NOT NULL)",
    "CREATE INDEX IF NOT EXISTS refresh_by_time ON refresh (engine, taken_at)",
    "CREATE TABLE IF NOT EXISTS removal ("
    " id INTEGER PRIMARY KEY, engine TEXT NOT NULL, at INTEGER NOT NULL, what TEXT NOT NULL, bytes INTEGER NOT NULL)",
};

qint64 msOf(const QDateTime& at)
{
    return at.toMSecsSinceEpoch();
}

QDateTime dateOf(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

QByteArray encodeProjects(const QList<HistoryProject>& projects)
{
    QCborArray rows;
    for (const HistoryProject& project : projects) {
        QCborArray row{project.name};
        for (const HistoryAmount& amount : project.amounts)
            row << amount.bytes << amount.count;
        rows << row;
    }
    return qCompress(QCborValue(rows).toCbor());
}

QByteArray encodeVolumes(const QList<HistoryVolume>& volumes)
{
    QCborArray rows;
    for (const HistoryVolume& volume : volumes)
        rows << QCborArray{volume.name, volume.project, volume.bytes};
    return qCompress(QCborValue(rows).toCbor());
}

// A row that does not decode counts as empty: the totals stay usable.
QCborArray decodedRows(const QByteArray& blob)
{
    return QCborValue::fromCbor(qUncompress(blob)).toArray();
}

QList<HistoryProject> decodeProjects(const QByteArray& blob)
{
    QList<HistoryProject> projects;
    for (const QCborValue& value : decodedRows(blob)) {
        const QCborArray row = value.toArray();
        if (row.size() != 1 + 2 * historyKindCount || !row.at(0).isString())
            continue;
        HistoryProject project{row.at(0).toString(), {}};
        for (int kind = 0; kind < historyKindCount; ++kind)
            project.amounts[kind] = {row.at(1 + 2 * kind).toInteger(), row.at(2 + 2 * kind).toInteger()};
        projects << project;
    }
    return projects;
}

QList<HistoryVolume> decodeVolumes(const QByteArray& blob)
{
    QList<HistoryVolume> volumes;
    for (const QCborValue& value : decodedRows(blob)) {
        const QCborArray row = value.toArray();
        if (row.size() == 3 && row.at(0).isString())
            volumes << HistoryVolume{row.at(0).toString(), row.at(1).toString(), row.at(2).toInteger()};
    }
    return volumes;
}

qint64 projectBytes(const HistoryProject& project)
{
    qint64 bytes = 0;
    for (const HistoryAmount& amount : project.amounts)
        bytes += amount.bytes;
    return bytes;
}

// Creates the file private to the user before SQLite opens it (its journal
// files take the database file's mode).
bool createPrivate(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

}  // namespace

struct HistoryStore::Connection {
    QString name = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db;

    ~Connection()
    {
        if (db.isValid())
            db.close();
        db = {};
        QSqlDatabase::removeDatabase(name);
    }

    // Runs `sql` with `values` bound in order; the error text when it fails.
    std::optional<QString> exec(QSqlQuery& query, const QString& sql, const QVariantList& values = {}) const
    {
        if (!query.prepare(sql))
            return query.lastError().text();
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            return query.lastError().text();
        return std::nullopt;
    }

    std::optional<QString> exec(const QString& sql, const QVariantList& values = {}) const
    {
        QSqlQuery query(db);
        return exec(query, sql, values);
    }
};

QString HistoryStore::asidePath(const QString& path, const QDateTime& at)
{
    return path + QStringLiteral(".damaged-") + at.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

std::unique_ptr<HistoryStore> HistoryStore::open(const QString& path, QString* problem)
{
    const auto fail = [&](const QString& why) {
        if (problem)
            *problem = why;
        return std::unique_ptr<HistoryStore>();
    };
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        return fail(QStringLiteral("%1 is not a regular file").arg(path));
    if (!info.exists() && !createPrivate(path))
        return fail(QStringLiteral("%1 cannot be created").arg(path));

    auto connection = std::make_unique<Connection>();
    connection->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection->name);
    if (!connection->db.isValid())
        return fail(QStringLiteral("Qt's SQLite driver is missing"));
    connection->db.setDatabaseName(path);
    connection->db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!connection->db.open())
        return fail(connection->db.lastError().text());

    QSqlQuery query(connection->db);
    const bool readable = query.exec(QStringLiteral("PRAGMA quick_check")) && query.next()
        && query.value(0).toString() == QLatin1String("ok");
    if (!readable) {
        // Busy or locked by another process: not damaged, just not ours right now.
        const QString code = query.lastError().nativeErrorCode();
        if (code == QLatin1String("5") || code == QLatin1String("6"))
            return fail(QStringLiteral("%1 is locked by another process").arg(path));
        // Not a database, or a damaged one: kept aside for whoever wants to look.
        const QString reason = query.lastError().isValid() ? query.lastError().text() : query.value(0).toString();
        query = QSqlQuery();
        connection.reset();
        const QString aside = asidePath(path, QDateTime::currentDateTimeUtc());
        if (!QFile::rename(path, aside))
            return fail(QStringLiteral("%1 is damaged (%2) and cannot be moved aside").arg(path, reason));
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        auto fresh = open(path, problem);
        if (fresh && problem)
            *problem = QStringLiteral("%1 was damaged (%2); moved to %3 and started anew").arg(path, reason, aside);
        return fresh;
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return fail(query.lastError().text());
    const int version = query.value(0).toInt();
    query.finish();
    if (version > schemaVersion)
        return fail(QStringLiteral("%1 was written by a newer version of Stowage").arg(path));
    // NORMAL: with a write-ahead log the file cannot be damaged by a crash;
    // at most the last refresh is lost on a power cut, and no commit waits
    // for the disk.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")))
        return fail(query.lastError().text());
    query.finish();
    if (version < schemaVersion) {
        if (!connection->db.transaction())
            return fail(connection->db.lastError().text());
        for (const char* statement : schema)
            if (const auto error = connection->exec(QString::fromLatin1(statement)))
                return connection->db.rollback(), fail(*error);
        if (const auto error = connection->exec(QStringLiteral("PRAGMA user_version = %1").arg(schemaVersion)))
            return connection->db.rollback(), fail(*error);
        if (!connection->db.commit())
            return fail(connection->db.lastError().text());
    }
    if (problem)
        problem->clear();
    return std::unique_ptr<HistoryStore>(new HistoryStore(std::move(connection)));
}

HistoryStore::HistoryStore(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

HistoryStore::~HistoryStore() = default;

bool HistoryStore::record(const HistorySnapshot& snapshot, QString* problem)
{
    const auto fail = [&](const QString& why) {
        connection_->exec(QStringLiteral("ROLLBACK"));
        if (problem)
            *problem = why;
        return false;
    };
    // IMMEDIATE takes the write lock at once (waiting for another writer up to
    // the busy timeout): a transaction that first reads and then writes would
    // otherwise fail outright when another process wrote in between.
    if (const auto error = connection_->exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(*error);
    QSqlQuery query(connection_->db);
    if (const auto error = connection_->exec(query, QStringLiteral("SELECT MAX(taken_at) FROM refresh WHERE engine = ?"),
                                             {snapshot.engine}))
        return fail(*error);
    qint64 takenAt = msOf(snapshot.takenAt);
    if (query.next() && !query.value(0).isNull())
        takenAt = std::max(takenAt, query.value(0).toLongLong() + 1);
    QVariantList values{snapshot.engine, takenAt, snapshot.headless ? 1 : 0};
    for (const HistoryAmount& amount : snapshot.totals)
        values << amount.bytes << amount.count;
    values << snapshot.reclaimableBytes << encodeProjects(snapshot.projects) << encodeVolumes(snapshot.namedVolumes);
    if (const auto error = connection_->exec(
            QStringLiteral("INSERT INTO refresh (engine, taken_at, headless, image_bytes, image_count, volume_bytes,"
                           " volume_count, container_bytes, container_count, cache_bytes, cache_count,"
                           " reclaimable_bytes, projects, volumes) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            values))
        return fail(*error);
    QString foldProblem;
    if (!foldPastRetention(snapshot.engine, dateOf(takenAt), &foldProblem))
        return fail(foldProblem);
    query = QSqlQuery();
    if (const auto error = connection_->exec(QStringLiteral("COMMIT")))
        return fail(*error);
    return true;
}

bool HistoryStore::foldPastRetention(const QString& engine, const QDateTime& now, QString* problem)
{
    QSqlQuery query(connection_->db);
    if (const auto error = connection_->exec(
            query, QStringLiteral("SELECT id, taken_at, refreshes FROM refresh WHERE engine = ? AND taken_at < ?"
                                  " ORDER BY taken_at"),
            {engine, msOf(now) - everyRefreshKeptMs})) {
        *problem = *error;
        return false;
    }
    // Rows older than a week fold by day, older than a year by month; the
    // latest row of a period stays and counts the refreshes of the others.
    struct Row {
        qint64 id;
        int refreshes;
    };
    std::map<QString, std::vector<Row>> periods;
    const qint64 yearAgo = msOf(now) - dailyKeptMs;
    while (query.next()) {
        const qint64 at = query.value(1).toLongLong();
        const QDate day = dateOf(at).date();
        const QString period = at < yearAgo ? day.toString(QStringLiteral("yyyy-MM")) : day.toString(Qt::ISODate);
        periods[period].push_back({query.value(0).toLongLong(), query.value(2).toInt()});
    }
    for (const auto& [period, rows] : periods) {
        if (rows.size() < 2)
            continue;
        int refreshes = 0;
        QVariantList folded;
        for (const Row& row : rows) {
            refreshes += row.refreshes;
            if (row.id != rows.back().id)
                folded << row.id;
        }
        QStringList marks(folded.size(), QStringLiteral("?"));
        const auto error = connection_->exec(QStringLiteral("UPDATE refresh SET refreshes = ? WHERE id = ?"),
                                             {refreshes, rows.back().id});
        const auto deleteError =
            error ? error
                  : connection_->exec(QStringLiteral("DELETE FROM refresh WHERE id IN (%1)").arg(marks.join(',')), folded);
        if (deleteError) {
            *problem = *deleteError;
            return false;
        }
    }
    return true;
}

bool HistoryStore::recordRemoval(const HistoryRemoval& removal, QString* problem)
{
    const auto error =
        connection_->exec(QStringLiteral("INSERT INTO removal (engine, at, what, bytes) VALUES (?, ?, ?, ?)"),
                          {removal.engine, msOf(removal.at), removal.what, removal.bytes});
    if (error && problem)
        *problem = *error;
    return !error;
}

QList<HistoryPoint> HistoryStore::series(const QString& engine, const QDateTime& from,
                                         const std::optional<QString>& project) const
{
    QSqlQuery query(connection_->db);
    QList<HistoryPoint> points;
    if (connection_->exec(query,
                          QStringLiteral("SELECT taken_at, image_bytes + volume_bytes + container_bytes + cache_bytes,"
                                         " reclaimable_bytes, refreshes, projects FROM refresh"
                                         " WHERE engine = ? AND taken_at >= ? ORDER BY taken_at"),
                          {engine, msOf(from)}))
        return points;
    while (query.next()) {
        HistoryPoint point{dateOf(query.value(0).toLongLong()), query.value(1).toLongLong(),
                           query.value(2).toLongLong(), query.value(3).toInt()};
        if (project) {
            const QList<HistoryProject> projects = decodeProjects(query.value(4).toByteArray());
            const auto found = std::find_if(projects.begin(), projects.end(),
                                            [&](const HistoryProject& p) { return p.name == *project; });
            point.bytes = found == projects.end() ? 0 : projectBytes(*found);
            point.reclaimableBytes = 0;
        }
        points << point;
    }
    return points;
}

QList<HistoryGrowth> HistoryStore::growthSince(const QString& engine, const QDateTime& since) const
{
    // The last refresh, and the one nearest before `since` (or the oldest).
    QSqlQuery query(connection_->db);
    const QString columns = QStringLiteral("SELECT id, projects, volumes FROM refresh WHERE engine = ? ");
    struct Kept {
        qint64 id = -1;
        QList<HistoryProject> projects;
        QList<HistoryVolume> volumes;
    };
    const auto fetch = [&](const QString& rest, const QVariantList& values) {
        Kept kept;
        if (!connection_->exec(query, columns + rest, values) && query.next())
            kept = {query.value(0).toLongLong(), decodeProjects(query.value(1).toByteArray()),
                    decodeVolumes(query.value(2).toByteArray())};
        return kept;
    };
    const Kept last = fetch(QStringLiteral("ORDER BY taken_at DESC LIMIT 1"), {engine});
    Kept base = fetch(QStringLiteral("AND taken_at <= ? ORDER BY taken_at DESC LIMIT 1"), {engine, msOf(since)});
    if (base.id < 0)
        base = fetch(QStringLiteral("ORDER BY taken_at LIMIT 1"), {engine});
    if (last.id < 0 || base.id == last.id)
        return {};

    // Everything in either refresh: what is gone grew by minus its size.
    QList<HistoryGrowth> growth;
    const auto compare = [&](HistoryGrowth::Subject subject, const auto& before, const auto& now, auto bytesOf,
                             auto projectOf) {
        QHash<QString, qsizetype> earlier;
        for (qsizetype i = 0; i < before.size(); ++i)
            earlier.insert(before[i].name, i);
        for (const auto& item : now) {
            const auto found = earlier.constFind(item.name);
            const bool isNew = found == earlier.cend();
            growth << HistoryGrowth{subject, item.name, projectOf(item), isNew ? 0 : bytesOf(before[*found]),
                                    bytesOf(item), isNew};
            if (!isNew)
                earlier.erase(found);
        }
        for (auto gone = earlier.cbegin(); gone != earlier.cend(); ++gone)
            growth << HistoryGrowth{subject, gone.key(), projectOf(before[gone.value()]), bytesOf(before[gone.value()]),
                                    0, false};
    };
    compare(HistoryGrowth::Subject::project, base.projects, last.projects, projectBytes,
            [](const HistoryProject& p) { return p.name; });
    compare(HistoryGrowth::Subject::volume, base.volumes, last.volumes, [](const HistoryVolume& v) { return v.bytes; },
            [](const HistoryVolume& v) { return v.project; });
    std::stable_sort(growth.begin(), growth.end(),
                     [](const HistoryGrowth& a, const HistoryGrowth& b) { return a.growth() > b.growth(); });
    return growth;
}

QList<HistoryRemoval> HistoryStore::removals(const QString& engine, const QDateTime& from, const QDateTime& to) const
{
    QSqlQuery query(connection_->db);
    QList<HistoryRemoval> found;
    if (connection_->exec(query,
                          QStringLiteral("SELECT at, what, bytes FROM removal WHERE engine = ? AND at >= ? AND at <= ?"
                                         " ORDER BY at"),
                          {engine, msOf(from), msOf(to)}))
        return found;
    while (query.next())
        found << HistoryRemoval{engine, dateOf(query.value(0).toLongLong()), query.value(1).toString(),
                                query.value(2).toLongLong()};
    return found;
}

}  // namespace stowage
