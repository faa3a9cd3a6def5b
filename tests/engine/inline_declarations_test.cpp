// From a style attribute's value to the declarations of an inline class.
#include "engine/inline_declarations.h"

#include <gtest/gtest.h>

#include "tests/support/text_case.h"

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
        {"background:url(data:image/png;base64,AAA=);color:red",
         "background:url(data:image/png;base64,AAA=) !important;\r\ncolor:red !important;"},
        {"content:\";\";quotes:'a;b'", "content:\";\" !important;\r\nquotes:'a;b' !important;"},
        {"content:\"\\\";\"", "content:\"\\\";\" !important;"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(InlineDeclarations(c.input), c.expected) << c.input;
}

TEST(InlineDeclarations, StyleTextDecodesReferencesAndJoinsLines) {
    const TextCase cases[] = {
        {"font-family:&quot;Times New Roman&quot;,serif", "font-family:\"Times New Roman\",serif"},
        {"a:&QUOT;&apos;&amp;&lt;&gt;", "a:\"'&<>"},
        {"content:&#34;&#x41;&#xe9;", "content:\"A\xE9"},
        {"content:&#8364;&nbsp;&#0;&amp", "content:&#8364;&nbsp;&#0;&amp"},
        {"margin:0in\r\n0in\n0in\r1in", "margin:0in 0in 0in 1in"},
    };
    for (const TextCase& c : cases) {
        std::string decoded;
        EXPECT_EQ(StyleTextOf(c.input, decoded), c.expected) << c.input;
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

TEST(InlineDeclarations, DeclarationSetsIgnoreOrderAndSpacingButNotValues) {
    EXPECT_TRUE(SameDeclarationSet("color: red; margin:0", "MARGIN:0;color:red;"));
    EXPECT_FALSE(SameDeclarationSet("width:12px", "width:21px"));
    EXPECT_FALSE(SameDeclarationSet("top:1px;left:2px", "left:1px;top:2px"));
    EXPECT_FALSE(SameDeclarationSet("a:url(x;y)", "y):url(x;a"));
    EXPECT_FALSE(SameDeclarationSet("a:\\;b", "b;a:\\"));  // an escaped ";" ends nothing
    EXPECT_EQ(DeclarationSetHash("color: red; margin:0"),
              DeclarationSetHash("MARGIN:0;color:red;"));
    // Spacing and case aside, alike, unless a space may change a comment or an escape.
    EXPECT_TRUE(SameDeclarationsOtherwiseSpaced("Color: RED; a:b", "color:red;a : b"));
    EXPECT_FALSE(SameDeclarationsOtherwiseSpaced("a:b/ *c", "a:b/*c"));
    EXPECT_FALSE(SameDeclarationsOtherwiseSpaced("a:\\ ;b", "a:\\;b"));
}

}  // namespace
