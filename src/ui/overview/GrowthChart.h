#pragma once
// The Growth view's chart: the engine's totals and the chosen projects over a
// period, one line each, with the removals Stowage made marked on the totals'
// line. Drawn with Qt Charts in the window's colours; the byte axis is scaled
// to one unit (1000-based, as the window writes sizes) and hovering a point
// tells its moment and size.

#include "history/HistoryRecord.h"

#include <QChart>

#include <utility>

namespace stowage {

// What the history holds for one period.
struct GrowthReading {
    QList<HistoryPoint> totals;
    QList<std::pair<QString, QList<HistoryPoint>>> projects;  // the chosen ones, by name
    QList<HistoryRemoval> removals;
    QList<HistoryGrowth> growth;  // largest first
};

class GrowthChart : public QChart {
    Q_OBJECT
public:
    GrowthChart();

    // Replaces every line with the reading's; the time axis spans [from, to].
    void draw(const GrowthReading& reading, const QDateTime& from, const QDateTime& to);


signals:
    // The pointer is on a point (its text) or left it (empty).
    void hoveredText(const QString& text);

private:
    // Where a removal is marked: on the totals' line at its moment.
    static double totalsAt(const QList<HistoryPoint>& totals, const QDateTime& at);
    void addLine(const QString& name, const QList<HistoryPoint>& points, const QColor& color, double unit);
};

}  // namespace stowage
