#include "ui/web_link.h"

#include <commctrl.h>

#include "ui/link_colour.h"

namespace ui {

namespace {

constexpr UINT_PTR kSubclassId = 1;

LRESULT CALLBACK WebLinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS: InvalidateRect(link, nullptr, TRUE); break;
        case WM_PAINT: {
            LRESULT painted = DefSubclassProc(link, message, wParam, lParam);
            if (GetFocus() == link) {
                RECT box{};
                GetClientRect(link, &box);
                HDC dc = GetDC(link);
                DrawFocusRect(dc, &box);
                ReleaseDC(link, dc);
            }
            return painted;
        }
        case WM_NCDESTROY: RemoveWindowSubclass(link, WebLinkProc, kSubclassId); break;
    }
    return DefSubclassProc(link, message, wParam, lParam);
}

Rgb RgbOf(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }

}  // namespace

void MakeWebLink(HWND link) { SetWindowSubclass(link, WebLinkProc, kSubclassId, 0); }

COLORREF WebLinkColour() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    bool highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                        (contrast.dwFlags & HCF_HIGHCONTRASTON);
    if (UsesSystemLinkColour(highContrast, RgbOf(GetSysColor(COLOR_BTNFACE))))
        return GetSysColor(COLOR_HOTLIGHT);
    return RGB(0, 0, 255);
}

}  // namespace ui
