#include "ui/window_text.h"

#include "platform/utf16.h"
#include "texts/strings.h"
#include "ui/control_ids.h"

namespace ui {

std::string WindowTextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return platform::Utf8(text);
}

void SetWindowTextOf(HWND window, std::string_view text) {
    SetWindowTextW(window, platform::Utf16(text).c_str());
}

void SetPictureName(HWND control, std::string_view name) {
    DefWindowProcW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(platform::Utf16(name).c_str()));
}

std::string DialogItemText(HWND dialog, int controlId) {
    return WindowTextOf(GetDlgItem(dialog, controlId));
}

void SetDialogItemText(HWND dialog, int controlId, std::string_view text) {
    SetWindowTextOf(GetDlgItem(dialog, controlId), text);
}

void SetPagePathText(HWND mainWindow, std::string_view text) {
    HWND field = GetDlgItem(mainWindow, IDE_PAGE_PATH);
    SetWindowTextOf(field, text);
    int length = GetWindowTextLengthW(field);
    SendMessageW(field, EM_SETSEL, length, length);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
}

void ShowMessage(HWND mainWindow, std::string_view text, UINT icon) {
    MessageBoxW(mainWindow, platform::Utf16(text).c_str(),
                platform::Utf16(texts::kProductName).c_str(), MB_OK | icon | MB_TASKMODAL);
}

}  // namespace ui
