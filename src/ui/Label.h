#pragma once
// Labels for text that may come from Docker: always plain text, so that a name
// such as "<b>x</b>" is shown as written and never interpreted as markup.

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

namespace stowage {

QLabel* plainLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);

// A one-line label that elides its text (in the middle or at the end) to the
// width it is given instead of asking for more; the full text is its tooltip
// while elided.
class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(Qt::TextElideMode mode, QWidget* parent = nullptr);
    void setText(const QString& text);
    const QString& text() const { return text_; }
    // The text as currently drawn.
    QString shownText() const;
    void setColor(const QColor& color);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateToolTip();

    Qt::TextElideMode mode_;
    QString text_;
    QColor color_;
};

}  // namespace stowage
