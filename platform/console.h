// What a program takes from its command line and writes to its console.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The program's arguments after its own name, in UTF-8: on Windows read from the wide command
// line (argv holds them in the ANSI code page, which loses characters), elsewhere argv itself.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Writes UTF-8 text to stdout or stderr, each "\n" ending a line: to a Windows console as
// Unicode characters, anywhere else (a terminal, a pipe, a file) as the UTF-8 bytes.
void WriteText(std::FILE* stream, std::string_view utf8);

// Whether `stream` (stdout or stderr) shows on a terminal or console window, not redirected.
bool IsTerminal(std::FILE* stream);

// Whether a command-line argument is this platform's own way to ask for help ("/?" on Windows).
bool IsPlatformHelpSwitch(std::string_view argument);

// Sets `stop` when the user interrupts the program (Ctrl+C; SIGINT, SIGTERM and SIGHUP, or the
// console window closed on Windows), instead of ending it at once. Once the program has
// told RunOver, a console being closed may end it.
void StopOnInterrupt(std::atomic<bool>& stop);
void RunOver();

// Whether the user's language is French: on Windows the display language, elsewhere the first
// of LC_ALL, LC_MESSAGES and LANG that is set.
bool UserLanguageIsFrench();

}  // namespace platform
