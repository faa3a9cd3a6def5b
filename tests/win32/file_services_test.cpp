// The run against what Windows itself does to files: handles held without sharing, read-only
// pages, the code page of batch files, and a very large page in a 32-bit process.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/extraction_run.h"
#include "platform/files.h"
#include "tests/win32/window_driver.h"

namespace {

constexpr char kPage[] =
    "<html lang=en><head><style>p.Note {color:red}</style></head>\r\n"
    "<body><p class=Note style=\"margin:0\">x</p></body></html>\r\n";

// Opens a file with no sharing, as another program holding it would.
struct HeldFile {
    HANDLE handle;
    explicit HeldFile(const std::string& path)
        : handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

RunOutcome RunOn(const TempFolder& folder, const std::string& sheetName = "styles.css") {
    RunRequest request;
    request.pagePath = folder.File("page.html");
    request.sheetName = sheetName;
    return RunExtraction(request);
}

// No file of the folder is a temporary of the run.
bool NoTemporaryLeft(const TempFolder& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.File("*.stylewick-new").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    FindClose(search);
    return false;
}

TEST(FileServices, SheetHeldByAnotherProgramLeavesThePageUnchanged) {
    TempFolder folder;
    folder.Write("page.html", kPage);
    folder.Write("styles.css", "old sheet");
    RunOutcome outcome;
    {
        HeldFile held(folder.File("styles.css"));
        ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
        outcome = RunOn(folder);
    }
    EXPECT_EQ(outcome.error, RunError::FileNotWritten);
    EXPECT_EQ(outcome.path, folder.File("styles.css"));
    EXPECT_EQ(folder.Read("page.html"), kPage);
    EXPECT_EQ(folder.Read("styles.css"), "old sheet");
    EXPECT_FALSE(folder.Has("restore_backup.bat"));
    EXPECT_TRUE(NoTemporaryLeft(folder));
}

TEST(FileServices, PageHeldByAnotherProgramIsNotTouched) {
    TempFolder folder;
    folder.Write("page.html", kPage);
    RunOutcome outcome;
    {
        HeldFile held(folder.File("page.html"));
        ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
        outcome = RunOn(folder);
    }
    EXPECT_EQ(outcome.error, RunError::BackupNotCreated);
    EXPECT_EQ(folder.Read("page.html"), kPage);
    EXPECT_TRUE(NoTemporaryLeft(folder));
}

TEST(FileServices, ReadOnlyPageIsReportedAndKept) {
    TempFolder folder;
    folder.Write("page.html", kPage);
    ASSERT_TRUE(SetFileAttributesA(folder.File("page.html").c_str(), FILE_ATTRIBUTE_READONLY));
    RunOutcome outcome = RunOn(folder);
    SetFileAttributesA(folder.File("page.html").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(outcome.error, RunError::FileNotWritten);
    EXPECT_EQ(outcome.path, folder.File("page.html"));
    EXPECT_EQ(folder.Read("page.html"), kPage);
    EXPECT_TRUE(NoTemporaryLeft(folder));
}

TEST(FileServices, SheetNameInAnyCaseMayNotNameThePage) {
    TempFolder folder;
    folder.Write("page.html", kPage);
    EXPECT_EQ(RunOn(folder, "PAGE.HTML").error, RunError::SheetNameCollides);
    EXPECT_EQ(RunOn(folder, "Restore_Backup.BAT").error, RunError::SheetNameCollides);
    EXPECT_EQ(folder.Read("page.html"), kPage);
}

TEST(FileServices, RestoreScriptIsInTheCommandInterpretersCodePage) {
    TempFolder folder;
    std::string name = "caf\xE9 100%.html";  // Windows-1252 e acute
    folder.Write(name, kPage);
    RunRequest request;
    request.pagePath = folder.File(name);
    ASSERT_EQ(RunExtraction(request).error, RunError::None);
    std::string script = folder.Read("restore_backup.bat");
    std::string expectedName = files::ToBatchCodePage("caf\xE9 100%%.html");
    EXPECT_NE(script.find(expectedName + "\"\r\n"), std::string::npos) << script;
    if (GetOEMCP() != GetACP()) EXPECT_EQ(script.find('\xE9'), std::string::npos);
}

TEST(FileServices, VeryLargePageConvertsOrSaysThereIsNotEnoughMemory) {
    // About 200 MB of word-processor-like paragraphs, many styles repeated, many distinct.
    std::string page = "<html><head><style>p.MsoNormal {margin:0}</style></head><body>\r\n";
    const size_t target = 200u << 20;
    page.reserve(target + 4096);
    for (unsigned i = 0; page.size() < target; ++i) {
        page += "<p class=MsoNormal lang=EN-US style='margin-left:" + std::to_string(i % 5000) +
                "pt;\r\nline-height:115%'><span style='color:#C00000'>Orchard notes, row " +
                std::to_string(i) + "</span></p>\r\n";
    }
    TempFolder folder;
    folder.Write("page.html", page);
    const size_t pageHash = std::hash<std::string>{}(page);
    std::string().swap(page);  // the 32-bit address space is the run's
    RunOutcome outcome = RunOn(folder);
    if (outcome.error == RunError::OutOfMemory) {
        EXPECT_EQ(std::hash<std::string>{}(folder.Read("page.html")), pageHash);
        EXPECT_FALSE(folder.Has("styles.css"));
    } else {
        ASSERT_EQ(outcome.error, RunError::None);
        std::string rewritten = folder.Read("page.html");
        EXPECT_EQ(rewritten.find("style="), std::string::npos);
        EXPECT_NE(folder.Read("styles.css").find(".inlineClass5001\r\n"), std::string::npos);
    }
    EXPECT_TRUE(NoTemporaryLeft(folder));
}

}  // namespace
