#include "ui/shell/MainWindow.h"

#include "model/AppModel.h"
#include "model/EngineSessions.h"
#include "platform/Desktop.h"
#include "platform/TerminationSignals.h"
#include "text/PrintableText.h"
#include "ui/engines/AllEnginesView.h"
#include "ui/operations/StopThenQuit.h"
#include "ui/shell/EngineChooser.h"
#include "ui/shell/HeaderBar.h"
#include "ui/shell/Links.h"
#include "ui/shell/RootView.h"
#include "ui/widgets/Label.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStackedWidget>

namespace stowage {

MainWindow::MainWindow(AppModel& model, ActivityLog& log, platform::Desktop& desktop, QWidget* parent)
    : MainWindow(model, nullptr, log, desktop, parent)
{
}

MainWindow::MainWindow(EngineSessions& sessions, ActivityLog& log, platform::Desktop& desktop, QWidget* parent)
    : MainWindow(sessions.model(EngineSessions::selectedKey()), &sessions, log, desktop, parent)
{
    connect(&sessions, &EngineSessions::contextsChanged, this, &MainWindow::syncTitle);
}

MainWindow::MainWindow(AppModel& model, EngineSessions* sessions, ActivityLog& log, platform::Desktop& desktop,
                       QWidget* parent)
    : QMainWindow(parent), sessions_(sessions), log_(log), desktop_(desktop), model_(&model)
{
    roots_ = new QStackedWidget(this);
    roots_->setMinimumSize(minimumContentSize);
    setCentralWidget(roots_);
    resize(1200, 780);
    stopThenQuit_ = new StopThenQuit([this] { return models(); }, log, StopThenQuit::defaultBound, this);
    connect(stopThenQuit_, &StopThenQuit::readyToQuit, this, &QWidget::close);
    buildMenus();
    showEngine(EngineSessions::selectedKey());
    root_->setFocus();
}

QList<AppModel*> MainWindow::models() const
{
    return sessions_ ? sessions_->models() : QList<AppModel*>{model_};
}

void MainWindow::showEngine(const QString& key)
{
    RootView*& root = rootsByKey_[key];
    if (!root) {
        AppModel& model = sessions_ ? sessions_->model(key) : *model_;
        root = new RootView(model, log_, desktop_, roots_);
        if (sessions_) {
            auto* chooser = new EngineChooser(*sessions_, key, root->header());
            connect(chooser, &EngineChooser::chosen, this, &MainWindow::showEngine);
            root->header()->setEngineChooser(chooser);
        }
        connect(&model, &AppModel::isLoadingChanged, this, &MainWindow::syncActions);
        roots_->addWidget(root);
    }
    engineKey_ = key;
    root_ = root;
    model_ = &root->model();
    // A view shown for the first time shows the engine's cache at once, then reads it again.
    roots_->setCurrentWidget(root);
    syncActions();
    syncTitle();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    refresh_ = file->addAction(tr("Refresh"));
    refresh_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)});
    connect(refresh_, &QAction::triggered, this, [this] { model_->refresh(); });
    stop_ = file->addAction(tr("Stop"));
    stop_->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(stop_, &QAction::triggered, this, [this] { model_->cancelCurrentOperation(); });
    QAction* allEngines = file->addAction(tr("All Engines…"));
    allEngines->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(allEngines, &QAction::triggered, this, [this] {
        auto* view = findChild<AllEnginesView*>(QString(), Qt::FindDirectChildrenOnly);
        // The survey lists the contexts itself: it starts from the runner docker's own choice uses, unbound.
        if (!view)
            view = new AllEnginesView(models().first()->client().cli.config(), this);
        view->show();
        view->raise();
        view->activateWindow();
    });
    file->addSeparator();
    QAction* quit = file->addAction(tr("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help_ = help->addAction(tr("Stowage Help"));
    help_->setShortcuts({QKeySequence(QStringLiteral("Ctrl+?")), QKeySequence(QKeySequence::HelpContents)});
    connect(help_, &QAction::triggered, this,
            [this] { desktop_.openUrl(homePageURL(), model_->shortcuts().desktopFailed()); });
}

void MainWindow::quitOn(platform::TerminationSignals& termination)
{
    connect(&termination, &platform::TerminationSignals::received, this, [this](int signalNumber) {
        stopThenQuit_->start(platform::TerminationSignals::name(signalNumber) + QStringLiteral(" received"));
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A refresh only reads: it ends with the window. A removal is stopped first, once asked.
    const QList<AppModel*> all = models();
    const bool removing = std::any_of(all.begin(), all.end(), [](AppModel* m) { return m->removalRunning(); });
    if (stopThenQuit_->done() || (!stopThenQuit_->started() && !removing))
        return QMainWindow::closeEvent(event);
    event->ignore();
    if (stopThenQuit_->started())
        return;  // already stopping; the window closes when the removal has ended
    if (model_->alerts().confirm(tr("Stop the removal and quit?"),
                                 tr("A removal is running. Quitting stops it: what Docker has removed so "
                                    "far stays removed, the rest stays, and the log records which is "
                                    "which."),
                                 true))
        stopThenQuit_->start(QStringLiteral("Quit during a removal"));
}

void MainWindow::syncActions()
{
    refresh_->setEnabled(!model_->isLoading());
    stop_->setEnabled(model_->isLoading());
}

void MainWindow::syncTitle()
{
    const auto shown = sessions_ && sessions_->several() ? sessions_->listed(engineKey_) : std::nullopt;
    const QString name = shown ? shown->name : engineKey_;
    setPlainWindowTitle(*this, sessions_ && sessions_->several() && !name.isEmpty()
                                   ? QStringLiteral("Stowage — ") + printable(name)
                                   : QStringLiteral("Stowage"));
}

}  // namespace stowage
