#include "ui/commands.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/extraction_run.h"
#include "platform/files.h"
#include "platform/utf16.h"
#include "texts/run_report.h"
#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/extraction_run_win32.h"
#include "ui/language_switch.h"
#include "ui/layout.h"
#include "ui/page_choice.h"
#include "ui/tooltips.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"
#include "version.h"

namespace ui {

namespace {

constexpr int kClicked = 0;             // BN_CLICKED and STN_CLICKED
constexpr int kDoubleClicked = 1;       // BN_DOUBLECLICKED and STN_DBLCLK
constexpr int kOpenDialogOffset = 100;  // pixels at 96 DPI

// Moves the file-open dialog up and left of the main window once it is laid out.
UINT_PTR CALLBACK OpenDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != CDN_INITDONE) return 0;
    HWND dialog = GetParent(child);
    const auto* options = reinterpret_cast<OFNOTIFYW*>(lParam)->lpOFN;
    RECT main{};
    GetWindowRect(options->hwndOwner, &main);
    int offset = ScaledPixels(kOpenDialogOffset, TheUiState().dpi);
    SetWindowPos(dialog, nullptr, main.left - offset, main.top - offset, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    SetForegroundWindow(dialog);
    return 0;
}

// The folder the file-open dialog opens in: the folder of the page chosen last, else the
// working folder.
std::string OpenDialogFolder() {
    const std::string& page = TheUiState().pagePath;
    if (IsPageChosen(page)) return page.substr(0, page.find_last_of("\\/") + 1);
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return platform::Utf8(folder);
}

// Makes `pages` the chosen pages (one, or several of one folder) and shows them.
void ChoosePages(HWND mainWindow, const std::vector<std::string>& pages) {
    if (pages.empty()) return;
    UiState& ui = TheUiState();
    ui.pagePath = pages.front();
    ui.pagePaths = pages.size() > 1 ? pages : std::vector<std::string>();
    ShowChosenPages(mainWindow, CurrentLanguage());
}

// The files and folders among `paths` that exist, made absolute.
std::vector<OfferedFile> Offered(const std::vector<std::string>& paths) {
    std::vector<OfferedFile> offered;
    for (const std::string& path : paths) {
        std::string full = platform::AbsolutePath(path);
        if (platform::Exists(full)) offered.push_back({full, platform::IsFolder(full)});
    }
    return offered;
}

// The names the file-open dialog gave, each ended by NUL, up to the NUL that ends the list.
std::string DialogNames(const std::wstring& chosen) {
    size_t end = chosen.find(std::wstring_view(L"\0\0", 2));
    return platform::Utf8(std::wstring_view(chosen).substr(0, end));
}

}  // namespace

void OnCommand(HWND mainWindow, int controlId, int code) {
    bool clicked = code == kClicked || code == kDoubleClicked;
    if (controlId == IDB_BROWSE && clicked)
        BrowseCommand(mainWindow);
    else if (controlId == IDB_LAUNCH && clicked &&
             GetFocus() == GetDlgItem(mainWindow, IDT_WEB_LINK))
        WebLinkCommand();  // Enter, while the keyboard is on the link: the launch is the default
    else if (controlId == IDB_LAUNCH && clicked)
        LaunchCommand(mainWindow);
    else if (controlId == IDCANCEL && RunUnderWay())
        AskToStopRun(mainWindow);                   // Escape
    else if (controlId == IDI_LANGUAGE && clicked)  // not STN_ENABLE or STN_DISABLE
        LanguageCommand(mainWindow);
    else if (controlId == IDT_WEB_LINK && code == kClicked)
        WebLinkCommand();
    else if (controlId == IDOK && GetFocus() == GetDlgItem(mainWindow, IDT_WEB_LINK))
        WebLinkCommand();  // Enter, while the keyboard is on the link
}

void BrowseCommand(HWND mainWindow) {
    texts::Language language = CurrentLanguage();
    std::wstring title = platform::Utf16(texts::Text(texts::TextId::OpenDialogTitle, language));
    std::wstring filter = platform::Utf16(OpenDialogFilter(language));
    std::wstring folder = platform::Utf16(OpenDialogFolder());
    // Room for the names of thousands of pages chosen at once.
    std::wstring chosen(1 << 20, L'\0');

    OPENFILENAMEW options{};
    options.lStructSize = sizeof options;
    options.hwndOwner = mainWindow;
    options.lpstrFilter = filter.c_str();
    options.lpstrFile = chosen.data();
    options.nMaxFile = static_cast<DWORD>(chosen.size());
    options.lpstrInitialDir = folder.c_str();
    options.lpstrTitle = title.c_str();
    options.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY |
                    OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
    options.lpfnHook = OpenDialogHook;
    if (!GetOpenFileNameW(&options)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            ShowMessage(mainWindow, texts::Text(texts::TextId::TooManyPagesChosen, language),
                        MB_ICONSTOP);
        return;
    }

    ChoosePages(mainWindow, PagesFromOpenDialog(DialogNames(chosen)));
}

void DropCommand(HWND mainWindow, HDROP drop) {
    std::vector<std::string> paths;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(platform::Utf8(path));
    }
    DragFinish(drop);
    // Once the launch has begun the page is settled, as the disabled browse button shows.
    if (!IsWindowEnabled(GetDlgItem(mainWindow, IDB_BROWSE))) return;
    DroppedChoice choice = ChosenFromDrop(Offered(paths));
    if (!choice.folder.empty()) {
        choice.pages = engine::PagesInFolder(choice.folder);
        if (choice.pages.empty())
            ShowMessage(mainWindow,
                        texts::RunErrorMessage(engine::RunError::NoPageInFolder, choice.folder,
                                               CurrentLanguage()),
                        MB_ICONSTOP);
    }
    ChoosePages(mainWindow, choice.pages);
}

void LaunchCommand(HWND mainWindow) {
    if (RunUnderWay()) return;
    std::vector<std::string> pages = ChosenPages();
    if (pages.empty()) {
        ShowMessage(mainWindow, SelectionWarning(CurrentLanguage()), MB_ICONEXCLAMATION);
        return;
    }
    bool cleanUnused =
        SendDlgItemMessageW(mainWindow, IDX_CLEAN_UNUSED, BM_GETCHECK, 0, 0) == BST_CHECKED;
    StartExtractionRun(mainWindow, pages, DialogItemText(mainWindow, IDE_SHEET_NAME), cleanUnused);
}

void ShowChosenPages(HWND mainWindow, texts::Language language) {
    const UiState& ui = TheUiState();
    HWND field = GetDlgItem(mainWindow, IDE_PAGE_PATH);
    if (!ui.pagePaths.empty()) {
        SetPagePathText(mainWindow, SeveralPagesText(language, ui.pagePaths));
        SetControlTooltip(field, PageListTooltip(ui.pagePaths));
    } else if (IsPageChosen(ui.pagePath)) {
        SetPagePathText(mainWindow, ui.pagePath);
        SetControlTooltip(field, ui.pagePath);
    } else {
        SetPagePathText(mainWindow, texts::Text(texts::TextId::NothingSelected, language));
    }
}

void WebLinkCommand() {
    ShellExecuteW(nullptr, L"open", platform::Utf16(STYLEWICK_WEBSITE).c_str(), nullptr, nullptr,
                  SW_SHOW);
}

std::vector<std::string> PagesAmong(const std::vector<std::string>& paths) {
    DroppedChoice choice = ChosenFromDrop(Offered(paths));
    return choice.folder.empty() ? choice.pages : engine::PagesInFolder(choice.folder);
}

}  // namespace ui
