// The rules of a run: as the style sheet writes them, and as the header style block holds them.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

// A rule of the style sheet as it is written: its selector and its declarations.
struct Rule {
    std::string selector;
    std::string declarations;
};

// One rule of the header style block, by the places of its selector and its declarations in
// the header CSS: 16 bytes however long the rule, as a block may hold millions of small ones.
// The declarations of a last block that the CSS leaves open, closed, stand right after the CSS
// (HeaderCss::tailSize).
struct HeaderRule {
    uint32_t selectorBegin = 0;
    uint32_t selectorSize = 0;
    uint32_t declarationsBegin = 0;
    uint32_t declarationsSize = 0;
};

}  // namespace engine
