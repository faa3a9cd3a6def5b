// The language menu on the language image, and what a switch re-labels.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include "platform/utf16.h"
#include "tests/win32/window_driver.h"
#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/ui_state.h"
#include "version.h"

namespace ui {

namespace {

// The texts of the tools that belong to the control `id`.
std::vector<std::string> TipsOf(const RunningProgram& program, int id) {
    return ToolTexts(program.Window(), program.Control(id));
}

// The name a screen reader gives `control`, through the system's accessibility objects, as a
// screen reader asks for it: from a thread of its own that has COM.
std::string AccessibleName(HWND control) {
    struct Com {
        HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ~Com() {
            if (SUCCEEDED(started)) CoUninitialize();
        }
    } com;
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&accessible))))
        return "<no accessible object>";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string shown = "<no name>";
    if (accessible->get_accName(self, &name) == S_OK && name) shown = platform::Utf8(name);
    SysFreeString(name);
    accessible->Release();
    return shown;
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
    // The window's texts, the menu's check mark and the language code all say `language`.
    void ExpectChosen(texts::Language language) {
        // The switch happens on the window's thread: wait for it before reading the labels.
        const char* code = language == texts::Language::French ? "FR" : "EN";
        ASSERT_TRUE(WaitUntil([&] { return TheUiState().languageCode == code; }));
        ASSERT_TRUE(
            WaitUntil([&] { return WindowText(program.Window()) == MainCaption(language); }));
        ExpectWindowIn(program, language);
        EXPECT_EQ(MenuChecked(0), language == texts::Language::English);
        EXPECT_EQ(MenuChecked(1), language == texts::Language::French);
        EXPECT_EQ(TheUiState().languageCode, language == texts::Language::French ? "FR" : "EN");
    }
};

TEST_F(LanguageSwitchTest, FrenchAndBackRelabelsTheWindowAndKeepsTheTypedName) {
    Uncheck();
    TypeSheetName("site.css");

    program.ChooseLanguage(1);
    ExpectChosen(texts::Language::French);
    EXPECT_EQ(program.ControlText(IDE_SHEET_NAME), "site.css");
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
    EXPECT_EQ(TheUiState().pagePath, "<none selected>");
    using Texts = std::vector<std::string>;
    EXPECT_EQ(TipsOf(program, IDB_LAUNCH),
              Texts{"Lancer l'extraction vers un css externe des css présents dans les tags "
                    "et dans le header!"});
    EXPECT_EQ(TipsOf(program, IDX_CLEAN_UNUSED),
              Texts{"Bonus: nettoyer les éléments CSS utilisés nulle part dans la page "
                    "HTML (particulièrement intéressant pour les pages web générées "
                    "automatiquement, par ex. par Ms Word)"});
    EXPECT_EQ(TipsOf(program, IDT_WEB_LINK), Texts{STYLEWICK_WEBSITE});

    Uncheck();
    program.ChooseLanguage(0);
    ExpectChosen(texts::Language::English);
    EXPECT_EQ(program.ControlText(IDE_SHEET_NAME), "site.css");
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
}

TEST_F(LanguageSwitchTest, ChoosingTheCurrentLanguageChecksTheBoxAgain) {
    Uncheck();
    program.ChooseLanguage(0);
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
    ExpectWindowIn(program, texts::Language::English);
}

TEST_F(LanguageSwitchTest, SeveralSwitchesLeaveExactlyOneToolPerControl) {
    for (int position : {1, 0, 1}) program.ChooseLanguage(position);
    std::vector<std::string> launchTips = TipsOf(program, IDB_LAUNCH);
    ASSERT_EQ(launchTips.size(), 1u);
    EXPECT_EQ(launchTips[0].substr(0, 22), "Lancer l'extraction ve");
    EXPECT_EQ(TipsOf(program, IDX_CLEAN_UNUSED).size(), 1u);
    EXPECT_EQ(TipsOf(program, IDT_WEB_LINK).size(), 1u);
    EXPECT_EQ(TipsOf(program, IDE_PAGE_PATH).size(), 0u);
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
    ExpectChosen(texts::Language::English);
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

TEST_F(LanguageSwitchTest, AltLOpensTheMenuBelowTheImageForTheKeyboard) {
    PressKeyWith(VK_MENU, 'L');
    HWND menu = program.WaitForMenu();
    ASSERT_NE(menu, nullptr);
    RECT image{}, shown{};
    GetWindowRect(program.Control(IDI_LANGUAGE), &image);
    GetWindowRect(menu, &shown);
    EXPECT_EQ(shown.left, image.left);
    EXPECT_EQ(shown.top, image.bottom);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 3000));
    ExpectChosen(texts::Language::French);
}

TEST_F(LanguageSwitchTest, ThePicturesAreNamedForScreenReadersInTheLanguageShown) {
    EXPECT_EQ(AccessibleName(program.Control(IDB_LAUNCH)),
              "Launch the extraction of inline and internal css to external css!");
    EXPECT_EQ(AccessibleName(program.Control(IDI_LANGUAGE)), "Language: English or French (Alt+L)");
    // The browse button shows "..." and is read as what it does.
    EXPECT_EQ(AccessibleName(program.Control(IDB_BROWSE)), "Browse for the page");
    EXPECT_EQ(program.ControlText(IDB_BROWSE), "...");
    program.ChooseLanguage(1);
    EXPECT_EQ(AccessibleName(program.Control(IDB_BROWSE)), "Choisir la page");
    EXPECT_EQ(AccessibleName(program.Control(IDB_LAUNCH)),
              "Lancer l'extraction vers un css externe des css présents dans les tags et dans le "
              "header!");
    EXPECT_EQ(AccessibleName(program.Control(IDI_LANGUAGE)),
              "Langue : anglais ou français (Alt+L)");
    // The language image keeps its picture.
    EXPECT_NE(SendMessageW(program.Control(IDI_LANGUAGE), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

}  // namespace

}  // namespace ui
