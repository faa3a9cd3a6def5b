// What a class name is made of, for matching header rules and testing their use.
#pragma once

#include <string_view>

// Letters, digits, "-", "_" and every byte from 0x80 up.
constexpr bool IsClassNameByte(char c) {
    unsigned char b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
           b == '_' || b >= 0x80;
}

// True for a selector that is one class and nothing else: "." and a class name.
constexpr bool IsSingleClassSelector(std::string_view selector) {
    if (selector.size() < 2 || selector[0] != '.') return false;
    for (size_t i = 1; i < selector.size(); ++i)
        if (!IsClassNameByte(selector[i])) return false;
    return true;
}
