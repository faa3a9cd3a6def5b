// The main window's composed texts, byte for byte in UTF-8.
#include "ui/dialog_texts.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace ui {

namespace {

TEST(DialogTexts, CaptionEndsWithTheAuthorInEachLanguage) {
    EXPECT_EQ(MainCaption(texts::Language::English),
              "stylewick v" STYLEWICK_VERSION " - by Tavrel");
    EXPECT_EQ(MainCaption(texts::Language::French),
              "stylewick v" STYLEWICK_VERSION " - par Tavrel");
}

TEST(DialogTexts, SelectionWarningIsTwoLinesJoinedByOneCarriageReturn) {
    EXPECT_EQ(SelectionWarning(texts::Language::English),
              "Please select a web page first\rthanks to the \"HTML input\" button \"...\"");
    EXPECT_EQ(SelectionWarning(texts::Language::French),
              "Veuillez d'abord sélectionner une page web\rgrâce au bouton \"...\" de "
              "\"Fichier Html\"");
}

TEST(DialogTexts, CheckBoxTooltipJoinsItsPartsWithTheFirstPartsSpace) {
    EXPECT_STREQ(texts::Text(texts::TextId::CleanTooltip, texts::Language::English),
                 "Bonus: clean CSS elements that are used nowhere in the HTML page (particularly "
                 "useful for webpages generated automatically, e.g. by Ms Word)");
    std::string french = texts::Text(texts::TextId::CleanTooltip, texts::Language::French);
    EXPECT_NE(french.find("page HTML (particulièrement"), std::string::npos) << french;
}

TEST(DialogTexts, OpenDialogFilterListsWebPagesThenAllFilesEndedByTwoNuls) {
    using namespace std::string_literals;
    EXPECT_EQ(OpenDialogFilter(texts::Language::English),
              "Web page (*.htm;*.html)\0*.htm;*.html\0All files (*.*)\0*.*\0\0"s);
    EXPECT_EQ(OpenDialogFilter(texts::Language::French),
              "Page web (*.htm;*.html)\0*.htm;*.html\0Tous les fichiers (*.*)\0*.*\0\0"s);
}

TEST(DialogTexts, ProgressCaptionPutsThePercentBeforeTheCaption) {
    EXPECT_EQ(ProgressCaption(texts::Language::English, 42),
              "42% - stylewick v" STYLEWICK_VERSION " - by Tavrel");
    EXPECT_EQ(ProgressCaption(texts::Language::French, 100),
              "100\u00A0% - stylewick v" STYLEWICK_VERSION " - par Tavrel");
}

TEST(DialogTexts, TooltipBarsBecomeLineBreaksAndNothingElseChanges) {
    EXPECT_EQ(TooltipText("one|two||three"), "one\rtwo\r\rthree");
    EXPECT_EQ(TooltipText("C:\\web\\index.html"), "C:\\web\\index.html");
    EXPECT_EQ(TooltipText(""), "");
}

TEST(DialogTexts, SeveralPagesShowTheirCountAndFolderAndTheirNamesInTheTooltip) {
    const std::vector<std::string> pages = {"/web/site/a.htm", "/web/site/b.html",
                                            "/web/site/c.htm"};
    struct Case {
        std::vector<std::string> pages;
        texts::Language language;
        const char* field;
        const char* tooltip;
    } cases[] = {
        {pages, texts::Language::English, "3 pages in \"/web/site\"", "a.htm|b.html|c.htm"},
        {pages, texts::Language::French, "3 pages dans \"/web/site\"", "a.htm|b.html|c.htm"},
        {{"/a.htm", "/b.htm"}, texts::Language::English, "2 pages in \"/\"", "a.htm|b.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SeveralPagesText(c.language, c.pages), c.field);
        EXPECT_EQ(PageListTooltip(c.pages), c.tooltip);
    }
}

TEST(DialogTexts, TheStopQuestionNamesThePageOrThePagesAsTheFieldDoes) {
    using Pages = std::vector<std::string>;
    struct Case {
        Pages pages;
        texts::Language language;
        const char* question;
    } cases[] = {
        {{"/web/a.htm"},
         texts::Language::English,
         "Stop the conversion of \"/web/a.htm\"?\rNothing will be changed."},
        {{"/web/a.htm", "/web/b.htm"},
         texts::Language::English,
         "Stop the conversion of 2 pages in \"/web\"?\rNothing will be changed."},
        {{"/web/a.htm", "/web/b.htm"},
         texts::Language::French,
         "Arrêter la conversion de 2 pages dans \"/web\" ?\rRien ne sera modifié."},
    };
    for (const Case& c : cases) EXPECT_EQ(StopQuestionText(c.language, c.pages), c.question);
}

TEST(DialogTexts, OnlyTheFirstCharacterTellsWhetherAPageWasChosen) {
    EXPECT_FALSE(IsPageChosen("<none selected>"));
    EXPECT_FALSE(IsPageChosen("<C:\\odd\\name.html"));
    EXPECT_FALSE(IsPageChosen(""));
    EXPECT_TRUE(IsPageChosen("C:\\web\\<index>.html"));
}

TEST(DialogTexts, OneTableLabelsTheControlsAndNamesThePictures) {
    std::vector<std::pair<int, ShownAs>> rows;
    for (const ControlText& entry : kControlTexts)
        rows.emplace_back(entry.controlId, entry.shownAs);
    using Rows = std::vector<std::pair<int, ShownAs>>;
    EXPECT_EQ(rows, (Rows{{1002, ShownAs::WindowText},
                          {1003, ShownAs::WindowText},
                          {1004, ShownAs::WindowText},
                          {1008, ShownAs::WindowText},
                          {1001, ShownAs::NameAndTooltip},
                          {1004, ShownAs::Tooltip},
                          {1009, ShownAs::NameAndTooltip},
                          {IDB_BROWSE, ShownAs::AccessibleName}}));
    EXPECT_STREQ(texts::Text(kControlTexts[2].text, texts::Language::French),
                 "Nettoyer les styles inutilisés");
    // The image's name tells the key that opens its menu, in both languages.
    for (texts::Language language : {texts::Language::English, texts::Language::French})
        EXPECT_NE(
            std::string(texts::Text(texts::TextId::LanguageTooltip, language)).find("(Alt+L)"),
            std::string::npos);
}

}  // namespace

}  // namespace ui
