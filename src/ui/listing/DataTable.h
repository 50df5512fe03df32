#pragma once
// A read-only table in the window's look: a dim header, compact rows in the
// normal text colour, no grid, alternating row shades and elided cells whose
// full text is in the tooltip. The model provides the data.

#include <QTableView>

namespace stowage {

class DataTable : public QTableView {
    Q_OBJECT
public:
    explicit DataTable(QAbstractItemModel* model, QWidget* parent = nullptr);
};

}  // namespace stowage
