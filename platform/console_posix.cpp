#include <unistd.h>

#include "platform/console.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void WriteText(std::FILE* stream, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

// "/?" is a path here.
bool IsPlatformHelpSwitch(std::string_view) { return false; }
