// A short fingerprint of a byte string, for comparing outputs with recorded ones.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// FNV-1a, 64 bits, as 16 lower-case hex digits: stable on every platform and compiler.
inline std::string ByteHash(std::string_view bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}
