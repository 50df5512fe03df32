// `stowage report` against the private engine: its figures and listings are Docker's own and its
// safe set the fixture's, with both clients. (`clean --yes` takes the model's Safe Clean path that
// CleanupE2ETest runs on the engine; the executable itself: ProbeEngineTest.)

#include "EngineRig.h"

#include "cli/HeadlessRun.h"

#include <QBuffer>
#include <QJsonDocument>

namespace stowage::test {
namespace {

using cli::Command;

// A headless run on the rig's model, its output in memory.
struct HeadlessOnEngine {
    HeadlessOnEngine(const Engine& engine, const QString& client)
        : rig(engine, {.client = client, .refreshAfterCleanup = false})
    {
    }

    int run(const cli::Request& request)
    {
        out.setData({});
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        cli::HeadlessRun run(*rig.model, request, console);
        run.start();
        EXPECT_TRUE(waitUntil([&] { return run.isFinished(); }, std::chrono::seconds(120)));
        out.close();
        err.close();
        return run.exitStatus();
    }
    QJsonObject json() const { return QJsonDocument::fromJson(out.data()).object(); }
    QSet<QString> strings(const char* object, const char* key) const
    {
        return toSet(jsonStrings(json().value(QLatin1String(object)).toObject().value(QLatin1String(key))));
    }

    EngineModelRig rig;
    QBuffer out;
    QBuffer err;
    cli::Console console{out, err};
};

using HeadlessE2ETest = EngineTest;

TEST_F(HeadlessE2ETest, ReportAgreesWithTheFixtureAndWithDocker)
{
    for (const QString& client : {Engine::docker20Client(), Engine::docker28Client()}) {
        SCOPED_TRACE(client.toStdString());
        HeadlessOnEngine headless(engine, client);
        ASSERT_EQ(headless.run({Command::report, true}), cli::ExitStatus::success);
        const QJsonObject doc = headless.json();
        EXPECT_TRUE(doc.value("usageDataComplete").toBool());
        EXPECT_EQ(doc.value("containers").toObject(),
                  (QJsonObject{{"total", count("containers")}, {"running", count("runningContainers")}}));
        // The image totals are the engine's own (docker system df), not the listing's rows summed.
        const EngineImageTotals images = engine.imageTotals();
        EXPECT_EQ(doc.value("totals")["imageBytes"].toInteger(), images.sizeBytes);
        EXPECT_EQ(doc.value("totals")["imageCount"].toInt(), images.count);

        // One entry per image id and per volume, exactly the ones Docker lists, with the sizes of
        // the bytes written into the volumes; the verdicts are the model's (RefreshEngineTest).
        QSet<QString> ids;
        for (const QJsonValue value : doc.value("images").toArray())
            ids.insert(value["id"].toString());
        EXPECT_EQ(ids, toSet(engine.lines({"images", "-aq", "--no-trunc"})));
        QHash<QString, qint64> sizes;
        for (const QJsonValue value : doc.value("volumes").toArray())
            sizes.insert(value["name"].toString(), value["sizeBytes"].toInteger());
        EXPECT_EQ(toSet(sizes.keys()), toSet(engine.lines({"volume", "ls", "-q"})));
        for (const QJsonValue value : expected.value("volumes").toArray())
            EXPECT_EQ(sizes.value(engine.volumeName(value["name"].toString())), dockerReading(value["contentBytes"].toInteger()));
        // Of the orphans only the anonymous one is safe: the named and the project's may hold data.
        EXPECT_EQ(headless.strings("wouldRemove", "images"), imageIdsOf(list("unusedImages")));
        EXPECT_EQ(headless.strings("wouldRemove", "volumes"), volumesOf({"anonymous:orphan"}));
        EXPECT_TRUE(headless.rig.removalCalls().isEmpty());
    }
}

}  // namespace
}  // namespace stowage::test
