#include "ui/overview/DiskMapView.h"

#include "docker/Records.h"
#include "model/DisposeOffThread.h"
#include "text/SizeFormat.h"
#include "ui/overview/DiskMapAccessible.h"
#include "ui/style/Theme.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <utility>

namespace stowage {

namespace {

constexpr double breadcrumbHeight = 22;
constexpr double headerHeight = 16;
constexpr double padding = 2;
constexpr double minimumTileArea = 24 * 24;  // smaller tiles of a level go together
constexpr int deepest = 3;                   // project → kind → item

QColor colorOf(DiskVerdict verdict)
{
    switch (verdict) {
    case DiskVerdict::inUse: return Theme::accent();
    case DiskVerdict::safeToRemove: return Theme::success();
    case DiskVerdict::mayHoldData: return Theme::warning();
    case DiskVerdict::baseImage: return Theme::cyan();
    case DiskVerdict::notVerified: return Theme::textDim();
    }
    return Theme::textDim();
}

bool isKind(DiskNodeKind kind)
{
    return kind == DiskNodeKind::images || kind == DiskNodeKind::volumes || kind == DiskNodeKind::containers
        || kind == DiskNodeKind::buildCache || kind == DiskNodeKind::sharedLayers;
}

}  // namespace

DiskMapView::DiskMapView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(180);
    // Before anything makes Qt build the widget's interface (a name change does).
    DiskMapAccessible::install();
    setAccessibleName(tr("Disk map"));
}

void DiskMapView::setMap(DiskMapNode root)
{
    // Keep the zoom by the names along it, while they still exist.
    QStringList names;
    const DiskMapNode* node = &root_;
    for (int index : zoom_)
        names << (node = &node->children[index])->name;
    // The map shown before is freed off the UI thread: thousands of tiles' names.
    disposeOffThread(std::exchange(root_, std::move(root)));
    zoom_.clear();
    node = &root_;
    for (const QString& name : names) {
        const auto found = std::find_if(node->children.begin(), node->children.end(),
                                        [&](const DiskMapNode& child) { return child.name == name; });
        if (found == node->children.end())
            break;
        zoom_ << int(found - node->children.begin());
        node = &*found;
    }
    relayout();
}

const DiskMapNode& DiskMapView::shown() const
{
    const DiskMapNode* node = &root_;
    for (int index : zoom_)
        node = &node->children[index];
    return *node;
}

QStringList DiskMapView::breadcrumb() const
{
    QStringList names{root_.name};
    const DiskMapNode* node = &root_;
    for (int index : zoom_)
        names << (node = &node->children[index])->name;
    return names;
}

QRectF DiskMapView::mapArea() const
{
    return QRectF(rect()).adjusted(0, breadcrumbHeight, 0, 0);
}

void DiskMapView::relayout()
{
    hits_.clear();
    focused_ = -1;
    addTiles(shown(), mapArea(), isKind(shown().kind) ? shown().kind : DiskNodeKind::item, {}, 0);
    for (qsizetype i = 0; i < hits_.size() && focused_ < 0; ++i)
        if (hits_[i].node.children.isEmpty() || hits_[i].depth == deepest - 1)
            focused_ = int(i);
    update();
}

void DiskMapView::addTiles(const DiskMapNode& node, const QRectF& rect, DiskNodeKind kindAbove, const QList<int>& path,
                           int depth)
{
    const QList<DiskMapTile> tiles = layOut(node, rect, minimumTileArea);
    for (qsizetype i = 0; i < tiles.size(); ++i) {
        const DiskMapTile& tile = tiles[i];
        if (tile.rect.width() < 1 || tile.rect.height() < 1)
            continue;
        QList<int> childPath = path;
        if (tile.childIndex >= 0)
            childPath << tile.childIndex;
        else
            childPath.clear();
        hits_ << Hit{tile.node, tile.rect, isKind(tile.node.kind) ? tile.node.kind : kindAbove, childPath, depth};
        // A group with room for a header and its contents shows them.
        const QRectF inner = tile.rect.adjusted(padding, headerHeight, -padding, -padding);
        if (!tile.node.children.isEmpty() && tile.node.kind != DiskNodeKind::smallerItems && depth + 1 < deepest
            && inner.width() > 12 && inner.height() > 12)
            addTiles(tile.node, inner, hits_.last().kindAbove, childPath, depth + 1);
    }
}

QString DiskMapView::textOf(const Hit& hit) const
{
    const QString size = SizeFormat::humanSize(hit.node.bytes);
    if (hit.node.kind == DiskNodeKind::item)
        return tr("%1, %2, %3").arg(hit.node.name, size, verdictText(hit.node.verdict));
    return tr("%1, %2").arg(hit.node.name, size);
}

QString DiskMapView::focusedText() const
{
    return tileText(focused_);
}

QString DiskMapView::tileText(int tile) const
{
    return tile >= 0 && tile < hits_.size() ? textOf(hits_[tile]) : QString();
}

QRect DiskMapView::tileRect(int tile) const
{
    return tile >= 0 && tile < hits_.size() ? hits_[tile].rect.toAlignedRect() : QRect();
}

void DiskMapView::activateTile(int tile)
{
    if (tile < 0 || tile >= hits_.size())
        return;
    focused_ = tile;
    update();
    activate(hits_[tile]);
}

void DiskMapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Theme::bg());
    // The breadcrumb: each name zooms back to its level.
    crumbRects_.clear();
    double x = 4;
    const QStringList crumbs = breadcrumb();
    for (qsizetype i = 0; i < crumbs.size(); ++i) {
        const QString text = i + 1 < crumbs.size() ? crumbs[i] + QStringLiteral("  ›") : crumbs[i];
        const double width = painter.fontMetrics().horizontalAdvance(text) + 8;
        const QRectF crumb(x, 0, width, breadcrumbHeight);
        painter.setPen(i + 1 < crumbs.size() ? Theme::accent() : Theme::text());
        painter.drawText(crumb, Qt::AlignVCenter | Qt::AlignLeft, text);
        crumbRects_ << crumb;
        x += width;
    }

    for (qsizetype i = 0; i < hits_.size(); ++i) {
        const Hit& hit = hits_[i];
        const bool group = !hit.node.children.isEmpty() && hit.node.kind != DiskNodeKind::smallerItems;
        const QColor fill = group ? Theme::withAlpha(Theme::surface(), 0.9)
            : hit.node.kind == DiskNodeKind::smallerItems ? Theme::withAlpha(Theme::textDim(), 0.35)
                                                         : Theme::withAlpha(colorOf(hit.node.verdict), 0.55);
        painter.fillRect(hit.rect, fill);
        painter.setPen(QPen(Theme::bg(), 1));
        painter.drawRect(hit.rect);
        // Labels stay inside their own rectangle, elided, or are left out.
        const QRectF labelRect = group ? QRectF(hit.rect.left() + 3, hit.rect.top(), hit.rect.width() - 6, headerHeight)
                                       : hit.rect.adjusted(3, 2, -3, -2);
        if (labelRect.width() >= 24 && labelRect.height() >= painter.fontMetrics().height()) {
            painter.save();
            painter.setClipRect(labelRect);
            painter.setPen(group ? Theme::textDim() : Theme::text());
            const QString label = hit.node.name + QStringLiteral("  ") + SizeFormat::humanSize(hit.node.bytes);
            painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignTop,
                             painter.fontMetrics().elidedText(label, Qt::ElideRight, int(labelRect.width())));
            painter.restore();
        }
        if (i == focused_ && hasFocus()) {
            painter.setPen(QPen(Theme::text(), 2));
            painter.drawRect(hit.rect.adjusted(1, 1, -1, -1));
        }
    }
}

void DiskMapView::resizeEvent(QResizeEvent*)
{
    relayout();
}

int DiskMapView::tileAt(const QPointF& point) const
{
    // The innermost rectangle: later hits lie inside earlier ones.
    for (qsizetype i = hits_.size() - 1; i >= 0; --i)
        if (hits_[i].rect.contains(point))
            return int(i);
    return -1;
}

bool DiskMapView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const int tile = tileAt(help->pos()); tile >= 0)
            QToolTip::showText(help->globalPos(), tileText(tile), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void DiskMapView::mouseMoveEvent(QMouseEvent* event)
{
    const bool onCrumb = std::any_of(crumbRects_.begin(), crumbRects_.end() - (crumbRects_.isEmpty() ? 0 : 1),
                                     [&](const QRectF& r) { return r.contains(event->position()); });
    setCursor(onCrumb || tileAt(event->position()) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void DiskMapView::mousePressEvent(QMouseEvent* event)
{
    for (qsizetype i = 0; i + 1 < crumbRects_.size(); ++i)
        if (crumbRects_[i].contains(event->position()))
            return zoomTo(i);
    activateTile(tileAt(event->position()));
}

void DiskMapView::activate(const Hit& hit)
{
    if (hit.node.kind == DiskNodeKind::item) {
        // The build cache is one item without an id; the shared layers are no one item of a tab.
        if (!hit.node.id.isEmpty() || hit.kindAbove == DiskNodeKind::buildCache)
            emit itemActivated(hit.kindAbove, hit.node.id);
        return;
    }
    if (hit.node.children.isEmpty() || hit.path.isEmpty())
        return;  // "N smaller items": its tooltip tells what it holds
    zoom_ << hit.path;
    relayout();
    DiskMapAccessible::announceFocus(*this);
}

void DiskMapView::zoomTo(qsizetype depth)
{
    zoom_ = zoom_.mid(0, depth);
    relayout();
    DiskMapAccessible::announceFocus(*this);
}

void DiskMapView::moveFocus(int dx, int dy)
{
    if (focused_ < 0)
        return;
    // The nearest rectangle of the same depth whose centre lies that way.
    const Hit& from = hits_[focused_];
    const QPointF origin = from.rect.center();
    int best = -1;
    double bestDistance = 0;
    for (qsizetype i = 0; i < hits_.size(); ++i) {
        if (int(i) == focused_ || hits_[i].depth != from.depth)
            continue;
        const QPointF delta = hits_[i].rect.center() - origin;
        const double along = delta.x() * dx + delta.y() * dy;
        if (along <= 0)
            continue;
        const double across = std::abs(delta.x() * dy) + std::abs(delta.y() * dx);
        const double distance = along + 2 * across;
        if (best < 0 || distance < bestDistance) {
            best = int(i);
            bestDistance = distance;
        }
    }
    if (best >= 0) {
        focused_ = best;
        update();
        DiskMapAccessible::announceFocus(*this);
    }
}

void DiskMapView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: return moveFocus(-1, 0);
    case Qt::Key_Right: return moveFocus(1, 0);
    case Qt::Key_Up: return moveFocus(0, -1);
    case Qt::Key_Down: return moveFocus(0, 1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (focused_ >= 0)
            activate(hits_[focused_]);
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
        if (!zoom_.isEmpty())
            return zoomTo(zoom_.size() - 1);
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace stowage
