#include "engine/rule_parsing.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/declaration_key.h"

namespace {

// The part of `rest` before the first `mark` (all of it when there is none); `rest` becomes
// the text after that mark (empty when there is none). Each byte is looked at once, so the
// whole parse stays one pass over the text.
std::string_view CutBefore(std::string_view& rest, char mark) {
    size_t at = rest.find(mark);
    std::string_view before = rest.substr(0, at);
    rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
    return before;
}

// Drops the comments that stand before a rule. The closing "*/" is searched from the opening
// "/*" itself, so "/*/" is a whole comment; an unclosed comment swallows the rest.
void SkipLeadingComments(std::string_view& rest) {
    while (rest.substr(0, 2) == "/*") {
        size_t close = rest.find("*/");
        rest = close == std::string_view::npos ? std::string_view()
                                               : TrimSpaceFront(rest.substr(close + 2));
    }
}

}  // namespace

std::vector<Rule> ParseHeaderRules(std::string_view headerCss) {
    // One rule per "{" whatever the text holds, so that the rule count always matches the
    // braces counted by the balance check; rules past the end of the text stay empty.
    std::vector<Rule> rules(std::count(headerCss.begin(), headerCss.end(), '{'));
    std::string_view rest = TrimSpaceFront(headerCss);
    for (Rule& rule : rules) {
        if (rest.empty()) break;
        SkipLeadingComments(rest);
        rule.selector = TrimSpace(CutBefore(rest, '{'));
        rest = TrimSpaceFront(rest);
        rule.declarations = TrimSpace(CutBefore(rest, '}'));
        rest = TrimSpaceFront(rest);
        rule.key = DeclarationKey(rule.declarations);
    }
    return rules;
}
