#include "ui/style/Icons.h"

#include "ui/style/SymbolGlyphs.h"

#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

namespace stowage::Icons {

namespace {

const QHash<QString, QString>& freedesktopNames()
{
    static const QHash<QString, QString> names = {
        {"exclamationmark.triangle", "dialog-warning"},
        {"exclamationmark.triangle.fill", "dialog-warning"},
        {"exclamationmark.circle.fill", "emblem-important"},
        {"shippingbox", "package-x-generic"},
        {"shippingbox.fill", "package-x-generic"},
        {"arrow.clockwise", "view-refresh"},
        {"stop.circle", "process-stop"},
        {"stop.circle.fill", "process-stop"},
        {"bolt.horizontal.circle", "system-run"},
        {"hourglass", "content-loading"},
        {"photo.stack", "image-x-generic"},
        {"externaldrive", "drive-harddisk"},
        {"externaldrive.badge.minus", "drive-harddisk"},
        {"sparkles", "edit-clear-all"},
        {"trash", "user-trash"},
        {"trash.fill", "user-trash-full"},
        {"doc.on.doc", "edit-copy"},
        {"doc.on.clipboard", "edit-paste"},
        {"doc.richtext", "text-x-generic"},
        {"folder", "folder"},
        {"magnifyingglass", "edit-find"},
        {"terminal", "utilities-terminal"},
        {"checkmark.circle", "emblem-ok"},
        {"checkmark.circle.fill", "emblem-ok"},
        {"xmark.circle.fill", "edit-clear"},
        {"circle", "radio"},
        {"circle.fill", "radio-checked"},
        {"arrow.up", "go-up"},
        {"arrow.down", "go-down"},
    };
    return names;
}

// Draws one symbol in one colour at any size: the theme's symbolic icon when
// there is one, recoloured, otherwise our own outline.
class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(QString symbol, QColor color) : symbol_(std::move(symbol)), color_(std::move(color))
    {
        const QString name = freedesktopName(symbol_);
        if (!name.isEmpty() && QIcon::hasThemeIcon(name + QStringLiteral("-symbolic")))
            themed_ = QIcon::fromTheme(name + QStringLiteral("-symbolic"));
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(*this); }
    QString key() const override { return QStringLiteral("stowage-symbol"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, cached(rect.size(), ratio, mode));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override { return cached(size, 1.0, mode); }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        return cached(size, scale, mode);
    }

private:
    QColor colorFor(QIcon::Mode mode) const
    {
        QColor c = color_;
        if (mode == QIcon::Disabled)
            c.setAlphaF(c.alphaF() * 0.35);
        else if (mode == QIcon::Active)
            c = c.lighter(115);
        return c;
    }

    // Widgets ask for the same few symbols at the same sizes again and again
    // (the running-commands panel, a row for every docker command a refresh runs):
    // each is drawn once and then taken from Qt's pixmap cache.
    QPixmap cached(const QSize& size, qreal ratio, QIcon::Mode mode) const
    {
        const QString key = QStringLiteral("stowage-symbol/%1/%2/%3/%4x%5@%6/%7")
                                .arg(symbol_, color_.name(QColor::HexArgb), QIcon::themeName())
                                .arg(size.width())
                                .arg(size.height())
                                .arg(ratio)
                                .arg(int(mode));
        QPixmap pixmap;
        if (!QPixmapCache::find(key, &pixmap)) {
            pixmap = QPixmap::fromImage(render(size, ratio, mode));
            QPixmapCache::insert(key, pixmap);
        }
        return pixmap;
    }

    QImage render(const QSize& size, qreal ratio, QIcon::Mode mode) const
    {
        QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(ratio);
        if (size.isEmpty())
            return image;
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor color = colorFor(mode);
        if (!themed_.isNull()) {
            p.drawPixmap(QRect(QPoint(), size), themed_.pixmap(size, ratio));
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
            p.fillRect(QRect(QPoint(), size), color);
            return image;
        }
        std::optional<QPainterPath> glyph = symbolGlyph(symbol_);
        if (!glyph)
            glyph = fallbackGlyph();
        const qreal side = std::min(size.width(), size.height());
        p.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
        p.scale(side / 24.0, side / 24.0);
        p.fillPath(*glyph, color);
        return image;
    }

    QString symbol_;
    QColor color_;
    QIcon themed_;
};

}  // namespace

QString freedesktopName(const QString& symbol) { return freedesktopNames().value(symbol); }

bool isDrawn(const QString& symbol) { return symbolGlyph(symbol).has_value(); }

QIcon symbol(const QString& symbol, const QColor& color) { return QIcon(new SymbolIconEngine(symbol, color)); }

}  // namespace stowage::Icons
