#pragma once

#include <QWidget>

namespace stowage {

class AppModel;

// The Projects tab.
class ProjectsTab : public QWidget {
    Q_OBJECT
public:
    explicit ProjectsTab(AppModel& model, QWidget* parent = nullptr);

private:
    AppModel& model_;
};

} // namespace stowage
