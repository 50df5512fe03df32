#pragma once
// The application object: its names and version, and the window's look
// applied to the whole application (Fusion style, the dark palette, the
// type scale), so that dialogs and menus match the window.

#include <QApplication>

namespace stowage {

class StowageApp : public QApplication {
    Q_OBJECT
public:
    StowageApp(int& argc, char** argv);

    // Applies the look to an existing application (the tests' own).
    static void applyLook(QApplication& app);
};

}  // namespace stowage
