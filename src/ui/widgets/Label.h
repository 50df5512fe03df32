#pragma once
// The one way the window puts text on screen that it did not write itself
// (names, labels, paths and errors from Docker, log messages, README titles):
// always as plain text. Qt reads anything that looks like markup in a label,
// a tooltip or a title as rich text, so "<b>x</b>" would turn bold and an
// <img> would make it read a local file on the UI thread. These helpers make
// such text literal by construction:
//   - labels:        plainLabel() (never `new QLabel(text)`), ElidedLabel;
//   - tooltips:      plainToolTip() for item models and painted items,
//                    setPlainToolTip() for widgets;
//   - window titles: setPlainWindowTitle().

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

namespace stowage {

QLabel* plainLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);

// A tooltip that shows `text` literally, line breaks and spacing kept.
QString plainToolTip(const QString& text);
void setPlainToolTip(QWidget& widget, const QString& text);

// A window title that shows `text` literally: Qt replaces "[*]" in titles
// with the window's modified mark.
void setPlainWindowTitle(QWidget& window, const QString& text);

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
