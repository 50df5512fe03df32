#pragma once
// The disk map: the engine's disk as nested rectangles (project → kind →
// item), each sized by its bytes and coloured by its verdict, painted in the
// window's theme. Hover tells name, size and status; a click on an item (or
// Enter on the focused one) hands it to its tab; a click on a group zooms in
// and the breadcrumb above zooms out. Arrows move between rectangles.

#include "diskmap/DiskMap.h"

#include <QWidget>

namespace stowage {

class DiskMapView : public QWidget {
    Q_OBJECT
public:
    explicit DiskMapView(QWidget* parent = nullptr);

    // A new map keeps the zoom while the zoomed group still exists.
    void setMap(DiskMapNode root);
    // The names from the whole map down to the group shown.
    QStringList breadcrumb() const;
    // The focused rectangle's text, as hover and screen readers tell it.
    QString focusedText() const;

    // The rectangles shown, in painting order (groups before what is inside
    // them), as assistive technology lists them.
    int tileCount() const { return int(hits_.size()); }
    QString tileText(int tile) const;
    QRect tileRect(int tile) const;
    // The innermost rectangle at `point`, or -1.
    int tileAt(const QPointF& point) const;
    int focusedTile() const { return focused_; }
    // What a click on the rectangle does: its item's tab opens, or the group is zoomed into.
    void activateTile(int tile);

signals:
    // An item was chosen: `kind` is the kind it sits under (images, volumes, containers, build cache).
    void itemActivated(stowage::DiskNodeKind kind, const QString& id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    // A painted rectangle: the node, where it is, its kind parent and its depth below the shown group.
    struct Hit {
        DiskMapNode node;
        QRectF rect;
        DiskNodeKind kindAbove = DiskNodeKind::item;
        QList<int> path;  // child indices from the shown group (empty for a "smaller items" tile)
        int depth = 0;
    };

    const DiskMapNode& shown() const;
    void relayout();
    void addTiles(const DiskMapNode& node, const QRectF& rect, DiskNodeKind kindAbove, const QList<int>& path, int depth);
    void activate(const Hit& hit);
    void zoomTo(qsizetype depth);
    void moveFocus(int dx, int dy);
    QRectF mapArea() const;
    QString textOf(const Hit& hit) const;

    DiskMapNode root_;
    QList<int> zoom_;  // child indices from the root to the group shown
    QList<Hit> hits_;  // painted order: groups before what is inside them
    int focused_ = -1;
    QList<QRectF> crumbRects_;
};

}  // namespace stowage
