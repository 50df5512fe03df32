#include "inventory/ImageGraph.h"

#include "InventoryFixtures.h"

#include <gtest/gtest.h>

namespace stowage {
namespace {

constexpr qint64 MB = 1000 * 1000;

struct Image {
    QString id;
    QString name;  // "repository:tag", or "" for an untagged image
    QString parent;
    qint64 size;
    QStringList layers;
};

// base:3 ← (classic build) step ← web (two tags, listed out of sort order); api and a
// dangling image on base without parents (BuildKit); solo shares nothing.
const QList<Image> sample = {
    {"base", "base:3", "", 5 * MB, {"l1"}},
    {"step", "", "base", 6 * MB, {"l1", "l2"}},
    {"web", "app-web:v1", "step", 8 * MB, {"l1", "l2", "l3"}},
    {"web", "app-web:latest", "step", 8 * MB, {"l1", "l2", "l3"}},
    {"api", "app-api:latest", "", 9 * MB, {"l1", "l4"}},
    {"old", "", "", 7 * MB, {"l1", "l5"}},
    {"solo", "solo:1", "", 3 * MB, {"s1"}},
};

ImageGraph graphOf(const QList<Image>& images, bool inspected = true)
{
    QList<SGImage> listing;
    QHash<QString, ImageLayers> layers;
    for (const Image& i : images) {
        const QStringList name = i.name.isEmpty() ? QStringList{"<none>", "<none>"} : i.name.split(u':');
        listing << test::image(i.id, name[0], i.size, name[1]);
        if (inspected)
            layers.insert(i.id, {i.id, i.parent, i.size, i.layers});
    }
    return ImageGraph(listing, layers);
}

ByteRange range(qint64 low, qint64 high) { return {low, high}; }
ByteRange range(qint64 bytes) { return {bytes, bytes}; }

TEST(ImageGraph, BuildLayersAreToldFromDanglingImages)
{
    const ImageGraph graph = graphOf(sample);
    ASSERT_TRUE(graph.known());
    EXPECT_TRUE(graph.isIntermediate("step"));
    EXPECT_FALSE(graph.isIntermediate("old"));   // untagged, nothing built on it: dangling
    EXPECT_FALSE(graph.isIntermediate("base"));  // tagged
    EXPECT_EQ(graph.imagesBuiltOn("step"), QStringList{"app-web:latest"});
    EXPECT_EQ(graph.topLevelCount(), 5);  // six ids, one of them a build layer

    // A parent goes with its last child, unless tagged or run by a container.
    EXPECT_EQ(graph.parentsGoingWith({"web"}, {}), QStringList{"step"});
    EXPECT_EQ(graph.parentsGoingWith({"web"}, QSet<QString>{"step"}), QStringList{});
    EXPECT_EQ(graph.parentsGoingWith({"api"}, {}), QStringList{});

    // Without the inspection nothing is a build layer, and all ids count.
    const ImageGraph unknown = graphOf(sample, false);
    EXPECT_FALSE(unknown.known());
    EXPECT_FALSE(unknown.isIntermediate("step"));
    EXPECT_EQ(unknown.topLevelCount(), 6);
}

TEST(ImageGraph, FreedCountsOnlyLayersNoRemainingImageHoldsAsARangeWhenSizesAreUnknown)
{
    const ImageGraph graph = graphOf(sample);
    const struct {
        QSet<QString> removed;
        ByteRange freed;
    } cases[] = {
        {{"web", "step"}, range(3 * MB)},              // the base layer stays with base
        {{"api"}, range(4 * MB)},
        {{"web", "step", "api", "base"}, range(7 * MB)},  // old still holds l1
        {{"web", "step", "api", "base", "old"}, range(14 * MB)},  // l1 once
        {{"solo", "api"}, range(7 * MB)},
        {{"base", "step", "web", "api", "old", "solo"}, range(17 * MB)},
        {{}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(graph.freedBy(c.removed), c.freed) << QStringList(c.removed.values()).join(',').toStdString();

    // Unknown layer sizes give a range that holds the truth. x and y share m1, on which no image ends: its size is anywhere in 0..6 MB.
    const ImageGraph shared = graphOf({{"x", "x:1", "", 6 * MB, {"m1", "m2"}}, {"y", "y:1", "", 8 * MB, {"m1", "m3"}}});
    EXPECT_EQ(shared.freedBy(QSet<QString>{"x", "y"}), range(8 * MB, 14 * MB));
    EXPECT_EQ(shared.freedBy(QSet<QString>{"x"}), range(0, 6 * MB));
    EXPECT_EQ(formatRange({8 * MB, 14 * MB}), "8.0 MB–14.0 MB");
    EXPECT_EQ(formatRange({8 * MB, 8 * MB + 10}), "8.0 MB");

    // Without layer facts: at most the listed sizes.
    EXPECT_EQ(graphOf(sample, false).freedBy(QSet<QString>{"web", "api"}), (ByteRange{0, 17 * MB}));
}

}  // namespace
}  // namespace stowage
