// What the fuzz targets share: a failed invariant prints what broke and aborts, which
// libFuzzer reports as a crash and saves the input for.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

inline void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline std::string_view AsText(const unsigned char* data, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}
