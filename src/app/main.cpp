// Entry point. With --probe anywhere on the command line, runs the headless
// diagnostic pass (no display needed) and exits 0; otherwise starts the
// desktop application.
#include "docker/Probe.h"
#include "log/ActivityLog.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int runProbe(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    stowage::Probe::run();
    // The runner's log lines must reach the file before the process ends.
    stowage::ActivityLog::shared().flush();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (stowage::Probe::requested(argumentsOf(argc, argv)))
        return runProbe(argc, argv);
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "Stowage " << STOWAGE_VERSION << ": the window is not built yet; try --probe.\n";
    return 0;
}
