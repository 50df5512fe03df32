#include "ui/style/Theme.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QtMath>
#include <QWidget>

#include <algorithm>

namespace stowage::Theme {

namespace {

// A design point is a logical pixel; Qt points are 1/72 inch at 96 logical dpi.
constexpr qreal qtPointsPerDesignPoint = 72.0 / 96.0;

}  // namespace

QColor colorFromHex(QStringView hex)
{
    while (hex.startsWith(u'#'))
        hex = hex.mid(1);
    while (hex.endsWith(u'#'))
        hex.chop(1);
    bool ok = false;
    const uint value = hex.toUInt(&ok, 16);
    const uint rgb = ok ? value : 0;
    return QColor::fromRgb((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

#define STOWAGE_THEME_COLOR(name, hex)                 \
    const QColor& name()                                \
    {                                                   \
        static const QColor color = colorFromHex(u"" hex); \
        return color;                                   \
    }

STOWAGE_THEME_COLOR(bg, "1C1C1E")
STOWAGE_THEME_COLOR(surface, "2C2C2E")
STOWAGE_THEME_COLOR(cardBg, "2C2C2E")
STOWAGE_THEME_COLOR(accent, "0A84FF")
STOWAGE_THEME_COLOR(danger, "FF453A")
STOWAGE_THEME_COLOR(success, "30D158")
STOWAGE_THEME_COLOR(warning, "FF9F0A")
STOWAGE_THEME_COLOR(cyan, "64D2FF")
STOWAGE_THEME_COLOR(text, "F2F2F7")
STOWAGE_THEME_COLOR(textDim, "8E8E93")
STOWAGE_THEME_COLOR(border, "38383A")

#undef STOWAGE_THEME_COLOR

QColor withAlpha(const QColor& color, qreal opacity)
{
    QColor c = color;
    c.setAlphaF(std::clamp(opacity, 0.0, 1.0));
    return c;
}

QFont font(qreal points, QFont::Weight weight)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPointSizeF(points * qtPointsPerDesignPoint);
    f.setWeight(weight);
    return f;
}

QFont monoFont(qreal points, QFont::Weight weight)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points * qtPointsPerDesignPoint);
    f.setWeight(weight);
    return f;
}

int textWidth(const QFont& font, const QString& text)
{
    return qCeil(QFontMetricsF(font).horizontalAdvance(text)) + 1;
}

QPalette palette()
{
    QPalette p;
    const QColor base = colorFromHex(u"232325");
    const QColor alternate = colorFromHex(u"29292C");
    p.setColor(QPalette::Window, bg());
    p.setColor(QPalette::WindowText, text());
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::Text, text());
    p.setColor(QPalette::Button, surface());
    p.setColor(QPalette::ButtonText, text());
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, withAlpha(accent(), 0.55));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, surface());
    p.setColor(QPalette::ToolTipText, text());
    p.setColor(QPalette::PlaceholderText, textDim());
    p.setColor(QPalette::Link, accent());
    p.setColor(QPalette::LinkVisited, accent());
    p.setColor(QPalette::Light, colorFromHex(u"48484A"));
    p.setColor(QPalette::Midlight, colorFromHex(u"3A3A3C"));
    p.setColor(QPalette::Mid, border());
    p.setColor(QPalette::Dark, colorFromHex(u"141416"));
    p.setColor(QPalette::Shadow, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, withAlpha(textDim(), 0.7));
    p.setColor(QPalette::Disabled, QPalette::Highlight, border());
    return p;
}

void setTextColor(QWidget& widget, const QColor& color)
{
    QPalette p = widget.palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    widget.setPalette(p);
}

}  // namespace stowage::Theme
