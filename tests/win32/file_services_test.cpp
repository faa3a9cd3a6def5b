// The run against what Windows itself does to files: handles held without sharing, read-only
// pages, the code page of batch files, and a very large page in a 32-bit process.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "engine/extraction_run.h"
#include "platform/files.h"
#include "platform/files_win32.h"
#include "platform/utf16.h"
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

engine::RunOutcome RunOn(const ScratchFolder& folder, const std::string& sheetName = "styles.css") {
    engine::RunRequest request;
    request.pagePath = folder.File("page.html");
    request.sheetName = sheetName;
    return engine::RunExtraction(request);
}

// No file of the folder is a temporary of the run.
bool NoTemporaryLeft(const ScratchFolder& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.File(".stylewick-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    FindClose(search);
    return false;
}

// A file of the run held open, without sharing, by another program: the run stops at that file
// and no file changes, neither the page nor an earlier sheet. (An earlier sheet or backup
// the tool did not write would be refused before either is read.)
TEST(FileServices, FileHeldByAnotherProgramStopsTheRunAndChangesNothing) {
    const std::pair<const char*, engine::RunError> cases[] = {
        {"styles.css", engine::RunError::FileNotWritten},
        {"page.html", engine::RunError::PageNotRead},
    };
    for (const auto& [heldName, error] : cases) {
        SCOPED_TRACE(heldName);
        ScratchFolder folder;
        folder.Write("page.html", kPage);
        if (std::string(heldName) == "styles.css") folder.Write("styles.css", "old sheet");
        engine::RunOutcome outcome;
        {
            HeldFile held(folder.File(heldName));
            ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
            outcome = RunOn(folder);
        }
        EXPECT_EQ(outcome.error, error);
        EXPECT_EQ(outcome.path, folder.File(heldName));
        EXPECT_EQ(folder.Read("page.html"), kPage);
        if (std::string(heldName) == "styles.css") {
            EXPECT_EQ(folder.Read("styles.css"), "old sheet");
        }
        EXPECT_FALSE(folder.Has("page.backup.html"));
        EXPECT_FALSE(folder.Has("restore_backup.bat"));
        EXPECT_TRUE(NoTemporaryLeft(folder));
    }
}

TEST(FileServices, PageThatAnotherProcessHoldsConvertsWhenItLetsOthersWrite) {
    struct Case {
        DWORD share;
        engine::RunError error;
    } cases[] = {
        {FILE_SHARE_READ | FILE_SHARE_WRITE, engine::RunError::None},  // a browser or a viewer
        {FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, engine::RunError::None},
        {FILE_SHARE_READ,
         engine::RunError::FileNotWritten},  // an editor that keeps others from writing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.share);
        ScratchFolder folder;
        folder.Write("page.html", kPage);
        engine::RunOutcome outcome;
        std::string whileHeld;
        {
            ui::HeldByAnotherProcess held(folder.File("page.html"), c.share);
            ASSERT_TRUE(held.Holding());
            outcome = RunOn(folder);
            whileHeld = folder.Read("page.html");
        }
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_TRUE(NoTemporaryLeft(folder));
        if (c.error != engine::RunError::None) {
            EXPECT_EQ(outcome.path, folder.File("page.html"));
            EXPECT_EQ(folder.Read("page.html"), kPage);
            EXPECT_FALSE(folder.Has("restore_backup.bat"));
            continue;
        }
        EXPECT_NE(whileHeld.find("<body><p class=\"Note inlineClass001\">"), std::string::npos)
            << whileHeld;
        EXPECT_EQ(folder.Read("page.html"), whileHeld);
        EXPECT_EQ(folder.Read("page.backup.html"), kPage);
        EXPECT_TRUE(folder.Has("styles.css"));
    }
}

// Wine's file functions take long paths without the "\\?\" prefix that Windows needs, so the
// conversions of long paths under Wine cannot show it; the form of the path does.
TEST(FileServices, PathsFrom248CharactersOnGetTheLongPathPrefix) {
    const std::string folder = "C:\\" + std::string(120, 'a') + "\\" + std::string(100, 'b');
    const std::string at247 = folder + "\\" + std::string(247 - folder.size() - 1, 'c');
    const std::string at248 = at247 + "d";
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\web\\index.html", "C:\\web\\index.html"},
        {"index.html", "index.html"},
        {at247, at247},
        {at248, "\\\\?\\" + at248},
        {folder + "/x/../Ωμέγα 😀.htm" + std::string(30, 'e'),
         "\\\\?\\" + folder + "\\Ωμέγα 😀.htm" + std::string(30, 'e')},
        {"\\\\server\\share" + folder.substr(2) + "\\index-page.html",
         "\\\\?\\UNC\\server\\share" + folder.substr(2) + "\\index-page.html"},
        {"\\\\?\\" + folder + "\\..\\kept", "\\\\?\\" + folder + "\\..\\kept"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(platform::Utf8(platform::SystemPath(path)), expected);
}

TEST(FileServices, ReadOnlyPageIsReportedAndKept) {
    ScratchFolder folder;
    folder.Write("page.html", kPage);
    ASSERT_TRUE(SetFileAttributesA(folder.File("page.html").c_str(), FILE_ATTRIBUTE_READONLY));
    engine::RunOutcome outcome = RunOn(folder);
    SetFileAttributesA(folder.File("page.html").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(outcome.error, engine::RunError::FileNotWritten);
    EXPECT_EQ(outcome.path, folder.File("page.html"));
    EXPECT_EQ(folder.Read("page.html"), kPage);
    EXPECT_TRUE(NoTemporaryLeft(folder));
}

TEST(FileServices, SheetNameInAnyCaseMayNotNameThePage) {
    ScratchFolder folder;
    folder.Write("page.html", kPage);
    EXPECT_EQ(RunOn(folder, "PAGE.HTML").error, engine::RunError::SheetNameCollides);
    EXPECT_EQ(RunOn(folder, "Restore_Backup.BAT").error, engine::RunError::SheetNameCollides);
    EXPECT_EQ(folder.Read("page.html"), kPage);
}

// The restore script is in the OEM code page when every path can be written there exactly,
// else in UTF-8 after "chcp 65001 >nul", its second line: never with "?" or a look-alike in a
// path. (Wine's cmd refuses that chcp line, so the UTF-8 script is checked here by its bytes;
// restore_test runs the scripts themselves.)
TEST(FileServices, RestoreScriptWritesEveryPathExactly) {
    struct Case {
        const char* page;
        const char* written;  // as the script must hold it
        bool utf8;
    } cases[] = {
        {"café 100%.html", "caf\x82 100%%.html", false},  // e acute is 0x82 in OEM 437 and 850
        {"prix€.html", "prix€.html", true},
        {"l’été.html", "l’été.html", true},
        {"cœur.html", "cœur.html", true},
        {"a—b.html", "a—b.html", true},
        {"suite….html", "suite….html", true},
        {"Ωμέγα 文件 😀.htm", "Ωμέγα 文件 😀.htm", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        ScratchFolder folder;
        folder.Write(c.page, kPage);
        engine::RunRequest request;
        request.pagePath = folder.File(c.page);
        ASSERT_EQ(engine::RunExtraction(request).error, engine::RunError::None);
        std::string written = c.written;
        std::string backup = std::string(written).insert(written.rfind('.') + 1, "backup.");
        std::string copyLine = "copy /b /y \"" + folder.File(backup) + "\" \"" +
                               folder.File(written) + "\"\r\n";  // the folder's path is ASCII
        std::string firstLines = "@setlocal EnableExtensions DisableDelayedExpansion\r\n" +
                                 std::string(c.utf8 ? "chcp 65001 >nul\r\n" : "") + copyLine;
        std::string script = folder.Read("restore_backup.bat");
        EXPECT_EQ(script.substr(0, firstLines.size()), firstLines);
        EXPECT_EQ(script.find('?'), std::string::npos) << script;
    }
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
    ScratchFolder folder;
    folder.Write("page.html", page);
    const size_t pageHash = std::hash<std::string>{}(page);
    std::string().swap(page);  // the 32-bit address space is the run's
    engine::RunOutcome outcome = RunOn(folder);
    if (outcome.error == engine::RunError::OutOfMemory) {
        EXPECT_EQ(std::hash<std::string>{}(folder.Read("page.html")), pageHash);
        EXPECT_FALSE(folder.Has("styles.css"));
    } else {
        ASSERT_EQ(outcome.error, engine::RunError::None);
        std::string rewritten = folder.Read("page.html");
        EXPECT_EQ(rewritten.find("style="), std::string::npos);
        EXPECT_NE(folder.Read("styles.css").find(".inlineClass5001\r\n"), std::string::npos);
    }
    EXPECT_TRUE(NoTemporaryLeft(folder));
}

}  // namespace
