#pragma once
// Shown instead of a tab while there is nothing to show: either the last
// refresh failed ("Couldn't reach Docker" with the error) or Docker has no
// containers, images or volumes; with a Retry button. Failures the user can
// mend on this system (no docker program, the engine's socket refusing the
// user) get a line of help from the platform's words.

#include <QWidget>

class QLabel;

namespace stowage {

class AppModel;
class SGButton;

class EmptyState : public QWidget {
    Q_OBJECT
public:
    explicit EmptyState(AppModel& model, QWidget* parent = nullptr);

    // Whether the empty state replaces the tab for the model's current state.
    static bool applies(const AppModel& model);

    QString title() const;
    QString message() const;
    QString help() const;  // empty when there is none
    SGButton* retryButton() const { return retry_; }
    bool showsFailure() const { return failed_; }

private:
    void sync();

    AppModel& model_;
    QLabel* icon_;
    QLabel* title_;
    QLabel* message_;
    QLabel* help_;
    SGButton* retry_;
    bool failed_ = false;
};

}  // namespace stowage
