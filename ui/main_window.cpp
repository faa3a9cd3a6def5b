#include "ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "ui/commands.h"
#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/tooltips.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"
#include "version.h"

namespace {

constexpr int kClientWidth = 387;
constexpr int kClientHeight = 144;
constexpr DWORD kWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU |
                               DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK |
                               DS_CENTER | WS_VISIBLE;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

// One child control; positions and sizes are pixels of the client area.
struct ControlLayout {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
};

// Creation order, which is also the keyboard tab order.
constexpr ControlLayout kControls[] = {
    {IDT_HTML_INPUT, L"STATIC", SS_LEFT, 0, 8, 12, 64, 20},
    {IDE_PAGE_PATH, L"EDIT", ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 72, 10, 136, 20},
    {IDB_BROWSE, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, 208, 8, 32, 24},
    {IDT_CSS_OUTPUT, L"STATIC", SS_LEFT, 0, 8, 52, 64, 20},
    {IDE_SHEET_NAME, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 72, 48, 96, 20},
    {IDI_LANGUAGE, L"STATIC", SS_BITMAP | SS_NOTIFY, 0, 192, 46, 24, 24},
    {IDX_CLEAN_UNUSED, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 28, 84, 212, 24},
    {IDB_LAUNCH, L"BUTTON", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP, 0, 248, 8, 128, 128},
    {IDT_WEB_LINK, L"STATIC", SS_CENTER | SS_NOTIFY, 0, 8, 120, 232, 16},
};

// "MS Sans Serif" 8 points, normal, ANSI; made once, it lives as long as the program.
HFONT MakeFont(bool underlined) {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underlined, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
}

// The font of every control but the web link.
HFONT WindowFont() {
    static HFONT font = MakeFont(false);
    return font;
}

// The web link's font: the window font, underlined.
HFONT LinkFont() {
    static HFONT font = MakeFont(true);
    return font;
}

void AppendWide(std::vector<WORD>& words, const wchar_t* text) {
    do words.push_back(static_cast<WORD>(*text));
    while (*text++);
}

// The in-memory dialog template, extended form. It holds no controls: they are created in
// pixels when the dialog initialises, with the window font.
std::vector<WORD> MainWindowTemplate() {
    std::vector<WORD> words;
    auto dword = [&](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    words.push_back(1);       // dlgVer
    words.push_back(0xFFFF);  // signature
    dword(0);                 // helpID
    dword(kWindowExStyle);
    dword(kWindowStyle);
    words.push_back(0);                              // no items
    for (int i = 0; i < 4; ++i) words.push_back(0);  // x, y, cx, cy: set in pixels later
    words.push_back(0);                              // no menu
    words.push_back(0);                              // standard dialog class
    words.push_back(0);                              // caption, set later
    words.push_back(8);                              // point size
    words.push_back(FW_NORMAL);
    words.push_back(MAKEWORD(FALSE, ANSI_CHARSET));  // italic, character set
    AppendWide(words, L"MS Sans Serif");
    return words;
}

void CreateControls(HWND dialog) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Language language = CurrentLanguage();
    for (const ControlLayout& layout : kControls) {
        HWND control = CreateWindowExW(
            layout.exStyle, layout.className, L"", WS_CHILD | WS_VISIBLE | layout.style, layout.x,
            layout.y, layout.width, layout.height, dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    }
    for (const ControlText& label : kLanguageLabels)
        SetDialogItemText(dialog, label.controlId, Text(label.text, language));
    SetDialogItemText(dialog, IDE_PAGE_PATH, TheUiState().pagePath);
    SetDialogItemText(dialog, IDB_BROWSE, kBrowseButtonText);
    SetDialogItemText(dialog, IDE_SHEET_NAME, kDefaultSheetName);
    SendDlgItemMessageW(dialog, IDE_SHEET_NAME, EM_LIMITTEXT, 0, 0);  // no length limit

    HANDLE languageImage = LoadImageW(instance, L"LANG", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    SendDlgItemMessageW(dialog, IDI_LANGUAGE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(languageImage));
    HANDLE launchIcon = LoadImageW(instance, L"BICO", IMAGE_ICON, 128, 128, LR_DEFAULTCOLOR);
    SendDlgItemMessageW(dialog, IDB_LAUNCH, BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(launchIcon));
    SendDlgItemMessageW(dialog, IDT_WEB_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont()),
                        FALSE);
}

// Gives the window the client size of the layout and centres it in the work area.
void PlaceMainWindow(HWND dialog) {
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, GetWindowLongW(dialog, GWL_STYLE), FALSE,
                       GetWindowLongW(dialog, GWL_EXSTYLE));
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + (work.right - work.left - width) / 2;
    int y = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetWindowIcons(HWND dialog) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HANDLE large = LoadImageW(instance, L"AICO", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR);
    HANDLE small = LoadImageW(instance, L"AICO", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

INT_PTR OnInitDialog(HWND dialog) {
    SetWindowTextOf(dialog, MainCaption(CurrentLanguage()));
    PlaceMainWindow(dialog);
    CreateControls(dialog);
    SetWindowIcons(dialog);
    SetForegroundWindow(dialog);

    Language language = CurrentLanguage();
    SetControlTooltip(GetDlgItem(dialog, IDB_LAUNCH), Text(TextId::LaunchTooltip, language));
    SetControlTooltip(GetDlgItem(dialog, IDX_CLEAN_UNUSED), CleanUnusedTooltip(language));
    SetControlTooltip(GetDlgItem(dialog, IDT_WEB_LINK), STYLEWICK_WEBSITE);
    // A page named on the command line is chosen as a browse would choose it.
    if (IsPageChosen(TheUiState().pagePath))
        SetControlTooltip(GetDlgItem(dialog, IDE_PAGE_PATH), TheUiState().pagePath);
    CheckDlgButton(dialog, IDX_CLEAN_UNUSED, BST_CHECKED);
    DragAcceptFiles(dialog, TRUE);
    return TRUE;  // the dialog manager focuses the first tab stop
}

// The hand over the web link and the language image; elsewhere the default cursor.
INT_PTR OnSetCursor(HWND dialog, HWND underMouse) {
    int id = GetDlgCtrlID(underMouse);
    if (GetParent(underMouse) != dialog || (id != IDT_WEB_LINK && id != IDI_LANGUAGE)) return FALSE;
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
    return TRUE;
}

// The web link is drawn blue on the dialog's usual background.
INT_PTR OnCtlColorStatic(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDT_WEB_LINK) return FALSE;
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

// The close box, Close in the system menu and Alt+F4; the Escape key is a command instead.
INT_PTR OnClose(HWND dialog) {
    EndMainWindow(dialog);
    return TRUE;
}

INT_PTR CALLBACK MainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_INITDIALOG: return OnInitDialog(dialog);
            case WM_SETCURSOR: return OnSetCursor(dialog, reinterpret_cast<HWND>(wParam));
            case WM_CTLCOLORSTATIC:
                return OnCtlColorStatic(reinterpret_cast<HDC>(wParam),
                                        reinterpret_cast<HWND>(lParam));
            case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
            case WM_DROPFILES: DropCommand(dialog, reinterpret_cast<HDROP>(wParam)); return TRUE;
            case WM_CLOSE: return OnClose(dialog);
            default: return FALSE;
        }
    } catch (...) {
        // Nothing may unwind into the dialog manager; a failure ends the window.
        EndMainWindow(dialog);
        return TRUE;
    }
}

}  // namespace

INT_PTR ShowMainWindow(HWND parent) {
    TheUiState().mainWindowEnded = false;
    std::vector<WORD> dialogTemplate = MainWindowTemplate();
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), parent,
                                   MainWindowProc, 0);
}

void EndMainWindow(HWND mainWindow) {
    TheUiState().mainWindowEnded = true;
    EndDialog(mainWindow, 0);
}

bool MainWindowEnded(HWND mainWindow) {
    return TheUiState().mainWindowEnded || !IsWindow(mainWindow);
}
