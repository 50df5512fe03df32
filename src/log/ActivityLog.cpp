#include "log/ActivityLog.h"

#include "log/LogFile.h"
#include "log/LogFormat.h"
#include "log/SerialQueue.h"
#include "platform/Paths.h"
#include "platform/ThreadHandOff.h"

#include <QCoreApplication>
#include <QDir>
#include <QMetaObject>
#include <QStringList>

#include <cstdlib>
#include <mutex>

namespace stowage {

QString rawValue(LogLevel level)
{
    switch (level) {
    case LogLevel::debug: return QStringLiteral("debug");
    case LogLevel::info: return QStringLiteral("info");
    case LogLevel::warn: return QStringLiteral("warn");
    case LogLevel::error: return QStringLiteral("error");
    }
    return {};
}

std::optional<LogLevel> logLevelFromRaw(const QString& raw)
{
    for (LogLevel level : {LogLevel::debug, LogLevel::info, LogLevel::warn, LogLevel::error}) {
        if (raw == rawValue(level))
            return level;
    }
    return std::nullopt;
}

namespace {

const QString launchMarker = QStringLiteral("\u2014\u2014 app launched (previous session above) \u2014\u2014");

}  // namespace

// Changes submitted from any thread and not yet applied on the UI thread, in
// the order they take effect: the previous run's entries go in front of what
// is in memory, a clear empties the list, then new entries are appended.
struct ActivityLog::PendingChanges {
    std::optional<QList<LogEntry>> previousRun;
    bool clear = false;
    QList<LogEntry> added;
};

struct ActivityLog::Impl {
    Impl(std::optional<QString> directory, QObject* owner)
        : filePath(directory ? std::optional(QDir(*directory).filePath(QStringLiteral("activity.log"))) : std::nullopt),
          handOff(owner)
    {
        if (directory)
            platform::makePrivateDir(*directory);
    }

    const std::optional<QString> filePath;
    QList<LogEntry> entries;  // UI thread only

    std::mutex pendingLock;
    PendingChanges pending;     // guarded by pendingLock
    bool publishPosted = false;  // guarded by pendingLock
    bool clearedOnce = false;    // guarded by pendingLock

    SerialQueue io{QStringLiteral("activitylog.io")};
    platform::ThreadHandOff handOff;  // publishes pending changes on the owner's thread
};

ActivityLog::ActivityLog(std::optional<QString> directory, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>(std::move(directory), this))
{
    // Entries belong to the UI thread whichever thread creates the log.
    if (auto* app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());
    loadPreviousRun();
}

ActivityLog::~ActivityLog() = default;

ActivityLog& ActivityLog::shared()
{
    // Never destroyed: background threads may log until the very end. Lines
    // still queued for the file are written before the process ends, whether
    // it leaves through the application object's teardown or through exit().
    static ActivityLog* instance = [] {
        auto* log = new ActivityLog(platform::appDataDir());
        // Qt builds its calendar tables on the first date it formats and tears
        // them down at exit in the reverse order of their making. Formatting a
        // date here, before the flush is registered, keeps them alive until the
        // flush has written the last lines (it formats their times).
        (void)logformat::formatDiskTime(QDateTime::currentDateTimeUtc());
        qAddPostRoutine([] { ActivityLog::shared().flush(); });
        std::atexit([] { ActivityLog::shared().flush(); });
        return log;
    }();
    return *instance;
}

void ActivityLog::loadPreviousRun()
{
    // The first task of the I/O thread: it reads before any append can run,
    // and the thread that creates the log (the UI thread at start-up) never
    // waits for the disk. The read is bounded: a huge file costs at most
    // maxPreviousRunBytes, a FIFO named like the log is not waited on.
    if (!d->filePath)
        return;
    d->io.submit([this, path = *d->filePath] {
        QList<LogEntry> previous = logformat::parsePreviousRun(logfile::readTail(path, maxPreviousRunBytes));
        if (previous.isEmpty())
            return;
        previous.append(LogEntry{QUuid::createUuid(), QDateTime::currentDateTimeUtc(), LogLevel::debug, launchMarker});
        submitChange([&](PendingChanges& pending) {
            // Lines cleared away before they arrived stay cleared.
            if (!d->clearedOnce)
                pending.previousRun = std::move(previous);
        });
    });
}

void ActivityLog::log(LogLevel level, const QString& message)
{
    LogEntry entry{QUuid::createUuid(), QDateTime::currentDateTimeUtc(), level, message};
    if (d->filePath) {
        d->io.submit([path = *d->filePath, entry] {
            logfile::appendLine(path, logformat::diskLine(entry), maxFileBytes);
        });
    }
    submitChange([&](PendingChanges& pending) { pending.added.append(std::move(entry)); });
}

const QList<LogEntry>& ActivityLog::entries() const
{
    return d->entries;
}

void ActivityLog::clear()
{
    submitChange([this](PendingChanges& pending) {
        pending.previousRun.reset();
        pending.added.clear();
        pending.clear = true;
        d->clearedOnce = true;
    });
    if (d->filePath)
        d->io.submit([path = *d->filePath] { logfile::setAside(path); });
}

QString ActivityLog::exportText() const
{
    QStringList lines;
    lines.reserve(d->entries.size());
    for (const LogEntry& entry : d->entries)
        lines.append(logformat::exportLine(entry));
    return lines.join(u'\n');
}

std::optional<QString> ActivityLog::fileURL() const
{
    return d->filePath;
}

void ActivityLog::flush()
{
    d->io.flush(SerialQueue::drainLimit);
}

void ActivityLog::submitChange(const std::function<void(PendingChanges&)>& change)
{
    // Changes gather under the lock and one posted call applies them all:
    // a burst of log() calls costs the UI thread one append and one
    // notification per batch instead of one per entry.
    bool post = false;
    {
        std::lock_guard guard(d->pendingLock);
        change(d->pending);
        post = !std::exchange(d->publishPosted, true);
    }
    if (post)
        d->handOff.post([this] { publishPending(); });
}

void ActivityLog::publishPending()
{
    PendingChanges changes;
    {
        std::lock_guard guard(d->pendingLock);
        changes = std::exchange(d->pending, {});
        d->publishPosted = false;
    }
    QList<LogEntry>& entries = d->entries;
    if (changes.previousRun)
        entries = *changes.previousRun + entries;
    if (changes.clear)
        entries.clear();
    if (!changes.added.isEmpty()) {
        entries.append(std::move(changes.added));
        if (entries.size() > maxEntries)
            entries.remove(0, entries.size() - maxEntries);
    }
    emit entriesChanged();
}

}  // namespace stowage
