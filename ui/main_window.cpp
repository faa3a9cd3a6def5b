#include "ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "ui/commands.h"
#include "ui/control_ids.h"
#include "ui/extraction_run_win32.h"
#include "ui/language_switch.h"
#include "ui/ui_state.h"
#include "ui/web_link.h"
#include "ui/window_scale.h"
#include "ui/window_text.h"

namespace ui {

namespace {

constexpr DWORD kWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU |
                               DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK |
                               DS_CENTER | WS_VISIBLE;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;

// One child control: its class and styles. Its place comes from the layout (ui/layout.h).
struct ControlKind {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

// Creation order, which is also the keyboard tab order.
constexpr ControlKind kControls[] = {
    {IDT_HTML_INPUT, L"STATIC", SS_LEFT, 0},
    {IDE_PAGE_PATH, L"EDIT", ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {IDB_BROWSE, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {IDT_CSS_OUTPUT, L"STATIC", SS_LEFT, 0},
    {IDE_SHEET_NAME, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {IDI_LANGUAGE, L"STATIC", SS_BITMAP | SS_NOTIFY, 0},
    {IDX_CLEAN_UNUSED, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {IDB_LAUNCH, L"BUTTON", BS_DEFPUSHBUTTON | BS_ICON | WS_TABSTOP, 0},
    {IDT_WEB_LINK, L"STATIC", SS_CENTER | SS_NOTIFY | WS_TABSTOP, 0},
};

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
    for (const ControlKind& kind : kControls)
        CreateWindowExW(kind.exStyle, kind.className, L"", WS_CHILD | WS_VISIBLE | kind.style, 0, 0,
                        0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kind.id)),
                        instance, nullptr);
    SetDialogItemText(dialog, IDB_BROWSE, texts::kBrowseButtonText);
    SetDialogItemText(dialog, IDE_SHEET_NAME, texts::kDefaultSheetName);
    SendDlgItemMessageW(dialog, IDE_SHEET_NAME, EM_LIMITTEXT, 0, 0);  // no length limit
    MakeWebLink(GetDlgItem(dialog, IDT_WEB_LINK));
    // Enter launches, also from the output name field.
    SendMessageW(dialog, DM_SETDEFID, IDB_LAUNCH, 0);
}

// Centres the window in the work area.
void Centre(HWND dialog) {
    RECT frame{}, work{};
    GetWindowRect(dialog, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(dialog, nullptr,
                 work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
                 work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR OnInitDialog(HWND dialog) {
    CreateControls(dialog);
    LabelMainWindow(dialog, CurrentLanguage());
    TakeOverDpiChanges(dialog);
    ScaleMainWindow(dialog, WindowDpi(dialog), {0, 0});
    Centre(dialog);
    CheckDlgButton(dialog, IDX_CLEAN_UNUSED, BST_CHECKED);
    DragAcceptFiles(dialog, TRUE);
    ListenForLanguageKey(dialog);
    SetForegroundWindow(dialog);
    return TRUE;  // the dialog manager focuses the first tab stop
}

// While a run goes on, the wait cursor over the whole window; otherwise the hand over the web
// link and the language image, and elsewhere the default cursor.
INT_PTR OnSetCursor(HWND dialog, HWND underMouse) {
    bool overWindow = underMouse == dialog || GetParent(underMouse) == dialog;
    int id = GetDlgCtrlID(underMouse);
    LPCTSTR cursor = nullptr;
    if (overWindow && RunUnderWay())
        cursor = IDC_WAIT;
    else if (overWindow && underMouse != dialog && (id == IDT_WEB_LINK || id == IDI_LANGUAGE))
        cursor = IDC_HAND;
    if (!cursor) return FALSE;
    SetCursor(LoadCursor(nullptr, cursor));
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
    return TRUE;
}

// The web link is drawn in its colour on the dialog's usual background.
INT_PTR OnCtlColorStatic(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDT_WEB_LINK) return FALSE;
    SetTextColor(dc, WebLinkColour());
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

// The window moved to a monitor of another DPI (Windows 8.1 and later): everything is made
// again for it, at the place the system proposes.
INT_PTR OnDpiChanged(HWND dialog, int dpi, const RECT& proposed) {
    ScaleMainWindow(dialog, dpi, {proposed.left, proposed.top});
    return TRUE;
}

// The close box, Close in the system menu and Alt+F4; the Escape key is a command instead. A
// run under way is stopped only when the user says so, and then changes nothing.
INT_PTR OnClose(HWND dialog) {
    if (RunUnderWay())
        AskToStopRun(dialog);
    else
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
            case WM_DPICHANGED:
                return OnDpiChanged(dialog, LOWORD(wParam), *reinterpret_cast<RECT*>(lParam));
            case WM_TIMER:
                if (wParam == kRunProgressTimer) ShowRunProgress(dialog);
                return TRUE;
            case kRunEndedMessage:
                if (EndExtractionRun(dialog)) EndMainWindow(dialog);
                return TRUE;
            case kLanguageKeyMessage: LanguageCommand(dialog, true); return TRUE;
            case WM_CLOSE: return OnClose(dialog);
            case WM_DESTROY: StopListeningForLanguageKey(); return FALSE;
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
    std::vector<WORD> dialogTemplate = MainWindowTemplate();
    INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), parent,
        MainWindowProc, 0);
    WaitForExtractionRun();
    return result;
}

void EndMainWindow(HWND mainWindow) { EndDialog(mainWindow, 0); }

}  // namespace ui
