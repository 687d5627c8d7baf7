#pragma once
// Shared by the fuzz targets: names and values taken from the fuzzer's bytes.

#include <QString>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

inline QString takeText(FuzzedDataProvider& in, size_t maxBytes)
{
    const std::string bytes = in.ConsumeRandomLengthString(maxBytes);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// Stops the run with the failing input saved, as a crash does.
#define FUZZ_CHECK(condition)                                                                                     \
    do {                                                                                                          \
        if (!(condition))                                                                                         \
            std::abort();                                                                                         \
    } while (false)
