#include "tests/support/cli_run.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace {

std::string Quoted(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// The programs the tests start speak English unless a test asks otherwise: without --lang
// their language follows the user's locale.
[[maybe_unused]] const bool kEnglishByDefault = [] {
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    return ::setenv("LANG", "C", 1) == 0;
}();

}  // namespace

CliResult RunCli(const std::vector<std::string>& arguments, const char* streams,
                 const std::string& workingFolder) {
    std::string command = Quoted(STYLEWICK_CLI_PATH);
    if (!workingFolder.empty()) command = "cd " + Quoted(workingFolder) + " && " + command;
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += std::string(streams) == "1" ? " 2>/dev/null" : " 2>&1 >/dev/null";
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> buffer;
    size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), got);
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
