#pragma once
// The history's summary of a completed refresh, worked out from what the
// refresh read (on the refresh's own thread: it touches every item).

#include "history/HistoryRecord.h"

namespace stowage {

struct Inventory;
struct ProjectIndex;
struct OverviewFigures;
class UsageClassification;

HistorySnapshot historySnapshot(const Inventory& inventory, const ProjectIndex& index,
                                const UsageClassification& classification, const OverviewFigures& figures,
                                const QString& engine, const QDateTime& at, bool headless);

}  // namespace stowage
