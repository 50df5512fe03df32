#pragma once
// The standard button: a title with an optional symbol, tinted, either
// outlined ("bordered") or filled ("prominent"); plus a borderless variant for
// inline actions such as Stop. Drawn by itself so that it looks the same under
// every Qt style. Whether it is enabled is up to the screen that places it.

#include <QColor>
#include <QPushButton>
#include <QString>

namespace stowage {

class SGButton : public QPushButton {
    Q_OBJECT
public:
    enum class Prominence { bordered, prominent, borderless };

    // `systemImage` empty: the title alone.
    SGButton(const QString& title, const QString& systemImage, const QColor& tint, bool prominent,
             QWidget* parent = nullptr);
    // A borderless button in `tint` with an 11-point semibold label.
    static SGButton* borderless(const QString& title, const QString& systemImage, const QColor& tint,
                                QWidget* parent = nullptr);

    void setTint(const QColor& tint);
    const QColor& tint() const { return tint_; }
    void setSystemImage(const QString& systemImage);
    const QString& systemImage() const { return systemImage_; }
    void setProminence(Prominence prominence);
    Prominence prominence() const { return prominence_; }
    bool isProminent() const { return prominence_ == Prominence::prominent; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QColor contentColor() const;
    QColor fillColor() const;
    int iconSide() const;
    void refreshIcon();

    QColor tint_;
    QString systemImage_;
    Prominence prominence_;
    bool keyboardFocus_ = false;
};

}  // namespace stowage
