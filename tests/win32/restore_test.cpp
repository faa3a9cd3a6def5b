// restore_backup.bat run by the command interpreter, as a double-click or a console runs it,
// after conversions of several pages of one folder: every page comes back byte for byte and
// no backup, sheet or script is left, whether it runs from the page folder or from another
// folder, which it leaves alone. scripts/wine-tests runs these tests once with Wine's default
// locale (OEM code page 437) and once with a French one (OEM code page 850).
#include <windows.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/extraction_run.h"
#include "platform/utf16.h"
#include "tests/win32/window_driver.h"

namespace {

constexpr char kPage[] =
    "<html><head><style>\r\np.Note {color:red}\r\n</style></head>\r\n"
    "<body lang=fr><p class=Note style=\"margin:0\">x</p><p style=\"color:blue\">%s</p></body>"
    "</html>\r\n";

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> FilesOf(const ScratchFolder& folder) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(LongPath(folder.File("*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        std::string name = Utf8(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files[name] = folder.Read(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

// Runs "cmd /c `command`" in `workingFolder` and waits for it; false when it did not end.
bool RunCommand(const std::string& command, const std::string& workingFolder) {
    std::string line = "cmd.exe /c " + command;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        workingFolder.c_str(), &startup, &process))
        return false;
    bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

// A name (UTF-8, as the program holds it) in another code page.
std::string Encoded(const std::string& name, UINT codePage) {
    wchar_t wide[MAX_PATH] = {};
    int length =
        MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), wide, MAX_PATH);
    char bytes[4 * MAX_PATH] = {};
    length = WideCharToMultiByte(codePage, 0, wide, length, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes, static_cast<size_t>(length));
}

std::string Replaced(std::string name, const char* extension) {
    return name.substr(0, name.rfind('.')) + extension;
}

struct PageNames {
    const char* label;
    std::vector<std::string> pages;  // converted in this order
    bool oemScript;                  // every path can be written in the OEM code page
    const char* convertedAgain;      // a page edited by hand and converted again, or nullptr
};

class RestoreScriptTest : public testing::TestWithParam<PageNames> {};

TEST_P(RestoreScriptTest, EveryPageComesBackFromAnyWorkingFolder) {
    if (ExpectedOemCodePage() != 0) {
        ASSERT_EQ(GetOEMCP(), ExpectedOemCodePage());
    }
    const PageNames& c = GetParam();
    for (bool fromPageFolder : {true, false}) {
        SCOPED_TRACE(fromPageFolder ? "run from the page folder" : "run from another folder");
        ScratchFolder folder;
        ScratchFolder elsewhere;
        std::map<std::string, std::string> originals;
        folder.Write("prix1.backup.htm", "a sibling that no wildcard may take");
        for (const std::string& name : c.pages) {
            char page[512];
            std::snprintf(page, sizeof page, kPage, name.c_str());
            originals[name] = page;
            folder.Write(name, page);
            RunRequest request;
            request.pagePath = folder.File(name);
            request.sheetName = Replaced(name, ".css");
            ASSERT_EQ(RunExtraction(request).error, RunError::None) << name;
            // The working folder's own files of the same names must stay.
            elsewhere.Write(Replaced(name, ".backup.htm"), "another folder's file");
            elsewhere.Write(Replaced(name, ".css"), "another folder's file");
        }
        if (c.convertedAgain) {
            // The second conversion keeps the first backup; restoring deletes both sheets.
            std::string edited = folder.Read(c.convertedAgain) + "<p style=\"color:green\">y</p>";
            folder.Write(c.convertedAgain, edited);
            RunRequest request;
            request.pagePath = folder.File(c.convertedAgain);
            request.sheetName = "again.css";
            ASSERT_EQ(RunExtraction(request).error, RunError::None);
        }
        elsewhere.Write("restore_backup.bat", "@echo another folder's script\r\n");
        const auto converted = FilesOf(folder);
        const auto elsewhereBefore = FilesOf(elsewhere);
        // Every page's lines are in the script, the earlier ones converted when it changed
        // to UTF-8, each name written exactly.
        const std::string& script = converted.at("restore_backup.bat");
        ASSERT_EQ(script.rfind("chcp 65001 >nul\r\n", 0) != 0, c.oemScript);
        for (const std::string& name : c.pages) {
            std::string written;
            for (char b : Encoded(folder.File(name), c.oemScript ? CP_OEMCP : CP_UTF8))
                written += b == '%' ? std::string("%%") : std::string(1, b);
            EXPECT_NE(script.find("\" \"" + written + "\"\r\n"), std::string::npos) << name;
        }

        if (fromPageFolder)
            ASSERT_TRUE(RunCommand("restore_backup.bat", folder.File("")));
        else
            ASSERT_TRUE(
                RunCommand("\"" + folder.File("restore_backup.bat") + "\"", elsewhere.File("")));

        EXPECT_TRUE(FilesOf(elsewhere) == elsewhereBefore);
        auto restored = originals;
        restored["prix1.backup.htm"] = "a sibling that no wildcard may take";
        auto after = FilesOf(folder);
        if (c.oemScript || after == restored) {
            EXPECT_TRUE(after == restored) << "not every page came back";
            continue;
        }
        // Wine 8's cmd refuses "chcp 65001" and misreads the UTF-8 paths: no copy can succeed,
        // so nothing may be deleted either. (The script deletes itself by an ASCII path.)
        auto kept = converted;
        kept.erase("restore_backup.bat");
        after.erase("restore_backup.bat");
        EXPECT_TRUE(after == kept) << "the script lost a file it did not restore";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, RestoreScriptTest,
    testing::Values(PageNames{"AccentSpaceAndPercent",
                              {"café.htm", "deux mots.htm", "100%.htm"},
                              true,
                              "deux mots.htm"},
                    PageNames{"OutsideTheOemCodePage",
                              {"café.htm", "prix€.htm", "l’été.htm", "cœur.htm"},
                              false,
                              nullptr}),
    [](const testing::TestParamInfo<PageNames>& info) { return std::string(info.param.label); });

}  // namespace
