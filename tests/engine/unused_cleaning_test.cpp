// Dropping header rules whose class the page never mentions.
#include "engine/unused_cleaning.h"

#include <gtest/gtest.h>

namespace engine {

namespace {

// The selectors of the header rules that stay for a page text.
std::vector<std::string> KeptSelectors(const std::vector<std::string>& selectors,
                                       const std::string& page) {
    // A header CSS of the rules, each "SELECTOR{a:b}".
    HeaderCss header;
    header.inOwn = true;
    for (const std::string& selector : selectors) {
        auto at = static_cast<uint32_t>(header.own.size());
        auto size = static_cast<uint32_t>(selector.size());
        header.rules.push_back({at, size, at + size + 1, 3});
        header.own += selector + "{a:b}";
    }
    header.size = header.own.size();
    RunProgress progress;
    RemoveUnusedRules(header, page, progress);
    std::vector<std::string> kept;
    for (const HeaderRule& rule : header.rules) kept.emplace_back(header.Selector(rule));
    return kept;
}

using Selectors = std::vector<std::string>;

TEST(UnusedCleaning, RulesWithoutClassOrAtRulesAlwaysStay) {
    Selectors always = {"@font-face",
                        "h1",
                        "a:hover",
                        "@page WordSection1",
                        "@media (min-width: 1.5em)",
                        "@list l0:level1",
                        "p, .note",
                        "",
                        "}"};
    EXPECT_EQ(KeptSelectors(always, "<p>nothing</p>"), always);
}

TEST(UnusedCleaning, ClassNameDecidesBySearchInAnyAsciiCase) {
    struct Case {
        const char* selector;
        const char* page;
        bool stays;
    } cases[] = {
        {"p.MsoNormal, li.MsoNormal", "<p class=MsoNormal>", true},
        {".note", "<p class=footnotes>", true},  // found inside a longer word
        {"p.Note", "<p class=note>", true},      // a page in quirks mode matches it
        {"p.NOTE", "<p class=Not>", false},
        {"p.\xC9t\xE9", "<p class=\xE9t\xE9>", false},  // ASCII case only
        {"div.WordSection1", "<div class=WordSection1>", true},
        {"a.nav:hover", "<a class=nav>", true},
        {"a.nav:hover", "<a class=menu>", false},
        {"div .menu a", "<ul class=menu>", true},
        {".first.second", "<p class=first>", true},
        {".first.second", "<p class=second>", false},
        {"p.x , p.y", "<p class=x>", true},
        // Any selector of a group keeps the rule: each is judged by its first class.
        {"p.x, p.y", "<p class=y>", true},
        {"p.x,\r\n.y.z", "<p class=z>", false},
        {"p.x, a:hover", "<p>", true},  // a selector without a class always applies
        {"a[href$='.pdf']", "<a href=x.pdf>", true},
        {"a[href$='.pdf']", "<a>", true},
        // A class inside a functional pseudo-class does not make the rule depend on it.
        {"p:not(.lead)", "<p>", true},
        {":is(.a, .b) p", "<p>", true},
        {"p:has(.x) .gone", "<p class=x>", false},
        {"p.r\xE9sum\xE9", "<p class=r\xE9sum\xE9>", true},
    };
    for (const auto& c : cases) {
        Selectors kept = KeptSelectors({c.selector}, c.page);
        EXPECT_EQ(kept.size(), c.stays ? 1u : 0u) << c.selector << " in " << c.page;
    }
}

TEST(UnusedCleaning, EveryRuleIsExaminedOnce) {
    Selectors kept = KeptSelectors({".gone1", ".gone2", ".kept", ".gone3", "h1"}, "<p class=kept>");
    EXPECT_EQ(kept, (Selectors{".kept", "h1"}));
    EXPECT_TRUE(KeptSelectors({".x", ".y"}, "<p>").empty());
}

TEST(UnusedCleaning, ManyRulesOnALargePageStayFast) {
    // Thousands of unused rules must not each scan the whole page.
    std::string page;
    for (int i = 0; i < 20000; ++i) page += "<p class=used" + std::to_string(i) + ">text</p>\n";
    Selectors selectors;
    for (int i = 0; i < 5000; ++i) selectors.push_back(".unused" + std::to_string(i));
    selectors.push_back(".used19999");
    selectors.push_back(".sed1999");  // inside a word
    EXPECT_EQ(KeptSelectors(selectors, page), (Selectors{".used19999", ".sed1999"}));
}

}  // namespace

}  // namespace engine
