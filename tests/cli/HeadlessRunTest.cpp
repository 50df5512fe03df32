// `stowage report` and `stowage clean` driving the model over the scripted
// docker: exit statuses and what reaches Docker for each request, the dry run,
// the refusal on incomplete usage data, the JSON object, and an interruption
// by a real signal while a docker child runs.

#include "cli/AllContextsRun.h"
#include "cli/HeadlessRun.h"
#include "history/History.h"
#include "history/HistoryStore.h"
#include "model/ModelTestSupport.h"
#include "platform/TerminationSignals.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <csignal>
#include <unistd.h>

using namespace stowage;
using namespace stowage::cli;
using namespace stowage::test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const QString anon = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

struct HeadlessRig {
    explicit HeadlessRig(const QList<FakeRule>& rules = sample::rules())
    {
        rig.refreshAfterCleanup = false;
        rig.rebuild(rules);
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
    }

    void start(const Request& request)
    {
        run = std::make_unique<HeadlessRun>(*rig.model, request, console);
        run->start();
    }

    int runToEnd(const Request& request)
    {
        start(request);
        EXPECT_TRUE(waitUntil([&] { return run->isFinished(); }, std::chrono::seconds(30)));
        return run->exitStatus();
    }

    // The calls that change something, in call order.
    QStringList removals() const { return rig.docker.calls().filter(QRegularExpression("^(builder prune|rmi|volume rm)")); }

    QString outText() const { return QString::fromUtf8(out.data()); }
    QString errText() const { return QString::fromUtf8(err.data()); }
    QJsonObject json() const { return QJsonDocument::fromJson(out.data()).object(); }

    ModelRig rig;
    QBuffer out;
    QBuffer err;
    Console console{out, err};
    std::unique_ptr<HeadlessRun> run;
};

Request clean(bool yes, CleanKinds kinds = safeCleanAllKinds)
{
    return {Command::clean, true, yes, kinds};
}

const FakeRule partialInspection{"inspect", sample::inspectLine(sample::webId, sample::webImage, "[]"),
                                 "Error: No such object\n", 1};
const FakeRule daemonDown{"ps -a", {}, "Cannot connect to the Docker daemon at unix:///x.sock. Is the docker daemon running?\n", 1};

TEST(HeadlessRun, ExitStatusesAndWhatReachesDocker)
{
    const QString prune = "builder prune -af";
    const QString rmiOld = "rmi " + sample::oldImage;
    const QString rmiDangling = "rmi " + sample::danglingImage;
    const QString archive = R"({"ID":"%1","Repository":"shop-archive","Tag":"v1","Size":"20MB","CreatedSince":"3 weeks ago"})";
    const QList<FakeRule> twoNames{
        {"images -a", sample::imagesOut() + archive.arg(sample::oldImage) + "\n"},
        {"image inspect --format {{json .RepoTags}} " + sample::oldImage, R"(["shop-old:v1","shop-archive:v1"])"},
        {"rmi shop-old:v1 shop-archive:v1", "Untagged: shop-old:v1\nUntagged: shop-archive:v1\nDeleted: " + sample::oldImage}};
    const struct {
        const char* name;
        QList<FakeRule> overrides;
        Request request;
        int status;
        QStringList removals;
        QString err;
    } cases[] = {
        {"report", {}, {Command::report}, ExitStatus::success, {}, ""},
        {"report, two containers not inspected", {partialInspection}, {Command::report},
         ExitStatus::usageDataIncomplete, {},
         "stowage: usage data is incomplete: 2 of 3 containers could not be inspected — Error: No such object\n"},
        {"report, daemon down", {daemonDown}, {Command::report}, ExitStatus::dockerUnreachable, {},
         "stowage: Docker cannot be reached: Cannot connect to the Docker daemon. Is Docker running?\n"},
        {"Safe Clean All: the project's orphan stays", {}, clean(true), ExitStatus::success,
         {prune, rmiOld, rmiDangling, "volume rm " + anon}, ""},
        {"an image refused", {FakeRule{"rmi", {}, "Error response from daemon: conflict\n", 1}}, clean(true),
         ExitStatus::removalsFailed, {prune, rmiOld, rmiDangling, "volume rm " + anon}, ""},
        {"a failed prune is a failure", {FakeRule{"builder prune", {}, "Error response from daemon: boom\n", 1}},
         clean(true, CleanKind::buildCache), ExitStatus::removalsFailed, {prune}, ""},
        {"clean, daemon down", {daemonDown}, clean(true), ExitStatus::dockerUnreachable, {},
         "stowage: Docker cannot be reached: Cannot connect to the Docker daemon. Is Docker running?\n"},
        {"a hung engine is told within the health-check limit", {FakeRule{"version", {}, {}, 0, 60}}, clean(true),
         ExitStatus::dockerUnreachable, {}, "stowage: Docker cannot be reached: Docker did not answer within 2 s.\n"},
        {"incomplete usage data refuses everything", {partialInspection}, clean(true),
         ExitStatus::usageDataIncomplete, {},
         "stowage: Usage data is incomplete, so no image or volume is called unused and nothing was removed: 2 of "
         "3 containers could not be inspected — Error: No such object\n"},
        {"the build cache alone needs no usage data", {partialInspection}, clean(true, CleanKind::buildCache),
         ExitStatus::success, {prune}, ""},
        {"only images", {}, clean(true, CleanKind::unusedImages), ExitStatus::success, {rmiOld, rmiDangling}, ""},
        {"only volumes: every orphan", {}, clean(true, CleanKind::orphanVolumes), ExitStatus::success,
         {"volume rm shop_cache " + anon}, ""},
        {"only anonymous volumes", {}, clean(true, CleanKind::anonymousOrphanVolumes), ExitStatus::success,
         {"volume rm " + anon}, ""},
        {"an image with two names goes whole, in one rmi", twoNames, clean(true, CleanKind::unusedImages),
         ExitStatus::success, {"rmi shop-old:v1 shop-archive:v1", rmiDangling}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessRig headless(sample::rules(c.overrides));
        EXPECT_EQ(headless.runToEnd(c.request), c.status);
        EXPECT_EQ(headless.removals(), c.removals);
        EXPECT_EQ(headless.errText(), c.err);
        if (c.request.command == Command::clean) {
            // What the JSON says went is what Docker was asked to remove (and confirmed).
            const QJsonObject removed = headless.json().value("removed").toObject();
            const bool pruneFails = std::any_of(c.overrides.begin(), c.overrides.end(), [](const FakeRule& rule) {
                return rule.match == "builder prune" && rule.exit != 0;
            });
            EXPECT_EQ(removed.value("buildCache").toBool(), c.removals.contains(prune) && !pruneFails);
            const auto images = c.status == ExitStatus::success ? c.removals.filter(QRegularExpression("^rmi ")).size() : 0;
            EXPECT_EQ(removed.value("images").toArray().size(), images);
        }
    }
}

TEST(HeadlessRun, DryRunListsWhatGoesAndWhatStaysAndRemovesNothing)
{
    HeadlessRig headless;
    ASSERT_EQ(headless.runToEnd(clean(false)), ExitStatus::success);
    EXPECT_THAT(headless.removals(), IsEmpty());
    const QJsonObject doc = headless.json();
    EXPECT_TRUE(doc.value("dryRun").toBool());
    EXPECT_EQ(doc.value("wouldRemove").toObject(),
              (QJsonObject{{"buildCache", true},
                           {"images", QJsonArray{sample::oldImage, sample::danglingImage}},
                           {"volumes", QJsonArray{anon}}}));
    EXPECT_EQ(doc.value("removed").toObject(),
              (QJsonObject{{"buildCache", false}, {"images", QJsonArray{}}, {"volumes", QJsonArray{}}}));
    QStringList kept;
    for (const QJsonValue item : doc.value("kept").toObject().value("images").toArray())
        kept << item["repositories"].toArray().first().toString("<none>") + " " + item["reason"].toString();
    for (const QJsonValue item : doc.value("kept").toObject().value("volumes").toArray())
        kept << item["name"].toString() + " " + item["reason"].toString();
    EXPECT_THAT(kept, ElementsAre("shop-web:latest Used by container", "postgres:16 Used by container",
                                  "shop_data In use — 2 containers (running)",
                                  "shop_cache Orphan — labelled, mounted by nothing"));

    HeadlessRig text;
    // Text names the engine on its first line.
    ASSERT_EQ(text.runToEnd({Command::clean, false, false, safeCleanAllKinds, {}, {}, false, {"my <b>e</b>", "", "unix:///x"}}),
              ExitStatus::success);
    EXPECT_TRUE(text.outText().startsWith("Engine: my <b>e</b> (unix:///x)\nDry run: nothing was removed."));
    EXPECT_TRUE(text.outText().contains("\nKept:\n  image   shop-web:latest  111111111111  Used by container\n"))
        << text.outText().toStdString();
    // Each line ends with a line feed, the build cache's too, and nothing is turned into U+FFFD.
    HeadlessRig buildCacheOnly;
    ASSERT_EQ(buildCacheOnly.runToEnd({Command::clean, false, false, CleanKind::buildCache}), ExitStatus::success);
    for (const QString& out : {text.outText(), buildCacheOnly.outText()}) {
        EXPECT_FALSE(out.contains(QChar(0xFFFD))) << out.toStdString();
        EXPECT_TRUE(out.endsWith('\n')) << out.toStdString();
    }

    // Output that cannot be written is a failure, said on standard error.
    HeadlessRig unwritable;
    unwritable.out.close();
    unwritable.out.open(QIODevice::ReadOnly);
    EXPECT_EQ(unwritable.runToEnd({Command::report}), ExitStatus::outputFailed);
    EXPECT_TRUE(unwritable.errText().startsWith("stowage: could not write the output: ")) << unwritable.errText().toStdString();
}

TEST(HeadlessRun, ReportSinceTellsTheRemovalsStowageMadeInThePeriod)
{
    QTemporaryDir dir;
    const QDateTime hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QDateTime& at : {hourAgo.addDays(-2), hourAgo})  // the first is before the period
        ASSERT_TRUE(HistoryStore::open(dir.filePath("h.db"), nullptr)
                        ->recordRemoval({History::engineName(), at, "freed by Safe Clean All", 1500000}, nullptr));
    History history(dir.filePath("h.db"), [](const QString& problem) { ADD_FAILURE() << problem.toStdString(); });
    for (const bool json : {true, false}) {
        HeadlessRig headless;
        headless.rig.history = &history;
        headless.rig.rebuild(sample::rules());
        ASSERT_EQ(headless.runToEnd({Command::report, json, false, safeCleanAllKinds, std::chrono::hours(24)}),
                  ExitStatus::success);
        const QJsonObject removal{{"time", hourAgo.toString(Qt::ISODate)}, {"operation", "Safe Clean All"},
                                  {"freedBytes", 1500000}};
        EXPECT_TRUE(json ? headless.json().value("removals").toArray() == QJsonArray{removal}
                         : headless.outText().endsWith("\nRemovals by Stowage\n  " + hourAgo.toLocalTime().toString(Qt::ISODate)
                                                       + "  1.5 MB  freed by Safe Clean All\n"))
            << headless.outText().toStdString();
    }
}

// --all-contexts reads every engine side by side, each through its own context, tells
// which did not answer and why (the 20.10 client's info hides why behind a template error),
// and which contexts reach one engine.
TEST(HeadlessRun, AllContextsTellWhichEnginesAnsweredAndWhichAreOne)
{
    const QString down = "Cannot connect to the Docker daemon at unix:///x.sock. Is the docker daemon running?\n";
    HeadlessRig headless(sample::rules({{"--context down info", {}, "template: :1:2: executing \"\" at <.ID>: reflect\n", 1},
                                        {"--context down", {}, down, 1}, {"--context other info", "E2\n"}}));
    AllContextsRun all({{"up"}, {"twin"}, {"other"}, {"down"}}, {Command::report, true, false, safeCleanAllKinds, {}, {}, true},
                       headless.console, headless.rig.docker.config(&headless.rig.operations, &headless.rig.log), 5.0);
    all.start();
    ASSERT_TRUE(waitUntil([&] { return all.isFinished(); }, std::chrono::seconds(30)));
    EXPECT_EQ(all.exitStatus(), ExitStatus::someEnginesUnreachable);
    QStringList seen;
    for (const QJsonValue engine : headless.json()["engines"].toArray())
        seen << QStringList{engine["engine"].toString(), engine["reachable"].toBool() ? "up" : engine["error"].toString().left(14),
                            engine["sameEngineAs"].toVariant().toStringList().join('+'), engine["report"]["engine"].toString()}.join(' ');
    EXPECT_THAT(seen, ElementsAre("up up twin up", "twin up up twin", "other up  other", "down Cannot connect  "));
    EXPECT_EQ(headless.rig.docker.calls().filter(QRegularExpression("^--context (up|twin|other|down) ")), headless.rig.docker.calls());
}

// SIGINT (or SIGTERM) stops the running docker child through the model's
// cancel path; the run says what went and ends with 130, leaving nothing behind.
TEST(HeadlessRun, ASignalStopsTheRunningChildAndEndsWith130)
{
    const struct {
        const char* name;
        FakeRule slow;
        Request request;
        int signalNumber;
        QString out;  // the end of standard output
        QString err;
    } cases[] = {
        {"during the refresh", {"ps -a", {}, {}, 0, 30}, {Command::report}, SIGINT, "",
         "stowage: stopping…\nstowage: interrupted — nothing was removed.\n"},
        {"during the prune", {"builder prune", "working\n", {}, 0, 30}, {Command::clean, false, true}, SIGTERM,
         "\nSafe clean cancelled — removed 0 images, 0 volumes.\n", "stowage: stopping…\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessRig headless(sample::rules({c.slow}));
        platform::TerminationSignals termination;
        headless.start(c.request);
        QObject::connect(&termination, &platform::TerminationSignals::received, headless.run.get(),
                         &HeadlessRun::interrupt);
        ASSERT_TRUE(waitUntil([&] { return !headless.rig.docker.callsStartingWith(c.slow.match).isEmpty(); }));
        const QString fakeDocker = "FAKE_DOCKER_SCRIPT=" + headless.rig.docker.directory();
        ASSERT_GE(processesWithEnvironment(fakeDocker), 1);

        QElapsedTimer clock;
        clock.start();
        ::kill(::getpid(), c.signalNumber);
        ASSERT_TRUE(waitUntil([&] { return headless.run->isFinished(); }));
        EXPECT_EQ(headless.run->exitStatus(), ExitStatus::interrupted);
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(headless.outText().right(c.out.size()), c.out);
        EXPECT_EQ(headless.errText(), c.err);
        EXPECT_TRUE(headless.removals().size() <= 1);  // the prune that was stopped, nothing after it
        EXPECT_TRUE(waitUntil([&] { return processesWithEnvironment(fakeDocker) == 0; }, std::chrono::seconds(3)));
        EXPECT_TRUE(waitUntil([&] { return headless.rig.operations.active().isEmpty(); }));
    }
}

}  // namespace
