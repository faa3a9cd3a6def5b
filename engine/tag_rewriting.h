// Rewriting one start tag of the page: its lang attributes removed, its style attributes
// turned into classes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/page_reader.h"
#include "engine/style_index.h"

namespace engine {

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
    std::vector<std::string_view> classValues;
};

// Appends the start tag `tag` of `text` with its style attribute replaced by a class text
// (class=NAME) of `index` when the style fits in one rule. When the class is an inline class or
// the tag holds a class attribute, the first class attribute and the new class are merged into
// one; a later class attribute, which a browser ignores, stays apart. Returns the number of
// style attributes converted (0 or 1); with none, nothing is appended. A tag with more than
// one style attribute is never converted: a browser reads only the first, and would read the
// next once the first is gone. Nor is a tag holding a value whose quote never closes: for a
// browser it runs to the end of the page.
// `textIsScratch` tells that `text` will be overwritten while the index is still used.
size_t AppendConvertedTag(std::string& out, std::string_view text, bool textIsScratch,
                          const Markup& tag, StyleIndex& index, TagScratch& scratch);

}  // namespace engine
