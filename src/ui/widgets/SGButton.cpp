#include "ui/widgets/SGButton.h"

#include "ui/style/Icons.h"
#include "ui/style/Theme.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>

namespace stowage {

namespace {

constexpr int horizontalPadding = 12;
constexpr int borderlessPadding = 5;
constexpr int iconGap = 6;
constexpr qreal cornerRadius = 6;

}  // namespace

SGButton::SGButton(const QString& title, const QString& systemImage, const QColor& tint, bool prominent,
                   QWidget* parent)
    : QPushButton(title, parent),
      tint_(tint),
      systemImage_(systemImage),
      prominence_(prominent ? Prominence::prominent : Prominence::bordered)
{
    setFont(Theme::font(12, QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    // Reachable with Tab, but a mouse click leaves no focus ring behind.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    refreshIcon();
}

SGButton* SGButton::borderless(const QString& title, const QString& systemImage, const QColor& tint,
                               QWidget* parent)
{
    auto* button = new SGButton(title, systemImage, tint, false, parent);
    button->setProminence(Prominence::borderless);
    button->setFont(Theme::font(11, QFont::DemiBold));
    return button;
}

void SGButton::setTint(const QColor& tint)
{
    if (tint_ == tint)
        return;
    tint_ = tint;
    refreshIcon();
    update();
}

void SGButton::setSystemImage(const QString& systemImage)
{
    systemImage_ = systemImage;
    refreshIcon();
    updateGeometry();
    update();
}

void SGButton::setProminence(Prominence prominence)
{
    prominence_ = prominence;
    refreshIcon();
    updateGeometry();
    update();
}

void SGButton::refreshIcon()
{
    // The icon carries the content colour so that it matches the label.
    setIcon(systemImage_.isEmpty() ? QIcon() : Icons::symbol(systemImage_, contentColor()));
}

bool SGButton::event(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        refreshIcon();
    else if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)
        update();
    return QPushButton::event(event);
}

int SGButton::iconSide() const { return qRound(fontMetrics().height() * 0.95); }

QSize SGButton::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const int padding = prominence_ == Prominence::borderless ? borderlessPadding : horizontalPadding;
    int width = 2 * padding;
    if (!text().isEmpty())
        width += Theme::textWidth(font(), text());
    if (!systemImage_.isEmpty())
        width += iconSide() + (text().isEmpty() ? 0 : iconGap);
    const int height = prominence_ == Prominence::borderless ? fm.height() + 8 : std::max(30, fm.height() + 14);
    return {width, height};
}

QSize SGButton::minimumSizeHint() const { return sizeHint(); }

QColor SGButton::contentColor() const
{
    if (!isEnabled())
        return Theme::withAlpha(Theme::textDim(), 0.55);
    if (prominence_ == Prominence::prominent)
        return Qt::white;
    return tint_;
}

QColor SGButton::fillColor() const
{
    const bool pressed = isDown();
    const bool hovered = underMouse();
    switch (prominence_) {
    case Prominence::prominent:
        if (!isEnabled())
            return Theme::border();
        return pressed ? tint_.darker(120) : hovered ? tint_.lighter(112) : tint_;
    case Prominence::bordered:
        if (!isEnabled())
            return Theme::withAlpha(Theme::text(), 0.04);
        return Theme::withAlpha(tint_, pressed ? 0.34 : hovered ? 0.24 : 0.15);
    case Prominence::borderless:
        if (!isEnabled())
            return Qt::transparent;
        return pressed ? Theme::withAlpha(tint_, 0.22) : hovered ? Theme::withAlpha(tint_, 0.12) : Qt::transparent;
    }
    return Qt::transparent;
}

void SGButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    p.setPen(Qt::NoPen);
    p.setBrush(fillColor());
    p.drawRoundedRect(frame, cornerRadius, cornerRadius);
    if (prominence_ == Prominence::bordered) {
        const QColor outline = isEnabled() ? Theme::withAlpha(tint_, 0.45) : Theme::border();
        p.setPen(QPen(outline, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame, cornerRadius, cornerRadius);
    }
    if (keyboardFocus_) {
        p.setPen(QPen(Theme::withAlpha(Theme::accent(), 0.9), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame.adjusted(1, 1, -1, -1), cornerRadius - 1, cornerRadius - 1);
    }

    // Icon and title centred together; the title is elided if space runs out.
    const int padding = prominence_ == Prominence::borderless ? borderlessPadding : horizontalPadding;
    const int side = systemImage_.isEmpty() ? 0 : iconSide();
    const int gap = side > 0 && !text().isEmpty() ? iconGap : 0;
    const int available = std::max(0, width() - 2 * padding - side - gap);
    const QString label = fontMetrics().elidedText(text(), Qt::ElideRight, available);
    const int contentWidth = side + gap + Theme::textWidth(font(), label);
    int x = (width() - contentWidth) / 2;
    if (side > 0) {
        const QRect iconRect(x, (height() - side) / 2, side, side);
        icon().paint(&p, iconRect);  // already drawn in the content colour
        x += side + gap;
    }
    p.setPen(contentColor());
    p.setFont(font());
    p.drawText(QRect(x, 0, width() - x, height()), Qt::AlignVCenter | Qt::AlignLeft, label);
}

void SGButton::focusInEvent(QFocusEvent* event)
{
    // The ring marks focus reached with the keyboard only, as desktop toolkits do.
    keyboardFocus_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QPushButton::focusInEvent(event);
    update();
}

void SGButton::focusOutEvent(QFocusEvent* event)
{
    keyboardFocus_ = false;
    QPushButton::focusOutEvent(event);
    update();
}

}  // namespace stowage
