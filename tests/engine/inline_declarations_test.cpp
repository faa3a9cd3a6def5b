// From a style attribute's value to the declarations of an inline class.
#include "engine/inline_declarations.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "tests/support/text_case.h"

namespace engine {

namespace {

TEST(InlineDeclarations, EachDeclarationEndsImportantOnItsOwnLine) {
    const TextCase cases[] = {
        {"color:red", "color:red !important;"},
        {"color: red; margin: 0", "color: red !important;\r\n margin: 0 !important;"},
        {"color:red;", "color:red !important;\r\n"},
        {"", " !important;"},
        {"color:red; ", "color:red !important;\r\n "},
        {"display:none !important; color:red",
         "display:none !important;\r\n color:red !important;"},
        {"display:none ! IMPORTANT", "display:none ! IMPORTANT;"},
        {"color:red!\fimportant", "color:red!\fimportant;"},  // a form feed is a space
        {"background:url(data:image/png;base64,AAA=);color:red",
         "background:url(data:image/png;base64,AAA=) !important;\r\ncolor:red !important;"},
        {"content:\";\";quotes:'a;b'", "content:\";\" !important;\r\nquotes:'a;b' !important;"},
        {"content:\"\\\";\"", "content:\"\\\";\" !important;"},
        // Importance as CSS reads it: comments and spaces may stand between "!" and the word,
        // and a string or a word that only ends in it is no importance.
        {"color:red !/**/important", "color:red !/**/important;"},
        {"color:red!important /* kept */", "color:red!important /* kept */;"},
        {"content:\"!important\"", "content:\"!important\" !important;"},
        {"x:unimportant", "x:unimportant !important;"},
        {"font:url(a) !important", "font:url(a) !important;"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(InlineDeclarations(c.input), c.expected) << c.input;
}

TEST(InlineDeclarations, StyleTextDecodesReferencesAndJoinsLines) {
    struct Case {
        std::string input;
        std::string expected;
        Encoding encoding = Encoding::SingleByte;
    };
    const Case cases[] = {
        {"font-family:&quot;Times New Roman&quot;,serif", "font-family:\"Times New Roman\",serif"},
        {"a:&QUOT;&apos;&amp;&lt;&gt;", "a:\"'&<>"},
        // Characters outside ASCII become CSS escapes, whatever the page's encoding.
        {"content:&#34;&#x41;&#xe9;", "content:\"A\\E9 "},
        {"content:&#8364;&nbsp;&#0;&amp", "content:\\20AC \\A0 \\FFFD &"},
        {"font-family:X,&nbsp;serif", "font-family:X,\\A0 serif"},
        {"a:&NotEqualTilde;&#171;&#8203;", "a:\\2242 \\338 \\AB \\200B "},
        {"a:&#x110000;&#xD800;&#99999999999999999999;&#128;&#129;&#59",
         "a:\\FFFD \\FFFD \\FFFD \\20AC \\81 ;"},
        {"a:\\&#171;\\\\&#171;", "a:\\AB \\\\\\AB "},
        {"a:'\\&#171;\\\\&#171;' b", "a:'\\AB \\\\\\AB ' b"},
        {"a:\\&#92;&#171;&#92;&#92;&#171;", "a:\\\\\\AB \\\\\\AB "},
        {"a:&#92;&#171;", "a:\\AB "},
        // A backslash in a comment escapes nothing: it stays before the escape.
        {"/* \\&#171; */a:\\&#171;", "/* \\\\AB  */a:\\AB "},
        // Old names without ";" only as a whole, and not before "=".
        {"a:&not &notit; &not= &Amp; &#; &#x; & &amp;lt;",
         "a:\\AC  &notit; &not= &Amp; &#; &#x; & &lt;"},
        {"margin:0in\r\n0in\n0in\r1in", "margin:0in 0in 0in 1in"},
        // In Shift_JIS "\x95\x5C" is a kanji whose trail byte is a backslash: it escapes no
        // reference after it, and stays.
        {"a:'\x95\x5C&eacute;'", "a:'\x95\x5C\\E9 '", Encoding::ShiftJis},
        {"a:\x95\x5C\\&eacute;", "a:\x95\x5C\\E9 ", Encoding::ShiftJis},
        {"a:'\xA5\x5C&eacute;'", "a:'\xA5\x5C\\E9 '", Encoding::Big5},
        {"a:'\x95\x5C&eacute;'", "a:'\x95\\E9 '"},  // one byte a character, as written
        // A lead byte with no trail byte before a reference: a browser reads U+FFFD for it,
        // which the character of the reference must not complete into a kanji.
        {"content:'\x95&#64;'", "content:'\\FFFD @'", Encoding::ShiftJis},
        {"a:\x95&eacute;", "a:\\FFFD \\E9 ", Encoding::ShiftJis},
        {"a:\\\x95&#64;", "a:\\FFFD @", Encoding::ShiftJis},
        {"a:\x95&#33;", "a:\x95!", Encoding::ShiftJis},          // "!" is no trail byte
        {"a:\x95\x95&#64;", "a:\x95\x95@", Encoding::ShiftJis},  // a kanji, then "@"
    };
    for (const Case& c : cases) {
        std::string decoded;
        EXPECT_EQ(StyleTextOf(c.input, decoded, c.encoding), c.expected) << c.input;
    }
}

// Each escaped reference is read once, however long the string or comment that holds them
// (in a comment the backslash escapes nothing and stays).
TEST(InlineDeclarations, StyleTextOfManyEscapedReferencesTakesAMoment) {
    const TextCase cases[] = {{"a:'", "\\AB "}, {"/*", "\\\\AB "}};
    for (const TextCase& c : cases) {
        std::string value = c.input;
        std::string expected = c.input;
        for (int i = 0; i < 100000; ++i) {
            value += "\\&#171;";
            expected += c.expected;
        }
        std::string decoded;
        std::clock_t start = std::clock();
        bool same = StyleTextOf(value, decoded) == expected;
        double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        EXPECT_TRUE(same) << c.input;
        EXPECT_LT(seconds, 1.0) << c.input;
    }
}

TEST(InlineDeclarations, OnlyTextsThatStayInsideOneRuleFit) {
    EXPECT_TRUE(FitsInOneRule("color:red; content:\"}{\"; /* a } */ b:url(x)"));
    EXPECT_TRUE(FitsInOneRule(""));
    EXPECT_FALSE(FitsInOneRule("color:red}p{color:blue"));
    EXPECT_FALSE(FitsInOneRule("content:'open"));
    EXPECT_FALSE(FitsInOneRule("a:b /* open"));
    EXPECT_FALSE(FitsInOneRule("a:url(x"));
    EXPECT_FALSE(FitsInOneRule("a:b)"));
}

TEST(InlineDeclarations, DeclarationsInEffectIgnoreOrderOnlyWhereItChangesNothing) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"color: red; margin:0", "MARGIN:0;color:red;", true},
        {"width:12px", "width:21px", false},
        // Whitespace between two words of a value parts them.
        {"margin:0 40px", "margin:0 4 0px", false},
        {"margin:0 40px", "margin: 0\t\t40px ;", true},
        {"border:1px solid red", "border:1pxsolid red", false},
        {"font-family:a , b;color:red ! important", "font-family:a,b;color:red!important", true},
        {"width:calc(1px + 2px)", "width:calc(1px +2px)", false},
        {"top:1px;left:2px", "left:1px;top:2px", false},
        {"a:url(x;y)", "y):url(x;a", false},
        {"a:\\;b", "b;a:\\", false},  // an escaped ";" ends nothing
        // Declarations that may set the same property keep their order.
        {"color:blue;color:red", "color:red;color:blue", false},
        {"margin:0;margin-left:2em", "margin-left:2em;margin:0", false},
        {"border-color:red;border-top-color:blue", "border-top-color:blue;border-color:red", false},
        {"font:12px serif;line-height:2", "line-height:2;font:12px serif", false},
        {"inset:0;top:5px", "top:5px;inset:0", false},
        {"gap:1px;row-gap:2px", "row-gap:2px;gap:1px", false},
        {"place-items:end;align-items:start", "align-items:start;place-items:end", false},
        {"transform:none;-webkit-transform:scale(2)", "-webkit-transform:scale(2);transform:none",
         false},
        {"all:initial;color:red", "color:red;all:initial", false},
        {"/* x */ color:red;color:blue", "color:blue;/* x */ color:red", false},
        {"co\\lor:red;color:blue", "color:blue;co\\lor:red", false},
        // A name ends where a piece of the CSS may end.
        {"margin\t:0;margin-left:2em", "margin-left:2em;margin\t:0", false},
        {"margin/**/:0;margin-left:2em", "margin-left:2em;margin/**/:0", false},
        {"color\f:red;color:blue", "color:blue;color\f:red", false},  // a form feed is a space
        // The others do not.
        {"margin:0;color:red;margin-left:2em", "color:red;margin:0;margin-left:2em", true},
        {"font-size:2em;color:red;text-align:left", "text-align:left;font-size:2em;color:red",
         true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameDeclarationsInEffect(c.a, c.b), c.same) << c.a << " | " << c.b;
        if (c.same) {
            EXPECT_EQ(DeclarationSetHash(c.a), DeclarationSetHash(c.b)) << c.a;
        }
    }
    // Spacing and case aside, alike, unless a space may change a comment or an escape.
    EXPECT_TRUE(SameDeclarationsOtherwiseSpaced("Color: RED; a:b", "color:red;a : b"));
    EXPECT_FALSE(SameDeclarationsOtherwiseSpaced("margin:0 40px", "margin:0 4 0px"));
    EXPECT_FALSE(SameDeclarationsOtherwiseSpaced("a:b/ *c", "a:b/*c"));
    EXPECT_FALSE(SameDeclarationsOtherwiseSpaced("a:\\ ;b", "a:\\;b"));
}

}  // namespace

}  // namespace engine
