// Comparison key of a CSS declarations text.
#pragma once

#include <string>
#include <string_view>

// The characters of `declarations`, lower-cased (Windows-1252), without space, tab, CR and
// LF, in ascending byte order. Two texts with equal keys are treated as the same style.
std::string DeclarationKey(std::string_view declarations);
