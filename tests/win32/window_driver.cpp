#include "tests/win32/window_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "ui/control_ids.h"
#include "ui/start_up.h"
#include "version.h"

namespace {

constexpr int kInputPause = 40;  // milliseconds between input events, for the window thread

void Send(std::vector<INPUT> events) {
    for (INPUT& event : events) {
        SendInput(1, &event, sizeof event);
        Sleep(kInputPause / 4);
    }
    Sleep(kInputPause);
}

INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The whole text of a tool as ANSI bytes (enumerating tools copies only 80 characters).
std::string FullToolText(HWND tooltip, const TTTOOLINFOA& tool) {
    std::vector<wchar_t> wide(4096);
    TTTOOLINFOW query{};
    query.cbSize = sizeof query;
    query.hwnd = tool.hwnd;
    query.uId = tool.uId;
    query.lpszText = wide.data();
    SendMessageW(tooltip, TTM_GETTEXTW, wide.size(), reinterpret_cast<LPARAM>(&query));
    std::string text(wide.size() * 2, '\0');
    text.resize(
        static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(),
                                                static_cast<int>(text.size()), nullptr, nullptr)) -
        1);
    return text;
}

DWORD WINAPI ProgramThread(void*) { return static_cast<DWORD>(StartUp()); }

unsigned expectedOemCodePage = 0;

}  // namespace

std::string ProgramPath(const std::string& name) {
    // The test program lives in build/windows/tests, the programs in build/windows/app.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    path.resize(path.rfind('\\'));
    path.resize(path.rfind('\\') + 1);
    return path + "app\\" + name;
}

unsigned ExpectedOemCodePage() { return expectedOemCodePage; }

void SetExpectedOemCodePage(unsigned codePage) { expectedOemCodePage = codePage; }

int RunCli(const std::string& arguments) {
    std::string command = "\"" + ProgramPath("stylewick-cli.exe") + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    for (int waited = 0; waited <= milliseconds; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void MoveMouseOnto(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // A few small real moves, so that the window under the mouse is asked for its cursor and
    // its tooltip starts; Wine may drop one of them.
    for (int dx : {1, -1, 1}) {
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = dx;
        move.mi.dwFlags = MOUSEEVENTF_MOVE;
        Send({move});
    }
}

void ClickWindow(HWND window) {
    // The mouse is put on the window and the button messages go to it directly: clicks sent
    // as system input are sometimes lost by Wine while the window's thread is busy.
    RECT r{};
    GetClientRect(window, &r);
    POINT centre{r.right / 2, r.bottom / 2};
    POINT screen = centre;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    LPARAM at = MAKELPARAM(centre.x, centre.y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    Sleep(kInputPause);
}

void PressKey(WORD key) { Send({Key(key, false), Key(key, true)}); }

void PressKeyWith(WORD modifier, WORD key) {
    Send({Key(modifier, false), Key(key, false), Key(key, true), Key(modifier, true)});
}

void TypeText(const std::string& text) {
    std::vector<INPUT> events;
    for (unsigned char c : text) {
        wchar_t wide = 0;
        MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(&c), 1, &wide, 1);
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = wide;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        events.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        events.push_back(input);
    }
    Send(events);
}

HWND ThreadWindows::Find(DWORD thread, const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found;
    } search{&match, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (!(*s->match)(window)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RunningProgram::RunningProgram() {
    thread_ = CreateThread(nullptr, 0, ProgramThread, nullptr, 0, &threadId_);
    WaitUntil([&] {
        window_ = ThreadWindows::Find(threadId_, [](HWND w) {
            return ClassOf(w) == "#32770" && IsWindowVisible(w) && GetDlgItem(w, IDB_LAUNCH);
        });
        return window_ != nullptr;
    });
    // The window is up once its controls and tooltips are in place and it has the focus.
    WaitUntil([&] { return window_ && GetForegroundWindow() == window_ && Focus(); }, 5000);
    // Wine drops a click that comes while the new window is still being activated.
    Sleep(300);
}

RunningProgram::~RunningProgram() {
    for (int attempt = 0; attempt < 20 && !WaitForEnd(0); ++attempt) {
        HWND open = ThreadWindows::Find(threadId_, [&](HWND w) {
            return IsWindowVisible(w) && w != window_ &&
                   (ClassOf(w) == "#32770" || ClassOf(w) == "#32768");
        });
        if (open && ClassOf(open) == "#32768")
            PressKey(VK_ESCAPE);
        else if (open)
            PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        else
            PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForEnd(500);
    }
    if (!WaitForEnd(2000)) {
        std::fputs("FATAL: the main window could not be closed\n", stderr);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(thread_);
}

bool RunningProgram::Checked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND RunningProgram::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(threadId_, &info);
    return info.hwndFocus;
}

RECT RunningProgram::ClientRectOf(int id) const {
    RECT r{};
    GetWindowRect(Control(id), &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND RunningProgram::WaitForOwnedDialog(int milliseconds) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = ThreadWindows::Find(threadId_, [&](HWND w) {
                return w != window_ && ClassOf(w) == "#32770" && IsWindowVisible(w) &&
                       GetWindow(w, GW_OWNER) == window_;
            });
            return found != nullptr;
        },
        milliseconds);
    return found;
}

std::string RunningProgram::MessageText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

HICON RunningProgram::MessageIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    return nullptr;
}

HWND RunningProgram::WaitForMenu() const {
    HWND menu = nullptr;
    WaitUntil([&] {
        menu = ThreadWindows::Find(
            threadId_, [](HWND w) { return ClassOf(w) == "#32768" && IsWindowVisible(w); });
        return menu != nullptr;
    });
    return menu;
}

void RunningProgram::ChooseLanguage(int position) {
    ClickWindow(Control(IDI_LANGUAGE));
    HWND menuWindow = WaitForMenu();
    if (!menuWindow) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    // With the keyboard, as a user may: down to the item, see it highlighted, Enter.
    for (int i = 0; i <= position; ++i) PressKey(VK_DOWN);
    WaitUntil([&] { return GetMenuState(menu, position, MF_BYPOSITION) & MF_HILITE; }, 2000);
    PressKey(VK_RETURN);
    WaitUntil([&] { return !IsWindowVisible(menuWindow); });
}

void RunningProgram::BrowseTo(const std::string& path) {
    ClickWindow(Control(IDB_BROWSE));
    HWND dialog = WaitForOwnedDialog();
    if (!dialog) return;
    WaitUntil([&] { return GetForegroundWindow() == dialog && Focus() != nullptr; });
    TypeText(path);
    PressKey(VK_RETURN);
    WaitUntil([&] { return !IsWindow(dialog); });
}

bool RunningProgram::WaitForEnd(int milliseconds) {
    return WaitForSingleObject(thread_, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
}

DWORD RunningProgram::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(thread_, &code);
    return code;
}

HWND MainTooltip(HWND mainWindow) {
    HWND tooltip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    while (tooltip && GetWindow(tooltip, GW_OWNER) != mainWindow)
        tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr);
    return tooltip;
}

std::vector<Tool> Tools(HWND mainWindow) {
    std::vector<Tool> tools;
    HWND tooltip = MainTooltip(mainWindow);
    int count = tooltip ? static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        std::vector<char> text(4096);
        TTTOOLINFOA tool{};
        tool.cbSize = 48;  // the size every version of the control accepts
        tool.lpszText = text.data();
        SendMessageA(tooltip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool));
        tools.push_back({reinterpret_cast<HWND>(tool.uId), FullToolText(tooltip, tool)});
    }
    return tools;
}

std::vector<std::string> ToolTexts(HWND mainWindow, HWND control) {
    std::vector<std::string> texts;
    for (const Tool& tool : Tools(mainWindow))
        if (tool.control == control) texts.push_back(tool.text);
    return texts;
}

void ExpectWindowIn(const RunningProgram& program, Language language) {
    struct Shown {
        const char* caption;
        const char* htmlInput;
        const char* cssOutput;
        const char* cleanUnused;
        const char* webLink;
        const char* noPage;
    };
    static const Shown kEnglish = {" - by Tavrel",
                                   "HTML input",
                                   "CSS output",
                                   "Clean unused styles",
                                   "Find other free software at my website",
                                   "<none selected>"};
    static const Shown kFrench = {" - par Tavrel",
                                  "Fichier Html",
                                  "Sortie CSS",
                                  "Nettoyer les styles inutilis\xE9s",
                                  "Visitez mon site web pour d'autres gratuiciels",
                                  "<aucun s\xE9lectionn\xE9>"};
    const Shown& shown = language == Language::English ? kEnglish : kFrench;
    EXPECT_EQ(WindowText(program.Window()),
              std::string("stylewick v" STYLEWICK_VERSION) + shown.caption);
    EXPECT_EQ(program.ControlText(IDT_HTML_INPUT), shown.htmlInput);
    EXPECT_EQ(program.ControlText(IDT_CSS_OUTPUT), shown.cssOutput);
    EXPECT_EQ(program.ControlText(IDX_CLEAN_UNUSED), shown.cleanUnused);
    EXPECT_EQ(program.ControlText(IDT_WEB_LINK), shown.webLink);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), shown.noPage);
    EXPECT_EQ(program.ControlText(IDB_BROWSE), "...");
}
