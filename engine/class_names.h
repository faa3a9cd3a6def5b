// Selectors that name one class, for matching header rules.
#pragma once

#include <string_view>

#include "engine/byte_classes.h"

namespace engine {

// The class name that begins at `at` of `text` (right after its "."): its class-name bytes.
constexpr std::string_view ClassNameAt(std::string_view text, size_t at) {
    size_t end = at;
    while (end < text.size() && IsClassNameByte(text[end])) ++end;
    return text.substr(at, end - at);
}

// True when two class names are the same in any ASCII case, as names are compared (with
// TextHash(name, true) as their hash).
constexpr bool SameClassName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// True for a selector that is one class and nothing else: "." and a class name.
constexpr bool IsSingleClassSelector(std::string_view selector) {
    if (selector.size() < 2 || selector[0] != '.') return false;
    for (size_t i = 1; i < selector.size(); ++i)
        if (!IsClassNameByte(selector[i])) return false;
    return true;
}

}  // namespace engine
