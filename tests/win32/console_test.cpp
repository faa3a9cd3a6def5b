// stylewick-cli.exe's messages in a console window: Unicode characters, whatever the console's
// code page.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/utf16.h"
#include "tests/win32/window_driver.h"

namespace {

// A console of the test's own, as a command window gives the programs started in it; the
// programs started meanwhile write to it.
class OwnConsole {
public:
    OwnConsole() {
        FreeConsole();
        if (!AllocConsole()) return;
        screen_ =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
            previous_.push_back(GetStdHandle(which));
            SetStdHandle(which, screen_);
        }
    }
    ~OwnConsole() {
        SetStdHandle(STD_OUTPUT_HANDLE, previous_.at(0));
        SetStdHandle(STD_ERROR_HANDLE, previous_.at(1));
        CloseHandle(screen_);
        FreeConsole();
    }
    bool Ready() const { return screen_ != INVALID_HANDLE_VALUE && screen_ != nullptr; }
    // The characters of the console's first `lines` lines, each line's trailing spaces cut.
    std::string Lines(int lines) const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(screen_, &info);
        std::string text;
        for (SHORT y = 0; y < lines; ++y) {
            std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
            DWORD read = 0;
            ReadConsoleOutputCharacterW(screen_, line.data(), info.dwSize.X, COORD{0, y}, &read);
            line.erase(line.find_last_not_of(L' ') + 1);
            text += Utf8(line) + "\n";
        }
        return text;
    }

private:
    HANDLE screen_ = nullptr;
    std::vector<HANDLE> previous_;
};

TEST(Console, MessagesReachAConsoleAsUnicodeCharacters) {
    OwnConsole console;
    ASSERT_TRUE(console.Ready());
    std::string page = "C:\\δοκιμή\\Ωμέγα 文件 😀.htm";
    std::wstring command = Utf16("\"" + ProgramPath("stylewick-cli.exe") + "\" \"" + page + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(console.Lines(2), "File \"" + page + "\" doesn't exist!\n\n") << GetConsoleOutputCP();
}

}  // namespace
