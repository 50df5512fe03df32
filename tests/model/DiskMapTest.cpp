// The disk map's tree: every byte once (shared image layers as a node of their
// own), each item in one group with its verdict, and the small tail of a
// level put together when it would be too small to see.

#include "classification/UsageClassification.h"
#include "diskmap/DiskMap.h"

#include "InventoryFixtures.h"

#include <gtest/gtest.h>

namespace stowage {
namespace {

using namespace test;

// "group/kind/item verdict bytes" for every item, in the map's order.
void flatten(const DiskMapNode& node, const QString& path, QStringList& out)
{
    for (const DiskMapNode& child : node.children) {
        const QString here = path.isEmpty() ? child.name : path + "/" + child.name;
        if (child.children.isEmpty())
            out << QString("%1 %2 %3").arg(here, verdictText(child.verdict)).arg(child.bytes);
        else
            flatten(child, here, out);
    }
}

TEST(DiskMap, EveryByteOnceInOneGroupWithItsVerdict)
{
    const QString anonymous = QString(64, 'a');
    Inventory inventory;
    inventory.containers = {container("shop-web-1", "shop", "running", "sha256:web", {"shop_db"}),
                            container("tool", "", "running", "sha256:tool")};
    inventory.containers[0].size = "3kB (virtual 30kB)";
    inventory.images = {image("sha256:web", "shop-web", 30), image("sha256:tool", "tool", 25),
                        image("sha256:worker", "shop-worker", 7), image("sha256:base", "alpine", 20)};
    inventory.volumes = {volume("shop_db", "shop"), volume(anonymous), volume("loose")};
    inventory.volumeSizes = {{"shop_db", 100}, {anonymous, 9}, {"loose", 4}};
    inventory.usedImageIDs = {"sha256:web", "sha256:tool"};
    inventory.danglingKnown = true;
    inventory.danglingVolumeNames = {anonymous, "loose"};
    inventory.usageDataComplete = true;
    inventory.buildCache.sizeBytes = 50;
    // web and tool are built on alpine: they share its 20 bytes.
    const QHash<QString, ImageLayers> layers{{"sha256:base", {"sha256:base", "", 20, {"base"}}},
                                             {"sha256:web", {"sha256:web", "", 30, {"base", "web"}}},
                                             {"sha256:tool", {"sha256:tool", "", 25, {"base", "tool"}}},
                                             {"sha256:worker", {"sha256:worker", "", 7, {"worker"}}}};
    const ProjectIndex index =
        buildProjectIndex(inventory.containers, inventory.images, inventory.volumes, layers);
    const DiskMapNode map = diskMap(inventory, index, UsageClassification(inventory, index));

    QStringList items;
    flatten(map, {}, items);
    EXPECT_EQ(items, (QStringList{
                         "shop/Containers' writable layers/shop-web-1 In use 3000",
                         "shop/Volumes/shop_db In use 100",
                         "shop/Images/shop-web:latest In use 10",
                         "shop/Images/shop-worker:latest Safe to remove 7",
                         "Not in a project/Build cache/Build cache Safe to remove 50",
                         "Not in a project/Shared image layers/Layers shared between images In use 20",
                         "Not in a project/Volumes/" + anonymous + " Safe to remove 9",
                         "Not in a project/Volumes/loose May hold data 4",
                         "Standalone containers/Images/tool:latest In use 5",
                     }));
    // The images add up to what they hold on disk, 42, not the 82 listed; alpine holds
    // nothing of its own.
    EXPECT_EQ(map.bytes, 100 + 10 + 7 + 3000 + 50 + 20 + 9 + 4 + 5);

    // Not in a project, laid out in 100 × 100: the two kinds under 3,000 square pixels go together.
    const QList<DiskMapTile> tiles = layOut(map.children[1], QRectF(0, 0, 100, 100), 3000);
    ASSERT_EQ(tiles.size(), 2);
    EXPECT_EQ(tiles[1].node.name, "2 smaller items");
    EXPECT_EQ(tiles[1].node.bytes, 20 + 9 + 4);
    EXPECT_EQ(layOut(map.children[1], QRectF(0, 0, 100, 100), 2000).size(), 3);  // one small item stays itself
}

}  // namespace
}  // namespace stowage
