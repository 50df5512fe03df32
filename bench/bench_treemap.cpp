// The disk map's layout on 1,000, 10,000 and 50,000 items (sizes spread as on
// a real disk: a few giants, many small items) in a 1,600 × 1,000 area. Prints
// the best of five runs in milliseconds; exits non-zero when a layout lost an
// item or its areas do not add up to the whole area.
// Usage: bench_treemap [--sizes 1000,10000,50000]

#include "diskmap/TreemapLayout.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

using namespace stowage;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> counts{1000, 10000, 50000};
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--sizes") {
        counts.clear();
        for (const QString& count : args[2].split(','))
            counts << count.toInt();
    }
    const QRectF bounds(0, 0, 1600, 1000);
    std::printf("%-8s %10s\n", "items", "best ms");
    for (int count : counts) {
        std::mt19937_64 random(count);
        std::lognormal_distribution<double> spread(15, 2.5);
        QList<qint64> sizes;
        for (int i = 0; i < count; ++i)
            sizes << qint64(spread(random)) + 1;
        double best = 1e9;
        QList<QRectF> rects;
        for (int run = 0; run < 5; ++run) {
            const auto start = std::chrono::steady_clock::now();
            rects = squarify(sizes, bounds);
            best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        double covered = 0;
        for (const QRectF& rect : rects)
            covered += rect.width() * rect.height();
        if (rects.size() != count || std::abs(covered - bounds.width() * bounds.height()) > 1.0) {
            std::fprintf(stderr, "bench_treemap: the layout of %d items lost items or area\n", count);
            return 3;
        }
        std::printf("%-8d %10.2f\n", count, best);
    }
    return 0;
}
