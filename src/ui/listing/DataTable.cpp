#include "ui/listing/DataTable.h"

#include "ui/style/Theme.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace stowage {

namespace {

constexpr int cellPadding = 10;

// Draws the row band across the whole cell and the text, elided, inset by the
// same padding as the header's titles so that the columns line up.
class PaddedCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.row() % 2 == 1)
            painter->fillRect(option.rect, Theme::withAlpha(Qt::white, 0.035));
        const QRect textRect = option.rect.adjusted(cellPadding, 0, -cellPadding / 2, 0);
        const QVariant foreground = index.data(Qt::ForegroundRole);
        painter->save();
        painter->setFont(option.font);
        painter->setPen(foreground.isValid() ? foreground.value<QColor>() : Theme::text());
        const QString text = index.data(Qt::DisplayRole).toString();
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width()));
        painter->restore();
    }
};

}  // namespace

DataTable::DataTable(QAbstractItemModel* model, QWidget* parent) : QTableView(parent)
{
    setModel(model);
    setItemDelegate(new PaddedCellDelegate(this));
    setFont(Theme::font(11));
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    // Tab leaves the table; the arrow keys move inside it.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);

    auto* header = horizontalHeader();
    header->setFont(Theme::font(11));
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);

    // Flat and dim, with a rule under it, instead of the style's raised buttons.
    setStyleSheet(QStringLiteral("QTableView { background: transparent; border: none; }"
                                 "QHeaderView { background: transparent; border: none; }"
                                 "QHeaderView::section { background: %1; color: %2; border: none;"
                                 " border-bottom: 1px solid %3; padding: 6px %4px; }"
                                 "QTableCornerButton::section { background: transparent; border: none; }")
                      .arg(Theme::cardBg().name(), Theme::textDim().name(), Theme::border().name())
                      .arg(cellPadding));
    viewport()->setAutoFillBackground(false);
}

}  // namespace stowage
