#include "ui/images/ImageTableModel.h"

#include "classification/UsageClassification.h"
#include "model/DisposeOffThread.h"
#include "ui/listing/ListingParts.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <algorithm>

namespace stowage {

ImageTableModel::ImageTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ImageTableModel::setRows(QList<ImageRow> rows)
{
    beginResetModel();
    // 10,000 rows of text are freed off the UI thread.
    disposeOffThread(std::exchange(rows_, std::move(rows)));
    disposeOffThread(std::exchange(rowById_, {}));
    rowById_.reserve(rows_.size());
    for (int i = 0; i < rows_.size(); ++i)
        rowById_.insert(rows_[i].id, i);
    endResetModel();
}

int ImageTableModel::rowOf(const QString& id) const
{
    return rowById_.value(id, -1);
}

int ImageTableModel::columnWidth(int column)
{
    static const int widths[columnTotal] = {24, 240, 90, 110, 90, 120, 170, 170};
    if (column == statusColumn) {
        // Wide enough for the longest verdict the tab writes itself, in the table's font.
        static const int statusWidth =
            std::max(widths[statusColumn], Theme::textWidth(Theme::font(11), UsageClassification::baseImageStatusText()) + 16);
        return statusWidth;
    }
    return column >= 0 && column < columnTotal ? widths[column] : 0;
}

int ImageTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int ImageTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columnTotal);
}

QString ImageTableModel::text(const ImageRow& row, int column) const
{
    switch (column) {
    case markColumn: return row.mark;
    case repositoryColumn: return row.repository;
    case tagColumn: return row.tag;
    case idColumn: return row.shortId;
    case sizeColumn: return row.size;
    case createdColumn: return row.created;
    case projectColumn: return row.project;
    case statusColumn: return row.status;
    default: return {};
    }
}

QVariant ImageTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const ImageRow& row = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole: return text(row, index.column());
    case Qt::AccessibleTextRole:
        // The mark is a symbol; assistive technology reads what it stands for.
        return index.column() == markColumn ? ImageRows::legendEntry(row.verdict).caption : text(row, index.column());
    case Qt::ToolTipRole: return plainToolTip(index.column() == idColumn ? row.id : text(row, index.column()));
    case Qt::ForegroundRole: return row.color;
    case Qt::TextAlignmentRole:
        return index.column() == markColumn ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    case idRole: return row.id;
    default: return {};
    }
}

QVariant ImageTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return markedColumnHeader(section, orientation, role, tr("Usage"),
                              {QString(), tr("Repository"), tr("Tag"), tr("ID"), tr("Size"), tr("Created"),
                               tr("Project"), tr("Status")});
}

}  // namespace stowage
