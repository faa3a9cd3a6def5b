// Selectors that name one class, for matching header rules.
#pragma once

#include <string_view>

#include "engine/byte_classes.h"

// True for a selector that is one class and nothing else: "." and a class name.
constexpr bool IsSingleClassSelector(std::string_view selector) {
    if (selector.size() < 2 || selector[0] != '.') return false;
    for (size_t i = 1; i < selector.size(); ++i)
        if (!IsClassNameByte(selector[i])) return false;
    return true;
}
