// stylewick-cli end to end: arguments, exit codes and what it prints.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "tests/support/scratch_folder.h"

namespace {

struct Result {
    int exitCode = -1;
    std::string out;  // stdout and stderr, in that order of appearance per stream
};

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

// Runs the program; `streams` picks what is captured ("1" stdout, "2" stderr).
Result RunCli(const std::vector<std::string>& arguments, const char* streams = "1") {
    std::string command = STYLEWICK_CLI_PATH;
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += std::string(streams) == "1" ? " 2>/dev/null" : " 2>&1 >/dev/null";
    Result result;
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

TEST(Cli, PrintsTheReportInUtf8AndWritesTheOutputs) {
    ScratchFolder folder;
    folder.Write("page.html", "<head><style>.a{b:c}</style></head><body><p style=\"x:y\">");
    Result english = RunCli({folder.File("page.html")});
    EXPECT_EQ(english.exitCode, 0);
    EXPECT_EQ(english.out.rfind("External CSS \"styles.css\" correctly produced !\n"
                                "It has also been cleaned of unused styles\n\n"
                                "A backup of the original HTML file was created\n\nTotal time: ",
                                0),
              0u)
        << english.out;
    EXPECT_EQ(folder.Listing(), "page.backup.html\npage.html\nrestore_backup.bat\nstyles.css\n");

    folder.Write("autre.html", "<head><style>.a{b:c}</style></head><body><p style=\"x:y\">");
    Result french =
        RunCli({"--lang", "FR", "--no-clean", "--sheet", "autre.css", folder.File("autre.html")});
    EXPECT_EQ(french.exitCode, 0);
    EXPECT_EQ(french.out.rfind("Le CSS externe \"autre.css\" a \xC3\xA9t\xC3\xA9 convenablement "
                               "cr\xC3\xA9\xC3\xA9 !\n\nUne sauvegarde",
                               0),
              0u)
        << french.out;
    EXPECT_TRUE(folder.Has("autre.css"));
}

TEST(Cli, RunErrorGoesToStderrWithExitOne) {
    ScratchFolder folder;
    std::string page = folder.File("absent \xC3\xA9.html");  // a UTF-8 name, echoed unchanged
    Result english = RunCli({page}, "2");
    EXPECT_EQ(english.exitCode, 1);
    EXPECT_EQ(english.out, "File \"" + page + "\" doesn't exist!\n");
    Result french = RunCli({"--lang", "FR", page}, "2");
    EXPECT_EQ(french.out, "Le fichier \"" + page + "\" n'existe pas!\n");

    folder.Write("bad.html", "<style>p{<body>");
    Result malformed = RunCli({"--lang", "FR", folder.File("bad.html")}, "2");
    EXPECT_EQ(malformed.exitCode, 1);
    EXPECT_EQ(malformed.out, "Erreur! CSS du header incorrect : <style>...</style>\n");
}

TEST(Cli, BadUsageExitsTwoAndHelpExitsZero) {
    for (auto arguments : std::vector<std::vector<std::string>>{{},
                                                                {"--lang", "DE", "x.html"},
                                                                {"--bogus", "x.html"},
                                                                {"a.html", "b.html"},
                                                                {"--sheet"}}) {
        Result result = RunCli(arguments, "2");
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.out.find("usage: stylewick-cli"), std::string::npos);
    }
    Result help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: stylewick-cli", 0), 0u);
}

TEST(Cli, PageNamedLikeAnOptionAfterDoubleDash) {
    ScratchFolder folder;
    folder.Write("-x.html", "<p style=\"a:b\">");
    Result result = RunCli({"--", folder.File("-x.html")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(folder.Has("-x.backup.html"));
}

}  // namespace
