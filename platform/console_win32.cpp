#include <windows.h>

#include <vector>

#include "platform/console.h"

// The C runtime turns "\n" into CR LF on a text-mode stdout.
const char kConsoleLineEnd[] = "\n";

std::string ConsoleText(std::string_view ansiText) {
    UINT consolePage = GetConsoleOutputCP();
    if (ansiText.empty() || consolePage == 0 || consolePage == GetACP())
        return std::string(ansiText);
    int wideLength = MultiByteToWideChar(CP_ACP, 0, ansiText.data(),
                                         static_cast<int>(ansiText.size()), nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
    MultiByteToWideChar(CP_ACP, 0, ansiText.data(), static_cast<int>(ansiText.size()), wide.data(),
                        wideLength);
    int length =
        WideCharToMultiByte(consolePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(consolePage, 0, wide.data(), wideLength, &converted[0], length, nullptr,
                        nullptr);
    return converted;
}

std::string ConsoleArgument(std::string_view argument) { return ConsoleText(argument); }

bool IsPlatformHelpSwitch(std::string_view argument) { return argument == "/?"; }
