#include "ui/window_scale.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/utf16.h"
#include "ui/layout.h"
#include "ui/tooltips.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"

namespace ui {

namespace {

constexpr int kFontPoints = 8;

// A function of user32 that older Windows lacks: nullptr there.
template <typename Function>
Function* OptionalUser32Function(const char* name) {
    FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

// "MS Sans Serif" 8 points at `dpi`, normal, ANSI; underlined for the web link.
HFONT MakeFont(int dpi, bool underlined) {
    return CreateFontW(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, underlined, FALSE,
                       ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
}

void ReplaceFonts(HWND mainWindow, int dpi) {
    UiState& ui = TheUiState();
    HFONT oldWindowFont = ui.windowFont;
    HFONT oldLinkFont = ui.linkFont;
    ui.windowFont = MakeFont(dpi, false);
    ui.linkFont = MakeFont(dpi, true);
    for (HWND c = GetWindow(mainWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        HFONT font = GetDlgCtrlID(c) == IDT_WEB_LINK ? ui.linkFont : ui.windowFont;
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (oldWindowFont) DeleteObject(oldWindowFont);
    if (oldLinkFont) DeleteObject(oldLinkFont);
}

// The language image drawn nearest to `size` pixels, stretched to it where none has it.
HANDLE LanguageImage(int size) {
    struct Drawn {
        int size;
        const wchar_t* name;
    };
    static const Drawn kDrawn[] = {
        {24, L"LANG"}, {30, L"LANG30"}, {36, L"LANG36"}, {48, L"LANG48"}};
    const Drawn* nearest = std::min_element(
        std::begin(kDrawn), std::end(kDrawn),
        [size](const Drawn& a, const Drawn& b) { return abs(a.size - size) < abs(b.size - size); });
    return LoadImageW(GetModuleHandleW(nullptr), nearest->name, IMAGE_BITMAP, size, size,
                      LR_DEFAULTCOLOR);
}

HICON LoadIconAt(const wchar_t* name, int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// Window icon, launch picture and language image at `dpi`; the replaced ones are freed.
void ReplacePictures(HWND mainWindow, int dpi) {
    for (auto [which, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
        LPARAM icon = reinterpret_cast<LPARAM>(LoadIconAt(L"AICO", ScaledPixels(size, dpi)));
        if (HICON old = reinterpret_cast<HICON>(SendMessageW(mainWindow, WM_SETICON, which, icon)))
            DestroyIcon(old);
    }
    LPARAM launch = reinterpret_cast<LPARAM>(LoadIconAt(L"BICO", ScaledPixels(128, dpi)));
    if (HICON old = reinterpret_cast<HICON>(
            SendDlgItemMessageW(mainWindow, IDB_LAUNCH, BM_SETIMAGE, IMAGE_ICON, launch)))
        DestroyIcon(old);
    LPARAM language = reinterpret_cast<LPARAM>(LanguageImage(ScaledPixels(24, dpi)));
    if (HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
            SendDlgItemMessageW(mainWindow, IDI_LANGUAGE, STM_SETIMAGE, IMAGE_BITMAP, language)))
        DeleteObject(old);
}

// The text of `control` as drawn with its font: on one line, or wrapped at `wrapWidth`.
SIZE TextSize(HWND control, int wrapWidth = 0) {
    std::wstring text = platform::Utf16(WindowTextOf(control));
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT box{0, 0, wrapWidth, 0};
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {box.right - box.left, box.bottom - box.top};
}

// Gives the window the table's client area at `dpi`, its top-left corner at `topLeft`.
void SizeClientArea(HWND mainWindow, int dpi, POINT topLeft) {
    const int width = ScaledPixels(kClientWidth, dpi), height = ScaledPixels(kClientHeight, dpi);
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(mainWindow, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(mainWindow, GWL_EXSTYLE)));
    SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
    SetWindowPos(mainWindow, nullptr, topLeft.x, topLeft.y, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame at the window's DPI may differ from the system's: what is missing is added.
    RECT client{};
    GetClientRect(mainWindow, &client);
    if (client.right != width || client.bottom != height)
        SetWindowPos(mainWindow, nullptr, 0, 0, outer.cx + width - client.right,
                     outer.cy + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT WINAPI(HWND);
    static auto* getDpiForWindow =
        OptionalUser32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow) return static_cast<int>(getDpiForWindow(window));
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void TakeOverDpiChanges(HWND mainWindow) {
    using SetBehaviourFunction = BOOL WINAPI(HWND, int, int);
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (auto* setBehaviour =
            OptionalUser32Function<SetBehaviourFunction>("SetDialogDpiChangeBehavior"))
        setBehaviour(mainWindow, kDisableAll, kDisableAll);
}

void ScaleMainWindow(HWND mainWindow, int dpi, POINT topLeft) {
    TheUiState().dpi = dpi;
    ReplaceFonts(mainWindow, dpi);
    ReplacePictures(mainWindow, dpi);
    if (HWND tooltip = TheUiState().tooltipWindow)
        SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, ScaledPixels(kTooltipWidth, dpi));
    SizeClientArea(mainWindow, dpi, topLeft);
    LayOutControls(mainWindow);
}

void LayOutControls(HWND mainWindow) {
    int dpi = TheUiState().dpi;
    auto textOf = [&](int id) { return TextSize(GetDlgItem(mainWindow, id)); };
    TextNeeds needs;
    needs.labelWidth = std::max(textOf(IDT_HTML_INPUT).cx, textOf(IDT_CSS_OUTPUT).cx);
    needs.checkBoxTextWidth = textOf(IDX_CLEAN_UNUSED).cx;
    needs.linkHeight =
        TextSize(GetDlgItem(mainWindow, IDT_WEB_LINK), TableBox(IDT_WEB_LINK, dpi).width).cy;
    for (const PlacedControl& placed : MainWindowLayout(dpi, needs).controls) {
        const Box& box = placed.box;
        SetWindowPos(GetDlgItem(mainWindow, placed.id), nullptr, box.left, box.top, box.width,
                     box.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A control that grew keeps the text it drew at its old size unless it is drawn again.
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace ui
