#include "ui/logs/LogEntryDelegate.h"

#include "ui/logs/LogListModel.h"
#include "ui/style/Theme.h"

#include <QPainter>

namespace stowage {

namespace {

constexpr int sidePadding = 20;
constexpr int gap = 8;
constexpr int markColumn = 12;

}  // namespace

QSize LogEntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.rect.width(), QFontMetrics(option.font).height() + 4};
}

void LogEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    if (option.state & QStyle::State_Selected)
        painter->fillRect(option.rect, Theme::withAlpha(Theme::accent(), 0.30));
    else if (option.state & QStyle::State_MouseOver)
        painter->fillRect(option.rect, Theme::withAlpha(Theme::text(), 0.04));

    const auto level = LogLevel(index.data(LogListModel::levelRole).toInt());
    const QColor color = levelColor(level);
    const QFontMetrics fm(option.font);
    painter->setFont(option.font);
    QRect r = option.rect.adjusted(sidePadding, 0, -sidePadding, 0);

    const QString time = index.data(LogListModel::timeTextRole).toString();
    painter->setPen(Theme::textDim());
    painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, time);
    r.setLeft(r.left() + fm.horizontalAdvance(time) + gap);

    painter->setPen(color);
    painter->drawText(QRect(r.left(), r.top(), markColumn, r.height()), Qt::AlignCenter,
                      index.data(LogListModel::markRole).toString());
    r.setLeft(r.left() + markColumn + gap);

    QString message = index.data(LogListModel::messageRole).toString();
    message.replace(QLatin1Char('\n'), QStringLiteral(" ⏎ "));
    painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, fm.elidedText(message, Qt::ElideRight, r.width()));
    painter->restore();
}

}  // namespace stowage
