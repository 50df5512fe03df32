#include "app/CommandLine.h"

#include "docker/Probe.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace stowage::commandline {

namespace {

// A command that runs without a window: `stowage NAME [its options]`.
struct Command {
    QString name;
    Action action;
    QList<QCommandLineOption> options;
};

// The commands, looked up by the first positional argument.
const QList<Command>& commands()
{
    static const QList<Command> all;
    return all;
}

const Command* findCommand(const QString& name)
{
    for (const Command& command : commands())
        if (command.name == name)
            return &command;
    return nullptr;
}

// Options QApplication takes out of the command line before the window
// starts (QGuiApplication's and QApplication's documented ones). Accepted
// here so that they are not mistaken for errors; not shown in the help.
void addQtWindowOptions(QCommandLineParser& parser)
{
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "qwindowicon", "qwindowtitle", "session", "display", "geometry", "name", "title", "icon",
                             "style", "stylesheet", "qmljsdebugger"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

Invocation usageError(const QString& message, const QString& programName)
{
    return {Action::usageError, QStringLiteral("%1: %2\nTry '%1 --help' for more information.")
                                    .arg(programName, message)};
}

}  // namespace

Invocation parse(const QStringList& arguments, const QString& programName)
{
    if (Probe::requested(arguments))
        return {Action::probe, {}};

    QCommandLineParser parser;
    // Qt's own window options are single-dash words (-platform xcb).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Shows what Docker uses on your disk and removes what is safe to remove."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version."));
    const QCommandLineOption probe(QStringLiteral("probe"),
                                   QStringLiteral("Reads the Docker inventory once without a window, prints six "
                                                  "summary lines and exits (other arguments are then ignored)."));
    parser.addOptions({help, version, probe});
    addQtWindowOptions(parser);

    const QStringList line = QStringList{programName} + arguments;
    bool parsed = parser.parse(line);
    // A command's options are known only once its name is: read the line again with them.
    const QString commandName = parser.positionalArguments().value(0);
    const Command* command = findCommand(commandName);
    if (command) {
        parser.addOptions(command->options);
        parsed = parser.parse(line);
    }

    if (!parsed)
        return usageError(parser.errorText(), programName);
    if (!commandName.isEmpty() && !command)
        return usageError(QStringLiteral("Unknown command '%1'.").arg(commandName), programName);
    if (parser.isSet(help))
        return {Action::help, parser.helpText().replace(QStringLiteral("<executable_name>"), programName)};
    if (parser.isSet(version))
        return {Action::version, QStringLiteral("Stowage %1\n").arg(QStringLiteral(STOWAGE_VERSION))};
    if (parser.isSet(probe))
        return {Action::probe, {}};
    return {command ? command->action : Action::window, {}};
}

}  // namespace stowage::commandline
