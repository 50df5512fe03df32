// Project teardown: exclusivity for one project and for a selection, the
// confirmation texts, and what is handed to the removal engine.

#include "model/InventoryFixtures.h"
#include "model/ModelTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace stowage;
using namespace stowage::test;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

namespace {

SGContainer member(const QString& name, const QString& project, const QString& imageID, const QStringList& mounts = {})
{
    SGContainer c = container(name, project, "running", imageID, mounts);
    c.status = "Up 1 hour";
    return c;
}

SGImage built(const QString& id, const QString& repository)
{
    return {.id = id, .repository = repository, .tag = "latest", .size = "1MB", .sizeBytes = 1048576};
}

// Projects a, b and c and a standalone container:
//  - a-web is a's alone; a-common is shared by a and b; a-tools is run by a and
//    by the standalone "tool"; postgres (a base image) is run by a;
//  - a_data is a's alone, shared_vol is labelled for b and mounted by a, c_data is c's.
CachedState teardownInventory()
{
    CachedState s;
    s.containers = {member("a-web", "a", "sha256:aw", {"a_data", "shared_vol"}), member("a-worker", "a", "sha256:common"),
                    member("a-db", "a", "sha256:pg", {"a_data"}), member("a-cli", "a", "sha256:tools"),
                    member("b-api", "b", "sha256:common", {"shared_vol"}), member("tool", "", "sha256:tools"),
                    member("c-app", "c", "sha256:c", {"c_data"})};
    s.images = {built("sha256:aw", "a-web"), built("sha256:common", "a-common"), built("sha256:tools", "a-tools"),
                built("sha256:pg", "postgres"), built("sha256:c", "c-app")};
    s.volumes = {volume("a_data", "a"), volume("shared_vol", "b"), volume("c_data", "c")};
    s.volumeSizes = {{"a_data", 2048}, {"shared_vol", 1024}, {"c_data", 0}};
    s.usageDataComplete = true;
    s.danglingKnown = true;
    for (const auto& c : s.containers)
        s.usedImageIDs << c.imageID;
    for (const auto& i : s.images)  // on layers of their own; docker lists 10^6 bytes as "1MB"
        s.imageLayers << ImageLayers{i.id, "", 1000000, {"layer-" + i.id}};
    return s;
}

class Teardown : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig.show(teardownInventory()));
        rig.alerts.defaultAnswer = false;
    }
    QString lastMessage() const { return rig.alerts.shown.isEmpty() ? QString() : rig.alerts.shown.last().message; }
    ModelRig rig;
};

// Exclusivity for one project leaves shared and standalone-used items out, and the texts say so.
TEST_F(Teardown, ExclusivityAndTheContainerImageAndVolumeRemovalTexts)
{
    EXPECT_THAT(ids(rig.model->removals().projectExclusiveImages("a", true)), UnorderedElementsAre("sha256:aw"));
    EXPECT_THAT(ids(rig.model->removals().projectExclusiveImages("a", false)), UnorderedElementsAre("sha256:aw", "sha256:pg"));
    EXPECT_THAT(names(rig.model->removals().projectExclusiveVolumes("a")), UnorderedElementsAre("a_data"));
    EXPECT_THAT(ids(rig.model->removals().projectExclusiveImages("nope", false)), IsEmpty());

    rig.model->removals().removeProjectImages("a");
    EXPECT_EQ(rig.alerts.shown.last().title, "Remove project images");
    EXPECT_TRUE(lastMessage().endsWith("(1MB)\n\nFrees 1.0 MB on disk (layers shared with images that stay are not counted)."
                                       "\n\nThese containers reference the images and will be removed first:\n  • a-web"));

    rig.model->removals().removeProjectVolumes("a");
    EXPECT_EQ(rig.alerts.shown.last().title, "Remove project volumes");
    EXPECT_TRUE(lastMessage().contains("'a'?\n\n  • a_data (2.0 KB)\n\nThese containers use the volumes and will be removed "
                                       "first:\n  • a-web\n  • a-db\n\n"));

    rig.model->removals().removeProjectContainers("c");
    EXPECT_EQ(rig.alerts.shown.last().title, "Remove containers");
    EXPECT_TRUE(lastMessage().contains("\n  • c-app (Up 1 hour)\n"));

    // The standalone group is named, and a status is told against the time of asking.
    CachedState state = teardownInventory();
    state.containers[5].startedAt = QDateTime::currentDateTimeUtc().addSecs(-3 * 3600);
    ASSERT_TRUE(rig.show(state));
    rig.alerts.defaultAnswer = true;
    rig.model->removals().removeProjectContainers("");
    EXPECT_TRUE(lastMessage().contains("of (standalone containers)?\n\n  • tool (Up 3 hours)\n"));
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_TRUE(rig.logLines().contains(
        "info [(standalone containers) containers] deleting 1 container, 0 images, 0 volumes"));
    rig.alerts.defaultAnswer = false;

    rig.model->removals().removeProjectImages("b");  // b built nothing of its own
    EXPECT_EQ(rig.alerts.shown.last().title, "Info");
    EXPECT_EQ(lastMessage(), "No images exclusive to this project.");
    rig.model->removals().removeProjectVolumes("b");
    EXPECT_EQ(lastMessage(), "No volumes exclusive to this project.");
    rig.model->removals().removeProjectContainers("gone");
    EXPECT_EQ(lastMessage(), "No containers in this project.");
    EXPECT_FALSE(rig.model->isLoading());  // nothing was confirmed
}

TEST_F(Teardown, DeleteEntireProjectListsWhatGoesAndWhatIsKeptThenRemovesExactlyThat)
{
    rig.model->removals().deleteEntireProject("a");
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_EQ(rig.alerts.confirms()[0].title, "Delete entire project");
    const QStringList lines = lastMessage().split('\n');
    EXPECT_EQ(lines.filter("  • "), (QStringList{"  • a-web  (Up 1 hour)", "  • a-worker  (Up 1 hour)", "  • a-db  (Up 1 hour)",
                                                  "  • a-cli  (Up 1 hour)", "  • a-web:latest  (1MB)", "  • a_data  (2.0 KB)"})
                                         + lines.mid(lines.size() - 5, 3));
    EXPECT_THAT(lines.mid(lines.size() - 5, 3), UnorderedElementsAre("  • a-common:latest", "  • a-tools:latest", "  • postgres:latest"));
    // Confirmed: exactly the listed items go.
    rig.alerts.defaultAnswer = true;
    rig.model->removals().deleteEntireProject("a");
    ASSERT_TRUE(rig.waitIdle());
    const QStringList calls = rig.docker.calls();
    EXPECT_THAT(calls.filter(QRegularExpression("^rm -f")),
                UnorderedElementsAre("rm -f a-web-id a-worker-id a-db-id a-cli-id"));
    EXPECT_EQ(calls.filter(QRegularExpression("^rmi")), QStringList{"rmi sha256:aw"});
    EXPECT_EQ(calls.filter(QRegularExpression("^volume rm")), QStringList{"volume rm a_data"});
    EXPECT_FALSE(rig.model->index().projects.contains("a"));
    EXPECT_EQ(rig.model->statusText(),
              "project a: removed 4 containers, 1 image, 1 volume  ·  Freed 0 B on disk (expected 1.0 MB)  ·  data is "
              "stale — Refresh to reconcile.");
}

TEST_F(Teardown, ASelectionTakesWhatOnlyItUsesAndCountsSharedItemsOnce)
{
    int confirmed = 0;
    const auto deleteSelection = [&] { rig.model->removals().deleteProjects({"a", "b", ""}, [&] { ++confirmed; }); };
    rig.model->removals().deleteProjects({""});
    EXPECT_TRUE(rig.alerts.shown.isEmpty());  // an empty selection asks nothing

    deleteSelection();
    ASSERT_EQ(rig.alerts.confirms().size(), 1);
    EXPECT_EQ(rig.alerts.confirms()[0].title, "Delete selected projects");
    // a-tools is also run by the standalone "tool": not exclusive to the selection, it stays.
    EXPECT_TRUE(lastMessage().contains("  • 5 containers\n  • 2 built images\n  • 2 volumes\nFrees 2.0 MB"));
    EXPECT_TRUE(lastMessage().endsWith("Built images (2):\n    • a-web:latest (1MB)\n    • a-common:latest (1MB)\n  Volumes (2):\n"
                                       "    • a_data (2.0 KB)\n    • shared_vol (1.0 KB)\n\nb\n  Containers (1):\n    • b-api  (Up 1 hour)"));
    EXPECT_EQ(rig.alerts.confirms()[0].button, "Delete 2 Projects");
    EXPECT_EQ(confirmed, 0);  // declined: the selection stays

    rig.alerts.defaultAnswer = true;
    deleteSelection();
    EXPECT_EQ(confirmed, 1);
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_THAT(rig.docker.calls().filter(QRegularExpression("^rmi")),
                UnorderedElementsAre("rmi sha256:aw", "rmi sha256:common"));
    EXPECT_THAT(rig.logLines().filter("[2 projects] deleting"), UnorderedElementsAre("info [2 projects] deleting 5 containers, 2 images, 2 volumes"));
}

TEST_F(Teardown, WithoutCompleteUsageDataOnlyContainersGo)
{
    CachedState state = teardownInventory();
    state.usageDataComplete = false;  // some container could not be inspected: owners are unknown
    ASSERT_TRUE(rig.show(state));
    const QString problem = "Loaded from cache — usage was never fully verified. Refresh to check.";

    EXPECT_THAT(ids(rig.model->removals().projectExclusiveImages("a", false)), IsEmpty());
    EXPECT_THAT(names(rig.model->removals().projectExclusiveVolumes("c")), IsEmpty());
    for (auto remove : {&Removals::removeProjectImages, &Removals::removeProjectVolumes}) {
        (rig.model->removals().*remove)("c");
        EXPECT_EQ(rig.alerts.shown.last().title, "Blocked");
        EXPECT_EQ(lastMessage(), "Usage could not be fully verified, so no image or volume is called exclusive to this "
                                 "project.\n\n" + problem + "\n\nPress Refresh and try again.");
    }
    const QString note = "\n\n⚠ Usage could not be fully verified, so no image or volume is removed with these "
                         "containers:\n  " + problem + "\n\n";
    rig.model->removals().deleteEntireProject("c");
    EXPECT_TRUE(lastMessage().endsWith("KEPT (base / shared — not removed):\n  • c-app:latest" + note + "Continue?"));
    rig.model->removals().deleteProjects({"c"});
    EXPECT_TRUE(lastMessage().contains("  • 0 built images\n  • 0 volumes" + note + "Images/volumes shared"));
}

TEST(TeardownTexts, NamesFromDockerAreNeverReadAsPlaceholders)
{
    // A project label is anyone's text: "%2" in it must come out as written.
    ModelRig rig;
    CachedState state;
    state.containers = {member("web", "p%2%1", "sha256:w")};
    state.usageDataComplete = true;
    ASSERT_TRUE(rig.show(state));
    rig.model->removals().removeProjectContainers("p%2%1");
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_TRUE(rig.logLines().contains("info [p%2%1 containers] deleting 1 container, 0 images, 0 volumes"));
    EXPECT_TRUE(rig.model->statusText().startsWith("p%2%1 containers: removed 1 container  ·  "));
}

}  // namespace
