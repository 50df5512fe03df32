#include "ui/logs/LogListModel.h"

#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <QCoreApplication>

namespace stowage {

QString filterName(LevelFilter filter)
{
    switch (filter) {
    case LevelFilter::all: return QCoreApplication::translate("LogListModel", "All");
    case LevelFilter::info: return QCoreApplication::translate("LogListModel", "Info+");
    case LevelFilter::warn: return QCoreApplication::translate("LogListModel", "Warnings+");
    case LevelFilter::error: return QCoreApplication::translate("LogListModel", "Errors");
    }
    return {};
}

bool includes(LevelFilter filter, LogLevel level)
{
    switch (filter) {
    case LevelFilter::all: return true;
    case LevelFilter::info: return level != LogLevel::debug;
    case LevelFilter::warn: return level == LogLevel::warn || level == LogLevel::error;
    case LevelFilter::error: return level == LogLevel::error;
    }
    return true;
}

QString levelMark(LogLevel level)
{
    switch (level) {
    case LogLevel::debug: return QStringLiteral("•");
    case LogLevel::info: return QStringLiteral("›");
    case LogLevel::warn: return QStringLiteral("⚠");
    case LogLevel::error: return QStringLiteral("✕");
    }
    return {};
}

QColor levelColor(LogLevel level)
{
    switch (level) {
    case LogLevel::debug: return Theme::textDim();
    case LogLevel::info: return Theme::text();
    case LogLevel::warn: return Theme::warning();
    case LogLevel::error: return Theme::danger();
    }
    return Theme::text();
}

LogListModel::LogListModel(ActivityLog& log, QObject* parent) : QAbstractListModel(parent), log_(log)
{
    connect(&log_, &ActivityLog::entriesChanged, this, &LogListModel::follow);
    all_ = log_.entries();
    for (const auto& entry : all_)
        if (includes(filter_, entry.level))
            shown_.append(entry);
}

void LogListModel::setFilter(LevelFilter filter)
{
    if (filter == filter_)
        return;
    filter_ = filter;
    rebuild();
}

void LogListModel::rebuild()
{
    beginResetModel();
    all_ = log_.entries();
    shown_.clear();
    for (const auto& entry : all_)
        if (includes(filter_, entry.level))
            shown_.append(entry);
    endResetModel();
}

void LogListModel::follow()
{
    const QList<LogEntry>& now = log_.entries();
    // The log only ever appends at the end and trims at the front; find how
    // far the front moved by locating the new first entry among the old ones.
    qsizetype trimmed = -1;
    if (!now.isEmpty()) {
        for (qsizetype i = 0; i < all_.size(); ++i)
            if (all_[i].id == now.first().id) {
                trimmed = i;
                break;
            }
    } else if (all_.isEmpty()) {
        return;
    }
    const qsizetype kept = all_.size() - trimmed;
    const bool appendOnly = trimmed >= 0 && kept <= now.size() && now[kept - 1].id == all_.last().id;
    if (!appendOnly) {
        rebuild();
        return;
    }

    int removedRows = 0;
    for (qsizetype i = 0; i < trimmed; ++i)
        if (includes(filter_, all_[i].level))
            ++removedRows;
    if (removedRows > 0) {
        beginRemoveRows({}, 0, removedRows - 1);
        shown_.remove(0, removedRows);
        endRemoveRows();
    }
    QList<LogEntry> added;
    for (qsizetype i = kept; i < now.size(); ++i)
        if (includes(filter_, now[i].level))
            added.append(now[i]);
    if (!added.isEmpty()) {
        beginInsertRows({}, int(shown_.size()), int(shown_.size() + added.size() - 1));
        shown_.append(added);
        endInsertRows();
    }
    all_ = now;
}

QString LogListModel::lineText(int row) const
{
    const LogEntry& e = shown_[row];
    return e.time.toLocalTime().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') + levelMark(e.level)
        + QLatin1Char(' ') + e.message;
}

int LogListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(shown_.size()); }

QVariant LogListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shown_.size())
        return {};
    const LogEntry& e = shown_[index.row()];
    switch (role) {
    case Qt::DisplayRole: return lineText(index.row());
    case Qt::ToolTipRole: return plainToolTip(e.message);
    case timeTextRole: return e.time.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    case markRole: return levelMark(e.level);
    case levelRole: return int(e.level);
    case messageRole: return e.message;
    case Qt::ForegroundRole: return levelColor(e.level);
    }
    return {};
}

}  // namespace stowage
