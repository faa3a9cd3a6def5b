#include "engine/rule_parsing.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/css_lexer.h"

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

// Drops the comments that stand before a rule, read as the CSS lexer reads them: an
// unclosed comment swallows the rest.
void SkipLeadingComments(std::string_view& rest) {
    CssToken comment;
    while (CssLexer(rest).Next(comment) && comment.kind == CssPiece::Comment)
        rest = TrimSpaceFront(rest.substr(comment.end));
}

}  // namespace

// The cut itself stays literal, unlike every other reading of CSS in the engine: one rule per
// "{", braces inside strings and comments included, so that the rules always match the
// braces that the balance check of the header block counted.
std::vector<Rule> ParseHeaderRules(std::string_view headerCss) {
    // Rules past the end of the text stay empty.
    std::vector<Rule> rules(std::count(headerCss.begin(), headerCss.end(), '{'));
    std::string_view rest = TrimSpaceFront(headerCss);
    for (Rule& rule : rules) {
        if (rest.empty()) break;
        SkipLeadingComments(rest);
        rule.selector = TrimSpace(CutBefore(rest, '{'));
        rest = TrimSpaceFront(rest);
        rule.declarations = TrimSpace(CutBefore(rest, '}'));
        rest = TrimSpaceFront(rest);
    }
    return rules;
}
