// Entry point. With --probe anywhere on the command line, runs the headless
// diagnostic pass (no display needed: it uses only a QCoreApplication) and
// exits 0; otherwise starts the desktop application.
#include "docker/DockerCLI.h"
#include "docker/Probe.h"
#include "log/ActivityLog.h"
#include "model/AppModel.h"
#include "platform/Desktop.h"
#include "ui/MainWindow.h"
#include "ui/QtAlerts.h"
#include "ui/StowageApp.h"

#include <QCoreApplication>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int runProbe(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    stowage::Probe::run();
    // The runner's log lines must reach the file before the process ends.
    stowage::ActivityLog::shared().flush();
    return 0;
}

int runWindow(int& argc, char** argv)
{
    stowage::StowageApp app(argc, argv);
    stowage::QtAlerts alerts;
    stowage::AppModel::Options options;
    options.alerts = &alerts;
    stowage::AppModel model(stowage::DockerCLI::shared(), options);
    int status = 0;
    {
        stowage::MainWindow window(model, stowage::ActivityLog::shared(), stowage::platform::Desktop::system());
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
    if (stowage::Probe::requested(argumentsOf(argc, argv)))
        return runProbe(argc, argv);
    return runWindow(argc, argv);
}
