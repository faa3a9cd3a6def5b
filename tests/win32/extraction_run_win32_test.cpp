// The run on a thread of its own: while a 200 MB page is converted the window keeps answering,
// shows the wait cursor and the progress up to 100 %, and lets no second run, language switch
// or closing cut in; the run ends with its report, as a short run does.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/page_generator.h"
#include "tests/win32/window_driver.h"
#include "ui/control_ids.h"
#include "version.h"

namespace ui {

namespace {

constexpr char kCaption[] = "stylewick v" STYLEWICK_VERSION " - by Tavrel";

// The percentage at the start of the caption, or -1 when it shows none.
int CaptionPercent(const std::string& caption) {
    size_t digits = caption.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos || caption.compare(digits, 4, "% - ") != 0)
        return -1;
    return std::atoi(caption.c_str());
}

// The report's box, once the run has ended; nullptr while it goes on.
HWND ReportBox(const RunningProgram& program) { return program.WaitForOwnedDialog(0); }

void DismissReport(RunningProgram& program, HWND box) {
    WaitUntil([&] { return GetForegroundWindow() == box; }, 3000);
    PressKey(VK_RETURN);
    ASSERT_TRUE(program.WaitForEnd(30000));
}

TEST(WindowRun, TwoHundredMegabytePageLeavesTheWindowAnsweringWithItsProgressUpTo100) {
    ScratchFolder folder;
    {
        PageShape shape;
        shape.sizeBytes = size_t{200} << 20;
        shape.styleAttributes = 200 * 6000;  // as a word processor writes them: 6,000 a MB
        shape.distinctStyles = 200 * 1500;
        folder.Write("page.html", GeneratePage(shape).text);
    }
    RunningProgram program({folder.File("page.html")});
    ClickWindow(program.Control(IDB_LAUNCH));

    DWORD slowest = 0;
    int answers = 0;
    std::vector<int> percents;  // as the caption showed them, in order
    bool checkedDuringTheRun = false;
    DWORD start = GetTickCount();
    HWND report = nullptr;
    while (!(report = ReportBox(program)) && GetTickCount() - start < 300000) {
        DWORD before = GetTickCount();
        DWORD_PTR result = 0;
        ASSERT_TRUE(
            SendMessageTimeoutW(program.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result));
        slowest = std::max(slowest, GetTickCount() - before);
        ++answers;
        int percent = CaptionPercent(WindowText(program.Window()));
        if (percent >= 0 && (percents.empty() || percents.back() != percent))
            percents.push_back(percent);

        if (!checkedDuringTheRun && percent >= 0 && !ReportBox(program)) {
            checkedDuringTheRun = true;
            // Nothing can start a second run or a switch, nor close the window, and the mouse
            // shows the wait cursor over it.
            for (int id : {IDB_BROWSE, IDB_LAUNCH, IDE_SHEET_NAME, IDX_CLEAN_UNUSED, IDI_LANGUAGE})
                EXPECT_FALSE(IsWindowEnabled(program.Control(id))) << id;
            SendMessageW(program.Control(IDT_HTML_INPUT), WM_SETCURSOR,
                         reinterpret_cast<WPARAM>(program.Control(IDT_HTML_INPUT)),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            CURSORINFO cursor{};
            cursor.cbSize = sizeof cursor;
            EXPECT_TRUE(WaitUntil(
                [&] {
                    return GetCursorInfo(&cursor) &&
                           cursor.hCursor == LoadCursor(nullptr, IDC_WAIT);
                },
                1000));
            PressKeyWith(VK_MENU, 'L');
            EXPECT_EQ(program.WaitForMenu(300), nullptr) << "the language menu opened";
            // Closing asks first; No lets the run go on.
            PostMessageW(program.Window(), WM_CLOSE, 0, 0);
            HWND question = program.WaitForOwnedDialog();
            ASSERT_NE(question, nullptr);
            EXPECT_EQ(RunningProgram::MessageText(question).rfind("Stop the conversion of", 0), 0u);
            ClickWindow(GetDlgItem(question, IDNO));
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
            EXPECT_TRUE(IsWindow(program.Window()));
        }
        Sleep(50);
    }
    ASSERT_NE(report, nullptr) << "no report after five minutes";
    std::printf("[          ] %d answers during the run, the slowest in %lu ms; %zu figures\n",
                answers, static_cast<unsigned long>(slowest), percents.size());

    // Every poll was answered (each within SendMessageTimeout's limit): the window never stopped
    // answering. How fast is the machine's business, not the test's.
    EXPECT_TRUE(checkedDuringTheRun);
    EXPECT_GE(answers, 20);
    EXPECT_GE(percents.size(), 5u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(WindowText(program.Window()), std::string("100% - ") + kCaption);
    EXPECT_EQ(RunningProgram::MessageText(report).rfind("External CSS \"styles.css\" correctly", 0),
              0u);
    DismissReport(program, report);
    EXPECT_TRUE(folder.Has("styles.css"));
    EXPECT_TRUE(folder.Has("page.backup.html"));
}

TEST(WindowRun, AShortRunShowsNoProgress) {
    ScratchFolder folder;
    folder.Write("page.html", "<html><body><p style=\"margin:0\">x</p></body></html>");
    RunningProgram program({folder.File("page.html")});
    ClickWindow(program.Control(IDB_LAUNCH));
    HWND report = program.WaitForOwnedDialog();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(WindowText(program.Window()), kCaption);
    DismissReport(program, report);
}

}  // namespace

}  // namespace ui
