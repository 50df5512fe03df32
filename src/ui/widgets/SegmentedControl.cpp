#include "ui/widgets/SegmentedControl.h"

#include "ui/style/Theme.h"
#include "ui/widgets/SegmentedAccessible.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace stowage {

namespace {
constexpr int trackInset = 2;
constexpr int segmentPadding = 14;
constexpr qreal trackRadius = 7;
}  // namespace

SegmentedControl::SegmentedControl(const QStringList& labels, QWidget* parent, Kind kind)
    : QWidget(parent), labels_(labels), kind_(kind)
{
    SegmentedAccessible::install();
    setFont(Theme::font(12, QFont::Medium));
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == current_)
        return;
    const int previous = current_;
    current_ = index;
    update();
    SegmentedAccessible::announceSelection(*this, previous);
    emit currentIndexChanged(index);
}

QRect SegmentedControl::segmentRect(int index) const
{
    const QRect track = rect().adjusted(trackInset, trackInset, -trackInset, -trackInset);
    if (count() == 0)
        return {};
    const int left = track.left() + track.width() * index / count();
    const int right = track.left() + track.width() * (index + 1) / count();
    return QRect(left, track.top(), right - left, track.height());
}

int SegmentedControl::segmentAt(const QPoint& point) const
{
    for (int i = 0; i < count(); ++i)
        if (segmentRect(i).contains(point))
            return i;
    return -1;
}

QSize SegmentedControl::sizeHint() const
{
    int widest = 0;
    for (const auto& label : labels_)
        widest = std::max(widest, Theme::textWidth(font(), label));
    return {count() * (widest + 2 * segmentPadding) + 2 * trackInset, fontMetrics().height() + 12};
}

QSize SegmentedControl::minimumSizeHint() const
{
    int total = 0;
    for (const auto& label : labels_)
        total += Theme::textWidth(font(), label) + 12;
    return {total + 2 * trackInset, fontMetrics().height() + 12};
}

void SegmentedControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(Theme::border(), 1));
    p.setBrush(Theme::withAlpha(Theme::surface(), 0.9));
    p.drawRoundedRect(track, trackRadius, trackRadius);

    for (int i = 0; i < count(); ++i) {
        const QRectF segment = QRectF(segmentRect(i)).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool selected = i == current_;
        if (selected || i == hovered_) {
            p.setPen(selected ? QPen(Theme::withAlpha(Qt::white, 0.08), 1) : Qt::NoPen);
            p.setBrush(selected ? QColor(0x63, 0x63, 0x66) : Theme::withAlpha(Theme::text(), 0.06));
            p.drawRoundedRect(segment, trackRadius - 2, trackRadius - 2);
        } else if (i > 0 && i - 1 != current_) {
            // A thin separator between two unselected segments.
            p.setPen(QPen(Theme::border(), 1));
            const qreal x = segment.left();
            p.drawLine(QPointF(x, segment.top() + 5), QPointF(x, segment.bottom() - 5));
        }
        p.setPen(selected ? Theme::text() : Theme::withAlpha(Theme::text(), 0.78));
        p.drawText(segmentRect(i), Qt::AlignCenter, labels_[i]);
    }
    if (keyboardFocus_) {
        p.setPen(QPen(Theme::withAlpha(Theme::accent(), 0.9), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(1, 1, -1, -1), trackRadius - 1, trackRadius - 1);
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setCurrentIndex(segmentAt(event->position().toPoint()));
}

void SegmentedControl::mouseMoveEvent(QMouseEvent* event)
{
    const int under = segmentAt(event->position().toPoint());
    if (under != hovered_) {
        hovered_ = under;
        update();
    }
}

void SegmentedControl::leaveEvent(QEvent*)
{
    hovered_ = -1;
    update();
}

void SegmentedControl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left)
        setCurrentIndex(current_ - 1);
    else if (event->key() == Qt::Key_Right)
        setCurrentIndex(current_ + 1);
    else
        QWidget::keyPressEvent(event);
}

void SegmentedControl::focusInEvent(QFocusEvent* event)
{
    // The ring marks focus reached with the keyboard only, as desktop toolkits do.
    keyboardFocus_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QWidget::focusInEvent(event);
    SegmentedAccessible::announceFocus(*this);
    update();
}

void SegmentedControl::focusOutEvent(QFocusEvent* event)
{
    keyboardFocus_ = false;
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace stowage
