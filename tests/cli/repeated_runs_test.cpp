// Runs that follow other runs, fail, or meet files the tool did not write, each through
// stylewick-cli in a real folder: whatever happens, nothing that was there is lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/cli_run.h"
#include "tests/support/page_run.h"
#include "tests/support/scratch_folder.h"
#include "version.h"

namespace {

namespace fs = std::filesystem;

constexpr char kStyledPage[] =
    "<html><head><style>\r\n.note {color:red}\r\n</style></head>\r\n"
    "<body lang=en><p class=note style=\"margin:0\">a</p><p style=\"color:blue\">b</p></body>"
    "</html>\r\n";
constexpr char kPlainPage[] = "<html><body lang=en><p>nothing to move</p></body></html>\r\n";
// The first line of every restore script.
const std::string kGuardLine = "@setlocal EnableExtensions DisableDelayedExpansion\r\n";

// The folder as the program names it: absolute, without symbolic links.
std::string Root(const ScratchFolder& folder) {
    return fs::canonical(folder.path()).string() + "/";
}

std::string NothingToExtract(const std::string& page) {
    return "Nothing to extract: the page \"" + page +
           "\" holds no internal or inline CSS.\nThe page was left unchanged.\n";
}

std::string NotWrittenByTheTool(const std::string& file, const char* advice) {
    return "Error! The file \"" + file + "\" already exists and was not written by stylewick.\n" +
           advice + "\n";
}

// One run of a story: the page, the options, and what the program must answer.
struct Step {
    const char* page;
    std::vector<std::string> options;
    int exitCode;
    std::string message;  // on stdout for exit 0 (empty: the run report), else on stderr
};

// Runs the steps in order; a step that does not convert must leave every file as it was.
void RunSteps(const ScratchFolder& folder, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.page) + " " + testing::PrintToString(step.options));
        std::vector<std::string> arguments = step.options;
        arguments.push_back(folder.File(step.page));
        const auto before = folder.Files();
        CliResult result = RunCli(arguments, step.exitCode == 0 ? "1" : "2");
        EXPECT_EQ(result.exitCode, step.exitCode);
        if (step.message.empty()) {
            EXPECT_EQ(result.out.rfind("External CSS ", 0), 0u) << result.out;
            continue;
        }
        EXPECT_EQ(result.out, step.message);
        EXPECT_TRUE(folder.Files() == before) << folder.Listing();
    }
}

TEST(RepeatedRuns, SecondRunOnAConvertedPageHasNothingToExtract) {
    const std::vector<std::vector<std::string>> secondRuns = {
        {}, {"--no-clean"}, {"--sheet", "other.css"}, {"--lang", "FR"}};
    for (const auto& options : secondRuns) {
        ScratchFolder folder;
        folder.Write("page.html", kStyledPage);
        std::string page = Root(folder) + "page.html";
        std::string message = options.size() == 2 && options[0] == "--lang"
                                  ? "Rien \xC3\xA0 extraire : la page \"" + page +
                                        "\" ne contient ni CSS interne ni CSS dans les tags.\n"
                                        "La page n'a pas \xC3\xA9t\xC3\xA9 modifi\xC3\xA9"
                                        "e.\n"
                                  : NothingToExtract(page);
        RunSteps(folder, {{"page.html", {}, 0, ""}, {"page.html", options, 0, message}});
    }
}

TEST(RepeatedRuns, FailedRunKeepsThePageAndAnEarlierBackup) {
    struct Case {
        const char* label;
        std::string page;
        std::vector<std::string> options;
        std::string error;  // after the folder's path
    } cases[] = {
        {"mistyped sheet folder",
         kStyledPage,
         {"--sheet", "missing/site.css"},
         "missing/site.css\" could not be written\nThe page was left unchanged.\n"},
        // A backup that no conversion wrote is refused before the page is read.
        {"malformed header CSS",
         "<html><head><style>p {color:red</style></head><body></body></html>",
         {},
         "page.backup.html\" already exists and was not written by stylewick.\nMove it away to "
         "keep it, then run again; nothing was changed.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScratchFolder folder;
        folder.Write("page.html", c.page);
        folder.Write("page.backup.html", "the backup of an earlier run");
        std::string message =
            (c.options.empty() ? "Error! The file \"" : "Error! File \"") + Root(folder) + c.error;
        RunSteps(folder, {{"page.html", c.options, 1, message}});
    }
}

TEST(RepeatedRuns, FilesTheToolDidNotWriteAreNeverReplaced) {
    struct Case {
        const char* label;
        const char* file;
        const char* contents;
        const char* page;
        int exitCode;
    } cases[] = {
        {"the site's own sheet", "styles.css", "body {color:navy}\r\n", kStyledPage, 1},
        // Refused before the page is read, so also for a page with nothing to extract.
        {"the site's own sheet, nothing to extract", "styles.css", "body {color:navy}\r\n",
         kPlainPage, 1},
        {"a sheet quoting the comment line in another line", "styles.css",
         "/* not this: /* Inline CSS extracted with stylewick (" STYLEWICK_WEBSITE ") */ */\r\n",
         kStyledPage, 1},
        {"the site's own batch file", "restore_backup.bat", "@echo off\r\necho hello\r\n",
         kStyledPage, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScratchFolder folder;
        folder.Write("page.html", c.page);
        folder.Write(c.file, c.contents);
        std::string root = Root(folder);
        std::string message =
            c.exitCode == 0 ? NothingToExtract(root + "page.html")
            : std::string(c.file) == "styles.css"
                ? NotWrittenByTheTool(root + c.file,
                                      "Choose another CSS output name; nothing was changed.")
                : NotWrittenByTheTool(root + c.file, "Nothing was changed.");
        RunSteps(folder, {{"page.html", {}, c.exitCode, message}});
    }
}

// Every "inlineClassN" that `page` names is defined in `sheet` with `declarations`.
void ExpectClassesDefined(const std::string& page, const std::string& sheet,
                          const std::string& declarations) {
    size_t classes = 0;
    for (size_t at = page.find("inlineClass"); at != std::string::npos;
         at = page.find("inlineClass", at + 1), ++classes) {
        size_t end = page.find_first_not_of("0123456789", at + 11);
        std::string rule = "\r\n." + page.substr(at, end - at) + "\r\n{" + declarations;
        EXPECT_NE(sheet.find(rule), std::string::npos) << rule;
    }
    EXPECT_GT(classes, 0u);
}

TEST(RepeatedRuns, SecondPageOfTheFolderNeedsASheetOfItsOwn) {
    ScratchFolder folder;
    folder.Write("a.htm", "<html><body><p style=\"color:red\">a</p></body></html>");
    folder.Write("b.htm", "<html><body><p style=\"color:blue\">b</p></body></html>");
    std::string root = Root(folder);
    RunSteps(folder,
             {
                 {"a.htm", {}, 0, ""},
                 {"b.htm",
                  {},
                  1,
                  "Error! The style sheet \"" + root + "styles.css\" belongs to \"" + root +
                      "a.htm\", converted earlier in this folder.\nChoose another CSS output name, "
                      "or undo that conversion first with restore_backup.bat.\n"},
                 {"b.htm", {"--sheet", "b.css"}, 0, ""},
             });
    EXPECT_NE(folder.Read("a.htm").find("href=\"styles.css\""), std::string::npos);
    EXPECT_NE(folder.Read("b.htm").find("href=\"b.css\""), std::string::npos);
    ExpectClassesDefined(folder.Read("a.htm"), folder.Read("styles.css"), "color:red");
    ExpectClassesDefined(folder.Read("b.htm"), folder.Read("b.css"), "color:blue");
    auto lines = [&](const char* page, const char* sheet) {
        std::string backup = std::string(page).replace(1, 0, ".backup");
        return "copy /b /y \"" + root + backup + "\" \"" + root + page + "\"\r\n" +
               "if not errorlevel 1 del \"" + root + backup + "\"\r\n" +
               "if not errorlevel 1 del \"" + root + sheet + "\"\r\n" +
               "if errorlevel 1 set stylewick_failed=1\r\n";
    };
    EXPECT_EQ(folder.Read("restore_backup.bat"),
              kGuardLine + lines("b.htm", "b.css") + lines("a.htm", "styles.css") +
                  "if not defined stylewick_failed del \"" + root + "restore_backup.bat\"\r\n");
}

// The second conversion keeps the first one's backup, which holds the page as it was before
// either run, and its restore lines delete both sheets.
TEST(RepeatedRuns, ConvertedPageEditedByHandKeepsItsClasses) {
    ScratchFolder folder;
    folder.Write("page.html", kStyledPage);
    RunSteps(folder, {{"page.html", {}, 0, ""}});
    const std::string firstSheet = folder.Read("styles.css");
    std::string edited = folder.Read("page.html");
    edited.insert(edited.find("</body>"), "<p style=\"color:green\">new</p>");
    folder.Write("page.html", edited);
    std::string root = Root(folder);
    RunSteps(folder, {
                         {"page.html",
                          {},
                          1,
                          "Error! The page \"" + root + "page.html\" already uses \"" + root +
                              "styles.css\" from an earlier run.\nUndo that run with "
                              "restore_backup.bat, or choose another CSS output name.\n"},
                         {"page.html", {"--sheet", "second.css"}, 0, ""},
                     });
    std::string page = folder.Read("page.html");
    EXPECT_NE(page.find("<p class=\"inlineClass003\">new</p>"), std::string::npos) << page;
    // The page now links the first sheet, whose rules the run does not read: the new class is
    // raised in the cascade rather than marked !important.
    EXPECT_EQ(
        folder.Read("second.css"),
        InlineCommentLine() + ".inlineClass003:not(#_):not(#_):not(#_)\r\n{color:green;}\r\n");
    EXPECT_EQ(folder.Read("styles.css"), firstSheet);
    EXPECT_NE(page.find("href=\"styles.css\""), std::string::npos);
    EXPECT_NE(page.find("href=\"second.css\""), std::string::npos);
    EXPECT_EQ(folder.Read("page.backup.html"), kStyledPage);
    const std::string backup = "\"" + root + "page.backup.html\"";
    EXPECT_EQ(folder.Read("restore_backup.bat"),
              kGuardLine + "copy /b /y " + backup + " \"" + root +
                  "page.html\"\r\nif not errorlevel 1 del " + backup +
                  "\r\nif not errorlevel 1 del \"" + root +
                  "second.css\"\r\nif not errorlevel 1 del \"" + root +
                  "styles.css\"\r\nif errorlevel 1 set stylewick_failed=1\r\n"
                  "if not defined stylewick_failed del \"" +
                  root + "restore_backup.bat\"\r\n");
}

TEST(RepeatedRuns, SheetNamedOutsideAsciiIsKnownInThePageItLinks) {
    ScratchFolder folder;
    folder.Write("page.html", kStyledPage);
    RunSteps(folder, {{"page.html", {"--sheet", "feuille été.css"}, 0, ""}});
    std::string edited = folder.Read("page.html");
    ASSERT_NE(edited.find("href=\"feuille %C3%A9t%C3%A9.css\""), std::string::npos) << edited;
    edited.insert(edited.find("</body>"), "<p style=\"color:green\">new</p>");
    folder.Write("page.html", edited);
    std::string root = Root(folder);
    RunSteps(folder, {{"page.html",
                       {"--sheet", "feuille été.css"},
                       1,
                       "Error! The page \"" + root + "page.html\" already uses \"" + root +
                           "feuille été.css\" from an earlier run.\nUndo that run with "
                           "restore_backup.bat, or choose another CSS output name.\n"}});
}

// The script names every file by its absolute path, whatever folder the program ran in and
// however the page was named; the backup is named from the file name alone.
TEST(RepeatedRuns, RestoreScriptNamesEveryFileAbsolutely) {
    struct Case {
        const char* workingFolder;  // under the scratch folder
        const char* argument;
        const char* folder;  // the page's, under the scratch folder
        const char* page;
        const char* backup;
    } cases[] = {
        {"", "site/page.html", "site/", "page.html", "page.backup.html"},
        {"site/", "page.html", "site/", "page.html", "page.backup.html"},
        {"site/", "../my.site/index", "my.site/", "index", "index.backup"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        ScratchFolder scratch;
        fs::create_directories(scratch.File("site"));
        fs::create_directories(scratch.File("my.site"));
        std::string folder = c.folder;
        scratch.Write(folder + c.page, kStyledPage);
        CliResult result = RunCli({c.argument}, "1", scratch.File(c.workingFolder));
        ASSERT_EQ(result.exitCode, 0) << result.out;
        std::string root = Root(scratch) + folder;
        EXPECT_EQ(scratch.Read(folder + c.backup), kStyledPage);
        EXPECT_EQ(scratch.Read(folder + "restore_backup.bat"),
                  kGuardLine + "copy /b /y \"" + root + c.backup + "\" \"" + root + c.page +
                      "\"\r\nif not errorlevel 1 del \"" + root + c.backup +
                      "\"\r\nif not errorlevel 1 del \"" + root +
                      "styles.css\"\r\nif errorlevel 1 set stylewick_failed=1\r\n"
                      "if not defined stylewick_failed del \"" +
                      root + "restore_backup.bat\"\r\n");
    }
}

}  // namespace
