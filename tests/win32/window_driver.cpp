#include "tests/win32/window_driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/utf16.h"
#include "ui/control_ids.h"
#include "ui/start_up.h"
#include "version.h"

namespace ui {

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

// The whole text of a tool in UTF-8 (enumerating tools copies only 80 characters).
std::string FullToolText(HWND tooltip, const TTTOOLINFOA& tool) {
    std::vector<wchar_t> wide(4096);
    TTTOOLINFOW query{};
    query.cbSize = sizeof query;
    query.hwnd = tool.hwnd;
    query.uId = tool.uId;
    query.lpszText = wide.data();
    SendMessageW(tooltip, TTM_GETTEXTW, wide.size(), reinterpret_cast<LPARAM>(&query));
    return platform::Utf8(wide.data());
}

DWORD WINAPI ProgramThread(void* arguments) {
    return static_cast<DWORD>(StartUp(*static_cast<std::vector<std::string>*>(arguments)));
}

// Everything that `pipe` delivers until its writer closes it.
std::string ReadPipe(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

DWORD WINAPI ReadPipeThread(void* data) {
    auto* target = static_cast<std::pair<HANDLE, std::string>*>(data);
    target->second = ReadPipe(target->first);
    return 0;
}

unsigned expectedOemCodePage = 0;
unsigned expectedDpi = 0;

}  // namespace

std::string ProgramPath(const std::string& name) {
    // The test program lives in build/windows/tests, the programs in build/windows/app.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string path = platform::Utf8(self);
    path.resize(path.rfind('\\'));
    path.resize(path.rfind('\\') + 1);
    return path + "app\\" + name;
}

unsigned ExpectedOemCodePage() { return expectedOemCodePage; }

void SetExpectedOemCodePage(unsigned codePage) { expectedOemCodePage = codePage; }

unsigned ExpectedDpi() { return expectedDpi; }

void SetExpectedDpi(unsigned dpi) { expectedDpi = dpi; }

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

CliResult RunCli(const std::string& arguments, const std::string& folder) {
    CliResult result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    std::pair<HANDLE, std::string> out{}, err{};
    HANDLE outWrite = nullptr, errWrite = nullptr;
    CreatePipe(&out.first, &outWrite, &inherit, 0);
    CreatePipe(&err.first, &errWrite, &inherit, 0);
    SetHandleInformation(out.first, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err.first, HANDLE_FLAG_INHERIT, 0);

    std::wstring command =
        platform::Utf16("\"" + ProgramPath("stylewick-cli.exe") + "\" " + arguments);
    std::wstring workingFolder = platform::Utf16(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       folder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        // Both pipes are drained at once, so that neither fills up and stops the program.
        HANDLE reader = CreateThread(nullptr, 0, ReadPipeThread, &err, 0, nullptr);
        out.second = ReadPipe(out.first);
        WaitForSingleObject(reader, 60000);
        CloseHandle(reader);
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 1);
        result.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out.first);
    CloseHandle(err.first);
    result.out = std::move(out.second);
    result.err = std::move(err.second);
    return result;
}

std::wstring LongPath(const std::string& path) { return L"\\\\?\\" + platform::Utf16(path); }

std::string ShortPath(const std::string& path) {
    std::wstring longPath = LongPath(path);
    std::wstring shortPath(longPath.size() + 1, L'\0');
    DWORD length =
        GetShortPathNameW(longPath.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size()) return {};
    shortPath.resize(length);
    return platform::Utf8(shortPath.substr(4));  // without "\\?\"
}

void RemoveFolder(const std::string& path) {
    std::wstring folder = LongPath(path);
    if (folder.back() != L'\\') folder += L'\\';
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path + (path.back() == '\\' ? "" : "\\") + platform::Utf8(name));
                continue;
            }
            SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

HeldByAnotherProcess::HeldByAnotherProcess(const std::string& path, DWORD share) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE inputRead = nullptr, outputRead = nullptr, outputWrite = nullptr;
    CreatePipe(&inputRead, &input_, &inherit, 0);
    CreatePipe(&outputRead, &outputWrite, &inherit, 0);
    SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" \"--hold=" + platform::Utf16(path) +
                           L"\" --share=" + std::to_wstring(share);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputRead;
    startup.hStdOutput = outputWrite;
    startup.hStdError = outputWrite;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process_)) {
        CloseHandle(outputWrite);
        outputWrite = nullptr;
        char said[8] = {};
        DWORD got = 0;
        holding_ = ReadFile(outputRead, said, 4, &got, nullptr) && got == 4 &&
                   std::string(said, 4) == "held";
    }
    if (outputWrite) CloseHandle(outputWrite);
    CloseHandle(inputRead);
    CloseHandle(outputRead);
}

HeldByAnotherProcess::~HeldByAnotherProcess() {
    CloseHandle(input_);
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

int HoldFile(const std::string& path, DWORD share) {
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "held", 4, &written, nullptr);
    char byte;
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr) && got > 0) {
    }
    CloseHandle(file);
    return 0;
}

int RecordOpenedAddress(const std::string& path, const std::string& address) {
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, address.data(), static_cast<DWORD>(address.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    for (int waited = 0; waited <= milliseconds; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return platform::Utf8(text);
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

void TypeText(const std::string& utf8) {
    std::vector<INPUT> events;
    // One event pair per UTF-16 unit: a character beyond the first plane comes as two halves.
    for (wchar_t wide : platform::Utf16(utf8)) {
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

RunningProgram::RunningProgram(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)) {
    thread_ = CreateThread(nullptr, 0, ProgramThread, &arguments_, 0, &threadId_);
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

HWND RunningProgram::WaitForMenu(int milliseconds) const {
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            menu = ThreadWindows::Find(
                threadId_, [](HWND w) { return ClassOf(w) == "#32768" && IsWindowVisible(w); });
            return menu != nullptr;
        },
        milliseconds);
    return menu;
}

namespace {

// The position of the menu's highlighted item, or -1 when none is.
int HighlightedItem(HMENU menu) {
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i)
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_HILITE) return i;
    return -1;
}

}  // namespace

void RunningProgram::ChooseLanguage(int position) {
    const std::string labelBefore = ControlText(IDT_HTML_INPUT);
    ClickWindow(Control(IDI_LANGUAGE));
    HWND menuWindow = WaitForMenu();
    if (!menuWindow) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    // With the keyboard, as a user may: down until the item is highlighted, then Enter. The menu
    // may open with an item already highlighted (the one under the mouse), so each key waits for
    // the highlight to move rather than counting on where it starts.
    for (int keys = 0; keys < 2 * GetMenuItemCount(menu) && HighlightedItem(menu) != position;
         ++keys) {
        int before = HighlightedItem(menu);
        PressKey(VK_DOWN);
        WaitUntil([&] { return HighlightedItem(menu) != before; });
    }
    const bool shownAlready = GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED;
    PressKey(VK_RETURN);
    WaitUntil([&] { return !IsWindowVisible(menuWindow); });
    // The window relabels itself once the menu is gone, unless the language chosen is the one
    // shown (its item is checked), which changes no label.
    if (!shownAlready) WaitUntil([&] { return ControlText(IDT_HTML_INPUT) != labelBefore; });
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

void RunningProgram::Drop(const std::vector<std::string>& paths) const {
    std::wstring names;
    for (const std::string& path : paths) names += platform::Utf16(path) + L'\0';
    names += L'\0';
    size_t bytes = names.size() * sizeof(wchar_t);
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(), bytes);
    GlobalUnlock(drop);
    PostMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);  // freed by the window
    Sleep(kInputPause);
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
        tool.cbSize = sizeof tool;  // the full form, which every version of the control accepts
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

void ExpectWindowIn(const RunningProgram& program, texts::Language language) {
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
                                  "Nettoyer les styles inutilisés",
                                  "Visitez mon site web pour d'autres gratuiciels",
                                  "<aucun sélectionné>"};
    const Shown& shown = language == texts::Language::English ? kEnglish : kFrench;
    EXPECT_EQ(WindowText(program.Window()),
              std::string("stylewick v" STYLEWICK_VERSION) + shown.caption);
    EXPECT_EQ(program.ControlText(IDT_HTML_INPUT), shown.htmlInput);
    EXPECT_EQ(program.ControlText(IDT_CSS_OUTPUT), shown.cssOutput);
    EXPECT_EQ(program.ControlText(IDX_CLEAN_UNUSED), shown.cleanUnused);
    EXPECT_EQ(program.ControlText(IDT_WEB_LINK), shown.webLink);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), shown.noPage);
    EXPECT_EQ(program.ControlText(IDB_BROWSE), "...");
}

}  // namespace ui
