// Rewriting one start tag of the page: its lang attributes removed, its style attributes
// turned into classes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/inline_styles.h"
#include "engine/page_reader.h"

// True when the tag holds an attribute named lang (any case) to remove. The html element keeps
// its own: it gives the whole page its language, which screen readers and hyphenation need.
bool HasLangAttribute(const Markup& tag);

// Appends the start tag `tag` of `text` without its lang attributes, each taken with its value
// and the single space before it, if there is one and no attribute follows right after it. A
// value whose quote never closes stays.
void AppendWithoutLang(std::string& out, std::string_view text, const Markup& tag);

// Buffers that the conversion of one tag reuses from tag to tag.
struct TagScratch {
    std::string decodedStyle;
    std::vector<std::pair<size_t, StyleIndex::Class>> classes;  // attribute index, its class
    std::vector<Attribute> merged;
};

// Appends the start tag `tag` of `text` with each style attribute that fits in one rule
// replaced by a class text (class=NAME) of `index`. When the tag got an inline class or now
// holds more than one class attribute, its class attributes are merged. Returns the number of
// style attributes converted; with none, nothing is appended. A tag holding a value whose
// quote never closes is never converted: for a browser it runs to the end of the page.
// `textIsScratch` tells that `text` will be overwritten while the index is still used.
size_t AppendConvertedTag(std::string& out, std::string_view text, bool textIsScratch,
                          const Markup& tag, StyleIndex& index, TagScratch& scratch);
