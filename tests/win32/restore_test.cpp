// restore_backup.bat run by the command interpreter, as a double-click or a console runs it,
// after conversions of several pages of one folder: every page comes back byte for byte and
// no backup, sheet or script is left, whether it runs from the page folder or from another
// folder, which it leaves alone, and whether cmd reads "!" for delayed expansion or not. Pages
// named by a "\\?\" path or by paths over MAX_PATH come back too; a page whose path cmd can
// open in no form stays converted, named in the script, which stays. scripts/wine-tests runs
// these tests once with Wine's default locale (OEM code page 437) and once with a French one
// (OEM code page 850).
#include <windows.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/extraction_run.h"
#include "engine/restore_script.h"
#include "engine/run_paths.h"
#include "platform/batch_paths.h"
#include "platform/utf16.h"
#include "tests/win32/window_driver.h"

namespace ui {

namespace {

constexpr char kPage[] =
    "<html><head><style>\r\np.Note {color:red}\r\n</style></head>\r\n"
    "<body lang=fr><p class=Note style=\"margin:0\">x</p><p style=\"color:blue\">%s</p></body>"
    "</html>\r\n";

// Files beside the pages that a misread name could take: a!b!.htm read with delayed
// expansion is a.htm.
const std::map<std::string, std::string> kBystanders = {
    {"prix1.backup.htm", "a sibling that no wildcard may take"},
    {"a.htm", "a page of its own"},
    {"a.backup.htm", "a backup of its own"},
    {"a.css", "a sheet of its own"},
};

// Every file of a folder (`subfolder` of the scratch folder) by name, with its bytes.
std::map<std::string, std::string> FilesOf(const ScratchFolder& folder,
                                           const std::string& subfolder = "") {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(LongPath(folder.File(subfolder + "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        std::string name = platform::Utf8(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[name] = folder.Read(subfolder + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

// Runs "cmd `switches` /c `command`" in `workingFolder` and waits for it; false when it did
// not end.
bool RunCommand(const std::string& command, const std::string& workingFolder,
                const std::string& switches = "") {
    std::string line = "cmd.exe " + switches + " /c " + command;
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
    bool inOneRun = false;           // the pages are converted in one run, sharing their sheets
};

class RestoreScriptTest : public testing::TestWithParam<PageNames> {};

TEST_P(RestoreScriptTest, EveryPageComesBackFromAnyWorkingFolder) {
    if (ExpectedOemCodePage() != 0) {
        ASSERT_EQ(GetOEMCP(), ExpectedOemCodePage());
    }
    const PageNames& c = GetParam();
    for (bool fromPageFolder : {true, false}) {
        // Delayed expansion on, as "cmd /V:ON" or the registry's DelayedExpansion value set it.
        const char* switches = fromPageFolder ? "/V:ON" : "/V:OFF";
        SCOPED_TRACE(fromPageFolder ? "run from the page folder, delayed expansion on"
                                    : "run from another folder, delayed expansion off");
        ScratchFolder folder;
        ScratchFolder elsewhere;
        std::map<std::string, std::string> originals;
        for (const auto& [name, bytes] : kBystanders) folder.Write(name, bytes);
        engine::RunRequest oneRun;
        for (const std::string& name : c.pages) {
            char page[512];
            std::snprintf(page, sizeof page, kPage, name.c_str());
            originals[name] = page;
            folder.Write(name, page);
            elsewhere.Write(Replaced(name, ".backup.htm"), "another folder's file");
            if (c.inOneRun) {
                oneRun.pagePaths.push_back(folder.File(name));
                continue;
            }
            engine::RunRequest request;
            request.pagePath = folder.File(name);
            request.sheetName = Replaced(name, ".css");
            ASSERT_EQ(engine::RunExtraction(request).error, engine::RunError::None) << name;
            // The working folder's own files of the same names must stay.
            elsewhere.Write(Replaced(name, ".css"), "another folder's file");
        }
        if (c.inOneRun) {
            ASSERT_EQ(engine::RunExtraction(oneRun).error, engine::RunError::None);
            ASSERT_TRUE(folder.Has("styles.css") && folder.Has("styles.café.css"));
            elsewhere.Write("styles.css", "another folder's file");
        }
        if (c.convertedAgain) {
            // The second conversion keeps the first backup; restoring deletes both sheets.
            std::string edited = folder.Read(c.convertedAgain) + "<p style=\"color:green\">y</p>";
            folder.Write(c.convertedAgain, edited);
            engine::RunRequest request;
            request.pagePath = folder.File(c.convertedAgain);
            request.sheetName = "again.css";
            ASSERT_EQ(engine::RunExtraction(request).error, engine::RunError::None);
        }
        elsewhere.Write("restore_backup.bat", "@echo another folder's script\r\n");
        const auto converted = FilesOf(folder);
        const auto elsewhereBefore = FilesOf(elsewhere);
        // Every page's lines are in the script, the earlier ones converted when it changed
        // to UTF-8, each name written exactly.
        const std::string& script = converted.at("restore_backup.bat");
        const std::string utf8Start =
            "@setlocal EnableExtensions DisableDelayedExpansion\r\nchcp 65001 >nul\r\n";
        ASSERT_EQ(script.rfind(utf8Start, 0) != 0, c.oemScript);
        for (const std::string& name : c.pages) {
            std::string written;
            for (char b : Encoded(folder.File(name), c.oemScript ? CP_OEMCP : CP_UTF8))
                written += b == '%' ? std::string("%%") : std::string(1, b);
            EXPECT_NE(script.find("\" \"" + written + "\"\r\n"), std::string::npos) << name;
        }

        if (fromPageFolder)
            ASSERT_TRUE(RunCommand("restore_backup.bat", folder.File(""), switches));
        else
            ASSERT_TRUE(RunCommand("\"" + folder.File("restore_backup.bat") + "\"",
                                   elsewhere.File(""), switches));

        EXPECT_TRUE(FilesOf(elsewhere) == elsewhereBefore);
        auto restored = originals;
        restored.insert(kBystanders.begin(), kBystanders.end());
        auto after = FilesOf(folder);
        if (c.oemScript || after == restored) {
            EXPECT_TRUE(after == restored) << "not every page came back";
            continue;
        }
        // Wine 8's cmd refuses "chcp 65001" and misreads the UTF-8 paths: no copy can succeed,
        // so nothing may be deleted, and the script, which deletes itself by an ASCII path, must
        // stay to be run again. (Windows reads them: the branch above.)
        EXPECT_TRUE(after == converted) << "the script lost a file it did not restore";
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
                              nullptr},
                    PageNames{"ExclamationMarks", {"a!b!.htm", "c!PATH!.htm"}, true, "a!b!.htm"},
                    // The shared sheets go once every page is back.
                    PageNames{"OneRunOverSeveralPages",
                              {"café.htm", "deux mots.htm", "100%.htm", "a!b!.htm"},
                              true,
                              nullptr,
                              true}),
    [](const testing::TestParamInfo<PageNames>& info) { return std::string(info.param.label); });

// A folder under `root` (ending in "\\") whose absolute path is `length` characters long, in
// names of at most 100 characters.
std::string LongFolderUnder(const ScratchFolder& root, size_t length) {
    size_t left = length - root.File("").size();
    std::string folder;
    for (char part = 'a'; left > 101; ++part, left -= 101) folder += std::string(100, part) + '\\';
    return folder + std::string(left - 1, 'z') + '\\';
}

std::string NameOfLength(size_t length) { return std::string(length - 4, 'p') + ".htm"; }

// cmd opens paths of fewer than MAX_PATH characters; a longer one is written with its folder by
// its short name, and read back as it was.
TEST(RestoreScriptPaths, EveryPathIsWrittenInAFormCmdOpens) {
    ScratchFolder root;
    const std::string longFolder = LongFolderUnder(root, 300);
    root.Subfolder(longFolder);
    const std::string rootShort = ShortPath(root.File(""));
    const std::string longShort = ShortPath(root.File(longFolder));
    // Wine gives every folder a short name; Windows only where the volume makes them.
    ASSERT_NE(rootShort.find('~'), std::string::npos);
    ASSERT_LT(longShort.size() + 20, size_t{MAX_PATH});
    const size_t rootLength = root.File("").size();
    const std::string at259 = NameOfLength(259 - rootLength);
    const std::string at260 = NameOfLength(260 - rootLength);
    // Too long even with the folder's short name.
    const std::string beyondShort = NameOfLength(260 - rootShort.size());
    const struct Case {
        const char* label;
        std::string path;
        std::string written;  // empty: no form
    } cases[] = {
        {"a short path", root.File("page.htm"), root.File("page.htm")},
        {"259 characters", root.File(at259), root.File(at259)},
        {"260 characters", root.File(at260), rootShort + at260},
        {"a folder of 300 characters", root.File(longFolder + "page.htm"), longShort + "page.htm"},
        {"a short prefixed path", "\\\\?\\" + root.File("page.htm"),
         "\\\\?\\" + root.File("page.htm")},
        {"a long prefixed path", "\\\\?\\" + root.File(longFolder + "page.htm"),
         "\\\\?\\" + longShort + "page.htm"},
        {"a folder that is not there", root.File(longFolder + "gone\\page.htm"), ""},
        {"too long with short names", root.File(beyondShort), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::string written;
        ASSERT_EQ(platform::BatchPath(c.path, written), !c.written.empty());
        if (c.written.empty()) continue;
        EXPECT_EQ(written, c.written);
        EXPECT_EQ(platform::PathOfBatchPath(written), c.path);
    }
    // A short name that the page's path itself holds is kept as it is.
    EXPECT_EQ(platform::PathOfBatchPath(rootShort + "page.htm"), rootShort + "page.htm");
    RemoveFolder(root.File(longFolder.substr(0, longFolder.find('\\'))));
}

// A "\\?\" page path (copied in text mode, the page would get a 0x1A byte at its end), a page
// name that makes its path 300 characters long, and a folder of 300 characters, whose script cmd
// starts by its short name only.
TEST(RestoreScriptPaths, PagesOverMaxPathComeBack) {
    ScratchFolder root;
    const struct Case {
        const char* label;
        std::string folder;  // under the scratch folder, ending in "\\"
        std::string page;
        bool prefixed;
    } cases[] = {
        {"a \\\\?\\ page path", "prefixed\\", "page.htm", true},
        {"a long page name", std::string(60, 'n') + "\\",
         NameOfLength(300 - root.File(std::string(61, 'n')).size()), false},
        {"a long folder", LongFolderUnder(root, 300), "page.htm", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        root.Subfolder(c.folder);
        char page[512];
        std::snprintf(page, sizeof page, kPage, c.label);
        root.Write(c.folder + c.page, page);
        engine::RunRequest request;
        request.pagePath = (c.prefixed ? "\\\\?\\" : "") + root.File(c.folder + c.page);
        ASSERT_EQ(engine::RunExtraction(request).error, engine::RunError::None);
        ASSERT_EQ(FilesOf(root, c.folder).size(), 4u);
        std::string script = root.File(c.folder + engine::kRestoreScriptName);
        if (platform::Utf16(script).size() >= MAX_PATH) script = ShortPath(script);
        ASSERT_TRUE(RunCommand("\"" + script + "\"", root.File("")));
        auto after = FilesOf(root, c.folder);
        EXPECT_EQ(after.size(), 1u) << "a backup, sheet or script is left";
        EXPECT_EQ(after[c.page], page);
    }
    RemoveFolder(root.File(std::string(cases[2].folder, 0, cases[2].folder.find('\\'))));
}

// A page whose backup's path is too long even with its folder's short name: the script cannot
// restore it. Its lines are there commented out, with the real paths, and the script stays after
// restoring the other page; RestoreScriptBytes tells which page the script does not restore.
TEST(RestoreScriptPaths, PageWithoutAFormCmdOpensIsNamedAndKept) {
    ScratchFolder folder;
    const std::string longPage = NameOfLength(260 - ShortPath(folder.File("")).size() - 7);
    ASSERT_GE(folder.File(longPage).size() + 7, size_t{MAX_PATH});
    std::map<std::string, std::string> originals;
    for (const std::string& name : {std::string("short.htm"), longPage}) {
        char page[512];
        std::snprintf(page, sizeof page, kPage, name.substr(0, 40).c_str());
        originals[name] = page;
        folder.Write(name, page);
        engine::RunRequest request;
        request.pagePath = folder.File(name);
        request.sheetName = name.substr(0, 5) + ".css";
        ASSERT_EQ(engine::RunExtraction(request).error, engine::RunError::None);
    }
    const std::string backup = engine::BackupPath(folder.File(longPage));
    const std::string script = folder.Read(engine::kRestoreScriptName);
    EXPECT_NE(script.find("rem copy /b /y \"" + backup + "\" \"" + folder.File(longPage) +
                          "\"\r\nrem if not errorlevel 1 del \"" + backup + "\"\r\n"),
              std::string::npos)
        << script;
    std::vector<engine::Conversion> conversions;
    ASSERT_TRUE(engine::ReadRestoreScript(script, conversions));
    std::string bytes;
    std::vector<std::string> unrestorable;
    ASSERT_TRUE(engine::RestoreScriptBytes(conversions, folder.File(engine::kRestoreScriptName),
                                           bytes, &unrestorable));
    EXPECT_EQ(bytes, script);
    EXPECT_EQ(unrestorable, std::vector<std::string>{folder.File(longPage)});

    auto converted = FilesOf(folder);
    ASSERT_TRUE(RunCommand(engine::kRestoreScriptName, folder.File("")));
    auto after = FilesOf(folder);
    EXPECT_EQ(after["short.htm"], originals["short.htm"]);
    EXPECT_EQ(after.count("short.backup.htm") + after.count("short.css"), 0u);
    for (const std::string& kept :
         {longPage, engine::BackupPath(longPage), longPage.substr(0, 5) + ".css",
          std::string(engine::kRestoreScriptName)})
        EXPECT_EQ(after[kept], converted[kept]) << kept;
}

}  // namespace

}  // namespace ui
