#include "ui/tooltips.h"

#include <commctrl.h>

#include "platform/utf16.h"
#include "ui/dialog_texts.h"
#include "ui/ui_state.h"

namespace ui {

namespace {

// The tool description in its full form, ending with the reserved pointer field (48 bytes in a
// 32-bit program), which every version of the control accepts.
constexpr UINT kToolInfoSize = sizeof(TTTOOLINFOW);
static_assert(sizeof(void*) != 4 || kToolInfoSize == 48, "the 32-bit tool description is 48 bytes");

TTTOOLINFOW ToolFor(HWND control, wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = kToolInfoSize;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    return tool;
}

}  // namespace

HWND CreateTooltipWindow(HWND parent) {
    UiState& ui = TheUiState();
    // A window that has gone with its owner no longer counts as existing.
    if (ui.tooltipWindow && IsWindow(ui.tooltipWindow)) return ui.tooltipWindow;
    ui.tooltipWindow = nullptr;
    if (!parent) parent = GetActiveWindow();
    if (!parent) return nullptr;
    HWND tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, L"", TTS_ALWAYSTIP | TTS_BALLOON, 0, 0, 0, 0,
                                   parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tooltip) return nullptr;
    ui.tooltipWindow = tooltip;
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kTooltipWidth);
    return tooltip;
}

int SetControlTooltip(HWND control, std::string text) {
    HWND tooltip = CreateTooltipWindow(GetParent(control));
    if (!tooltip) return 0;
    std::wstring shown = platform::Utf16(TooltipText(text));

    TTTOOLINFOW existing = ToolFor(control, nullptr);
    if (SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&existing)))
        SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&existing));

    TTTOOLINFOW tool = ToolFor(control, shown.data());
    return static_cast<int>(
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
}

}  // namespace ui
