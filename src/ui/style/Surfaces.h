#pragma once
// The two surface styles of the window and their grouping container. Where a
// platform offers a translucent "glass" material these would use it; Linux has
// none, so the surfaces are always drawn solid: cards on Theme::cardBg() in a
// rounded rectangle, bars on Theme::surface(). SurfaceGroup then simply lays its
// content out.

#include <QBoxLayout>
#include <QColor>
#include <QFrame>

#include <optional>

namespace stowage {

// A rounded card, optionally outlined. Lay children out inside it as in any frame.
class SurfaceCard : public QFrame {
    Q_OBJECT
public:
    explicit SurfaceCard(qreal cornerRadius = 8, std::optional<QColor> border = std::nullopt, qreal borderWidth = 1,
                       QWidget* parent = nullptr);
    void setBorder(std::optional<QColor> border);
    const std::optional<QColor>& border() const { return border_; }
    qreal cornerRadius() const { return cornerRadius_; }
    // The solid colour the card is filled with.
    QColor fill() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal cornerRadius_;
    std::optional<QColor> border_;
    qreal borderWidth_;
};

// A full-width bar (the status bar's surface).
class SurfaceBar : public QFrame {
    Q_OBJECT
public:
    explicit SurfaceBar(QWidget* parent = nullptr);
    QColor fill() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Groups neighbouring surfaces in a row or column with the given spacing.
class SurfaceGroup : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceGroup(Qt::Orientation orientation = Qt::Horizontal, std::optional<int> spacing = std::nullopt,
                        QWidget* parent = nullptr);
    QBoxLayout* layout() const { return layout_; }
    void addWidget(QWidget* widget, int stretch = 0) { layout_->addWidget(widget, stretch); }

private:
    QBoxLayout* layout_;
};

// A one-pixel line in Theme::border().
class Divider : public QFrame {
    Q_OBJECT
public:
    explicit Divider(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace stowage
