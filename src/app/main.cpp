// Entry point. Reads the command line (see CommandLine.h): --probe anywhere
// runs the headless diagnostic pass (no display needed: it uses only a
// QCoreApplication) and exits 0; `report` and `clean` run the model without a
// window (QCoreApplication too) and exit with their own statuses; --help and
// --version print and exit 0; a usage error prints and exits 2; otherwise
// starts the desktop application, or brings the window of one already running
// to the front.
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "cli/AllContextsRun.h"
#include "cli/Console.h"
#include "cli/ContextList.h"
#include "cli/HeadlessRun.h"
#include "docker/DockerError.h"
#include "docker/DockerRunner.h"
#include "docker/EngineContext.h"
#include "docker/Probe.h"
#include "history/History.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "model/EngineSessions.h"
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
#include <QJsonDocument>
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

// A runner for one engine, like the shared one but bound to `context`: it
// reuses the shared runner's environment (no second login-shell query).
std::unique_ptr<stowage::DockerRunner> runnerFor(const QString& context)
{
    stowage::DockerRunner::Config config;
    config.baseEnvironment = stowage::DockerRunner::shared().environment();
    config.loginShell = QString();
    config.context = context;
    return std::make_unique<stowage::DockerRunner>(std::move(config));
}

// Runs `run` (a HeadlessRun or an AllContextsRun) to its end in the event loop.
template <typename Run>
int runToEnd(QCoreApplication& app, Run& run, stowage::platform::TerminationSignals& termination)
{
    QObject::connect(&termination, &stowage::platform::TerminationSignals::received, &run, &Run::interrupt);
    QObject::connect(&run, &Run::finished, &app, &QCoreApplication::exit);
    QTimer::singleShot(0, &run, &Run::start);
    return app.exec();
}

// `stowage report`, `stowage clean` and `stowage contexts`. They take no lock:
// like the probe they may run beside a window, append whole lines to the
// activity log under its file lock, and leave the state cache (the window's) alone.
int runHeadless(int& argc, char** argv, stowage::cli::Request request)
{
    namespace cli = stowage::cli;
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
    cli::Console console(out, err, progressColumns);

    // The contexts are read from docker's configuration files: quick, and bounded like every run.
    QList<stowage::EngineContext> contexts;
    QString listError;
    try {
        contexts = stowage::listContexts(stowage::DockerRunner::shared(), 15.0);
    } catch (const stowage::RunError& error) {
        listError = error.description();
    }
    if (request.command == cli::Command::contexts || request.allContexts) {
        if (!listError.isEmpty()) {
            console.warn(cli::printable(QStringLiteral("stowage: the docker contexts cannot be listed: ") + listError));
            return cli::ExitStatus::unknownContext;
        }
    }
    if (request.command == cli::Command::contexts) {
        console.print(request.json ? QString::fromUtf8(QJsonDocument(cli::contextsDocument(contexts)).toJson())
                                   : cli::contextsText(contexts));
        console.flush();
        return console.outputFailure().isEmpty() ? cli::ExitStatus::success : cli::ExitStatus::outputFailed;
    }

    int status = 0;
    std::unique_ptr<stowage::History> history;
    if (request.allContexts) {
        stowage::DockerRunner::Config config;
        config.baseEnvironment = stowage::DockerRunner::shared().environment();
        config.loginShell = QString();
        cli::AllContextsRun run(contexts, request, console, config);
        status = runToEnd(app, run, termination);
    } else {
        const cli::EngineChoice choice = cli::chooseEngine(request, contexts, listError);
        if (!choice.error.isEmpty()) {
            console.warn(choice.error);
            return cli::ExitStatus::unknownContext;
        }
        request.engine = choice.engine;
        // Without --context every command goes where docker sends it by itself, as it always did.
        std::unique_ptr<stowage::DockerRunner> bound = request.context.isEmpty() ? nullptr : runnerFor(request.context);
        history = openHistory();
        stowage::AppModel::Options options;
        options.cacheFile.emplace();  // no state cache
        options.refreshAfterCleanup = false;
        options.history = history.get();
        options.headless = true;
        stowage::AppModel model(bound ? *bound : stowage::DockerRunner::shared(), options);
        cli::HeadlessRun run(model, request, console);
        status = runToEnd(app, run, termination);
    }
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
    // The terminal's line stays English, like every line the command prints; the dialog is in the user's language.
    print(stderr, QStringLiteral("stowage: Another Stowage process is using its data folder (lock: %1) and did not "
                                 "answer. Try again when it has finished.\n")
                      .arg(instance.lockPath()));
    QMessageBox::critical(nullptr, QCoreApplication::translate("main", "Stowage is already running"),
                          QCoreApplication::translate("main", "Another Stowage process is using its data folder "
                                                              "(lock: %1) and did not answer. Try again when it has "
                                                              "finished.")
                              .arg(instance.lockPath()));
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
    // The other engines docker knows, each with its own runner, model and state cache once shown.
    stowage::EngineSessions engines(model, stowage::DockerRunner::shared(), options);
    engines.refreshContexts();
    int status = 0;
    {
        stowage::MainWindow window(engines, stowage::ActivityLog::shared(), stowage::platform::Desktop::system());
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
    // The last snapshots and log lines reach the disk before the process ends.
    for (stowage::AppModel* shown : engines.models())
        shown->flushCache();
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
