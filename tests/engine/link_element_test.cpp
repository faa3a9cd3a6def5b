// The header style block: which block is taken, what replaces it, what CSS it yields.
#include "engine/link_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "engine/character_references.h"
#include "engine/extraction_run.h"
#include "engine/output_writing.h"
#include "tests/support/corpus_pages.h"
#include "tests/support/page_run.h"
#include "tests/support/text_case.h"

namespace engine {

namespace {

const std::string kLink = "<link rel=\"stylesheet\" type=\"text/css\" href=\"styles.css\" />";

// The name of the file beside the page that a browser fetches for `href`, the value of a
// double-quoted attribute: the attribute ends at a '"' and a "&" there may begin a character
// reference ("<reference>" then); the URL loses the spaces and controls at its ends and its
// tabs and line breaks, ends at "#" or "?", names no scheme ("<scheme>" else), and has every
// escape decoded.
std::string FetchedName(std::string href) {
    href = href.substr(0, href.find('"'));
    for (size_t at = href.find('&'); at != std::string::npos; at = href.find('&', at + 1)) {
        char32_t first = 0, second = 0;
        if (ReadCharacterReference(std::string_view(href).substr(at), first, second) > 0)
            return "<reference>";
    }
    auto trimmed = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!href.empty() && trimmed(href.back())) href.pop_back();
    while (!href.empty() && trimmed(href.front())) href.erase(0, 1);
    for (char dropped : {'\t', '\n', '\r'})
        href.erase(std::remove(href.begin(), href.end(), dropped), href.end());
    href = href.substr(0, href.find_first_of("#?"));
    size_t schemeEnd = 0;
    while (schemeEnd < href.size() &&
           (std::isalnum(static_cast<unsigned char>(href[schemeEnd])) ||
            std::string_view("+-.").find(href[schemeEnd]) != std::string_view::npos))
        ++schemeEnd;
    if (schemeEnd > 0 && schemeEnd < href.size() && href[schemeEnd] == ':' &&
        std::isalpha(static_cast<unsigned char>(href[0])))
        return "<scheme>";
    std::string name;
    for (size_t i = 0; i < href.size(); ++i) {
        bool escape = href[i] == '%' && i + 2 < href.size() && IsHexDigit(href[i + 1]) &&
                      IsHexDigit(href[i + 2]);
        name += escape ? static_cast<char>(HexValue(href[i + 1]) * 16 + HexValue(href[i + 2]))
                       : href[i];
        if (escape) i += 2;
    }
    return name;
}

TEST(HeaderExtraction, CutsTheBlockInItsOwnCaseAndKeepsItsCss) {
    const RewrittenPage r("<HEAD><STYLE><!--\r\np { color: red }\r\n--></STYLE></HEAD><BODY>");
    EXPECT_EQ(r.rewrite.text, "<HEAD>" + kLink + "</HEAD><BODY>");
    EXPECT_EQ(r.rewrite.header.Css(), "p { color: red }");
    EXPECT_TRUE(r.rewrite.hasHeaderBlock);
}

TEST(HeaderExtraction, TrimsOnlyLineBreaksAtTheEnds) {
    const RewrittenPage r("<style>\r\n  p{color:red}\r\n  </style><body>");
    EXPECT_EQ(r.rewrite.header.Css(), "  p{color:red}\r\n  ");
    EXPECT_EQ(RewrittenPage("<style>p{color:red}</style><body>").rewrite.header.Css(),
              "p{color:red}");
}

TEST(HeaderExtraction, CommentMarkersGoEvenInsideCssComments) {
    const RewrittenPage r("<style>/* <!-- a --> */ p{b:c}</style><body>");
    EXPECT_EQ(r.rewrite.header.Css(), "/*  a  */ p{b:c}");
}

// The header CSS stays where the page holds it unless markers inside it must go: a block of
// many megabytes is then not held twice.
TEST(HeaderExtraction, CssIsKeptInThePageWhenMarkersStandOnlyAtItsEnds) {
    struct Case {
        const char* inner;
        const char* css;
        bool inPage;
    } cases[] = {
        {"p{a:b}", "p{a:b}", true},
        {"\r\n<!--\r\np{a:b}\r\n-->\r\n", "p{a:b}", true},
        {"<!---->\r\n<!--p{a:b}-->\n-->", "p{a:b}", true},
        {"\r\n\r\n", "", true},
        {"<!-- p{a:b} -->", " p{a:b} ", true},
        {"p{a:b}<!--\r\nq{c:d}-->", "p{a:b}\r\nq{c:d}", false},
        {"-<!---->x{a:b}", "-x{a:b}", false},  // what a removal joins is not removed again
        {"a<!-->{b:c}", "a>{b:c}", false},
    };
    for (const Case& c : cases) {
        const RewrittenPage r("<style>" + std::string(c.inner) + "</style><body>");
        EXPECT_EQ(r.rewrite.header.Css(), c.css) << c.inner;
        EXPECT_EQ(r.rewrite.header.Css(), HeaderCssOf(c.inner)) << c.inner;
        EXPECT_EQ(r.rewrite.header.inOwn, !c.inPage) << c.inner;
    }
}

TEST(HeaderExtraction, EmptyBlockBecomesTheLinkWithoutRules) {
    const RewrittenPage r("<head><style></style></head><body>");
    EXPECT_EQ(r.rewrite.text, "<head>" + kLink + "</head><body>");
    EXPECT_EQ(r.rewrite.header.Css(), "");
    EXPECT_TRUE(r.rewrite.header.rules.empty());
}

TEST(HeaderExtraction, OnlyAPlainStyleTagBeforeTheBodyCounts) {
    const char* untouched[] = {
        "<head><style type=\"text/css\">p{a:b}</style></head><body>",
        "<head></head><body><style>p{a:b}</style>",
        "<style>p{a:b}</style><p>no body tag at all</p>",
        "<head><style >p{a:b}</style></head><body>",
    };
    for (const char* page : untouched) {
        const RewrittenPage r(page);
        EXPECT_EQ(r.rewrite.text, page);
        EXPECT_EQ(r.rewrite.header.Css(), "");
        EXPECT_FALSE(r.rewrite.hasHeaderBlock);
    }
}

TEST(HeaderExtraction, SameBlocksBecomeLinksOthersStay) {
    const RewrittenPage r(
        "<style>p{a:b}</style><style>h1{c:d}</style><style>p{a:b}</style><body>"
        "<style>p{a:b}</style><!--<style>p{a:b}</style>-->");
    EXPECT_EQ(r.rewrite.text, kLink + "<style>h1{c:d}</style>" + kLink + "<body>" + kLink +
                                  "<!--<style>p{a:b}</style>-->");
    EXPECT_EQ(r.rewrite.header.Css(), "p{a:b}");
}

TEST(HeaderExtraction, SkipsBlocksAndBodyTagsInCommentsAndScripts) {
    // Word pages put a VML block in a conditional comment before the real style sheet.
    std::string vml =
        "<!--[if !mso]>\n<style>\nv\\:* {behavior:url(#default#VML);}\n</style>\n"
        "<![endif]-->\n";
    std::string script = "<script>document.write('<body><style>x{}</style>');</script>\n";
    std::string page = vml + script + "<style>\n<!--\n p.MsoNormal {margin:0}\n-->\n</style>\n" +
                       "<!-- <body> -->\n</head>\n<body lang=EN-US>";
    const RewrittenPage r(page);
    EXPECT_EQ(r.rewrite.text, vml + script + kLink + "\n<!-- <body> -->\n</head>\n<body>");
    EXPECT_EQ(r.rewrite.header.Css(), " p.MsoNormal {margin:0}");
    ASSERT_EQ(r.rewrite.header.rules.size(), 1u);
    EXPECT_EQ(r.rewrite.header.Selector(r.rewrite.header.rules[0]), "p.MsoNormal");
}

TEST(HeaderExtraction, StyleInRawTextIsNotTheBlock) {
    // A browser that runs scripts reads noscript as text: a link there would never be read.
    std::string before = "<head><noscript><style>.g{a:b}</style></noscript><xmp><style>x{}</xmp>";
    const RewrittenPage r(before + "<style>p{c:d}</style></head><body>");
    EXPECT_EQ(r.rewrite.text, before + kLink + "</head><body>");
    EXPECT_EQ(r.rewrite.header.Css(), "p{c:d}");
    // Nor is one in a template, whose contents are no part of the page until a script uses them.
    std::string templates = "<head><template><style>.g{a:b}</style><body></head></template>";
    const RewrittenPage inTemplate(templates + "<style>p{c:d}</style></head><body>");
    EXPECT_EQ(inTemplate.rewrite.text, templates + kLink + "</head><body>");
}

TEST(HeaderExtraction, StyleInsideCommentWithoutRealBlockExtractsNothing) {
    std::string page = "<!--[if gte mso 10]><style>table.x{a:b}</style><![endif]--><body><p>x";
    const RewrittenPage r(page);
    EXPECT_EQ(r.rewrite.text, page);
    EXPECT_EQ(r.rewrite.header.Css(), "");
}

TEST(HeaderExtraction, OnlyARealEndTagEndsTheBlockForTheReader) {
    // "</stylea>" does not end a style element: the block runs to "</style>", and the body
    // tag after it is a tag, as a browser reads the page.
    const RewrittenPage r("<style>p{a:b}</stylea><a s='</style><body class=x>");
    EXPECT_EQ(r.rewrite.header.Css(), "p{a:b}</stylea><a s='");
    EXPECT_EQ(r.rewrite.text, kLink + "<body class=x>");
}

TEST(HeaderExtraction, BlockEndsWhereABrowserEndsTheStyleElement) {
    for (const char* end : {"</style>", "</style >", "</STYLE\r\n>", "</style/>", "</style x>"}) {
        const RewrittenPage r(std::string("<head><style>p{a:b}") + end + "</head><body>");
        EXPECT_EQ(r.rewrite.text, "<head>" + kLink + "</head><body>") << end;
        EXPECT_EQ(r.rewrite.header.Css(), "p{a:b}") << end;
    }
    // A start tag left plain once its lang attribute is gone opens the block too.
    EXPECT_EQ(RewrittenPage("<style lang=en>p{a:b}</style><body>").rewrite.text, kLink + "<body>");
    RewrittenPage("<style>p{a:b}</style<body>", RunError::StyleBlockUnclosed);
}

TEST(HeaderExtraction, MalformedBlocksStopTheRun) {
    RewrittenPage("<style>p{a:b}<body>", RunError::StyleBlockUnclosed);
    RewrittenPage("<style>p{a:b}}</style><body>", RunError::BracesMismatch);
    // Without a body the unclosed block is simply not a header block.
    EXPECT_EQ(RewrittenPage("<style>p{a:b}").rewrite.text, "<style>p{a:b}");
}

// In Shift_JIS the katakana "\x83\x7D" ends in the byte of "}": it is no brace.
TEST(HeaderExtraction, DoubleBytePageKeepsItsCharactersWhole) {
    std::string head = "<head><meta charset=\"shift_jis\"><style>.\x83\x7D {color:red}</style>";
    const RewrittenPage r(head + "</head><body><p class=\"\x83\x7D\">");
    ASSERT_EQ(r.rewrite.header.rules.size(), 1u);
    EXPECT_EQ(r.rewrite.header.Selector(r.rewrite.header.rules[0]), ".\x83\x7D");
    RewrittenPage("<style>.\x83\x7D {color:red}</style><body>", RunError::BracesMismatch);
}

TEST(HeaderExtraction, LinkNamesTheSheetAsTyped) {
    EXPECT_EQ(LinkElement(""), "<link rel=\"stylesheet\" type=\"text/css\" href=\"\" />");
    EXPECT_EQ(LinkElement("css\\site.css"),
              "<link rel=\"stylesheet\" type=\"text/css\" href=\"css\\site.css\" />");
}

TEST(HeaderExtraction, HrefEncodesWhatTheAttributeOrTheUrlWouldReadOtherwise) {
    const TextCase cases[] = {
        {"styles.css", "styles.css"},  // the rest of ASCII stays byte for byte
        {"my site/css\\a b;c'd=e.css", "my site/css\\a b;c'd=e.css"},
        {"this&that.css", "this&that.css"},  // no character reference
        {"css/v1:2.css", "css/v1:2.css"},    // no scheme after a "/"
        {"site 100%.css", "site 100%25.css"},
        {"%41.css", "%2541.css"},
        {"a#b.css", "a%23b.css"},
        {"x.css?v=1", "x.css%3Fv=1"},
        {"x\".css", "x%22.css"},
        {"c:x.css", "c%3Ax.css"},
        {"a:b:c/d:e.css", "a%3Ab%3Ac/d:e.css"},
        {"&copy.css", "%26copy.css"},
        {"a&amp;b&#65;.css", "a%26amp;b%26%2365;.css"},
        {"tab\there\r\n.css", "tab%09here%0D%0A.css"},
        {"  styles.css ", "%20%20styles.css%20"},
        {" ", "%20"},
        {"été.css", "%C3%A9t%C3%A9.css"},
        {"Ωμέγα 😀.css", "%CE%A9%CE%BC%CE%AD%CE%B3%CE%B1 %F0%9F%98%80.css"},
        {"\xE9.css", "%E9.css"},  // not UTF-8 (a POSIX name): each byte as it is
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(SheetHref(c.input), c.expected) << c.input;
        EXPECT_EQ(SheetNameOfHref(c.expected), c.input) << c.expected;
    }
    EXPECT_EQ(LinkElement("é.css"),
              "<link rel=\"stylesheet\" type=\"text/css\" href=\"%C3%A9.css\" />");
}

// Every byte, alone, beside a "%" and at the ends of a name: a browser fetches the file of that
// name, and the href reads back as the name.
TEST(HeaderExtraction, HrefOfEveryByteNamesTheFile) {
    for (int b = 0; b < 256; ++b) {
        std::string byte(1, static_cast<char>(b));
        for (const std::string& name : {"a" + byte + "b.css", byte + "%2" + byte + "0",
                                        "%20" + byte + byte + "%3A", byte + "x/" + byte}) {
            std::string href = SheetHref(name);
            EXPECT_EQ(FetchedName(href), name) << href;
            EXPECT_EQ(SheetNameOfHref(href), name) << href;
        }
    }
}

// Links of earlier versions, which wrote every ASCII byte as it is, name the sheet they named.
TEST(HeaderExtraction, EarlierLinksNameTheirSheets) {
    const TextCase cases[] = {
        {"styles.css", "styles.css"},       {"%41.css", "%41.css"},
        {"site 100%.css", "site 100%.css"}, {"my%20page.css", "my%20page.css"},
        {"a#b?c.css", "a#b?c.css"},         {"this&amp;that.css", "this&amp;that.css"},
        {"%C3%A9t%c3%a9.css", "été.css"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(SheetNameOfHref(c.input), c.expected) << c.input;
}

// The whole run links a sheet of such a name where it is, and a second run sees that the page
// links it.
TEST(HeaderExtraction, SheetOfAnyNameIsLinkedWhereItIs) {
    for (std::string sheet : {"a#b.css", "%41.css", "x.css?v=1", " s1.css"}) {
        ScratchFolder folder;
        PageRun run = RunOnPage(folder, "<head><style>p{a:b}</style></head><body>", true, sheet);
        ASSERT_EQ(run.outcome.error, RunError::None) << sheet;
        EXPECT_TRUE(folder.Has(sheet)) << sheet;
        size_t href = run.page.find("href=\"") + 6;
        EXPECT_EQ(FetchedName(run.page.substr(href, run.page.find("\" />", href) - href)), sheet);
        PageRun again = RunOnPage(folder, run.page + "<p style=\"c:d\">", true, sheet);
        EXPECT_EQ(again.outcome.error, RunError::PageConvertedBefore) << sheet;
    }
}

TEST(HeaderExtraction, PageWithoutBlockGetsLinkOnlyWhenStylesMove) {
    EXPECT_EQ(
        RewrittenPage("<head><title>t</title></head><body><p style=\"a:b\">x</p>").rewrite.text,
        "<head><title>t</title>" + kLink + "</head><body><p class=\"inlineClass001\">x</p>");
    EXPECT_EQ(RewrittenPage("<BODY><p style=\"a:b\">").rewrite.text,
              kLink + "<BODY><p class=\"inlineClass001\">");
    EXPECT_EQ(RewrittenPage("<p style=\"a:b\">").rewrite.text,
              kLink + "<p class=\"inlineClass001\">");
    EXPECT_EQ(RewrittenPage("<head></head><body><p>x</p>").rewrite.text,
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
        // A base element in a template, however deep, is none of the page's.
        {"<head><template><template></template>" + base +
             "</template><style>p{a:b}</style></head><body>",
         "<head><template><template></template>" + base + "</template>" + kLink + "</head><body>"},
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
        EXPECT_EQ(RewrittenPage(page).rewrite.text, rewritten) << page;
}

// A brace inside a comment opens no rule, nor does one inside brackets: a "<![CDATA[" wrapper
// makes the whole text the selector of a rule that never opens, which the sheet then closes.
TEST(HeaderExtraction, CssWithoutRulesIsKeptInBothLayouts) {
    struct Case {
        std::string css;
        std::string closers;  // what the sheet writes after it, before the inline classes
    } cases[] = {
        {"@import url(base.css);", ""},
        {"@import url(base.css); /* { } */", ""},
        {"@import url(base.css);\n<![CDATA[\n.hide{display:none}\n]]>", "{}\r\n"},
        {"@import url(base.css) supports(a{b});", ""},
    };
    for (const Case& c : cases) {
        const RewrittenPage r("<style>" + c.css + "</style><body>");
        EXPECT_TRUE(r.rewrite.header.rules.empty()) << c.css;
        for (bool cleaned : {false, true}) {
            std::string sheet = r.Sheet(cleaned);
            EXPECT_EQ(sheet.rfind(c.css + "\r\n" + c.closers + "/* Inline CSS", 0), 0u) << sheet;
        }
    }
}

TEST(HeaderExtraction, CorpusWordPagesGetTheirMainStyleSheetLinked) {
    SKIP_WITHOUT_CORPUS();
    const char* pages[] = {"word2013-manual-large.htm", "word2013-report-crlf.htm",
                           "word2007-manual-crlf.htm", "word2003-readme.html",
                           "publisher-web-page.htm"};
    for (const char* name : pages) {
        std::string original = CorpusPage(name);
        const RewrittenPage r(original);
        EXPECT_TRUE(r.rewrite.hasHeaderBlock) << name;
        EXPECT_EQ(r.rewrite.header.Css().find("v\\:*"), std::string::npos) << name;
        EXPECT_GT(r.rewrite.header.rules.size(), 5u) << name;
        // The link stands outside every comment: no "<!--" opens between it and the page start
        // without a "-->" closing after it.
        size_t link = r.rewrite.text.find(kLink);
        ASSERT_NE(link, std::string::npos) << name;
        std::string before = r.rewrite.text.substr(0, link);
        size_t lastOpen = before.rfind("<!--");
        EXPECT_TRUE(lastOpen == std::string::npos ||
                    before.find("-->", lastOpen) != std::string::npos)
            << name;
        // The VML block in its conditional comment is still there, as it was.
        size_t vml = original.find("<!--[if !mso]>");
        if (vml != std::string::npos) {
            std::string block = original.substr(vml, original.find("<![endif]-->", vml) - vml);
            EXPECT_NE(r.rewrite.text.find(block), std::string::npos) << name;
        }
    }
}

}  // namespace

}  // namespace engine
