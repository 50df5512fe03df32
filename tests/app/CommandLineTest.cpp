// The real executable's command line: help and version, usage errors with status 2,
// Qt's window options, --probe winning anywhere on the line, and the windowless commands.
#include "AppProcess.h"
#include "BuildInfo.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace stowage::test {
namespace {

TEST(CommandLine, HelpVersionErrorsAndTheProbe)
{
    const QString tryHelp = "Try 'stowage --help' for more information.\n";
    const QString version = QStringLiteral("Stowage %1\n").arg(QString::fromLatin1(stowage::build::version));
    const QString unreachable =
        "stowage: Docker cannot be reached: Cannot connect to the Docker daemon. Is Docker running?\n";
    // Standard output begins with `outStart` (empty: nothing at all); standard error is exactly `err`.
    const struct { QStringList arguments; int exitCode; QString outStart, err; } cases[] = {
        {{"--help"}, 0, "Usage: stowage [options] [command]\n", ""},
        {{"-h"}, 0, "Usage: stowage [options] [command]\n", ""},
        {{"--version"}, 0, version, ""},
        {{"-v"}, 0, version, ""},
        {{"-platform", "offscreen", "--version"}, 0, version, ""},
        {{"--bogus"}, 2, "", "stowage: Unknown option 'bogus'.\n" + tryHelp},
        {{"--probe=1"}, 2, "", "stowage: Unexpected value after '--probe'.\n" + tryHelp},
        {{"frobnicate"}, 2, "", "stowage: Unknown command 'frobnicate'.\n" + tryHelp},
        {{"probe"}, 2, "", "stowage: Unknown command 'probe'.\n" + tryHelp},
        {{"-v", "--bogus", "--probe", "extra"}, 0, "ERROR: ", ""},
        {{"report"}, 2, "", unreachable},
        {{"clean", "--json", "--only", "images"}, 2, "{\n", unreachable},
        {{"report", "--yes"}, 2, "", "stowage: Unknown option 'yes'.\n" + tryHelp},
        {{"report", "now"}, 2, "", "stowage: Unexpected argument 'now'.\n" + tryHelp},
        {{"report", "--since", "7d"}, 2, "", unreachable},
        {{"report", "--since", "7 days"}, 2, "",
         "stowage: '7 days' is not an age for --since (for example 24h, 7d, 4w).\n" + tryHelp},
        {{"clean", "--since", "7d"}, 2, "", "stowage: Unknown option 'since'.\n" + tryHelp},
        {{"clean", "--context", "nope"}, 2, "", "stowage: docker has no context named 'nope' (it has: default).\n"},
        {{"report", "--all-contexts", "--since", "7d"}, 2, "",
         "stowage: --all-contexts cannot be combined with --context or --since.\n" + tryHelp},
        {{"report", "--all-contexts"}, 1, "Engine: default (unix://", ""},
        {{"contexts"}, 0, "  NAME     ENDPOINT", ""},
        {{"clean", "--only", "containers"}, 2, "",
         "stowage: Unknown kind 'containers' for --only (one of build-cache, images, volumes, anonymous-volumes).\n"
             + tryHelp},
    };
    const AppWorld world;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Finished run = world.run(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(!c.outStart.isEmpty() || run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(run.out.left(c.outStart.size()), c.outStart);
        EXPECT_EQ(run.err, c.err);
    }
    // The help names each command with its options and where to read about them.
    const QString help = world.run({"--help"}).out;
    for (const char* text : {"--probe", "\n  stowage report [--json] [--since AGE] [--context NAME | --all-contexts]\n",
                             "\n  stowage clean [--yes] [--json] [--only KIND]... [--context NAME]\n", "\n  stowage contexts [--json]\n",
                             "'stowage clean --help'"})
        EXPECT_TRUE(help.contains(text)) << text;
    EXPECT_TRUE(world.run({"clean", "--help"}).out.contains("--only <KIND>"));
    EXPECT_TRUE(world.run({"contexts"}).out.contains(QRegularExpression("\n\\* default  unix://\\S+  from the environment\n")));
    // The probe against an engine that is not there prints its one line.
    EXPECT_EQ(world.run({"--probe"}).out.count('\n'), 1);
}

}  // namespace
}  // namespace stowage::test
