// Docker's container status told again at a later moment.

#include "inventory/ContainerStatus.h"

#include <gtest/gtest.h>

namespace stowage {
namespace {

TEST(Wording, ContainerStatusIsToldAgainstTheGivenTime)
{
    const QDateTime now = QDateTime::fromString("2026-03-01T12:00:00Z", Qt::ISODate);
    const auto ago = [&](qint64 seconds) { return OptionalDate(now.addSecs(-seconds)); };
    const struct {
        QString status;
        OptionalDate started, finished;
        QString shown;
    } cases[] = {
        {"Up 3 hours", ago(0), {}, "Up Less than a second"},
        {"Up 3 hours", ago(1), {}, "Up 1 second"},
        {"Up 3 hours", ago(90), {}, "Up About a minute"},
        {"Up 3 hours", ago(90 * 60 - 1), {}, "Up About an hour"},
        {"Up 3 hours (healthy)", ago(5 * 3600), {}, "Up 5 hours (healthy)"},
        {"Up 3 hours (Paused)", ago(3 * 86400), {}, "Up 3 days (Paused)"},
        {"Up 3 hours", ago(20 * 86400), {}, "Up 2 weeks"},
        {"Up 3 hours", ago(800 * 86400), {}, "Up 2 years"},
        {"Exited (137) 2 days ago", ago(9 * 86400), ago(120), "Exited (137) 2 minutes ago"},
        {"Restarting (1) 5 seconds ago", {}, ago(30), "Restarting (1) 30 seconds ago"},
        // Without the date it needs, or with nothing to move on, Docker's text stays.
        {"Up 3 hours", {}, {}, "Up 3 hours"},
        {"Exited (0) 2 days ago", ago(10), {}, "Exited (0) 2 days ago"},
        {"Up 3 hours", OptionalDate(now.addSecs(60)), {}, "Up 3 hours"},
        {"Created", ago(10), ago(5), "Created"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContainerStatus::at(c.status, c.started, c.finished, now), c.shown) << c.status.toStdString();
}

}  // namespace
}  // namespace stowage
