// stylewick-cli.exe's messages in a console window: Unicode characters, whatever the console's
// code page.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/utf16.h"
#include "tests/win32/window_driver.h"

namespace {

// Runs `command` in a console of the test's own, as a command window runs a program; returns
// the console's first `lines` lines, their trailing spaces cut.
std::string ConsoleLinesAfter(const std::string& command, int lines) {
    FreeConsole();
    if (!AllocConsole()) return "<no console>";
    HANDLE screen =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE), error = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, screen);  // what the program started next inherits
    SetStdHandle(STD_ERROR_HANDLE, screen);
    std::wstring wide = platform::Utf16(command);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    std::string text;
    for (SHORT y = 0; y < lines; ++y) {
        std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, line.data(), info.dwSize.X, COORD{0, y}, &read);
        text += platform::Utf8(line.erase(line.find_last_not_of(L' ') + 1)) + "\n";
    }
    SetStdHandle(STD_OUTPUT_HANDLE, output);
    SetStdHandle(STD_ERROR_HANDLE, error);
    CloseHandle(screen);
    FreeConsole();
    return text;
}

TEST(Console, MessagesReachAConsoleAsUnicodeCharacters) {
    std::string page = "C:\\δοκιμή\\Ωμέγα 文件 😀.htm";
    std::string command = "\"" + ui::ProgramPath("stylewick-cli.exe") + "\" \"" + page + "\"";
    EXPECT_EQ(ConsoleLinesAfter(command, 2), "File \"" + page + "\" doesn't exist!\n\n");
}

}  // namespace
