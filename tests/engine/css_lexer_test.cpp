// The one reading of CSS text: its pieces, what it leaves open, and the jobs that read alike.
#include "engine/css_lexer.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/css_closing.h"
#include "engine/inline_declarations.h"
#include "engine/rule_parsing.h"

namespace engine {

namespace {

// The pieces of `css`, one letter per kind (t text, s space, m comment, q string, o open,
// c close, ; semicolon) followed by the piece's bytes; "!" marks an unclosed comment or
// string, "~" a string that a line break ends, "^" a piece that ends inside an escape, "?" a
// close that matches no open bracket. Pieces are separated by "|".
std::string PiecesOf(CssLexer& lexer, std::string_view css) {
    CssToken token;
    std::string pieces;
    while (lexer.Next(token)) {
        if (!pieces.empty()) pieces += '|';
        pieces += "tsmqoc;"[static_cast<int>(token.kind)];
        if (token.unclosed) pieces += '!';
        if (token.endedByLineBreak) pieces += '~';
        if (token.danglingEscape) pieces += '^';
        if (token.unmatched) pieces += '?';
        pieces += PieceText(css, token);
    }
    return pieces;
}

std::string Pieces(std::string_view css, Encoding encoding = Encoding::SingleByte) {
    CssLexer lexer(css, encoding);
    return PiecesOf(lexer, css);
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
        LexCase{"a:'x\n}", "ta:|q~'x|s\n|c?}", ""}, LexCase{"a:'x\fy'", "ta:|q~'x|s\f|ty|q!'", "'"},
        // Whitespace: space, tab, CR, LF and form feed.
        LexCase{"p\f{a:b\t!\fimportant}", "tp|s\f|o{|ta:b|s\t|t!|s\f|timportant|c}", ""},
        LexCase{"'x\\'\r\n'y\\\\'", "q~'x\\'|s\r\n|q'y\\\\'", ""}, LexCase{"'\n", "q~'|s\n", ""},
        // An escape takes the next byte, a CR LF pair whole, outside strings and inside.
        LexCase{"a\\;b:'c\\'d' e", "ta\\;b:|q'c\\'d'|s |te", ""},
        LexCase{"'a\\\r\nb'", "q'a\\\r\nb'", ""}, LexCase{"/* \\*/ x", "m/* \\*/|s |tx", ""},
        // Brackets: a close that does not match the innermost open bracket closes nothing.
        LexCase{"a(b]c)", "ta|o(|tb|c?]|tc|c)", ""},
        LexCase{"@media x{p[y", "t@media|s |tx|o{|tp|o[|ty", "]}"},
        LexCase{"p{}}", "tp|o{|c}|c?}", ""},
        // What is left open is closed innermost first; a dangling escape gets a byte first.
        LexCase{"p{a:url(x /* n", "tp|o{|ta:url|o(|tx|s |m!/* n", "*/)}"},
        LexCase{"p{content:'x\\", "tp|o{|tcontent:|q!^'x\\", " '}"},
        LexCase{"p{a:b\\", "tp|o{|t^a:b\\", " }"}, LexCase{"a\\\\", "ta\\\\", ""},
        // A backslash in a comment escapes nothing.
        LexCase{"/* \\", "m!/* \\", "*/"}));

// A lexer that continues the piece another text leaves open: its first piece is the rest of
// that string or comment, and it tells what it leaves open in turn.
struct ContinuedCase {
    CssOpenPiece continued;
    std::string css;
    std::string pieces;
    std::string leftOpen;  // the quote of a string, "*/" for a comment
};

TEST(CssLexerStretches, ContinueThePieceLeftOpen) {
    const ContinuedCase cases[] = {
        {{'\'', false}, "b\\'c' d", "qb\\'c'|s |td", ""},
        {{'"', false}, "x'\ny", "q~x'|s\n|ty", ""},
        {{'"', false}, "x'", "q!x'", "\""},
        {{0, true}, "x */y", "mx */|ty", ""},
        {{0, true}, "'x", "m!'x", "*/"},
        {{0, true}, "", "", "*/"},
        {{}, "a 'b", "ta|s |q!'b", "'"},
        {{}, "/*'", "m!/*'", "*/"},
    };
    for (const ContinuedCase& c : cases) {
        SCOPED_TRACE(c.css);
        CssLexer lexer(c.css, Encoding::SingleByte, c.continued);
        EXPECT_EQ(PiecesOf(lexer, c.css), c.pieces);
        CssOpenPiece open = lexer.OpenPiece();
        EXPECT_EQ(open.comment ? std::string("*/") : std::string(open.quote != 0, open.quote),
                  c.leftOpen);
    }
}

// The kind of the piece of each byte, one letter a byte, the text read in two stretches cut
// at `cut`.
std::string KindOfEachByte(std::string_view css, size_t cut) {
    std::string kinds;
    CssOpenPiece open;
    for (std::string_view stretch : {css.substr(0, cut), css.substr(cut)}) {
        CssLexer lexer(stretch, Encoding::SingleByte, open);
        for (CssToken token; lexer.Next(token);)
            kinds.append(token.end - token.begin, "tsmqoc;"[static_cast<int>(token.kind)]);
        open = lexer.OpenPiece();
    }
    return kinds;
}

TEST(CssLexerStretches, ATextReadInTwoStretchesHasThePiecesOfTheWhole) {
    const std::string texts[] = {
        "a:'b; c' /* d; 'e */ f:\"g\\\" h\" i",
        "x:'a\nb' /* c */ 'd\\' \"e\\\\\";",
    };
    for (const std::string& css : texts) {
        std::string whole = KindOfEachByte(css, 0);
        for (size_t cut = 1; cut < css.size(); ++cut) {
            char last = css[cut - 1];
            if (last == '\\' || last == '/' || last == '*' || last == '\r') continue;
            EXPECT_EQ(KindOfEachByte(css, cut), whole) << css << " cut at " << cut;
        }
    }
}

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

// In a double-byte page a lead byte and its trail byte are one character of text: in
// Shift_JIS "\x83\x7D" is a katakana, "\x95\x5C" a kanji, whose trail bytes are "}" and "\\".
TEST(CssReadings, DoubleByteCharactersAreText) {
    EXPECT_EQ(Pieces(".\x83\x7D{a:'\x95\x5C'}", Encoding::ShiftJis),
              "t.\x83\x7D|o{|ta:|q'\x95\x5C'|c}");
    EXPECT_EQ(Pieces("a\\\x95\x5C;b", Encoding::ShiftJis), "ta\\\x95\x5C|;;|tb");
    // A trail byte "\\" escapes nothing: the quote after it closes, a line break ends.
    EXPECT_EQ(Pieces("'\x95\x5C'\x95\x5C", Encoding::ShiftJis), "q'\x95\x5C'|t\x95\x5C");
    EXPECT_EQ(Pieces("'\x95\x5C\n", Encoding::ShiftJis), "q~'\x95\x5C|s\n");
    EXPECT_EQ(Pieces("'\x95\x5C'\x95\x5C"), "q!^'\x95\x5C'\x95\x5C");
    EXPECT_EQ(Pieces("\xA1}", Encoding::ShiftJis), "t\xA1|c?}");  // a one-byte katakana
    EXPECT_EQ(Pieces("\xA1}", Encoding::Big5), "t\xA1}");
    // A lead byte without a trail byte is a character of its own, as browsers decode it.
    EXPECT_EQ(Pieces("a:'\x83';b", Encoding::ShiftJis), "ta:|q'\x83'|;;|tb");
    EXPECT_EQ(Pieces("\x81\x30\x81\x7B{", Encoding::Gbk), "t\x81\x30\x81\x7B|o{");  // GB18030
    CssLexer lexer("p{\x83", Encoding::ShiftJis);
    for (CssToken token; lexer.Next(token);) {
    }
    EXPECT_EQ(lexer.Closers(), " }");  // the brace must not become the trail byte
    EXPECT_EQ(Pieces(".\x83\x7D{", Encoding::SingleByte), "t.\x83|c?}|o{");
    EXPECT_TRUE(FitsInOneRule("font-family:'\x95\x5C'; color:red", Encoding::ShiftJis));
    EXPECT_FALSE(FitsInOneRule("font-family:'\x95\x5C'; color:red"));
    EXPECT_EQ(CssClosers("p{content:'\x83\x5C'}\r\n", Encoding::ShiftJis), "");
    EXPECT_EQ(InlineDeclarations("a:'\x95\x5C';b:c", Encoding::Gbk),
              "a:'\x95\x5C' !important;\r\nb:c !important;");
    std::vector<Rule> rules =
        ParseHeaderRules(".\x83\x7D {a:b}\r\np {c:\x83\x7D}", Encoding::ShiftJis);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].selector, ".\x83\x7D");
    EXPECT_EQ(rules[1].declarations, "c:\x83\x7D");
}

}  // namespace

}  // namespace engine
