#pragma once
// A count with its noun, in the singular for one: "1 image", "2 images",
// "0 images". Every text built from a count goes through here, so that no
// screen, dialog or log line reads "1 containers".

#include <QString>

namespace stowage {

// `plural` defaults to `singular` + "s".
QString counted(qint64 count, const QString& singular, const QString& plural = {});

// The noun alone, as `counted` would choose it ("image" or "images").
QString nounFor(qint64 count, const QString& singular, const QString& plural = {});

}  // namespace stowage
