#include "engine/rule_parsing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/corpus_pages.h"

namespace engine {

namespace {

struct ParseCase {
    std::string name;
    std::string css;
    std::vector<Rule> rules;
    Encoding encoding = Encoding::SingleByte;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << testing::PrintToString(c.css); }

class ParseHeaderRulesTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseHeaderRulesTest, CutsTheTextIntoRules) {
    std::vector<Rule> rules = ParseHeaderRules(GetParam().css, GetParam().encoding);
    const std::vector<Rule>& expected = GetParam().rules;
    ASSERT_EQ(rules.size(), expected.size());
    for (size_t i = 0; i < rules.size(); ++i) {
        SCOPED_TRACE("rule " + std::to_string(i));
        EXPECT_EQ(rules[i].selector, expected[i].selector);
        EXPECT_EQ(rules[i].declarations, expected[i].declarations);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ParseHeaderRulesTest,
    testing::Values(
        ParseCase{"TwoRules",
                  "p { color: red; }\r\nh1,h2 {margin:0}",
                  {{"p", "color: red;"}, {"h1,h2", "margin:0"}}},
        ParseCase{"CommentBeforeRule", "/* title */ p {color:red}", {{"p", "color:red"}}},
        ParseCase{"SeveralCommentsBeforeRules",
                  "\r\n /* a */\r\n/* b */ p {color:red}\t/* c */\r\nb{x:y}",
                  {{"p", "color:red"}, {"b", "x:y"}}},
        ParseCase{"CommentInsideDeclarations",
                  "p { color: red; /* note */ }",
                  {{"p", "color: red; /* note */"}}},
        ParseCase{"CommentBeforeBrace", "p /* x */ { color: red }", {{"p /* x */", "color: red"}}},
        ParseCase{"OnlyAComment", "/* nothing here */", {}},
        ParseCase{"TextWithoutBraces", "@import url(base.css);", {}},
        ParseCase{"BracesInsideLeadingComment", "/* {} */ p {color:red}", {{"p", "color:red"}}},
        ParseCase{"BracesInsideStrings",
                  "a[title='{'] {content:\"}\"} b{c:d}",
                  {{"a[title='{']", "content:\"}\""}, {"b", "c:d"}}},
        // A nested block stays whole inside the declarations of the block that holds it.
        ParseCase{"NestedAtRule",
                  "@media print { .a {display:none} } .b {color:red} .c {x:y}",
                  {{"@media print", ".a {display:none}"}, {".b", "color:red"}, {".c", "x:y"}}},
        ParseCase{"StatementBeforeRule",
                  "@import url(a.css); p{a:b}",
                  {{"@import url(a.css); p", "a:b"}}},
        ParseCase{
            "StrayBraceStartsTheNextSelector", "p{a:b} } q{c:d}", {{"p", "a:b"}, {"} q", "c:d"}}},
        ParseCase{"LineBreakEndingAStringKept",
                  "p 'a\r\n{x:'b\n} q{c:d}",
                  {{"p 'a\r\n", "x:'b\n"}, {"q", "c:d"}}},
        // In Shift_JIS "\x95\x5C" is a kanji: its trail byte escapes nothing, so the quote
        // after it closes the string and the rule ends at its own brace.
        ParseCase{"DoubleByteCharacterBeforeAClosingQuote",
                  ".a {b:'\x95\x5C'}\r\np {c:d}",
                  {{".a", "b:'\x95\x5C'"}, {"p", "c:d"}},
                  Encoding::ShiftJis},
        ParseCase{"EscapedSpaceKept", "p\\ {a:b\\ } q{c:d}", {{"p\\ ", "a:b\\ "}, {"q", "c:d"}}},
        // "/*/" opens a comment, as everywhere CSS is read: it swallows the rule.
        ParseCase{"CommentSharingItsStar", "/*/ p {color:red}", {}},
        ParseCase{"UnterminatedCommentBeforeLastRules",
                  "p{a:b}\r\n/* open q{c:d} r{e:f}",
                  {{"p", "a:b"}}},
        ParseCase{"TrailingTextDropped", "p{a:b} /* end */ stray", {{"p", "a:b"}}},
        ParseCase{"DeclarationsTrimmed", "p {\r\n  color: red;\r\n}", {{"p", "color: red;"}}},
        ParseCase{"FormFeedsTrimmed", "\f.note\f{\fcolor: red;\f}", {{".note", "color: red;"}}},
        ParseCase{"InnerLineBreaksKept", "p {a:b;\r\nc:d}", {{"p", "a:b;\r\nc:d"}}},
        ParseCase{"SelectorLineBreaksKept", "h1,\r\n\th2\t{A:B}", {{"h1,\r\n\th2", "A:B"}}},
        ParseCase{"EmptyRule", "p{}", {{"p", ""}}},
        ParseCase{"UnclosedLastRule", "p{a:b} q{c:d", {{"p", "a:b"}, {"q", "c:d"}}},
        ParseCase{
            "UnclosedLastRuleClosesWhatItOpens", "q{c:url(x 'y /* z", {{"q", "c:url(x 'y /* z')"}}},
        ParseCase{"UnclosedLastRuleClosesItsComment", "q{c:d /* z", {{"q", "c:d /* z*/"}}},
        ParseCase{"UnclosedInnerBlock", "@media x { p{a:b", {{"@media x", "p{a:b}"}}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

const Rule* FindRule(const std::vector<Rule>& rules, const std::string& selector) {
    for (const Rule& rule : rules)
        if (rule.selector == selector) return &rule;
    return nullptr;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The style block of a page saved by a word processor, as the header extraction hands it on:
// the text between "<style>" and "</style>" without the comment markers around it.
std::string WordProcessorHeaderCss() {
    std::string text = CorpusPage("word2000-small.html");
    size_t open = text.find("<style>");
    size_t close = text.find("</style>", open);
    if (open == std::string::npos || close == std::string::npos) return {};
    std::string css = text.substr(open + 7, close - open - 7);
    for (std::string marker : {"<!--", "-->"})
        for (size_t at; (at = css.find(marker)) != std::string::npos;) css.erase(at, marker.size());
    return css;
}

TEST(ParseHeaderRules, ReadsAWordProcessorStyleBlock) {
    SKIP_WITHOUT_CORPUS();
    std::string css = WordProcessorHeaderCss();
    ASSERT_FALSE(css.empty()) << "no style block in the corpus page";
    std::vector<Rule> rules = ParseHeaderRules(css);
    ASSERT_EQ(rules.size(), 39u);

    EXPECT_EQ(rules.front().selector, "@font-face");
    EXPECT_TRUE(StartsWith(rules.front().declarations, "font-family:Wingdings;"));
    EXPECT_TRUE(EndsWith(rules.front().declarations, "-2147483648 0;"));
    EXPECT_EQ(rules.back().selector, "ul");
    EXPECT_EQ(rules.back().declarations, "margin-bottom:0cm;");

    const Rule* normal = FindRule(rules, "p.MsoNormal, li.MsoNormal, div.MsoNormal");
    ASSERT_NE(normal, nullptr) << "the comment before it must be skipped";
    EXPECT_TRUE(StartsWith(normal->declarations, "mso-style-parent:\"\";"));
    EXPECT_TRUE(EndsWith(normal->declarations, "mso-fareast-font-family:\"Times New Roman\";"));

    const Rule* page = FindRule(rules, "@page Section1");
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(StartsWith(page->declarations, "size:595.3pt 841.9pt;"));
    EXPECT_NE(page->declarations.find("\tmargin:72.0pt 89.85pt 72.0pt 89.85pt;"),
              std::string::npos);
    EXPECT_TRUE(EndsWith(page->declarations, "mso-paper-source:0;"));

    const Rule* section = FindRule(rules, "div.Section1");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->declarations, "page:Section1;");

    const Rule* list = FindRule(rules, "@list l0");
    ASSERT_NE(list, nullptr) << "the comment before it must be skipped";
    EXPECT_TRUE(StartsWith(list->declarations, "mso-list-id:-5;"));

    for (const Rule& rule : rules) {
        EXPECT_EQ(rule.selector.find("/*"), std::string::npos) << rule.selector;
        EXPECT_FALSE(rule.declarations.empty()) << rule.selector;
    }
}

}  // namespace

}  // namespace engine
