// The write path on a hostile machine, through stylewick-cli in real folders: runs at once in
// one folder, a kill at any system call of a run (by strace's fault injection), a full disk,
// planted links, the page's own permissions, links and names. Whatever happens, the folder
// holds the page as it was or the converted page with every output it needs, and the restore
// script puts the page back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "engine/restore_script.h"
#include "tests/support/cli_run.h"
#include "tests/support/quiet_spawn.h"
#include "tests/support/restore_simulation.h"
#include "tests/support/scratch_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr char kPage[] =
    "<html><head><style>\r\n.note {color:red}\r\n</style></head>\r\n"
    "<body lang=en><p class=note style=\"margin:0\">a</p><p style=\"color:blue\">b</p></body>"
    "</html>\r\n";

bool IsTemporary(const std::string& name) { return name.rfind(".stylewick-", 0) == 0; }

// The folder's files but the run's temporaries.
std::map<std::string, std::string> Outputs(const ScratchFolder& folder) {
    std::map<std::string, std::string> files = folder.Files();
    for (auto it = files.begin(); it != files.end();)
        it = IsTemporary(it->first) ? files.erase(it) : std::next(it);
    return files;
}

bool HasTemporaries(const ScratchFolder& folder) {
    return folder.Files().size() != Outputs(folder).size();
}

// Starts the program without waiting for it.
pid_t StartCli(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), STYLEWICK_CLI_PATH);
    return SpawnQuietly(arguments);
}

int ExitCodeOf(pid_t pid) {
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Two runs started at once in one folder, many times: each run either converts or refuses with
// nothing changed, and the folder always ends with every page converted once and a script
// that restores every page.
TEST(WritePath, RunsAtOnceInOneFolderNeverLoseAConversion) {
    struct Case {
        const char* label;
        std::vector<std::string> first, second;  // arguments; pages under the folder
        std::vector<const char*> pages;
    } cases[] = {
        {"two pages", {"a.htm"}, {"--sheet", "b.css", "b.htm"}, {"a.htm", "b.htm"}},
        {"one page twice", {"a.htm"}, {"--sheet", "b.css", "a.htm"}, {"a.htm"}},
        {"a folder twice", {"."}, {"--sheet", "b.css", "."}, {"a.htm", "b.htm"}},
    };
    for (const Case& c : cases) {
        for (int round = 0; round < 25; ++round) {
            SCOPED_TRACE(std::string(c.label) + ", round " + std::to_string(round));
            ScratchFolder folder;
            for (const char* page : c.pages) folder.Write(page, kPage);
            auto inFolder = [&](std::vector<std::string> arguments) {
                arguments.back() = folder.File(arguments.back());
                return arguments;
            };
            pid_t first = StartCli(inFolder(c.first));
            pid_t second = StartCli(inFolder(c.second));
            EXPECT_EQ(ExitCodeOf(first), 0);
            EXPECT_EQ(ExitCodeOf(second), 0);
            EXPECT_FALSE(HasTemporaries(folder)) << folder.Listing();
            for (const char* page : c.pages) {
                std::string converted = folder.Read(page);
                std::smatch href;
                ASSERT_TRUE(std::regex_search(converted, href, std::regex("href=\"([^\"]+)\"")))
                    << converted;
                EXPECT_TRUE(folder.Has(href[1].str())) << "the page links a missing sheet";
            }
            RestoreAsTheScriptDoes(folder);
            for (const char* page : c.pages) EXPECT_EQ(folder.Read(page), kPage) << page;
            EXPECT_EQ(Outputs(folder).size(), c.pages.size()) << folder.Listing();
        }
    }
}

bool HaveStrace() { return std::system("strace -V >/dev/null 2>&1") == 0; }

// strace with its quiet options. The leak checker of a sanitized build cannot run under ptrace,
// and would turn every exit into a failure.
constexpr char kStrace[] = "ASAN_OPTIONS=detect_leaks=0 strace -qq ";

// How many times a clean run of the program makes each system call.
std::map<std::string, int> SystemCallsOfARun(const std::vector<std::string>& syscalls) {
    ScratchFolder folder;
    folder.Write("page.htm", kPage);
    std::string list;
    for (const std::string& call : syscalls) list += (list.empty() ? "" : ",") + call;
    std::string log = folder.File("strace.log");
    std::string command = kStrace + std::string("-o '") + log + "' -e trace=" + list + " '" +
                          STYLEWICK_CLI_PATH + "' '" + folder.File("page.htm") + "' >/dev/null";
    std::map<std::string, int> counts;
    if (std::system(command.c_str()) != 0) return counts;
    std::ifstream lines(log);
    std::regex call("^(\\w+)\\(");
    std::smatch match;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_search(line, match, call)) ++counts[match[1].str()];
    return counts;
}

// The program killed at each of its file system calls, one after the other: the folder holds
// the page as it was or the converted page with its sheet and script, the restore puts the page
// back, and the next run clears what the killed one left and ends with the same outputs as a
// run that was never killed.
TEST(WritePath, KilledAtAnyCallLeavesTheFolderRestorable) {
    if (!HaveStrace()) GTEST_SKIP() << "strace is not installed: the kill points are not tested";
    std::map<std::string, std::string> clean;
    {
        ScratchFolder folder;
        folder.Write("page.htm", kPage);
        ASSERT_EQ(RunCli({folder.File("page.htm")}).exitCode, 0);
        clean = folder.Files();
        clean.erase("restore_backup.bat");  // names the folder
    }
    const std::vector<std::string> syscalls = {"openat",    "write", "fsync",  "rename",
                                               "renameat2", "link",  "linkat", "unlink"};
    std::map<std::string, int> counts = SystemCallsOfARun(syscalls);
    ASSERT_GT(counts["renameat2"] + counts["rename"], 0) << "strace saw no call of the run";
    for (const auto& [call, count] : counts) {
        for (int n = 1; n <= count; ++n) {
            SCOPED_TRACE("killed at " + call + " number " + std::to_string(n));
            ScratchFolder folder;
            folder.Write("page.htm", kPage);
            std::string command = kStrace + std::string("-o /dev/null -e trace=") + call +
                                  " -e inject=" + call + ":signal=KILL:when=" + std::to_string(n) +
                                  " '" + STYLEWICK_CLI_PATH + "' '" + folder.File("page.htm") +
                                  "' >/dev/null 2>&1";
            (void)std::system(command.c_str());
            std::string page = folder.Read("page.htm");
            if (page != kPage) {
                EXPECT_EQ(page, clean["page.htm"]) << "the page is neither as it was nor converted";
                EXPECT_EQ(folder.Read("styles.css"), clean["styles.css"]);
            }
            {
                ScratchFolder copy;  // the restore, tried on a copy of the folder as it was left
                for (const auto& [name, bytes] : Outputs(folder)) copy.Write(name, bytes);
                std::string script = folder.Has("restore_backup.bat")
                                         ? folder.Read("restore_backup.bat")
                                         : std::string();
                for (size_t at; (at = script.find(folder.path())) != std::string::npos;)
                    script.replace(at, folder.path().size(), copy.path());
                if (!script.empty()) copy.Write("restore_backup.bat", script);
                RestoreAsTheScriptDoes(copy);
                EXPECT_EQ(copy.Read("page.htm"), kPage);
                auto left = Outputs(copy);
                left.erase("restore_backup.bat");  // kept when a listed backup was not there
                EXPECT_EQ(left.size(), 1u) << copy.Listing();
            }
            CliResult next = RunCli({folder.File("page.htm")});
            EXPECT_EQ(next.exitCode, 0) << next.out;
            EXPECT_FALSE(HasTemporaries(folder)) << folder.Listing();
            for (const auto& [name, bytes] : clean) EXPECT_EQ(folder.Read(name), bytes) << name;
        }
    }
}

// The pages of a run over several, written into `folder`: two of one template and one of its own.
std::vector<std::string> WriteSetOfPages(const ScratchFolder& folder) {
    folder.Write("a.htm", kPage);
    folder.Write("b.htm", kPage);
    folder.Write("c.htm", "<html><head><style>p{margin:0}</style></head><body><p style=\"top:0\">");
    return {"a.htm", "b.htm", "c.htm"};
}

// The program converting a folder, killed at each of its calls that place or commit a file:
// each page is as it was, or converted with every sheet it links there; the restore gives every
// page back. A commit that fails on a later page puts back the pages committed before it.
TEST(WritePath, RunOverSeveralPagesKilledOrFailingLeavesEveryPageRestorable) {
    if (!HaveStrace()) GTEST_SKIP() << "strace is not installed: the kill points are not tested";
    std::map<std::string, std::string> before, clean;
    std::map<std::string, int> counts;  // of each call in a run that is not killed
    {
        ScratchFolder folder;
        WriteSetOfPages(folder);
        before = folder.Files();
        std::string log = folder.File("strace.log");
        std::string command = kStrace + std::string("-o '") + log +
                              "' -e trace=rename,renameat2,link,linkat,unlink,fsync '" +
                              STYLEWICK_CLI_PATH + "' '" + folder.path() + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ifstream lines(log);
        std::smatch name;
        for (std::string line; std::getline(lines, line);)
            if (std::regex_search(line, name, std::regex("^(\\w+)\\("))) ++counts[name[1].str()];
        fs::remove(log);
        clean = folder.Files();
    }
    const int renames = counts["rename"];  // the pages are the last renamed, each over its name
    for (const auto& [call, count] : counts) {
        for (int n = 1; n <= count; ++n) {
            SCOPED_TRACE("killed at " + call + " number " + std::to_string(n));
            ScratchFolder folder;
            std::vector<std::string> pages = WriteSetOfPages(folder);
            std::string command = kStrace + std::string("-o /dev/null -e trace=") + call +
                                  " -e inject=" + call + ":signal=KILL:when=" + std::to_string(n) +
                                  " '" + STYLEWICK_CLI_PATH + "' '" + folder.path() +
                                  "' >/dev/null 2>&1";
            (void)std::system(command.c_str());
            for (const std::string& page : pages) {
                if (folder.Read(page) == before[page]) continue;
                EXPECT_EQ(folder.Read(page), clean[page]) << page;
                std::smatch href;
                std::string text = folder.Read(page);
                for (auto at = text.cbegin();
                     std::regex_search(at, text.cend(), href, std::regex("href=\"([^\"]+)\""));
                     at = href.suffix().first)
                    EXPECT_TRUE(folder.Has(href[1].str())) << page << " links a missing sheet";
            }
            ScratchFolder copy;
            for (const auto& [name, bytes] : Outputs(folder)) copy.Write(name, bytes);
            std::string script =
                folder.Has("restore_backup.bat") ? folder.Read("restore_backup.bat") : "";
            for (size_t at; (at = script.find(folder.path())) != std::string::npos;)
                script.replace(at, folder.path().size(), copy.path());
            if (!script.empty()) copy.Write("restore_backup.bat", script);
            RestoreAsTheScriptDoes(copy);
            for (const std::string& page : pages) EXPECT_EQ(copy.Read(page), before[page]) << page;
        }
    }
    // The second page's commit fails: the first is put back, and nothing is left of the run.
    ASSERT_GE(renames, 3);
    ScratchFolder folder;
    WriteSetOfPages(folder);
    std::string command = kStrace + std::string("-o /dev/null -e trace=rename -e inject=") +
                          "rename:error=EACCES:when=" + std::to_string(renames - 1) + " '" +
                          STYLEWICK_CLI_PATH + "' '" + folder.path() + "' >/dev/null 2>&1";
    int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(folder.Files(), before);
}

TEST(WritePath, FullDiskIsNamedAndChangesNothing) {
    if (!HaveStrace()) GTEST_SKIP() << "strace is not installed: the full disk is not tested";
    ScratchFolder folder;
    folder.Write("page.htm", kPage);
    // The run's first write is its first temporary, the restore script.
    std::string command =
        kStrace + std::string("-o /dev/null -e trace=write -e inject=write:error=ENOSPC:when=1 '") +
        STYLEWICK_CLI_PATH + "' '" + folder.File("page.htm") + "' 2>'" + folder.File("err.txt") +
        "'";
    int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    std::string root = fs::canonical(folder.path()).string() + "/";
    EXPECT_EQ(folder.Read("err.txt"), "Error! File \"" + root +
                                          "restore_backup.bat\" could not be written\nThe page was "
                                          "left unchanged.\nThere is not enough space on the "
                                          "disk.\n");
    EXPECT_EQ(folder.Listing(), "err.txt\npage.htm\n");
    EXPECT_EQ(folder.Read("page.htm"), kPage);
}

// Refusals of files that are not this run's to replace: the folder stays byte for byte.
TEST(WritePath, FilesOfEarlierWorkAreNeverReplaced) {
    struct Case {
        const char* label;
        std::vector<std::vector<std::string>> before;  // runs first: arguments, page last
        const char* removed;                           // then removed, if any
        const char* rewritten;  // then written again, as another page, if any
        std::vector<std::string> run;
        std::string message;  // after "Error! ", FOLDER/ standing for the folder
    } cases[] = {
        {"the sheet of a page whose backup was deleted",
         {{"a.htm"}},
         "a.backup.htm",
         nullptr,
         {"b.htm"},
         "The style sheet \"FOLDER/styles.css\" already exists.\nChoose another CSS output name; "
         "nothing was changed.\n"},
        {"the sheet of a page whose script was deleted",
         {{"a.htm"}},
         "restore_backup.bat",
         nullptr,
         {"b.htm"},
         "The style sheet \"FOLDER/styles.css\" already exists.\nChoose another CSS output name; "
         "nothing was changed.\n"},
        {"a page saved again since its conversion",
         {{"a.htm"}},
         nullptr,
         "a.htm",
         {"--sheet", "new.css", "a.htm"},
         "The page \"FOLDER/a.htm\" was replaced after its earlier conversion, and "
         "\"FOLDER/a.backup.htm\" holds an older page.\nMove that backup away to keep it, then "
         "run again; nothing was changed.\n"},
        {"a backup the tool did not write",
         {},
         nullptr,
         "a.backup.htm",
         {"a.htm"},
         "The file \"FOLDER/a.backup.htm\" already exists and was not written by stylewick.\nMove "
         "it away to keep it, then run again; nothing was changed.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScratchFolder folder;
        folder.Write("a.htm", kPage);
        folder.Write("b.htm", kPage);
        for (std::vector<std::string> arguments : c.before) {
            arguments.back() = folder.File(arguments.back());
            ASSERT_EQ(RunCli(arguments).exitCode, 0);
        }
        if (c.removed) fs::remove(folder.File(c.removed));
        if (c.rewritten) folder.Write(c.rewritten, std::string(kPage) + "<p>saved again</p>");
        const auto before = folder.Files();
        std::vector<std::string> arguments = c.run;
        arguments.back() = folder.File(arguments.back());
        CliResult result = RunCli(arguments, "2");
        std::string message = "Error! " + c.message;
        std::string root = fs::canonical(folder.path()).string();
        for (size_t at; (at = message.find("FOLDER")) != std::string::npos;)
            message.replace(at, 6, root);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, message);
        EXPECT_TRUE(folder.Files() == before) << folder.Listing();
    }
}

// A second run waits for the one that holds the folder, and says so on standard error.
TEST(WritePath, SecondRunWaitsForTheFolderAndSaysSo) {
    ScratchFolder folder;
    folder.Write("page.htm", kPage);
    int held = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    std::string err = folder.File("err.txt");
    std::string command = "'" + std::string(STYLEWICK_CLI_PATH) + "' '" + folder.File("page.htm") +
                          "' >/dev/null 2>'" + err + "'";
    FILE* run = ::popen(command.c_str(), "r");
    ASSERT_NE(run, nullptr);
    // Generous: the line comes as soon as the program has started.
    for (int i = 0; i < 3000 && !(folder.Has("err.txt") && !folder.Read("err.txt").empty()); ++i)
        ::usleep(10000);
    EXPECT_EQ(folder.Read("err.txt"), "Waiting for another stylewick run in this folder...\n");
    EXPECT_EQ(folder.Read("page.htm"), kPage) << "the run went on while the folder was held";
    ::close(held);
    int status = ::pclose(run);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(folder.Read("page.htm"), kPage);
}

// The page keeps what it is: its mode and its backup's, a link that stays a link, a second
// name that stays one, extended attributes, and no copy for the backup.
TEST(WritePath, PageKeepsWhatItIs) {
    ScratchFolder folder;
    fs::create_directory(folder.File("real"));
    folder.Write("private.htm", kPage);
    ::chmod(folder.File("private.htm").c_str(), 0600);
    folder.Write("real/target.htm", kPage);
    fs::create_symlink("real/target.htm", folder.File("linked.htm"));
    folder.Write("named.htm", kPage);
    fs::create_hard_link(folder.File("named.htm"), folder.File("other-name.htm"));
    folder.Write("plain.htm", kPage);
    bool xattrs = ::setxattr(folder.File("plain.htm").c_str(), "user.origin", "word", 4, 0) == 0;
    struct stat original;
    ::stat(folder.File("plain.htm").c_str(), &original);

    for (const char* page : {"private.htm", "linked.htm", "named.htm", "plain.htm"}) {
        CliResult result = RunCli({"--sheet", std::string(page) + ".css", folder.File(page)});
        ASSERT_EQ(result.exitCode, 0) << page << ": " << result.out;
    }
    struct stat info;
    ::stat(folder.File("private.htm").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ::stat(folder.File("private.backup.htm").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the backup is wider than the page";

    EXPECT_TRUE(fs::is_symlink(folder.File("linked.htm")));
    EXPECT_NE(folder.Read("real/target.htm"), kPage) << "the link's target was not converted";
    EXPECT_EQ(folder.Read("linked.backup.htm"), kPage);
    EXPECT_TRUE(folder.Has("linked.htm.css"));

    EXPECT_NE(folder.Read("named.htm"), kPage);
    EXPECT_EQ(folder.Read("other-name.htm"), folder.Read("named.htm")) << "the names were split";
    EXPECT_EQ(folder.Read("named.backup.htm"), kPage);

    ::stat(folder.File("plain.backup.htm").c_str(), &info);
    EXPECT_EQ(info.st_ino, original.st_ino) << "the backup is a copy, not the original file";
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(folder.File("plain.htm").c_str(), "user.origin", value, sizeof value),
                  4);
        EXPECT_STREQ(value, "word");
    }
}

// As root, a page of another user stays that user's.
TEST(WritePath, PageOfAnotherUserStaysTheirs) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: a page of another user cannot be made";
    ScratchFolder folder;
    folder.Write("page.htm", kPage);
    ASSERT_EQ(::chown(folder.File("page.htm").c_str(), 12345, 12345), 0);
    ASSERT_EQ(RunCli({folder.File("page.htm")}).exitCode, 0);
    struct stat info;
    ::stat(folder.File("page.htm").c_str(), &info);
    EXPECT_EQ(info.st_uid, 12345u);
    EXPECT_EQ(info.st_gid, 12345u);
}

// Links planted where a run writes are never written through, and a killed run's leftovers
// that only look like the run's own are removed without following them.
TEST(WritePath, PlantedLinksAreNeverWrittenThrough) {
    ScratchFolder folder;
    folder.Write("victim.txt", "the user's own file");
    folder.Write("page.htm", kPage);
    for (const char* name : {"styles.css.stylewick-new", "restore_backup.bat.stylewick-new",
                             ".stylewick-0123456789abcdef.tmp"})
        fs::create_symlink("victim.txt", folder.File(name));
    folder.Write(".stylewick-fedcba9876543210-notes.txt", "kept aside by a killed run");
    ASSERT_EQ(RunCli({folder.File("page.htm")}).exitCode, 0);
    EXPECT_EQ(folder.Read("victim.txt"), "the user's own file");
    EXPECT_TRUE(fs::is_symlink(folder.File("styles.css.stylewick-new")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.File(".stylewick-0123456789abcdef.tmp"))));
    EXPECT_EQ(folder.Read("notes.txt"), "kept aside by a killed run");
    EXPECT_FALSE(fs::is_symlink(folder.File("styles.css")));
}

// Paths that end in "..", given as the page or as the sheet, name the folder they mean.
TEST(WritePath, PathsEndingInParentFolderAreRefusedPlainly) {
    ScratchFolder folder;
    fs::create_directory(folder.File("site"));
    std::string parent = fs::canonical(folder.path()).string();
    for (const auto& [argument, from] : std::vector<std::pair<std::string, std::string>>{
             {"..", folder.File("site")}, {"site/..", folder.path()}}) {
        CliResult given = RunCli({argument}, "2", from);
        EXPECT_EQ(given.exitCode, 2) << argument;
        EXPECT_NE(given.out.find("\"" + parent + "\""), std::string::npos) << given.out;
    }
}

}  // namespace
