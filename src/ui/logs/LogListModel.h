#pragma once
// The activity log as a list model for the Logs tab, filtered by level. It
// follows the log live: appended entries become inserted rows and entries
// trimmed from the front become removed rows, so a view of 2,000 lines stays
// smooth while new lines stream in; anything else (a clear, the previous
// run's lines arriving) resets the model.

#include "log/ActivityLog.h"

#include <QAbstractListModel>

#include <array>

namespace stowage {

enum class LevelFilter { all, info, warn, error };

constexpr std::array<LevelFilter, 4> allLevelFilters() { return {LevelFilter::all, LevelFilter::info, LevelFilter::warn, LevelFilter::error}; }
QString filterName(LevelFilter filter);  // "All", "Info+", "Warnings+", "Errors"
bool includes(LevelFilter filter, LogLevel level);

// The level's mark in a row: "•", "›", "⚠", "✕".
QString levelMark(LogLevel level);
// The colours of a row's mark and message.
QColor levelColor(LogLevel level);

class LogListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { timeTextRole = Qt::UserRole + 1, markRole, levelRole, messageRole };

    explicit LogListModel(ActivityLog& log, QObject* parent = nullptr);

    void setFilter(LevelFilter filter);
    LevelFilter filter() const { return filter_; }
    const LogEntry& entry(int row) const { return shown_[row]; }
    // One row as plain text: time, mark and message.
    QString lineText(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void follow();
    void rebuild();

    ActivityLog& log_;
    LevelFilter filter_ = LevelFilter::all;
    QList<LogEntry> all_;    // the log's entries as last seen
    QList<LogEntry> shown_;  // those passing the filter
};

}  // namespace stowage
