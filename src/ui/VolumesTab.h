#pragma once

#include <QWidget>

namespace stowage {

class AppModel;

// The Volumes tab.
class VolumesTab : public QWidget {
    Q_OBJECT
public:
    explicit VolumesTab(AppModel& model, QWidget* parent = nullptr);

private:
    AppModel& model_;
};

} // namespace stowage
