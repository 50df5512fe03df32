// The squarified layout: areas in proportion, no overlap, inside the bounds,
// the same answer for the same input, and little movement for a small change.

#include "diskmap/TreemapLayout.h"

#include <gtest/gtest.h>

#include <random>

using namespace stowage;

namespace {

QList<qint64> randomSizes(int count, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::lognormal_distribution<double> spread(15, 2.5);  // a few giants, many small items
    QList<qint64> sizes;
    for (int i = 0; i < count; ++i)
        sizes << qint64(spread(random)) + 1;
    return sizes;
}

TEST(TreemapLayout, AreasFollowSizesWithoutOverlapInsideTheBounds)
{
    const QRectF bounds(10, 20, 800, 500);
    const struct {
        const char* name;
        QList<qint64> sizes;
    } cases[] = {
        {"one", {42}},
        {"equal", {5, 5, 5, 5, 5, 5, 5}},
        {"one giant", {1'000'000, 10, 10, 10}},
        {"with zeros", {0, 300, 0, 100, -5}},
        {"random", randomSizes(400, 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<QRectF> rects = squarify(c.sizes, bounds);
        ASSERT_EQ(rects.size(), c.sizes.size());
        double total = 0;
        for (qint64 size : c.sizes)
            total += std::max<qint64>(size, 0);
        double covered = 0;
        for (qsizetype i = 0; i < rects.size(); ++i) {
            const double area = rects[i].width() * rects[i].height();
            covered += area;
            if (c.sizes[i] <= 0) {
                EXPECT_EQ(area, 0);
                continue;
            }
            const double expected = bounds.width() * bounds.height() * double(c.sizes[i]) / total;
            EXPECT_NEAR(area, expected, expected * 0.01 + 1e-6) << i;
            EXPECT_TRUE(bounds.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(rects[i])) << i;
            for (qsizetype j = 0; j < i; ++j) {
                const QRectF overlap = rects[i].intersected(rects[j]);
                EXPECT_LT(overlap.width() * overlap.height(), 1e-6) << i << " overlaps " << j;
            }
        }
        EXPECT_NEAR(covered, bounds.width() * bounds.height(), 1e-3);
    }
    EXPECT_EQ(squarify({0, 0}, bounds), (QList<QRectF>{QRectF(bounds.topLeft(), QSizeF(0, 0)), QRectF(bounds.topLeft(), QSizeF(0, 0))}));
}

TEST(TreemapLayout, TheSameInputGivesTheSameLayoutAndASmallChangeMovesLittle)
{
    const QRectF bounds(0, 0, 1000, 600);
    const QList<qint64> sizes = randomSizes(300, 11);
    EXPECT_EQ(squarify(sizes, bounds), squarify(sizes, bounds));
    QList<qint64> grown = sizes;
    grown[150] += grown[150] / 1000;  // one item grows by a tenth of a percent
    const QList<QRectF> before = squarify(sizes, bounds);
    const QList<QRectF> after = squarify(grown, bounds);
    for (qsizetype i = 0; i < sizes.size(); ++i)
        EXPECT_LT((before[i].center() - after[i].center()).manhattanLength(), 2.0) << i;
}

}  // namespace
