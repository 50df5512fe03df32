#include "ui/projects/ProjectCardDelegate.h"

#include "model/AppModel.h"
#include "ui/projects/ProjectCardList.h"
#include "ui/projects/ProjectListModel.h"
#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace stowage {

namespace {

constexpr qreal cardRadius = 8;
constexpr qreal buttonRadius = 6;
constexpr int minimumCardWidth = 520;

}  // namespace

ProjectCardDelegate::ProjectCardDelegate(AppModel& model, ProjectListModel& cards, ProjectCardList& view)
    : QStyledItemDelegate(&view), model_(model), cards_(cards), view_(view), viewport_(view.viewport())
{
    viewport_->setMouseTracking(true);
    viewport_->installEventFilter(this);
}

bool ProjectCardDelegate::eventFilter(QObject* watched, QEvent* event)
{
    // Compare with the pointer kept at construction: while the view is being
    // destroyed its viewport still sends events, and the view may no longer be
    // a list view by then.
    if (watched != viewport_ || (event->type() != QEvent::Leave && event->type() != QEvent::MouseMove))
        return false;
    if (event->type() == QEvent::Leave) {
        setHovered({}, std::nullopt);
    } else if (event->type() == QEvent::MouseMove) {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = view_.indexAt(pos);
        if (!index.isValid()) {
            setHovered({}, std::nullopt);
        } else {
            const QRect item = view_.visualRect(index);
            setHovered(index, layoutFor(index.row(), item.width()).actionAt(pos - item.topLeft()));
        }
    }
    return false;
}

CardLayout ProjectCardDelegate::layoutFor(int row, int width) const
{
    const ProjectCardData& card = cards_.card(row);
    CardContext context;
    context.selectionMode = cards_.view().selecting;
    context.selected = cards_.view().selected.contains(card.project);
    context.hasReadme = cards_.hasReadme(card.project);
    context.folderUnavailable = cards_.folderUnavailable(card.project);
    context.busy = model_.isLoading();
    context.now = model_.clock().now();
    return ProjectCardGeometry::layout(card, context, width);
}

QSize ProjectCardDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    return {minimumCardWidth, ProjectCardGeometry::height(cards_.card(index.row()))};
}

void ProjectCardDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const CardLayout layout = layoutFor(index.row(), option.rect.width());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(option.rect.topLeft());
    const QRectF frame = QRectF(0, 0, option.rect.width(), option.rect.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->setPen(QPen(layout.outline, 1));
    painter->setBrush(Theme::cardBg());
    painter->drawRoundedRect(frame, cardRadius, cardRadius);
    const bool hoveredCard = hoveredIndex_.isValid() && hoveredIndex_ == index;
    const bool focusCard = view_.hasFocus() && view_.currentIndex() == index;
    for (const CardItem& item : layout.items)
        paintItem(*painter, item, hoveredCard && item.action && item.action == hoveredAction_,
                  focusCard && item.action && item.action == view_.focusedAction());
    painter->restore();
}

const QIcon& ProjectCardDelegate::icon(const QString& symbol, const QColor& color) const
{
    const QString key = symbol + color.name(QColor::HexArgb);
    auto it = icons_.find(key);
    if (it == icons_.end())
        it = icons_.insert(key, Icons::symbol(symbol, color));
    return *it;
}

void ProjectCardDelegate::paintItem(QPainter& p, const CardItem& item, bool hovered, bool focused) const
{
    if (focused) {
        p.setPen(QPen(Theme::accent().lighter(130), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(item.rect).adjusted(-2.5, -2.5, 2.5, 2.5), buttonRadius + 2, buttonRadius + 2);
    }
    switch (item.kind) {
    case CardItem::Kind::text:
    case CardItem::Kind::dot: {
        p.setFont(item.font);
        p.setPen(item.color);
        const QString shown = QFontMetrics(item.font).elidedText(item.text, Qt::ElideRight, item.rect.width() + 1);
        p.drawText(item.rect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
        break;
    }
    case CardItem::Kind::badge: {
        const QRectF frame = QRectF(item.rect).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(Theme::withAlpha(item.color, 0.5), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame, 4, 4);
        p.setFont(item.font);
        p.setPen(item.color);
        p.drawText(item.rect.adjusted(6, 0, -6, 0), Qt::AlignCenter | Qt::TextSingleLine,
                   QFontMetrics(item.font).elidedText(item.text, Qt::ElideRight, item.rect.width() - 12));
        break;
    }
    case CardItem::Kind::checkbox:
        icon(item.icon, item.color).paint(&p, item.rect);
        break;
    case CardItem::Kind::button: {
        const QRectF frame = QRectF(item.rect).adjusted(0.5, 0.5, -0.5, -0.5);
        QColor content = item.prominent ? QColor(Qt::white) : item.color;
        QColor fill = item.prominent ? (hovered ? item.color.lighter(112) : item.color)
                                     : Theme::withAlpha(item.color, hovered ? 0.24 : 0.15);
        QColor outline = Theme::withAlpha(item.color, 0.45);
        if (!item.enabled) {
            content = Theme::withAlpha(Theme::textDim(), 0.55);
            fill = item.prominent ? Theme::border() : Theme::withAlpha(Theme::text(), 0.04);
            outline = Theme::border();
        }
        p.setPen(item.prominent ? QPen(Qt::NoPen) : QPen(outline, 1));
        p.setBrush(fill);
        p.drawRoundedRect(frame, buttonRadius, buttonRadius);
        const int side = QFontMetrics(item.font).height() - 2;
        const QRect iconRect(item.rect.left() + 10, item.rect.center().y() - side / 2, side, side);
        icon(item.icon, content).paint(&p, iconRect);
        p.setFont(item.font);
        p.setPen(content);
        p.drawText(item.rect.adjusted(10 + side + 5, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   item.text);
        break;
    }
    }
}

void ProjectCardDelegate::setHovered(const QModelIndex& index, std::optional<CardAction> action)
{
    if (QModelIndex(hoveredIndex_) == index && hoveredAction_ == action)
        return;
    const QModelIndex previous = hoveredIndex_;
    hoveredIndex_ = index;
    hoveredAction_ = action;
    if (previous.isValid())
        view_.update(previous);
    if (index.isValid())
        view_.update(index);
    view_.viewport()->setCursor(action ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool ProjectCardDelegate::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                                      const QModelIndex& index)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint local = mouse->position().toPoint() - option.rect.topLeft();
    const std::optional<CardAction> action = layoutFor(index.row(), option.rect.width()).actionAt(local);

    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (mouse->button() != Qt::LeftButton)
            return false;
        pressedIndex_ = index;
        pressedAction_ = action;
        return action.has_value();
    default: {
        const bool clicked = mouse->button() == Qt::LeftButton && action && pressedAction_ == action
            && QModelIndex(pressedIndex_) == index;
        pressedIndex_ = QPersistentModelIndex();
        pressedAction_.reset();
        if (clicked)
            view_.press(index.row(), *action);
        return clicked;
    }
    }
}

bool ProjectCardDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                    const QModelIndex& index)
{
    if (!event || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QPoint local = event->pos() - option.rect.topLeft();
    const CardLayout layout = layoutFor(index.row(), option.rect.width());
    for (const CardItem& item : layout.items) {
        if (!item.rect.contains(local))
            continue;
        if (const QString& tip = item.toolTip.isEmpty() ? item.description : item.toolTip; !tip.isEmpty()) {
            QToolTip::showText(event->globalPos(), plainToolTip(tip), view);
            return true;
        }
        if (item.kind != CardItem::Kind::text)
            continue;
        // The full text of anything drawn shortened.
        if (QFontMetrics(item.font).horizontalAdvance(item.text) > item.rect.width() + 1) {
            QToolTip::showText(event->globalPos(), plainToolTip(item.text), view);
            return true;
        }
    }
    QToolTip::hideText();
    return true;
}

}  // namespace stowage
