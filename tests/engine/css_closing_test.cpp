// Closing what a page's CSS leaves open before the inline classes follow it.
#include "engine/css_closing.h"

#include <gtest/gtest.h>

#include "engine/extraction_run.h"
#include "engine/output_writing.h"
#include "tests/support/page_run.h"

namespace engine {

namespace {

TEST(CssClosing, WellFormedCssNeedsNothing) {
    const char* wellFormed[] = {
        "",
        "p {a:b}",
        "@import url(x.css);",
        "@media print { p { a:b } }",
        "/* a { */ p {content:\"}\"}",
        "a[href$='.pdf'] {b:c}",
        "p{a:b}\r\n/* end */",
        "@charset \"utf-8\";\r\np {a:url(x(1).png)}",
    };
    for (const char* css : wellFormed) EXPECT_EQ(CssClosers(css), "") << css;
}

TEST(CssClosing, ClosesWhatIsLeftOpen) {
    EXPECT_EQ(CssClosers("<![CDATA[\r\n.hide{display:none}\r\n]]>"), "{}");
    EXPECT_EQ(CssClosers("<![CDATA[ .hide\r\n{display:none}"), "]]{}");
    EXPECT_EQ(CssClosers("p {a:b} /* open"), "*/");
    EXPECT_EQ(CssClosers("@media print { p {a:b}"), "}");
    EXPECT_EQ(CssClosers("p {a:b}} q"), "{}");
    EXPECT_EQ(CssClosers("p {a:url(x}"), ")}");
    EXPECT_EQ(CssClosers("</stylea><a s='"), "'{}");
    // A backslash at the end would escape the first closer: it gets a byte of its own.
    EXPECT_EQ(CssClosers("p {content:'x\\"), " '}");
}

TEST(CssClosing, InlineClassesOfAPageWithACdataWrapperSurvive) {
    for (bool cleaned : {false, true}) {
        const RewrittenPage r(
            "<html><head><style>\n<![CDATA[\n.hide{display:none}\n]]>\n</style>"
            "</head><body><p class=\"hide\" style=\"color:red\">red text</p>");
        std::string sheet = r.Sheet(cleaned);
        size_t inlineComment = sheet.find("/* Inline CSS");
        ASSERT_NE(inlineComment, std::string::npos);
        EXPECT_EQ(CssClosers(sheet.substr(0, inlineComment)), "") << sheet;
        EXPECT_NE(sheet.find("\r\n.inlineClass001\r\n{color:red !important;}\r\n"),
                  std::string::npos);
    }
}

}  // namespace

}  // namespace engine
