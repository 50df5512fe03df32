#include "ui/widgets/Label.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/style/Theme.h"

#include <QPainter>

namespace stowage {

QLabel* plainLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    Theme::setTextColor(*label, color);
    return label;
}

QString plainToolTip(const QString& text)
{
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void setPlainToolTip(QWidget& widget, const QString& text)
{
    widget.setToolTip(plainToolTip(text));
}

void setPlainWindowTitle(QWidget& window, const QString& text)
{
    // A doubled placeholder is shown as one, literally.
    QString title = text;
    window.setWindowTitle(title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent)
    : QWidget(parent), mode_(mode), color_(Theme::text())
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    AccessibleRoles::setRole(*this, QAccessible::StaticText);
}

void ElidedLabel::setText(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    // The whole text, however much of it fits.
    setAccessibleName(text_);
    updateToolTip();
    updateGeometry();
    update();
}

void ElidedLabel::setColor(const QColor& color)
{
    color_ = color;
    update();
}

QString ElidedLabel::shownText() const
{
    // Line breaks would make the line taller than the widget; show them as spaces.
    QString oneLine = text_;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return fontMetrics().elidedText(oneLine, mode_, width());
}

QSize ElidedLabel::sizeHint() const
{
    return {Theme::textWidth(font(), text_), fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const { return {fontMetrics().horizontalAdvance(QStringLiteral("…")) * 3, fontMetrics().height()}; }

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(color_);
    p.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft, shownText());
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateToolTip();
}

void ElidedLabel::updateToolTip() { setPlainToolTip(*this, shownText() == text_ ? QString() : text_); }

}  // namespace stowage
