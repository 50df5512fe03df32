#include "app/CommandLine.h"

#include "BuildInfo.h"
#include "docker/Probe.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>

namespace stowage::commandline {

namespace {

// A command that runs without a window: `stowage NAME [its options]`.
struct Command {
    QString name;
    cli::Command command;
    QString synopsis;  // the name with its options, for the help
    QString summary;   // for the help
    QList<QCommandLineOption> options;
};

const QCommandLineOption jsonOption(QStringLiteral("json"),
                                    QStringLiteral("Prints one JSON object instead of text (keys in docs/json-schema.md)."));
const QCommandLineOption sinceOption(QStringLiteral("since"),
                                     QStringLiteral("Adds how much each project and named volume grew since then "
                                                    "(30m, 24h, 7d, 4w), from the history of refreshes."),
                                     QStringLiteral("AGE"));
const QCommandLineOption yesOption(QStringLiteral("yes"), QStringLiteral("Removes. Without it clean is a dry run."));
const QCommandLineOption onlyOption(QStringLiteral("only"),
                                    QStringLiteral("Cleans only KIND (repeatable): %1.")
                                        .arg(cli::cleanKindNames().join(QStringLiteral(", "))),
                                    QStringLiteral("KIND"));
const QCommandLineOption contextOption(QStringLiteral("context"),
                                       QStringLiteral("Acts on the engine of docker context NAME (see 'stowage "
                                                      "contexts'); without it, on the one docker selects."),
                                       QStringLiteral("NAME"));
const QCommandLineOption allContextsOption(QStringLiteral("all-contexts"),
                                           QStringLiteral("Reports on every docker context, each engine on its own; "
                                                          "exits 1 when any of them cannot be reached."));

// The commands, looked up by the first positional argument.
const QList<Command>& commands()
{
    static const QList<Command> all{
        {QStringLiteral("report"), cli::Command::report,
         QStringLiteral("report [--json] [--since AGE] [--context NAME | --all-contexts]"),
         QStringLiteral("reads the inventory once and prints each image and volume with its status and whether "
                        "Safe Clean All would remove it"),
         {jsonOption, sinceOption, contextOption, allContextsOption}},
        {QStringLiteral("clean"), cli::Command::clean,
         QStringLiteral("clean [--yes] [--json] [--only KIND]... [--context NAME]"),
         QStringLiteral("does what Safe Clean All does (build cache, unused images, anonymous orphan volumes) on one "
                        "engine, which it names; a dry run unless --yes"),
         {yesOption, jsonOption, onlyOption, contextOption}},
        {QStringLiteral("contexts"), cli::Command::contexts, QStringLiteral("contexts [--json]"),
         QStringLiteral("lists the docker contexts: each engine's name and endpoint, the current one and whether "
                        "the environment (DOCKER_HOST, DOCKER_CONTEXT) chose it"),
         {jsonOption}},
    };
    return all;
}

// The help's last section: each command with its options on a line of its
// own, its summary below, and where each command's options are explained.
QString commandsHelp(const QString& programName)
{
    QString text = QStringLiteral("\nCommands (without one, the window opens):\n");
    QStringList names;
    for (const Command& command : commands()) {
        text += QStringLiteral("  %1 %2\n      %3.\n").arg(programName, command.synopsis, command.summary);
        names << QStringLiteral("'%1 %2 --help'").arg(programName, command.name);
    }
    return text + QStringLiteral("Run %1 for a command's options.\n").arg(names.join(QStringLiteral(" or ")));
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

bool offers(const Command& command, const QCommandLineOption& option)
{
    return std::any_of(command.options.begin(), command.options.end(),
                       [&](const QCommandLineOption& offered) { return offered.names() == option.names(); });
}

Invocation headlessInvocation(const Command& command, const QCommandLineParser& parser, const QString& programName)
{
    cli::Request request;
    request.command = command.command;
    request.json = parser.isSet(jsonOption);
    if (offers(command, yesOption))
        request.yes = parser.isSet(yesOption);
    if (offers(command, onlyOption) && parser.isSet(onlyOption)) {
        request.kinds = {};
        for (const QString& name : parser.values(onlyOption)) {
            const auto kind = cli::cleanKindNamed(name);
            if (!kind)
                return usageError(QStringLiteral("Unknown kind '%1' for --only (one of %2).")
                                      .arg(name, cli::cleanKindNames().join(QStringLiteral(", "))),
                                  programName);
            request.kinds |= *kind;
        }
    }
    if (offers(command, contextOption) && parser.isSet(contextOption)) {
        request.context = parser.value(contextOption);
        if (request.context.isEmpty())
            return usageError(QStringLiteral("--context needs the name of a docker context."), programName);
    }
    request.allContexts = offers(command, allContextsOption) && parser.isSet(allContextsOption);
    if (request.allContexts && (parser.isSet(contextOption) || parser.isSet(sinceOption)))
        return usageError(QStringLiteral("--all-contexts cannot be combined with --context or --since."), programName);
    if (offers(command, sinceOption) && parser.isSet(sinceOption)) {
        request.since = cli::parseSince(parser.value(sinceOption));
        if (!request.since)
            return usageError(QStringLiteral("'%1' is not an age for --since (for example 24h, 7d, 4w).")
                                  .arg(parser.value(sinceOption)),
                              programName);
    }
    return {Action::headless, {}, request};
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
                                                  "summary lines and the docker program it ran, and exits (other "
                                                  "arguments are then ignored)."));
    parser.addOptions({help, version, probe});
    addQtWindowOptions(parser);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("report, clean or contexts (see Commands below)."),
                                 QStringLiteral("[command]"));

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
        return {Action::help, parser.helpText().replace(QStringLiteral("<executable_name>"), programName)
                                  + commandsHelp(programName)};
    if (parser.isSet(version))
        return {Action::version, QStringLiteral("Stowage %1\n").arg(QString::fromLatin1(build::version))};
    if (parser.isSet(probe))
        return {Action::probe, {}};
    if (!command)
        return {Action::window, {}};
    if (parser.positionalArguments().size() > 1)
        return usageError(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().at(1)),
                          programName);
    return headlessInvocation(*command, parser, programName);
}

}  // namespace stowage::commandline
