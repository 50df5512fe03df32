#include "diskmap/TreemapLayout.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace stowage {

namespace {

// The worst aspect ratio of a row of areas laid along a side of length `side`.
double worstRatio(double rowArea, double smallest, double largest, double side)
{
    const double sideSquared = side * side;
    const double rowSquared = rowArea * rowArea;
    return std::max(sideSquared * largest / rowSquared, rowSquared / (sideSquared * smallest));
}

}  // namespace

QList<QRectF> squarify(const QList<qint64>& sizes, const QRectF& bounds)
{
    QList<QRectF> rects(sizes.size(), QRectF(bounds.topLeft(), QSizeF(0, 0)));
    std::vector<qsizetype> order;
    double total = 0;
    for (qsizetype i = 0; i < sizes.size(); ++i)
        if (sizes[i] > 0) {
            order.push_back(i);
            total += double(sizes[i]);
        }
    if (order.empty() || bounds.width() <= 0 || bounds.height() <= 0)
        return rects;
    // Largest first; equal sizes in input order, so that the result never depends on the sort.
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return sizes[a] > sizes[b]; });

    const double scale = bounds.width() * bounds.height() / total;
    QRectF free = bounds;
    size_t next = 0;
    while (next < order.size()) {
        // Lay the row along the shorter side of what is left.
        const bool alongWidth = free.width() <= free.height();
        const double side = alongWidth ? free.width() : free.height();
        size_t end = next;
        double rowArea = 0;
        double smallest = 0;
        double largest = 0;
        while (end < order.size()) {
            const double area = double(sizes[order[end]]) * scale;
            const double withIt = rowArea + area;
            if (end > next && worstRatio(withIt, area, largest, side) > worstRatio(rowArea, smallest, largest, side))
                break;
            rowArea = withIt;
            largest = std::max(largest, area);
            smallest = area;  // sizes fall along the order
            ++end;
        }
        // The last row takes what is left, so rounding never leaves a gap.
        const double thickness = end == order.size() ? (alongWidth ? free.height() : free.width()) : rowArea / side;
        double offset = 0;
        for (size_t k = next; k < end; ++k) {
            const double area = double(sizes[order[k]]) * scale;
            const double length = k + 1 == end ? side - offset : area / thickness;
            rects[order[k]] = alongWidth ? QRectF(free.left() + offset, free.top(), length, thickness)
                                         : QRectF(free.left(), free.top() + offset, thickness, length);
            offset += length;
        }
        if (alongWidth)
            free.setTop(free.top() + thickness);
        else
            free.setLeft(free.left() + thickness);
        next = end;
    }
    return rects;
}

}  // namespace stowage
