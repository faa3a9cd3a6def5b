#include "ui/language_switch.h"

#include <cwctype>

#include "platform/utf16.h"
#include "ui/accessible_name.h"
#include "ui/commands.h"
#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/extraction_run_win32.h"
#include "ui/tooltips.h"
#include "ui/ui_state.h"
#include "ui/window_scale.h"
#include "ui/window_text.h"
#include "version.h"

namespace ui {

namespace {

void AppendMenuItem(HMENU menu, int commandId, const char* text, bool checked) {
    std::wstring wide = platform::Utf16(text);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
    item.wID = static_cast<UINT>(commandId);
    item.dwTypeData = wide.data();
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &item);
}

// Sees every message of the main window's dialog loop before the dialog manager does.
LRESULT CALLBACK LanguageKeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    HWND mainWindow = TheUiState().mainWindow;
    if (code == MSGF_DIALOGBOX && message->message == WM_SYSCHAR &&
        std::towlower(static_cast<wint_t>(message->wParam)) == L'l' && mainWindow &&
        (message->hwnd == mainWindow || IsChild(mainWindow, message->hwnd))) {
        PostMessageW(mainWindow, kLanguageKeyMessage, 0, 0);
        return TRUE;  // taken: no beep for a key without a menu
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

HMENU CreateLanguageMenu(texts::Language checked) {
    HMENU menu = CreatePopupMenu();
    AppendMenuItem(menu, IDM_ENGLISH, texts::kEnglishMenuItem, checked == texts::Language::English);
    AppendMenuItem(menu, IDM_FRENCH, texts::kFrenchMenuItem, checked == texts::Language::French);
    return menu;
}

void LanguageCommand(HWND mainWindow, bool fromKeyboard) {
    // The run has read the choices; a switch would check the box again under it.
    if (RunUnderWay()) return;
    POINT at{};
    HWND owner = mainWindow;
    if (fromKeyboard) {
        RECT image{};
        GetWindowRect(GetDlgItem(mainWindow, IDI_LANGUAGE), &image);
        at = {image.left, image.bottom};
    } else {
        GetCursorPos(&at);
        if (HWND underMouse = WindowFromPoint(at)) owner = underMouse;
    }
    int chosen = TrackPopupMenuEx(TheUiState().languageMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x,
                                  at.y, owner, nullptr);
    if (chosen == IDM_ENGLISH)
        ApplyLanguage(mainWindow, texts::Language::English);
    else if (chosen == IDM_FRENCH)
        ApplyLanguage(mainWindow, texts::Language::French);
}

void ApplyLanguage(HWND mainWindow, texts::Language language) {
    UiState& ui = TheUiState();
    ui.languageCode = texts::LanguageCode(language);
    bool english = language == texts::Language::English;
    CheckMenuItem(ui.languageMenu, 0, MF_BYPOSITION | (english ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(ui.languageMenu, 1, MF_BYPOSITION | (english ? MF_UNCHECKED : MF_CHECKED));
    LabelMainWindow(mainWindow, language);
    CheckDlgButton(mainWindow, IDX_CLEAN_UNUSED, BST_CHECKED);
    LayOutControls(mainWindow);
}

void LabelMainWindow(HWND mainWindow, texts::Language language) {
    SetWindowTextOf(mainWindow, MainCaption(language));
    for (const ControlText& entry : kControlTexts) {
        HWND control = GetDlgItem(mainWindow, entry.controlId);
        const char* text = texts::Text(entry.text, language);
        if (entry.shownAs == ShownAs::WindowText) SetWindowTextOf(control, text);
        if (entry.shownAs == ShownAs::NameAndTooltip) SetPictureName(control, text);
        if (entry.shownAs == ShownAs::AccessibleName) SetAccessibleName(control, text);
        if (entry.shownAs == ShownAs::Tooltip || entry.shownAs == ShownAs::NameAndTooltip)
            SetControlTooltip(control, text);
    }
    SetControlTooltip(GetDlgItem(mainWindow, IDT_WEB_LINK), STYLEWICK_WEBSITE);
    ShowChosenPages(mainWindow, language);
}

void ListenForLanguageKey(HWND mainWindow) {
    UiState& ui = TheUiState();
    ui.mainWindow = mainWindow;
    if (!ui.languageKey)
        ui.languageKey =
            SetWindowsHookExW(WH_MSGFILTER, LanguageKeyFilter, nullptr, GetCurrentThreadId());
}

void StopListeningForLanguageKey() {
    UiState& ui = TheUiState();
    if (ui.languageKey) UnhookWindowsHookEx(ui.languageKey);
    ui.languageKey = nullptr;
    ui.mainWindow = nullptr;
}

}  // namespace ui
