#pragma once
// Sizes as text: Docker's size text to bytes, and bytes (or a range of them)
// to the text this application shows.

#include <QString>

namespace stowage {

// An amount that may only be known to lie between two bounds.
struct ByteRange {
    qint64 low = 0;
    qint64 high = 0;

    bool operator==(const ByteRange&) const = default;
    ByteRange operator+(const ByteRange& other) const { return {low + other.low, high + other.high}; }
    ByteRange operator+(qint64 bytes) const { return {low + bytes, high + bytes}; }
};

// "1.2 MB", or "1.2 MB–3.4 MB" when the bounds read differently.
QString formatRange(ByteRange range);

namespace SizeFormat {
// Docker's size text ("1.2GB", "512kB") to bytes: decimal units are powers of
// 1000, as docker prints them; binary ones ("MiB") powers of 1024.
qint64 parseDockerSize(const QString& text);
// Bytes to text with one decimal and a unit: "1.5 KB".
QString humanSize(qint64 bytes);
}  // namespace SizeFormat

}  // namespace stowage
