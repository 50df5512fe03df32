#pragma once
// The window's top row: the title, the engine menu when there are several
// engines, the "Stale" marker while the shown data may differ from Docker, and
// the Refresh button.

#include <QWidget>

namespace stowage {

class AppModel;
class CapsuleBadge;
class SGButton;

class HeaderBar : public QWidget {
    Q_OBJECT
public:
    explicit HeaderBar(AppModel& model, QWidget* parent = nullptr);

    CapsuleBadge* staleBadge() const { return stale_; }
    SGButton* refreshButton() const { return refresh_; }
    // Puts the engine menu beside the title; the header owns it from then on.
    void setEngineChooser(QWidget* chooser);
    QWidget* engineChooser() const { return chooser_; }

private:
    void sync();

    AppModel& model_;
    CapsuleBadge* stale_;
    SGButton* refresh_;
    QWidget* chooser_ = nullptr;
};

}  // namespace stowage
