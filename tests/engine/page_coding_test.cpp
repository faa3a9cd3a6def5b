// Pages in UTF-16 and ISO-2022-JP: read in a form of the run's own, written back in their coding.
#include "engine/page_coding.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/output_writing.h"
#include "tests/support/page_run.h"

namespace engine {

namespace {

using namespace std::string_literals;

const std::string kJapanese = "\x1B$B\"(Cm0U\x1B(B";  // "※注意" between its escapes

TEST(PageCoding, TellsTheCodingByTheMarkOrTheDeclaration) {
    const std::pair<std::string, PageCoding> cases[] = {
        {"\xFF\xFE<\0p\0"s, PageCoding::Utf16Le},
        {"\xFE\xFF\0<\0p"s, PageCoding::Utf16Be},
        {"\xFF\xFE<\0p"s, PageCoding::AsIs},  // an odd size is no UTF-16
        {"<meta charset=ISO-2022-JP>" + kJapanese, PageCoding::Iso2022Jp},
        {"<meta http-equiv=content-type content='text/html; charset=csISO2022JP'>" + kJapanese,
         PageCoding::Iso2022Jp},
        {"<meta charset=iso-2022-jp><p>plain", PageCoding::AsIs},  // ASCII alone reads alike
        {"<p>" + kJapanese, PageCoding::Iso2022Jp},  // declares nothing, escapes into Japanese
        {"<meta charset=utf-8><p>" + kJapanese, PageCoding::AsIs},
        {"<meta charset=iso-2022-jp>\xE9" + kJapanese, PageCoding::AsIs},  // not ASCII
        {"<p>\x1B(B plain", PageCoding::AsIs},
        {"<p>plain", PageCoding::AsIs},
    };
    for (const auto& [page, coding] : cases) EXPECT_EQ(PageCodingOf(page), coding) << page;
}

TEST(PageCoding, EveryPageComesBackAsItWas) {
    const std::pair<std::string, PageCoding> cases[] = {
        {"\xFF\xFE<\0\xE9\0=\xD8\0\xDE\x3D\xD8 \0\0\xDC"s, PageCoding::Utf16Le},  // lone surrogates
        {"\xFE\xFF\0<\x03\xA9\xD8\x3D\xDE\0\xDC\0"s, PageCoding::Utf16Be},
        {"<p a=\"" + kJapanese + "\">\r\n\x1B$B$\"\r\n", PageCoding::Iso2022Jp},
    };
    for (const auto& [page, coding] : cases)
        EXPECT_EQ(FromRunText(ToRunText(page, coding), coding), page) << page;
}

TEST(PageCoding, RunTextHoldsNoMarkupOrCssInJapaneseCharacters) {
    EXPECT_EQ(ToRunText("\xFF\xFE<\0\xE9\0=\xD8\0\xDE"s, PageCoding::Utf16Le),
              "\xEF\xBB\xBF<\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(ToRunText("a\x1B$B\"(\x1B(B;\x1B$@{}\x1B(J\"", PageCoding::Iso2022Jp),
              "a\x9B\xA4\xC2\xA2\xA8\x9B\xA8\xC2;\x9B\xA4\xC0\xFB\xFD\x9B\xA8\xCA\"");
    EXPECT_EQ(SheetBytes("p{}", PageCoding::Utf16Be), "\xEF\xBB\xBFp{}");
    EXPECT_EQ(SheetBytes(".\x9B\xA4\xC2\xC3\xED\x9B\xA8\xC2{}", PageCoding::Iso2022Jp),
              ".\x1B$BCm\x1B(B{}");
}

// Through a whole run: the tags rewritten, every other byte of the page as it was.
TEST(PageCoding, RunsConvertPagesInTheirCoding) {
    auto utf16 = [](const std::string& ascii) {
        std::string page = "\xFF\xFE";
        for (char c : ascii) page += std::string{c, '\0'};
        return page;
    };
    ScratchFolder folder;
    PageRun run = RunOnPage(
        folder, utf16("<head><style>.a{b:c}</style></head><body><p style=\"x:y\">\xE9</p>"), true);
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_EQ(run.page, utf16("<head><link rel=\"stylesheet\" type=\"text/css\" "
                              "href=\"styles.css\" /></head><body><p "
                              "class=\"inlineClass001\">\xE9</p>"));
    EXPECT_EQ(run.sheet.compare(0, 3, "\xEF\xBB\xBF"), 0);
    // A sheet whose first line is the inline comment line is known as one the tool wrote.
    ScratchFolder bare;
    run = RunOnPage(bare, utf16("<p style=\"x:y\">"), true);
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_EQ(run.sheet,
              "\xEF\xBB\xBF" + InlineCommentLine() + ".inlineClass001\r\n{x:y !important;}\r\n");
    EXPECT_TRUE(HoldsInlineCommentLine(run.sheet));

    ScratchFolder jis;
    const std::string page = "<meta charset=iso-2022-jp><style>." + kJapanese +
                             " {color:red}</style><body><p class=\"" + kJapanese + "\" title=\"" +
                             kJapanese + "\" style=\"font-family:'" + kJapanese + "'\">";
    run = RunOnPage(jis, page, true);
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_EQ(run.page,
              "<meta charset=iso-2022-jp><link rel=\"stylesheet\" type=\"text/css\" "
              "href=\"styles.css\" /><body><p class=\"" +
                  kJapanese + " inlineClass001\" title=\"" + kJapanese + "\">");
    EXPECT_NE(run.sheet.find("\r\n." + kJapanese + "\r\n{color:red}"), std::string::npos);
    EXPECT_NE(run.sheet.find("{font-family:'" + kJapanese + "' !important;}"), std::string::npos);
}

}  // namespace

}  // namespace engine
