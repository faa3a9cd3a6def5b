// Removal of lang attributes: exactly the attributes named lang of start tags other than the
// html element, whose lang gives the page its language.
#include <gtest/gtest.h>

#include "engine/page_rewriting.h"
#include "tests/support/text_case.h"

namespace engine {

namespace {

// `page` rewritten by the run between `before` and `after`, which it leaves as they are.
std::string Rewritten(const std::string& before, const std::string& page,
                      const std::string& after) {
    const std::string whole = before + page + after;
    RunProgress progress;
    InlineClasses classes;
    PageRewrite rewrite = RewritePage(whole, "s.css", classes, progress);
    EXPECT_EQ(rewrite.error, RunError::None);
    return rewrite.text.substr(before.size(), rewrite.text.size() - before.size() - after.size());
}

// Before the body tag, where style attributes stay.
std::string StripLangAttributes(const std::string& page) { return Rewritten("", page, "<body>"); }

// After the body tag, where no header style block is taken.
std::string StripLangAttributesInBody(const std::string& page) {
    return Rewritten("<body>", page, "");
}

TEST(LangStripping, RemovesLangAttributesOfStartTagsOnly) {
    const TextCase cases[] = {
        {"<html lang=\"en\">", "<html lang=\"en\">"},
        {"<HTML LANG=fr dir=\"ltr\">", "<HTML LANG=fr dir=\"ltr\">"},
        {"<p LANG=de>", "<p>"},
        {"<htmlx lang=\"en\">", "<htmlx>"},
        {"<div xml:lang=\"en\" lang=\"en\">", "<div xml:lang=\"en\">"},
        {"<a hreflang=\"de\" href=\"x\">", "<a hreflang=\"de\" href=\"x\">"},
        {"<p>use lang=en here</p>", "<p>use lang=en here</p>"},
        {"<p lang=\"en US\" id=a>", "<p id=a>"},
        {"<p lang = 'en' id=a>", "<p id=a>"},
        {"<p lang>x</p>", "<p>x</p>"},
        {"<p data-lang=x lang=y>", "<p data-lang=x>"},
        {"<span lang=EN-US style='color:red'>a</span><span lang=EN-US>b</span>",
         "<span style='color:red'>a</span><span>b</span>"},
        {"<p\r\nlang=EN-GB>", "<p\r\n>"},
        {"<p lang=x lang=y>", "<p>"},
        // An attribute right after the value keeps the space that parts it from the name.
        {"<p lang=\"en\"dir=ltr>", "<p dir=ltr>"},
        {"<p lang=fr\fid=a>", "<p\fid=a>"},
        {"<BODY LANG=\"en DIR=\"LTR\">", "<BODY LTR\">"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(StripLangAttributes(c.input), c.expected) << c.input;
}

TEST(LangStripping, LeavesCommentsScriptsAndStylesAlone) {
    const char* untouched[] = {
        "<!-- <p lang=en> -->",
        "<!--[if gte mso 9]><xml><w:LatentStyles lang=x></xml><![endif]-->",
        "<script>var s = '<p lang=en>';</script>",
        "<style>p[lang=en] {color:red}</style>",
        "<title>a <b lang=en></title>",
        "<xmp><p style=\"color: red\" lang=\"fr\"></xmp>",
        "<textarea><p style=\"a:b\" lang=x>&amp;</textarea>",
        "<iframe><p style=a:b lang=x></iframe><noembed><p style=a:b lang=x></noembed>",
        "<noframes><p style=a:b lang=x></noframes><noscript><p style=a:b lang=x></noscript>",
        "<plaintext><p style=a:b lang=x></plaintext><p style=a:b lang=x>",
        "<p title='a > b lang=c'>",
        "<p lang=\"never closed>",
    };
    for (const char* page : untouched) EXPECT_EQ(StripLangAttributesInBody(page), page) << page;
}

TEST(LangStripping, LineEndsDoNotChangeTheResult) {
    std::string lf = "<html lang=en>\n<body lang=EN-GB>\n<p lang=fr>x</p>\n";
    std::string crlf = "<html lang=en>\r\n<body lang=EN-GB>\r\n<p lang=fr>x</p>\r\n";
    EXPECT_EQ(StripLangAttributes(lf), "<html lang=en>\n<body>\n<p>x</p>\n");
    EXPECT_EQ(StripLangAttributes(crlf), "<html lang=en>\r\n<body>\r\n<p>x</p>\r\n");
}

}  // namespace

}  // namespace engine
