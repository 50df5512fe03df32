#pragma once
// The All Engines table: one row per docker context, in the order docker lists
// them, with what the survey knows of its engine so far. Every text from
// docker (names, endpoints, errors, ids) is shown literally.

#include <QAbstractTableModel>

namespace stowage {

class EngineSurvey;

class EngineTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { nameColumn, endpointColumn, stateColumn, imagesColumn, volumesColumn, buildCacheColumn,
                  diskUsedColumn, safeColumn, idColumn, refreshedColumn, columnTotal };

    explicit EngineTableModel(QObject* parent = nullptr);

    // Shows `survey` (none: an empty table) and follows its engines as they end.
    // The survey must outlive its showing.
    void setSurvey(const EngineSurvey* survey);
    // The text of a cell, as shown.
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const EngineSurvey* survey_ = nullptr;
    QMetaObject::Connection ended_;
};

}  // namespace stowage
