// The main window as it starts: controls, layout, fonts, images, cursor, tooltips, closing.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/win32/window_driver.h"
#include "ui/control_ids.h"
#include "ui/ui_state.h"
#include "version.h"

namespace ui {

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    DWORD style;  // the bits that must be set, beyond WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    RECT rect;  // client pixels: left, top, right, bottom
};

// In creation order, which is the tab order.
const ExpectedControl kExpected[] = {
    {IDT_HTML_INPUT, "Static", SS_LEFT, 0, {8, 12, 72, 32}},
    {IDE_PAGE_PATH, "Edit", ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {72, 10, 208, 30}},
    {IDB_BROWSE, "Button", BS_PUSHBUTTON | WS_TABSTOP, 0, {208, 8, 240, 32}},
    {IDT_CSS_OUTPUT, "Static", SS_LEFT, 0, {8, 52, 72, 72}},
    {IDE_SHEET_NAME, "Edit", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {72, 48, 168, 68}},
    {IDI_LANGUAGE, "Static", SS_BITMAP | SS_NOTIFY, 0, {192, 46, 216, 70}},
    {IDX_CLEAN_UNUSED, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0, {28, 84, 240, 108}},
    {IDB_LAUNCH, "Button", BS_ICON | WS_TABSTOP, 0, {248, 8, 376, 136}},
    {IDT_WEB_LINK, "Static", SS_CENTER | SS_NOTIFY | WS_TABSTOP, 0, {8, 120, 240, 136}},
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

class MainWindowTest : public testing::Test {
protected:
    RunningProgram program;
};

TEST_F(MainWindowTest, StartsInEnglishWithNoPageAndTheBoxChecked) {
    ASSERT_NE(program.Window(), nullptr);
    ExpectWindowIn(program, texts::Language::English);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), "<none selected>");
    EXPECT_EQ(program.ControlText(IDE_SHEET_NAME), "styles.css");
    // The picture controls carry names for screen readers: their tooltips.
    EXPECT_EQ(program.ControlText(IDB_LAUNCH),
              "Launch the extraction of inline and internal css to external css!");
    EXPECT_EQ(program.ControlText(IDI_LANGUAGE), "Language: English or French (Alt+L)");
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
    EXPECT_EQ(program.Focus(), program.Control(IDB_BROWSE));

    HMENU menu = TheUiState().languageMenu;
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    wchar_t text[32] = {};
    GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"English");
    GetMenuStringW(menu, 1, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Fran\u00E7ais");
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(IDM_ENGLISH));
    EXPECT_EQ(GetMenuItemID(menu, 1), static_cast<UINT>(IDM_FRENCH));
    EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_CHECKED);
}

TEST_F(MainWindowTest, NineControlsInOrderWithTheirClassesStylesAndPixelPlaces) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(program.Window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    ASSERT_EQ(children.size(), std::size(kExpected));
    for (size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& expected = kExpected[i];
        SCOPED_TRACE(expected.id);
        HWND control = children[i];
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        EXPECT_EQ(_stricmp(ClassOf(control).c_str(), expected.className), 0) << ClassOf(control);
        DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | expected.style),
                  WS_CHILD | WS_VISIBLE | expected.style);
        EXPECT_EQ((style & WS_TABSTOP) != 0, (expected.style & WS_TABSTOP) != 0);
        DWORD exStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
        EXPECT_EQ(exStyle & WS_EX_CLIENTEDGE, expected.exStyle);
        RECT r = program.ClientRectOf(expected.id);
        EXPECT_EQ(r.left, expected.rect.left);
        EXPECT_EQ(r.top, expected.rect.top);
        EXPECT_EQ(r.right, expected.rect.right);
        EXPECT_EQ(r.bottom, expected.rect.bottom);
        EXPECT_TRUE(IsWindowEnabled(control));
    }
    // Static controls keep their alignment type exactly, not just its bits.
    EXPECT_EQ(GetWindowLongA(program.Control(IDT_HTML_INPUT), GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    EXPECT_EQ(GetWindowLongA(program.Control(IDT_WEB_LINK), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(GetWindowLongA(program.Control(IDB_BROWSE), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(program.Control(IDX_CLEAN_UNUSED), GWL_STYLE) & BS_TYPEMASK,
              BS_AUTOCHECKBOX);
    EXPECT_GT(SendMessageA(program.Control(IDE_SHEET_NAME), EM_GETLIMITTEXT, 0, 0), 0x10000);
}

TEST_F(MainWindowTest, FixedPopupWindowWithExactClientAreaCentredInTheWorkArea) {
    HWND window = program.Window();
    DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    DWORD wanted = WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_EQ(exStyle & (WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE),
              DWORD{WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE});
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 387);
    EXPECT_EQ(client.bottom, 144);
    RECT frame{}, work{};
    GetWindowRect(window, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
    EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
}

TEST_F(MainWindowTest, TabVisitsBrowseNameCheckBoxLaunchAndTheLinkOnly) {
    const int order[] = {IDE_SHEET_NAME, IDX_CLEAN_UNUSED, IDB_LAUNCH, IDT_WEB_LINK, IDB_BROWSE};
    ASSERT_EQ(program.Focus(), program.Control(IDB_BROWSE));
    for (int id : order) {
        PressKey(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(id); }, 2000))
            << "expected focus on " << id << ", got " << GetDlgCtrlID(program.Focus());
    }
}

TEST_F(MainWindowTest, OnlyTheWebLinkIsDrawnBlueOrInTheSystemLinkColourOnADarkScheme) {
    HDC dc = CreateCompatibleDC(nullptr);
    // The text colour the window gives `id` when asked how to draw it.
    auto colourOf = [&](int id) {
        SetTextColor(dc, RGB(1, 2, 3));
        LRESULT brush =
            SendMessageA(program.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(program.Control(id)));
        EXPECT_NE(brush, 0);
        return GetTextColor(dc);
    };
    EXPECT_NE(colourOf(IDT_HTML_INPUT), RGB(0, 0, 255));
    EXPECT_EQ(colourOf(IDT_WEB_LINK), RGB(0, 0, 255));

    // A dark scheme: blue would read 2.4 to 1 on black. Wine keeps no high-contrast flag
    // (SPI_SETHIGHCONTRAST), so the scheme is made by its colours; the flag takes the same way.
    const int elements[] = {COLOR_BTNFACE, COLOR_HOTLIGHT};
    const COLORREF before[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_HOTLIGHT)};
    const COLORREF dark[] = {RGB(0, 0, 0), RGB(255, 255, 0)};
    ASSERT_TRUE(SetSysColors(2, elements, dark));
    EXPECT_EQ(colourOf(IDT_WEB_LINK), RGB(255, 255, 0));
    SetSysColors(2, elements, before);
    EXPECT_EQ(colourOf(IDT_WEB_LINK), RGB(0, 0, 255));
    DeleteDC(dc);
}

TEST_F(MainWindowTest, HandCursorOverTheLinkAndTheLanguageImageOnly) {
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR beam = LoadCursor(nullptr, IDC_IBEAM);
    // The query that the system makes when the mouse moves over a control: the control asks
    // its parent first. Returns the cursor then shown.
    auto cursorOver = [&](int id, HCURSOR expected) {
        HWND control = program.Control(id);
        SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        CURSORINFO info{};
        info.cbSize = sizeof info;
        WaitUntil([&] { return GetCursorInfo(&info) && info.hCursor == expected; }, 1000);
        return info.hCursor;
    };
    EXPECT_EQ(cursorOver(IDT_WEB_LINK, hand), hand);
    EXPECT_EQ(cursorOver(IDE_SHEET_NAME, beam), beam);
    EXPECT_EQ(cursorOver(IDI_LANGUAGE, hand), hand);
    EXPECT_EQ(cursorOver(IDT_HTML_INPUT, arrow), arrow);
    EXPECT_EQ(cursorOver(IDT_WEB_LINK, hand), hand);
    EXPECT_EQ(cursorOver(IDB_LAUNCH, arrow), arrow);
    EXPECT_EQ(cursorOver(IDI_LANGUAGE, hand), hand);
    EXPECT_EQ(cursorOver(IDE_PAGE_PATH, beam), beam);

    // The answer to the cursor query is marked handled for the two controls.
    for (int id : {IDT_WEB_LINK, IDI_LANGUAGE}) {
        LRESULT answer = SendMessageA(program.Window(), WM_SETCURSOR,
                                      reinterpret_cast<WPARAM>(program.Control(id)),
                                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(answer, 1) << id;
    }
}

TEST_F(MainWindowTest, LaunchCheckBoxLanguageImageAndLinkHaveOneTooltipEachAtStart) {
    std::vector<std::pair<int, std::string>> tools;
    for (const Tool& tool : Tools(program.Window()))
        tools.emplace_back(GetDlgCtrlID(tool.control), tool.text);
    using Tools = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(
        tools,
        (Tools{{IDB_LAUNCH, "Launch the extraction of inline and internal css to external css!"},
               {IDX_CLEAN_UNUSED,
                "Bonus: clean CSS elements that are used nowhere in the HTML page "
                "(particularly useful for webpages generated automatically, e.g. by "
                "Ms Word)"},
               {IDI_LANGUAGE, "Language: English or French (Alt+L)"},
               {IDT_WEB_LINK, STYLEWICK_WEBSITE}}));
}

TEST_F(MainWindowTest, TooltipControlIsAnAlwaysShownBalloon300PixelsWide) {
    HWND tooltip = MainTooltip(program.Window());
    ASSERT_NE(tooltip, nullptr);
    DWORD style = static_cast<DWORD>(GetWindowLongA(tooltip, GWL_STYLE));
    EXPECT_EQ(style & (TTS_ALWAYSTIP | TTS_BALLOON), DWORD{TTS_ALWAYSTIP | TTS_BALLOON});
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
}

TEST_F(MainWindowTest, EscapeDoesNothing) {
    PressKey(VK_ESCAPE);
    Sleep(300);
    EXPECT_FALSE(program.WaitForEnd(0));
    EXPECT_TRUE(IsWindowVisible(program.Window()));
    PressKeyWith(VK_SHIFT, VK_TAB);  // the window still takes keys
    EXPECT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(IDT_WEB_LINK); }, 2000));
}

TEST_F(MainWindowTest, AltF4EndsTheProgram) {
    PressKeyWith(VK_MENU, VK_F4);
    ASSERT_TRUE(program.WaitForEnd());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(MainWindowTest, CloseInTheSystemMenuEndsTheProgram) {
    PostMessageA(program.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program.WaitForEnd());
    EXPECT_EQ(program.ExitCode(), 0u);
}

// The resources linked into the program, read back as the system sees them.
TEST(Resources, IconGroupsBitmapAndManifest) {
    auto groupSizes = [](const char* name) {
        std::vector<std::pair<int, int>> sizes;  // {pixels, bits per pixel}
        HRSRC found = FindResourceA(nullptr, name, RT_GROUP_ICON);
        if (!found) return sizes;
        auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
        int count = bytes[4] | bytes[5] << 8;
        for (int i = 0; i < count; ++i) {
            const BYTE* entry = bytes + 6 + 14 * i;
            sizes.emplace_back(entry[0] == 0 ? 256 : entry[0], entry[6] | entry[7] << 8);
        }
        return sizes;
    };
    using Sizes = std::vector<std::pair<int, int>>;
    // The sizes of 100, 125 and 150 % are drawn, not stretched: 16 and 32, 20 and 40, 24 and 48
    // for the window; 128, 160 and 192 for the launch button.
    EXPECT_EQ(groupSizes("AICO"), (Sizes{{16, 32},
                                         {20, 32},
                                         {24, 32},
                                         {32, 32},
                                         {40, 32},
                                         {48, 32},
                                         {64, 32},
                                         {128, 32},
                                         {256, 32}}));
    EXPECT_EQ(groupSizes("BICO"),
              (Sizes{{16, 32}, {32, 32}, {48, 32}, {64, 32}, {128, 32}, {160, 32}, {192, 32}}));
    for (auto [name, size] : {std::pair{"LANG30", 30}, {"LANG36", 36}, {"LANG48", 48}}) {
        HRSRC larger = FindResourceA(nullptr, name, RT_BITMAP);
        ASSERT_NE(larger, nullptr) << name;
        auto* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, larger)));
        EXPECT_EQ(header->biWidth, size) << name;
        EXPECT_EQ(header->biHeight, size) << name;
    }

    HRSRC lang = FindResourceA(nullptr, "LANG", RT_BITMAP);
    ASSERT_NE(lang, nullptr);
    auto* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(nullptr, lang)));
    EXPECT_EQ(info->bmiHeader.biWidth, 24);
    EXPECT_EQ(info->bmiHeader.biHeight, 24);
    EXPECT_EQ(info->bmiHeader.biBitCount, 8);
    // The top-left pixel (last row in the bottom-up data) is the light grey background.
    const BYTE* pixels = reinterpret_cast<const BYTE*>(info->bmiColors + 256);
    const RGBQUAD& corner = info->bmiColors[pixels[23 * 24]];
    EXPECT_EQ(RGB(corner.rgbRed, corner.rgbGreen, corner.rgbBlue), RGB(240, 240, 240));

    HRSRC manifest = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, manifest))),
                     SizeofResource(nullptr, manifest));
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(text.find("processorArchitecture=\"x86\" publicKeyToken=\"6595b64144ccf1df\""),
              std::string::npos);
    // The program's own identity carries the version of the build, as four numbers.
    std::string version;
    for (int number : {STYLEWICK_VERSION_NUMBERS})
        version += (version.empty() ? "" : ".") + std::to_string(number);
    EXPECT_NE(text.find("name=\"Tavrel.stylewick\" version=\"" + version + "\""),
              std::string::npos);
    // Wine takes long paths anyway; Windows 10 lifts its limit for programs that say this.
    EXPECT_NE(text.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                        "WindowsSettings\">true</longPathAware>"),
              std::string::npos);
    // Aware of each monitor's DPI (per-monitor v2 where the system has it), of the system's on
    // Windows 7: Windows never stretches the window.
    EXPECT_NE(text.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                        "WindowsSettings\">true/pm</dpiAware>"),
              std::string::npos);
    EXPECT_NE(text.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                        "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
}

}  // namespace

}  // namespace ui
