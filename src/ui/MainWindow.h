#pragma once
// The one window, titled "Stowage", with its menus: File (Refresh, Stop, Quit)
// and Help ("Stowage Help"). There is no "Check for Updates…": on Linux the
// package manager updates applications.

#include <QMainWindow>

class QAction;

namespace stowage {

class ActivityLog;
class AppModel;
class RootView;
namespace platform {
class Desktop;
}

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize minimumContentSize{1000, 600};

    MainWindow(AppModel& model, ActivityLog& log, platform::Desktop& desktop, QWidget* parent = nullptr);

    RootView* rootView() const { return root_; }
    QAction* refreshAction() const { return refresh_; }
    QAction* stopAction() const { return stop_; }
    QAction* helpAction() const { return help_; }

private:
    void buildMenus(platform::Desktop& desktop);
    void syncActions();

    AppModel& model_;
    RootView* root_;
    QAction* refresh_ = nullptr;
    QAction* stop_ = nullptr;
    QAction* help_ = nullptr;
};

}  // namespace stowage
