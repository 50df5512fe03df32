#pragma once
// The Overview's compact table of compose projects: one row per project,
// sorted by name (standalone containers, the empty name, first), with
// container, running and stopped counts and the images the project runs.

#include "classification/OverviewFigures.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

namespace stowage {

struct SGContainer;

class OverviewProjectsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { project, containers, running, stopped, imagesUsed };
    static constexpr int columns = 5;

    using Row = OverviewProjectRow;

    static QList<Row> rowsFor(const QHash<QString, QList<SGContainer>>& projects);
    // A cell's text (also its tooltip, shown plain).
    static QString text(const Row& row, int column);
    static QString columnTitle(int column);
    static int columnWidth(int column);

    using QAbstractTableModel::QAbstractTableModel;
    void setProjects(const QHash<QString, QList<SGContainer>>& projects);
    // Rows worked out elsewhere (the summary stored in the state cache).
    void setRows(QList<Row> rows);
    const QList<Row>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<Row> rows_;
};

}  // namespace stowage
