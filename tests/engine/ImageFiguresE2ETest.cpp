// Image figures against the private engine, checked with docker's own disk usage: images built
// with the classic builder (whose build steps stay as untagged parents), two of them on one
// base, a third sharing nothing, one of the two run by a container. The Overview counts what
// `docker system df` counts, and what "Remove Unused Images" promises is what the engine frees.

#include "EngineRig.h"

#include "text/SizeFormat.h"
#include "ui/overview/OverviewTab.h"

#include <gmock/gmock.h>

#include <QRandomGenerator>

namespace stowage::test {
namespace {

using ::testing::HasSubstr;

using ImageFiguresE2ETest = FreshFixtureTest;

constexpr qint64 MB = 1000 * 1000;

// Builds `tag` with the classic builder from a Dockerfile and one file of `size` random bytes.
void classicBuild(const Engine& engine, const QString& tag, const QString& dockerfile, const QString& file, qint64 size)
{
    QTemporaryDir context;
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    ASSERT_TRUE(writeFile(context.filePath(file), bytes));
    ASSERT_TRUE(writeFile(context.filePath("Dockerfile"), dockerfile.toUtf8()));
    const DockerRun built = engine.run({"build", "-q", "-t", tag, context.path()});
    ASSERT_TRUE(built.ok()) << built.err.toStdString();
}

TEST_F(ImageFiguresE2ETest, FiguresAndFreedAmountsAgreeWithTheEngine)
{
    classicBuild(engine, "sgfx-figs-base:1", "FROM scratch\nCOPY base /base\n", "base", 3 * MB);
    classicBuild(engine, "sgfx-figs-one:latest", "FROM sgfx-figs-base:1\nCOPY one /one\nCMD [\"/one\"]\n", "one", 2 * MB);
    classicBuild(engine, "sgfx-figs-two:latest", "FROM sgfx-figs-base:1\nCOPY two /two\nCMD [\"/two\"]\n", "two", 1 * MB);
    engine.docker({"tag", "sgfx-figs-two:latest", "sgfx-figs-two:v2"});
    classicBuild(engine, "sgfx-figs-three:latest", "FROM scratch\nCOPY three /three\n", "three", 4 * MB);
    engine.docker({"create", "--name", "sgfx-figs-user", "sgfx-figs-one:latest"});

    const EngineImageTotals before = engine.imageTotals();
    ASSERT_TRUE(before.known);
    const QStringList dangling = engine.lines({"images", "-q", "--no-trunc", "--filter", "dangling=true"});
    // Each client's refresh: the Overview says what docker system df says, at the precision shown; the
    // classic builder's steps are build layers, never dangling; docker's dangling image is.
    std::vector<std::unique_ptr<EngineModelRig>> rigs;
    for (const QString& client : {Engine::docker20Client(), Engine::docker28Client()}) {
        SCOPED_TRACE(client.toStdString());
        rigs.push_back(std::make_unique<EngineModelRig>(engine, EngineModelSetup{.client = client}));
        EngineModelRig& rig = *rigs.back();
        ASSERT_TRUE(rig.refreshAndWait());
        const OverviewTab::Figures figures = OverviewTab::figures(*rig.model);
        EXPECT_EQ(figures.images, before.count);
        EXPECT_EQ(rig.model->index().imageGraph.topLevelCount(), before.count);
        EXPECT_EQ(SizeFormat::humanSize(figures.imageBytes), SizeFormat::humanSize(before.sizeBytes));
        int buildLayers = 0;
        for (const SGImage& image : rig.model->inventory().images) {
            if (image.repository != "<none>")
                continue;
            const QString reason = rig.model->classification().imageStatus(image).reason;
            EXPECT_EQ(reason.startsWith("Build layer of "), !dangling.contains(image.id)) << reason.toStdString();
            buildLayers += reason.startsWith("Build layer of ");
        }
        EXPECT_EQ(buildLayers, 2 + 2);  // the fixture's two, and the COPY step of each image built on the base
        // The base is not offered: docker refuses it while sgfx-figs-one is built on it.
        const QSet<QString> offered = imageIds(rig.model->classification().unusedImages());
        EXPECT_FALSE(offered.contains(engine.imageId("sgfx-figs-base:1")));
        EXPECT_TRUE(offered.contains(engine.imageId("sgfx-figs-two:v2")));
    }

    // What the button promises is what the engine frees, within 5%; sgfx-figs-two's build step
    // goes with it and is counted.
    const ByteRange promised = OverviewTab::figures(*rigs[0]->model).unusedBytes;
    EXPECT_EQ(promised, OverviewTab::figures(*rigs[1]->model).unusedBytes);
    EXPECT_EQ(promised.low, promised.high);
    EngineModelRig& rig = *rigs[1];
    rig.model->removals().cleanUnusedImages();
    ASSERT_TRUE(rig.waitIdle());
    const EngineImageTotals after = engine.imageTotals();
    const qint64 freed = before.sizeBytes - after.sizeBytes;
    EXPECT_NEAR(double(promised.low), double(freed), 0.05 * double(freed));
    EXPECT_GT(freed, 4 * MB);
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_THAT(rig.alerts.confirms()[0].message.toStdString(),
                HasSubstr("Also removed: 1 untagged build layer they were built from."));
    EXPECT_THAT(rig.model->statusText().toStdString(), HasSubstr("(and 1 build layer)  ·  Freed "));
    EXPECT_EQ(OverviewTab::figures(*rig.model).images, after.count);
    EXPECT_EQ(engine.lines({"images", "-q", "sgfx-figs-one"}).size(), 1);
}

}  // namespace
}  // namespace stowage::test
