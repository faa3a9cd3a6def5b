// ParseHeaderRules on any header CSS text: one rule per "{", each selector and declarations a
// trimmed piece of the text without the brace that ends it.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/rule_parsing.h"
#include "fuzz/fuzz_check.h"

namespace {

bool Trimmed(std::string_view text) {
    return text.empty() || (!IsSpace(text.front()) && !IsSpace(text.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view css = AsText(data, size);
    std::vector<Rule> rules = ParseHeaderRules(css);
    Check(rules.size() == static_cast<size_t>(std::count(css.begin(), css.end(), '{')),
          "not one rule per {");

    size_t searchFrom = 0;  // selectors and declarations come from the text, in order
    for (const Rule& rule : rules) {
        Check(Trimmed(rule.selector) && Trimmed(rule.declarations), "untrimmed rule");
        Check(rule.selector.find('{') == std::string::npos, "{ in a selector");
        Check(rule.declarations.find('}') == std::string::npos, "} in declarations");
        if (rule.selector.empty() && rule.declarations.empty()) continue;
        size_t at = css.find(rule.selector, searchFrom);
        Check(at != std::string_view::npos, "selector not found in the text in order");
        at = css.find(rule.declarations, at + rule.selector.size());
        Check(at != std::string_view::npos, "declarations not found in the text in order");
        searchFrom = at + rule.declarations.size();
    }
    return 0;
}
