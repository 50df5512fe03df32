#include "inventory/ImageGraph.h"

#include "InventoryFixtures.h"

#include <gtest/gtest.h>

#include <random>

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

    // Parents as an engine should never report them, each built on the other:
    // the walks end (the names below them were sought for ever).
    const ImageGraph loop = graphOf({{"x", "", "y", 2 * MB, {"l1"}}, {"y", "", "x", 1 * MB, {"l1"}}});
    EXPECT_EQ(loop.imagesBuiltOn("x"), QStringList{});
    EXPECT_EQ(loop.parentsGoingWith({"x"}, {}), QStringList{"y"});

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

// Random stacks over a few layers, each layer with its own size: what a set
// of images holds, and what only it holds, is known exactly. The graph's
// range must hold that truth, and be exact when an image ends on every stack.
TEST(ImageGraph, FiguresHoldTheTruthOnRandomStacks)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const bool everyStackAnImage = round % 2 == 0;
        QHash<QString, qint64> ownSize;  // a layer's own bytes
        QList<Image> images;
        QList<QStringList> stacks;
        for (int i = 0; i < 8; ++i) {
            QStringList layers;
            for (int depth = 1 + int(random() % 4); layers.size() < depth;)
                layers << QStringLiteral("l%1").arg(random() % 4);
            // With every stack an image, each prefix is listed too.
            for (qsizetype top = everyStackAnImage ? 1 : layers.size(); top <= layers.size(); ++top)
                stacks << layers.first(top);
        }
        for (const QStringList& stack : std::as_const(stacks)) {
            qint64 size = 0;
            for (qsizetype at = 0; at < stack.size(); ++at) {
                const QString layer = stack.first(at + 1).join('/');
                if (!ownSize.contains(layer))
                    ownSize.insert(layer, qint64(1 + random() % 9) * MB);
                size += ownSize[layer];
            }
            images << Image{QStringLiteral("i%1").arg(images.size()), "", "", size, stack};
        }
        const ImageGraph graph = graphOf(images);
        // The prefixes an image holds are the layers it holds (a layer is known by those below it).
        const auto prefixes = [&](const QSet<QString>& ids) {
            QSet<QString> held;
            for (const Image& image : std::as_const(images))
                for (qsizetype at = 0; ids.contains(image.id) && at < image.layers.size(); ++at)
                    held.insert(image.layers.first(at + 1).join('/'));
            return held;
        };
        QSet<QString> chosen, others;
        for (const Image& image : std::as_const(images))
            (random() % 3 == 0 ? chosen : others).insert(image.id);
        qint64 footprint = 0, freed = 0;
        const QSet<QString> kept = prefixes(others);
        for (const QString& layer : prefixes(chosen)) {
            footprint += ownSize[layer];
            freed += kept.contains(layer) ? 0 : ownSize[layer];
        }
        const ByteRange shownFootprint = graph.footprint(chosen), shownFreed = graph.freedBy(chosen);
        EXPECT_TRUE(shownFootprint.low <= footprint && footprint <= shownFootprint.high) << round;
        EXPECT_TRUE(shownFreed.low <= freed && freed <= shownFreed.high) << round;
        if (everyStackAnImage) {
            EXPECT_EQ(shownFootprint, range(footprint)) << round;
            EXPECT_EQ(shownFreed, range(freed)) << round;
        }
    }
}

}  // namespace
}  // namespace stowage
