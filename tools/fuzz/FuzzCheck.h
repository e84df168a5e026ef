#pragma once
// What the fuzz targets share: the input as text, and a check that stops the
// run (a crash libFuzzer keeps) when a reader breaks its own promise.
#include "platform/Cp1252.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline QString text(const uint8_t* data, size_t size) { return platform::fromCp1252(bytes(data, size)); }

inline void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

}  // namespace fuzzcheck
