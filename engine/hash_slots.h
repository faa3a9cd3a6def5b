// A lean hash table for the engine's big indexes (styles, class names): it holds 32-bit
// references to things its user keeps elsewhere, each with 32 bits of its key's hash, in 8-byte
// slots filled to three quarters at most, about 11 bytes a reference. The user confirms a match
// on its own key. Nothing is ever removed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"

namespace engine {

class HashSlots {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // Makes room for `count` references in all, so that adding them never grows the table.
    void Reserve(size_t count) {
        if (SlotsFor(count) > slots_.size()) Rehash(SlotsFor(count));
    }

    // Adds a reference (below kNone) with the hash of its key.
    void Add(uint64_t hash, uint32_t reference) {
        if (SlotsFor(count_ + 1) > slots_.size())
            Rehash(std::max(SlotsFor(count_ + 1), slots_.size() + slots_.size() / 2));
        Place(Check(hash), reference);
        ++count_;
    }

    // Calls `matches(reference)` with the references added with a hash of the same 32 bits as
    // `hash`, those of equal hashes in the order they were added, until it returns true; returns
    // that reference, or kNone.
    template <typename Matches>
    uint32_t Find(uint64_t hash, Matches matches) const {
        if (slots_.empty()) return kNone;
        uint32_t check = Check(hash);
        for (size_t at = Home(check);; at = Next(at)) {
            const Slot& slot = slots_[at];
            if (slot.reference == kNone) return kNone;
            if (slot.check == check && matches(slot.reference)) return slot.reference;
        }
    }

private:
    struct Slot {
        uint32_t check = 0;
        uint32_t reference = kNone;
    };

    static size_t SlotsFor(size_t count) { return count + count / 3 + 1; }
    static uint32_t Check(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }
    // A place in the table from the check, the whole table's size used (no power of two).
    size_t Home(uint32_t check) const {
        return static_cast<size_t>((static_cast<uint64_t>(check) * slots_.size()) >> 32);
    }
    size_t Next(size_t at) const { return at + 1 == slots_.size() ? 0 : at + 1; }

    void Place(uint32_t check, uint32_t reference) {
        size_t at = Home(check);
        while (slots_[at].reference != kNone) at = Next(at);
        slots_[at] = {check, reference};
    }

    // Moves every reference into a table of `size` slots. References of equal hashes share a
    // run of filled slots in the order they were added: taken from the start of each run, they
    // keep that order.
    void Rehash(size_t size) {
        if (static_cast<uint64_t>(size) > (uint64_t{1} << 32))
            throw std::length_error("hash table of 2^32 slots");
        std::vector<Slot> old(size);
        old.swap(slots_);
        if (count_ == 0) return;
        size_t start = 0;
        while (old[start].reference != kNone) ++start;  // a slot is always empty
        for (size_t i = 1; i <= old.size(); ++i) {
            const Slot& slot = old[(start + i) % old.size()];
            if (slot.reference != kNone) Place(slot.check, slot.reference);
        }
    }

    std::vector<Slot> slots_;
    size_t count_ = 0;
};

// True when a size or a count needs more than 32 bits (never where sizes have 32 bits).
constexpr bool Past32Bits(uint64_t size) { return size > UINT32_MAX; }

// The SplitMix64 finalizer: every bit of the result depends on every bit of `hash`.
inline uint64_t MixedHash(uint64_t hash) {
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ull;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBull;
    return hash ^ (hash >> 31);
}

// A 64-bit hash of a text: FNV-1a, then mixed (SplitMix64) so that its high bits, which the
// table uses, depend on every byte. With `lower`, the text's ASCII capitals count as small
// letters, for names compared in any ASCII case.
inline uint64_t TextHash(std::string_view text, bool lower = false) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(lower ? AsciiLower(c) : c)) * 1099511628211ull;
    return MixedHash(hash);
}

}  // namespace engine
