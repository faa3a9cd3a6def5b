// ParseHeaderRules on any header CSS text: the top-level rules, each selector and declarations
// a trimmed piece of the text, in order; every rule closes whatever it opens, so that a style
// sheet written rule by rule nests nothing the text did not nest.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/css_lexer.h"
#include "engine/rule_parsing.h"
#include "fuzz/fuzz_check.h"

namespace {

// Trimmed, as the lexer reads it: no whitespace piece at either end, but for the line break
// that ends a final string (whitespace that a backslash escapes belongs to a text piece).
bool Trimmed(std::string_view text) {
    if (text.empty()) return true;
    if (engine::IsCssSpace(text.front())) return false;
    engine::CssLexer lexer(text);
    engine::CssToken token;
    engine::CssToken last;
    engine::CssToken beforeLast;
    while (lexer.Next(token)) {
        beforeLast = last;
        last = token;
    }
    if (last.kind != engine::CssPiece::Space) return true;
    return beforeLast.kind == engine::CssPiece::String && last.end - last.begin <= 2 &&
           engine::IsCssLineBreak(text[last.begin]);
}

bool ClosesAll(std::string_view text) {
    engine::CssLexer lexer(text);
    engine::CssToken token;
    while (lexer.Next(token)) {
    }
    return lexer.Closers().empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view css = AsText(data, size);
    std::vector<engine::Rule> rules = engine::ParseHeaderRules(css);
    Check(rules.size() <= static_cast<size_t>(std::count(css.begin(), css.end(), '{')),
          "more rules than {");

    size_t searchFrom = 0;  // selectors and declarations come from the text, in order
    for (size_t i = 0; i < rules.size(); ++i) {
        const engine::Rule& rule = rules[i];
        Check(Trimmed(rule.selector) && Trimmed(rule.declarations), "untrimmed rule");
        Check(ClosesAll(rule.selector), "a selector leaves something open");
        Check(ClosesAll(rule.declarations), "declarations leave something open");
        size_t at = css.find(rule.selector, searchFrom);
        Check(at != std::string_view::npos, "selector not found in the text in order");
        if (i + 1 == rules.size()) break;  // the last one may hold closers the text lacks
        at = css.find(rule.declarations, at + rule.selector.size());
        Check(at != std::string_view::npos, "declarations not found in the text in order");
        searchFrom = at + rule.declarations.size();
    }
    return 0;
}
