// Comparison key of a CSS declarations text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// A hash of the declaration key, made without building it: texts with equal keys have equal
// hashes. The key is a multiset of bytes, so the hash is a sum over the bytes.
uint64_t DeclarationKeyHash(std::string_view declarations);

// True when the two texts have equal declaration keys, compared without building them.
bool SameDeclarationKey(std::string_view a, std::string_view b);

}  // namespace engine
