#pragma once
// What the history keeps of one completed refresh: per engine, the totals, the
// reclaimable amount, per project and per kind the bytes and counts, and the
// size of each named volume.

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>

namespace stowage {

enum class HistoryKind { images, volumes, containers, buildCache };
inline constexpr int historyKindCount = 4;

struct HistoryAmount {
    qint64 bytes = 0;
    qint64 count = 0;

    bool operator==(const HistoryAmount&) const = default;
};

using HistoryAmounts = std::array<HistoryAmount, historyKindCount>;

struct HistoryProject {
    QString name;  // "" for the standalone containers
    HistoryAmounts amounts;

    bool operator==(const HistoryProject&) const = default;
};

struct HistoryVolume {
    QString name;
    QString project;
    qint64 bytes = 0;

    bool operator==(const HistoryVolume&) const = default;
};

struct HistorySnapshot {
    QString engine;  // which engine the figures belong to
    QDateTime takenAt;
    bool headless = false;  // recorded by `stowage report` or `stowage clean`
    HistoryAmounts totals;
    qint64 reclaimableBytes = 0;  // what Safe Clean All would free
    QList<HistoryProject> projects;
    QList<HistoryVolume> namedVolumes;

    bool operator==(const HistorySnapshot&) const = default;
};

// A removal Stowage made, kept so that a drop in the figures is explained.
struct HistoryRemoval {
    QString engine;
    QDateTime at;
    QString what;  // "freed by Safe Clean All"
    qint64 bytes = 0;

    bool operator==(const HistoryRemoval&) const = default;
};

// One point of a series: the engine's totals (or one project's) at a refresh.
// A point that stands for several folded refreshes says how many.
struct HistoryPoint {
    QDateTime at;
    qint64 bytes = 0;
    qint64 reclaimableBytes = 0;
    int refreshes = 1;

    bool operator==(const HistoryPoint&) const = default;
};

// How much something grew between the refresh nearest before a moment and the last one.
struct HistoryGrowth {
    enum class Subject { project, volume };
    Subject subject = Subject::project;
    QString name;
    QString project;  // a volume's project
    qint64 before = 0;
    qint64 now = 0;
    bool isNew = false;  // absent from the earlier refresh

    qint64 growth() const { return now - before; }
    bool operator==(const HistoryGrowth&) const = default;
};

}  // namespace stowage
