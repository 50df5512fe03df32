#include "ui/style/SymbolGlyphs.h"

#include <QHash>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QtMath>

#include <functional>

namespace stowage {

namespace {

// Every glyph is built from strokes turned into outlines, so that "filled"
// variants can cut their inner marks out of a solid shape.
QPainterPath stroke(const QPainterPath& path, qreal width = 1.8)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

QPainterPath line(QPointF a, QPointF b, qreal width = 1.8)
{
    QPainterPath p(a);
    p.lineTo(b);
    return stroke(p, width);
}

QPainterPath polyline(std::initializer_list<QPointF> points, qreal width = 1.8, bool closed = false)
{
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(points)));
    if (closed)
        p.closeSubpath();
    return stroke(p, width);
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(points)));
    p.closeSubpath();
    return p;
}

QPainterPath disc(QPointF center, qreal radius)
{
    QPainterPath p;
    p.addEllipse(center, radius, radius);
    return p;
}

QPainterPath ring(QPointF center, qreal radius, qreal width = 1.8)
{
    QPainterPath p;
    p.addEllipse(center, radius, radius);
    return stroke(p, width);
}

QPainterPath roundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath p;
    p.addRoundedRect(rect, radius, radius);
    return p;
}

QPainterPath unite(std::initializer_list<QPainterPath> parts)
{
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    for (const auto& part : parts)
        all = all.united(part);
    return all;
}

// --- Marks drawn inside shapes ---

QPainterPath exclamation(QPointF top, qreal length, qreal width = 2.0)
{
    return unite({line(top, top + QPointF(0, length), width),
                  disc(top + QPointF(0, length + width * 1.6), width * 0.62)});
}

QPainterPath checkmark() { return polyline({{7.8, 12.4}, {10.8, 15.4}, {16.4, 9.2}}, 2.0); }

QPainterPath cross() { return unite({line({9, 9}, {15, 15}, 2.0), line({15, 9}, {9, 15}, 2.0)}); }

// --- Shapes ---

QPainterPath triangleShape() { return polygon({{12, 3.2}, {21.6, 19.8}, {2.4, 19.8}}); }

QPainterPath warningTriangle(bool filled)
{
    const QPainterPath mark = exclamation({12, 9}, 4.6);
    if (filled)
        return unite({triangleShape(), stroke(triangleShape(), 1.6)}).subtracted(mark);
    return unite({stroke(triangleShape(), 1.7), mark});
}

QPainterPath circled(const QPainterPath& mark, bool filled)
{
    if (filled)
        return disc({12, 12}, 10).subtracted(mark);
    return unite({ring({12, 12}, 9.1), mark});
}

QPainterPath stopMark() { return roundedRect({8.6, 8.6, 6.8, 6.8}, 1.2); }

QPainterPath boltMark()
{
    return polygon({{5.4, 13.2}, {11.2, 8.6}, {11.0, 11.3}, {18.6, 10.8}, {12.8, 15.4}, {13.0, 12.7}});
}

QPainterPath boxOutline()
{
    return polygon({{12, 2.8}, {20.4, 7.4}, {20.4, 16.6}, {12, 21.2}, {3.6, 16.6}, {3.6, 7.4}});
}

QPainterPath boxInnerLines(qreal width)
{
    return unite({polyline({{3.6, 7.4}, {12, 12}, {20.4, 7.4}}, width), line({12, 12}, {12, 21.2}, width),
                  line({7.8, 5.1}, {16.2, 9.7}, width)});
}

QPainterPath shippingBox(bool filled)
{
    if (filled)
        return unite({boxOutline(), stroke(boxOutline(), 1.4)}).subtracted(boxInnerLines(1.3));
    return unite({stroke(boxOutline(), 1.7), boxInnerLines(1.5)});
}

QPainterPath arrowClockwise()
{
    const QRectF circle(4.5, 5, 15, 15);
    const qreal startDeg = 50;
    const qreal sweepDeg = -290;
    QPainterPath arc;
    arc.arcMoveTo(circle, startDeg);
    arc.arcTo(circle, startDeg, sweepDeg);
    const qreal end = qDegreesToRadians(startDeg + sweepDeg);
    const QPointF center = circle.center();
    const qreal r = circle.width() / 2;
    const QPointF tip(center.x() + r * std::cos(end), center.y() - r * std::sin(end));
    const QPointF along(std::sin(end), std::cos(end));    // clockwise direction on screen
    const QPointF outward(std::cos(end), -std::sin(end));  // away from the centre
    const QPainterPath head =
        polygon({tip + along * 3.6, tip - along * 1.2 + outward * 3.6, tip - along * 1.2 - outward * 3.6});
    return unite({stroke(arc, 1.9), head});
}

QPainterPath hourglass()
{
    return unite({line({6.5, 3}, {17.5, 3}), line({6.5, 21}, {17.5, 21}),
                  polyline({{8, 3.5}, {16, 3.5}, {12.8, 12}, {16, 20.5}, {8, 20.5}, {11.2, 12}}, 1.6, true),
                  polygon({{9.5, 19.5}, {14.5, 19.5}, {12, 15.8}})});
}

QPainterPath photoStack()
{
    const QRectF front(2.8, 7.2, 14.4, 12.8);
    const QPainterPath back =
        stroke(roundedRect({6.8, 3.2, 14.4, 12.8}, 2.2), 1.6).subtracted(roundedRect(front.adjusted(-1.6, -1.6, 1.6, 1.6), 3));
    return unite({back, stroke(roundedRect(front, 2.2), 1.7),
                  polyline({{5.2, 17.4}, {8.8, 13.4}, {11.6, 16.4}, {13.2, 14.8}, {15.2, 17.2}}, 1.5),
                  disc({12.8, 10.8}, 1.3)});
}

QPainterPath externalDrive()
{
    return unite({stroke(roundedRect({2.5, 7, 19, 10.5}, 2.6), 1.7), disc({17.4, 12.25}, 1.25),
                  line({5.8, 12.25}, {10.8, 12.25}, 1.5)});
}

QPainterPath externalDriveMinus()
{
    const QPainterPath badge = disc({18, 17.8}, 5);
    const QPainterPath drive = externalDrive().subtracted(disc({18, 17.8}, 6.6));
    return unite({drive, badge.subtracted(line({15.4, 17.8}, {20.6, 17.8}, 1.8))});
}

QPainterPath star(QPointF center, qreal radius)
{
    QPainterPath p(center + QPointF(0, -radius));
    p.quadTo(center, center + QPointF(radius, 0));
    p.quadTo(center, center + QPointF(0, radius));
    p.quadTo(center, center + QPointF(-radius, 0));
    p.quadTo(center, center + QPointF(0, -radius));
    // The curves meet at the centre; round the join so the star keeps its body.
    return unite({p, disc(center, radius * 0.22)});
}

QPainterPath sparkles() { return unite({star({9.8, 13.6}, 8.2), star({18.6, 5.4}, 3.6), star({19, 18.4}, 2.4)}); }

QPainterPath trashBody() { return polygon({{6, 6.8}, {18, 6.8}, {16.9, 20.6}, {7.1, 20.6}}); }

QPainterPath trashLid(qreal width)
{
    return unite({line({3.8, 6.3}, {20.2, 6.3}, width), polyline({{9.2, 6}, {9.6, 3.4}, {14.4, 3.4}, {14.8, 6}}, width)});
}

QPainterPath trash(bool filled)
{
    const QPainterPath ribs = unite({line({10.2, 10}, {10.4, 17.4}, 1.5), line({13.8, 10}, {13.6, 17.4}, 1.5)});
    if (filled)
        return unite({unite({trashBody(), stroke(trashBody(), 1.2)}).subtracted(ribs), trashLid(1.9)});
    return unite({stroke(trashBody(), 1.7), trashLid(1.7), ribs});
}

QPainterPath docOnDoc()
{
    const QRectF front(4, 7, 11.5, 14.5);
    const QPainterPath back =
        stroke(roundedRect({8.5, 2.5, 11.5, 14.5}, 2), 1.6).subtracted(roundedRect(front.adjusted(-1.6, -1.6, 1.6, 1.6), 3));
    return unite({back, stroke(roundedRect(front, 2), 1.7)});
}

QPainterPath docOnClipboard()
{
    return unite({stroke(roundedRect({4.8, 4.4, 14.4, 17.2}, 2.2), 1.7)
                      .subtracted(roundedRect({8, 1.6, 8, 5.2}, 1.6)),
                  roundedRect({8.8, 2.6, 6.4, 3.4}, 1.2), line({8.4, 11}, {15.6, 11}, 1.5),
                  line({8.4, 14.4}, {15.6, 14.4}, 1.5), line({8.4, 17.8}, {12.8, 17.8}, 1.5)});
}

QPainterPath docRichText()
{
    return unite({polyline({{14, 2.8}, {5.2, 2.8}, {5.2, 21.2}, {18.8, 21.2}, {18.8, 7.6}, {14, 2.8}}, 1.7, true),
                  polyline({{14, 3}, {14, 7.6}, {18.6, 7.6}}, 1.4), line({8.4, 11}, {15.6, 11}, 1.5),
                  line({8.4, 14.4}, {15.6, 14.4}, 1.5), line({8.4, 17.8}, {12.8, 17.8}, 1.5)});
}

QPainterPath folder()
{
    return unite({polyline({{3, 6}, {9.4, 6}, {11.4, 8.2}, {21, 8.2}, {21, 19.2}, {3, 19.2}}, 1.7, true),
                  line({3, 10.8}, {21, 10.8}, 1.5)});
}

QPainterPath magnifyingGlass() { return unite({ring({10.2, 10.2}, 6.2, 2.0), line({14.8, 14.8}, {20.2, 20.2}, 2.6)}); }

QPainterPath terminal()
{
    return unite({stroke(roundedRect({2.5, 4, 19, 16}, 2.6), 1.7), polyline({{6.6, 9}, {9.6, 12}, {6.6, 15}}, 1.7),
                  line({11.8, 15}, {16.4, 15}, 1.7)});
}

QPainterPath arrow(bool up)
{
    const qreal tipY = up ? 4 : 20;
    const qreal tailY = up ? 20 : 4;
    const qreal wingY = up ? 10.5 : 13.5;
    return unite({line({12, tailY}, {12, tipY}, 2.0), polyline({{6, wingY}, {12, tipY}, {18, wingY}}, 2.0)});
}

using GlyphMaker = std::function<QPainterPath()>;

const QHash<QString, GlyphMaker>& makers()
{
    static const QHash<QString, GlyphMaker> table = {
        {"exclamationmark.triangle", [] { return warningTriangle(false); }},
        {"exclamationmark.triangle.fill", [] { return warningTriangle(true); }},
        {"exclamationmark.circle.fill", [] { return circled(exclamation({12, 6.6}, 6.2), true); }},
        {"shippingbox", [] { return shippingBox(false); }},
        {"shippingbox.fill", [] { return shippingBox(true); }},
        {"arrow.clockwise", arrowClockwise},
        {"stop.circle", [] { return circled(stopMark(), false); }},
        {"stop.circle.fill", [] { return circled(stopMark(), true); }},
        {"bolt.horizontal.circle", [] { return circled(boltMark(), false); }},
        {"hourglass", hourglass},
        {"photo.stack", photoStack},
        {"externaldrive", externalDrive},
        {"externaldrive.badge.minus", externalDriveMinus},
        {"sparkles", sparkles},
        {"trash", [] { return trash(false); }},
        {"trash.fill", [] { return trash(true); }},
        {"doc.on.doc", docOnDoc},
        {"doc.on.clipboard", docOnClipboard},
        {"doc.richtext", docRichText},
        {"folder", folder},
        {"magnifyingglass", magnifyingGlass},
        {"terminal", terminal},
        {"checkmark.circle", [] { return circled(checkmark(), false); }},
        {"checkmark.circle.fill", [] { return circled(checkmark(), true); }},
        {"xmark.circle.fill", [] { return circled(cross(), true); }},
        {"circle", [] { return ring({12, 12}, 9.1); }},
        {"circle.fill", [] { return disc({12, 12}, 10); }},
        {"arrow.up", [] { return arrow(true); }},
        {"arrow.down", [] { return arrow(false); }},
    };
    return table;
}

}  // namespace

std::optional<QPainterPath> symbolGlyph(const QString& symbol)
{
    // Glyphs are built once per symbol; path booleans are not free.
    static QHash<QString, QPainterPath> built;
    if (auto found = built.constFind(symbol); found != built.cend())
        return *found;
    const auto maker = makers().constFind(symbol);
    if (maker == makers().cend())
        return std::nullopt;
    return *built.insert(symbol, (*maker)());
}

QPainterPath fallbackGlyph() { return unite({ring({12, 12}, 8.4, 1.6), disc({12, 12}, 2.6)}); }

}  // namespace stowage
