#pragma once
// How much space the engine's build cache uses and how much of it can be
// reclaimed, why clearing it is safe, and the button that clears it.

#include <QWidget>

class QLabel;

namespace stowage {

class AppModel;
class SGButton;

class BuildCacheTab : public QWidget {
    Q_OBJECT
public:
    explicit BuildCacheTab(AppModel& model, QWidget* parent = nullptr);

    QLabel* totalSize() const { return total_; }
    QLabel* reclaimable() const { return reclaimable_; }
    SGButton* clearButton() const { return clear_; }

private:
    void render();

    AppModel& model_;
    QLabel* total_;
    QLabel* reclaimable_;
    SGButton* clear_;
};

}  // namespace stowage
