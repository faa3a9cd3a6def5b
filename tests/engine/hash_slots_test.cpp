// The lean hash table of the engine's big indexes.
#include "engine/hash_slots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

namespace {

// The references that Find visits for a hash, in order.
std::vector<uint32_t> Visited(const HashSlots& table, uint64_t hash) {
    std::vector<uint32_t> visited;
    table.Find(hash, [&](uint32_t reference) {
        visited.push_back(reference);
        return false;
    });
    return visited;
}

// References of equal hashes come back in the order they were added, however the table grew
// between them, and a match ends the search.
TEST(HashSlots, FindsEqualHashesInTheOrderAdded) {
    for (size_t reserved : {size_t{0}, size_t{5000}}) {
        HashSlots table;
        table.Reserve(reserved);
        std::vector<uint32_t> shared;
        for (uint32_t i = 0; i < 5000; ++i) {
            // Every seventh has the same hash; the others a hash of their own.
            uint64_t hash = i % 7 == 0 ? 0xDEADBEEF12345678ull : TextHash(std::to_string(i));
            table.Add(hash, i);
            if (i % 7 == 0) shared.push_back(i);
        }
        EXPECT_EQ(Visited(table, 0xDEADBEEF12345678ull), shared);
        for (uint32_t i : {1u, 2u, 4999u}) {
            std::vector<uint32_t> own = Visited(table, TextHash(std::to_string(i)));
            EXPECT_NE(std::find(own.begin(), own.end(), i), own.end()) << i;
        }
        EXPECT_EQ(table.Find(0xDEADBEEF12345678ull, [](uint32_t r) { return r == 70; }), 70u);
        EXPECT_EQ(table.Find(TextHash("absent"), [](uint32_t) { return true; }), HashSlots::kNone);
    }
}

TEST(HashSlots, TextHashesNamesInAnyAsciiCase) {
    EXPECT_EQ(TextHash("MsoNormal", true), TextHash("msonormal", true));
    EXPECT_NE(TextHash("MsoNormal"), TextHash("msonormal"));
    EXPECT_NE(TextHash("\xC9t\xE9", true), TextHash("\xE9t\xE9", true));  // ASCII only
    EXPECT_EQ(HashSlots().Find(1, [](uint32_t) { return true; }), HashSlots::kNone);
}

}  // namespace

}  // namespace engine
