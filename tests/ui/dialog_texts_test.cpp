// The main window's composed texts, byte for byte in UTF-8.
#include "ui/dialog_texts.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogTexts, CaptionEndsWithTheAuthorInEachLanguage) {
    EXPECT_EQ(MainCaption(Language::English), "stylewick v" STYLEWICK_VERSION " - by Tavrel");
    EXPECT_EQ(MainCaption(Language::French), "stylewick v" STYLEWICK_VERSION " - par Tavrel");
}

TEST(DialogTexts, SelectionWarningIsTwoLinesJoinedByOneCarriageReturn) {
    EXPECT_EQ(SelectionWarning(Language::English),
              "Please select a web page first\rthanks to the \"HTML input\" button \"...\"");
    EXPECT_EQ(SelectionWarning(Language::French),
              "Veuillez d'abord sélectionner une page web\rgrâce au bouton \"...\" de "
              "\"Fichier Html\"");
}

TEST(DialogTexts, CheckBoxTooltipJoinsItsPartsWithTheFirstPartsSpace) {
    EXPECT_EQ(CleanUnusedTooltip(Language::English),
              "Bonus: clean CSS elements that are used nowhere in the HTML page (particularly "
              "useful for webpages generated automatically, e.g. by Ms Word)");
    std::string french = CleanUnusedTooltip(Language::French);
    EXPECT_NE(french.find("page HTML (particulièrement"), std::string::npos) << french;
}

TEST(DialogTexts, OpenDialogFilterIsOneEntryEndedByTwoNuls) {
    using namespace std::string_literals;
    EXPECT_EQ(OpenDialogFilter(Language::English), "Web page (*.htm)\0*.HTM;*.HTML\0\0"s);
    EXPECT_EQ(OpenDialogFilter(Language::French), "Page web (*.htm)\0*.HTM;*.HTML\0\0"s);
}

TEST(DialogTexts, TooltipBarsBecomeLineBreaksAndNothingElseChanges) {
    EXPECT_EQ(TooltipText("one|two||three"), "one\rtwo\r\rthree");
    EXPECT_EQ(TooltipText("C:\\web\\index.html"), "C:\\web\\index.html");
    EXPECT_EQ(TooltipText(""), "");
}

TEST(DialogTexts, OnlyTheFirstCharacterTellsWhetherAPageWasChosen) {
    EXPECT_FALSE(IsPageChosen("<none selected>"));
    EXPECT_FALSE(IsPageChosen("<C:\\odd\\name.html"));
    EXPECT_FALSE(IsPageChosen(""));
    EXPECT_TRUE(IsPageChosen("C:\\web\\<index>.html"));
}

TEST(DialogTexts, LanguageSwitchRelabelsTheTwoLabelsTheCheckBoxAndTheLinkInOrder) {
    ASSERT_EQ(std::size(kLanguageLabels), 4u);
    EXPECT_EQ(kLanguageLabels[0].controlId, 1002);
    EXPECT_EQ(kLanguageLabels[1].controlId, 1003);
    EXPECT_EQ(kLanguageLabels[2].controlId, 1004);
    EXPECT_EQ(kLanguageLabels[3].controlId, 1008);
    EXPECT_STREQ(Text(kLanguageLabels[2].text, Language::French), "Nettoyer les styles inutilisés");
}

}  // namespace
