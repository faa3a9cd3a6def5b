#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/console.h"

namespace platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void WriteText(std::FILE* stream, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

// "/?" is a path here.
bool IsPlatformHelpSwitch(std::string_view) { return false; }

namespace {
std::atomic<bool>* stopWhenInterrupted = nullptr;

void OnInterrupt(int) {
    if (stopWhenInterrupted) stopWhenInterrupted->store(true);
}
}  // namespace

void StopOnInterrupt(std::atomic<bool>& stop) {
    stopWhenInterrupted = &stop;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

void RunOver() {}

bool UserLanguageIsFrench() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return std::string_view(value).substr(0, 2) == "fr";
    }
    return false;
}

}  // namespace platform
