// Pages under any name and in any folder Windows can open: Unicode names, long paths, relative
// paths, through stylewick-cli.exe and through the window (typed in the file dialog, given on
// stylewick.exe's command line, dropped on the window).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/run_paths.h"
#include "platform/utf16.h"
#include "tests/win32/window_driver.h"
#include "ui/control_ids.h"

namespace ui {

namespace {

constexpr char kPage[] =
    "<html lang=en><head><style>\r\np.Note {color:#060}\r\n.Unused {color:red}\r\n</style></head>"
    "\r\n<body><p class=Note style=\"margin-left:2em\">Orchard</p>\r\n"
    "<p style='font-weight:bold'>Rows</p></body></html>\r\n";
constexpr char kGreekFolder[] = "δοκιμή";
constexpr char kUnicodePage[] = "Ωμέγα 文件 😀.htm";
constexpr size_t kLongFolderLength = 300;  // characters of the folder's absolute path

constexpr char kEnglishReport[] =
    "External CSS \"styles.css\" correctly produced !\r\n"
    "It has also been cleaned of unused styles\r\n\r\n"
    "A backup of the original HTML file was created\r\n\r\nTotal time: ";

// Where a page lies: its folder under the test folder and its name; the command line names it
// by its absolute path, or by its name from its own folder.
struct PathShape {
    const char* label;
    std::string folder;  // ends in "\"
    std::string name;
    bool relative;
    bool utf8Script;  // a path that the OEM code page cannot write: the script is UTF-8
};

// A folder name under `root` that makes the folder's absolute path `length` characters long,
// in parts of at most 101 characters (the file system's limit for one name is 255).
std::string LongFolderName(const std::string& root, size_t length) {
    size_t left = length - platform::Utf16(root).size();
    std::string folder;
    for (char part = 'a'; left > 101; ++part, left -= 101) folder += std::string(100, part) + '\\';
    return folder + std::string(left, 'z') + '\\';
}

std::vector<PathShape> Shapes(const ScratchFolder& root) {
    return {
        {"ASCII", "plain\\", "page.htm", false, false},
        {"Greek folder, page in Greek, Chinese and an emoji", std::string(kGreekFolder) + "\\",
         kUnicodePage, false, true},
        {"the same from its own folder", std::string(kGreekFolder) + "\\σχετική\\", kUnicodePage,
         true, true},
        {"accents, spaces, percent signs", "café au lait\\", "crème 100%.html", false, false},
        {"folder path of 300 characters", LongFolderName(root.File(""), kLongFolderLength),
         "page.htm", false, false},
    };
}

// The four files a run leaves beside the page.
struct Outputs {
    std::string page, backup, sheet, script;
};

Outputs ReadOutputs(const ScratchFolder& root, const PathShape& shape) {
    return {root.Read(shape.folder + shape.name),
            root.Read(engine::BackupPath(shape.folder + shape.name)),
            root.Read(shape.folder + "styles.css"), root.Read(shape.folder + "restore_backup.bat")};
}

// The restore script of a run on `page` in `folder`, as the bytes cmd reads: in the OEM code
// page, or in UTF-8 after "chcp 65001" (which Wine's cmd refuses: checked here by its bytes).
// A path of MAX_PATH characters or more, which cmd cannot open, is named by its folder's short
// name.
std::string ExpectedScript(const std::string& folder, const std::string& page, bool utf8) {
    auto quoted = [&](const std::string& name) {
        std::string path = platform::Utf16(folder + name).size() < MAX_PATH
                               ? folder + name
                               : ShortPath(folder) + name;
        std::string text = "\"";
        for (char c : path) text += c == '%' ? std::string("%%") : std::string(1, c);
        return text + "\"";
    };
    std::string backup = quoted(engine::BackupPath(page));
    std::string text =
        "copy /b /y " + backup + " " + quoted(page) + "\r\n" + "if not errorlevel 1 del " + backup +
        "\r\n" + "if not errorlevel 1 del " + quoted("styles.css") + "\r\n" +
        "if errorlevel 1 set stylewick_failed=1\r\n" + "if not defined stylewick_failed del " +
        quoted("restore_backup.bat") + "\r\n";
    const std::string guard = "@setlocal EnableExtensions DisableDelayedExpansion\r\n";
    if (utf8) return guard + "chcp 65001 >nul\r\n" + text;
    std::wstring wide = platform::Utf16(text);
    std::string oem(wide.size(), '\0');  // one byte a character in the OEM code pages used
    oem.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), oem.data(),
                            static_cast<int>(oem.size()), nullptr, nullptr)));
    return guard + oem;
}

class PagePathsTest : public testing::Test {
protected:
    ScratchFolder root;
    std::vector<PathShape> shapes = Shapes(root);
    // The long folder's first part, with all below it.
    ~PagePathsTest() override {
        RemoveFolder(root.File(shapes[4].folder.substr(0, shapes[4].folder.find('\\'))));
    }

    // Writes the page of `shape` and returns its full path.
    std::string Place(const PathShape& shape) {
        root.Subfolder(shape.folder);
        root.Write(shape.folder + shape.name, kPage);
        return root.File(shape.folder + shape.name);
    }
    // What the ASCII page gives, as the other shapes must give it.
    void ExpectSameAsAscii(const PathShape& shape) {
        Outputs ascii = ReadOutputs(root, shapes[0]);
        Outputs got = ReadOutputs(root, shape);
        EXPECT_NE(got.page, kPage);
        EXPECT_EQ(got.page, ascii.page);
        EXPECT_EQ(got.backup, kPage);
        EXPECT_EQ(got.sheet, ascii.sheet);
        EXPECT_EQ(got.script,
                  ExpectedScript(root.File(shape.folder), shape.name, shape.utf8Script));
    }
    void ConvertAsciiWithTheCli() { ASSERT_EQ(RunCli("\"" + Place(shapes[0]) + "\"").exitCode, 0); }
};

TEST_F(PagePathsTest, EveryShapeConvertsThroughTheCliAsTheAsciiPageDoes) {
    for (const PathShape& shape : shapes) {
        SCOPED_TRACE(shape.label);
        std::string path = Place(shape);
        CliResult result = shape.relative
                               ? RunCli("\"" + shape.name + "\"", root.File(shape.folder))
                               : RunCli("\"" + path + "\"");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out.rfind(kEnglishReport, 0), 0u) << result.out;
        ExpectSameAsAscii(shape);
    }
}

TEST_F(PagePathsTest, UnicodeSheetNameIsReportedAndLinkedPercentEncoded) {
    std::string path = Place(shapes[1]);
    CliResult result = RunCli("--sheet \"Ωμέγα.css\" \"" + path + "\"");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("External CSS \"Ωμέγα.css\" correctly produced !\r\n", 0), 0u)
        << result.out;
    EXPECT_TRUE(root.Has(shapes[1].folder + "Ωμέγα.css"));
    EXPECT_NE(root.Read(shapes[1].folder + shapes[1].name)
                  .find("href=\"%CE%A9%CE%BC%CE%AD%CE%B3%CE%B1.css\""),
              std::string::npos);
}

// A folder named like a page is a folder of pages: one without any is named in the message.
TEST_F(PagePathsTest, FolderWithoutPagesIsNamedInTheMessageAndNothingIsWritten) {
    root.Subfolder(std::string(kGreekFolder) + "\\" + kUnicodePage);
    std::string folder = root.File(std::string(kGreekFolder) + "\\" + kUnicodePage);
    CliResult english = RunCli("\"" + folder + "\"");
    EXPECT_EQ(english.exitCode, 2);
    EXPECT_EQ(english.err,
              "Error! The folder \"" + folder + "\" holds no web page (*.htm, *.html).\r\n");
    CliResult french = RunCli("--lang FR \"" + folder + "\"");
    EXPECT_EQ(french.err, "Erreur! Le dossier \"" + folder +
                              "\" ne contient aucune page web (*.htm, *.html).\r\n");
    EXPECT_FALSE(root.Has(std::string(kGreekFolder) + "\\restore_backup.bat"));
}

// The window: the report, then the same files as the ASCII page through the CLI.
class PagePathsInTheWindowTest : public PagePathsTest {
protected:
    // Checks what the window shows for the chosen page, launches, reads the report.
    void LaunchOn(RunningProgram& program, const std::string& path) {
        ASSERT_EQ(program.ControlText(IDE_PAGE_PATH), path);
        EXPECT_EQ(ToolTexts(program.Window(), program.Control(IDE_PAGE_PATH)),
                  std::vector<std::string>{path});
        ClickWindow(program.Control(IDB_LAUNCH));
        HWND box = program.WaitForOwnedDialog();
        ASSERT_NE(box, nullptr);
        std::string report = RunningProgram::MessageText(box);
        EXPECT_EQ(report.rfind("External CSS \"styles.css\" correctly produced !\r", 0), 0u)
            << report;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(program.WaitForEnd());
    }
};

TEST_F(PagePathsInTheWindowTest, UnicodePageTypedInTheFileDialog) {
    ConvertAsciiWithTheCli();
    std::string path = Place(shapes[1]);
    RunningProgram program;
    program.BrowseTo(path);
    LaunchOn(program, path);
    ExpectSameAsAscii(shapes[1]);
}

TEST_F(PagePathsInTheWindowTest, DropChoosesItsOnePageAmongOtherFilesAndFolders) {
    ConvertAsciiWithTheCli();
    std::string path = Place(shapes[1]);
    root.Write("notes.txt", "not a page");
    root.Write("other.html", kPage);
    RunningProgram program;
    // The shell drops files only on a window that says it takes them.
    EXPECT_TRUE(GetWindowLongW(program.Window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    program.Drop({root.File(kGreekFolder), root.File("notes.txt"), path});
    ASSERT_TRUE(WaitUntil([&] { return program.ControlText(IDE_PAGE_PATH) == path; }, 3000));
    LaunchOn(program, path);
    ExpectSameAsAscii(shapes[1]);
    EXPECT_EQ(root.Read("other.html"), kPage);
}

TEST_F(PagePathsInTheWindowTest, PageInALongFolderDropped) {
    ConvertAsciiWithTheCli();
    const PathShape& shape = shapes[4];
    std::string path = Place(shape);
    ASSERT_EQ(platform::Utf16(root.File(shape.folder)).size(), kLongFolderLength + 1);
    RunningProgram program;
    program.Drop({path});
    ASSERT_TRUE(WaitUntil([&] { return program.ControlText(IDE_PAGE_PATH) == path; }, 3000));
    LaunchOn(program, path);
    ExpectSameAsAscii(shape);
}

TEST_F(PagePathsInTheWindowTest, FolderInPlaceOfTheChosenPageIsNamedInTheMessage) {
    std::string path = Place(shapes[1]);
    RunningProgram program;
    program.Drop({path});
    ASSERT_TRUE(WaitUntil([&] { return program.ControlText(IDE_PAGE_PATH) == path; }, 3000));
    DeleteFileW(LongPath(path).c_str());
    CreateDirectoryW(LongPath(path).c_str(), nullptr);
    ClickWindow(program.Control(IDB_LAUNCH));
    HWND box = program.WaitForOwnedDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(RunningProgram::MessageText(box), "Error! \"" + path + "\" is a folder, not a page.");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    // The window comes back, ready for another page.
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(program.Control(IDB_BROWSE)); }));
    EXPECT_FALSE(program.WaitForEnd(0));
    EXPECT_FALSE(root.Has(std::string(kGreekFolder) + "\\restore_backup.bat"));
}

// A control's text in another process: GetWindowText does not ask the control for it.
std::string TextIn(HWND control) {
    std::wstring text(4096, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return platform::Utf8(text);
}

// What stylewick.exe shows when started as the shell starts it for "Open with", Send To or a
// page dropped on its icon (its own process, the page on its command line) and launched.
struct WindowProgramRun {
    std::string field, message;
    DWORD exitCode = STILL_ACTIVE;
};

WindowProgramRun RunWindowProgram(const std::string& arguments) {
    WindowProgramRun run;
    std::wstring command = platform::Utf16("\"" + ProgramPath("stylewick.exe") + "\" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return run;
    // The main window has no owner; the message box holds a text of id 0xFFFF.
    auto shown = [&](HWND owner, int childId) {
        HWND found = nullptr;
        WaitUntil([&] {
            found = ThreadWindows::Find(process.dwThreadId, [&](HWND w) {
                return IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner &&
                       GetDlgItem(w, childId) && !TextIn(GetDlgItem(w, childId)).empty();
            });
            return found != nullptr;
        });
        return found;
    };
    // The output name field gets its text last: the window is then ready.
    if (HWND window = shown(nullptr, IDE_SHEET_NAME)) {
        run.field = TextIn(GetDlgItem(window, IDE_PAGE_PATH));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDB_LAUNCH, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDB_LAUNCH)));
        if (HWND box = shown(window, 0xFFFF)) {
            run.message = TextIn(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &run.exitCode);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

TEST_F(PagePathsInTheWindowTest, PagesGivenOnTheProgramsCommandLine) {
    ConvertAsciiWithTheCli();
    for (const PathShape& shape : {shapes[1], shapes[4]}) {
        SCOPED_TRACE(shape.label);
        std::string path = Place(shape);
        WindowProgramRun run = RunWindowProgram("\"" + path + "\"");
        EXPECT_EQ(run.field, path);
        EXPECT_EQ(run.message.rfind("External CSS \"styles.css\" correctly produced !\r", 0), 0u)
            << run.message;
        EXPECT_EQ(run.exitCode, 0u);
        ExpectSameAsAscii(shape);
    }
}

}  // namespace

}  // namespace ui
