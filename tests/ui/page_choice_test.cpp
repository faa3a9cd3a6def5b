// The page taken from files dropped on the window or named on its command line.
#include "ui/page_choice.h"

#include <gtest/gtest.h>

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

TEST(PageChoice, HtmlPagesEndInHtmOrHtmlInAnyCase) {
    for (const char* name : {"a.htm", "a.HTML", "a.b.Html", "C:\\my.site\\page.htm"})
        EXPECT_TRUE(IsHtmlPageName(name)) << name;
    for (const char* name : {"a.xhtml", "a.htm.bak", "C:\\my.htm\\page", "htm", "a.shtml"})
        EXPECT_FALSE(IsHtmlPageName(name)) << name;
}

}  // namespace
