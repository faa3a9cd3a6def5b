// The whole run on disk: the four files it leaves and the errors that stop it.
#include <gtest/gtest.h>

#include <atomic>

#include "engine/run_paths.h"
#include "tests/support/page_run.h"
#include "tests/support/text_case.h"

namespace engine {

namespace {

constexpr char kWordPage[] =
    "<html lang=\"en\">\r\n<head>\r\n<style>\r\n<!--\r\np.Note {color: red;}\r\n-->\r\n"
    "</style>\r\n</head>\r\n<body lang=EN-GB>\r\n<p class=Note lang=\"fr\" dir=\"ltr\">Salut</p>"
    "\r\n</body>\r\n</html>\r\n";

TEST(ExtractionRun, WritesLinkedPageBackupScriptAndSheet) {
    ScratchFolder folder;
    PageRun run = RunOnPage(folder, kWordPage, /*cleanUnused=*/false);
    ASSERT_EQ(run.outcome.error, RunError::None);

    EXPECT_EQ(folder.Read("page.backup.html"), kWordPage);
    EXPECT_EQ(run.page,
              "<html lang=\"en\">\r\n<head>\r\n<link rel=\"stylesheet\" type=\"text/css\" "
              "href=\"styles.css\" />\r\n</head>\r\n<body>\r\n<p class=Note dir=\"ltr\">Salut</p>"
              "\r\n</body>\r\n</html>\r\n");
    EXPECT_EQ(run.script, "@setlocal EnableExtensions DisableDelayedExpansion\r\ncopy /b /y \"" +
                              folder.File("page.backup.html") + "\" \"" + folder.File("page.html") +
                              "\"\r\nif not errorlevel 1 del \"" + folder.File("page.backup.html") +
                              "\"\r\nif not errorlevel 1 del \"" + folder.File("styles.css") +
                              "\"\r\nif errorlevel 1 set stylewick_failed=1\r\n"
                              "if not defined stylewick_failed del \"" +
                              folder.File("restore_backup.bat") + "\"\r\n");
    EXPECT_EQ(run.sheet, "p.Note {color: red;}\r\n" + InlineCommentLine());
    EXPECT_EQ(folder.Listing(), "page.backup.html\npage.html\nrestore_backup.bat\nstyles.css\n");
}

TEST(ExtractionRun, CleanedLayoutRebuildsHeaderRules) {
    ScratchFolder folder;
    PageRun run = RunOnPage(folder, kWordPage, /*cleanUnused=*/true);
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_EQ(run.sheet,
              InternalCommentLine() + "p.Note\r\n{color: red;}\r\n" + InlineCommentLine());
}

TEST(ExtractionRun, MissingPageWritesNothing) {
    ScratchFolder folder;
    RunRequest request;
    request.pagePath = folder.File("absent.html");
    RunOutcome outcome = RunExtraction(request);
    EXPECT_EQ(outcome.error, RunError::PageMissing);
    EXPECT_EQ(outcome.path, request.pagePath);
    EXPECT_EQ(folder.Listing(), "");
}

TEST(ExtractionRun, MalformedHeaderCssLeavesThePageAndWritesNothing) {
    struct Case {
        const char* page;
        RunError error;
    } cases[] = {
        {"<head><style>p {color:red}\n<body><p>x</p></body>", RunError::StyleBlockUnclosed},
        {"<head><style>p {color:red}}</style></head><body></body>", RunError::BracesMismatch},
        {"<head><style>/* { */ p {color:red}</style></head><body></body>",
         RunError::BracesMismatch},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        PageRun run = RunOnPage(folder, c.page);
        EXPECT_EQ(run.outcome.error, c.error) << c.page;
        EXPECT_EQ(run.outcome.path, folder.File("page.html"));
        EXPECT_EQ(run.page, c.page);
        EXPECT_EQ(folder.Listing(), "page.html\n") << c.page;
    }
}

TEST(ExtractionRun, PageIsWrittenByteForByte) {
    ScratchFolder folder;
    std::string text = "no line end, \xE9t\xE9, LF only\nand a NUL \0 byte";
    text.push_back('\0');
    PageRun run = RunOnPage(folder, "<p style=\"a:b\">" + text);
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_EQ(run.page,
              "<link rel=\"stylesheet\" type=\"text/css\" href=\"styles.css\" />"
              "<p class=\"inlineClass001\">" +
                  text);
}

TEST(ExtractionRun, HeaderCssKeepsItsOwnLineFeeds) {
    ScratchFolder folder;
    PageRun run = RunOnPage(folder, "<style>\np {a:b}\nh1 {c:d}\n</style><body>", false);
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_EQ(run.sheet, "p {a:b}\nh1 {c:d}\r\n" + InlineCommentLine());
}

TEST(ExtractionRun, RestoreScriptNamesBackupOfDottedPageAndSubfolderSheet) {
    ScratchFolder folder;
    PageRun run = RunOnPage(folder, "<p style=\"a:b\">x</p>", true, "styles.css", "index.min.html");
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_NE(run.script.find("\"" + folder.File("index.min.backup.html") + "\" \""),
              std::string::npos);
    EXPECT_TRUE(folder.Has("index.min.backup.html"));
}

TEST(ExtractionRun, PercentSignsInPathsAreDoubledInTheScript) {
    ScratchFolder folder;
    PageRun run = RunOnPage(folder, "<p style=\"a:b\">x</p>", true, "100%.css", "50%off.html");
    ASSERT_EQ(run.outcome.error, RunError::None);
    EXPECT_NE(run.script.find("1 del \"" + folder.path() + "100%%.css\"\r\n"), std::string::npos);
    EXPECT_NE(run.script.find("\"" + folder.path() + "50%%off.html\"\r\n"), std::string::npos);
    EXPECT_TRUE(folder.Has("100%.css"));
}

TEST(ExtractionRun, UnwritableSheetLeavesPageUnchangedAndNoTemporaries) {
    for (const char* sheetName : {"missing/site.css"}) {
        ScratchFolder folder;
        PageRun run = RunOnPage(folder, kWordPage, true, sheetName);
        EXPECT_EQ(run.outcome.error, RunError::FileNotWritten) << sheetName;
        EXPECT_EQ(run.outcome.path, folder.path() + sheetName);
        EXPECT_EQ(run.page, kWordPage);
        EXPECT_EQ(folder.Listing(), "page.html\n") << sheetName;
    }
}

TEST(ExtractionRun, SheetMayNotReplaceThePageItsBackupOrTheScript) {
    for (const char* sheetName :
         {"page.html", "page.backup.html", "restore_backup.bat", "./page.html"}) {
        ScratchFolder folder;
        PageRun run = RunOnPage(folder, kWordPage, true, sheetName);
        EXPECT_EQ(run.outcome.error, RunError::SheetNameCollides) << sheetName;
        EXPECT_EQ(run.page, kWordPage);
        EXPECT_FALSE(folder.Has("restore_backup.bat"));
    }
}

TEST(RunPaths, BackupGoesAfterTheLastDotOfTheFileName) {
    const TextCase backups[] = {
        {"/web/index.html", "/web/index.backup.html"},
        {"/site/index.min.html", "/site/index.min.backup.html"},
        {"/my.site/index", "/my.site/index.backup"},
        {"index", "index.backup"},
        {"/site/.htm", "/site/.backup.htm"},
    };
    for (const TextCase& c : backups) EXPECT_EQ(BackupPath(c.input), c.expected);
    EXPECT_EQ(PageFolder("/srv/site/index.html"), "/srv/site/");
    EXPECT_EQ(PageFolder("index.html"), "");
}

TEST(RunPaths, UsableSheetNamesNameOneFileBesideThePage) {
    const char* usable[] = {
        "styles.css", "css/site.css", "css\\site.css", "../site.css", "..\\..\\a.css",
        "./a.css",    "a b.css",      " a.css",        "con1.css",    "console.css",
        "nul_.css",   "com10.css",    "lpt0.css",      "a.b.css",     "a#b.css",
        ".css",       "css/..a.css",  "comé.css",      "abc",
    };
    const char* unusable[] = {
        "",          " ",           "   ",         "a:b.css",    "c:\\a.css", "a.css:s", "styles.",
        "styles. ",  "styles ",     "a./b.css",    "a /b.css",   "..",        ".",       "css/",
        "/a.css",    "\\a.css",     "a//b.css",    "a\\\\b.css", "con",       "CON",     "nul.css",
        "Aux.x.gz",  "prn .css",    "com1",        "COM9.css",   "lpt5.x",    "css/con", "css\\nul",
        "con/a.css", "com\xC2\xB9", "LPT\xC2\xB3", ".../a.css",  "a/ /b.css", "x\".css",
    };
    for (const char* name : usable) EXPECT_TRUE(IsUsableSheetName(name)) << name;
    for (const char* name : unusable) EXPECT_FALSE(IsUsableSheetName(name)) << name;
}

// A run asked to stop at any of its progress points stops at the next one with nothing
// changed and no file left, as long as its outputs have not begun to take their places; asked
// later, it finishes. The rewriting and cleaning end at 0.85 of the run; the staging of the
// outputs comes after.
TEST(ExtractionRunStop, StopsWithNothingChangedUntilTheOutputsArePlaced) {
    std::string page = kWordPage;
    for (int i = 0; i < 2000; ++i)
        page.insert(page.rfind("</body>"), "<p style=\"margin:1pt\">x</p>");
    for (double at : {0.0, 0.05, 0.3, 0.7, 0.8, 0.86, 0.95, 1.0}) {
        SCOPED_TRACE(at);
        ScratchFolder folder;
        folder.Write("page.html", page);
        std::atomic<bool> stop{false};
        RunRequest request;
        request.pagePath = folder.File("page.html");
        request.stop = &stop;
        request.progress = [&](double done) {
            if (done >= at) stop = true;
        };
        RunOutcome outcome = RunExtraction(request);
        if (at < 0.85) {
            EXPECT_EQ(outcome.error, RunError::Stopped);
        }
        if (at == 1.0) {
            EXPECT_EQ(outcome.error, RunError::None);
        }
        if (outcome.error == RunError::Stopped) {
            EXPECT_EQ(folder.Read("page.html"), page);
            EXPECT_EQ(folder.Listing(), "page.html\n");
        } else {
            EXPECT_EQ(outcome.error, RunError::None);
            EXPECT_EQ(folder.Listing(),
                      "page.backup.html\npage.html\nrestore_backup.bat\nstyles.css\n");
        }
    }
}

}  // namespace

}  // namespace engine
