// Failing file operations and hostile output names: whatever fails, the run either writes all
// its outputs or leaves every file byte for byte as it was (an earlier backup included) and no
// new file behind, and names the error and the file it concerns.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/extraction_run.h"
#include "platform/files.h"
#include "tests/support/corpus_pages.h"
#include "tests/support/page_run.h"
#include "tests/support/scratch_folder.h"
#include "texts/run_report.h"

namespace engine {

namespace {

namespace fs = std::filesystem;

constexpr char kPage[] = "page.html";
constexpr char kBackup[] = "page.backup.html";
constexpr char kScript[] = "restore_backup.bat";
constexpr char kSheet[] = "styles.css";

// Turns the injected failure off again whatever way a test ends.
struct NoInjectedFailureAfterwards {
    ~NoInjectedFailureAfterwards() { platform::FailOperationNumber(0); }
};

RunOutcome RunOn(const ScratchFolder& folder, const std::string& sheetName,
                 bool cleanUnused = true) {
    RunRequest request;
    request.pagePath = folder.File(kPage);
    request.sheetName = sheetName;
    request.cleanUnused = cleanUnused;
    return RunExtraction(request);
}

// The messages the user reads, in both languages, as the run's decisions word them.
std::string EnglishMessage(RunError error, const std::string& path) {
    switch (error) {
        case RunError::PageMissing: return "File \"" + path + "\" doesn't exist!";
        case RunError::PageIsFolder: return "Error! \"" + path + "\" is a folder, not a page.";
        case RunError::BackupNotCreated:
            return "Error! The backup copy \"" + path + "\" could not be created";
        case RunError::PageNotRead: return "Error! File \"" + path + "\" could not be read";
        case RunError::SheetNameCollides:
            return "Error! The CSS output name must not name the page, its backup or "
                   "restore_backup.bat";
        case RunError::FileNotWritten:
            return "Error! File \"" + path +
                   "\" could not be written\rThe page was left unchanged.";
        default: return "(no message expected)";
    }
}

std::string FrenchMessage(RunError error, const std::string& path) {
    switch (error) {
        case RunError::PageMissing: return "Le fichier \"" + path + "\" n'existe pas!";
        case RunError::PageIsFolder:
            return "Erreur! \"" + path + "\" est un dossier, pas une page.";
        case RunError::BackupNotCreated:
            return "Erreur! La copie de sauvegarde \"" + path + "\" n'a pas pu être créée";
        case RunError::PageNotRead: return "Erreur! Le fichier \"" + path + "\" n'a pas pu être lu";
        case RunError::SheetNameCollides:
            return "Erreur! Le nom de sortie CSS ne doit désigner ni la page, ni sa sauvegarde, "
                   "ni restore_backup.bat";
        case RunError::FileNotWritten:
            return "Erreur! Le fichier \"" + path +
                   "\" n'a pas pu être écrit\rLa page n'a pas été modifiée.";
        default: return "(no message expected)";
    }
}

void ExpectMessages(const RunOutcome& outcome, RunError error, const std::string& path) {
    EXPECT_EQ(outcome.error, error);
    EXPECT_EQ(outcome.path, path);
    EXPECT_EQ(texts::RunErrorMessage(outcome.error, outcome.path, texts::Language::English),
              EnglishMessage(error, path));
    EXPECT_EQ(texts::RunErrorMessage(outcome.error, outcome.path, texts::Language::French),
              FrenchMessage(error, path));
}

bool HasTemporaryFile(const std::string& listing) {
    return listing.find(".stylewick-") != std::string::npos;
}

std::string Lines(std::initializer_list<const char*> names) {
    std::vector<std::string> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    std::string listing;
    for (const std::string& name : sorted) listing += name + "\n";
    return listing;
}

// ---------------------------------------------------------------------------------------
// The walk: the Nth file operation of a full run fails, for every N the run has.

struct WalkedPage {
    const char* corpusName;  // nullptr: the project's own sample page
    bool cleanUnused;
};

class FailingOperationWalk : public testing::TestWithParam<WalkedPage> {};

// One failing operation, in the order a run makes them, and what the user must be told. A
// step whose error is None is one the run gets over: it still converts the page.
struct Step {
    const char* operation;
    RunError error;
    const char* file;  // the file the message names
};

const std::vector<Step> kRunOperations = {
    {"existence test of the page", RunError::PageMissing, kPage},
    {"lock of the folder", RunError::BackupNotCreated, kBackup},
    {"reading of an earlier style sheet", RunError::FileNotWritten, kSheet},
    {"reading of an earlier restore script", RunError::FileNotWritten, kScript},
    {"existence test of an earlier backup", RunError::None, kBackup},
    {"reading of the page", RunError::PageNotRead, kPage},
    {"writing of the restore script", RunError::FileNotWritten, kScript},
    {"writing of the style sheet", RunError::FileNotWritten, kSheet},
    {"writing of the new page", RunError::FileNotWritten, kPage},
    {"move of the restore script", RunError::FileNotWritten, kScript},
    {"backup as a second name of the page (then written as a copy)", RunError::None, kBackup},
    {"move of the style sheet", RunError::FileNotWritten, kSheet},
    {"move of the new page over the page", RunError::FileNotWritten, kPage},
};

// The walked page: a corpus page, or the project's own word-processor page (no name).
std::string WalkedPageBytes(const WalkedPage& walked) {
    return walked.corpusName ? CorpusPage(walked.corpusName) : ProjectWordPage();
}

TEST_P(FailingOperationWalk, EveryFailureLeavesThePageAsItWas) {
    NoInjectedFailureAfterwards guard;
    if (GetParam().corpusName != nullptr) SKIP_WITHOUT_CORPUS();
    const std::string page = WalkedPageBytes(GetParam());

    // A run without failure, to count its operations and to have its outputs.
    std::map<std::string, std::string> converted;
    {
        ScratchFolder folder;
        folder.Write(kPage, page);
        platform::FailOperationNumber(0);
        ASSERT_EQ(RunOn(folder, kSheet, GetParam().cleanUnused).error, RunError::None);
        ASSERT_EQ(platform::OperationsCounted(), static_cast<int>(kRunOperations.size()))
            << "the run's file operations changed; the table of this test names each one";
        ASSERT_NE(folder.Read(kPage), page) << "the page should be rewritten by a run";
        converted = folder.Files();
    }

    for (size_t n = 1; n <= kRunOperations.size(); ++n) {
        const Step& step = kRunOperations[n - 1];
        SCOPED_TRACE("operation " + std::to_string(n) + " fails: " + step.operation);
        ScratchFolder folder;
        folder.Write(kPage, page);
        platform::FailOperationNumber(static_cast<int>(n));
        RunOutcome outcome = RunOn(folder, kSheet, GetParam().cleanUnused);
        platform::FailOperationNumber(0);

        if (step.error == RunError::None) {
            EXPECT_EQ(outcome.error, RunError::None);
            EXPECT_EQ(folder.Listing(), Lines({kPage, kBackup, kScript, kSheet}));
            for (const char* name : {kPage, kBackup, kSheet})
                EXPECT_EQ(folder.Read(name), converted[name]) << name;
            continue;
        }
        ExpectMessages(outcome, step.error, folder.File(step.file));
        EXPECT_EQ(folder.Read(kPage), page) << "the page was changed";
        EXPECT_EQ(folder.Listing(), Lines({kPage})) << "no file may be left beside the page";
    }
}

// A folder where earlier runs left their files: another page converted in place (its backup,
// the restore script and its sheet), and this page converted to first.css, then edited.
void PrepareEarlierRuns(const ScratchFolder& folder, const std::string& page) {
    folder.Write("other.html", "<html><body><p style=\"color:red\">other</p></body></html>");
    RunRequest other;
    other.pagePath = folder.File("other.html");
    ASSERT_EQ(RunExtraction(other).error, RunError::None);
    folder.Write(kPage, page);
    ASSERT_EQ(RunOn(folder, "first.css").error, RunError::None);
    std::string edited = folder.Read(kPage) + "<p style=\"color:green\">added</p>";
    folder.Write(kPage, edited);
}

// Operations of the second run that it gets over: the existence test of the other page's
// backup (a failing one reads as a missing backup, so that the run takes that conversion as
// undone and leaves it out of its script), and the removal of the earlier script kept aside
// once the page is committed (the next run in the folder removes it).
constexpr int kOtherBackupTest = 6;
constexpr int kAsideRemoval = 15;

TEST_P(FailingOperationWalk, FailuresOverEarlierRunsKeepEveryFile) {
    NoInjectedFailureAfterwards guard;
    if (GetParam().corpusName != nullptr) SKIP_WITHOUT_CORPUS();
    const std::string page = WalkedPageBytes(GetParam());
    int operations = 0;
    {
        ScratchFolder folder;
        PrepareEarlierRuns(folder, page);
        platform::FailOperationNumber(0);
        ASSERT_EQ(RunOn(folder, "page.css", GetParam().cleanUnused).error, RunError::None);
        operations = platform::OperationsCounted();
        EXPECT_EQ(operations, kAsideRemoval);
        EXPECT_NE(folder.Read(kScript).find("other.backup.html"), std::string::npos);
        EXPECT_EQ(folder.Read(kBackup), page);
    }

    for (int n = 1; n <= operations; ++n) {
        SCOPED_TRACE("operation " + std::to_string(n) + " fails");
        ScratchFolder folder;
        PrepareEarlierRuns(folder, page);
        const std::map<std::string, std::string> before = folder.Files();
        platform::FailOperationNumber(n);
        RunOutcome outcome = RunOn(folder, "page.css", GetParam().cleanUnused);
        platform::FailOperationNumber(0);

        if (n == kOtherBackupTest) {
            EXPECT_EQ(outcome.error, RunError::None);
            EXPECT_EQ(folder.Read(kScript).find("other.backup.html"), std::string::npos);
            continue;
        }
        if (n == kAsideRemoval) {
            EXPECT_EQ(outcome.error, RunError::None);
            RunRequest next;  // a later run clears what this one left
            next.pagePath = folder.File("other.html");
            EXPECT_EQ(RunExtraction(next).error, RunError::NothingToExtract);
            EXPECT_EQ(folder.Listing().find(".stylewick-"), std::string::npos) << folder.Listing();
            continue;
        }
        EXPECT_NE(outcome.error, RunError::None);
        EXPECT_TRUE(folder.Files() == before) << folder.Listing();
    }
}

INSTANTIATE_TEST_SUITE_P(CorpusPages, FailingOperationWalk,
                         testing::Values(WalkedPage{nullptr, true},
                                         WalkedPage{"word2000-small.html", true},
                                         WalkedPage{"openoffice-uppercase-readme.htm", false},
                                         WalkedPage{"email-inlined-template.html", true}),
                         [](const testing::TestParamInfo<WalkedPage>& info) {
                             std::string name;
                             const char* page = info.param.corpusName;
                             if (page == nullptr) page = "sample-page";
                             for (const char* c = page; *c != '\0' && *c != '.'; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name + (info.param.cleanUnused ? "_cleaned" : "_plain");
                         });

// ---------------------------------------------------------------------------------------
// Real conditions on disk.

constexpr char kStyledPage[] =
    "<html><head><style>\r\n.a {color:red}\r\n</style></head>\r\n"
    "<body lang=\"en\"><p class=\"a\" style=\"margin:0\">text</p></body></html>\r\n";

struct RealConditionTest : testing::Test {
    ScratchFolder folder;
    void SetUp() override { folder.Write(kPage, kStyledPage); }

    // The page unchanged and nothing else beside it (apart from `also`).
    void ExpectNothingChanged(std::initializer_list<const char*> also = {}) {
        EXPECT_EQ(folder.Read(kPage), kStyledPage);
        std::string listing = folder.Listing();
        EXPECT_FALSE(HasTemporaryFile(listing)) << listing;
        std::vector<std::string> expected = {kPage};
        expected.insert(expected.end(), also.begin(), also.end());
        std::sort(expected.begin(), expected.end());
        std::string expectedListing;
        for (const std::string& name : expected) expectedListing += name + "\n";
        EXPECT_EQ(listing, expectedListing);
    }
};

TEST_F(RealConditionTest, PagePathNamingAFolderIsReportedAndNothingIsWritten) {
    ScratchFolder parent;
    fs::create_directory(parent.File(kPage));
    RunRequest request;
    request.pagePath = parent.File(kPage);
    RunOutcome outcome = RunExtraction(request);
    ExpectMessages(outcome, RunError::PageIsFolder, parent.File(kPage));
    EXPECT_EQ(parent.Listing(), Lines({kPage}));
    EXPECT_TRUE(fs::is_empty(parent.File(kPage)));
}

TEST_F(RealConditionTest, MissingPageIsReportedAndNothingIsWritten) {
    RunRequest request;
    request.pagePath = folder.File("gone.html");
    ExpectMessages(RunExtraction(request), RunError::PageMissing, folder.File("gone.html"));
    EXPECT_EQ(folder.Listing(), Lines({kPage}));
}

TEST_F(RealConditionTest, SheetInAMissingSubfolderIsNotWrittenAndNoFolderIsMade) {
    ExpectMessages(RunOn(folder, "css/site.css"), RunError::FileNotWritten,
                   folder.File("css/site.css"));
    ExpectNothingChanged();
}

TEST_F(RealConditionTest, SheetInAnExistingSubfolderIsWritten) {
    fs::create_directory(folder.File("css"));
    ASSERT_EQ(RunOn(folder, "css/site.css").error, RunError::None);
    EXPECT_TRUE(folder.Has("css/site.css"));
    EXPECT_NE(folder.Read(kPage).find("href=\"css/site.css\""), std::string::npos);
}

// Refused before the page is read, naming the name as typed.
TEST_F(RealConditionTest, SheetNamesNoLinkCanNameAreRefused) {
    for (const char* name :
         {"", "   ", "x.css:stream", "nul.css", "css/con", "x.css.", "..", ".//a.css", "x\".css"}) {
        SCOPED_TRACE(name);
        RunOutcome outcome = RunOn(folder, name);
        EXPECT_EQ(outcome.error, RunError::SheetNameInvalid);
        EXPECT_EQ(texts::RunErrorMessage(outcome.error, outcome.path, texts::Language::English),
                  "Error! \"" + std::string(name) + "\" cannot be the name of a style sheet.");
        EXPECT_EQ(texts::RunErrorMessage(outcome.error, outcome.path, texts::Language::French),
                  "Erreur! \"" + std::string(name) +
                      "\" ne peut pas \xC3\xAAtre le nom d'une feuille de style.");
        ExpectNothingChanged();
    }
}

TEST_F(RealConditionTest, SheetNameNamingAFolderIsNotWritten) {
    fs::create_directory(folder.File("styles"));
    ExpectMessages(RunOn(folder, "styles"), RunError::FileNotWritten, folder.File("styles"));
    ExpectNothingChanged({"styles"});
    EXPECT_TRUE(fs::is_empty(folder.File("styles")));
}

TEST_F(RealConditionTest, ScriptThatWouldReplaceAFolderStopsTheRun) {
    fs::create_directory(folder.File(kScript));
    ExpectMessages(RunOn(folder, kSheet), RunError::FileNotWritten, folder.File(kScript));
    ExpectNothingChanged({kScript});
    EXPECT_TRUE(fs::is_empty(folder.File(kScript)));
}

TEST_F(RealConditionTest, BackupThatCannotReplaceAFolderStopsTheRun) {
    fs::create_directory(folder.File(kBackup));
    ExpectMessages(RunOn(folder, kSheet), RunError::BackupNotCreated, folder.File(kBackup));
    ExpectNothingChanged({kBackup});
    EXPECT_TRUE(fs::is_empty(folder.File(kBackup)));
}

TEST_F(RealConditionTest, SheetNamesThatNameTheRunsOwnFilesAreRefused) {
    fs::create_directory(folder.File("sub"));
    for (const char* name :
         {"page.html", "page.backup.html", "restore_backup.bat", "./page.html", "sub/../page.html",
          "sub/../restore_backup.bat", "./page.backup.html"}) {
        SCOPED_TRACE(name);
        folder.Write(kPage, kStyledPage);
        ExpectMessages(RunOn(folder, name), RunError::SheetNameCollides, folder.File(kPage));
        ExpectNothingChanged({"sub"});
    }
}

bool PermissionsBind(const std::string& folder) {
    std::string probe = folder + "probe";
    std::ofstream out(probe);
    bool written = static_cast<bool>(out);
    out.close();
    if (written) ::unlink(probe.c_str());
    return !written;
}

TEST_F(RealConditionTest, ReadOnlyFolderStopsTheRunBeforeAnythingIsWritten) {
    ::chmod(folder.path().c_str(), 0555);
    bool binds = PermissionsBind(folder.path());
    if (!binds) {
        ::chmod(folder.path().c_str(), 0755);
        GTEST_SKIP() << "this user may write into a read-only folder (root): nothing to test";
    }
    RunOutcome outcome = RunOn(folder, kSheet);
    ::chmod(folder.path().c_str(), 0755);
    ExpectMessages(outcome, RunError::BackupNotCreated, folder.File(kBackup));
    ExpectNothingChanged();
}

TEST_F(RealConditionTest, UnreadablePageIsReportedAndLeftAsItWas) {
    ::chmod(folder.File(kPage).c_str(), 0);
    std::ifstream probe(folder.File(kPage));
    if (probe) {
        ::chmod(folder.File(kPage).c_str(), 0644);
        GTEST_SKIP() << "this user may read a page without read permission (root)";
    }
    RunOutcome outcome = RunOn(folder, kSheet);
    ::chmod(folder.File(kPage).c_str(), 0644);
    ExpectMessages(outcome, RunError::PageNotRead, folder.File(kPage));
    ExpectNothingChanged();
}

// A read-only page is the user's wish to keep it, though replacing a file by a move needs only
// the folder's permission on POSIX: the run reports it and leaves the page as it was.
TEST_F(RealConditionTest, ReadOnlyPageIsReportedAndLeftAsItWas) {
    ::chmod(folder.File(kPage).c_str(), 0444);
    RunOutcome outcome = RunOn(folder, kSheet);
    ::chmod(folder.File(kPage).c_str(), 0644);
    ExpectMessages(outcome, RunError::FileNotWritten, folder.File(kPage));
    ExpectNothingChanged();
}

// What the user of the headless program sees for these conditions: the message on stderr, an
// error exit, and no run report.
TEST_F(RealConditionTest, HeadlessProgramReportsTheFailureAndExitsWithAnError) {
    std::string command = std::string("'") + STYLEWICK_CLI_PATH + "' --sheet css/site.css '" +
                          folder.File(kPage) + "' >'" + folder.path() + "out.txt' 2>'" +
                          folder.path() + "err.txt'";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(folder.Read("out.txt"), "");
    EXPECT_EQ(folder.Read("err.txt"),
              "Error! File \"" + folder.File("css/site.css") +
                  "\" could not be written\nThe page was left unchanged.\n");
    EXPECT_EQ(folder.Read(kPage), kStyledPage);
}

}  // namespace

}  // namespace engine
