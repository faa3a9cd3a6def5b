// Pages that are not what a page should be, made to any size: the bad-input tests run each on
// 100,000 and 400,000 of its units, the benchmark on pages of a given size in MB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/run_error.h"

struct BadPage {
    const char* name;
    std::string (*make)(size_t count);  // the page with `count` of its units (tags, rules...)
    engine::RunError error = engine::RunError::None;  // the message the page deserves, if any
};

// Pages of very many tags of one kind, each unit a tag, a rule or a character.
const std::vector<BadPage>& ManyTagsPages();

// Deterministic bytes of every value, as in a compressed image; with `withLessThan` false, no
// "<" among them.
std::string NoiseBytes(size_t size, uint32_t seed, bool withLessThan);

// An image renamed as a page: a PNG signature and `size` bytes of noise without "<".
std::string ImageBytesPage(size_t size);

// Binary bytes whose "<" read as scraps of markup: a GIF signature and `size` bytes of noise.
std::string BinaryBytesPage(size_t size, uint32_t seed = 1);
