#pragma once
// Draws one activity-log row on one line: the time (dim), the level mark in a
// narrow column and the message, both in the level's colour.

#include <QStyledItemDelegate>

namespace stowage {

class LogEntryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace stowage
