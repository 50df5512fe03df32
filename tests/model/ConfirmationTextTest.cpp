// The removal confirmations as texts of what each removal takes: exact
// wording, singular and plural, the notes that appear only when they apply,
// and names from Docker that are shown as written.

#include "model/InventoryFixtures.h"
#include "model/removal/RemovalConfirmations.h"

#include <gtest/gtest.h>

using namespace stowage;
using namespace stowage::test;

namespace {

ImageUnit unit(const QString& name, const QString& size = "1MB") { return {.id = name, .name = name, .size = size}; }

SGContainer up(const QString& name) { return {.name = name, .status = "Up 1 hour", .state = "running"}; }

const ImageFreeing oneMB{{1000000, 1000000}, 0};
const QString freesOneMB = "Frees 1.0 MB on disk (layers shared with images that stay are not counted).";

struct Row {
    Confirmation got;
    QString title, text, button;
};

TEST(ConfirmationText, EachRemovalSaysExactlyWhatGoes)
{
    const QString anon = QString(64, 'f');
    const QHash<QString, qint64> sizes{{"appdata", 5000000}, {"shop_cache", 2000000}, {anon, 1000000}, {"a_data", 2048}};
    const QList<SGVolume> orphans{volume("appdata"), volume("shop_cache", "shop"), volume(anon)};
    const QList<Row> rows{
        {buildCacheConfirmation(), "Clear build cache", "Clear all Docker build cache?", "Clear Build Cache"},
        {unusedImagesConfirmation({unit("shop-old:v1, shop-archive:v1", "20MB"), unit("untagged image 4444, created 3 weeks ago", "5MB")},
                                  {{25000000, 25000000}, 0}),
         "Remove unused images", "Remove 2 unused images?\n\nFrees 25.0 MB on disk (layers shared with images that stay "
         "are not counted).\n\n  shop-old:v1, shop-archive:v1 (20MB)\n  untagged image 4444, created 3 weeks ago (5MB)",
         "Remove 2 Images"},
        {selectedImagesConfirmation({{unit("shop-old:v1")}, {{"shop-web:latest", "Used by container"}}, {{1000000, 1000000}, 1}}),
         "Remove selected images", "BLOCKED (in use):\n  shop-web:latest (Used by container)\n\n" + freesOneMB +
         "\nAlso removed: 1 untagged build layer they were built from.\n\nWill remove:\n  shop-old:v1 (1MB)", "Remove 1 Image"},
        {selectedVolumesConfirmation({{volume("shop_cache")}, {{"shop_data", "In use — 2 containers (running)"}}, sizes}),
         "Remove selected volumes", "BLOCKED (in use):\n  shop_data — In use — 2 containers (running)\n\n⚠ Data will be "
         "permanently deleted!\n\nWill remove:\n  shop_cache (2.0 MB)", "Remove 1 Volume"},
        {orphanBucketConfirmation({false, orphans, sizes, {anon}, {{"shop", 1, 2000000}}, {volume("appdata")}}),
         "Remove orphan volumes", "Remove 3 volumes (8.0 MB)?\n\nMounted by no container, and Docker's own dangling "
         "filter agrees.\n\n⚠ 1 of these carry a compose project label. No container mounts them any more, but this IS "
         "that project's data — a leftover from an older compose file, or a project whose containers were removed:\n"
         "  • shop: 1 volume, 2.0 MB\n\n⚠ 1 of these have a name but no project label. Docker did not make up these "
         "names: someone chose them, and a named volume often holds data meant to outlive its containers (a database, "
         "uploads):\n  • appdata (5.0 MB)\n\n⚠ Data will be permanently deleted!\n\n  appdata (5.0 MB)\n  shop_cache "
         "(2.0 MB)\n  " + anon + " (1.0 MB)", "Remove 3 Volumes"},
        {orphanBucketConfirmation({true, {volume(anon)}, sizes, {anon}}), "Remove anonymous orphan volumes",
         "Remove 1 volume (1.0 MB)?\n\nThese belong to no compose project and are mounted by no container.\n\n"
         "⚠ Data will be permanently deleted!\n\n  " + anon + " (1.0 MB)", "Remove 1 Volume"},
        // A project label is anyone's text: "%2" in it comes out as written.
        {projectContainersConfirmation({"p%2%1", {up("web")}, {}}), "Remove containers",
         "Remove 1 container of 'p%2%1'?\n\n  • web (Up 1 hour)\n\nImages and volumes are NOT touched.", "Remove 1 Container"},
        {projectImagesConfirmation({"a", {unit("a-web:latest")}, oneMB, {up("a-web")}}), "Remove project images",
         "Remove 1 image exclusive to 'a'?\n\n  • a-web:latest (1MB)\n\n" + freesOneMB + "\n\nThese containers "
         "reference the images and will be removed first:\n  • a-web", "Remove 1 Image"},
        {projectVolumesConfirmation({"a", {volume("a_data")}, sizes, {up("a-web"), up("a-db")}}), "Remove project volumes",
         "Remove 1 volume exclusive to 'a'?\n\n  • a_data (2.0 KB)\n\nThese containers use the volumes and will be "
         "removed first:\n  • a-web\n  • a-db\n\n⚠ Volume data will be permanently deleted.", "Remove 1 Volume"},
        {entireProjectConfirmation({"a", {up("a-web")}, {unit("a-web:latest")}, oneMB, {volume("a_data")}, sizes,
                                    {unit("postgres:latest")}, std::nullopt, {}}),
         "Delete entire project", "Project: a\n\nContainers to remove (1):\n  • a-web  (Up 1 hour)\n\nBuilt images to "
         "remove (1):\n  • a-web:latest  (1MB)\n  " + freesOneMB + "\n\nVolumes to remove (1):\n  • a_data  (2.0 KB)\n\n"
         "KEPT (base / shared — not removed):\n  • postgres:latest\n\n⚠ Volume data will be permanently deleted. Continue?",
         "Delete Project"},
        // Owners unknown: containers alone go, and no data warning.
        {entireProjectConfirmation({"c", {up("c-app")}, {}, {}, {}, sizes, {}, "Refresh to check.", {}}),
         "Delete entire project", "Project: c\n\nContainers to remove (1):\n  • c-app  (Up 1 hour)\n\nBuilt images to "
         "remove (0):\n  (none)\n\nVolumes to remove (0):\n  (none)\n\n⚠ Usage could not be fully verified, so no image "
         "or volume is removed with these containers:\n  Refresh to check.\n\nContinue?", "Delete Project"},
        {projectsSelectionConfirmation({{"a", "b"}, {{"a", {up("a-web")}, {unit("a-web:latest")}, {volume("a_data")}},
                                                      {"b", {up("b-api")}, {}, {}}}, oneMB, sizes, std::nullopt, {}}),
         "Delete selected projects", "Delete 2 projects:\n\n  • a\n  • b\n\nTotals to remove:\n  • 2 containers\n"
         "  • 1 built image\n  • 1 volume\n" + freesOneMB + "\n\nImages/volumes shared with a project or container NOT in "
         "this selection are kept.\n⚠ Volume data will be permanently deleted. Continue?\n\na\n  Containers (1):\n"
         "    • a-web  (Up 1 hour)\n  Built images (1):\n    • a-web:latest (1MB)\n  Volumes (1):\n    • a_data (2.0 KB)"
         "\n\nb\n  Containers (1):\n    • b-api  (Up 1 hour)", "Delete 2 Projects"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.got.title, row.title);
        EXPECT_EQ(row.got.fullText(), row.text) << row.title.toStdString();
        EXPECT_EQ(row.got.action, row.button) << row.title.toStdString();
    }
}

}  // namespace
