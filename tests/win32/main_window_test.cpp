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
    {IDT_WEB_LINK, "Static", SS_CENTER | SS_NOTIFY, 0, {8, 120, 240, 136}},
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LOGFONTA FontOf(HWND window) {
    LOGFONTA font{};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    GetObjectA(handle, sizeof font, &font);
    return font;
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {0, 0};
    BITMAP colour{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {colour.bmWidth, colour.bmHeight};
}

class MainWindowTest : public testing::Test {
protected:
    RunningProgram program;
};

TEST_F(MainWindowTest, StartsInEnglishWithNoPageAndTheBoxChecked) {
    ASSERT_NE(program.Window(), nullptr);
    ExpectWindowIn(program, Language::English);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), "<none selected>");
    EXPECT_EQ(program.ControlText(IDE_SHEET_NAME), "styles.css");
    EXPECT_EQ(program.ControlText(IDB_LAUNCH), "");
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

TEST_F(MainWindowTest, TabVisitsBrowseNameCheckBoxAndLaunchOnly) {
    const int order[] = {IDE_SHEET_NAME, IDX_CLEAN_UNUSED, IDB_LAUNCH, IDB_BROWSE, IDE_SHEET_NAME};
    ASSERT_EQ(program.Focus(), program.Control(IDB_BROWSE));
    for (int id : order) {
        PressKey(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(id); }, 2000))
            << "expected focus on " << id << ", got " << GetDlgCtrlID(program.Focus());
    }
}

TEST_F(MainWindowTest, WindowFontOnEveryControlAndAnUnderlinedLinkFont) {
    HDC screen = GetDC(nullptr);
    const LONG height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    for (const ExpectedControl& expected : kExpected) {
        if (expected.id == IDI_LANGUAGE) continue;
        SCOPED_TRACE(expected.id);
        LOGFONTA font = FontOf(program.Control(expected.id));
        EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(font.lfHeight, height);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_FALSE(font.lfItalic);
        EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(font.lfUnderline != 0, expected.id == IDT_WEB_LINK);
    }
}

TEST_F(MainWindowTest, OnlyTheWebLinkIsDrawnBlue) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageA(program.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(program.Control(IDT_HTML_INPUT)));
    EXPECT_NE(GetTextColor(dc), RGB(0, 0, 255));
    LRESULT brush = SendMessageA(program.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(program.Control(IDT_WEB_LINK)));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_NE(brush, 0);
    DeleteDC(dc);
}

TEST_F(MainWindowTest, WindowIconLaunchPictureAndLanguageImage) {
    HWND window = program.Window();
    SIZE large = IconSize(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)));
    SIZE small = IconSize(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(large.cx, 32);
    EXPECT_EQ(large.cy, 32);
    EXPECT_EQ(small.cx, 16);
    EXPECT_EQ(small.cy, 16);
    SIZE launch = IconSize(reinterpret_cast<HICON>(
        SendMessageA(program.Control(IDB_LAUNCH), BM_GETIMAGE, IMAGE_ICON, 0)));
    EXPECT_EQ(launch.cx, 128);
    EXPECT_EQ(launch.cy, 128);
    BITMAP picture{};
    HANDLE bitmap = reinterpret_cast<HANDLE>(
        SendMessageA(program.Control(IDI_LANGUAGE), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_TRUE(GetObjectA(bitmap, sizeof picture, &picture));
    EXPECT_EQ(picture.bmWidth, 24);
    EXPECT_EQ(picture.bmHeight, 24);
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

TEST_F(MainWindowTest, LaunchCheckBoxAndLinkHaveOneTooltipEachAtStart) {
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
    EXPECT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(IDB_LAUNCH); }, 2000));
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
    EXPECT_EQ(groupSizes("AICO"),
              (Sizes{{16, 32}, {32, 32}, {48, 32}, {64, 32}, {128, 32}, {256, 32}}));
    EXPECT_EQ(groupSizes("BICO"), (Sizes{{16, 32}, {32, 32}, {48, 32}, {64, 32}, {128, 32}}));

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
}

}  // namespace
