#include "ui/volumes/VolumeTableModel.h"

#include "ui/listing/ListingParts.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

namespace stowage {

VolumeTableModel::VolumeTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void VolumeTableModel::setContent(const VolumeCatalog& catalog, QList<VolumeSection> sections)
{
    beginResetModel();
    catalog_ = &catalog;
    sections_ = std::move(sections);
    rows_.clear();
    rowByName_.clear();
    for (int s = 0; s < sections_.size(); ++s) {
        rows_.append({s, -1});
        for (int v = 0; v < sections_[s].volumes.size(); ++v) {
            rowByName_.insert(sections_[s].volumes[v].name, int(rows_.size()));
            rows_.append({s, v});
        }
    }
    endResetModel();
}

QList<int> VolumeTableModel::headerRows() const
{
    QList<int> out;
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].volume < 0)
            out.append(i);
    return out;
}

int VolumeTableModel::rowOf(const QString& name) const
{
    return rowByName_.value(name, -1);
}

int VolumeTableModel::columnWidth(int column)
{
    static const int widths[columnTotal] = {24, 260, 90, 190, 210, 210, 260};
    return column >= 0 && column < columnTotal ? widths[column] : 0;
}

int VolumeTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int VolumeTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columnTotal);
}

Qt::ItemFlags VolumeTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return Qt::NoItemFlags;
    return rows_[index.row()].volume < 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant VolumeTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size() || !catalog_)
        return {};
    const Row& row = rows_[index.row()];
    const VolumeSection& section = sections_[row.section];
    if (role == headerRole)
        return row.volume < 0;
    if (row.volume < 0)
        return headerData(section, index.column(), role);
    return volumeData(section.volumes[row.volume], index.column(), role);
}

QVariant VolumeTableModel::headerData(const VolumeSection& section, int column, int role) const
{
    switch (role) {
    case Qt::DisplayRole: return column == 0 ? section.title : QString();
    // The section's title row is no volume: assistive technology reads it as a heading.
    case Qt::AccessibleTextRole: return column == 0 ? tr("Section: %1").arg(section.title) : QString();
    case Qt::ToolTipRole: return column == 0 ? plainToolTip(section.title) : QString();
    case Qt::ForegroundRole: return section.color;
    case Qt::BackgroundRole: return Theme::withAlpha(section.color, 0.08);
    case Qt::FontRole: return Theme::font(11, QFont::DemiBold);
    case Qt::TextAlignmentRole: return int(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

QString VolumeTableModel::cellText(const SGVolume& volume, const VolumeCells& cells, int column) const
{
    switch (column) {
    case markColumn: return usageMark(cells.usage);
    case nameColumn: return volume.name;
    case sizeColumn: return cells.size;
    case projectColumn: return cells.project;
    case usedByColumn: return cells.usedBy;
    case statusColumn: return cells.status;
    case mountpointColumn: return volume.mountpoint;
    default: return {};
    }
}

QVariant VolumeTableModel::volumeData(const SGVolume& volume, int column, int role) const
{
    const VolumeCells cells = catalog_->cells(volume);
    switch (role) {
    case Qt::DisplayRole: return cellText(volume, cells, column);
    case Qt::AccessibleTextRole:
        return column == markColumn ? usageMeaning(cells.usage) : cellText(volume, cells, column);
    case Qt::ToolTipRole:
        if (column == markColumn)
            return {};
        // Every mounter, where the cell names only the first.
        return plainToolTip(column == usedByColumn ? cells.mounters.join(QStringLiteral("\n")) : cellText(volume, cells, column));
    case Qt::ForegroundRole:
        switch (column) {
        case projectColumn:
        case usedByColumn: return Theme::text();
        case mountpointColumn: return Theme::textDim();
        default: return usageColor(cells.usage);
        }
    case Qt::TextAlignmentRole:
        return column == markColumn ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    case nameRole: return volume.name;
    default: return {};
    }
}

QVariant VolumeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return markedColumnHeader(section, orientation, role, tr("Usage"),
                              {QString(), tr("Volume Name"), tr("Size"), tr("Project"), tr("Used by"),
                               tr("Status"), tr("Mountpoint")});
}

}  // namespace stowage
