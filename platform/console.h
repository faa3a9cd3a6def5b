// Text for the console of the headless program.
#pragma once

#include <string>
#include <string_view>

// The program's own Windows-1252 text in the console's encoding.
std::string ConsoleText(std::string_view ansiText);

// A command-line argument echoed back to the console (already in the console's encoding
// on POSIX; in the ANSI code page on Windows).
std::string ConsoleArgument(std::string_view argument);

// Whether a command-line argument is this platform's own way to ask for help ("/?" on Windows).
bool IsPlatformHelpSwitch(std::string_view argument);

// Line end written in place of each CR of a message.
extern const char kConsoleLineEnd[];
