// The page taken from files dropped on the window or named on its command line.
#include "ui/page_choice.h"

#include <gtest/gtest.h>

namespace ui {

namespace {

TEST(PageChoice, FirstHtmlPageElseFirstFileNeverAFolder) {
    const OfferedFile folder{"C:\\site", true};
    const OfferedFile folderNamedLikeAPage{"C:\\old.htm", true};
    const OfferedFile notes{"C:\\notes.txt", false};
    const OfferedFile picture{"C:\\logo.png", false};
    const OfferedFile page{"C:\\δοκιμή\\Ωμέγα.HTM", false};
    const OfferedFile other{"C:\\index.html", false};
    struct Case {
        std::vector<OfferedFile> offered;
        std::string chosen;
    } cases[] = {
        {{}, ""},
        {{folder}, ""},
        {{folder, folderNamedLikeAPage}, ""},
        {{page}, page.path},
        {{notes}, notes.path},  // one file is taken whatever its name, as a browse would
        {{folder, notes, page, other}, page.path},
        {{other, page}, other.path},
        {{notes, picture}, notes.path},
        {{folderNamedLikeAPage, picture, other}, other.path},
    };
    for (const Case& c : cases) EXPECT_EQ(ChosenPage(c.offered), c.chosen);
}

// A drop chooses all its pages, else a folder's pages, else its first file.
TEST(PageChoice, DropChoosesEveryPageElseTheFirstFolderElseTheFirstFile) {
    const OfferedFile site{"C:\\site", true};
    const OfferedFile old{"C:\\old", true};
    const OfferedFile notes{"C:\\site\\notes.txt", false};
    const OfferedFile index{"C:\\site\\index.html", false};
    const OfferedFile about{"C:\\site\\about.HTM", false};
    using Pages = std::vector<std::string>;
    struct Case {
        std::vector<OfferedFile> offered;
        Pages pages;
        std::string folder;
    } cases[] = {
        {{}, {}, ""},
        {{index}, {index.path}, ""},
        {{site, notes, index}, {index.path}, ""},  // one page among others, as before
        {{notes, index, site, about}, {index.path, about.path}, ""},
        {{site}, {}, site.path},
        {{notes, old, site}, {}, old.path},
        {{notes}, {notes.path}, ""},
    };
    for (const Case& c : cases) {
        DroppedChoice choice = ChosenFromDrop(c.offered);
        EXPECT_EQ(choice.pages, c.pages);
        EXPECT_EQ(choice.folder, c.folder);
    }
}

TEST(PageChoice, OpenDialogGivesOnePathOrAFolderAndItsNames) {
    using namespace std::string_literals;
    using Pages = std::vector<std::string>;
    struct Case {
        std::string names;
        Pages pages;
    } cases[] = {
        {"C:\\web\\index.htm\0"s, {"C:\\web\\index.htm"}},
        {"C:\\web\\index.htm"s, {"C:\\web\\index.htm"}},
        {"C:\\web\0a.htm\0b b.html\0"s, {"C:\\web\\a.htm", "C:\\web\\b b.html"}},
        {"C:\\\0a.htm\0b.htm\0"s, {"C:\\a.htm", "C:\\b.htm"}},
        {""s, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(PagesFromOpenDialog(c.names), c.pages);
}

TEST(PageChoice, HtmlPagesEndInHtmOrHtmlInAnyCase) {
    for (const char* name : {"a.htm", "a.HTML", "a.b.Html", "C:\\my.site\\page.htm"})
        EXPECT_TRUE(IsHtmlPageName(name)) << name;
    for (const char* name : {"a.xhtml", "a.htm.bak", "C:\\my.htm\\page", "htm", "a.shtml"})
        EXPECT_FALSE(IsHtmlPageName(name)) << name;
}

}  // namespace

}  // namespace ui
