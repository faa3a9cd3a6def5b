// Cutting the header CSS text into rules.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/rules.h"

namespace engine {

// The top-level rules of the text, in order, read with the CSS lexer: each block that opens
// at the top level with "{" and the text before it since the previous rule, which is its
// selector (an at-rule's prelude included: "@media print"); its declarations run to the "}"
// that closes the block, so that the rules of a nested block (@media, @supports) stay inside
// the declarations of the block that holds them. Selectors and declarations are trimmed of
// whitespace, and comments standing before a selector are skipped. A block that the text
// ends inside runs to the end, and its declarations get what closes the comment, string
// and brackets they leave open; text after the last block is no rule. So every rule closes
// what it opens: removing one never moves another into or out of a block. `encoding` is the
// page's: the trail byte of a double-byte character is no brace.
// The rules come by the places of their texts in `headerCss`, but for the declarations of a
// last block that need closing: they are `closedLast`, placed right after the text (else
// `closedLast` is empty). Throws std::length_error for a text of 4 GiB or more.
std::vector<HeaderRule> ReadHeaderRules(std::string_view headerCss, std::string& closedLast,
                                        Encoding encoding = Encoding::SingleByte);

// The same rules, as texts.
std::vector<Rule> ParseHeaderRules(std::string_view headerCss,
                                   Encoding encoding = Encoding::SingleByte);

// Calls `take` with the prelude of every block of the text that is not an at-rule, at any
// depth (inside @media, @supports or a nested rule), in order: the selectors of its style
// rules, each as it stands before its "{" since the previous "{", "}" or ";" of a block,
// trimmed.
void ForEachStyleRuleSelector(std::string_view css, Encoding encoding,
                              const std::function<void(std::string_view)>& take);

}  // namespace engine
