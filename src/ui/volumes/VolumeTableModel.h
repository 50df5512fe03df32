#pragma once
// The Volumes tab's one table: for each section a header row with its title,
// then one row per volume. Header rows cannot be selected.

#include "ui/volumes/VolumeSections.h"

#include <QAbstractTableModel>

namespace stowage {

class VolumeTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { markColumn, nameColumn, sizeColumn, projectColumn, usedByColumn, statusColumn, mountpointColumn,
                  columnTotal };
    // The volume name of a row (empty on header rows).
    static constexpr int nameRole = Qt::UserRole + 1;
    // Whether a row is a section header.
    static constexpr int headerRole = Qt::UserRole + 2;

    explicit VolumeTableModel(QObject* parent = nullptr);

    // `catalog` provides the cells and must outlive the content.
    void setContent(const VolumeCatalog& catalog, QList<VolumeSection> sections);
    const QList<VolumeSection>& sections() const { return sections_; }
    // Rows that are section headers, in order.
    QList<int> headerRows() const;
    // The row of a volume, or -1.
    int rowOf(const QString& name) const;
    // Fixed widths; name and mountpoint share the remaining space.
    static int columnWidth(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        int section;
        int volume;  // -1 on a header row
    };
    QVariant headerData(const VolumeSection& section, int column, int role) const;
    QVariant volumeData(const SGVolume& volume, int column, int role) const;
    QString cellText(const SGVolume& volume, const VolumeCells& cells, int column) const;

    const VolumeCatalog* catalog_ = nullptr;
    QList<VolumeSection> sections_;
    QList<Row> rows_;
    QHash<QString, int> rowByName_;
};

}  // namespace stowage
