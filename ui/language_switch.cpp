#include "ui/language_switch.h"

#include "platform/utf16.h"
#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/tooltips.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"

namespace {

void AppendMenuItem(HMENU menu, int commandId, const char* text, bool checked) {
    std::wstring wide = Utf16(text);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
    item.wID = static_cast<UINT>(commandId);
    item.dwTypeData = wide.data();
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &item);
}

}  // namespace

HMENU CreateLanguageMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuItem(menu, IDM_ENGLISH, kEnglishMenuItem, true);
    AppendMenuItem(menu, IDM_FRENCH, kFrenchMenuItem, false);
    return menu;
}

void LanguageCommand(HWND mainWindow) {
    POINT mouse{};
    GetCursorPos(&mouse);
    HWND owner = WindowFromPoint(mouse);
    if (!owner) owner = mainWindow;
    int chosen = TrackPopupMenuEx(TheUiState().languageMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                  mouse.x, mouse.y, owner, nullptr);
    if (chosen == IDM_ENGLISH)
        ApplyLanguage(mainWindow, Language::English);
    else if (chosen == IDM_FRENCH)
        ApplyLanguage(mainWindow, Language::French);
}

void ApplyLanguage(HWND mainWindow, Language language) {
    UiState& ui = TheUiState();
    ui.languageCode = LanguageCode(language);
    bool english = language == Language::English;
    CheckMenuItem(ui.languageMenu, 0, MF_BYPOSITION | (english ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(ui.languageMenu, 1, MF_BYPOSITION | (english ? MF_UNCHECKED : MF_CHECKED));
    SetWindowTextOf(mainWindow, MainCaption(language));
    SetControlTooltip(GetDlgItem(mainWindow, IDB_LAUNCH), Text(TextId::LaunchTooltip, language));
    SetControlTooltip(GetDlgItem(mainWindow, IDX_CLEAN_UNUSED), CleanUnusedTooltip(language));
    CheckDlgButton(mainWindow, IDX_CLEAN_UNUSED, BST_CHECKED);
    if (!IsPageChosen(ui.pagePath))
        SetDialogItemText(mainWindow, IDE_PAGE_PATH, Text(TextId::NothingSelected, language));
    for (const ControlText& label : kLanguageLabels)
        SetDialogItemText(mainWindow, label.controlId, Text(label.text, language));
}
