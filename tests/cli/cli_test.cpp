// stylewick-cli end to end: arguments, exit codes and what it prints.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/cli_run.h"
#include "tests/support/scratch_folder.h"
#include "version.h"

namespace {

TEST(Cli, PrintsTheReportInUtf8AndWritesTheOutputs) {
    ScratchFolder folder;
    folder.Write("page.html", "<head><style>.a{b:c}</style></head><body><p style=\"x:y\">");
    CliResult english = RunCli({folder.File("page.html")});
    EXPECT_EQ(english.exitCode, 0);
    EXPECT_EQ(english.out.rfind("External CSS \"styles.css\" correctly produced !\n"
                                "It has also been cleaned of unused styles\n\n"
                                "A backup of the original HTML file was created\n\nTotal time: ",
                                0),
              0u)
        << english.out;
    EXPECT_EQ(folder.Listing(), "page.backup.html\npage.html\nrestore_backup.bat\nstyles.css\n");

    folder.Write("autre.html", "<head><style>.a{b:c}</style></head><body><p style=\"x:y\">");
    CliResult french =
        RunCli({"--lang", "FR", "--no-clean", "--sheet", "autre.css", folder.File("autre.html")});
    EXPECT_EQ(french.exitCode, 0);
    EXPECT_EQ(french.out.rfind("Le CSS externe \"autre.css\" a \xC3\xA9t\xC3\xA9 convenablement "
                               "cr\xC3\xA9\xC3\xA9 !\n\nUne sauvegarde",
                               0),
              0u)
        << french.out;
    EXPECT_TRUE(folder.Has("autre.css"));
}

// A folder, or several pages of one folder, convert in one run: a line for each page, then the
// report; pages of several folders and a folder without pages are bad usage.
TEST(Cli, ConvertsAFolderOrSeveralPagesOfOneFolder) {
    ScratchFolder folder;
    const std::string page = "<head><style>.a{b:c}</style></head><body><p style=\"x:y\">";
    folder.Write("a.htm", page);
    folder.Write("b.HTML", page);
    folder.Write("c.html", "<body><p>plain</p>");
    folder.Write("notes.txt", page);
    CliResult run = RunCli({folder.path()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(
        run.out.rfind("a.htm: 56 -> 165 bytes\nb.HTML: 56 -> 165 bytes\n"
                      "c.html: nothing to extract\n"
                      "2 pages were converted into \"styles.css\" (1 inline classes, 1 header "
                      "sheets); 1 pages held nothing to extract.\n",
                      0),
        0u)
        << run.out;
    EXPECT_EQ(folder.Read("notes.txt"), page);

    std::string other = folder.Subfolder("other");
    folder.Write("other/d.htm", page);
    struct Refusal {
        std::vector<std::string> arguments;
        std::string message;
    } refusals[] = {
        {{folder.File("c.html"), other + "d.htm"},
         "Error! The pages of one run must be in one folder.\n"},
        {{"--lang", "FR", folder.Subfolder("empty")},
         "Erreur! Le dossier \"" + folder.File("empty") +
             "\" ne contient aucune page web "
             "(*.htm, *.html).\n"},
    };
    for (const Refusal& refusal : refusals) {
        CliResult refused = RunCli(refusal.arguments, "2");
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_EQ(refused.out, refusal.message);
    }
}

// Without --lang the messages follow the user's locale.
TEST(Cli, SpeaksFrenchWhenTheLocaleIsFrench) {
    struct Case {
        const char* environment;
        const char* start;
    } cases[] = {
        {"LANG=fr_FR.UTF-8", "Le CSS externe "},
        {"LC_ALL=fr_CA.UTF-8 LANG=C", "Le CSS externe "},
        {"LC_MESSAGES=en_GB.UTF-8 LANG=fr_FR.UTF-8", "External CSS "},
        {"LANG=C", "External CSS "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.environment);
        ScratchFolder folder;
        folder.Write("page.html", "<head><style>.a{b:c}</style></head><body>");
        std::string command = std::string("env ") + c.environment + " '" + STYLEWICK_CLI_PATH +
                              "' '" + folder.File("page.html") + "' >'" + folder.File("out") + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(folder.Read("out").rfind(c.start, 0), 0u) << folder.Read("out");
    }
}

// Ctrl+C, here a SIGINT that strace sends as the page is read, stops the run with nothing
// changed and the exit status a shell gives an interrupted program.
TEST(Cli, InterruptStopsTheRunWithNothingChanged) {
    if (std::system("strace -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is not installed: the interruption is not tested";
    for (const char* language : {"EN", "FR"}) {
        ScratchFolder folder;
        const std::string page = "<head><style>.a{b:c}</style></head><body><p style=\"x:y\">";
        folder.Write("page.html", page);
        std::string command =
            std::string("ASAN_OPTIONS=detect_leaks=0 strace -qq -o /dev/null -P '") +
            folder.File("page.html") + "' -e trace=read -e inject=read:signal=INT:when=1 '" +
            STYLEWICK_CLI_PATH + "' --lang " + language + " '" + folder.File("page.html") +
            "' 2>'" + folder.path() + "err'";
        int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
        EXPECT_EQ(folder.Read("err"), std::string(language) == "EN"
                                          ? "Stopped: nothing was changed.\n"
                                          : "Arr\xC3\xAAt\xC3\xA9 : rien n'a \xC3\xA9t\xC3\xA9 "
                                            "modifi\xC3\xA9.\n");
        EXPECT_EQ(folder.Listing(), "err\npage.html\n");
        EXPECT_EQ(folder.Read("page.html"), page);
    }
}

TEST(Cli, RunErrorGoesToStderrWithExitOne) {
    ScratchFolder folder;
    std::string page = folder.File("absent \xC3\xA9.html");  // a UTF-8 name, echoed unchanged
    CliResult english = RunCli({page}, "2");
    EXPECT_EQ(english.exitCode, 1);
    EXPECT_EQ(english.out, "File \"" + page + "\" doesn't exist!\n");
    for (const char* code : {"FR", "fr", "Fr"}) {
        CliResult french = RunCli({"--lang", code, page}, "2");
        EXPECT_EQ(french.out, "Le fichier \"" + page + "\" n'existe pas!\n") << code;
    }
    EXPECT_EQ(RunCli({"--lang", "en", page}, "2").out, english.out);

    std::string subfolder = folder.File("δοκιμή.html");  // a folder of no page, named like one
    ASSERT_EQ(::mkdir(subfolder.c_str(), 0755), 0);
    CliResult folderGiven = RunCli({"--lang", "FR", subfolder}, "2");
    EXPECT_EQ(folderGiven.exitCode, 2);
    EXPECT_NE(folderGiven.out.find("\"" + subfolder + "\""), std::string::npos);
    EXPECT_EQ(folder.Listing(), "δοκιμή.html\n");

    folder.Write("bad.html", "<style>p{<body>");
    CliResult malformed = RunCli({"--lang", "FR", folder.File("bad.html")}, "2");
    EXPECT_EQ(malformed.exitCode, 1);
    EXPECT_EQ(malformed.out, "Erreur! CSS du header incorrect : <style>...</style>\n");
}

TEST(Cli, BadUsageExitsTwoAndHelpExitsZero) {
    for (auto arguments : std::vector<std::vector<std::string>>{
             {}, {"--lang", "DE", "x.html"}, {"--bogus", "x.html"}, {"--sheet"}}) {
        CliResult result = RunCli(arguments, "2");
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.out.find("usage: stylewick-cli"), std::string::npos);
    }
    for (const char* option : {"--help", "-h"}) {
        CliResult help = RunCli({option, "x.html"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.rfind("usage: stylewick-cli", 0), 0u);
        EXPECT_NE(help.out.find("Exit codes: 0 "), std::string::npos);
    }
    CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "stylewick-cli " STYLEWICK_VERSION "\n");
}

TEST(Cli, SlashQuestionMarkIsAPageNameOutsideWindows) {
    CliResult result = RunCli({"/?"}, "2");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "File \"/?\" doesn't exist!\n");
}

TEST(Cli, PageNamedLikeAnOptionAfterDoubleDash) {
    ScratchFolder folder;
    folder.Write("-x.html", "<p style=\"a:b\">");
    CliResult result = RunCli({"--", folder.File("-x.html")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(folder.Has("-x.backup.html"));
}

}  // namespace
