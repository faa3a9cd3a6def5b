#include "ui/commands.h"

#include <commdlg.h>
#include <shellapi.h>

#include <string>

#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/extraction_run_win32.h"
#include "ui/language_switch.h"
#include "ui/main_window.h"
#include "ui/run_report.h"
#include "ui/tooltips.h"
#include "ui/ui_state.h"
#include "version.h"

namespace {

constexpr int kClicked = 0;        // BN_CLICKED and STN_CLICKED
constexpr int kDoubleClicked = 1;  // BN_DOUBLECLICKED
constexpr int kOpenDialogOffset = 100;

// Moves the file-open dialog up and left of the main window once it is laid out.
UINT_PTR CALLBACK OpenDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != CDN_INITDONE) return 0;
    HWND dialog = GetParent(child);
    const auto* options = reinterpret_cast<OFNOTIFYA*>(lParam)->lpOFN;
    RECT main{};
    GetWindowRect(options->hwndOwner, &main);
    SetWindowPos(dialog, nullptr, main.left - kOpenDialogOffset, main.top - kOpenDialogOffset, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    SetForegroundWindow(dialog);
    return 0;
}

void ShowMessage(HWND mainWindow, const std::string& text, UINT icon) {
    MessageBoxA(mainWindow, text.c_str(), kProductName, MB_OK | icon | MB_TASKMODAL);
}

}  // namespace

void OnCommand(HWND mainWindow, int controlId, int code) {
    bool clicked = code == kClicked || code == kDoubleClicked;
    if (controlId == IDB_BROWSE && clicked)
        BrowseCommand(mainWindow);
    else if (controlId == IDB_LAUNCH && clicked)
        LaunchCommand(mainWindow);
    else if (controlId == IDI_LANGUAGE)
        LanguageCommand(mainWindow);
    else if (controlId == IDT_WEB_LINK && code == kClicked)
        WebLinkCommand();
}

void BrowseCommand(HWND mainWindow) {
    Language language = CurrentLanguage();
    std::string title = Text(TextId::OpenDialogTitle, language);
    std::string filter = OpenDialogFilter(language);
    std::string folder(MAX_PATH, '\0');
    folder.resize(GetCurrentDirectoryA(MAX_PATH, folder.data()));
    std::string chosen(32768, '\0');

    OPENFILENAMEA options{};
    options.lStructSize = sizeof options;
    options.hwndOwner = mainWindow;
    options.lpstrFilter = filter.c_str();
    options.lpstrFile = chosen.data();
    options.nMaxFile = static_cast<DWORD>(chosen.size());
    options.lpstrInitialDir = folder.c_str();
    options.lpstrTitle = title.c_str();
    options.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
    options.lpfnHook = OpenDialogHook;
    if (!GetOpenFileNameA(&options)) return;

    chosen.resize(chosen.find('\0'));
    TheUiState().pagePath = chosen;
    SetDlgItemTextA(mainWindow, IDE_PAGE_PATH, chosen.c_str());
    SetControlTooltip(GetDlgItem(mainWindow, IDE_PAGE_PATH), chosen);
}

void LaunchCommand(HWND mainWindow) {
    if (!IsPageChosen(TheUiState().pagePath)) {
        ShowMessage(mainWindow, SelectionWarning(CurrentLanguage()), MB_ICONEXCLAMATION);
        return;
    }
    for (int id : {IDB_BROWSE, IDB_LAUNCH, IDE_SHEET_NAME, IDX_CLEAN_UNUSED})
        EnableWindow(GetDlgItem(mainWindow, id), FALSE);
    int cleanUnused =
        SendDlgItemMessageA(mainWindow, IDX_CLEAN_UNUSED, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    std::string sheetName = DialogItemText(mainWindow, IDE_SHEET_NAME);
    double start = SecondsOfDayNow();

    ExtractionRun(mainWindow, cleanUnused);
    if (MainWindowEnded(mainWindow)) return;  // the run has shown its error

    long seconds = ElapsedSeconds(start, SecondsOfDayNow());
    ShowMessage(mainWindow, RunReport(CurrentLanguage(), sheetName, cleanUnused == 1, seconds),
                MB_ICONINFORMATION);
    EndMainWindow(mainWindow);
}

void WebLinkCommand() {
    ShellExecuteA(nullptr, "open", STYLEWICK_WEBSITE, nullptr, nullptr, SW_SHOW);
}
