// The one reading of CSS text: its pieces, what it leaves open, and the jobs that read alike.
#include "engine/css_lexer.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/css_closing.h"
#include "engine/inline_declarations.h"
#include "engine/rule_parsing.h"

namespace {

// The pieces of `css`, one letter per kind (t text, s space, m comment, q string, o open,
// c close, ; semicolon) followed by the piece's bytes; "!" marks an unclosed comment or
// string, "?" a close that matches no open bracket. Pieces are separated by "|".
std::string Pieces(std::string_view css) {
    CssLexer lexer(css);
    CssToken token;
    std::string pieces;
    while (lexer.Next(token)) {
        if (!pieces.empty()) pieces += '|';
        pieces += "tsmqoc;"[static_cast<int>(token.kind)];
        if (token.unclosed) pieces += '!';
        if (token.unmatched) pieces += '?';
        pieces += PieceText(css, token);
    }
    return pieces;
}

std::string Closers(std::string_view css) {
    CssLexer lexer(css);
    CssToken token;
    while (lexer.Next(token)) {
    }
    return lexer.Closers();
}

struct LexCase {
    std::string css;
    std::string pieces;
    std::string closers;
};

class CssLexerTest : public testing::TestWithParam<LexCase> {};

TEST_P(CssLexerTest, CutsTheTextIntoPieces) {
    EXPECT_EQ(Pieces(GetParam().css), GetParam().pieces);
    EXPECT_EQ(Closers(GetParam().css), GetParam().closers);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, CssLexerTest,
    testing::Values(
        LexCase{"", "", ""}, LexCase{"p {a:b; c:d}", "tp|s |o{|ta:b|;;|s |tc:d|c}", ""},
        LexCase{"a/b /*c*/d", "ta/b|s |m/*c*/|td", ""},
        // A comment runs to the first "*/" after its "/*": "/*/" opens one.
        LexCase{"/*/ p {a:b}", "m!/*/ p {a:b}", "*/"},
        LexCase{"a:'x;}' \"y'\"", "ta:|q'x;}'|s |q\"y'\"", ""},
        // A line break ends a string (LF, CR or form feed); it is not part of it.
        LexCase{"a:'x\n}", "ta:|q'x|s\n|c?}", ""}, LexCase{"a:'x\fy'", "ta:|q'x|t\fy|q!'", "'"},
        // An escape takes the next byte, a CR LF pair whole, outside strings and inside.
        LexCase{"a\\;b:'c\\'d' e", "ta\\;b:|q'c\\'d'|s |te", ""},
        LexCase{"'a\\\r\nb'", "q'a\\\r\nb'", ""}, LexCase{"/* \\*/ x", "m/* \\*/|s |tx", ""},
        // Brackets: a close that does not match the innermost open bracket closes nothing.
        LexCase{"a(b]c)", "ta|o(|tb|c?]|tc|c)", ""},
        LexCase{"@media x{p[y", "t@media|s |tx|o{|tp|o[|ty", "]}"},
        LexCase{"p{}}", "tp|o{|c}|c?}", ""},
        // What is left open is closed innermost first; a dangling escape gets a byte first.
        LexCase{"p{a:url(x /* n", "tp|o{|ta:url|o(|tx|s |m!/* n", "*/)}"},
        LexCase{"p{content:'x\\", "tp|o{|tcontent:|q!'x\\", " '}"},
        LexCase{"p{a:b\\", "tp|o{|ta:b\\", " }"}));

// The jobs that read CSS give one answer for the same text, the answer of a browser.
TEST(CssReadings, JobsAgreeOnCommentsAndStrings) {
    // "/*/" opens a comment: the header rule it stands before is swallowed, and the style
    // sheet closes the comment before the inline classes.
    EXPECT_TRUE(ParseHeaderRules("/*/ p {color:red}").empty());
    EXPECT_EQ(CssClosers("/*/ p {color:red}"), "*/");
    // A line break ends a string, so the brace after it is one.
    EXPECT_FALSE(FitsInOneRule("content:'x\n}'"));
    EXPECT_EQ(CssClosers("p{content:'x\n}"), "");
    // "[" opens a bracket in a style as in a sheet: it would swallow the rules after it.
    EXPECT_FALSE(FitsInOneRule("a:[b"));
    EXPECT_EQ(CssClosers("p{a:[b"), "]}");
    EXPECT_TRUE(FitsInOneRule("a:(b]c)"));
}

}  // namespace
