#include "ui/listing/ListingParts.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/style/Icons.h"
#include "ui/style/Surfaces.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

namespace stowage {

QVBoxLayout* listingColumn(QWidget& tab)
{
    auto* column = new QVBoxLayout(&tab);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(10);
    return column;
}

QWidget* listingTableCard(QTableView* table, const QString& name, int columnTotal,
                          const std::function<int(int)>& columnWidth, const std::function<bool(int)>& stretches,
                          QWidget* parent)
{
    allowRowSelection(*table);
    table->setAccessibleName(name);
    auto* header = table->horizontalHeader();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(24);
    for (int column = 0; column < columnTotal; ++column) {
        table->setColumnWidth(column, columnWidth(column));
        header->setSectionResizeMode(column, stretches(column) ? QHeaderView::Stretch : QHeaderView::Interactive);
    }
    auto* card = new SurfaceCard(8, Theme::border(), 1, parent);
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(table);
    return card;
}

QHBoxLayout* buttonRow(QWidget* buttons)
{
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    return row;
}

QWidget* listingTitle(const QString& text, QWidget* parent)
{
    return sectionHeading(text, Theme::font(Theme::titleSize, QFont::Bold), parent);
}

QLabel* sectionHeading(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(parent);
    AccessibleRoles::setRole(*label, QAccessible::Heading);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    Theme::setTextColor(*label, Theme::text());
    return label;
}

QWidget* legendItem(const QString& text, const QColor& color, QWidget* parent)
{
    auto* item = new QWidget(parent);
    auto* row = new QHBoxLayout(item);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    auto* dot = new QLabel(item);
    dot->setPixmap(Icons::symbol(QStringLiteral("circle.fill"), color).pixmap(9, 9));
    row->addWidget(dot);
    row->addWidget(plainLabel(text, Theme::font(10), Theme::text(), item));
    return item;
}

void allowRowSelection(QTableView& table)
{
    table.setSelectionMode(QAbstractItemView::ExtendedSelection);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setFocusPolicy(Qt::StrongFocus);
}

QVariant markedColumnHeader(int section, Qt::Orientation orientation, int role, const QString& markName,
                            const QStringList& titles)
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::AccessibleTextRole && section == 0)
        return markName;
    if (role != Qt::DisplayRole)
        return {};
    return section > 0 && section < titles.size() ? titles[section] : QString();
}

QSet<QString> selectedRowKeys(const QTableView& table, int keyRole)
{
    QSet<QString> keys;
    const QAbstractItemModel* rows = table.model();
    for (const QItemSelectionRange& range : table.selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (const QString key = rows->index(row, 0).data(keyRole).toString(); !key.isEmpty())
                keys.insert(key);
    return keys;
}

void selectRowKeys(QTableView& table, const QSet<QString>& keys, const std::function<int(const QString&)>& rowOf)
{
    const QAbstractItemModel* rows = table.model();
    const int lastColumn = rows->columnCount() - 1;
    QItemSelection selected;
    for (const QString& key : keys) {
        const int row = rowOf(key);
        if (row >= 0)
            selected.select(rows->index(row, 0), rows->index(row, lastColumn));
    }
    table.selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
}

bool showRowKey(QTableView& table, const QString& key, const std::function<int(const QString&)>& rowOf)
{
    const int row = rowOf(key);
    if (row < 0)
        return false;
    selectRowKeys(table, {key}, rowOf);
    const QModelIndex index = table.model()->index(row, 0);
    table.selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    table.scrollTo(index, QAbstractItemView::PositionAtCenter);
    table.setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace stowage
