#include "ui/start_up.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "platform/console.h"
#include "texts/strings.h"
#include "ui/commands.h"
#include "ui/language_switch.h"
#include "ui/main_window.h"
#include "ui/ui_state.h"

namespace ui {

int StartUp(const std::vector<std::string>& arguments) {
    UiState& ui = TheUiState();
    // The user's own language, French or English; nothing is stored.
    texts::Language language =
        platform::UserLanguageIsFrench() ? texts::Language::French : texts::Language::English;
    ui.languageCode = texts::LanguageCode(language);
    std::vector<std::string> pages = PagesAmong(arguments);
    ui.pagePath = pages.empty() ? texts::kNoPageSelected : pages.front();
    ui.pagePaths = pages.size() > 1 ? pages : std::vector<std::string>();
    ui.languageMenu = CreateLanguageMenu(language);

    // Registers the version 6 controls (tooltips) that the manifest asks for.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // COM for the window's thread: the accessible objects handed to screen readers, and the
    // shell's parts of the file dialog.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ShowMainWindow(nullptr);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

}  // namespace ui
