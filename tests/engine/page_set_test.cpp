// A run over several pages: one sheet of inline classes for all, a header sheet for each
// distinct header CSS, nothing changed unless every page can be converted, one restore.
#include "engine/page_set.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/restore_simulation.h"
#include "tests/support/scratch_folder.h"

namespace engine {

namespace {

std::string Page(std::string_view head, std::string_view body) {
    return "<html><head>" + std::string(head) + "</head><body>" + std::string(body) +
           "</body></html>";
}

const std::string kHeadA = "<style>\n.a { color: red }\n.gone { color: blue }\n</style>";
const std::string kHeadB = "<style>\np { margin: 0 }\n</style>";

RunOutcome RunOver(const ScratchFolder& folder, const std::vector<std::string>& names,
                   bool clean = true) {
    RunRequest request;
    for (const std::string& name : names) request.pagePaths.push_back(folder.File(name));
    request.cleanUnused = clean;
    return RunExtraction(request);
}

size_t Count(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

// Pages of one template share their header sheet; each distinct header CSS has its own, named
// after its first page; one style on several pages is one class; each page links its header
// sheet, then the classes; a header rule stays when any page of its sheet uses it.
TEST(PageSet, SharesOneSheetOfClassesAndOneHeaderSheetPerHeaderCss) {
    ScratchFolder folder;
    folder.Write("one.htm", Page(kHeadA, "<p class=a style=\"color:green\">1</p>"));
    folder.Write("two.htm", Page(kHeadA, "<p style=\"color: green\">2</p><i style=\"top:0\">"));
    folder.Write("three.htm", Page(kHeadB, "<p style=\"color:green\">3</p>"));
    folder.Write("plain.htm", Page("", "<p>nothing here</p>"));
    RunOutcome outcome = RunOver(folder, {"one.htm", "two.htm", "three.htm", "plain.htm"});
    ASSERT_EQ(outcome.error, RunError::None) << outcome.path;
    EXPECT_EQ(outcome.inlineClasses, 2u);
    EXPECT_EQ(outcome.headerSheets, 2u);
    ASSERT_EQ(outcome.pages.size(), 4u);
    EXPECT_TRUE(outcome.pages[3].nothingToExtract);
    EXPECT_EQ(folder.Read("plain.htm"), Page("", "<p>nothing here</p>"));
    EXPECT_FALSE(folder.Has("plain.backup.htm"));

    std::string classes = folder.Read("styles.css");
    EXPECT_EQ(Count(classes, "{color:green !important;}"), 1u) << classes;
    EXPECT_EQ(Count(classes, ".inlineClass"), 2u) << classes;
    EXPECT_EQ(folder.Read("styles.one.css").find(".gone"), std::string::npos);
    EXPECT_NE(folder.Read("styles.one.css").find(".a"), std::string::npos);
    EXPECT_NE(folder.Read("styles.three.css").find("margin: 0"), std::string::npos);
    EXPECT_FALSE(folder.Has("styles.two.css"));
    const std::string links =
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"styles.one.css\" />"
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"styles.css\" />";
    EXPECT_NE(folder.Read("one.htm").find("<head>" + links + "</head>"), std::string::npos);
    EXPECT_NE(folder.Read("two.htm").find("<head>" + links + "</head>"), std::string::npos);
    EXPECT_NE(folder.Read("two.htm").find("<p class=\"inlineClass001\">2"), std::string::npos);
    EXPECT_NE(folder.Read("three.htm").find("<p class=\"inlineClass001\">3"), std::string::npos);
}

// The classes are numbered past the highest "inlineClassN" that any page names, and take one
// form: raised in the cascade on every page when one page calls for it.
TEST(PageSet, NumbersAndFormsTheClassesOnceForEveryPage) {
    ScratchFolder folder;
    folder.Write("a.htm", Page("", "<p style=\"color:red\">a</p>"));
    folder.Write("b.htm",
                 Page("<script></script>", "<p class=\"inlineClass007\" style=\"top:1px\">b</p>"));
    ASSERT_EQ(RunOver(folder, {"a.htm", "b.htm"}).error, RunError::None);
    std::string sheet = folder.Read("styles.css");
    EXPECT_NE(sheet.find(".inlineClass008:not(#_)"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find(".inlineClass009:not(#_)"), std::string::npos) << sheet;
    EXPECT_EQ(sheet.find("!important"), std::string::npos) << sheet;
    EXPECT_NE(folder.Read("a.htm").find("class=\"inlineClass008\""), std::string::npos);
}

// One page that cannot be converted refuses the run, naming it, with the folder as it was; a
// run that converts them restores them all.
TEST(PageSet, ChangesNothingUnlessEveryPageConvertsAndRestoresThemAll) {
    ScratchFolder folder;
    std::vector<std::string> names;
    for (int i = 1; i <= 10; ++i) {
        names.push_back("page" + std::to_string(i) + ".htm");
        std::string style = i % 2 ? kHeadA : kHeadB;
        if (i == 5) style = "<style>p { color: red </style>";
        folder.Write(names.back(),
                     Page(style, "<p style=\"margin:" + std::to_string(i % 3) + "pt\">x</p>"));
    }
    std::map<std::string, std::string> before = folder.Files();
    RunOutcome refused = RunOver(folder, names);
    EXPECT_EQ(refused.error, RunError::BracesMismatch);
    EXPECT_EQ(refused.path, folder.File("page5.htm"));
    EXPECT_EQ(folder.Files(), before);

    folder.Write("page5.htm", Page(kHeadB, "<p style=\"margin:2pt\">x</p>"));
    before = folder.Files();
    ASSERT_EQ(RunOver(folder, names).error, RunError::None);
    EXPECT_EQ(folder.Read("styles.css").find(".inlineClass004"), std::string::npos);
    RestoreAsTheScriptDoes(folder);
    EXPECT_EQ(folder.Files(), before);
}

// A header sheet outlives the pages it was read from: it keeps their CSS and, of a CSS that
// leaves its last block open (its "}" in a string) with a function in it, that block's
// declarations, closed, which the cleaned layout writes.
TEST(PageSet, AHeaderSheetKeepsTheLastBlockThatItsCssLeavesOpen) {
    ScratchFolder folder;
    const std::string head = "<style>\n.x{color:red} .y{content:\"}\"; margin:calc(1px\n</style>";
    folder.Write("one.htm", Page(head, "<p class=y style=\"top:0\">1</p>"));
    folder.Write("two.htm", Page(head, "<p class=x>2</p>"));
    for (bool clean : {false, true}) {
        ASSERT_EQ(RunOver(folder, {"one.htm", "two.htm"}, clean).error, RunError::None);
        std::string sheet = folder.Read("styles.one.css");
        EXPECT_NE(sheet.find(clean ? ".y\r\n{content:\"}\"; margin:calc(1px)}\r\n"
                                   : ".x{color:red} .y{content:\"}\"; margin:calc(1px\r\n"),
                  std::string::npos)
            << sheet;
        RestoreAsTheScriptDoes(folder);
    }
}

// Pages that read bytes above ASCII in different ways share only the classes of ASCII styles:
// their one sheet of classes would read the others otherwise on some page.
TEST(PageSet, PagesThatReadBytesDifferentlyShareOnlyAsciiStyles) {
    ScratchFolder folder;
    const std::string body = "<p style=\"top:0\">a</p><p style=\"font-family:\x83\x7D\">b</p>";
    folder.Write("japanese.htm", Page("<meta charset=\"shift_jis\">", body));
    folder.Write("western.htm", Page("", body));
    ASSERT_EQ(RunOver(folder, {"japanese.htm", "western.htm"}).error, RunError::None);
    for (const char* name : {"japanese.htm", "western.htm"}) {
        std::string page = folder.Read(name);
        EXPECT_NE(page.find("<p class=\"inlineClass001\">a"), std::string::npos) << page;
        EXPECT_NE(page.find("<p style=\"font-family:\x83\x7D\">b"), std::string::npos) << page;
    }
    EXPECT_EQ(Count(folder.Read("styles.css"), ".inlineClass"), 1u);
}

TEST(PageSet, RefusesPagesOfSeveralFoldersBeforeReadingThem) {
    ScratchFolder folder;
    folder.Write("a.htm", Page("", "<p style=\"top:0\">"));
    std::string other = folder.Subfolder("other");
    folder.Write("other/b.htm", Page("", "<p style=\"top:0\">"));
    RunRequest request;
    request.pagePaths = {folder.File("a.htm"), other + "b.htm"};
    EXPECT_EQ(RunExtraction(request).error, RunError::PagesInSeveralFolders);
    EXPECT_EQ(folder.Listing(), "a.htm\nother\n");
}

TEST(PageSet, PagesInFolderAreItsHtmlFilesWithoutBackupsOrSubfolders) {
    ScratchFolder folder;
    for (const char* name : {"b.HTML", "a.htm", "a.backup.htm", "notes.txt", "c.Htm"})
        folder.Write(name, "x");
    folder.Subfolder("d.htm");
    std::vector<std::string> expected = {folder.File("a.htm"), folder.File("b.HTML"),
                                         folder.File("c.Htm")};
    EXPECT_EQ(PagesInFolder(folder.path()), expected);
}

}  // namespace

}  // namespace engine
