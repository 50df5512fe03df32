#pragma once
// The inventory the screenshots show, written as records: a small development
// machine with four compose projects, standalone containers, shared, unused
// and dangling images, and every kind of volume (in use, shared, disputed,
// orphans). `complete` false leaves the usage data incomplete.

#include "cache/StateCache.h"

namespace stowage::screenshots {

CachedState realisticState(const QString& projectsRoot, bool complete = true);

}  // namespace stowage::screenshots
