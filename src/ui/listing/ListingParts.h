#pragma once
// Pieces shared by the Images and Volumes tabs: their column of parts, the
// title and colour legend of their header, the set-up of a table whose rows
// can be selected, and the row of buttons under it.

#include <QColor>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QFont;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;
class QTableView;
class QWidget;

namespace stowage {

// The tab's title, in the title size, bold.
QWidget* listingTitle(const QString& text, QWidget* parent = nullptr);

// A title above a part of a tab, read out as a heading.
QLabel* sectionHeading(const QString& text, const QFont& font, QWidget* parent = nullptr);

// A filled circle in `color` followed by `text` in 10 points.
QWidget* legendItem(const QString& text, const QColor& color, QWidget* parent = nullptr);

// The tab's column of parts: header, banner, controls, table, buttons.
QVBoxLayout* listingColumn(QWidget& tab);

// `table` set up for selection, named `name` and sized column by column (the
// columns `stretches` names share the spare width, the others can be
// resized), inside the bordered card that is returned.
QWidget* listingTableCard(QTableView* table, const QString& name, int columnTotal,
                          const std::function<int(int)>& columnWidth, const std::function<bool(int)>& stretches,
                          QWidget* parent);

// The row of the tab's buttons, on `buttons`, flush with the tab's edges.
QHBoxLayout* buttonRow(QWidget* buttons);

// The header of a listing whose first column is the usage mark: `titles`
// across the top, and the mark column, which shows no title, spoken as
// `markName`.
QVariant markedColumnHeader(int section, Qt::Orientation orientation, int role, const QString& markName,
                            const QStringList& titles);

// Rows selected whole, several at a time (click, Shift, Ctrl), with keyboard focus.
void allowRowSelection(QTableView& table);

// The keys (the `keyRole` data of column 0) of the rows selected in `table`.
// Rows are selected whole; reading the ranges is linear where selectedRows()
// is not. Rows without a key (section headers) are skipped.
QSet<QString> selectedRowKeys(const QTableView& table, int keyRole);

// Selects exactly the rows whose keys are in `keys`; `rowOf` gives a key's
// row, or -1 when it is not listed.
void selectRowKeys(QTableView& table, const QSet<QString>& keys, const std::function<int(const QString&)>& rowOf);

// Selects the one row of `key`, makes it current, scrolls it into the middle of
// the view and gives the table the keyboard focus; false when it is not listed.
bool showRowKey(QTableView& table, const QString& key, const std::function<int(const QString&)>& rowOf);

}  // namespace stowage
