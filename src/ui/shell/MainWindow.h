#pragma once
// The one window, titled "Stowage", with its menus: File (Refresh, Stop, Quit)
// and Help ("Stowage Help"). There is no "Check for Updates…": on Linux the
// package manager updates applications. Closing it (or Quit) while a removal
// runs asks first, then stops the removal before the window goes; a
// termination signal does the same without asking.

#include <QMainWindow>

class QAction;
class QCloseEvent;

namespace stowage {

class ActivityLog;
class AppModel;
class RootView;
class StopThenQuit;
namespace platform {
class Desktop;
class TerminationSignals;
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
    StopThenQuit& stopThenQuit() const { return *stopThenQuit_; }

    // SIGTERM, SIGINT and SIGHUP stop the running operation, then close the window.
    void quitOn(platform::TerminationSignals& termination);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus(platform::Desktop& desktop);
    void syncActions();

    AppModel& model_;
    RootView* root_;
    QAction* refresh_ = nullptr;
    QAction* stop_ = nullptr;
    QAction* help_ = nullptr;
    StopThenQuit* stopThenQuit_ = nullptr;
};

}  // namespace stowage
