#include "ui/shell/MainWindow.h"

#include "model/AppModel.h"
#include "platform/Desktop.h"
#include "platform/TerminationSignals.h"
#include "ui/engines/AllEnginesView.h"
#include "ui/operations/StopThenQuit.h"
#include "ui/shell/Links.h"
#include "ui/shell/RootView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

namespace stowage {

MainWindow::MainWindow(AppModel& model, ActivityLog& log, platform::Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), model_(model)
{
    setWindowTitle(QStringLiteral("Stowage"));
    root_ = new RootView(model_, log, desktop, this);
    root_->setMinimumSize(minimumContentSize);
    setCentralWidget(root_);
    root_->setFocus();
    resize(1200, 780);
    stopThenQuit_ = new StopThenQuit(model_, log, StopThenQuit::defaultBound, this);
    connect(stopThenQuit_, &StopThenQuit::readyToQuit, this, &QWidget::close);
    buildMenus(desktop);
    for (auto signal : {&AppModel::isLoadingChanged})
        connect(&model_, signal, this, &MainWindow::syncActions);
    syncActions();
}

void MainWindow::buildMenus(platform::Desktop& desktop)
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    refresh_ = file->addAction(tr("Refresh"));
    refresh_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)});
    connect(refresh_, &QAction::triggered, &model_, &AppModel::refresh);
    stop_ = file->addAction(tr("Stop"));
    stop_->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(stop_, &QAction::triggered, &model_, &AppModel::cancelCurrentOperation);
    QAction* allEngines = file->addAction(tr("All Engines…"));
    allEngines->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(allEngines, &QAction::triggered, this, [this] {
        auto* view = findChild<AllEnginesView*>(QString(), Qt::FindDirectChildrenOnly);
        if (!view)
            view = new AllEnginesView(model_.client().cli.config(), this);
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
    connect(help_, &QAction::triggered, this, [this, &desktop] { desktop.openUrl(homePageURL(), model_.shortcuts().desktopFailed()); });
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
    if (stopThenQuit_->done() || (!stopThenQuit_->started() && !model_.removalRunning()))
        return QMainWindow::closeEvent(event);
    event->ignore();
    if (stopThenQuit_->started())
        return;  // already stopping; the window closes when the removal has ended
    if (model_.alerts().confirm(tr("Stop the removal and quit?"),
                                tr("A removal is running. Quitting stops it: what Docker has removed so "
                                   "far stays removed, the rest stays, and the log records which is "
                                   "which."),
                                true))
        stopThenQuit_->start(QStringLiteral("Quit during a removal"));
}

void MainWindow::syncActions()
{
    refresh_->setEnabled(!model_.isLoading());
    stop_->setEnabled(model_.isLoading());
}

}  // namespace stowage
