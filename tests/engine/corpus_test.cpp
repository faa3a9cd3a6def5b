// Every real page of the corpus goes through the whole run, with and without cleaning.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/ansi_text.h"
#include "engine/page_reader.h"
#include "tests/support/corpus_pages.h"
#include "tests/support/page_run.h"

namespace engine {

namespace {

// Style attributes of start tags from the body tag on (the whole page without one), outside
// comments and raw text.
size_t StyleAttributesInBody(std::string_view page) {
    PageReader reader = MakePageReader(page);
    Markup markup;
    size_t count = 0;
    size_t beforeBody = 0;
    bool body = false;
    while (NextMarkup(reader, markup)) {
        body = body || (markup.kind == MarkupKind::StartTag && EqualsNoCase(markup.name, "body"));
        for (const Attribute& attribute : TagAttributes(markup))
            if (attribute.hasValue && EqualsNoCase(attribute.name, "style")) ++count;
        if (!body) beforeBody = count;
    }
    return body ? count - beforeBody : count;
}

std::vector<std::string> CorpusPages() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder())) {
        std::string name = entry.path().filename().string();
        if (name.size() > 4 && (name.find(".htm") != std::string::npos)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class CorpusRun : public testing::TestWithParam<bool> {};

TEST_P(CorpusRun, EveryPageConvertsAndKeepsNoStyleAttributeInItsBody) {
    SKIP_WITHOUT_CORPUS();
    std::vector<std::string> names = CorpusPages();
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        ScratchFolder folder;
        std::string original = CorpusPage(name);
        PageRun run = RunOnPage(folder, original, GetParam(), "styles.css", name);
        ASSERT_EQ(run.outcome.error, RunError::None) << name;
        EXPECT_EQ(
            folder.Read(name.substr(0, name.rfind('.')) + ".backup" + name.substr(name.rfind('.'))),
            original)
            << name;
        EXPECT_EQ(StyleAttributesInBody(run.page), 0u) << name;
        EXPECT_LT(run.page.size(), original.size() + original.size() / 4) << name;
        EXPECT_NE(run.page.find("href=\"styles.css\""), std::string::npos) << name;
        // Every inline class the page names is in the sheet, raised in the cascade or not.
        for (size_t at = run.page.find("inlineClass"); at != std::string::npos;
             at = run.page.find("inlineClass", at + 1)) {
            size_t end = at + 11;
            while (end < run.page.size() && isdigit(static_cast<unsigned char>(run.page[end])))
                ++end;
            std::string selector = "\r\n." + run.page.substr(at, end - at);
            EXPECT_TRUE(run.sheet.find(selector + "\r\n{") != std::string::npos ||
                        run.sheet.find(selector + ":not(#") != std::string::npos)
                << name << ": " << run.page.substr(at, end - at);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CleaningOnAndOff, CorpusRun, testing::Bool());

}  // namespace

}  // namespace engine
