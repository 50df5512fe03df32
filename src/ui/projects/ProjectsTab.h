#pragma once
// The Projects tab: a row of controls (search, sort, direction, selection
// mode) over one card per compose project, in the model's order and filter.
// Cards show containers, images and volumes with ownership, the folder and
// README shortcuts, and the teardown actions; every action is a model
// operation that confirms by itself.

#include "ui/operations/InventoryWork.h"
#include "ui/projects/ProjectCardLayout.h"

#include <QPointer>

#include "ui/readme/ReadmeDialog.h"
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QToolButton;

namespace stowage {

class AppModel;
class DeferredUpdate;
class ProjectCardDelegate;
class ProjectCardList;
class ProjectListModel;
class SGButton;

class ProjectsTab : public QWidget {
    Q_OBJECT
public:
    explicit ProjectsTab(AppModel& model, QWidget* parent = nullptr);

    // Carries out a card's action for `project`, as a click on its button does.
    void trigger(const QString& project, CardAction action);
    // Where the button of `action` on `project`'s card is, in the list's
    // viewport (scrolled into view first); empty when not shown.
    QRect actionRect(const QString& project, CardAction action);
    // Makes the project's card current, scrolled to the top and with the
    // keyboard focus (once the cards on their way arrive); a search that
    // hides it is cleared.
    void showItem(const QString& project);

    // Recomputes the cards from the model (otherwise once per burst of changes): at
    // once for a small inventory, else when the cards worked out off the UI thread arrive.
    void render();
    // Whether the result of the last render() is still on its way.
    bool renderPending() const { return work_.pending(); }

    ProjectCardList& list() const { return *list_; }
    ProjectListModel& cards() const { return *cards_; }
    ProjectCardDelegate& delegate() const { return *delegate_; }
    QLineEdit& searchField() const { return *search_; }
    QComboBox& sortMenu() const { return *sort_; }
    QToolButton& directionButton() const { return *direction_; }
    SGButton& selectButton() const { return *select_; }
    SGButton& deleteButton() const { return *delete_; }
    SGButton& cancelButton() const { return *cancel_; }
    QLabel& emptyLabel() const { return *empty_; }
    // The README dialog while it is open.
    ReadmeDialog* readmeDialog() const { return readme_; }

private:
    QWidget* buildControls();
    QWidget* buildList();
    void syncControls();
    void showOrder();
    void openReadme(const QString& project);

    AppModel& model_;
    QLineEdit* search_ = nullptr;
    QComboBox* sort_ = nullptr;
    QToolButton* direction_ = nullptr;
    SGButton* select_ = nullptr;
    SGButton* delete_ = nullptr;
    SGButton* cancel_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    ProjectCardList* list_ = nullptr;
    QLabel* empty_ = nullptr;
    ProjectListModel* cards_ = nullptr;
    ProjectCardDelegate* delegate_ = nullptr;
    DeferredUpdate* updater_ = nullptr;
    QPointer<ReadmeDialog> readme_;
    InventoryWork work_{model_};
    std::optional<QString> itemToShow_;  // asked for before its card arrived
};

}  // namespace stowage
