// Entry point. With --probe anywhere on the command line, runs the headless
// diagnostic pass; otherwise starts the desktop application.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "Stowage " << STOWAGE_VERSION << ": the window and --probe are not built yet.\n";
    return 0;
}
