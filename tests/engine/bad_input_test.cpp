// Pages that are not what a page should be, and page paths with awkward characters, each
// through the whole run on disk: the run ends with its outputs or with a message, never
// crashes or hangs, and loses nothing of the page: its text, its other attributes and its
// classes stay, and every class it adds names a rule of the style sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench/bad_pages.h"
#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/extraction_run.h"
#include "engine/page_reader.h"
#include "engine/page_rewriting.h"
#include "tests/support/corpus_pages.h"
#include "tests/support/heap_use.h"
#include "tests/support/reference_forms.h"
#include "tests/support/scratch_folder.h"

namespace engine {

namespace {

namespace fs = std::filesystem;

constexpr char kPage[] = "page.html";
constexpr char kSheet[] = "styles.css";

// What a reader of the page keeps of it, apart from what the run changes on purpose: the
// text between the markup, and for each start tag (but the link element that the run adds)
// its name, its attributes other than style, class and lang, and its class names. Style
// elements are left out: the run replaces the header one by the link element.
struct PageView {
    std::string text;
    struct Tag {
        std::string name;
        std::vector<std::pair<std::string, std::string>> attributes;
        std::vector<std::string> classes;
        size_t styles = 0;
    };
    std::vector<Tag> tags;
};

std::string WithoutQuoteReferences(std::string_view value) {
    std::string plain;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value.compare(i, 6, "&quot;") == 0) {
            plain += '"';
            i += 5;
        } else {
            plain += value[i];
        }
    }
    return plain;
}

std::vector<std::string> ClassNames(std::string_view value) {
    std::vector<std::string> names;
    size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && IsSpace(value[at])) ++at;
        size_t start = at;
        while (at < value.size() && !IsSpace(value[at])) ++at;
        if (at > start) names.emplace_back(value.substr(start, at - start));
    }
    return names;
}

PageView ViewOf(std::string_view page) {
    PageView view;
    PageReader reader = MakePageReader(page);
    Markup markup;
    size_t textFrom = 0;
    bool inStyleElement = false;  // its text is the style sheet's, which the run moves
    while (NextMarkup(reader, markup)) {
        if (!inStyleElement) view.text.append(page, textFrom, markup.begin - textFrom);
        textFrom = markup.end;
        bool startTag = markup.kind == MarkupKind::StartTag;
        inStyleElement = startTag && EqualsNoCase(markup.name, "style");
        if (!startTag || EqualsNoCase(markup.name, "link") || inStyleElement) continue;
        PageView::Tag tag;
        tag.name = AnsiLowerCopy(markup.name);
        for (const Attribute& attribute : TagAttributes(markup)) {
            if (EqualsNoCase(attribute.name, "style") && attribute.hasValue) {
                ++tag.styles;
            } else if (EqualsNoCase(attribute.name, "class")) {
                for (std::string& name : ClassNames(WithoutQuoteReferences(attribute.value)))
                    tag.classes.push_back(std::move(name));
            } else if (!EqualsNoCase(attribute.name, "lang")) {
                tag.attributes.emplace_back(std::string(attribute.name),
                                            WithoutQuoteReferences(attribute.value));
            }
        }
        view.tags.push_back(std::move(tag));
    }
    if (textFrom < page.size() && !inStyleElement)
        view.text.append(page, textFrom, std::string::npos);
    return view;
}

// The rewritten page keeps everything of the page that the run is not meant to change, and
// each class it adds is a rule of the style sheet. Returns the number of classes added.
size_t ExpectNothingLost(std::string_view before, std::string_view after, std::string_view sheet) {
    PageView was = ViewOf(before);
    PageView is = ViewOf(after);
    // The selectors of the sheet's rules: each on its own line, before a line opening with "{".
    std::set<std::string_view> selectors;
    for (size_t at = 0, next; (next = sheet.find("\r\n{", at)) != std::string_view::npos;
         at = next + 3) {
        size_t lineStart = sheet.rfind("\r\n", next == 0 ? 0 : next - 1);
        lineStart = lineStart == std::string_view::npos || lineStart >= next ? 0 : lineStart + 2;
        selectors.insert(sheet.substr(lineStart, next - lineStart));
    }
    EXPECT_EQ(is.text, was.text) << "text between the tags changed";
    EXPECT_EQ(is.tags.size(), was.tags.size()) << "tags were lost or made";
    size_t added = 0;
    for (size_t i = 0; i < std::min(is.tags.size(), was.tags.size()); ++i) {
        SCOPED_TRACE("tag " + std::to_string(i) + " <" + was.tags[i].name + ">");
        EXPECT_EQ(is.tags[i].name, was.tags[i].name);
        EXPECT_EQ(is.tags[i].attributes, was.tags[i].attributes);
        EXPECT_LE(is.tags[i].styles, was.tags[i].styles) << "a style attribute was made";
        std::map<std::string, size_t> remaining;
        for (const std::string& name : is.tags[i].classes) ++remaining[name];
        for (const std::string& name : was.tags[i].classes) {
            size_t& left = remaining[name];
            EXPECT_GT(left, 0u) << "class " << name << " was lost";
            if (left > 0) --left;
        }
        size_t addedHere = 0;
        for (const auto& [name, count] : remaining) {
            if (count == 0) continue;
            addedHere += count;
            EXPECT_EQ(selectors.count("." + name), 1u)
                << "class " << name << " names no rule of the style sheet";
        }
        EXPECT_EQ(addedHere, was.tags[i].styles - is.tags[i].styles)
            << "one class for each style attribute converted";
        added += addedHere;
    }
    return added;
}

struct PageRun {
    ScratchFolder folder;
    RunOutcome outcome;

    std::string Page() const { return folder.Read(kPage); }
    std::string Sheet() const { return folder.Read(kSheet); }
};

// Runs the whole extraction on `page`, saved as page.html in a fresh folder.
std::unique_ptr<PageRun> RunOn(std::string_view page, bool cleanUnused = true) {
    auto run = std::make_unique<PageRun>();
    run->folder.Write(kPage, page);
    RunRequest request;
    request.pagePath = run->folder.File(kPage);
    request.sheetName = kSheet;
    request.cleanUnused = cleanUnused;
    run->outcome = RunExtraction(request);
    return run;
}

// Returns the number of classes the run added to the page.
size_t ExpectCompleteRun(const PageRun& run, std::string_view page) {
    EXPECT_EQ(run.outcome.error, RunError::None) << run.outcome.path;
    if (run.outcome.error != RunError::None) return 0;
    EXPECT_EQ(run.folder.Read("page.backup.html"), page);
    EXPECT_TRUE(run.folder.Has("restore_backup.bat"));
    return ExpectNothingLost(page, run.Page(), run.Sheet());
}

// A page without CSS to move is left alone, and no file appears beside it.
void ExpectNothingToExtract(const PageRun& run, std::string_view page) {
    EXPECT_EQ(run.outcome.error, RunError::NothingToExtract);
    EXPECT_EQ(run.Page(), page);
    EXPECT_EQ(run.folder.Listing(), "page.html\n");
}

template <size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// ---------------------------------------------------------------------------------------
// Pages that are no pages.

TEST(NoPageTest, EmptyFileHasNothingToExtract) { ExpectNothingToExtract(*RunOn(""), ""); }

TEST(NoPageTest, ImageRenamedAsPageHasNothingToExtract) {
    std::string image = ImageBytesPage(200000);
    ExpectNothingToExtract(*RunOn(image), image);
}

// Random bytes with "<" in them read as scraps of markup; whatever the run makes of them, it
// ends, and either completes without losing anything or leaves the page as it was.
TEST(NoPageTest, BinaryBytesWithMarkupScrapsEndCleanly) {
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::string bytes = BinaryBytesPage(100000, seed);
        auto run = RunOn(bytes);
        if (run->outcome.error == RunError::None) {
            ExpectCompleteRun(*run, bytes);
        } else {
            EXPECT_EQ(run->Page(), bytes);
            EXPECT_FALSE(run->folder.Has(kSheet));
        }
    }
}

TEST(NoPageTest, NulBytesAreKeptInTextAttributesAndStyles) {
    const std::string page = Bytes(
        "<html><head><style>\0.a {color:red}\0</style></head>\r\n"
        "<body><p class=\"a\" title=\"x\0y\" style=\"color:\0blue\">one\0two</p>\0"
        "<p style=\"margin:0\">\0</p></body></html>\0");
    auto run = RunOn(page, false);
    EXPECT_EQ(ExpectCompleteRun(*run, page), 2u);
    std::string rewritten = run->Page();
    EXPECT_NE(rewritten.find(Bytes("one\0two</p>\0")), std::string::npos);
    EXPECT_EQ(rewritten.back(), '\0');
    std::string sheet = run->Sheet();
    EXPECT_NE(sheet.find(Bytes("\0.a {color:red}\0")), std::string::npos)
        << "the header CSS with its NUL bytes belongs in the plain sheet";
    EXPECT_NE(sheet.find(Bytes("color:\0blue")), std::string::npos);
}

// A lone "<style>" holds everything after it as style text: no style block before a body,
// so nothing to extract, and nothing is changed.
TEST(NoPageTest, OnlyAnUnclosedStyleTagLeavesThePageAsItWas) {
    for (std::string page : {std::string("<style>"), std::string("<STYLE>\r\n"),
                             std::string("<style>p {color:red}\r\n<p style=\"margin:0\">x")}) {
        SCOPED_TRACE(page);
        ExpectNothingToExtract(*RunOn(page), page);
    }
}

// The same block before a body tag would take the body in: a malformed page, not rewritten.
TEST(NoPageTest, UnclosedStyleTagBeforeTheBodyStopsTheRunWithThePageUnchanged) {
    for (std::string page :
         {std::string("<style><body>"), std::string("<html><head><STYLE>p {color:red}\r\n</head>"
                                                    "<body><p style=\"margin:0\">x</p></body>")}) {
        SCOPED_TRACE(page);
        auto run = RunOn(page);
        EXPECT_EQ(run->outcome.error, RunError::StyleBlockUnclosed);
        EXPECT_EQ(run->Page(), page);
        EXPECT_EQ(run->folder.Listing(), "page.html\n");
    }
}

TEST(NoPageTest, UnbalancedHeaderCssStopsTheRunWithThePageUnchanged) {
    std::string page = "<html><head><style>p {color:red</style></head><body lang=en>x</body>";
    auto run = RunOn(page);
    EXPECT_EQ(run->outcome.error, RunError::BracesMismatch);
    EXPECT_EQ(run->Page(), page);
    EXPECT_FALSE(run->folder.Has(kSheet));
    EXPECT_FALSE(run->folder.Has("restore_backup.bat"));
}

// ---------------------------------------------------------------------------------------
// Very many tags: the run reads each byte a bounded number of times, so 100,000 tags of any
// kind take a moment, and what the rewriting asks of the heap grows in proportion to the page.
// The pages are the benchmark's too (run-bench --shape), which measures their time and memory.

class ManyTagsTest : public testing::TestWithParam<BadPage> {};

TEST_P(ManyTagsTest, RunEndsAndLosesNothing) {
    std::string page = GetParam().make(100000);
    auto run = RunOn(page);
    if (GetParam().error == RunError::None) {
        ExpectCompleteRun(*run, page);
    } else {
        EXPECT_EQ(run->outcome.error, GetParam().error);
        EXPECT_EQ(run->Page(), page);
        EXPECT_EQ(run->folder.Listing(), "page.html\n");
    }
}

// What the rewriting of `page` asks of the heap, in bytes: a count, the same on a busy machine.
size_t RewriteHeapBytes(const std::string& page) {
    RunProgress progress;
    InlineClasses classes;
    return HeapUseOf([&] { RewritePage(page, kSheet, classes, progress); }).bytes;
}

// Four times the tags ask the heap for about four times the bytes (the output, reserved once,
// and tables that double as they grow); work that copies what it made so far for each tag, or
// grows a table by one, asks for 16 times. Small pages suffice, as a count has no noise to beat,
// and keep such a fault from taking minutes before it fails.
TEST_P(ManyTagsTest, RewritingHeapUseGrowsInProportionToThePage) {
    size_t small = RewriteHeapBytes(GetParam().make(5000));
    size_t large = RewriteHeapBytes(GetParam().make(20000));
    EXPECT_LT(large, 8 * small) << "5,000 tags: " << small << " bytes, 20,000 tags: " << large;
}

INSTANTIATE_TEST_SUITE_P(HundredThousand, ManyTagsTest, testing::ValuesIn(ManyTagsPages()),
                         [](const testing::TestParamInfo<BadPage>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------
// Every byte in attribute values: quoted both ways and unquoted, beside a style to convert
// (so that the tag is rebuilt), and inside the style itself.

std::string EveryByteTags(const char* open, const char* close) {
    std::string tags;
    for (int b = 0; b < 256; ++b) {
        tags += std::string("<p class=\"k\" data-v=") + open + "x";
        tags += static_cast<char>(b);
        tags += std::string("y") + close + " style=\"color:red\">" + std::to_string(b) + "</p>\r\n";
    }
    return tags;
}

TEST(EveryByteTest, AttributeValuesOfEveryByteSurviveTheRebuiltTags) {
    for (auto [open, close] : {std::pair{"\"", "\""}, std::pair{"'", "'"}, std::pair{"", ""}}) {
        SCOPED_TRACE(std::string("quote ") + open);
        std::string page = "<html><head><title>t</title></head><body>\r\n" +
                           EveryByteTags(open, close) + "</body></html>\r\n";
        auto run = RunOn(page);
        ExpectCompleteRun(*run, page);
    }
}

TEST(EveryByteTest, StyleValuesOfEveryByteAreConvertedOrLeftAsTheyWere) {
    std::string page = "<html><head><style>.k {margin:0}</style></head><body>\r\n";
    for (int b = 0; b < 256; ++b) {
        for (const char* form : {"content:'x%cy'", "font-family:x%cy", "color:red%c"}) {
            char style[64];
            std::snprintf(style, sizeof style, form, b == 0 ? 1 : b);
            std::string value = style;
            if (b == 0) std::replace(value.begin(), value.end(), '\1', '\0');
            page += "<p class=\"k\" style=\"" + value + "\">" + std::to_string(b) + "</p>\r\n";
        }
    }
    page += "</body></html>";
    for (bool cleanUnused : {true, false}) {
        auto run = RunOn(page, cleanUnused);
        // Only a few bytes make a style that cannot stand in a rule (a brace, a quote that
        // ends the value early, an unclosed string or parenthesis); the rest become classes.
        EXPECT_GE(ExpectCompleteRun(*run, page), 256u * 3u - 16u);
    }
}

// ---------------------------------------------------------------------------------------
// Page paths with awkward characters: the backup, the script and the sheet are named from
// the path as it is, and the script doubles each "%" for the command interpreter.

std::string BatchQuoted(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) quoted += c == '%' ? std::string("%%") : std::string(1, c);
    return quoted + "\"";
}

struct AwkwardPath {
    const char* label;
    const char* folder;  // a subfolder of the scratch folder, "" for none
    const char* page;
    const char* backup;
};

const AwkwardPath kAwkwardPaths[] = {
    {"Spaces", "", "my page.html", "my page.backup.html"},
    {"SeveralDots", "", "index.min.v2.html", "index.min.v2.backup.html"},
    {"Percent", "", "100%done.htm", "100%done.backup.htm"},
    {"PercentPairs", "", "%PATH%.html", "%PATH%.backup.html"},
    {"Ampersand", "", "this&that.html", "this&that.backup.html"},
    {"Caret", "", "up^down.html", "up^down.backup.html"},
    {"ExclamationMarks", "", "a!b!.html", "a!b!.backup.html"},
    {"AccentedBytes", "", "caf\xE9 \xE0 la cr\xE8me.html", "caf\xE9 \xE0 la cr\xE8me.backup.html"},
    {"AllInFolderNames", "my site %1 & ^ \xE9t\xE9/", "a b.c%d&e^f\xE9.html",
     "a b.c%d&e^f\xE9.backup.html"},
};

class AwkwardPathTest : public testing::TestWithParam<AwkwardPath> {};

TEST_P(AwkwardPathTest, OutputsAreNamedFromThePathAsItIs) {
    const AwkwardPath& path = GetParam();
    ScratchFolder scratch;
    std::string folder = scratch.path() + path.folder;
    fs::create_directories(folder);
    const std::string page = ProjectWordPage();
    std::string pagePath = folder + path.page;
    {
        std::FILE* out = std::fopen(pagePath.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(page.data(), 1, page.size(), out);
        std::fclose(out);
    }
    RunRequest request;
    request.pagePath = pagePath;
    RunOutcome outcome = RunExtraction(request);
    ASSERT_EQ(outcome.error, RunError::None) << outcome.path;

    auto read = [&](const std::string& name) { return scratch.Read(path.folder + name); };
    std::string backupPath = folder + path.backup;
    EXPECT_EQ(read(path.backup), page);
    EXPECT_GT(ExpectNothingLost(page, read(path.page), read(kSheet)), 0u);
    std::string script = read("restore_backup.bat");
    EXPECT_EQ(script.substr(0, script.find("\r\n", script.find("\r\n") + 2) + 2),
              "@setlocal EnableExtensions DisableDelayedExpansion\r\ncopy /b /y " +
                  BatchQuoted(backupPath) + " " + BatchQuoted(pagePath) + "\r\n");
    EXPECT_NE(script.find("del " + BatchQuoted(folder + kSheet) + "\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Names, AwkwardPathTest, testing::ValuesIn(kAwkwardPaths),
                         [](const testing::TestParamInfo<AwkwardPath>& info) {
                             return std::string(info.param.label);
                         });

// ---------------------------------------------------------------------------------------
// Faults found by fuzzing the rewriting.

namespace fuzz_findings {

// An attribute whose name begins with "=" (a stray "=" in hand-written markup) must not
// become the value of a word without value before it when the tag is rebuilt: it is written
// right after the quoted class value, where a browser reads it as an attribute of its own.
TEST(FuzzFinding, AttributeNameBeginningWithEqualsStaysApart) {
    std::string page = "<html><body><p nowrap style=\"color:red\" =color:blue>x</p></body></html>";
    auto run = RunOn(page);
    ASSERT_EQ(run->outcome.error, RunError::None);
    EXPECT_NE(run->Page().find("<p class=\"inlineClass001\" =color:blue  nowrap>x</p>"),
              std::string::npos)
        << run->Page();
}

// A quoted value that the page never closes runs, for a browser, to the end of the page. A
// tag rebuilt after it writes class="...", whose quote closes that value and turns hidden
// text into markup again.
TEST(FuzzFinding, UnclosedQuoteIsNotClosedByARebuiltTag) {
    std::string page =
        "<html><body><p style=color:blue>a</p><p title=\"x>hidden</p><p style=color:red>shown</p>"
        "</body></html>";
    auto run = RunOn(page);
    ExpectCompleteRun(*run, page);
    std::string rewritten = run->Page();
    std::string afterQuote = page.substr(page.find("title=\""));
    EXPECT_EQ(rewritten.substr(rewritten.size() - afterQuote.size()), afterQuote) << rewritten;
}

}  // namespace fuzz_findings

}  // namespace

}  // namespace engine
