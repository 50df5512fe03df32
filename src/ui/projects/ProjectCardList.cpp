#include "ui/projects/ProjectCardList.h"

#include "ui/projects/ProjectCardAccessible.h"
#include "ui/projects/ProjectCardDelegate.h"
#include "ui/projects/ProjectListModel.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace stowage {

namespace {

constexpr int viewportMargin = 14;

}  // namespace

ProjectCardList::ProjectCardList(QWidget* parent) : QListView(parent)
{
    // The margin around the cards does not scroll with them.
    setViewportMargins(viewportMargin, viewportMargin, viewportMargin, viewportMargin);
    setFocusPolicy(Qt::StrongFocus);
    setTabKeyNavigation(true);
    ProjectCardAccessible::install();
}

void ProjectCardList::setCards(ProjectListModel& cards, ProjectCardDelegate& delegate)
{
    cards_ = &cards;
    delegate_ = &delegate;
    setModel(&cards);
    setItemDelegate(&delegate);
    // A rebuild of the cards keeps the keyboard on the same project's button.
    connect(&cards, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        projectBeforeReset_.reset();
        if (currentIndex().isValid())
            projectBeforeReset_ = currentIndex().data(ProjectListModel::projectRole).toString();
    });
    connect(&cards, &QAbstractItemModel::modelReset, this, [this] {
        const int row = projectBeforeReset_ ? cards_->rowOf(*projectBeforeReset_) : -1;
        if (row >= 0)
            setCurrentIndex(cards_->index(row));
    });
}

CardLayout ProjectCardList::layoutOf(int row) const
{
    const QRect item = visualRect(cards_->index(row));
    return delegate_->layoutFor(row, item.isValid() ? item.width() : viewport()->width() - 2 * spacing());
}

QList<CardAction> ProjectCardList::actionsOf(int row) const
{
    QList<CardAction> actions;
    if (row < 0 || row >= cards_->rowCount())
        return actions;
    for (const CardItem& item : layoutOf(row).items)
        if (item.action && item.enabled)
            actions.append(*item.action);
    return actions;
}

void ProjectCardList::focusAction(int row, CardAction action)
{
    if (row < 0 || row >= cards_->rowCount())
        return;
    if (currentIndex().row() != row)
        setCurrentIndex(cards_->index(row));
    setFocused(action);
}

void ProjectCardList::press(int row, CardAction action)
{
    if (!actionsOf(row).contains(action))
        return;
    focusAction(row, action);
    const QString project = cards_->index(row).data(ProjectListModel::projectRole).toString();
    emit actionTriggered(project, action);
    // The selection changes as the action is taken; its card may have moved since.
    if (action == CardAction::toggleSelection && cards_->rowOf(project) >= 0)
        ProjectCardAccessible::announceToggled(*this, cards_->rowOf(project));
}

void ProjectCardList::keyPressEvent(QKeyEvent* event)
{
    const int row = currentIndex().row();
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (control) {
            // Ctrl+Tab leaves the list whatever the button.
            QAbstractScrollArea::focusNextPrevChild(event->key() == Qt::Key_Tab
                                                    && !(event->modifiers() & Qt::ShiftModifier));
            return;
        }
        // Reached through focusNextPrevChild: ignored at either end, so the focus moves on.
        event->setAccepted(step(event->key() == Qt::Key_Tab ? +1 : -1));
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const QList<CardAction> actions = actionsOf(row);
        const qsizetype at = focused_ ? actions.indexOf(*focused_) : -1;
        const qsizetype next = at + (event->key() == Qt::Key_Right ? 1 : -1);
        if (next >= 0 && next < actions.size())
            setFocused(actions[next]);
        return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int next = row + (event->key() == Qt::Key_Down ? 1 : -1);
        if (next >= 0 && next < cards_->rowCount())
            setCurrentIndex(cards_->index(next));
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (focused_ && row >= 0)
            press(row, *focused_);
        return;
    default:
        // Home, End, Page Up and Page Down move the current card.
        QListView::keyPressEvent(event);
    }
}

bool ProjectCardList::focusNextPrevChild(bool next)
{
    // Tab inside the list walks its buttons (through keyPressEvent); only a
    // list without cards lets the focus pass at once.
    if (cards_ && cards_->rowCount() > 0 && hasFocus())
        return QListView::focusNextPrevChild(next);
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool ProjectCardList::step(int direction)
{
    int row = currentIndex().row();
    if (row < 0)
        return false;
    const QList<CardAction> actions = actionsOf(row);
    const qsizetype at = focused_ ? actions.indexOf(*focused_) : (direction > 0 ? -1 : actions.size());
    const qsizetype next = at + direction;
    if (next >= 0 && next < actions.size()) {
        setFocused(actions[next]);
        return true;
    }
    for (row += direction; row >= 0 && row < cards_->rowCount(); row += direction) {
        const QList<CardAction> neighbour = actionsOf(row);
        if (neighbour.isEmpty())
            continue;
        setCurrentIndex(cards_->index(row));
        setFocused(direction > 0 ? neighbour.first() : neighbour.last());
        return true;
    }
    return false;
}

void ProjectCardList::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    viewport()->update();
    // A click focuses the button it lands on when it is released; moving
    // anything now would move the button away from under the pointer.
    if (event->reason() == Qt::MouseFocusReason)
        return;
    if (!currentIndex().isValid() && cards_ && cards_->rowCount() > 0) {
        // The first card in view.
        const QModelIndex top = indexAt(QPoint(viewport()->width() / 2, spacing() + 1));
        setCurrentIndex(top.isValid() ? top : cards_->index(0));
    }
    if (event->reason() == Qt::TabFocusReason)
        settleOn(std::nullopt);
    else if (event->reason() == Qt::BacktabFocusReason)
        settleOn(std::nullopt, true);
    else
        settleOn(focused_);
}

void ProjectCardList::focusOutEvent(QFocusEvent* event)
{
    QListView::focusOutEvent(event);
    viewport()->update();
}

void ProjectCardList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QListView::currentChanged(current, previous);
    settleOn(focused_);
}

void ProjectCardList::settleOn(std::optional<CardAction> preferred, bool last)
{
    const QList<CardAction> actions = actionsOf(currentIndex().row());
    if (preferred && actions.contains(*preferred))
        setFocused(preferred);
    else
        setFocused(actions.isEmpty() ? std::nullopt : std::optional(last ? actions.last() : actions.first()));
}

void ProjectCardList::setFocused(std::optional<CardAction> action)
{
    focused_ = action;
    viewport()->update();
    ensureFocusedVisible();
    emit focusedActionChanged();
    if (hasFocus() && focused_)
        ProjectCardAccessible::announceFocus(*this, currentIndex().row(), *focused_);
}

void ProjectCardList::ensureFocusedVisible()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !focused_)
        return;
    executeDelayedItemsLayout();
    // The whole card when it fits, and in any case the button.
    scrollTo(current, QAbstractItemView::EnsureVisible);
    const QRect button = layoutOf(current.row()).rectOf(*focused_).translated(visualRect(current).topLeft());
    const int top = spacing();
    const int bottom = viewport()->height() - spacing();
    QScrollBar* bar = verticalScrollBar();
    if (button.top() < top)
        bar->setValue(bar->value() + button.top() - top);
    else if (button.bottom() > bottom)
        bar->setValue(bar->value() + button.bottom() - bottom);
}

}  // namespace stowage
