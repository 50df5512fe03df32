#pragma once

#include <QWidget>

namespace stowage {

class AppModel;

// The Images tab.
class ImagesTab : public QWidget {
    Q_OBJECT
public:
    explicit ImagesTab(AppModel& model, QWidget* parent = nullptr);

private:
    AppModel& model_;
};

} // namespace stowage
