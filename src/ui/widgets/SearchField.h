#pragma once
// A search field: a magnifying glass, a placeholder and, when asked for, a
// clear button shown while there is text. Esc clears the text first; only in
// an empty field does Esc reach the window, where it stops the running
// operation, so typing a search never cancels a refresh by accident.

#include <QLineEdit>

namespace stowage {

class SearchField : public QLineEdit {
    Q_OBJECT
public:
    SearchField(const QString& placeholder, bool clearButton, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace stowage
