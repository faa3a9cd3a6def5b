// The header style block: which block is taken, what replaces it, what CSS it yields.
#include "engine/header_extraction.h"

#include <gtest/gtest.h>

#include "engine/extraction_run.h"
#include "engine/output_writing.h"
#include "tests/support/corpus_pages.h"
#include "tests/support/page_run.h"

namespace {

const std::string kLink = "<link rel=\"stylesheet\" type=\"text/css\" href=\"styles.css\" />";

TEST(HeaderExtraction, CutsTheBlockInItsOwnCaseAndKeepsItsCss) {
    RunState state =
        RewrittenState("<HEAD><STYLE><!--\r\np { color: red }\r\n--></STYLE></HEAD><BODY>");
    EXPECT_EQ(state.pageText, "<HEAD>" + kLink + "</HEAD><BODY>");
    EXPECT_EQ(state.headerCss, "p { color: red }");
    EXPECT_TRUE(state.hasHeaderBlock);
}

TEST(HeaderExtraction, TrimsOnlyLineBreaksAtTheEnds) {
    RunState state = RewrittenState("<style>\r\n  p{color:red}\r\n  </style><body>");
    EXPECT_EQ(state.headerCss, "  p{color:red}\r\n  ");
    EXPECT_EQ(RewrittenState("<style>p{color:red}</style><body>").headerCss, "p{color:red}");
}

TEST(HeaderExtraction, CommentMarkersGoEvenInsideCssComments) {
    RunState state = RewrittenState("<style>/* <!-- a --> */ p{b:c}</style><body>");
    EXPECT_EQ(state.headerCss, "/*  a  */ p{b:c}");
}

TEST(HeaderExtraction, EmptyBlockBecomesTheLinkWithoutRules) {
    RunState state = RewrittenState("<head><style></style></head><body>");
    EXPECT_EQ(state.pageText, "<head>" + kLink + "</head><body>");
    EXPECT_EQ(state.headerCss, "");
    EXPECT_TRUE(state.headerRules.empty());
}

TEST(HeaderExtraction, OnlyAPlainStyleTagBeforeTheBodyCounts) {
    const char* untouched[] = {
        "<head><style type=\"text/css\">p{a:b}</style></head><body>",
        "<head></head><body><style>p{a:b}</style>",
        "<style>p{a:b}</style><p>no body tag at all</p>",
        "<head><style >p{a:b}</style></head><body>",
    };
    for (const char* page : untouched) {
        RunState state = RewrittenState(page);
        EXPECT_EQ(state.pageText, page);
        EXPECT_EQ(state.headerCss, "");
        EXPECT_FALSE(state.hasHeaderBlock);
    }
}

TEST(HeaderExtraction, SameBlocksBecomeLinksOthersStay) {
    RunState state = RewrittenState(
        "<style>p{a:b}</style><style>h1{c:d}</style><style>p{a:b}</style><body>"
        "<style>p{a:b}</style><!--<style>p{a:b}</style>-->");
    EXPECT_EQ(state.pageText, kLink + "<style>h1{c:d}</style>" + kLink + "<body>" + kLink +
                                  "<!--<style>p{a:b}</style>-->");
    EXPECT_EQ(state.headerCss, "p{a:b}");
}

TEST(HeaderExtraction, SkipsBlocksAndBodyTagsInCommentsAndScripts) {
    // Word pages put a VML block in a conditional comment before the real style sheet.
    std::string vml =
        "<!--[if !mso]>\n<style>\nv\\:* {behavior:url(#default#VML);}\n</style>\n"
        "<![endif]-->\n";
    std::string script = "<script>document.write('<body><style>x{}</style>');</script>\n";
    std::string page = vml + script + "<style>\n<!--\n p.MsoNormal {margin:0}\n-->\n</style>\n" +
                       "<!-- <body> -->\n</head>\n<body lang=EN-US>";
    RunState state = RewrittenState(page);
    EXPECT_EQ(state.pageText, vml + script + kLink + "\n<!-- <body> -->\n</head>\n<body>");
    EXPECT_EQ(state.headerCss, " p.MsoNormal {margin:0}");
    ASSERT_EQ(state.headerRules.size(), 1u);
    EXPECT_EQ(state.headerRules[0].selector, "p.MsoNormal");
}

TEST(HeaderExtraction, StyleInRawTextIsNotTheBlock) {
    // A browser that runs scripts reads noscript as text: a link there would never be read.
    std::string before = "<head><noscript><style>.g{a:b}</style></noscript><xmp><style>x{}</xmp>";
    RunState state = RewrittenState(before + "<style>p{c:d}</style></head><body>");
    EXPECT_EQ(state.pageText, before + kLink + "</head><body>");
    EXPECT_EQ(state.headerCss, "p{c:d}");
    // Nor is one in a template, whose contents are no part of the page until a script uses them.
    std::string templates = "<head><template><style>.g{a:b}</style><body></head></template>";
    state = RewrittenState(templates + "<style>p{c:d}</style></head><body>");
    EXPECT_EQ(state.pageText, templates + kLink + "</head><body>");
}

TEST(HeaderExtraction, StyleInsideCommentWithoutRealBlockExtractsNothing) {
    std::string page = "<!--[if gte mso 10]><style>table.x{a:b}</style><![endif]--><body><p>x";
    RunState state = RewrittenState(page);
    EXPECT_EQ(state.pageText, page);
    EXPECT_EQ(state.headerCss, "");
}

TEST(HeaderExtraction, OnlyARealEndTagEndsTheBlockForTheReader) {
    // "</stylea>" does not end a style element: the block runs to "</style>", and the body
    // tag after it is a tag, as a browser reads the page.
    RunState state = RewrittenState("<style>p{a:b}</stylea><a s='</style><body class=x>");
    EXPECT_EQ(state.headerCss, "p{a:b}</stylea><a s='");
    EXPECT_EQ(state.pageText, kLink + "<body class=x>");
}

TEST(HeaderExtraction, BlockEndsWhereABrowserEndsTheStyleElement) {
    for (const char* end : {"</style>", "</style >", "</STYLE\r\n>", "</style/>", "</style x>"}) {
        RunState state = RewrittenState(std::string("<head><style>p{a:b}") + end + "</head><body>");
        EXPECT_EQ(state.pageText, "<head>" + kLink + "</head><body>") << end;
        EXPECT_EQ(state.headerCss, "p{a:b}") << end;
    }
    // A start tag left plain once its lang attribute is gone opens the block too.
    EXPECT_EQ(RewrittenState("<style lang=en>p{a:b}</style><body>").pageText, kLink + "<body>");
    RewrittenState("<style>p{a:b}</style<body>", RunError::StyleBlockUnclosed);
}

TEST(HeaderExtraction, MalformedBlocksStopTheRun) {
    RewrittenState("<style>p{a:b}<body>", RunError::StyleBlockUnclosed);
    RewrittenState("<style>p{a:b}}</style><body>", RunError::BracesMismatch);
    // Without a body the unclosed block is simply not a header block.
    EXPECT_EQ(RewrittenState("<style>p{a:b}").pageText, "<style>p{a:b}");
}

// In Shift_JIS the katakana "\x83\x7D" ends in the byte of "}": it is no brace.
TEST(HeaderExtraction, DoubleBytePageKeepsItsCharactersWhole) {
    std::string head = "<head><meta charset=\"shift_jis\"><style>.\x83\x7D {color:red}</style>";
    RunState state = RewrittenState(head + "</head><body><p class=\"\x83\x7D\">");
    ASSERT_EQ(state.headerRules.size(), 1u);
    EXPECT_EQ(state.headerRules[0].selector, ".\x83\x7D");
    RewrittenState("<style>.\x83\x7D {color:red}</style><body>", RunError::BracesMismatch);
}

TEST(HeaderExtraction, LinkNamesTheSheetAsTyped) {
    EXPECT_EQ(LinkElement(""), "<link rel=\"stylesheet\" type=\"text/css\" href=\"\" />");
    EXPECT_EQ(LinkElement("css\\site.css"),
              "<link rel=\"stylesheet\" type=\"text/css\" href=\"css\\site.css\" />");
}

TEST(HeaderExtraction, HrefKeepsAsciiBytesAndPercentEncodesTheRest) {
    const std::pair<const char*, const char*> cases[] = {
        {"site 100%.css", "site 100%.css"},  // ASCII stays byte for byte, even "%" and " "
        {"a#b?c\\d/e.css", "a#b?c\\d/e.css"},
        {"été.css", "%C3%A9t%C3%A9.css"},
        {"Ωμέγα 😀.css", "%CE%A9%CE%BC%CE%AD%CE%B3%CE%B1 %F0%9F%98%80.css"},
        {"\xE9.css", "%E9.css"},  // not UTF-8 (a POSIX name): each byte as it is
    };
    for (const auto& [name, href] : cases) {
        EXPECT_EQ(SheetHref(name), href) << name;
        EXPECT_EQ(SheetNameOfHref(href), name) << href;
    }
    EXPECT_EQ(LinkElement("é.css"),
              "<link rel=\"stylesheet\" type=\"text/css\" href=\"%C3%A9.css\" />");
}

TEST(HeaderExtraction, PageWithoutBlockGetsLinkOnlyWhenStylesMove) {
    EXPECT_EQ(RewrittenState("<head><title>t</title></head><body><p style=\"a:b\">x</p>").pageText,
              "<head><title>t</title>" + kLink + "</head><body><p class=\"inlineClass001\">x</p>");
    EXPECT_EQ(RewrittenState("<BODY><p style=\"a:b\">").pageText,
              kLink + "<BODY><p class=\"inlineClass001\">");
    EXPECT_EQ(RewrittenState("<p style=\"a:b\">").pageText, kLink + "<p class=\"inlineClass001\">");
    EXPECT_EQ(RewrittenState("<head></head><body><p>x</p>").pageText,
              "<head></head><body><p>x</p>");
}

// The link resolves beside the page: a base element before its place would send it elsewhere.
// Without "</head>" and "<body" it goes past the byte-order mark and the doctype, which a
// browser reads only at the start of the page.
TEST(HeaderExtraction, LinkStandsWhereItIsReadBesideThePage) {
    const std::string base = "<base href=\"https://example.org/blog/\">";
    const std::pair<std::string, std::string> cases[] = {
        {"<head>" + base + "<style>p{a:b}</style></head><body><style>p{a:b}</style>",
         "<head>" + kLink + base + "</head><body><style>p{a:b}</style>"},
        {"<head><style>p{a:b}</style>" + base + "</head><body>",
         "<head>" + kLink + base + "</head><body>"},
        {"<head><base target=_top></head><body><p style=\"a:b\">",
         "<head><base target=_top>" + kLink + "</head><body><p class=\"inlineClass001\">"},
        {"<head>" + base + "</head><body><p style=\"a:b\">",
         "<head>" + kLink + base + "</head><body><p class=\"inlineClass001\">"},
        {"\xEF\xBB\xBF<!DOCTYPE html>\n<p style=\"a:b\">",
         "\xEF\xBB\xBF<!DOCTYPE html>" + kLink + "\n<p class=\"inlineClass001\">"},
        {"<!-- c --><!doctype html><html><p style=\"a:b\"><!DOCTYPE x>",
         "<!-- c --><!doctype html>" + kLink + "<html><p class=\"inlineClass001\"><!DOCTYPE x>"},
        {"\xEF\xBB\xBF<p style=\"a:b\">", "\xEF\xBB\xBF" + kLink + "<p class=\"inlineClass001\">"},
    };
    for (const auto& [page, rewritten] : cases)
        EXPECT_EQ(RewrittenState(page).pageText, rewritten) << page;
}

TEST(HeaderExtraction, CssWithoutRulesIsKeptInBothLayouts) {
    RunState state = RewrittenState("<style>@import url(base.css);</style><body>");
    EXPECT_TRUE(state.headerRules.empty());
    for (bool cleaned : {false, true}) {
        std::string sheet = StyleSheetText(state, cleaned);
        EXPECT_EQ(sheet.rfind("@import url(base.css);\r\n/* Inline CSS", 0), 0u) << sheet;
    }
}

TEST(HeaderExtraction, CorpusWordPagesGetTheirMainStyleSheetLinked) {
    const char* pages[] = {"word2013-manual-large.htm", "word2013-report-crlf.htm",
                           "word2007-manual-crlf.htm", "word2003-readme.html",
                           "publisher-web-page.htm"};
    for (const char* name : pages) {
        std::string original = CorpusPage(name);
        RunState state = RewrittenState(original);
        EXPECT_TRUE(state.hasHeaderBlock) << name;
        EXPECT_EQ(state.headerCss.find("v\\:*"), std::string::npos) << name;
        EXPECT_GT(state.headerRules.size(), 5u) << name;
        // The link stands outside every comment: no "<!--" opens between it and the page start
        // without a "-->" closing after it.
        size_t link = state.pageText.find(kLink);
        ASSERT_NE(link, std::string::npos) << name;
        std::string before = state.pageText.substr(0, link);
        size_t lastOpen = before.rfind("<!--");
        EXPECT_TRUE(lastOpen == std::string::npos ||
                    before.find("-->", lastOpen) != std::string::npos)
            << name;
        // The VML block in its conditional comment is still there, as it was.
        size_t vml = original.find("<!--[if !mso]>");
        if (vml != std::string::npos) {
            std::string block = original.substr(vml, original.find("<![endif]-->", vml) - vml);
            EXPECT_NE(state.pageText.find(block), std::string::npos) << name;
        }
    }
}

}  // namespace
