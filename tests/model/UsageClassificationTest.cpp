#include "classification/UsageClassification.h"

#include "classification/OverviewFigures.h"

#include "InventoryFixtures.h"

#include <gtest/gtest.h>

namespace stowage {
namespace {

using Classify::VolumeUsage;
using namespace test;

class UsageClassificationTest : public ::testing::Test {
protected:
    // Every image inspected unless `inspected` is false: on a layer of its own
    // unless `layers` says otherwise.
    UsageClassification classification(bool inspected = true)
    {
        QHash<QString, ImageLayers> facts = layers;
        for (const SGImage& i : inventory.images)
            if (inspected && !facts.contains(i.id))
                facts.insert(i.id, {i.id, "", i.sizeBytes, {"layer-" + i.id}});
        index = buildProjectIndex(inventory.containers, inventory.images, inventory.volumes, facts);
        return UsageClassification(inventory, index);
    }

    Inventory inventory;
    QHash<QString, ImageLayers> layers;
    ProjectIndex index;
};

// The Overview's figures, worked out without the verdicts of what stays, are
// what the bulk removals and Safe Clean All's confirmation say.
void expectFiguresAsTheFullPlans(const Inventory& inventory, const UsageClassification& c)
{
    const OverviewFigures figures = OverviewFigures::of(inventory, c);
    EXPECT_EQ(std::tuple(figures.unusedBytes, figures.orphanBytes, figures.reclaimableBytes),
              std::tuple(c.unusedImageBytes(), c.orphanVolumeBytes(), c.cleanPlan(safeCleanAllKinds).reclaimable()));
}

TEST_F(UsageClassificationTest, IncompleteUsageDataOffersNothingAndCallsNothingUnused)
{
    inventory.containers = {container("api", "myproj", "running", "sha256:used", {"mounted"})};
    inventory.images = {image("sha256:used", "myproj-api"), image("sha256:idle", "myproj-worker", 50),
                        image("sha256:dangling", "<none>")};
    inventory.volumes = {volume("mounted"), volume("labelled", "myproj"), volume("anonymous")};
    inventory.usedImageIDs = {"sha256:used"};
    inventory.danglingKnown = true;
    inventory.danglingVolumeNames = {"labelled", "anonymous"};
    inventory.volumeSizes = {{"labelled", 10}, {"anonymous", 20}};
    inventory.usageDataComplete = false;
    const UsageClassification c = classification();

    for (const SGImage& i : inventory.images)
        EXPECT_EQ(c.imageStatus(i), (ImageStatus{false, "Unknown — refresh needed"})) << i.id.toStdString();
    EXPECT_TRUE(c.unusedImages().isEmpty());
    EXPECT_TRUE(c.orphanVolumes().isEmpty());
    EXPECT_EQ(c.unusedImageBytes(), (ByteRange{0, 0}));
    EXPECT_EQ(c.orphanVolumeBytes(), 0);
    expectFiguresAsTheFullPlans(inventory, c);

    // Mount evidence still counts; everything else is unknown, and listing by usage is not gated.
    EXPECT_EQ(c.volumeUsage(inventory.volumes[0]), VolumeUsage::inUse);
    EXPECT_EQ(c.volumeUsage(inventory.volumes[1]), VolumeUsage::unknown);
    EXPECT_EQ(c.volumeStatusText(inventory.volumes[2]), "Unknown — refresh needed");
    EXPECT_EQ(test::names(c.volumesMatching(VolumeUsage::unknown)), (QStringList{"anonymous", "labelled"}));
}

// Where an unused image came from decides whether it is offered: the engine's
// repository digests when they were read, the name only when they were not.
TEST_F(UsageClassificationTest, ImageStatusesAndTheBulkOffer)
{
    const QString notUsed = "Not used by any container", base = UsageClassification::baseImageStatusText();
    const std::optional<QStringList> unread, noDigest = QStringList{}, digest = QStringList{"postgres@sha256:d"};
    const struct {
        QString id, repository;
        std::optional<QStringList> digests;
        ImageStatus status;
        QString shown;
        bool offered;
    } rows[] = {
        {"sha256:used", "myproj-api", unread, {false, "Used by container"}, "Used by container", false},
        {"sha256:built", "myproj-web", unread, {true, notUsed}, notUsed, true},
        {"sha256:base", "postgres", unread, {true, notUsed}, base, false},
        {"sha256:ns", "library/my-app", unread, {true, notUsed}, base, false},
        {"sha256:dangling", "<none>", unread, {true, "Dangling image"}, "Dangling image", true},
        // `docker build -t` under any name: no repository digest.
        {"sha256:myapp", "myapp", noDigest, {true, notUsed}, notUsed, true},
        {"sha256:ghcr", "ghcr.io/acme/bk-app", noDigest, {true, notUsed}, notUsed, true},
        {"sha256:pulled", "my_db", digest, {true, "Pulled from a registry — kept"}, "Pulled from a registry — kept", false},
    };
    QStringList offered;
    for (const auto& row : rows) {
        inventory.images << image(row.id, row.repository, 100);
        if (row.digests)
            layers.insert(row.id, {row.id, "", 100, {"layer-" + row.id}, row.digests});
        if (row.offered)
            offered << row.id;
    }
    inventory.images[4].created = "3 weeks ago";
    inventory.containers = {container("api", "myproj", "running", "sha256:used")};
    inventory.usedImageIDs = {"sha256:used"};
    inventory.usageDataComplete = true;
    const UsageClassification c = classification();
    for (qsizetype i = 0; i < std::ssize(rows); ++i) {
        EXPECT_EQ(c.imageStatus(inventory.images[i]), rows[i].status) << rows[i].id.toStdString();
        EXPECT_EQ(c.imageStatusText(inventory.images[i]), rows[i].shown) << rows[i].id.toStdString();
    }
    EXPECT_EQ(test::ids(c.unusedImages()), offered);
    EXPECT_EQ(c.unusedImageBytes(), (ByteRange{400, 400}));
    // The untagged image is named by its short id and age.
    EXPECT_EQ(c.unusedImageUnits()[1].name, "untagged image dangling, created 3 weeks ago");
    // Without the image inspection an untagged image may be a build layer.
    EXPECT_EQ(classification(false).imageStatus(inventory.images[4]), (ImageStatus{false, "Untagged — not verified"}));

    // Removing an image removes all its names: it is offered once, with them all,
    // and only when none of them looks like a base image.
    inventory.images = {image("sha256:built", "myproj-web", 300), image("sha256:built", "myproj-web-archive", 300, "v1"),
                        image("sha256:mixed", "myproj-db", 70), image("sha256:mixed", "postgres", 70, "15")};
    const UsageClassification tagged = classification();
    EXPECT_EQ(test::ids(tagged.unusedImages()), (QStringList{"sha256:built", "sha256:built"}));
    const QList<ImageUnit> units = tagged.unusedImageUnits();
    ASSERT_EQ(units.size(), 1);
    EXPECT_EQ(units[0].references, (QStringList{"myproj-web:latest", "myproj-web-archive:v1"}));
    EXPECT_EQ(tagged.unusedImageBytes(), (ByteRange{300, 300}));
}

// The classic builder: base ← step (untagged) ← web; nothing runs them.
TEST_F(UsageClassificationTest, BuildLayersAndBasesAreNeverOfferedOnTheirOwn)
{
    inventory.images = {image("sha256:base", "myproj-base", 500), image("sha256:step", "<none>", 600, "<none>"),
                        image("sha256:web", "myproj-web", 800)};
    layers = {{"sha256:base", {"sha256:base", "", 500, {"l1"}}},
              {"sha256:step", {"sha256:step", "sha256:base", 600, {"l1", "l2"}}},
              {"sha256:web", {"sha256:web", "sha256:step", 800, {"l1", "l2", "l3"}}}};
    inventory.usageDataComplete = true;
    const UsageClassification c = classification();
    EXPECT_EQ(c.imageStatus(inventory.images[0]), (ImageStatus{false, "Base of myproj-web:latest"}));
    EXPECT_EQ(c.imageStatus(inventory.images[1]), (ImageStatus{false, "Build layer of myproj-web:latest"}));
    EXPECT_EQ(test::ids(c.unusedImages()), QStringList{"sha256:web"});
    // web takes its build step along; the base layer stays with the base.
    EXPECT_EQ(c.parentsGoingWith(c.unusedImageUnits()), QStringList{"sha256:step"});
    EXPECT_EQ(c.unusedImageBytes(), (ByteRange{300, 300}));
    expectFiguresAsTheFullPlans(inventory, c);
}

TEST(ImageUnits, OneUnitPerImageWithEveryNameTheListingHas)
{
    const QList<SGImage> listing = {image("sha256:a", "app", 5, "1"), image("sha256:b", "<none>", 7, "<none>"),
                                    image("sha256:a", "mirror/app", 5, "1"), image("sha256:c", "cache", 9, "<none>"),
                                    image("sha256:a", "app", 5, "1")};
    // Chosen through its second name, and once more through a row the listing lacks.
    const QList<ImageUnit> units =
        imageUnits({listing[2], listing[1], listing[3], image("sha256:d", "gone", 3, "x"), listing[0]}, listing);
    ASSERT_EQ(units.size(), 4);
    EXPECT_EQ(units[0], (ImageUnit{"sha256:a", {"app:1", "mirror/app:1"}, "app:1, mirror/app:1", "", 5}));
    EXPECT_EQ(units[1], (ImageUnit{"sha256:b", {}, "untagged image b", "", 7}));
    EXPECT_EQ(units[2], (ImageUnit{"sha256:c", {}, "untagged image c", "", 9}));
    EXPECT_EQ(units[3], (ImageUnit{"sha256:d", {"gone:x"}, "gone:x", "", 3}));
}

TEST_F(UsageClassificationTest, VolumeUsagesAndTheirTexts)
{
    // Only a volume Docker created without a name is anonymous: its name is 64 lowercase hex digits and,
    // on an engine that labels such volumes, the engine's label is its only label; a piece of another
    // label's value does not count. A generated-looking name with a label of someone's own is kept.
    const QString hex = QString(64, u'e');
    const QString engineLabel = "com.docker.volume.anonymous=";
    SGVolume anonymous = volume(hex);
    anonymous.labels = engineLabel;
    SGVolume engineLabelled = volume("tagged");
    engineLabelled.labels = "note=x," + engineLabel;
    SGVolume anonymousOfAProject = volume(QString(64, u'f'), "shop");
    anonymousOfAProject.labels = engineLabel;
    SGVolume customerData = volume(QString(64, u'c'));
    customerData.labels = "purpose=customer-db";
    SGVolume forged = volume(QString(64, u'b'));
    forged.labels = "note=x," + engineLabel;
    inventory.containers = {container("db", "shop", "running", {}, {"live"}), container("old-1", "shop", "exited", {}, {"parked"}),
                            container("old-2", "shop", "exited", {}, {"parked"})};
    inventory.volumes = {volume("live"), volume("parked"), volume("labelled", "shop"), anonymous, engineLabelled,
                         anonymousOfAProject, volume("appdata"), volume(hex.toUpper()), volume(hex.left(63)),
                         customerData, forged, volume(QString(64, u'd')), volume("kept"), volume("kept-labelled", "shop")};
    inventory.danglingKnown = true;
    for (const SGVolume& v : inventory.volumes.mid(2, 10))
        inventory.danglingVolumeNames.insert(v.name);
    inventory.volumeSizes = {{"labelled", 10}, {hex, 20}, {"appdata", 30}, {"tagged", 4}, {"kept", 5}};
    inventory.usageDataComplete = true;

    const QString named = "Orphan — named, mounted by nothing";
    // Usage on an engine that labels anonymous volumes, then on one that labels none (20.10).
    const QList<std::tuple<QString, VolumeUsage, VolumeUsage, QString>> expected = {
        {"live", VolumeUsage::inUse, VolumeUsage::inUse, "In use — 1 container (running)"},
        {"parked", VolumeUsage::inUse, VolumeUsage::inUse, "In use — 2 containers (stopped)"},
        {"labelled", VolumeUsage::orphanLabeled, VolumeUsage::orphanLabeled, "Orphan — labelled, mounted by nothing"},
        {hex, VolumeUsage::orphanAnonymous, VolumeUsage::orphanAnonymous, "Orphan — anonymous"},
        {"tagged", VolumeUsage::orphanNamed, VolumeUsage::orphanNamed, named},
        {QString(64, u'f'), VolumeUsage::orphanLabeled, VolumeUsage::orphanLabeled, "Orphan — labelled, mounted by nothing"},
        {"appdata", VolumeUsage::orphanNamed, VolumeUsage::orphanNamed, named},
        {hex.toUpper(), VolumeUsage::orphanNamed, VolumeUsage::orphanNamed, named},
        {hex.left(63), VolumeUsage::orphanNamed, VolumeUsage::orphanNamed, named},
        {QString(64, u'c'), VolumeUsage::orphanNamed, VolumeUsage::orphanNamed, named},
        {QString(64, u'b'), VolumeUsage::orphanNamed, VolumeUsage::orphanNamed, named},
        {QString(64, u'd'), VolumeUsage::orphanNamed, VolumeUsage::orphanAnonymous, named},
        {"kept", VolumeUsage::disputed, VolumeUsage::disputed, "Docker says in use — keep"},
        {"kept-labelled", VolumeUsage::disputed, VolumeUsage::disputed, "Docker says in use — keep"},
    };
    const UsageClassification c = classification();
    for (qsizetype row = 0; row < expected.size(); ++row) {
        const auto& [name, usage, olderEngineUsage, text] = expected[row];
        const SGVolume& v = inventory.volumes[row];
        ASSERT_EQ(v.name, name);
        EXPECT_EQ(c.volumeUsage(v), usage) << name.toStdString();
        EXPECT_EQ(c.volumeStatusText(v), text) << name.toStdString();
    }

    // Disputed volumes are never offered; orphans come largest first; only the anonymous ones go
    // without being named one by one.
    EXPECT_EQ(test::names(c.orphanVolumes()).mid(0, 4), (QStringList{"appdata", hex, "labelled", "tagged"}));
    EXPECT_EQ(c.orphanVolumes().size(), 10);
    EXPECT_EQ(c.orphanVolumeBytes(), 64);
    EXPECT_EQ(test::names(c.anonymousOrphanVolumes()), QStringList{hex});
    EXPECT_EQ(test::names(c.volumesMatching(VolumeUsage::disputed)), (QStringList{"kept", "kept-labelled"}));
    expectFiguresAsTheFullPlans(inventory, c);

    for (SGVolume& v : inventory.volumes)
        v.labels.remove(engineLabel);
    const UsageClassification older = classification();
    for (qsizetype row = 0; row < expected.size(); ++row)
        EXPECT_EQ(older.volumeUsage(inventory.volumes[row]), std::get<2>(expected[row])) << row;

    // Without the engine's dangling list, or with incomplete usage data, no volume is an orphan.
    inventory.danglingKnown = false;
    EXPECT_TRUE(classification().orphanVolumes().isEmpty());
    EXPECT_EQ(classification().volumeUsage(inventory.volumes[2]), VolumeUsage::unknown);
    inventory.danglingKnown = true;
    inventory.usageDataComplete = false;
    EXPECT_TRUE(classification().anonymousOrphanVolumes().isEmpty());
}

TEST_F(UsageClassificationTest, SharedVolumesNameAllOwnersAndGroupUnderTheFirst)
{
    inventory.containers = {container("zeta-app", "zeta", "running", {}, {"shared", "labelled"}),
                            container("alpha-job", "alpha", "exited", {}, {"shared", "alpha-data"}),
                            container("solo", "", "running", {}, {"scratch"})};
    inventory.volumes = {volume("shared"), volume("alpha-data"), volume("scratch"), volume("labelled", "beta"),
                         volume("unmounted")};
    inventory.volumeSizes = {{"shared", 100}, {"alpha-data", 300}, {"scratch", 50}, {"labelled", 1000}};
    inventory.volumes[4].sizeBytes = 999;  // totals use the engine's reported sizes, not the records'
    inventory.usageDataComplete = true;
    const UsageClassification c = classification();
    EXPECT_EQ(c.totalBytes({inventory.volumes[0], inventory.volumes[4]}), 100);

    EXPECT_EQ(c.volumeProjectText(inventory.volumes[0]), (ProjectText{"alpha, zeta", true}));
    EXPECT_EQ(c.volumeProjectText(inventory.volumes[2]), (ProjectText{"—", false}));
    EXPECT_EQ(c.volumeProjectText(inventory.volumes[3]), (ProjectText{"beta, zeta", true}));

    // "running" follows the group's own project: alpha's only container is stopped,
    // and beta has no containers at all.
    const QList<VolumeGroup> groups = c.volumesByProject();
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(groups[0].project, "beta");
    EXPECT_FALSE(groups[0].running);
    EXPECT_EQ(groups[0].bytes, 1000);
    EXPECT_EQ(groups[1].project, "alpha");
    EXPECT_FALSE(groups[1].running);
    EXPECT_EQ(test::names(groups[1].volumes), (QStringList{"alpha-data", "shared"}));
    EXPECT_EQ(groups[1].bytes, 400);
    EXPECT_EQ(groups[2].project, "");
    EXPECT_TRUE(groups[2].running);
    EXPECT_EQ(test::names(groups[2].volumes), QStringList{"scratch"});
}

TEST_F(UsageClassificationTest, ImageProjectTextNamesOwnersOrTheFirstProjectThatBuildsIt)
{
    inventory.containers = {container("a", "shop", "running", "sha256:both"), container("b", "web", "running", "sha256:both"),
                            container("c", "Shop"), container("d", "shop-api"), container("e", "", "running", "sha256:solo")};
    const UsageClassification c = classification();

    const QList<std::tuple<QString, QString, ProjectText>> cases = {
        {"sha256:both", "nginx", {"shop, web", true}},
        // Standalone owners do not count; the name rule decides.
        {"sha256:solo", "web-tools", {"web (unused)", false}},
        {"sha256:solo", "nothing", {"—", false}},
        // Shop, shop and shop-api all match; the smallest name wins.
        {"sha256:x", "shop-api-worker", {"Shop (unused)", false}},
        {"sha256:x", "WEB_frontend", {"web (unused)", false}},
        {"sha256:x", "registry/shop-api", {"—", false}},
        {"sha256:x", "<none>", {"—", false}},
    };
    for (const auto& [id, repository, text] : cases)
        EXPECT_EQ(c.imageProjectText(image(id, repository)), text) << repository.toStdString();
}

}  // namespace
}  // namespace stowage
