#pragma once
// The one window, titled "Stowage", with its menus: File (Refresh, Stop, Quit)
// and Help ("Stowage Help"). There is no "Check for Updates…": on Linux the
// package manager updates applications. Closing it (or Quit) while a removal
// runs asks first, then stops the removal before the window goes; a
// termination signal does the same without asking.
//
// With several engines it shows one at a time, chosen in the header, and
// names it in the title ("Stowage — build-server"). Each engine shown so far
// keeps its own view, so going back to one is instant; the menus act on the
// shown engine, quitting stops the operations of all of them.

#include <QHash>
#include <QMainWindow>

class QAction;
class QCloseEvent;
class QStackedWidget;

namespace stowage {

class ActivityLog;
class AppModel;
class EngineSessions;
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

    // One engine, the one `model` reads.
    MainWindow(AppModel& model, ActivityLog& log, platform::Desktop& desktop, QWidget* parent = nullptr);
    // Every engine `sessions` knows, starting with the one docker selects by itself.
    MainWindow(EngineSessions& sessions, ActivityLog& log, platform::Desktop& desktop, QWidget* parent = nullptr);

    // The shown engine's view and model.
    RootView* rootView() const { return root_; }
    AppModel& model() const { return *model_; }
    const QString& engineKey() const { return engineKey_; }
    // Shows the engine listed under `key` (see EngineSessions::keyOf), its view made on first use.
    void showEngine(const QString& key);

    QAction* refreshAction() const { return refresh_; }
    QAction* stopAction() const { return stop_; }
    QAction* helpAction() const { return help_; }
    StopThenQuit& stopThenQuit() const { return *stopThenQuit_; }

    // SIGTERM, SIGINT and SIGHUP stop the running operations, then close the window.
    void quitOn(platform::TerminationSignals& termination);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainWindow(AppModel& model, EngineSessions* sessions, ActivityLog& log, platform::Desktop& desktop,
               QWidget* parent);
    void buildMenus();
    void syncActions();
    void syncTitle();
    QList<AppModel*> models() const;

    EngineSessions* sessions_;
    ActivityLog& log_;
    platform::Desktop& desktop_;
    AppModel* model_;
    QString engineKey_;
    QStackedWidget* roots_;
    QHash<QString, RootView*> rootsByKey_;
    RootView* root_ = nullptr;
    QAction* refresh_ = nullptr;
    QAction* stop_ = nullptr;
    QAction* help_ = nullptr;
    StopThenQuit* stopThenQuit_ = nullptr;
};

}  // namespace stowage
