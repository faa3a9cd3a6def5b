// The main window at the DPI of the test run: scripts/wine-tests runs these tests at 96, 120 and
// 144 DPI (the prefix's LogPixels). Fonts, pictures and control places follow the DPI, every text
// fits its control in both languages, and a change of DPI while the window is up scales it again.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/utf16.h"
#include "tests/win32/window_driver.h"
#include "ui/control_ids.h"
#include "ui/layout.h"

namespace ui {

namespace {

// How a control draws its text, which tells the room the text has.
enum class Drawn { Wrapped, CheckBox, Field, Button };
struct TextControl {
    int id;
    Drawn drawn;
};
const TextControl kTextControls[] = {
    {IDT_HTML_INPUT, Drawn::Wrapped}, {IDT_CSS_OUTPUT, Drawn::Wrapped},
    {IDT_WEB_LINK, Drawn::Wrapped},   {IDX_CLEAN_UNUSED, Drawn::CheckBox},
    {IDE_PAGE_PATH, Drawn::Field},    {IDE_SHEET_NAME, Drawn::Field},
    {IDB_BROWSE, Drawn::Button},
};

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
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

// The size the text of `control` takes with the control's own font: on one line, or wrapped at
// `wrapWidth` as a static control wraps it.
SIZE TextSize(HWND control, int wrapWidth = 0) {
    std::wstring text = platform::Utf16(WindowText(control));
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    if (wrapWidth > 0) {
        RECT box{0, 0, wrapWidth, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        size = {box.right, box.bottom};
    } else {
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// Checks that the text of every text control fits the room its control gives it.
void ExpectTextsFit(const RunningProgram& program, int dpi) {
    for (const TextControl& text : kTextControls) {
        HWND control = program.Control(text.id);
        RECT client{};
        GetClientRect(control, &client);
        SIZE room{client.right, client.bottom};
        SIZE needed = TextSize(control, text.drawn == Drawn::Wrapped ? room.cx : 0);
        if (text.drawn == Drawn::CheckBox) {
            room.cx -= GetSystemMetrics(SM_CXMENUCHECK) + Scaled(3, dpi);
        } else if (text.drawn == Drawn::Field) {
            DWORD margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
            room.cx -= LOWORD(margins) + HIWORD(margins);
        } else if (text.drawn == Drawn::Button) {
            room.cx -= 2 * Scaled(3, dpi);
            room.cy -= 2 * Scaled(3, dpi);
        }
        EXPECT_LE(needed.cx, room.cx) << WindowText(control) << " is cut at its right";
        EXPECT_LE(needed.cy, room.cy) << WindowText(control) << " is cut at its bottom";
    }
}

// Every control lies inside the client area, and no two overlap.
void ExpectInsideAndApart(const RunningProgram& program) {
    RECT client{};
    GetClientRect(program.Window(), &client);
    std::vector<RECT> boxes;
    for (const PlacedControl& placed : kLayoutTable) {
        RECT box = program.ClientRectOf(placed.id);
        EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= client.right &&
                    box.bottom <= client.bottom)
            << placed.id << " is outside the client area";
        for (const RECT& other : boxes) {
            RECT common{};
            EXPECT_FALSE(IntersectRect(&common, &box, &other)) << placed.id << " overlaps";
        }
        boxes.push_back(box);
    }
}

// The control's box in the table, scaled to `dpi` edge by edge.
RECT TableRect(int id, int dpi) {
    for (const PlacedControl& placed : kLayoutTable)
        if (placed.id == id)
            return {Scaled(placed.box.left, dpi), Scaled(placed.box.top, dpi),
                    Scaled(placed.box.Right(), dpi), Scaled(placed.box.Bottom(), dpi)};
    return {};
}

// The client area and every control as the table scaled to `dpi` gives them: the English
// window, whose texts fit the table.
void ExpectTableAt(const RunningProgram& program, int dpi) {
    RECT client{};
    GetClientRect(program.Window(), &client);
    EXPECT_EQ(client.right, Scaled(kClientWidth, dpi));
    EXPECT_EQ(client.bottom, Scaled(kClientHeight, dpi));
    for (const PlacedControl& placed : kLayoutTable) {
        RECT expected = TableRect(placed.id, dpi), shown = program.ClientRectOf(placed.id);
        EXPECT_TRUE(EqualRect(&shown, &expected))
            << placed.id << " at " << shown.left << "," << shown.top << "," << shown.right << ","
            << shown.bottom << " instead of " << expected.left << "," << expected.top << ","
            << expected.right << "," << expected.bottom;
    }
}

// Where a text did not fit, its control grew, but none moved more than a few pixels away from
// its place in the table.
void ExpectNearTheTable(const RunningProgram& program, int dpi) {
    const int allowed = Scaled(12, dpi);
    for (const PlacedControl& placed : kLayoutTable) {
        RECT table = TableRect(placed.id, dpi), shown = program.ClientRectOf(placed.id);
        EXPECT_LE(abs(shown.left - table.left) + abs(shown.right - table.right), allowed)
            << placed.id;
        EXPECT_LE(abs(shown.top - table.top) + abs(shown.bottom - table.bottom), allowed)
            << placed.id;
    }
}

// "MS Sans Serif" 8 points at `dpi` on every control, underlined on the link; the window icons,
// the launch picture and the language image at the sizes of `dpi`, and tips as wide.
void ExpectFontsAndPicturesAt(const RunningProgram& program, int dpi) {
    for (const PlacedControl& placed : kLayoutTable) {
        if (placed.id == IDI_LANGUAGE) continue;
        LOGFONTW font = FontOf(program.Control(placed.id));
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif") << placed.id;
        EXPECT_EQ(font.lfHeight, -MulDiv(8, dpi, 72)) << placed.id;
        EXPECT_EQ(font.lfWeight, FW_NORMAL) << placed.id;
        EXPECT_FALSE(font.lfItalic) << placed.id;
        EXPECT_EQ(font.lfCharSet, ANSI_CHARSET) << placed.id;
        EXPECT_EQ(font.lfUnderline != 0, placed.id == IDT_WEB_LINK) << placed.id;
    }
    auto windowIcon = [&](WPARAM which) {
        return IconSize(
            reinterpret_cast<HICON>(SendMessageW(program.Window(), WM_GETICON, which, 0)));
    };
    EXPECT_EQ(windowIcon(ICON_BIG).cx, Scaled(32, dpi));
    EXPECT_EQ(windowIcon(ICON_SMALL).cx, Scaled(16, dpi));
    SIZE launch = IconSize(reinterpret_cast<HICON>(
        SendMessageW(program.Control(IDB_LAUNCH), BM_GETIMAGE, IMAGE_ICON, 0)));
    EXPECT_EQ(launch.cx, Scaled(128, dpi));
    EXPECT_EQ(launch.cy, Scaled(128, dpi));
    BITMAP picture{};
    HANDLE bitmap = reinterpret_cast<HANDLE>(
        SendMessageW(program.Control(IDI_LANGUAGE), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_TRUE(GetObjectW(bitmap, sizeof picture, &picture));
    EXPECT_EQ(picture.bmWidth, Scaled(24, dpi));
    EXPECT_EQ(picture.bmHeight, Scaled(24, dpi));
    EXPECT_EQ(SendMessageW(MainTooltip(program.Window()), TTM_GETMAXTIPWIDTH, 0, 0),
              Scaled(300, dpi));
}

class WindowScaleTest : public testing::Test {
protected:
    RunningProgram program;
};

TEST_F(WindowScaleTest, RunsAtTheDpiAskedFor) {
    if (ExpectedDpi() == 0) GTEST_SKIP() << "no --dpi given";
    EXPECT_EQ(ScreenDpi(), static_cast<int>(ExpectedDpi()));
}

TEST_F(WindowScaleTest, EnglishKeepsTheTableScaledAndEveryTextFitsInBothLanguages) {
    int dpi = ScreenDpi();
    ExpectTableAt(program, dpi);
    ExpectFontsAndPicturesAt(program, dpi);
    ExpectTextsFit(program, dpi);
    ExpectInsideAndApart(program);

    program.ChooseLanguage(1);
    ASSERT_EQ(program.ControlText(IDT_HTML_INPUT), "Fichier Html");
    ExpectTextsFit(program, dpi);
    ExpectInsideAndApart(program);
    ExpectNearTheTable(program, dpi);

    program.ChooseLanguage(0);  // back in English, back on the table
    ExpectTableAt(program, dpi);
}

TEST_F(WindowScaleTest, ADpiChangeScalesTheWindowAgainWhereTheSystemProposes) {
    const int dpi = ScreenDpi();
    auto changeTo = [&](int newDpi) {
        RECT proposed{};
        GetWindowRect(program.Window(), &proposed);
        OffsetRect(&proposed, 10, 20);
        SendMessageW(program.Window(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                     reinterpret_cast<LPARAM>(&proposed));
        RECT frame{};
        GetWindowRect(program.Window(), &frame);
        EXPECT_EQ(frame.left, proposed.left);
        EXPECT_EQ(frame.top, proposed.top);
    };
    for (int newDpi : {dpi == 144 ? 96 : 144, dpi}) {
        SCOPED_TRACE(newDpi);
        changeTo(newDpi);
        ExpectTableAt(program, newDpi);
        ExpectFontsAndPicturesAt(program, newDpi);
    }
    program.ChooseLanguage(1);
    changeTo(dpi == 120 ? 144 : 120);
    ExpectTextsFit(program, dpi == 120 ? 144 : 120);
    ExpectInsideAndApart(program);
}

}  // namespace

}  // namespace ui
