#pragma once
// The Images tab's table: one row per ImageRow, every cell in the row colour.

#include "ui/images/ImageRows.h"

#include <QAbstractTableModel>

namespace stowage {

class ImageTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { markColumn, repositoryColumn, tagColumn, idColumn, sizeColumn, createdColumn, projectColumn,
                  statusColumn, columnTotal };
    // The full image ID of a row.
    static constexpr int idRole = Qt::UserRole + 1;

    explicit ImageTableModel(QObject* parent = nullptr);

    void setRows(QList<ImageRow> rows);
    const QList<ImageRow>& rows() const { return rows_; }
    // The row of an image ID, or -1.
    int rowOf(const QString& id) const;
    // Fixed widths; the repository column takes the remaining space.
    static int columnWidth(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const ImageRow& row, int column) const;

    QList<ImageRow> rows_;
    QHash<QString, int> rowById_;
};

}  // namespace stowage
