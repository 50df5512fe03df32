#pragma once
// The one clock that relative times are told against ("active 5 minutes
// ago", "Up 3 hours"). It announces each new minute, so that every such text
// in the window moves on at the same moment; one timer for the whole window
// rather than one per view. Tests give it a time source of their own and tick
// it by hand.

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>

namespace stowage {

class MinuteClock : public QObject {
    Q_OBJECT
public:
    using Source = std::function<QDateTime()>;

    // `source` gives the current time; the system clock (UTC) when empty.
    explicit MinuteClock(Source source = {}, QObject* parent = nullptr);

    QDateTime now() const;
    // Announces a minute now and waits for the next one.
    void tick();

signals:
    void minuteChanged();

private:
    void waitForNextMinute();

    Source source_;
    QTimer timer_;
};

}  // namespace stowage
