#include "engine/declaration_key.h"

#include <array>
#include <cstddef>

#include "engine/ansi_text.h"

// Keys are built for every header rule and every inline style of a page, so they are made by
// counting the bytes (one pass, 256 counters) rather than by a comparison sort.
std::string DeclarationKey(std::string_view declarations) {
    std::array<size_t, 256> counts{};
    size_t kept = 0;
    for (char c : declarations) {
        if (IsSpace(c)) continue;
        ++counts[static_cast<unsigned char>(AnsiLower(c))];
        ++kept;
    }
    std::string key;
    key.reserve(kept);
    for (size_t byte = 0; byte < counts.size(); ++byte)
        if (counts[byte] != 0) key.append(counts[byte], static_cast<char>(byte));
    return key;
}
