#pragma once
// The bottom line of the window: product name and version, a short live
// summary of the model's state, the credit and a link to the home page.

#include <QWidget>

namespace stowage {

class AppModel;
class ElidedLabel;
class SGButton;
namespace platform {
class Desktop;
}

class BrandBar : public QWidget {
    Q_OBJECT
public:
    BrandBar(AppModel& model, platform::Desktop& desktop, QWidget* parent = nullptr);

    // The application's version, or "—" when the build carries none.
    static QString version();
    // "Scanning…", "Docker not running", "No scan yet" or the image and volume counts.
    static QString liveState(const AppModel& model);

    QString shownLiveState() const;
    SGButton* homeLink() const { return home_; }

private:
    void sync();

    AppModel& model_;
    ElidedLabel* live_;
    SGButton* home_;
};

}  // namespace stowage
