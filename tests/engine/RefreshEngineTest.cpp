// A full model refresh against the real engine: every image and volume of the fixture gets the
// verdict FIXTURE.md gives it, the project index names the right owners, and the state cache
// written after the refresh reloads into the same classification.

#include "EngineRig.h"

#include "model/AppModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <optional>

using namespace stowage;
using namespace stowage::test;
using ::testing::UnorderedElementsAreArray;
using Usage = Classify::VolumeUsage;

namespace {

const QString dash = QStringLiteral("—");

// What the classification says about each image row (FIXTURE.md, "Images").
struct ImageVerdict {
    QString ref;
    bool safe;
    QString reason;
    bool inUnusedImages;
    QString projectText;
    bool shared;
    std::optional<QStringList> owners;  // imageOwners entry; none when the id has no entry
};

const QString buildLayer = QStringLiteral(
    "Build layer of sgfx-alpha_web:latest, sgfx-alpha_worker:latest, sgfx-beta_api:latest, sgfx-gamma_app:latest");

const QList<ImageVerdict>& imageVerdicts()
{
    static const QList<ImageVerdict> table = {
        {"sgfx-alpha_web:latest", false, "Used by container", false, "sgfx-alpha", false, QStringList{"sgfx-alpha"}},
        {"sgfx-alpha_worker:latest", false, "Used by container", false, "sgfx-alpha", false, QStringList{"sgfx-alpha"}},
        {"sgfx-beta_api:latest", false, "Used by container", false, "sgfx-beta", false, QStringList{"sgfx-beta"}},
        {"sgfx-gamma_app:latest", true, "Not used by any container", true, dash, false, std::nullopt},
        {"sgfx-gamma_worker:latest", true, "Not used by any container", true, dash, false, std::nullopt},
        {"redis:7", false, "Used by container", false, "sgfx-beta, sgfx-delta", true,
         QStringList{"sgfx-beta", "sgfx-delta"}},
        {"postgres:16", true, "Not used by any container", false, dash, false, std::nullopt},
        {"sgfx-alpha-tools:latest", true, "Not used by any container", true, "sgfx-alpha (unused)", false, std::nullopt},
        {"sgfx-toolbox:1.0", true, "Not used by any container", true, dash, false, std::nullopt},
        {"sgfx-solo:latest", false, "Used by container", false, dash, false, QStringList{""}},
        {"sgfx-solo:1.0", false, "Used by container", false, dash, false, QStringList{""}},
        // One dangling image and two intermediate images of the classic builder (build layers).
        {"<none>:<none>", true, "Dangling image", false, dash, false, std::nullopt},
        {"<none>:<none>", false, buildLayer, false, dash, false, std::nullopt},
        {"<none>:<none>", false, buildLayer, false, dash, false, std::nullopt},
    };
    return table;
}

// What the classification and the index say about each volume (FIXTURE.md, "Volumes").
struct VolumeVerdict {
    QString name;  // "anonymous:…" for the two anonymous volumes
    Usage usage;
    QString statusText;
    QString projectText;
    bool shared;
    QStringList owners;  // volumeOwners entry; empty when there is none
    QStringList mountedBy;
    bool running;
};

const QList<VolumeVerdict>& volumeVerdicts()
{
    static const QList<VolumeVerdict> table = {
        {"sgfx-alpha_shared-data", Usage::inUse, "In use — 3 containers (running)", "sgfx-alpha, sgfx-beta", true,
         {"sgfx-alpha", "sgfx-beta"}, {"sgfx-alpha_web_1", "sgfx-alpha_worker_1", "sgfx-beta_api_1"}, true},
        {"anonymous:alpha-cache", Usage::inUse, "In use — 1 container (running)", "sgfx-alpha", false,
         {"sgfx-alpha"}, {"sgfx-alpha_web_1"}, true},
        {"sgfx-alpha_spool", Usage::inUse, "In use — 1 container (stopped)", "sgfx-alpha", false, {"sgfx-alpha"},
         {"sgfx-alpha_worker_1"}, false},
        {"sgfx-beta_state", Usage::inUse, "In use — 1 container (running)", "sgfx-beta", false, {"sgfx-beta"},
         {"sgfx-beta_api_1"}, true},
        {"sgfx-delta_store", Usage::inUse, "In use — 1 container (running)", "sgfx-delta", false, {"sgfx-delta"},
         {"sgfx-delta_db_1"}, true},
        {"sgfx-solo-data", Usage::inUse, "In use — 1 container (running)", dash, false, {""}, {"sgfx-solo"}, true},
        {"sgfx-gamma_db", Usage::orphanLabeled, "Orphan — labelled, mounted by nothing", "sgfx-gamma", false,
         {"sgfx-gamma"}, {}, false},
        {"anonymous:orphan", Usage::orphanAnonymous, "Orphan — anonymous", dash, false, {}, {}, false},
        {"sgfx-loose", Usage::orphanNamed, "Orphan — named, mounted by nothing", dash, false, {}, {}, false},
    };
    return table;
}

// The project index per project (FIXTURE.md, "Projects"); paths relative to the engine directory.
struct ProjectFacts {
    QString name;
    QStringList containers;
    QStringList images;  // refs; the row the image lookup picks
    QStringList builtImages;
    QStringList volumes;
    QString path;
    QString configFiles;
};

const QList<ProjectFacts>& projectFacts()
{
    static const QList<ProjectFacts> table = {
        {"sgfx-alpha", {"sgfx-alpha_web_1", "sgfx-alpha_worker_1"}, {"sgfx-alpha_web:latest", "sgfx-alpha_worker:latest"},
         {"sgfx-alpha_web:latest", "sgfx-alpha_worker:latest"},
         {"sgfx-alpha_shared-data", "anonymous:alpha-cache", "sgfx-alpha_spool"}, "/fixture/alpha",
         "/fixture/alpha/docker-compose.yml"},
        {"sgfx-beta", {"sgfx-beta_api_1", "sgfx-beta_cache_1"}, {"sgfx-beta_api:latest", "redis:7"},
         {"sgfx-beta_api:latest"}, {"sgfx-alpha_shared-data", "sgfx-beta_state"}, "/fixture/beta",
         "/fixture/beta/docker-compose.yml"},
        // Started from two compose files: only the first is kept.
        {"sgfx-delta", {"sgfx-delta_db_1"}, {"redis:7"}, {}, {"sgfx-delta_store"}, "/fixture/delta",
         "/fixture/delta/delta-base.yml"},
        {"", {"sgfx-solo", "sgfx-solo-idle"}, {"sgfx-solo:1.0"}, {}, {"sgfx-solo-data"}, "", ""},
    };
    return table;
}

QString refOf(const SGImage& image) { return image.repository + ":" + image.tag; }

QStringList refsOf(const QList<SGImage>& images)
{
    QStringList refs;
    for (const SGImage& image : images)
        refs << refOf(image);
    return refs;
}

QStringList namesOf(const QList<SGVolume>& volumes)
{
    QStringList names;
    for (const SGVolume& volume : volumes)
        names << volume.name;
    return names;
}

QStringList namesOf(const QList<SGContainer>& containers)
{
    QStringList names;
    for (const SGContainer& container : containers)
        names << container.name;
    return names;
}

class RefreshEngineTest : public EngineTest {
protected:
    QString real(const QString& fixtureVolume) const { return engine.volumeName(fixtureVolume); }
    QStringList real(const QStringList& fixtureVolumes) const { return realVolumeNames(engine, fixtureVolumes); }

    void expectImageVerdicts(const AppModel& model) const
    {
        ASSERT_EQ(model.images().size(), imageVerdicts().size());
        QList<ImageVerdict> unmatched = imageVerdicts();
        const QList<SGImage> unused = model.unusedImages();
        for (const SGImage& image : model.images()) {
            SCOPED_TRACE(refOf(image).toStdString());
            const auto row = std::find_if(unmatched.begin(), unmatched.end(),
                                          [&](const ImageVerdict& v) {
                                              return v.ref == refOf(image)
                                                     && (image.repository != "<none>"
                                                         || v.reason == model.imageStatus(image).reason);
                                          });
            ASSERT_NE(row, unmatched.end()) << "an image row the fixture does not have";
            EXPECT_EQ(model.imageStatus(image), (ImageStatus{row->safe, row->reason}));
            EXPECT_EQ(unused.contains(image), row->inUnusedImages);
            EXPECT_EQ(model.imageProjectText(image), (ProjectText{row->projectText, row->shared}));
            if (row->owners) {
                EXPECT_EQ(sorted(model.imageOwners().value(image.id)), sorted(*row->owners));
            } else {
                EXPECT_FALSE(model.imageOwners().contains(image.id));
            }
            unmatched.erase(row);
        }
        // Offered for bulk removal in the order of the listing, each image once with both its names.
        QStringList unusedInListingOrder;
        for (const SGImage& image : model.images()) {
            if (refOf(image).startsWith("sgfx-gamma_") || refOf(image).startsWith("sgfx-alpha-tools")
                || refOf(image).startsWith("sgfx-toolbox"))
                unusedInListingOrder << refOf(image);
        }
        EXPECT_EQ(refsOf(unused), unusedInListingOrder);
        const QList<ImageUnit> units = model.unusedImageUnits();
        ASSERT_EQ(units.size(), expectedCount(expected, "unusedImages"));
        for (const ImageUnit& unit : units)
            EXPECT_EQ(unit.references.size(), 2) << unit.name.toStdString();
        EXPECT_EQ(model.imageOwners().size(), expectedCount(expected, "usedImageIds"));
    }

    void expectVolumeVerdicts(const AppModel& model) const
    {
        ASSERT_EQ(model.volumes().size(), volumeVerdicts().size());
        for (const VolumeVerdict& row : volumeVerdicts()) {
            const QString name = real(row.name);
            SCOPED_TRACE(row.name.toStdString() + " = " + name.toStdString());
            const auto volume = std::find_if(model.volumes().begin(), model.volumes().end(),
                                             [&](const SGVolume& v) { return v.name == name; });
            ASSERT_NE(volume, model.volumes().end());
            EXPECT_EQ(model.volumeUsage(*volume), row.usage) << rawValue(model.volumeUsage(*volume)).toStdString();
            EXPECT_EQ(model.volumeStatusText(*volume), row.statusText);
            EXPECT_EQ(model.volumeProjectText(*volume), (ProjectText{row.projectText, row.shared}));
            if (row.owners.isEmpty()) {
                EXPECT_FALSE(model.volumeOwners().contains(name));
            } else {
                EXPECT_EQ(sorted(model.volumeOwners().value(name)), sorted(row.owners));
            }
            EXPECT_EQ(model.volumeMounters().value(name), row.mountedBy);
            EXPECT_EQ(model.runningVolumeNames().contains(name), row.running);
            EXPECT_EQ(model.containerVolumeNames().contains(name), !row.mountedBy.isEmpty());
            EXPECT_EQ(volume->sizeBytes, model.volumeSizes().value(name, -1));
        }
        // Largest first: 3 MiB, 2 MiB, then the empty sgfx-loose.
        EXPECT_EQ(namesOf(model.orphanVolumes()), real(QStringList{"sgfx-gamma_db", "anonymous:orphan", "sgfx-loose"}));
        EXPECT_TRUE(model.volumesMatching(Usage::disputed).isEmpty());
    }

    void expectVolumeGroups(const AppModel& model) const
    {
        const QList<VolumeGroup> groups = model.volumesByProject();
        ASSERT_EQ(groups.size(), 4);
        // sgfx-alpha (1.5 MiB) and the standalone group (512 KiB) lead; sgfx-beta and sgfx-delta hold
        // 0 bytes each, in no defined order.
        EXPECT_EQ(groups[0].project, "sgfx-alpha");
        EXPECT_EQ(groups[1].project, "");
        EXPECT_THAT((QStringList{groups[2].project, groups[3].project}),
                    UnorderedElementsAreArray(QStringList{"sgfx-beta", "sgfx-delta"}));
        const QHash<QString, QStringList> members = {
            {"sgfx-alpha", real(QStringList{"sgfx-alpha_shared-data", "anonymous:alpha-cache", "sgfx-alpha_spool"})},
            {"", {"sgfx-solo-data"}},
            {"sgfx-beta", {"sgfx-beta_state"}},
            {"sgfx-delta", {"sgfx-delta_store"}},
        };
        const QHash<QString, qint64> bytes = {
            {"sgfx-alpha", SizeFormat::parseDockerSize("1.573MB")},
            {"", SizeFormat::parseDockerSize("524.3kB")},
            {"sgfx-beta", 0},
            {"sgfx-delta", 0},
        };
        for (const VolumeGroup& group : groups) {
            SCOPED_TRACE("group " + group.project.toStdString());
            EXPECT_TRUE(group.running);
            EXPECT_EQ(sorted(namesOf(group.volumes)), sorted(members[group.project]));
            EXPECT_EQ(group.volumes.value(0).name, members[group.project].value(0));  // the largest first
            EXPECT_EQ(group.bytes, bytes[group.project]);
        }
    }

    void expectProjects(const AppModel& model) const
    {
        EXPECT_EQ(model.projects().size(), expectedCount(expected, "projects"));
        EXPECT_EQ(model.projectsMeta().size(), expectedCount(expected, "projects"));
        for (const ProjectFacts& project : projectFacts()) {
            SCOPED_TRACE("project " + project.name.toStdString());
            ASSERT_TRUE(model.projects().contains(project.name));
            ASSERT_TRUE(model.projectsMeta().contains(project.name));
            EXPECT_EQ(sorted(namesOf(model.projects()[project.name])), sorted(project.containers));
            const ProjectMeta& meta = model.projectsMeta()[project.name];
            EXPECT_EQ(sorted(refsOf(meta.images)), sorted(project.images));
            EXPECT_EQ(sorted(refsOf(meta.builtImages)), sorted(project.builtImages));
            EXPECT_EQ(sorted(namesOf(meta.volumes)), sorted(real(project.volumes)));
            EXPECT_EQ(meta.path, project.path.isEmpty() ? QString() : engine.engineDir() + project.path);
            EXPECT_EQ(meta.configFiles,
                      project.configFiles.isEmpty() ? QString() : engine.engineDir() + project.configFiles);
            EXPECT_TRUE(meta.lastStarted.has_value());
            EXPECT_TRUE(meta.lastActivity.has_value());
        }
        // sgfx-gamma has a labelled volume but no container: it is no project.
        EXPECT_FALSE(model.projects().contains("sgfx-gamma"));
    }

    void expectUsageFacts(const AppModel& model) const
    {
        // Both disk-usage queries answered (a refused one leaves "?" or no sizes at all).
        EXPECT_NE(model.buildCache().size, "?");
        EXPECT_EQ(model.volumeSizes().size(), expectedCount(expected, "volumes"));
        EXPECT_TRUE(model.usageDataComplete());
        EXPECT_TRUE(model.usageDataProblem().isEmpty()) << model.usageDataProblem().toStdString();
        EXPECT_TRUE(model.danglingKnown());
        EXPECT_EQ(sorted(model.danglingVolumeNames()),
                  sorted(real(QStringList{"sgfx-gamma_db", "anonymous:orphan", "sgfx-loose"})));
        QStringList used;
        for (const char* ref : {"sgfx-alpha_web:latest", "sgfx-alpha_worker:latest", "sgfx-beta_api:latest", "redis:7",
                                "sgfx-solo:latest"})
            used << engine.imageId(ref);
        EXPECT_EQ(sorted(model.usedImageIDs()), sorted(used));
        EXPECT_EQ(model.dockerRoot(), engine.engineDir() + "/data");
        EXPECT_GT(model.buildCache().sizeBytes, 0);
        EXPECT_EQ(model.containers().size(), expectedCount(expected, "containers"));
    }

    void expectFixtureClassification(const AppModel& model) const
    {
        expectUsageFacts(model);
        expectImageVerdicts(model);
        expectVolumeVerdicts(model);
        expectVolumeGroups(model);
        expectProjects(model);
    }
};

TEST_F(RefreshEngineTest, RefreshClassifiesTheFixtureAndTheCacheReloadsIntoTheSameVerdicts)
{
    QTemporaryDir cacheDir;
    ASSERT_TRUE(cacheDir.isValid());
    const QString cacheFile = cacheDir.filePath("state.json");
    EngineClientRig rig(engine, Engine::docker28Client());
    AppModel::Options options;
    options.cacheFile = std::optional<QString>(cacheFile);

    AppModel model(*rig.cli, options);
    model.refresh();
    ASSERT_TRUE(model.isLoading());
    ASSERT_TRUE(waitUntil([&] { return !model.isLoading(); }, std::chrono::seconds(60)));
    EXPECT_TRUE(model.statusText().startsWith("Loaded: 7 containers (5 running), 14 images, 9 volumes  |  Last refresh: "))
        << model.statusText().toStdString();
    EXPECT_FALSE(model.dataStale());
    {
        SCOPED_TRACE("after the refresh");
        expectFixtureClassification(model);
    }

    model.flushCache();
    AppModel reloaded(*rig.cli, options);
    ASSERT_TRUE(reloaded.loadCache());
    EXPECT_TRUE(reloaded.dataStale());
    EXPECT_EQ(reloaded.inventory(), model.inventory());
    {
        SCOPED_TRACE("after loading the cache");
        expectFixtureClassification(reloaded);
    }
}

TEST_F(RefreshEngineTest, EveryRefreshWithTheOtherClientAndSmallBatchesAgrees)
{
    // Repeated, because the engine refuses overlapping disk-usage queries now and then.
    EngineClientRig rig(engine, Engine::docker20Client());
    QTemporaryDir cacheDir;
    AppModel::Options options;
    options.cacheFile = std::optional<QString>(cacheDir.filePath("state.json"));
    options.limits.inspectBatchSize = 2;
    AppModel model(*rig.cli, options);
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("refresh " + std::to_string(round));
        model.refresh();
        ASSERT_TRUE(waitUntil([&] { return !model.isLoading(); }, std::chrono::seconds(60)));
        expectFixtureClassification(model);
    }
}

}  // namespace
