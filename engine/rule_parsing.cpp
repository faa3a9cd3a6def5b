#include "engine/rule_parsing.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "engine/ansi_text.h"
#include "engine/css_lexer.h"
#include "engine/hash_slots.h"

namespace engine {

namespace {

// The text without the whitespace at its front, as CSS reads it: form feeds too.
std::string_view TrimCssSpaceFront(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsCssSpace(text[start])) ++start;
    return text.substr(start);
}

// Drops the comments that stand before a rule, read as the CSS lexer reads them.
std::string_view SkipLeadingComments(std::string_view text, Encoding encoding) {
    text = TrimCssSpaceFront(text);
    CssToken comment;
    while (CssLexer(text, encoding).Next(comment) && comment.kind == CssPiece::Comment)
        text = TrimCssSpaceFront(text.substr(comment.end));
    return text;
}

// Where a piece of CSS ends once the whitespace after it is trimmed away: its end, and for a
// string that a line break ends, past that line break (CR LF counting as one), which would
// otherwise run into what the style sheet writes after it. Past one byte of whitespace too
// after a lead byte of a double-byte encoding, which the "}" written next would otherwise
// complete into one character.
size_t EndWithoutTrailingSpace(std::string_view css, const CssToken& piece, Encoding encoding) {
    if (piece.end < css.size() && IsLeadByte(encoding, css[piece.end - 1])) return piece.end + 1;
    if (!piece.endedByLineBreak) return piece.end;
    return piece.end + (css.compare(piece.end, 2, "\r\n") == 0 ? 2 : 1);
}

bool OpensBlock(std::string_view css, const CssToken& token) {
    return token.kind == CssPiece::Open && css[token.begin] == '{';
}

// The text of `css` from `from` to `end`, without the whitespace at its front. Selectors and
// declarations are trimmed by the pieces they hold: whitespace that a backslash escapes
// belongs to a text piece and stays.
std::string_view CutPart(std::string_view css, size_t from, size_t end) {
    return TrimCssSpaceFront(css.substr(from, std::max(from, end) - from));
}

// Where `part`, a view into `css`, begins in it.
uint32_t PlaceIn(std::string_view css, std::string_view part) {
    return static_cast<uint32_t>(part.data() - css.data());
}

// A rule by the places of its selector, without the comments before it, and its declarations.
HeaderRule PlaceRule(std::string_view css, std::string_view selector, std::string_view declarations,
                     Encoding encoding) {
    selector = SkipLeadingComments(selector, encoding);
    return HeaderRule{PlaceIn(css, selector), static_cast<uint32_t>(selector.size()),
                      PlaceIn(css, declarations), static_cast<uint32_t>(declarations.size())};
}

// The rule of a block that the text ends inside: its declarations close what they leave open
// (`closers`, the block's own "}" last), so that the rule closes with its own "}" as every
// other one does. Those declarations are then `closedLast`, placed right after the text.
HeaderRule PlaceRuleLeftOpen(std::string_view css, std::string_view selector,
                             std::string_view declarations, std::string closers,
                             std::string& closedLast, Encoding encoding) {
    closers.pop_back();  // the block's own "}"
    HeaderRule rule = PlaceRule(css, selector, declarations, encoding);
    if (closers.empty()) return rule;
    closedLast = std::string(declarations) + closers;
    rule.declarationsBegin = static_cast<uint32_t>(css.size());
    rule.declarationsSize = static_cast<uint32_t>(closedLast.size());
    return rule;
}

}  // namespace

std::vector<HeaderRule> ReadHeaderRules(std::string_view headerCss, std::string& closedLast,
                                        Encoding encoding) {
    if (Past32Bits(headerCss.size())) throw std::length_error("header CSS of 4 GiB or more");
    std::vector<HeaderRule> rules;
    closedLast.clear();
    CssLexer lexer(headerCss, encoding);
    CssToken token;
    size_t ruleStart = 0;  // where the text of the next rule begins
    size_t blockStart = npos;
    size_t contentEnd = 0;  // where the text read so far ends, trailing whitespace aside
    std::string_view selector;
    while (lexer.Next(token)) {
        if (OpensBlock(headerCss, token) && lexer.Depth() == 1) {
            selector = CutPart(headerCss, ruleStart, contentEnd);
            blockStart = token.end;
        } else if (token.kind == CssPiece::Close && !token.unmatched && lexer.Depth() == 0 &&
                   blockStart != npos) {
            std::string_view declarations = CutPart(headerCss, blockStart, contentEnd);
            rules.push_back(PlaceRule(headerCss, selector, declarations, encoding));
            ruleStart = token.end;
            blockStart = npos;
        }
        if (token.kind != CssPiece::Space)
            contentEnd = EndWithoutTrailingSpace(headerCss, token, encoding);
    }
    if (blockStart != npos) {
        std::string_view declarations = CutPart(headerCss, blockStart, contentEnd);
        rules.push_back(PlaceRuleLeftOpen(headerCss, selector, declarations, lexer.Closers(),
                                          closedLast, encoding));
    }
    return rules;
}

std::vector<Rule> ParseHeaderRules(std::string_view headerCss, Encoding encoding) {
    std::string closedLast;
    std::vector<HeaderRule> places = ReadHeaderRules(headerCss, closedLast, encoding);
    std::string text = std::string(headerCss) + closedLast;
    std::vector<Rule> rules;
    for (const HeaderRule& rule : places)
        rules.push_back({text.substr(rule.selectorBegin, rule.selectorSize),
                         text.substr(rule.declarationsBegin, rule.declarationsSize)});
    return rules;
}

void ForEachStyleRuleSelector(std::string_view css, Encoding encoding,
                              const std::function<void(std::string_view)>& take) {
    CssLexer lexer(css, encoding);
    CssToken token;
    size_t statementStart = 0;
    while (lexer.Next(token)) {
        std::string_view open = lexer.OpenBrackets();
        bool inBlock = open.empty() || open.back() == '}';
        if (OpensBlock(css, token)) {
            std::string_view selector = TrimSpace(SkipLeadingComments(
                css.substr(statementStart, token.begin - statementStart), encoding));
            if (!selector.empty() && selector[0] != '@') take(selector);
            statementStart = token.end;
        } else if ((token.kind == CssPiece::Close && css[token.begin] == '}') ||
                   (token.kind == CssPiece::Semicolon && inBlock)) {
            statementStart = token.end;
        }
    }
}

}  // namespace engine
