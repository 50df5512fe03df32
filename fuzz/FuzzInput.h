#pragma once
// Shared by the fuzz targets: the raw bytes as the text a parser receives, and
// a check that aborts (so that libFuzzer keeps the input) when a property fails.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace stowage::fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Docker's output reaches the parsers as a QString decoded from UTF-8.
inline QString text(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

}  // namespace stowage::fuzz
