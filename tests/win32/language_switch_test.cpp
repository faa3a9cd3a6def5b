// The language menu on the language image, and what a switch re-labels.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/win32/window_driver.h"
#include "ui/control_ids.h"
#include "ui/ui_state.h"

namespace {

// Number of tools that the tooltip control owned by the main window has for each control.
int ToolsFor(HWND mainWindow, HWND control, std::string* text = nullptr) {
    HWND tooltip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    while (tooltip && GetWindow(tooltip, GW_OWNER) != mainWindow)
        tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr);
    int found = 0;
    int count = tooltip ? static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        char buffer[4096] = {};
        TTTOOLINFOA tool{};
        tool.cbSize = 48;
        tool.lpszText = buffer;
        SendMessageA(tooltip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool));
        if (reinterpret_cast<HWND>(tool.uId) != control) continue;

        ++found;
        if (text) *text = FullToolText(tooltip, tool);
    }
    return found;
}

bool MenuChecked(int position) {
    return GetMenuState(TheUiState().languageMenu, position, MF_BYPOSITION) & MF_CHECKED;
}

class LanguageSwitchTest : public testing::Test {
protected:
    RunningProgram program;

    void Uncheck() {
        ClickWindow(program.Control(IDX_CLEAN_UNUSED));
        ASSERT_TRUE(WaitUntil([&] { return !program.Checked(IDX_CLEAN_UNUSED); }, 2000));
    }
    void TypeSheetName(const std::string& name) {
        ClickWindow(program.Control(IDE_SHEET_NAME));
        PressKey(VK_END);
        for (int i = 0; i < 12; ++i) PressKey(VK_BACK);
        TypeText(name);
        ASSERT_TRUE(WaitUntil([&] { return program.ControlText(IDE_SHEET_NAME) == name; }, 2000));
    }
};

TEST_F(LanguageSwitchTest, FrenchAndBackRelabelsTheWindowAndKeepsTheTypedName) {
    Uncheck();
    TypeSheetName("site.css");

    program.ChooseLanguage(1);
    EXPECT_EQ(WindowText(program.Window()), "stylewick v0.1 - par Tavrel");
    EXPECT_EQ(program.ControlText(IDT_HTML_INPUT), "Fichier Html");
    EXPECT_EQ(program.ControlText(IDT_CSS_OUTPUT), "Sortie CSS");
    EXPECT_EQ(program.ControlText(IDX_CLEAN_UNUSED), "Nettoyer les styles inutilis\xE9s");
    EXPECT_EQ(program.ControlText(IDT_WEB_LINK), "Visitez mon site web pour d'autres gratuiciels");
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), "<aucun s\xE9lectionn\xE9>");
    EXPECT_EQ(program.ControlText(IDE_SHEET_NAME), "site.css");
    EXPECT_EQ(program.ControlText(IDB_BROWSE), "...");
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
    EXPECT_FALSE(MenuChecked(0));
    EXPECT_TRUE(MenuChecked(1));
    EXPECT_EQ(TheUiState().languageCode, "FR");
    EXPECT_EQ(TheUiState().pagePath, "<none selected>");
    std::string tip;
    ASSERT_EQ(ToolsFor(program.Window(), program.Control(IDB_LAUNCH), &tip), 1);
    EXPECT_EQ(tip,
              "Lancer l'extraction vers un css externe des css pr\xE9sents dans les tags et "
              "dans le header!");
    ASSERT_EQ(ToolsFor(program.Window(), program.Control(IDX_CLEAN_UNUSED), &tip), 1);
    EXPECT_EQ(tip,
              "Bonus: nettoyer les \xE9l\xE9ments CSS utilis\xE9s nulle part dans la page HTML "
              "(particuli\xE8rement int\xE9ressant pour les pages web g\xE9n\xE9r\xE9"
              "es "
              "automatiquement, par ex. par Ms Word)");
    ASSERT_EQ(ToolsFor(program.Window(), program.Control(IDT_WEB_LINK), &tip), 1);
    EXPECT_EQ(tip, STYLEWICK_WEBSITE);

    Uncheck();
    program.ChooseLanguage(0);
    EXPECT_EQ(WindowText(program.Window()), "stylewick v0.1 - by Tavrel");
    EXPECT_EQ(program.ControlText(IDT_HTML_INPUT), "HTML input");
    EXPECT_EQ(program.ControlText(IDT_CSS_OUTPUT), "CSS output");
    EXPECT_EQ(program.ControlText(IDX_CLEAN_UNUSED), "Clean unused styles");
    EXPECT_EQ(program.ControlText(IDT_WEB_LINK), "Find other free software at my website");
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), "<none selected>");
    EXPECT_EQ(program.ControlText(IDE_SHEET_NAME), "site.css");
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
    EXPECT_TRUE(MenuChecked(0));
    EXPECT_FALSE(MenuChecked(1));
    EXPECT_EQ(TheUiState().languageCode, "EN");
}

TEST_F(LanguageSwitchTest, ChoosingTheCurrentLanguageChecksTheBoxAgain) {
    Uncheck();
    program.ChooseLanguage(0);
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
    EXPECT_EQ(WindowText(program.Window()), "stylewick v0.1 - by Tavrel");
}

TEST_F(LanguageSwitchTest, SeveralSwitchesLeaveExactlyOneToolPerControl) {
    for (int position : {1, 0, 1}) program.ChooseLanguage(position);
    std::string tip;
    EXPECT_EQ(ToolsFor(program.Window(), program.Control(IDB_LAUNCH), &tip), 1);
    EXPECT_EQ(tip.substr(0, 22), "Lancer l'extraction ve");
    EXPECT_EQ(ToolsFor(program.Window(), program.Control(IDX_CLEAN_UNUSED)), 1);
    EXPECT_EQ(ToolsFor(program.Window(), program.Control(IDT_WEB_LINK)), 1);
    EXPECT_EQ(ToolsFor(program.Window(), program.Control(IDE_PAGE_PATH)), 0);
}

TEST_F(LanguageSwitchTest, DismissedMenuChangesNothing) {
    Uncheck();
    ClickWindow(program.Control(IDI_LANGUAGE));
    HWND menu = program.WaitForMenu();
    ASSERT_NE(menu, nullptr);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 3000));
    Sleep(200);
    EXPECT_FALSE(program.Checked(IDX_CLEAN_UNUSED));
    EXPECT_EQ(WindowText(program.Window()), "stylewick v0.1 - by Tavrel");
    EXPECT_EQ(TheUiState().languageCode, "EN");
    EXPECT_TRUE(MenuChecked(0));
    EXPECT_FALSE(program.WaitForEnd(0));
}

TEST_F(LanguageSwitchTest, DoubleClickOnTheImageAlsoOpensTheMenu) {
    PostMessageA(program.Window(), WM_COMMAND, MAKEWPARAM(IDI_LANGUAGE, STN_DBLCLK),
                 reinterpret_cast<LPARAM>(program.Control(IDI_LANGUAGE)));
    HWND menu = program.WaitForMenu();
    ASSERT_NE(menu, nullptr);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 3000));
}

}  // namespace
