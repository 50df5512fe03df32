#pragma once
// The warning shown above the Images and Volumes lists while usage data is
// incomplete: nothing is called an orphan until every container was inspected.
// It takes no space at all when there is nothing to warn about.

#include <QWidget>

class QLabel;

namespace stowage {

class AppModel;

class UsageWarningBanner : public QWidget {
    Q_OBJECT
public:
    explicit UsageWarningBanner(AppModel& model, QWidget* parent = nullptr);

    // Whether the banner has something to say for the model's current state.
    static bool applies(const AppModel& model);
    QString detailText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void sync();

    AppModel& model_;
    QLabel* detail_;
};

}  // namespace stowage
