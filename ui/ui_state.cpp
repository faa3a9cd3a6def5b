#include "ui/ui_state.h"

UiState& TheUiState() {
    static UiState state;
    return state;
}

std::string DialogItemText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}
