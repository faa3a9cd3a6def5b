#include "engine/rule_parsing.h"

#include "engine/ansi_text.h"
#include "engine/css_lexer.h"

namespace {

constexpr size_t npos = std::string_view::npos;

// Drops the comments that stand before a rule, read as the CSS lexer reads them.
std::string_view SkipLeadingComments(std::string_view text) {
    text = TrimSpaceFront(text);
    CssToken comment;
    while (CssLexer(text).Next(comment) && comment.kind == CssPiece::Comment)
        text = TrimSpaceFront(text.substr(comment.end));
    return text;
}

// `text` trimmed of whitespace, but for a whitespace byte that a backslash escapes: trimmed
// away, its backslash would escape what the style sheet writes after it.
std::string_view TrimKeepingEscapes(std::string_view text) {
    std::string_view trimmed = TrimSpace(text);
    size_t backslashes = 0;
    while (backslashes < trimmed.size() && trimmed[trimmed.size() - 1 - backslashes] == '\\')
        ++backslashes;
    size_t end = trimmed.data() - text.data() + trimmed.size();
    if (backslashes % 2 == 0 || end == text.size()) return trimmed;
    size_t escaped = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    return text.substr(trimmed.data() - text.data(), trimmed.size() + escaped);
}

bool OpensBlock(std::string_view css, const CssToken& token) {
    return token.kind == CssPiece::Open && css[token.begin] == '{';
}

}  // namespace

std::vector<Rule> ParseHeaderRules(std::string_view headerCss) {
    std::vector<Rule> rules;
    auto addRule = [&](size_t from, size_t selectorEnd, size_t blockStart, size_t blockEnd) {
        std::string_view selector = headerCss.substr(from, selectorEnd - from);
        std::string_view declarations = headerCss.substr(blockStart, blockEnd - blockStart);
        rules.push_back(Rule{std::string(TrimKeepingEscapes(SkipLeadingComments(selector))),
                             std::string(TrimKeepingEscapes(declarations))});
    };
    CssLexer lexer(headerCss);
    CssToken token;
    size_t ruleStart = 0;    // where the text of the next rule begins
    size_t selectorEnd = 0;  // the "{" of the open top-level block
    size_t blockStart = npos;
    while (lexer.Next(token)) {
        if (OpensBlock(headerCss, token) && lexer.Depth() == 1) {
            selectorEnd = token.begin;
            blockStart = token.end;
        } else if (token.kind == CssPiece::Close && !token.unmatched && lexer.Depth() == 0 &&
                   blockStart != npos) {
            addRule(ruleStart, selectorEnd, blockStart, token.begin);
            ruleStart = token.end;
            blockStart = npos;
        }
    }
    if (blockStart != npos) addRule(ruleStart, selectorEnd, blockStart, headerCss.size());
    return rules;
}

std::vector<std::string_view> StyleRuleSelectors(std::string_view css) {
    std::vector<std::string_view> selectors;
    CssLexer lexer(css);
    CssToken token;
    size_t statementStart = 0;
    while (lexer.Next(token)) {
        std::string_view open = lexer.OpenBrackets();
        bool inBlock = open.empty() || open.back() == '}';
        if (OpensBlock(css, token)) {
            std::string_view selector = TrimSpace(
                SkipLeadingComments(css.substr(statementStart, token.begin - statementStart)));
            if (!selector.empty() && selector[0] != '@') selectors.push_back(selector);
            statementStart = token.end;
        } else if ((token.kind == CssPiece::Close && css[token.begin] == '}') ||
                   (token.kind == CssPiece::Semicolon && inBlock)) {
            statementStart = token.end;
        }
    }
    return selectors;
}
