#include "ui/style/Surfaces.h"

#include "ui/style/Theme.h"

#include <QPainter>

namespace stowage {

// --- SurfaceCard ---

SurfaceCard::SurfaceCard(qreal cornerRadius, std::optional<QColor> border, qreal borderWidth, QWidget* parent)
    : QFrame(parent), cornerRadius_(cornerRadius), border_(std::move(border)), borderWidth_(borderWidth)
{
}

void SurfaceCard::setBorder(std::optional<QColor> border)
{
    border_ = std::move(border);
    update();
}

QColor SurfaceCard::fill() const { return Theme::cardBg(); }

void SurfaceCard::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal inset = border_ ? borderWidth_ / 2 : 0;
    const QRectF frame = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    p.setPen(border_ ? QPen(*border_, borderWidth_) : Qt::NoPen);
    p.setBrush(fill());
    p.drawRoundedRect(frame, cornerRadius_, cornerRadius_);
}

// --- SurfaceBar ---

SurfaceBar::SurfaceBar(QWidget* parent) : QFrame(parent) {}

QColor SurfaceBar::fill() const { return Theme::surface(); }

void SurfaceBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), fill());
    p.fillRect(QRect(0, 0, width(), 1), Theme::border());
}

// --- SurfaceGroup ---

SurfaceGroup::SurfaceGroup(Qt::Orientation orientation, std::optional<int> spacing, QWidget* parent) : QWidget(parent)
{
    layout_ = new QBoxLayout(orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
    layout_->setContentsMargins(0, 0, 0, 0);
    if (spacing)
        layout_->setSpacing(*spacing);
}

// --- Divider ---

Divider::Divider(Qt::Orientation orientation, QWidget* parent) : QFrame(parent)
{
    if (orientation == Qt::Horizontal) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

void Divider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Theme::border());
}

}  // namespace stowage
