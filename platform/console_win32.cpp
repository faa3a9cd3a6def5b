#include <windows.h>
#include <shellapi.h>

#include "platform/console.h"
#include "platform/utf16.h"

namespace platform {

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

namespace {

HANDLE HandleOf(std::FILE* stream) {
    return GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

}  // namespace

void WriteText(std::FILE* stream, std::string_view utf8) {
    if (!IsTerminal(stream)) {
        // Redirected: UTF-8 bytes; the C runtime's text mode turns each "\n" into CR LF.
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    std::wstring text;
    for (wchar_t c : Utf16(utf8)) {
        if (c == L'\n') text += L'\r';
        text += c;
    }
    std::fflush(stream);  // what the C runtime holds comes first
    DWORD written = 0;
    WriteConsoleW(HandleOf(stream), text.data(), static_cast<DWORD>(text.size()), &written,
                  nullptr);
}

bool IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return GetConsoleMode(HandleOf(stream), &mode) != 0;
}

bool IsPlatformHelpSwitch(std::string_view argument) { return argument == "/?"; }

namespace {
std::atomic<bool>* stopWhenInterrupted = nullptr;
HANDLE runOver = nullptr;  // set once the run has ended

// Called on a thread of its own. A console closed, or the session ending, ends the program as
// soon as this returns: it waits for the run to stop first (the system allows a few seconds).
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (stopWhenInterrupted) stopWhenInterrupted->store(true);
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && runOver)
        WaitForSingleObject(runOver, 4000);
    return TRUE;
}
}  // namespace

void StopOnInterrupt(std::atomic<bool>& stop) {
    stopWhenInterrupted = &stop;
    runOver = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void RunOver() {
    if (runOver) SetEvent(runOver);
}

bool UserLanguageIsFrench() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_FRENCH; }

}  // namespace platform
