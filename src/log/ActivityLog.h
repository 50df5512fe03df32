#pragma once
// The activity log: what the application did, in words. One shared instance;
// log() may be called from any thread and never blocks on disk or on the UI
// thread. Entries are published on the UI thread (the thread of the
// QCoreApplication); the file is written on a private background thread in
// submission order.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

namespace stowage {

enum class LogLevel { debug, info, warn, error };

QString rawValue(LogLevel level);                         // "debug", "info", …
std::optional<LogLevel> logLevelFromRaw(const QString& raw);  // exact lower-case values only

struct LogEntry {
    QUuid id;
    QDateTime time;
    LogLevel level = LogLevel::info;
    QString message;

    bool operator==(const LogEntry&) const = default;
};

class ActivityLog : public QObject {
    Q_OBJECT
public:
    static constexpr int maxEntries = 2000;
    static constexpr qint64 maxFileBytes = 2000000;

    // At most this much of the end of the previous run's file is read back.
    static constexpr qint64 maxPreviousRunBytes = maxFileBytes;

    // A log whose file lives in `directory` (created when missing); with no
    // directory the log keeps entries in memory only. The tail of an existing
    // file is read on the log's own thread, before anything is appended, and
    // published on the UI thread.
    explicit ActivityLog(std::optional<QString> directory, QObject* parent = nullptr);
    ~ActivityLog() override;

    // The process-wide log, in the application's data directory.
    static ActivityLog& shared();

    void log(LogLevel level, const QString& message);
    const QList<LogEntry>& entries() const;  // UI thread only
    void clear();
    QString exportText() const;  // UI thread only
    // Path of the log file, or none when there is no location.
    std::optional<QString> fileURL() const;
    // Blocks until every line submitted so far has reached the file.
    void flush();

signals:
    void entriesChanged();

private:
    struct Impl;
    struct PendingChanges;
    void loadPreviousRun();
    // Records a change of `entries` and makes sure the UI thread applies it.
    void submitChange(const std::function<void(PendingChanges&)>& change);
    void publishPending();  // UI thread

    std::unique_ptr<Impl> d;
};

}  // namespace stowage
