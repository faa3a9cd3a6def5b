// Style attributes turned into classes: which attributes, which class, what the tag becomes.
#include <gtest/gtest.h>

#include "engine/extraction_run.h"
#include "engine/output_writing.h"
#include "engine/page_rewriting.h"
#include "tests/support/page_run.h"
#include "tests/support/text_case.h"
#include "version.h"

namespace engine {

namespace {

struct Rewrite {
    std::string page;  // the body part of the page after the run
    std::vector<Rule> inlineClasses;
};

// Rewrites `body` after a header whose style block holds `headerCss` (none when empty).
Rewrite RewriteBody(const std::string& body, const std::string& headerCss = "") {
    std::string head =
        headerCss.empty() ? "<head></head>" : "<head><style>" + headerCss + "</style></head>";
    const RewrittenPage rewritten(head + "<body>" + body);
    Rewrite rewrite;
    size_t body_at = rewritten.rewrite.text.find("<body>");
    rewrite.page = rewritten.rewrite.text.substr(body_at + 6);
    rewrite.inlineClasses = rewritten.InlineClassRules();
    return rewrite;
}

TEST(InlineStyles, SameStyleTextOrKeyGivesOneClassNumberedInOrder) {
    Rewrite r = RewriteBody(
        "<p style=\"color:red\">a</p><p style='Color : RED'>b</p><p style=\"color:red;\">c</p>"
        "<i style=\"color:red\">d</i>");
    EXPECT_EQ(r.page,
              "<p class=\"inlineClass001\">a</p><p class=\"inlineClass001\">b</p>"
              "<p class=\"inlineClass002\">c</p><i class=\"inlineClass001\">d</i>");
    ASSERT_EQ(r.inlineClasses.size(), 2u);
    EXPECT_EQ(r.inlineClasses[0].selector, ".inlineClass001");
    EXPECT_EQ(r.inlineClasses[0].declarations, "color:red !important;");
    EXPECT_EQ(r.inlineClasses[1].declarations, "color:red !important;\r\n");
}

TEST(InlineStyles, ReusesOnlySingleClassHeaderRules) {
    Rewrite r = RewriteBody("<p style=\"color: red\">a</p><h1 style=\"margin:0\">b</h1>",
                            "h1 {margin:0} p.x {color:red} .warning {color: red} .Ok {margin: 0}");
    // h1 and p.x hold the same declarations but are not single classes.
    EXPECT_EQ(r.page, "<p class=warning>a</p><h1 class=Ok>b</h1>");
    EXPECT_TRUE(r.inlineClasses.empty());
}

// A header class is reused only where it alone styles the element: it is a top-level rule and
// no other rule, in any block, names its class.
TEST(InlineStyles, ReusesAHeaderClassThatNoOtherRuleNames) {
    struct Case {
        const char* headerCss;
        const char* page;
    } cases[] = {
        {".ok {color:red} .other {color:blue} p.x {color:red}", "<p class=ok>"},
        {".red {color:red} .red {color:blue}", "<p class=\"inlineClass001\">"},
        {".small {color:red} .small::before {content:'NOTE'}", "<p class=\"inlineClass001\">"},
        {".Note {color:red} p.note {margin:0}", "<p class=\"inlineClass001\">"},
        {".a {color:red} @media print { .a {display:none} }", "<p class=\"inlineClass001\">"},
        {"@media (max-width:600px) { .mobile {color:red} }", "<p class=\"inlineClass001\">"},
        {"@supports (color:red) { .s {color:red} } .s2 {color:red}", "<p class=s2>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RewriteBody("<p style=\"color:red\">", c.headerCss).page, c.page) << c.headerCss;
}

TEST(InlineStyles, StylesWhoseOrderMattersKeepTheirOwnClasses) {
    Rewrite r = RewriteBody(
        "<p style=\"color:blue;color:red\"><p style=\"color:red;color:blue\">"
        "<p style=\"margin:0;margin-left:2em;color:red\"><p "
        "style=\"color:red;margin:0;margin-left:2em\">"
        "<p style=\"margin-left:2em;margin:0;color:red\">");
    EXPECT_EQ(r.page,
              "<p class=\"inlineClass001\"><p class=\"inlineClass002\">"
              "<p class=\"inlineClass003\"><p class=\"inlineClass003\">"
              "<p class=\"inlineClass004\">");
}

TEST(InlineStyles, ReusedClassIsMergedWithTheTagsOwnClass) {
    Rewrite r = RewriteBody("<p class=\"box\" style=\"color:red\" id=x>", ".warning {color:red}");
    EXPECT_EQ(r.page, "<p class=\"box warning\" id=x>");
}

TEST(InlineStyles, NewClassIsMergedWithTheTagsOwnClasses) {
    EXPECT_EQ(RewriteBody("<p class=\"box\" style=\"color:red\" id=x>").page,
              "<p class=\"box inlineClass001\" id=x>");
    // A tag wrapped over several lines, as word processors write them.
    EXPECT_EQ(RewriteBody("<p class=MsoNormal\r\nstyle='margin:0cm;\r\nline-height:1'>x</p>").page,
              "<p class=\"MsoNormal inlineClass001\">x</p>");
}

TEST(InlineStyles, OnlyRealStyleAttributesOfStartTagsAreConverted) {
    const char* untouched[] = {
        "<p data-style=\"color:red\">a</p>",
        "<p>style=\"color:red\" in text</p>",
        "<!-- <p style=\"color:red\"> -->",
        "<!--[if gte vml 1]><v:shape style='width:1pt'></v:shape><![endif]-->",
        "<script>el.innerHTML = '<p style=\"color:red\">';</script>",
        "<p title='style=\"color:red\"'>a</p>",
        "<p style>bare</p>",
    };
    for (const char* body : untouched) {
        Rewrite r = RewriteBody(body);
        EXPECT_EQ(r.page, body);
        EXPECT_TRUE(r.inlineClasses.empty()) << body;
    }
}

TEST(InlineStyles, EachAttributeIsReplacedAloneWithoutPrefixMatches) {
    Rewrite r = RewriteBody("<p style=color:red>a</p><p style=color:redish>b</p>");
    EXPECT_EQ(r.page, "<p class=\"inlineClass001\">a</p><p class=\"inlineClass002\">b</p>");
}

TEST(InlineStyles, WhitespaceAroundTheEqualsSignAndAnyCase) {
    Rewrite r = RewriteBody("<p STYLE = \"a:b\">x</p><p Style= 'c:d'>y</p>");
    EXPECT_EQ(r.page, "<p class=\"inlineClass001\">x</p><p class=\"inlineClass002\">y</p>");
}

TEST(InlineStyles, StylesThatCannotBeMovedStayAsTheyWere) {
    const char* untouched[] = {
        "<p style=\"color:red>x</p>",                 // no closing quote in the page
        "<p style=\"color:red}body{display:none\">",  // would add rules to the sheet
        "<p style=\"font-family:'Arial\">",           // a string never closed
        "<p style=\"color:red /* note\">",            // a comment never closed
        "<p style=\"background:url(a.png\">",         // a parenthesis never closed
        "<p style=\"color:red; a:[b\">",              // a bracket never closed
    };
    for (const char* body : untouched) EXPECT_EQ(RewriteBody(body).page, body);
}

TEST(InlineStyles, LineBreaksInValuesBecomeSpaces) {
    Rewrite r = RewriteBody("<p style='margin:0in\r\n0in;\nfont-size:10pt'>");
    ASSERT_EQ(r.inlineClasses.size(), 1u);
    EXPECT_EQ(r.inlineClasses[0].declarations,
              "margin:0in 0in !important;\r\n font-size:10pt !important;");
}

TEST(InlineStyles, MergedAttributesStayApartFromTheTagName) {
    EXPECT_EQ(RewriteBody("<img/style=\"a:b\"><p/class=x style=\"c:d\">").page,
              "<img class=\"inlineClass001\"><p class=\"x inlineClass002\">");
}

// A browser reads the first style and the first class attribute of a tag and drops the others.
TEST(InlineStyles, OnlyTheAttributesABrowserReadsTakePart) {
    const std::pair<const char*, const char*> cases[] = {
        // Once the first style became a class, the second would be read: both stay.
        {"<td style=\"background:#d9e2f3\" style=\"border:3pt dotted #f00\">",
         "<td style=\"background:#d9e2f3\" style=\"border:3pt dotted #f00\">"},
        {"<p style Style=\"color:red\">", "<p style Style=\"color:red\">"},
        {"<p class=\"muted\" class=\"big\" style=\"margin:0\">",
         "<p class=\"muted inlineClass001\" class=big>"},
        {"<p style=\"margin:0\" id=a class=x CLASS=y>",
         "<p class=\"inlineClass001 x\" id=a  CLASS=y>"},
        {"<p class=a style=\"color:blue\" class=b>", "<p class=\"a reused\" class=b>"},
    };
    for (const auto& [body, rewritten] : cases)
        EXPECT_EQ(RewriteBody(body, ".reused {color:blue}").page, rewritten) << body;
}

TEST(InlineStyles, SelfClosingAndBodyTagsAreConverted) {
    const RewrittenPage r("<html><body style=\"margin:0\"><img style=\"a:b\"/><br style=x />");
    EXPECT_EQ(r.rewrite.text,
              "<html><link rel=\"stylesheet\" type=\"text/css\" href=\"styles.css\" />"
              "<body class=\"inlineClass001\"><img class=\"inlineClass002\" /><br "
              "class=\"inlineClass003\" />");
}

TEST(InlineStyles, RegionStartsAtTheBodyTagOrCoversAPageWithoutOne) {
    const RewrittenPage r("<html style=\"a:b\"><head></head><body><p style=\"c:d\">");
    EXPECT_EQ(r.rewrite.text.find("<html style=\"a:b\">"), 0u);
    EXPECT_EQ(r.classes.list.size(), 1u);

    const RewrittenPage headless("<p style=\"a:b\">x</p>");
    EXPECT_EQ(headless.classes.list.size(), 1u);
}

TEST(InlineStyles, ThePagesOwnInlineClassesAreLeftAlone) {
    EXPECT_EQ(RewriteBody("<p class=inlineClass001 id=a>x</p>").page,
              "<p class=inlineClass001 id=a>x</p>");
}

TEST(InlineStyles, ThousandthClassHasFourDigits) {
    std::string body;
    // Distinct keys: a key ignores the order of characters, so the counts must differ.
    for (int i = 1; i <= 1000; ++i) body += "<p style=\"x:" + std::string(i, '1') + "\">";
    Rewrite r = RewriteBody(body);
    ASSERT_EQ(r.inlineClasses.size(), 1000u);
    EXPECT_EQ(r.inlineClasses[41].selector, ".inlineClass042");
    EXPECT_EQ(r.inlineClasses[998].selector, ".inlineClass999");
    EXPECT_EQ(r.inlineClasses[999].selector, ".inlineClass1000");
    EXPECT_NE(r.page.find("<p class=\"inlineClass1000\">"), std::string::npos);
}

TEST(InlineStyles, AnagramStylesKeepTheirOwnClasses) {
    Rewrite r = RewriteBody(
        "<p style=\"width:12px\">a</p><p style=\"width:21px\">b</p>"
        "<p style=\"top:1px;left:2px\">c</p><p style=\"left:1px;top:2px\">d</p>"
        "<p style=\"LEFT: 2px; top:1px\">e</p>",
        ".wide {width: 21px}");
    EXPECT_EQ(r.page,
              "<p class=\"inlineClass001\">a</p><p class=wide>b</p>"
              "<p class=\"inlineClass002\">c</p><p class=\"inlineClass003\">d</p>"
              "<p class=\"inlineClass002\">e</p>");
}

TEST(InlineStyles, CharacterReferencesAreDecodedBeforeTheKey) {
    Rewrite r = RewriteBody(
        "<p style=\"font-family:&quot;Times New Roman&quot;,serif\">a</p>"
        "<p style='font-family:\"Times New Roman\",serif'>b</p>");
    ASSERT_EQ(r.inlineClasses.size(), 1u);
    EXPECT_EQ(r.inlineClasses[0].declarations, "font-family:\"Times New Roman\",serif !important;");
    EXPECT_EQ(r.page, "<p class=\"inlineClass001\">a</p><p class=\"inlineClass001\">b</p>");
}

// A Shift_JIS page's style is decoded by its characters: the trail byte "\x5C" of the kanji
// "\x95\x5C" escapes no reference after it, and a lead byte with no trail byte never takes
// the character of a reference after it for one.
TEST(InlineStyles, DoubleBytePageDecodesReferencesByItsCharacters) {
    const TextCase cases[] = {
        {"font-family:'\x95\x5C&eacute;'", "font-family:'\x95\x5C\\E9 ' !important;"},
        {"font-family:\x95\x5C\\&eacute;", "font-family:\x95\x5C\\E9  !important;"},
        {"list-style-type:'\x95&#64;'", "list-style-type:'\\FFFD @' !important;"},
    };
    for (const TextCase& c : cases) {
        const RewrittenPage r("<head><meta charset=\"shift_jis\"></head><body><p style=\"" +
                              c.input + "\">x</p>");
        std::vector<Rule> classes = r.InlineClassRules();
        ASSERT_EQ(classes.size(), 1u) << c.input;
        EXPECT_EQ(classes[0].declarations, c.expected) << c.input;
    }
}

// Inline classes are numbered after the highest "inlineClassN" the page already names in its
// class attributes or header rules (an earlier run's, say), so that no name is used twice: in
// any ASCII case, as a page without doctype matches class names.
TEST(InlineStyles, ClassNumbersStartAfterTheHighestOfThePage) {
    struct Case {
        const char* body;
        const char* headerCss;
        const char* first;
    } cases[] = {
        {"", "", ".inlineClass001"},
        {"<p class=\"inlineClass007\">", "", ".inlineClass008"},
        {"<p class=\"x inlineClass012\ninlineClass3\"><i CLASS=inlineClass0009>", "",
         ".inlineClass013"},
        {"<p class=inlineClass1234>", "", ".inlineClass1235"},
        {"<p class=\"inlineClass05x inlineClass\" title=inlineClass060>", "", ".inlineClass001"},
        {"<p class=\"InlineClass050\"><i class=INLINECLASS051>", "", ".inlineClass052"},
        {"<p class=\"x inlineclass0007\">", "", ".inlineClass008"},
        {"<!-- <p class=inlineClass050> -->", "", ".inlineClass001"},
        {"<p class=\"inlineClass99999999999999999999999\">", "", ".inlineClass001"},
        {"", ".inlineClass020 {color:red}", ".inlineClass021"},
        {"", "p.inlineClass004, .a {x:y} .inlineClass5x {y:z}", ".inlineClass005"},
        {"", "@media print { .inlineClass030 {x:y} }", ".inlineClass031"},
        {"", ".INLINECLASS040 {x:y} p.InLiNeClAsS041 {y:z}", ".inlineClass042"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body + std::string(" / ") + c.headerCss);
        Rewrite r =
            RewriteBody(std::string(c.body) + "<b style=\"color:green\">x</b>", c.headerCss);
        ASSERT_EQ(r.inlineClasses.size(), 1u);
        EXPECT_EQ(r.inlineClasses[0].selector, c.first);
    }
}

// Where the classes are raised in the cascade, each style gets a class of its own numbering,
// named without its raising in the page, its declarations as important as they were written.
TEST(InlineStyles, RaisedClassesReuseNoHeaderClassAndKeepTheirImportance) {
    Rewrite r = RewriteBody(
        "<p style=\"color:red\" id=_>a</p><p style=\"margin:0 !important\">b</p>"
        "<p class=x style=\"color: red\">c</p><script></script>",
        ".warning {color:red} #a #b #c .x {margin:1px}");
    EXPECT_EQ(r.page,
              "<p class=\"inlineClass001\" id=_>a</p><p class=\"inlineClass002\">b</p>"
              "<p class=\"x inlineClass001\">c</p><script></script>");
    const std::string raised = ":not(#__):not(#__):not(#__):not(#__)";
    ASSERT_EQ(r.inlineClasses.size(), 2u);
    EXPECT_EQ(r.inlineClasses[0].selector, ".inlineClass001" + raised);
    EXPECT_EQ(r.inlineClasses[0].declarations, "color:red;");
    EXPECT_EQ(r.inlineClasses[1].selector, ".inlineClass002" + raised);
    EXPECT_EQ(r.inlineClasses[1].declarations, "margin:0 !important;");
}

TEST(InlineStyles, WholeRunWritesTheClassesIntoTheSheet) {
    const RewrittenPage r(
        "<head><style>.warning {color:red}</style></head><body>"
        "<p style=\"color:red\">a</p><p style=\"margin:0\">b</p>");
    EXPECT_EQ(r.Sheet(false),
              ".warning {color:red}\r\n/* Inline CSS extracted with stylewick (" STYLEWICK_WEBSITE
              ") */\r\n.inlineClass001\r\n{margin:0 !important;}\r\n");
}

}  // namespace

namespace {

// Values as e-mail tools and word processors write them, through the whole run on disk.
TEST(InlineStyles, ValuesWithReferencesImportantAndDataUrlsStayValidCss) {
    ScratchFolder folder;
    PageRun run =
        RunOnPage(folder,
                  "<body><p style=\"font-family:&quot;Times New Roman&quot;,serif\">a</p>"
                  "<p style=\"display:none !important; color:red\">b</p>"
                  "<p style=\"background:url(data:image/png;base64,AAA=);color:red\">c</p>"
                  "<p style='font-family:\"Times New Roman\",serif'>d</p></body>",
                  false);
    ASSERT_EQ(run.outcome.error, RunError::None);
    // The !important of one style stands outside the others: the classes are raised.
    EXPECT_EQ(run.sheet, InlineCommentLine() +
                             ".inlineClass001:not(#_):not(#_):not(#_)\r\n"
                             "{font-family:\"Times New Roman\",serif;}\r\n"
                             ".inlineClass002:not(#_):not(#_):not(#_)\r\n"
                             "{display:none !important;\r\n color:red;}\r\n"
                             ".inlineClass003:not(#_):not(#_):not(#_)\r\n"
                             "{background:url(data:image/png;base64,AAA=);\r\ncolor:red;}\r\n");
    EXPECT_NE(run.page.find("<p class=\"inlineClass001\">d</p>"), std::string::npos);
}

}  // namespace

}  // namespace engine
