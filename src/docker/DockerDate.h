#pragma once
// Instants as Docker reports them.

#include <QDateTime>

#include <optional>

namespace stowage {

// An instant Docker may not know (a container never started).
using OptionalDate = std::optional<QDateTime>;

// Docker's time stamp text to an instant; Docker's zero time ("0001-…") and
// anything unparseable give none.
OptionalDate parseDockerDate(const QString& text);

}  // namespace stowage
