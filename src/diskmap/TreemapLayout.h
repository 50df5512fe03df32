#pragma once
// The squarified treemap layout: rectangles whose areas are proportional to
// the given sizes, filling the bounds without overlap, as close to squares as
// the row-by-row method gets. Deterministic: equal input gives equal output,
// ties keep the input order.

#include <QList>
#include <QRectF>

namespace stowage {

// One rectangle per size, in the order of `sizes`. Sizes of zero or less get
// an empty rectangle at the bounds' corner; all-zero input gives only those.
QList<QRectF> squarify(const QList<qint64>& sizes, const QRectF& bounds);

}  // namespace stowage
