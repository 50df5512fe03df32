#pragma once
// Small labels: `Badge`, a monospaced word outlined in its colour, and
// `CapsuleBadge`, a symbol and a word on a faint fill of their colour (the
// header's "Stale" marker).

#include <QColor>
#include <QString>
#include <QWidget>

namespace stowage {

class Badge : public QWidget {
    Q_OBJECT
public:
    Badge(const QString& text, const QColor& color, QWidget* parent = nullptr);
    void setText(const QString& text);
    const QString& text() const { return text_; }
    void setColor(const QColor& color);
    const QColor& color() const { return color_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor color_;
};

class CapsuleBadge : public QWidget {
    Q_OBJECT
public:
    CapsuleBadge(const QString& systemImage, const QString& text, const QColor& color, QWidget* parent = nullptr);
    const QString& text() const { return text_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString systemImage_;
    QString text_;
    QColor color_;
};

}  // namespace stowage
