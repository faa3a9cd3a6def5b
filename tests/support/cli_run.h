// Runs stylewick-cli as a user would and captures what it prints.
#pragma once

#include <string>
#include <vector>

struct CliResult {
    int exitCode = -1;
    std::string out;  // what the captured stream received
};

// Runs the program with `arguments` from the folder `workingFolder` (the test's own when
// empty); `streams` picks what is captured ("1" stdout, "2" stderr).
CliResult RunCli(const std::vector<std::string>& arguments, const char* streams = "1",
                 const std::string& workingFolder = "");
