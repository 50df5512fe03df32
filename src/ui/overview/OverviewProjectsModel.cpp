#include "ui/overview/OverviewProjectsModel.h"

#include "docker/Records.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <QSet>

#include <algorithm>

namespace stowage {

QList<OverviewProjectsModel::Row> OverviewProjectsModel::rowsFor(const QHash<QString, QList<SGContainer>>& projects)
{
    return overviewProjectRows(projects);
}

QString OverviewProjectsModel::text(const Row& row, int column)
{
    switch (column) {
    case project: return row.name.isEmpty() ? tr("(no project)") : row.name;
    case containers: return QString::number(row.containers);
    case running: return QString::number(row.running);
    case stopped: return QString::number(row.containers - row.running);
    case imagesUsed: return row.imagesUsed;
    }
    return {};
}

QString OverviewProjectsModel::columnTitle(int column)
{
    switch (column) {
    case project: return tr("Project");
    case containers: return tr("Containers");
    case running: return tr("Running");
    case stopped: return tr("Stopped");
    case imagesUsed: return tr("Images Used");
    }
    return {};
}

int OverviewProjectsModel::columnWidth(int column)
{
    static constexpr int widths[] = {260, 90, 80, 80, 360};
    return column >= 0 && column < columns ? widths[column] : 0;
}

void OverviewProjectsModel::setProjects(const QHash<QString, QList<SGContainer>>& projects)
{
    setRows(rowsFor(projects));
}

void OverviewProjectsModel::setRows(QList<Row> rows)
{
    if (rows == rows_)
        return;
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int OverviewProjectsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int OverviewProjectsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns;
}

QVariant OverviewProjectsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Row& row = rows_[index.row()];
    if (role == Qt::DisplayRole)
        return text(row, index.column());
    if (role == Qt::ToolTipRole)
        return plainToolTip(text(row, index.column()));
    if (role == Qt::ForegroundRole)
        return Theme::text();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignLeft);
    return {};
}

QVariant OverviewProjectsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return columnTitle(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignLeft);
    return {};
}

}  // namespace stowage
