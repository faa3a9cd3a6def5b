#include "ui/tooltips.h"

#include <commctrl.h>

#include "ui/dialog_texts.h"
#include "ui/ui_state.h"

namespace {

// The ANSI tool description in its 48-byte form, ending with the reserved pointer field.
constexpr UINT kToolInfoSize = 48;
static_assert(sizeof(void*) != 4 || sizeof(TTTOOLINFOA) == kToolInfoSize,
              "the 32-bit tool description is 48 bytes");

TTTOOLINFOA ToolFor(HWND control, char* text) {
    TTTOOLINFOA tool{};
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
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, "", TTS_ALWAYSTIP | TTS_BALLOON, 0, 0, 0, 0,
                                   parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!tooltip) return nullptr;
    ui.tooltipWindow = tooltip;
    SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 300);
    return tooltip;
}

int SetControlTooltip(HWND control, std::string text) {
    HWND tooltip = CreateTooltipWindow(GetParent(control));
    if (!tooltip) return 0;
    std::string shown = TooltipText(text);

    TTTOOLINFOA existing = ToolFor(control, nullptr);
    if (SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&existing)))
        SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&existing));

    TTTOOLINFOA tool = ToolFor(control, shown.data());
    return static_cast<int>(
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
}
