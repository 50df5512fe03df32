#pragma once
// Draws project cards in the Projects tab's list (the button with keyboard
// focus with a focus ring) and turns clicks on their buttons into actions. Only the cards in view are ever laid out and drawn,
// so a list of hundreds of projects costs no more than the few on screen.

#include "ui/projects/ProjectCardLayout.h"

#include <QHash>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace stowage {

class AppModel;
class ProjectCardList;
class ProjectListModel;

class ProjectCardDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    ProjectCardDelegate(AppModel& model, ProjectListModel& cards, ProjectCardList& view);

    // The card of a row laid out at `width` with the model's current selection state.
    CardLayout layoutFor(int row, int width) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    // Follows the pointer over the list to highlight the button under it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintItem(QPainter& painter, const CardItem& item, bool hovered, bool focused) const;
    const QIcon& icon(const QString& symbol, const QColor& color) const;
    void setHovered(const QModelIndex& index, std::optional<CardAction> action);

    AppModel& model_;
    ProjectListModel& cards_;
    ProjectCardList& view_;
    QWidget* viewport_;
    QPersistentModelIndex hoveredIndex_;
    std::optional<CardAction> hoveredAction_;
    QPersistentModelIndex pressedIndex_;
    std::optional<CardAction> pressedAction_;
    mutable QHash<QString, QIcon> icons_;
};

}  // namespace stowage
