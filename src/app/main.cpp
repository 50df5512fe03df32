// Entry point. Reads the command line (see CommandLine.h): --probe anywhere
// runs the headless diagnostic pass (no display needed: it uses only a
// QCoreApplication) and exits 0; `report` and `clean` run the model without a
// window (QCoreApplication too) and exit with their own statuses; --help and
// --version print and exit 0; a usage error prints and exits 2; otherwise
// starts the desktop application, or brings the window of one already running
// to the front.
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "cli/Console.h"
#include "cli/HeadlessRun.h"
#include "docker/DockerRunner.h"
#include "docker/Probe.h"
#include "history/History.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "platform/Desktop.h"
#include "platform/Paths.h"
#include "platform/TerminationSignals.h"
#include "text/Translations.h"
#include "ui/operations/QtAlerts.h"
#include "ui/operations/StopThenQuit.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/StowageApp.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int runProbe(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    stowage::Translations::installEnglish();
    stowage::Probe::run();
    // The runner's log lines must reach the file before the process ends.
    stowage::ActivityLog::shared().flush();
    return 0;
}

// The history of refreshes in the data folder; a problem with it is logged
// once and the run goes on without history.
std::unique_ptr<stowage::History> openHistory()
{
    const auto path = stowage::History::defaultPath();
    if (!path)
        return nullptr;
    return std::make_unique<stowage::History>(*path, [](const QString& problem) {
        stowage::ActivityLog::shared().log(stowage::LogLevel::warn, QStringLiteral("History: ") + problem);
    });
}

// `stowage report` and `stowage clean`. They take no lock: like the probe they
// may run beside a window, append whole lines to the activity log under its
// file lock, and leave the state cache (the window's) alone.
int runHeadless(int& argc, char** argv, const stowage::cli::Request& request)
{
    QCoreApplication app(argc, argv);
    // The command line's output stays English in every locale: scripts read it.
    stowage::Translations::installEnglish();
    stowage::platform::TerminationSignals termination;
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    // Progress only on a terminal, cut to its width (80 columns when it does not say).
    int progressColumns = 0;
    if (stowage::platform::isTerminal(STDERR_FILENO)) {
        const int columns = stowage::platform::terminalColumns(STDERR_FILENO);
        progressColumns = columns > 0 ? columns : 80;
    }
    stowage::cli::Console console(out, err, progressColumns);

    std::unique_ptr<stowage::History> history = openHistory();
    stowage::AppModel::Options options;
    options.cacheFile.emplace();  // no state cache
    options.refreshAfterCleanup = false;
    options.history = history.get();
    options.headless = true;
    stowage::AppModel model(stowage::DockerRunner::shared(), options);
    stowage::cli::HeadlessRun run(model, request, console);
    QObject::connect(&termination, &stowage::platform::TerminationSignals::received, &run,
                     &stowage::cli::HeadlessRun::interrupt);
    QObject::connect(&run, &stowage::cli::HeadlessRun::finished, &app, &QCoreApplication::exit);
    QTimer::singleShot(0, &run, &stowage::cli::HeadlessRun::start);
    const int status = app.exec();
    // The history's record and the log lines reach the disk before the process ends.
    if (history)
        history->flush(std::chrono::seconds(10));
    stowage::ActivityLog::shared().flush();
    return status;
}

void bringToFront(QWidget& window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
    // Where the desktop refuses to hand over the focus, the window asks for attention instead.
    QApplication::alert(&window);
}

// Another process holds the data folder and did not answer: say so where the
// user looks, in a dialog and on the terminal.
int reportBusy(const stowage::SingleInstance& instance)
{
    const QString text = QStringLiteral("Another Stowage process is using its data folder (lock: %1) and did not "
                                        "answer. Try again when it has finished.")
                             .arg(instance.lockPath());
    print(stderr, QStringLiteral("stowage: ") + text + u'\n');
    QMessageBox::critical(nullptr, QStringLiteral("Stowage is already running"), text);
    return 1;
}

int runWindow(int& argc, char** argv)
{
    stowage::StowageApp app(argc, argv);
    stowage::Translations::installFor(QLocale());
    stowage::SingleInstance instance(stowage::platform::appDataDir());
    switch (instance.claim()) {
    case stowage::SingleInstance::Role::forwarded:
        print(stderr, QStringLiteral("Stowage is already running: its window was brought to the front.\n"));
        return 0;
    case stowage::SingleInstance::Role::busy: return reportBusy(instance);
    case stowage::SingleInstance::Role::primary: break;
    }

    stowage::QtAlerts alerts;
    std::unique_ptr<stowage::History> history = openHistory();
    stowage::AppModel::Options options;
    options.alerts = &alerts;
    options.history = history.get();
    stowage::AppModel model(stowage::DockerRunner::shared(), options);
    int status = 0;
    {
        stowage::MainWindow window(model, stowage::ActivityLog::shared(), stowage::platform::Desktop::system());
        stowage::platform::TerminationSignals termination;
        window.quitOn(termination);
        // Past the window: a dialog left open must not keep the process alive.
        QObject::connect(&window.stopThenQuit(), &stowage::StopThenQuit::readyToQuit, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        QObject::connect(&instance, &stowage::SingleInstance::activationRequested, &window, [&window] {
            stowage::ActivityLog::shared().log(stowage::LogLevel::debug,
                                               QStringLiteral("Another start of Stowage brought this window to the front"));
            bringToFront(window);
        });
        window.show();
        status = app.exec();
    }
    // The last snapshot and log lines reach the disk before the process ends.
    model.flushCache();
    stowage::ActivityLog::shared().flush();
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    using stowage::commandline::Action;
    const auto invocation = stowage::commandline::parse(argumentsOf(argc, argv), QStringLiteral("stowage"));
    switch (invocation.action) {
    case Action::probe: return runProbe(argc, argv);
    case Action::headless: return runHeadless(argc, argv, invocation.headless);
    case Action::help:
    case Action::version: print(stdout, invocation.text); return 0;
    case Action::usageError: print(stderr, invocation.text + u'\n'); return stowage::commandline::usageErrorStatus;
    case Action::window: break;
    }
    return runWindow(argc, argv);
}
