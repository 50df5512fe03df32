#pragma once
// The window's top row: the title, the "Stale" marker while the shown data may
// differ from Docker, and the Refresh button.

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

private:
    void sync();

    AppModel& model_;
    CapsuleBadge* stale_;
    SGButton* refresh_;
};

}  // namespace stowage
