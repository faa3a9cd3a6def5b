#include "engine/declaration_key.h"

#include <array>
#include <cstddef>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"

namespace engine {

namespace {

// A fixed pseudo-random 64-bit weight for each byte (SplitMix64), so that a sum of weights
// tells multisets of bytes apart.
constexpr std::array<uint64_t, 256> MakeByteWeights() {
    std::array<uint64_t, 256> weights{};
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (uint64_t& weight : weights) {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        weight = z ^ (z >> 31);
    }
    return weights;
}

// The weight each byte adds to the hash of a key: that of its lower case, none for whitespace.
constexpr std::array<uint64_t, 256> MakeKeyWeights() {
    constexpr std::array<uint64_t, 256> byteWeights = MakeByteWeights();
    std::array<uint64_t, 256> weights{};
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        weights[b] = IsSpace(c) ? 0 : byteWeights[static_cast<unsigned char>(AnsiLower(c))];
    }
    return weights;
}

constexpr std::array<uint64_t, 256> kKeyWeights = MakeKeyWeights();

unsigned char KeyByte(char c) { return static_cast<unsigned char>(AnsiLower(c)); }

}  // namespace

uint64_t DeclarationKeyHash(std::string_view declarations) {
    uint64_t sum = 0;
    for (char c : declarations) sum += kKeyWeights[static_cast<unsigned char>(c)];
    return sum;
}

bool SameDeclarationKey(std::string_view a, std::string_view b) {
    std::array<ptrdiff_t, 256> difference{};
    for (char c : a)
        if (!IsSpace(c)) ++difference[KeyByte(c)];
    for (char c : b)
        if (!IsSpace(c)) --difference[KeyByte(c)];
    for (ptrdiff_t count : difference)
        if (count != 0) return false;
    return true;
}

}  // namespace engine
