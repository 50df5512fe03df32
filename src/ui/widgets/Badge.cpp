#include "ui/widgets/Badge.h"

#include "ui/style/Icons.h"
#include "ui/style/Theme.h"

#include <QPainter>

namespace stowage {

// --- Badge ---

Badge::Badge(const QString& text, const QColor& color, QWidget* parent) : QWidget(parent), text_(text), color_(color)
{
    setFont(Theme::monoFont(9));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Badge::setText(const QString& text)
{
    text_ = text;
    updateGeometry();
    update();
}

void Badge::setColor(const QColor& color)
{
    color_ = color;
    update();
}

QSize Badge::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return {Theme::textWidth(font(), text_) + 2 * 6 + 2, fm.height() + 2 * 2 + 2};
}

void Badge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Theme::withAlpha(color_, 0.5), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.setPen(color_);
    p.drawText(rect(), Qt::AlignCenter, text_);
}

// --- CapsuleBadge ---

namespace {
constexpr int capsulePadding = 8;
constexpr int capsuleGap = 4;
}  // namespace

CapsuleBadge::CapsuleBadge(const QString& systemImage, const QString& text, const QColor& color, QWidget* parent)
    : QWidget(parent), systemImage_(systemImage), text_(text), color_(color)
{
    setFont(Theme::font(11, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize CapsuleBadge::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return {2 * capsulePadding + fm.height() + capsuleGap + Theme::textWidth(font(), text_), fm.height() + 8};
}

void CapsuleBadge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(Theme::withAlpha(color_, 0.35), 1));
    p.setBrush(Theme::withAlpha(color_, 0.15));
    p.drawRoundedRect(frame, frame.height() / 2, frame.height() / 2);
    const int side = fontMetrics().height() - 2;
    const QRect iconRect(capsulePadding, (height() - side) / 2, side, side);
    Icons::symbol(systemImage_, color_).paint(&p, iconRect);
    p.setPen(color_);
    p.drawText(rect().adjusted(capsulePadding + side + capsuleGap, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               text_);
}

}  // namespace stowage
