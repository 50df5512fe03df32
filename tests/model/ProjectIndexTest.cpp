#include "inventory/InventoryAfterRemoval.h"
#include "inventory/ProjectIndex.h"

#include "InventoryFixtures.h"

#include <gtest/gtest.h>

namespace stowage {
namespace {

using namespace test;

QStringList sortedNames(const QList<SGVolume>& volumes)
{
    QStringList result = test::names(volumes);
    result.sort();
    return result;
}
QStringList entryNames(const QList<ProjectEntry>& entries)
{
    QStringList result;
    for (const auto& [name, members] : entries)
        result.append(name);
    return result;
}

TEST(ProjectIndexOwnership, VolumesImagesAndMountersAreAttributedToEveryProjectInvolved)
{
    const QList<SGContainer> containers = {
        container("b-db", "b", "running", "sha256:db", {"shared", "cache"}),
        container("solo", "", "exited", "sha256:db", {"loose"}),
        container("a-job", "a", "exited", {}, {"cache", "cache"}),
    };
    const QList<SGVolume> volumes = {volume("shared", "a"), volume("loose"), volume("cache"),
                                     volume("stale", "gone")};
    const ProjectIndex index = buildProjectIndex(containers, {image("sha256:db", "postgres")}, volumes);

    // Owner lists are sorted and hold each project once, whatever order the containers came in.
    EXPECT_EQ(index.volumeOwners.value("shared"), (OwnerList{"a", "b"}));
    EXPECT_EQ(index.volumeOwners.value("cache"), (OwnerList{"a", "b"}));
    EXPECT_EQ(index.volumeOwners.value("loose"), (OwnerList{""}));
    EXPECT_EQ(index.volumeOwners.value("stale"), (OwnerList{"gone"}));
    EXPECT_EQ(index.imageOwners.value("sha256:db"), (OwnerList{"", "b"}));

    // Labelled for a, mounted by b: both projects list it.
    EXPECT_EQ(sortedNames(index.projectsMeta["a"].volumes), (QStringList{"cache", "shared"}));
    EXPECT_EQ(sortedNames(index.projectsMeta["b"].volumes), (QStringList{"cache", "shared"}));
    EXPECT_EQ(sortedNames(index.projectsMeta[""].volumes), (QStringList{"loose"}));
    // A project without containers lives on in its labelled volume.
    EXPECT_EQ(index.projects.value("gone"), QList<SGContainer>{});
    EXPECT_EQ(sortedNames(index.projectsMeta["gone"].volumes), QStringList{"stale"});

    EXPECT_EQ(index.volumeMounters.value("cache"), (QStringList{"a-job", "a-job", "b-db"}));
    EXPECT_EQ(index.runningVolumeNames, (QSet<QString>{"shared", "cache"}));
    EXPECT_EQ(index.containerVolumeNames, (QSet<QString>{"shared", "cache", "loose"}));
    EXPECT_EQ(index.projects.value("a").size(), 1);
    EXPECT_EQ(index.projects.value("").first().name, "solo");
}

// `docker compose down` leaves the volumes and the built images; so does a
// teardown that removed only the containers, and the card must stay.
TEST(ProjectIndexOwnership, AProjectLivesAsLongAsAVolumeLabelledWithItDoes)
{
    Inventory inventory;
    inventory.containers = {container("shop-web", "shop", "running", "sha256:web", {"shop_data"})};
    inventory.images = {image("sha256:web", "shop-web", 3000), image("sha256:worker", "shop_worker", 3000),
                        image("sha256:base", "postgres", 500)};
    inventory.volumes = {volume("shop_data", "shop")};
    // Both built images stand on the base image's layer.
    inventory.imageLayers = {{"sha256:base", {"sha256:base", "", 500, {"base"}}},
                             {"sha256:web", {"sha256:web", "", 3000, {"base", "web"}}},
                             {"sha256:worker", {"sha256:worker", "", 3000, {"base", "worker"}}}};
    const InventoryAfterRemoval after = inventoryAfterRemoval(inventory, {{"shop-web-id"}, {}, {}});

    ASSERT_TRUE(after.index.projects.contains("shop"));
    EXPECT_TRUE(after.index.projects["shop"].isEmpty());
    const ProjectMeta meta = after.index.projectsMeta["shop"];
    EXPECT_EQ(test::ids(meta.builtImages), test::ids(meta.images));
    EXPECT_EQ(test::ids(meta.images), (QStringList{"sha256:web", "sha256:worker"}));
    EXPECT_EQ(test::names(meta.volumes), QStringList{"shop_data"});
    // Each image once and the shared layer once: 500 + 2500 + 2500, not 3000 + 3000.
    EXPECT_EQ(projectImageBytes(meta, after.index.imageGraph), (ByteRange{5500, 5500}));
    EXPECT_EQ(takenDownText(meta, {{"shop_data", 4200000}}), "taken down — 1 volume, 4.2 MB may hold data");
}

TEST(ProjectIndexOwnership, ImagesAreLookedUpByIdWithTheFirstListedRowWinning)
{
    const QList<SGContainer> containers = {
        container("shop-api-1", "shop", "running", "sha256:api"),
        container("shop-api-2", "shop", "running", "sha256:api"),
        container("shop-ghost", "shop", "running", "sha256:deleted"),
        container("tool", "", "running", "sha256:tool"),
    };
    const QList<SGImage> images = {image("sha256:api", "shop-api", 100, "v1"), image("sha256:api", "shop-api", 100, "v2"),
                                   image("sha256:tool", "tool-runner", 5)};
    const ProjectIndex index = buildProjectIndex(containers, images, {});

    const ProjectMeta shop = index.projectsMeta.value("shop");
    ASSERT_EQ(shop.images.size(), 1);
    EXPECT_EQ(shop.images.first().tag, "v1");
    EXPECT_EQ(shop.builtImages, shop.images);
    // "tool-runner" looks built, but the standalone group has no project name to match.
    EXPECT_EQ(index.projectsMeta.value("").images.size(), 1);
    EXPECT_TRUE(index.projectsMeta.value("").builtImages.isEmpty());

    // A container started by another tag of the id is shown under that tag; a
    // reference without a tag means ":latest"; one naming another image is ignored.
    QList<SGContainer> byName = containers;
    byName[0].image = "shop-api:v2";
    byName[3].image = "tool-runner";
    const QList<SGImage> tagged = images + QList<SGImage>{image("sha256:other", "shop-api", 1, "v3")};
    EXPECT_EQ(buildProjectIndex(byName, tagged, {}).projectsMeta.value("shop").images.first().tag, "v2");
    byName[0].image = "shop-api:v3";
    EXPECT_EQ(buildProjectIndex(byName, tagged, {}).projectsMeta.value("shop").images.first().tag, "v1");
    EXPECT_EQ(buildProjectIndex(byName, tagged, {}).projectsMeta.value("").images.first().repository, "tool-runner");
}

TEST(ProjectIndexSummary, DatesAreMaximaAndPathsComeFromTheFirstContainerThatHasThem)
{
    SGContainer early = container("web", "shop");
    early.startedAt = at("2024-05-01T10:00:00.250Z");
    early.finishedAt = at("2024-05-03T08:00:00Z");
    early.configFiles = "/src/shop/compose.yml";
    SGContainer late = container("db", "shop");
    late.startedAt = at("2024-05-02T09:00:00Z");
    late.workingDir = "/src/shop";
    late.configFiles = "/src/other.yml";
    SGContainer later = container("cache", "shop");
    later.workingDir = "/src/elsewhere";
    SGContainer never = container("idle", "quiet");

    const ProjectIndex index = buildProjectIndex({early, late, later, never}, {}, {});

    const ProjectMeta shop = index.projectsMeta.value("shop");
    EXPECT_EQ(shop.lastStarted, at("2024-05-02T09:00:00Z"));
    EXPECT_EQ(shop.lastActivity, at("2024-05-03T08:00:00Z"));
    EXPECT_EQ(shop.path, "/src/shop");
    EXPECT_EQ(shop.configFiles, "/src/shop/compose.yml");

    EXPECT_EQ(index.projectsMeta.value("quiet"), ProjectMeta{});
}

TEST(ProjectList, SortsByEveryKeyInBothDirectionsAndSearchesNames)
{
    SGContainer web = container("web", "my-web-app", "running", "sha256:big", {"data"});
    web.startedAt = at("2024-05-02T00:00:00Z");
    SGContainer worker = container("worker", "b", "exited", "sha256:small");
    worker.finishedAt = at("2024-05-03T00:00:00Z");
    worker.startedAt = at("2024-05-01T00:00:00Z");
    const ProjectIndex index =
        buildProjectIndex({web, worker, container("w2", "b"), container("w3", "b"), container("solo", ""), container("x", "a")},
                          {image("sha256:big", "nginx", 1000), image("sha256:small", "b-w", 10)}, {volume("data")});
    const QHash<QString, qint64> volumeSizes = {{"data", 5000}};
    const auto list = [&](ProjectSort sort, bool ascending, const QString& search = {}) {
        return entryNames(sortedFilteredProjects(index, volumeSizes, search, sort, ascending));
    };
    const struct {
        ProjectSort sort;
        bool ascending;
        QStringList expected;
    } cases[] = {
        // Ties (the undated "" and "a"; equal counts or sizes) come out in name order.
        {ProjectSort::name, false, {"my-web-app", "b", "a", ""}},
        {ProjectSort::name, true, {"", "a", "b", "my-web-app"}},
        {ProjectSort::lastActivity, false, {"b", "my-web-app", "", "a"}},
        {ProjectSort::lastActivity, true, {"", "a", "my-web-app", "b"}},
        {ProjectSort::lastStarted, false, {"my-web-app", "b", "", "a"}},
        {ProjectSort::containers, false, {"b", "", "a", "my-web-app"}},
        {ProjectSort::containers, true, {"", "a", "my-web-app", "b"}},
        // my-web-app: 1000 image bytes + 5000 volume bytes; b: 10 image bytes.
        {ProjectSort::size, false, {"my-web-app", "b", "", "a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list(c.sort, c.ascending), c.expected) << sortName(c.sort).toStdString() << " asc=" << c.ascending;

    // Search is trimmed, case-insensitive, by name only, and never matches the standalone group.
    EXPECT_EQ(list(ProjectSort::name, true, "  Web "), (QStringList{"my-web-app"}));
    EXPECT_EQ(list(ProjectSort::name, true, "solo"), QStringList{});
    EXPECT_EQ(list(ProjectSort::name, true, " \t "), (QStringList{"", "a", "b", "my-web-app"}));
    const auto entries = sortedFilteredProjects(index, volumeSizes, "B", ProjectSort::containers, false);
    EXPECT_EQ(entryNames(entries), (QStringList{"b", "my-web-app"}));
    EXPECT_EQ(entries.first().second.size(), 3);  // each entry carries its project's containers
}

}  // namespace
}  // namespace stowage
