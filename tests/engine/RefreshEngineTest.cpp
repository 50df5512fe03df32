// A full model refresh against the real engine: every image and volume of the fixture gets the
// verdict expected.json gives it, the project index names the right owners, and the state cache
// written after the refresh reloads into the same classification.

#include "EngineRig.h"

#include "ui/images/ImageRows.h"

#include <gmock/gmock.h>

namespace stowage::test {
namespace {

QString refOf(const SGImage& image) { return image.repository + ":" + image.tag; }

QStringList refsOf(const QList<SGImage>& images) { return listOf(images, refOf); }
QStringList namesOf(const QList<SGVolume>& volumes) { return listOf(volumes, [](const SGVolume& v) { return v.name; }); }
QStringList namesOf(const QList<SGContainer>& list) { return listOf(list, [](const SGContainer& c) { return c.name; }); }

class RefreshEngineTest : public EngineTest {
protected:
    // What the application reads for the bytes build-fixture.sh wrote into these volumes.
    qint64 expectedBytes(const QStringList& fixtureVolumes) const
    {
        qint64 bytes = 0;
        for (const QString& name : fixtureVolumes)
            bytes += dockerReading(entry("volumes", name).value("contentBytes").toInteger());
        return bytes;
    }

    void expectImageVerdicts(const AppModel& model) const
    {
        const QList<SGImage> unused = model.classification().unusedImages();
        // docker's own filter tells its dangling image from the classic builder's build layers.
        const QStringList dangling = engine.lines({"images", "-q", "--no-trunc", "--filter", "dangling=true"});
        QHash<QString, int> rowsOf;
        for (const SGImage& image : model.inventory().images) {
            SCOPED_TRACE(refOf(image).toStdString());
            const QString key = image.repository != "<none>" ? refOf(image)
                                : dangling.contains(image.id) ? "dangling"
                                                              : "build layer";
            const QJsonObject fixture = entry("images", key);
            ++rowsOf[key];
            EXPECT_EQ(model.classification().imageStatus(image), (ImageStatus{fixture.value("safe").toBool(), fixture.value("reason").toString()}));
            EXPECT_EQ(unused.contains(image), fixture.value("inUnusedImages").toBool());
            EXPECT_EQ(model.classification().imageProjectText(image),
                      (ProjectText{fixture.value("projectText").toString(), fixture.value("projectShared").toBool()}));
            EXPECT_EQ(sorted(model.index().imageOwners.value(image.id)), jsonStrings(fixture.value("owners")));
            EXPECT_EQ(model.index().imageOwners.contains(image.id), !fixture.value("owners").toArray().isEmpty());
        }
        EXPECT_EQ(model.inventory().images.size(), count("imageRows"));
        for (const char* kind : {"dangling", "build layer"})
            EXPECT_EQ(rowsOf.value(kind), entry("images", kind).value("rows").toInt()) << kind;
        // The Images tab shows the build layers only when asked, with their own verdict.
        const QList<ImageRow> rows = ImageRows::build(model, true);
        EXPECT_EQ(ImageRows::build(model).size(), rows.size() - rowsOf.value("build layer"));
        EXPECT_EQ(std::ranges::count(rows, ImageVerdict::buildLayer, &ImageRow::verdict), rowsOf.value("build layer"));
        EXPECT_EQ(std::ranges::count(rows, ImageVerdict::dangling, &ImageRow::verdict), rowsOf.value("dangling"));
        // Offered for bulk removal in the order of the listing, each image once with both its names
        // (the dangling image by its short id).
        QList<SGImage> unusedInListingOrder = model.inventory().images;
        unusedInListingOrder.removeIf([&](const SGImage& image) {
            return !list("unusedImages").contains(refOf(image)) && !dangling.contains(image.id);
        });
        EXPECT_EQ(refsOf(unused), refsOf(unusedInListingOrder));
        const QList<ImageUnit> units = model.classification().unusedImageUnits();
        ASSERT_EQ(units.size(), count("unusedImages"));
        for (const ImageUnit& unit : units) {
            EXPECT_EQ(unit.references.size(), dangling.contains(unit.id) ? 0 : 2) << unit.name.toStdString();
            EXPECT_EQ(unit.name.startsWith("untagged image " + shortImageId(unit.id) + ", created "),
                      dangling.contains(unit.id));
        }
        EXPECT_EQ(model.index().imageOwners.size(), count("usedImageIds"));
    }

    void expectVolumeVerdicts(const AppModel& model) const
    {
        ASSERT_EQ(model.inventory().volumes.size(), count("volumes"));
        for (const QJsonValue& value : expected.value("volumes").toArray()) {
            const QJsonObject fixture = value.toObject();
            const QString name = engine.volumeName(fixture.value("name").toString());
            SCOPED_TRACE(fixture.value("name").toString().toStdString() + " = " + name.toStdString());
            const auto volume = std::find_if(model.inventory().volumes.begin(), model.inventory().volumes.end(),
                                             [&](const SGVolume& v) { return v.name == name; });
            ASSERT_NE(volume, model.inventory().volumes.end());
            EXPECT_EQ(rawValue(model.classification().volumeUsage(*volume)), fixture.value("usage").toString());
            EXPECT_EQ(model.classification().volumeStatusText(*volume), fixture.value("statusText").toString());
            EXPECT_EQ(model.classification().volumeProjectText(*volume),
                      (ProjectText{fixture.value("projectText").toString(), fixture.value("projectShared").toBool()}));
            EXPECT_EQ(sorted(model.index().volumeOwners.value(name)), jsonStrings(fixture.value("owners")));
            EXPECT_EQ(model.index().volumeOwners.contains(name), !fixture.value("owners").toArray().isEmpty());
            const QStringList mountedBy = jsonStrings(fixture.value("mountedBy"));
            EXPECT_EQ(model.index().volumeMounters.value(name), mountedBy);
            EXPECT_EQ(model.index().runningVolumeNames.contains(name), fixture.value("running").toBool());
            EXPECT_EQ(model.index().containerVolumeNames.contains(name), !mountedBy.isEmpty());
            EXPECT_EQ(volume->sizeBytes, dockerReading(fixture.value("contentBytes").toInteger()));
        }
        // Largest first: 3 MiB, 2 MiB, then the empty sgfx-loose.
        EXPECT_EQ(namesOf(model.classification().orphanVolumes()), realVolumes(list("orphanVolumes")));
        EXPECT_TRUE(model.classification().volumesMatching(Classify::VolumeUsage::disputed).isEmpty());

        // By bytes: sgfx-alpha (1.5 MiB), the standalone group (512 KiB), then sgfx-beta and
        // sgfx-delta with 0 bytes each, in no defined order. Each group's largest volume first.
        const QList<VolumeGroup> groups = model.classification().volumesByProject();
        const QJsonArray wanted = expected.value("volumesByProject").toArray();
        ASSERT_EQ(groups.size(), wanted.size());
        for (qsizetype i = 0; i < groups.size(); ++i) {
            SCOPED_TRACE("group " + groups[i].project.toStdString());
            const auto group = std::find_if(wanted.begin(), wanted.end(), [&](const QJsonValue& g) {
                return g.toArray().first().toString() == groups[i].project;
            });
            ASSERT_NE(group, wanted.end());
            if (i < 2) {
                EXPECT_EQ(groups[i].project, wanted[i].toArray().first().toString());
            }
            const QStringList fixtureNames = jsonStrings(*group).mid(1);
            EXPECT_EQ(sorted(namesOf(groups[i].volumes)), sorted(realVolumes(fixtureNames)));
            EXPECT_EQ(groups[i].volumes.value(0).name, engine.volumeName(fixtureNames.value(0)));
            EXPECT_EQ(groups[i].bytes, expectedBytes(fixtureNames));
            EXPECT_TRUE(groups[i].running);
        }
    }

    void expectProjects(const AppModel& model) const
    {
        const QJsonObject projects = expected.value("projects").toObject();
        EXPECT_EQ(sorted(model.index().projects.keys()), sorted(projects.keys()));
        EXPECT_EQ(sorted(model.index().projectsMeta.keys()), sorted(projects.keys()));
        for (auto it = projects.begin(); it != projects.end(); ++it) {
            SCOPED_TRACE("project " + it.key().toStdString());
            const QJsonObject project = it.value().toObject();
            const ProjectMeta meta = model.index().projectsMeta.value(it.key());
            EXPECT_EQ(sorted(namesOf(model.index().projects.value(it.key()))), sorted(jsonStrings(project.value("containers"))));
            EXPECT_EQ(sorted(refsOf(meta.images)), sorted(jsonStrings(project.value("images"))));
            EXPECT_EQ(sorted(refsOf(meta.builtImages)), sorted(jsonStrings(project.value("builtImages"))));
            EXPECT_EQ(sorted(namesOf(meta.volumes)), sorted(realVolumes(jsonStrings(project.value("volumes")))));
            EXPECT_EQ(meta.path, project.value("path").toString());
            EXPECT_EQ(meta.configFiles, project.value("configFiles").toString());
            // A project taken down has no container to have started.
            EXPECT_EQ(meta.lastStarted.has_value(), !project.value("containers").toArray().isEmpty());
        }
    }

    void expectFixtureClassification(const AppModel& model) const
    {
        // Both disk-usage queries answered (a refused one leaves "?" or no sizes at all).
        EXPECT_TRUE(model.inventory().usageDataComplete);
        EXPECT_TRUE(model.inventory().usageDataProblem.isEmpty()) << model.inventory().usageDataProblem.toStdString();
        EXPECT_EQ(model.inventory().buildCache.size,
                  engine.line({"system", "df", "--format", R"({{if eq .Type "Build Cache"}}{{.Size}}{{end}})"}));
        EXPECT_EQ(model.inventory().volumeSizes.size(), count("volumes"));
        EXPECT_TRUE(model.inventory().danglingKnown);
        EXPECT_EQ(sorted(model.inventory().danglingVolumeNames), sorted(realVolumes(list("orphanVolumes"))));
        EXPECT_EQ(sorted(model.inventory().usedImageIDs),
                  sorted(imageIdsOf({"sgfx-alpha_web:latest", "sgfx-alpha_worker:latest", "sgfx-beta_api:latest", "redis:7",
                                     "sgfx-solo:latest"})));
        EXPECT_EQ(model.inventory().dockerRoot, engine.engineDir() + "/data");
        EXPECT_EQ(model.inventory().containers.size(), count("containers"));
        expectImageVerdicts(model);
        expectVolumeVerdicts(model);
        expectProjects(model);
    }
};

TEST_F(RefreshEngineTest, RefreshClassifiesTheFixtureAndTheCacheReloadsIntoTheSameVerdicts)
{
    EngineModelRig rig(engine, {.client = Engine::docker28Client()});
    rig.model->refresh();
    ASSERT_TRUE(rig.model->isLoading());
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_TRUE(rig.model->statusText().startsWith("Loaded: 7 containers (5 running), 14 images, 9 volumes  |  Last refresh: "))
        << rig.model->statusText().toStdString();
    EXPECT_FALSE(rig.model->dataStale());
    {
        SCOPED_TRACE("after the refresh");
        expectFixtureClassification(*rig.model);
    }

    rig.model->flushCache();
    EngineModelRig reloaded(engine, {.cacheFile = rig.cacheFile(), .limits = {.inspectBatchSize = 2, .inspectBatchMax = 2, .layersBatchSize = 2}});
    ASSERT_TRUE(AppModelTestAccess::loadCache(*reloaded.model));
    EXPECT_TRUE(reloaded.model->dataStale());
    EXPECT_EQ(reloaded.model->inventory(), rig.model->inventory());
    {
        SCOPED_TRACE("after loading the cache");
        expectFixtureClassification(*reloaded.model);
    }
    // The other client, inspecting containers and images in small batches, agrees; repeated, because the engine refuses
    // overlapping disk-usage queries now and then.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("refresh with the other client " + std::to_string(round));
        ASSERT_TRUE(reloaded.refreshAndWait());
        expectFixtureClassification(*reloaded.model);
    }
}

}  // namespace
}  // namespace stowage::test
