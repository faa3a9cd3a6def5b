// The whole job from the window: browse through the real file-open dialog, launch, read the
// report or the error, and compare the files with those of stylewick-cli.exe.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/utf16.h"
#include "tests/win32/window_driver.h"
#include "ui/control_ids.h"
#include "ui/ui_state.h"
#include "version.h"

namespace ui {

namespace {

constexpr char kCorpusPage[] = "word2000-small.html";
const char* const kOutputs[] = {"page.html", "page.backup.html", "restore_backup.bat",
                                "styles.css"};

class CommandsTest : public testing::Test {
protected:
    ScratchFolder folder;
    RunningProgram program;

    // Waits for the message box owned by the main window, reads it and presses Enter.
    std::string DismissMessage(HICON* icon = nullptr) {
        HWND box = program.WaitForOwnedDialog();
        if (!box) return "<no message box>";
        WaitUntil([&] { return GetForegroundWindow() == box; }, 3000);
        std::string text = RunningProgram::MessageText(box);
        if (icon) *icon = RunningProgram::MessageIcon(box);
        EXPECT_EQ(WindowText(box), "stylewick");
        EXPECT_FALSE(IsWindowEnabled(program.Window()));  // modal
        PressKey(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
        return text;
    }
    void Launch() { ClickWindow(program.Control(IDB_LAUNCH)); }
    void ClearSheetName() {
        ClickWindow(program.Control(IDE_SHEET_NAME));
        PressKey(VK_END);
        for (int i = 0; i < 12; ++i) PressKey(VK_BACK);
        ASSERT_TRUE(WaitUntil([&] { return program.ControlText(IDE_SHEET_NAME).empty(); }, 2000));
    }
    void Uncheck() {
        ClickWindow(program.Control(IDX_CLEAN_UNUSED));
        ASSERT_TRUE(WaitUntil([&] { return !program.Checked(IDX_CLEAN_UNUSED); }, 2000));
    }
    void ExpectProgramEnded() {
        ASSERT_TRUE(program.WaitForEnd());
        EXPECT_EQ(program.ExitCode(), 0u);
    }
    // A run that changed nothing gives the window back as it was, enabled, with the keyboard
    // on `focused`.
    void ExpectBackInTheWindow(int focused) {
        ASSERT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(focused); }));
        EXPECT_FALSE(program.WaitForEnd(0));
        for (int id : {IDB_BROWSE, IDB_LAUNCH, IDE_SHEET_NAME, IDX_CLEAN_UNUSED, IDI_LANGUAGE})
            EXPECT_TRUE(IsWindowEnabled(program.Control(id))) << id;
        EXPECT_EQ(WindowText(program.Window()).rfind("stylewick v", 0), 0u);
    }
};

// The report's text up to the time figure, then digits and "s".
void ExpectReport(const std::string& report, const std::string& beforeSeconds) {
    ASSERT_EQ(report.substr(0, beforeSeconds.size()), beforeSeconds);
    EXPECT_TRUE(std::regex_match(report.substr(beforeSeconds.size()), std::regex("[0-9]+s")))
        << report;
}

TEST_F(CommandsTest, LaunchBeforeBrowsingWarnsInBothLanguagesAndTheWindowStaysUsable) {
    Launch();
    HICON icon = nullptr;
    EXPECT_EQ(DismissMessage(&icon),
              "Please select a web page first\rthanks to the \"HTML input\" button \"...\"");
    EXPECT_EQ(icon, LoadIcon(nullptr, IDI_EXCLAMATION));

    program.ChooseLanguage(1);
    Launch();
    EXPECT_EQ(DismissMessage(),
              "Veuillez d'abord sélectionner une page web\rgrâce au bouton \"...\" de "
              "\"Fichier Html\"");
    EXPECT_FALSE(program.WaitForEnd(200));
    for (int id : {IDB_BROWSE, IDB_LAUNCH, IDE_SHEET_NAME, IDX_CLEAN_UNUSED})
        EXPECT_TRUE(IsWindowEnabled(program.Control(id))) << id;

    // A later browse and launch work.
    folder.Write("page.html",
                 "<html><head><style>p{color:red}</style></head><body><p>x</p></body></html>");
    program.BrowseTo(folder.File("page.html"));
    ASSERT_EQ(program.ControlText(IDE_PAGE_PATH), folder.File("page.html"));
    Launch();
    ExpectReport(DismissMessage(),
                 "Le CSS externe \"styles.css\" a été convenablement créé !\r"
                 "Il a été débarrassé des éléments de style jamais utilisés\r\r"
                 "Une sauvegarde du fichier Html d'origine a été produite\r\r"
                 "Temps écoulé : ");
    ExpectProgramEnded();
}

TEST_F(CommandsTest, BrowseShowsThePathWithItsTooltipAndCancelKeepsIt) {
    folder.Write("first.htm", "<html></html>");
    folder.Write("second.html", "<html></html>");
    program.BrowseTo(folder.File("first.htm"));
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), folder.File("first.htm"));
    EXPECT_EQ(TheUiState().pagePath, folder.File("first.htm"));

    program.BrowseTo(folder.File("second.html"));
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), folder.File("second.html"));
    // Scrolled to its end, so that a long path shows the file name: the caret after the last
    // character.
    DWORD start = 0, end = 0;
    SendMessageW(program.Control(IDE_PAGE_PATH), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, platform::Utf16(folder.File("second.html")).size());
    EXPECT_EQ(end, start);

    // The dialog's title and place; then cancelled with Escape.
    ClickWindow(program.Control(IDB_BROWSE));
    HWND dialog = program.WaitForOwnedDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), "Select main web page");
    RECT main{}, opened{};
    GetWindowRect(program.Window(), &main);
    EXPECT_TRUE(WaitUntil(
        [&] {
            GetWindowRect(dialog, &opened);
            return opened.left == main.left - 100 && opened.top == main.top - 100;
        },
        3000))
        << opened.left << "," << opened.top << " for " << main.left << "," << main.top;
    WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), folder.File("second.html"));
    EXPECT_EQ(TheUiState().pagePath, folder.File("second.html"));

    // The page path field has exactly one tool, holding the last chosen path.
    EXPECT_EQ(ToolTexts(program.Window(), program.Control(IDE_PAGE_PATH)),
              std::vector<std::string>{folder.File("second.html")});

    // French after choosing a page leaves the path in the field.
    program.ChooseLanguage(1);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), folder.File("second.html"));
}

TEST_F(CommandsTest, CorpusPageGivesTheSameFilesAsTheHeadlessProgram) {
    SKIP_WITHOUT_CORPUS();
    std::string page = CorpusPage(kCorpusPage);
    folder.Write("page.html", page);

    program.BrowseTo(folder.File("page.html"));
    Launch();
    EXPECT_FALSE(IsWindowEnabled(program.Control(IDB_BROWSE)));
    HICON icon = nullptr;
    ExpectReport(DismissMessage(&icon),
                 "External CSS \"styles.css\" correctly produced !\r"
                 "It has also been cleaned of unused styles\r\r"
                 "A backup of the original HTML file was created\r\r"
                 "Total time: ");
    EXPECT_EQ(icon, LoadIcon(nullptr, IDI_INFORMATION));
    ExpectProgramEnded();

    std::string fromWindow[4];
    for (int i = 0; i < 4; ++i) fromWindow[i] = folder.Read(kOutputs[i]);
    EXPECT_NE(fromWindow[0], page);
    EXPECT_EQ(fromWindow[1], page);

    for (const char* name : kOutputs) DeleteFileW(LongPath(folder.File(name)).c_str());
    folder.Write("page.html", page);
    ASSERT_EQ(RunCli("\"" + folder.File("page.html") + "\"").exitCode, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(folder.Read(kOutputs[i]) == fromWindow[i]) << kOutputs[i] << " differs";
}

TEST_F(CommandsTest, FrenchReportWithoutCleaningNamesTheTypedSheet) {
    folder.Write("page.html",
                 "<html><head><style>.a{color:red}</style></head>"
                 "<body><p style=\"margin:0\">x</p></body></html>");
    program.ChooseLanguage(1);
    program.BrowseTo(folder.File("page.html"));
    Uncheck();
    ClearSheetName();
    TypeText("out.css");
    Launch();
    ExpectReport(DismissMessage(),
                 "Le CSS externe \"out.css\" a été convenablement créé !\r\r"
                 "Une sauvegarde du fichier Html d'origine a été produite\r\r"
                 "Temps écoulé : ");
    ExpectProgramEnded();
    EXPECT_TRUE(folder.Has("out.css"));
    EXPECT_NE(folder.Read("out.css").find(".a"), std::string::npos);  // not cleaned
}

TEST_F(CommandsTest, EnglishReportWithoutCleaningHasNoCleaningLine) {
    folder.Write("page.html", "<html><body><p style=\"margin:0\">x</p></body></html>");
    program.BrowseTo(folder.File("page.html"));
    Uncheck();
    Launch();
    ExpectReport(DismissMessage(),
                 "External CSS \"styles.css\" correctly produced !\r\r"
                 "A backup of the original HTML file was created\r\r"
                 "Total time: ");
    ExpectProgramEnded();
}

TEST_F(CommandsTest, EmptyOutputNameIsRefusedAndLeavesThePage) {
    const std::string page = "<html><head><style>p{color:red}</style></head><body></body></html>";
    folder.Write("page.html", page);
    program.BrowseTo(folder.File("page.html"));
    ClearSheetName();
    Launch();
    HICON icon = nullptr;
    std::string message = DismissMessage(&icon);
    EXPECT_EQ(message, "Error! \"\" cannot be the name of a style sheet.");
    EXPECT_EQ(icon, LoadIcon(nullptr, IDI_HAND));
    ExpectBackInTheWindow(IDE_SHEET_NAME);
    EXPECT_EQ(folder.Read("page.html"), page);
    EXPECT_FALSE(folder.Has("restore_backup.bat"));
}

TEST_F(CommandsTest, MissingPageShowsOnlyItsMessageAndComesBackToTheWindow) {
    folder.Write("gone.html", "<html></html>");
    program.ChooseLanguage(1);
    program.BrowseTo(folder.File("gone.html"));
    DeleteFileW(LongPath(folder.File("gone.html")).c_str());
    Launch();
    HICON icon = nullptr;
    EXPECT_EQ(DismissMessage(&icon),
              "Le fichier \"" + folder.File("gone.html") + "\" n'existe pas!");
    EXPECT_EQ(icon, LoadIcon(nullptr, IDI_HAND));
    ExpectBackInTheWindow(IDB_BROWSE);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), folder.File("gone.html"));
    EXPECT_FALSE(folder.Has("gone.backup.html"));
}

TEST_F(CommandsTest, MalformedHeaderCssShowsOnlyItsMessageAndKeepsThePage) {
    const std::string page = "<html><head><style>p{color:red</style></head><body></body></html>";
    folder.Write("page.html", page);
    program.BrowseTo(folder.File("page.html"));
    Launch();
    EXPECT_EQ(DismissMessage(), "Error! Malformed internal CSS: mismatching { and }");
    ExpectBackInTheWindow(IDB_BROWSE);
    EXPECT_EQ(folder.Read("page.html"), page);
    EXPECT_FALSE(folder.Has("styles.css"));
}

// A run that writes nothing tells why, in the window's language: nothing to extract as
// information, which ends the program; a file the tool did not write as an error, after which
// the window comes back with the keyboard on the output name, where another name and Enter
// convert the page.
struct WrittenNothing {
    const char* label;
    int language;           // menu position: 0 English, 1 French
    const char* siteSheet;  // a styles.css of the site's own, or nullptr
    const char* before;     // the message up to the page's path
    const char* after;
    bool error;
};

class WrittenNothingTest : public CommandsTest,
                           public testing::WithParamInterface<WrittenNothing> {};

TEST_P(WrittenNothingTest, MessageInTheWindowsLanguageAndNoFileChanged) {
    const WrittenNothing& c = GetParam();
    const std::string page = c.siteSheet ? "<html><body><p style=\"color:red\">x</p></body></html>"
                                         : "<html lang=en><body><p>x</p></body></html>";
    folder.Write("page.html", page);
    if (c.siteSheet) folder.Write("styles.css", c.siteSheet);
    if (c.language != 0) program.ChooseLanguage(c.language);
    program.BrowseTo(folder.File("page.html"));
    Launch();
    HICON icon = nullptr;
    std::string named = folder.File(c.siteSheet ? "styles.css" : "page.html");
    EXPECT_EQ(DismissMessage(&icon), c.before + named + c.after);
    EXPECT_EQ(icon, LoadIcon(nullptr, c.error ? IDI_HAND : IDI_INFORMATION));
    if (!c.error) ExpectProgramEnded();
    EXPECT_EQ(folder.Read("page.html"), page);
    EXPECT_FALSE(folder.Has("page.backup.html"));
    EXPECT_FALSE(folder.Has("restore_backup.bat"));
    if (!c.siteSheet) return;
    EXPECT_EQ(folder.Read("styles.css"), c.siteSheet);
    ExpectBackInTheWindow(IDE_SHEET_NAME);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), folder.File("page.html"));
    EXPECT_EQ(program.ControlText(IDE_SHEET_NAME), "styles.css");
    EXPECT_TRUE(program.Checked(IDX_CLEAN_UNUSED));
    PressKeyWith(VK_CONTROL, 'A');
    TypeText("site.css");
    ASSERT_TRUE(WaitUntil([&] { return program.ControlText(IDE_SHEET_NAME) == "site.css"; }));
    PressKey(VK_RETURN);
    EXPECT_NE(DismissMessage().find("\"site.css\""), std::string::npos);
    ExpectProgramEnded();
    EXPECT_TRUE(folder.Has("site.css"));
    EXPECT_EQ(folder.Read("styles.css"), c.siteSheet);
}

// While a run waits for the folder (held here as another run would hold it), Escape, Alt+F4
// and the close box ask whether to stop it: Yes gives the window back with nothing changed, No
// lets the run go on to its report.
TEST_F(CommandsTest, RunUnderWayAsksBeforeItStops) {
    struct Case {
        const char* how;
        std::function<void(HWND)> ask;
        int answer;
    } cases[] = {
        {"Escape", [](HWND) { PressKey(VK_ESCAPE); }, IDYES},
        {"Alt+F4", [](HWND) { PressKeyWith(VK_MENU, VK_F4); }, IDYES},
        {"close box", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDNO},
    };
    const std::string page = "<html><body><p style=\"color:red\">x</p></body></html>";
    folder.Write("page.html", page);
    program.BrowseTo(folder.File("page.html"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        platform::FolderLock held;
        ASSERT_EQ(platform::TryLockFolder(folder.path(), held), platform::LockResult::Locked);
        Launch();
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(program.Control(IDB_BROWSE)); }));
        c.ask(program.Window());
        HWND box = program.WaitForOwnedDialog();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(RunningProgram::MessageText(box), "Stop the conversion of \"" +
                                                        folder.File("page.html") +
                                                        "\"?\rNothing will be changed.");
        ClickWindow(GetDlgItem(box, c.answer));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        if (c.answer == IDYES) {
            ExpectBackInTheWindow(IDB_BROWSE);
            platform::UnlockFolder(held);
            EXPECT_EQ(folder.Listing(), "page.html\n");
            EXPECT_EQ(folder.Read("page.html"), page);
            continue;
        }
        EXPECT_FALSE(program.WaitForEnd(300));  // still waiting for the folder
        platform::UnlockFolder(held);
        EXPECT_EQ(DismissMessage().rfind("External CSS \"styles.css\" correctly produced", 0), 0u);
        ExpectProgramEnded();
        EXPECT_NE(folder.Read("page.html"), page);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, WrittenNothingTest,
    testing::Values(
        WrittenNothing{"NothingToExtractEnglish", 0, nullptr, "Nothing to extract: the page \"",
                       "\" holds no internal or inline CSS.\rThe page was left unchanged.", false},
        WrittenNothing{"NothingToExtractFrench", 1, nullptr, "Rien à extraire : la page \"",
                       "\" ne contient ni CSS interne ni CSS dans les tags.\r"
                       "La page n'a pas été modifiée.",
                       false},
        WrittenNothing{"SiteSheetEnglish", 0, "body {color:navy}\r\n", "Error! The file \"",
                       "\" already exists and was not written by stylewick.\r"
                       "Choose another CSS output name; nothing was changed.",
                       true},
        WrittenNothing{"SiteSheetFrench", 1, "body {color:navy}\r\n", "Erreur! Le fichier \"",
                       "\" existe déjà et n'a pas été écrit par stylewick.\r"
                       "Choisissez un autre nom de sortie CSS ; rien n'a été modifié.",
                       true}),
    [](const testing::TestParamInfo<WrittenNothing>& info) {
        return std::string(info.param.label);
    });

TEST_F(CommandsTest, FileDialogOpensInTheLastPagesFolderWithWebPagesThenAllFiles) {
    std::string site = folder.Subfolder("site");
    folder.Write("site\\page.html", "<html></html>");
    program.BrowseTo(site + "page.html");
    ASSERT_EQ(program.ControlText(IDE_PAGE_PATH), site + "page.html");

    for (int language : {0, 1}) {
        program.ChooseLanguage(language);
        ClickWindow(program.Control(IDB_BROWSE));
        HWND dialog = program.WaitForOwnedDialog();
        ASSERT_NE(dialog, nullptr);
        std::wstring opened(MAX_PATH, L'\0');
        WaitUntil([&] {
            return SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH,
                                reinterpret_cast<LPARAM>(opened.data())) > 1;
        });
        opened.resize(opened.find(L'\0'));
        EXPECT_EQ(platform::Utf8(opened) + "\\", site);
        HWND filters = GetDlgItem(dialog, cmb1);
        std::vector<std::string> entries;
        for (int i = 0; i < SendMessageW(filters, CB_GETCOUNT, 0, 0); ++i) {
            std::wstring entry(SendMessageW(filters, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
            SendMessageW(filters, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
            entries.push_back(platform::Utf8(entry.c_str()));
        }
        using Entries = std::vector<std::string>;
        EXPECT_EQ(entries, language == 0
                               ? (Entries{"Web page (*.htm;*.html)", "All files (*.*)"})
                               : (Entries{"Page web (*.htm;*.html)", "Tous les fichiers (*.*)"}));
        WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000);
        PressKey(VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    }
}

// The command line (Send To, a shortcut) chooses its pages as a drop does: several pages, or a
// folder's pages, all of them.
TEST(CommandLine, SeveralPagesOrAFolderAreAllChosen) {
    ScratchFolder folder;
    std::string site = folder.Subfolder("site");
    for (const char* name : {"site\\a.htm", "site\\b.html"})
        folder.Write(name, "<html><body><p style=\"color:red\">x</p></body></html>");
    folder.Write("site\\notes.txt", "not a page");
    std::string shown = "2 pages in \"" + site.substr(0, site.size() - 1) + "\"";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{site + "a.htm", site + "notes.txt", site + "b.html"},
          std::vector<std::string>{site.substr(0, site.size() - 1)}}) {
        RunningProgram program(arguments);
        EXPECT_TRUE(WaitUntil([&] { return program.ControlText(IDE_PAGE_PATH) == shown; }))
            << program.ControlText(IDE_PAGE_PATH);
        EXPECT_EQ(TheUiState().pagePaths,
                  (std::vector<std::string>{site + "a.htm", site + "b.html"}));
    }
}

// Several pages of one folder, chosen together: the page path field shows how many and where,
// its tooltip names them, and one launch converts them into one shared sheet.
class SeveralPagesTest : public CommandsTest {
protected:
    // The pages of the folder "site": two with CSS to move, one without.
    std::string WriteSite() {
        std::string site = folder.Subfolder("site");
        folder.Write("site\\a.htm",
                     "<html><head><style>p{color:blue}</style></head>"
                     "<body><p style=\"color:red\">a</p></body></html>");
        folder.Write("site\\b.html",
                     "<html><body><p style=\"color:red\">b</p>"
                     "<p style=\"margin:0\">c</p></body></html>");
        folder.Write("site\\plain.htm", kPlain);
        folder.Write("site\\notes.txt", "not a page");
        return site;
    }
    // The field's text for `count` pages of the folder `site` (which ends in its separator).
    static std::string Shown(const char* form, int count, const std::string& site) {
        return std::to_string(count) + form + "\"" + site.substr(0, site.size() - 1) + "\"";
    }
    std::vector<std::string> FieldTips() const {
        return ToolTexts(program.Window(), program.Control(IDE_PAGE_PATH));
    }
    static constexpr char kPlain[] = "<html><body><p>nothing to move</p></body></html>";
};

TEST_F(SeveralPagesTest, ChosenInTheDialogTheyShowTheirCountFolderAndNamesInBothLanguages) {
    std::string site = WriteSite();
    program.BrowseTo(site + "a.htm");  // one page, as ever; the dialog then opens in its folder
    ASSERT_EQ(program.ControlText(IDE_PAGE_PATH), site + "a.htm");
    EXPECT_EQ(FieldTips(), std::vector<std::string>{site + "a.htm"});

    program.BrowseTo("\"a.htm\" \"b.html\"");
    ASSERT_TRUE(WaitUntil(
        [&] { return program.ControlText(IDE_PAGE_PATH) == Shown(" pages in ", 2, site); }, 3000))
        << program.ControlText(IDE_PAGE_PATH);
    EXPECT_EQ(FieldTips(), std::vector<std::string>{"a.htm\rb.html"});
    EXPECT_EQ(TheUiState().pagePaths, (std::vector<std::string>{site + "a.htm", site + "b.html"}));

    program.ChooseLanguage(1);
    EXPECT_TRUE(WaitUntil([&] {
        return program.ControlText(IDE_PAGE_PATH) == Shown(" pages dans ", 2, site);
    })) << program.ControlText(IDE_PAGE_PATH);
    EXPECT_EQ(FieldTips(), std::vector<std::string>{"a.htm\rb.html"});
    Launch();
    ExpectReport(DismissMessage(),
                 "2 pages ont été converties dans \"styles.css\" (2 classes inline, 1 feuilles de "
                 "style du header) ; 0 pages ne contenaient rien à extraire.\r"
                 "Une sauvegarde du fichier Html d'origine a été produite\rTemps écoulé : ");
    ExpectProgramEnded();
    EXPECT_TRUE(folder.Has("site\\a.backup.htm"));
    EXPECT_TRUE(folder.Has("site\\b.backup.html"));
}

TEST_F(SeveralPagesTest, ADroppedFolderChoosesItsPagesAndOneRunConvertsThemAll) {
    std::string site = WriteSite();
    program.Drop({site.substr(0, site.size() - 1)});
    ASSERT_TRUE(WaitUntil(
        [&] { return program.ControlText(IDE_PAGE_PATH) == Shown(" pages in ", 3, site); }, 3000))
        << program.ControlText(IDE_PAGE_PATH);
    EXPECT_EQ(FieldTips(), std::vector<std::string>{"a.htm\rb.html\rplain.htm"});
    Launch();
    EXPECT_FALSE(IsWindowEnabled(program.Control(IDB_BROWSE)));
    HICON icon = nullptr;
    ExpectReport(
        DismissMessage(&icon),
        "2 pages were converted into \"styles.css\" (2 inline classes, 1 header sheets); 1 "
        "pages held nothing to extract.\r"
        "A backup of the original HTML file was created\rTotal time: ");
    EXPECT_EQ(icon, LoadIcon(nullptr, IDI_INFORMATION));
    ExpectProgramEnded();
    for (const char* page : {"site\\a.htm", "site\\b.html"}) {
        SCOPED_TRACE(page);
        EXPECT_NE(folder.Read(page).find("href=\"styles.css\""), std::string::npos);
        EXPECT_EQ(folder.Read(page).find("style=\""), std::string::npos);
    }
    EXPECT_NE(folder.Read("site\\styles.css").find(".inlineClass002"), std::string::npos);
    EXPECT_EQ(folder.Read("site\\plain.htm"), kPlain);
    EXPECT_FALSE(folder.Has("site\\plain.backup.htm"));
    EXPECT_TRUE(folder.Has("site\\restore_backup.bat"));
}

// Dropped pages are chosen together, a folder without a page is named and changes nothing, one
// page dropped is chosen as ever; pages of two folders are refused at the launch, and the window
// comes back with them still chosen.
TEST_F(SeveralPagesTest, DroppedPagesEmptyFolderAndPagesOfTwoFolders) {
    std::string site = WriteSite();
    std::string other = folder.Subfolder("other");
    folder.Write("other\\x.htm", "<html><body><p style=\"color:red\">x</p></body></html>");
    std::string empty = folder.Subfolder("empty");
    empty.pop_back();  // as the shell names a folder
    program.Drop({site + "b.html", site + "notes.txt", site + "a.htm"});
    ASSERT_TRUE(WaitUntil(
        [&] { return program.ControlText(IDE_PAGE_PATH) == Shown(" pages in ", 2, site); }, 3000));
    EXPECT_EQ(FieldTips(), std::vector<std::string>{"b.html\ra.htm"});

    program.Drop({empty});
    HICON icon = nullptr;
    EXPECT_EQ(DismissMessage(&icon),
              "Error! The folder \"" + empty + "\" holds no web page (*.htm, *.html).");
    EXPECT_EQ(icon, LoadIcon(nullptr, IDI_HAND));
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), Shown(" pages in ", 2, site));

    program.Drop({site + "a.htm"});
    ASSERT_TRUE(WaitUntil([&] { return program.ControlText(IDE_PAGE_PATH) == site + "a.htm"; }));
    EXPECT_EQ(FieldTips(), std::vector<std::string>{site + "a.htm"});
    EXPECT_TRUE(TheUiState().pagePaths.empty());

    program.Drop({site + "a.htm", other + "x.htm"});
    ASSERT_TRUE(WaitUntil(
        [&] { return program.ControlText(IDE_PAGE_PATH) == Shown(" pages in ", 2, site); }));
    Launch();
    EXPECT_EQ(DismissMessage(&icon), "Error! The pages of one run must be in one folder.");
    EXPECT_EQ(icon, LoadIcon(nullptr, IDI_HAND));
    ExpectBackInTheWindow(IDB_BROWSE);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), Shown(" pages in ", 2, site));
    EXPECT_FALSE(folder.Has("site\\a.backup.htm"));
    EXPECT_FALSE(folder.Has("other\\x.backup.htm"));
}

// Escape during a run over several pages asks about them as the field names them; Yes gives
// the window back with the pages still chosen and nothing changed.
TEST_F(SeveralPagesTest, StoppingTheRunNamesItsPages) {
    std::string site = WriteSite();
    program.Drop({site + "a.htm", site + "b.html"});
    ASSERT_TRUE(WaitUntil(
        [&] { return program.ControlText(IDE_PAGE_PATH) == Shown(" pages in ", 2, site); }, 3000));
    platform::FolderLock held;
    ASSERT_EQ(platform::TryLockFolder(site, held), platform::LockResult::Locked);
    Launch();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(program.Control(IDB_BROWSE)); }));
    PressKey(VK_ESCAPE);
    HWND box = program.WaitForOwnedDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(
        RunningProgram::MessageText(box),
        "Stop the conversion of " + Shown(" pages in ", 2, site) + "?\rNothing will be changed.");
    ClickWindow(GetDlgItem(box, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    ExpectBackInTheWindow(IDB_BROWSE);
    platform::UnlockFolder(held);
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH), Shown(" pages in ", 2, site));
    EXPECT_FALSE(folder.Has("site\\a.backup.htm"));
    EXPECT_FALSE(folder.Has("site\\styles.css"));
}

// While it lives, the shell opens web addresses with this test program, which writes the
// address it is given into `record` (see test_main.cpp) instead of starting a browser. The
// handler it replaces is put back afterwards.
class AddressRecorder {
public:
    explicit AddressRecorder(const std::string& record) {
        std::vector<wchar_t> old(1024);
        DWORD size = static_cast<DWORD>(old.size() * sizeof(wchar_t));
        if (RegGetValueW(HKEY_CLASSES_ROOT, kKey, nullptr, RRF_RT_REG_SZ, nullptr, old.data(),
                         &size) == ERROR_SUCCESS)
            handler_ = old.data();
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        SetHandler(L"\"" + std::wstring(self) + L"\" \"--opened=" + platform::Utf16(record) +
                   L"\" \"%1\"");
    }
    ~AddressRecorder() { SetHandler(handler_); }  // none before: an empty one is as good

private:
    static void SetHandler(const std::wstring& command) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, kKey, nullptr, REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    static constexpr const wchar_t* kKey = L"https\\shell\\open\\command";
    std::wstring handler_;
};

TEST_F(CommandsTest, EnterOnTheFocusedLinkOpensTheWebSiteAndTheWindowStays) {
    AddressRecorder recorder(folder.File("opened.txt"));
    for (int i = 0; i < 4; ++i) PressKey(VK_TAB);  // name, check box, launch, link
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(IDT_WEB_LINK); }, 3000));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return folder.Has("opened.txt"); }, 15000));
    EXPECT_EQ(folder.Read("opened.txt"), STYLEWICK_WEBSITE);
    EXPECT_FALSE(program.WaitForEnd(0));
}

TEST_F(CommandsTest, CloseBoxEndsTheProgram) {
    RECT frame{};
    GetWindowRect(program.Window(), &frame);
    // The close box sits at the right end of the caption bar drawn by Wine.
    POINT closeBox{frame.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
                   frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    LRESULT hit =
        SendMessageA(program.Window(), WM_NCHITTEST, 0, MAKELPARAM(closeBox.x, closeBox.y));
    ASSERT_EQ(hit, HTCLOSE);
    SetCursorPos(closeBox.x, closeBox.y);
    PostMessageA(program.Window(), WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(closeBox.x, closeBox.y));
    PostMessageA(program.Window(), WM_LBUTTONUP, 0, 0);  // ends the close box tracking
    ExpectProgramEnded();
}

// The window starts in the user's display language: scripts/wine-tests runs this test again
// under a French locale (OEM code page 850), where it must start in French.
TEST(StartUpLanguage, WindowStartsInTheUsersLanguage) {
    RunningProgram program;
    bool french = ExpectedOemCodePage() == 850;
    EXPECT_EQ(WindowText(program.Window()), french ? "stylewick v" STYLEWICK_VERSION " - par Tavrel"
                                                   : "stylewick v" STYLEWICK_VERSION
                                                     " - by Tavrel");
    EXPECT_EQ(program.ControlText(IDE_PAGE_PATH),
              french ? "<aucun sélectionné>" : "<none selected>");
}

}  // namespace

}  // namespace ui
