#pragma once
// The Projects tab's list of painted cards, reachable from the keyboard: one
// card at a time is current, and one of its buttons has the keyboard focus.
//   Tab / Shift+Tab   next / previous button, on into the next / previous card,
//                     and out of the list after the last (first) card;
//   Left / Right      previous / next button of the card;
//   Up / Down         the same button of the previous / next card;
//   Home / End, PgUp / PgDown   first / last / a screen of cards;
//   Enter, Space      press the focused button;
//   Ctrl+Tab          leave the list at once.
// The focused button is drawn with a focus ring (by the card delegate) and is
// announced to assistive technology, which sees every card as a list item
// whose buttons carry their names (ProjectCardAccessible).

#include "ui/projects/ProjectCardLayout.h"

#include <QListView>

#include <optional>

namespace stowage {

class ProjectCardDelegate;
class ProjectListModel;

class ProjectCardList : public QListView {
    Q_OBJECT
public:
    explicit ProjectCardList(QWidget* parent = nullptr);

    void setCards(ProjectListModel& cards, ProjectCardDelegate& delegate);
    ProjectListModel& cards() const { return *cards_; }

    // The card laid out at its current width.
    CardLayout layoutOf(int row) const;
    // The buttons of a card that can be pressed, in focus order.
    QList<CardAction> actionsOf(int row) const;

    // The button with keyboard focus on the current card, if any.
    std::optional<CardAction> focusedAction() const { return focused_; }
    // Makes `action` of the card in `row` the focused button and scrolls it into view.
    void focusAction(int row, CardAction action);
    // Presses a card's button: what a click, Enter or an assistive tool does.
    void press(int row, CardAction action);

signals:
    void actionTriggered(const QString& project, CardAction action);
    // The focused button moved (row and action).
    void focusedActionChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    // Moves to the previous (-1) or next (+1) button, across cards; false at either end.
    bool step(int direction);
    // Keeps `preferred` on the current card if it has it, else takes the first (or last) button.
    void settleOn(std::optional<CardAction> preferred, bool last = false);
    void setFocused(std::optional<CardAction> action);
    void ensureFocusedVisible();

    ProjectListModel* cards_ = nullptr;
    ProjectCardDelegate* delegate_ = nullptr;
    std::optional<CardAction> focused_;
    std::optional<QString> projectBeforeReset_;  // the standalone group's name is empty
};

}  // namespace stowage
