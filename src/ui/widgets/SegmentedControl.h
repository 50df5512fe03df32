#pragma once
// A row of mutually exclusive segments (the tab switcher, the log level
// filter): one rounded track with the selected segment raised. Keyboard: Left
// and Right move the selection while it has focus. Assistive technology reads
// the segments as page tabs or as radio buttons, as `kind` says.

#include <QStringList>
#include <QWidget>

namespace stowage {

class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    enum class Kind { choices, pages };
    explicit SegmentedControl(const QStringList& labels, QWidget* parent = nullptr, Kind kind = Kind::choices);

    Kind kind() const { return kind_; }

    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    const QStringList& labels() const { return labels_; }
    int count() const { return int(labels_.size()); }
    // The segment under a point, or -1.
    int segmentAt(const QPoint& point) const;
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Emitted when the user (or setCurrentIndex) changes the selection.
    void currentIndexChanged(int index);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringList labels_;
    Kind kind_;
    int current_ = 0;
    int hovered_ = -1;
    bool keyboardFocus_ = false;
};

}  // namespace stowage
