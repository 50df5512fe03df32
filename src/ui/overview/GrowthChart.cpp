#include "ui/overview/GrowthChart.h"

#include "docker/Records.h"
#include "inventory/ProjectIndex.h"
#include "text/LocaleFormat.h"
#include "text/SizeFormat.h"
#include "ui/style/Theme.h"

#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>

namespace stowage {

namespace {

// The largest 1000-based unit the biggest figure reaches, and its name.
std::pair<double, QString> unitFor(qint64 largest)
{
    static const std::array<const char*, 5> names{"B", "KB", "MB", "GB", "TB"};
    double unit = 1;
    size_t index = 0;
    while (double(largest) / unit >= 1000.0 && index + 1 < names.size()) {
        unit *= 1000.0;
        ++index;
    }
    return {unit, QString::fromLatin1(names[index])};
}

void styleAxis(QAbstractAxis& axis)
{
    axis.setLabelsBrush(Theme::textDim());
    axis.setLabelsFont(Theme::font(10));
    axis.setLinePenColor(Theme::border());
    axis.setGridLineColor(Theme::withAlpha(Theme::border(), 0.6));
    axis.setTitleBrush(Theme::textDim());
}

}  // namespace

GrowthChart::GrowthChart()
{
    setBackgroundBrush(Theme::cardBg());
    setBackgroundRoundness(8);
    setPlotAreaBackgroundVisible(false);
    setMargins(QMargins(4, 4, 4, 4));
    legend()->setLabelColor(Theme::text());
    legend()->setFont(Theme::font(10));
    legend()->setAlignment(Qt::AlignBottom);
    setAnimationOptions(QChart::NoAnimation);
}

double GrowthChart::totalsAt(const QList<HistoryPoint>& totals, const QDateTime& at)
{
    const auto after = std::find_if(totals.begin(), totals.end(), [&](const HistoryPoint& p) { return p.at > at; });
    if (after == totals.begin() || after == totals.end())
        return totals.isEmpty() ? 0 : double((after == totals.end() ? totals.last() : totals.first()).bytes);
    const HistoryPoint& before = *(after - 1);
    const double share = double(before.at.msecsTo(at)) / double(std::max<qint64>(1, before.at.msecsTo(after->at)));
    return double(before.bytes) + share * double(after->bytes - before.bytes);
}

void GrowthChart::addLine(const QString& name, const QList<HistoryPoint>& points, const QColor& color, double unit)
{
    auto* line = new QLineSeries;
    line->setName(name);
    line->setPen(QPen(color, 2));
    line->setPointsVisible(points.size() < 60);
    for (const HistoryPoint& point : points)
        line->append(double(point.at.toMSecsSinceEpoch()), double(point.bytes) / unit);
    connect(line, &QLineSeries::hovered, this, [this, name, unit](const QPointF& point, bool entered) {
        emit hoveredText(entered ? QStringLiteral("%1\n%2: %3").arg(
                                       LocaleFormat::mediumDateShortTime(QDateTime::fromMSecsSinceEpoch(qint64(point.x()))), name,
                                       SizeFormat::humanSize(std::llround(point.y() * unit)))
                                 : QString());
    });
    addSeries(line);
}

void GrowthChart::draw(const GrowthReading& reading, const QDateTime& from, const QDateTime& to)
{
    removeAllSeries();
    for (QAbstractAxis* axis : axes()) {
        removeAxis(axis);
        delete axis;
    }

    qint64 largest = 0;
    for (const HistoryPoint& point : reading.totals)
        largest = std::max(largest, point.bytes);
    const auto [unit, unitName] = unitFor(largest);

    addLine(tr("All of Docker"), reading.totals, Theme::accent(), unit);
    const std::array<QColor, 5> colors{Theme::success(), Theme::warning(), Theme::cyan(), Theme::danger(),
                                       Theme::textDim()};
    for (qsizetype i = 0; i < reading.projects.size(); ++i)
        addLine(projectDisplayName(reading.projects[i].first), reading.projects[i].second,
                colors[size_t(i) % colors.size()], unit);

    if (!reading.removals.isEmpty()) {
        auto* marks = new QScatterSeries;
        marks->setName(tr("Removals by Stowage"));
        marks->setColor(Theme::danger());
        marks->setBorderColor(Theme::cardBg());
        marks->setMarkerSize(11);
        for (const HistoryRemoval& removal : reading.removals)
            marks->append(double(removal.at.toMSecsSinceEpoch()), totalsAt(reading.totals, removal.at) / unit);
        connect(marks, &QScatterSeries::hovered, this, [this, removals = reading.removals](const QPointF& point, bool entered) {
            const auto removal = std::min_element(removals.begin(), removals.end(), [&](const auto& a, const auto& b) {
                return std::abs(a.at.toMSecsSinceEpoch() - point.x()) < std::abs(b.at.toMSecsSinceEpoch() - point.x());
            });
            emit hoveredText(entered && removal != removals.end()
                                 ? QStringLiteral("%1\n%2 %3").arg(LocaleFormat::mediumDateShortTime(removal->at),
                                                                   SizeFormat::humanSize(removal->bytes), removal->what)
                                 : QString());
        });
        addSeries(marks);
    }

    auto* time = new QDateTimeAxis;
    time->setRange(from.toLocalTime(), to.toLocalTime());
    time->setFormat(from.daysTo(to) <= 1 ? tr("HH:mm") : tr("d MMM"));
    time->setTickCount(6);
    auto* bytes = new QValueAxis;
    bytes->setRange(0, std::max(1.0, double(largest) / unit * 1.1));
    bytes->setLabelFormat(QStringLiteral("%.3g ") + unitName);
    bytes->applyNiceNumbers();
    for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{time, bytes})
        styleAxis(*axis);
    addAxis(time, Qt::AlignBottom);
    addAxis(bytes, Qt::AlignLeft);
    for (QAbstractSeries* series : this->series()) {
        series->attachAxis(time);
        series->attachAxis(bytes);
    }
}

}  // namespace stowage
