// run-bench: times whole extraction runs on generated pages, with and without cleaning, and
// reports each run's peak memory. Each run happens in a child process of its own (this program
// started again with --run-one), which reads its own peak resident size. Then it times the
// whole stylewick-cli process on the same pages beside a copy of the page synced to disk. With
// --shape it runs the bad-input tests' pages instead, made to each size.
//
//   run-bench [--sizes 1,10,100] [--styles-per-mb 6000] [--distinct-per-mb 1500]
//             [--repeat N] [--dir FOLDER] [--keep] [--cli PROGRAM] [--shape NAME|all]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bad_pages.h"
#include "bench/page_generator.h"
#include "engine/extraction_run.h"
#include "platform/files.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr double kBytesPerMb = 1024.0 * 1024.0;
constexpr const char* kSheetName = "styles.css";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* ErrorName(engine::RunError error) {
    switch (error) {
        case engine::RunError::None: return "none";
        case engine::RunError::NothingToExtract: return "nothing to extract";
        case engine::RunError::PageMissing: return "page missing";
        case engine::RunError::PageIsFolder: return "page is a folder";
        case engine::RunError::BackupNotCreated: return "backup not created";
        case engine::RunError::PageNotRead: return "page not read";
        case engine::RunError::SheetNameCollides: return "sheet name collides";
        case engine::RunError::StyleBlockUnclosed: return "style block unclosed";
        case engine::RunError::BracesMismatch: return "braces mismatch";
        case engine::RunError::SheetNotOurs: return "sheet not written by the tool";
        case engine::RunError::ScriptNotOurs: return "script not written by the tool";
        case engine::RunError::PageConvertedBefore: return "page converted before";
        case engine::RunError::SheetOfOtherPage: return "sheet of another page";
        case engine::RunError::FileNotWritten: return "file not written";
        case engine::RunError::OutOfMemory: return "out of memory";
        case engine::RunError::FolderBusy: return "folder busy";
        case engine::RunError::SheetExists: return "sheet exists";
        case engine::RunError::PageReplaced: return "page replaced";
        case engine::RunError::BackupNotOurs: return "backup not written by the tool";
        case engine::RunError::SheetNameInvalid: return "sheet name invalid";
        case engine::RunError::Stopped: return "stopped";
        case engine::RunError::PageDamaged: return "page damaged";
        case engine::RunError::PagesInSeveralFolders: return "pages in several folders";
        case engine::RunError::NoPageInFolder: return "no page in the folder";
    }
    return "unknown error";
}

// What a child does with the page: a run without or with cleaning, or a plain copy of the
// page (read whole, written whole to a file beside it, as a run writes its outputs), the
// floor that no run can go below.
enum class ChildJob { Run, CleanedRun, Copy };

const char* JobArgument(ChildJob job) {
    return job == ChildJob::Run ? "0" : job == ChildJob::CleanedRun ? "1" : "copy";
}

// The peak resident size of this process in KB, from its own memory map: wait4's ru_maxrss
// would also count the parent's, whose memory the spawned child shares until it starts this
// program. 0 when /proc does not tell.
long PeakKbOfThisProcess() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, 6, "VmHWM:") == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// What the child prints: its error, the seconds its job took, and its peak resident size.
void Report(engine::RunError error, double seconds) {
    std::printf("%d %.6f %ld\n", static_cast<int>(error), seconds, PeakKbOfThisProcess());
}

int CopyOne(const char* pagePath) {
    Clock::time_point start = Clock::now();
    std::string page;
    bool copied = platform::ReadWhole(pagePath, page) &&
                  platform::WriteWhole(std::string(pagePath) + ".copy", page);
    Report(copied ? engine::RunError::None : engine::RunError::FileNotWritten, SecondsSince(start));
    return copied ? 0 : 1;
}

// The child's side: one run, reported on stdout as "<error> <seconds> <peak KB>".
int RunOne(const char* pagePath, const char* clean) {
    if (std::strcmp(clean, "copy") == 0) return CopyOne(pagePath);
    engine::RunRequest request;
    request.pagePath = pagePath;
    request.sheetName = kSheetName;
    request.cleanUnused = std::strcmp(clean, "1") == 0;
    Clock::time_point start = Clock::now();
    engine::RunOutcome outcome = engine::RunExtraction(request);
    double seconds = SecondsSince(start);
    Report(outcome.error, seconds);
    return outcome.error == engine::RunError::None ? 0 : 1;
}

struct RunResult {
    bool finished = false;  // the child reported a time
    engine::RunError error = engine::RunError::None;
    double seconds = 0;
    double peakMb = 0;
    double cpuSeconds =
        0;                // user and system time of the whole child, less swayed by a busy machine
    std::string failure;  // how the child ended when it did not report
};

// A program run to its end: what it wrote on its standard output, how it ended, and its
// resources as wait4 tells them.
struct Spawned {
    bool started = false;
    std::string output;
    int status = 0;
    rusage usage{};
    std::string failure;  // why it did not start
};

// Runs a program (the first argument, a path) to its end. Its standard output is read when
// `readOutput`, else it goes with its standard error to /dev/null.
Spawned SpawnAndWait(const std::vector<std::string>& arguments, bool readOutput) {
    Spawned result;
    int pipeEnds[2] = {-1, -1};
    if (readOutput && pipe(pipeEnds) != 0) {
        result.failure = "pipe failed";
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (readOutput) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (readOutput) close(pipeEnds[1]);
    if (spawned != 0) {
        if (readOutput) close(pipeEnds[0]);
        result.failure = std::string("spawn failed: ") + std::strerror(spawned);
        return result;
    }
    result.started = true;
    if (readOutput) {
        char buffer[256];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            result.output.append(buffer, n);
        close(pipeEnds[0]);
    }
    wait4(pid, &result.status, 0, &result.usage);
    return result;
}

std::string HowItEnded(const Spawned& spawned) {
    if (!spawned.started) return spawned.failure;
    if (WIFSIGNALED(spawned.status))
        return "killed by signal " + std::to_string(WTERMSIG(spawned.status));
    return "exit status " + std::to_string(WEXITSTATUS(spawned.status));
}

// Runs one extraction in a child process; with an empty page path the child runs nothing,
// which gives the resident size of the process alone.
RunResult RunChild(const std::string& self, const fs::path& page, ChildJob job) {
    RunResult result;
    std::vector<std::string> arguments = {self, "--run-one", page.string(), JobArgument(job)};
    if (page.empty()) arguments = {self, "--idle"};
    Spawned child = SpawnAndWait(arguments, true);
    if (!child.started) {
        result.failure = child.failure;
        return result;
    }
    const rusage& usage = child.usage;
    result.peakMb = usage.ru_maxrss * 1024.0 / kBytesPerMb;  // ru_maxrss is in KB on Linux
    result.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    int error = 0;
    long peakKb = 0;
    if (std::sscanf(child.output.c_str(), "%d %lf %ld", &error, &result.seconds, &peakKb) >= 2) {
        if (peakKb > 0) result.peakMb = peakKb * 1024.0 / kBytesPerMb;
        result.finished = true;
        result.error = static_cast<engine::RunError>(error);
    } else {
        result.failure = HowItEnded(child) + " without a report";
    }
    return result;
}

// The intermediary's side of a whole-process measure: runs the program and its arguments to
// their end, their output thrown away, and reports "<exit status> <wall seconds> <peak KB>".
// The peak that wait4 tells for a spawned program also counts the memory of the process that
// spawned it, as it stood when the program started: this small fresh process keeps that far
// below a run's, where the bench itself has held a whole generated page.
int TimeProcess(char** argv) {
    std::vector<std::string> arguments;
    for (; *argv != nullptr; ++argv) arguments.emplace_back(*argv);
    Clock::time_point start = Clock::now();
    Spawned program = SpawnAndWait(arguments, false);
    double seconds = SecondsSince(start);
    if (!program.started || !WIFEXITED(program.status)) {
        std::printf("-1 0 0 %s\n", HowItEnded(program).c_str());
        return 1;
    }
    std::printf("%d %.6f %ld\n", WEXITSTATUS(program.status), seconds, program.usage.ru_maxrss);
    return 0;
}

struct ProcessResult {
    bool finished = false;  // the program ran to its end with exit status 0
    double seconds = 0;     // wall time, from its start to its end
    double peakMb = 0;
    std::string failure;
};

// Times a whole program run (its start and end included) through the intermediary.
ProcessResult TimeProgram(const std::string& self, const std::vector<std::string>& command) {
    std::vector<std::string> arguments = {self, "--time-process"};
    arguments.insert(arguments.end(), command.begin(), command.end());
    Spawned intermediary = SpawnAndWait(arguments, true);
    ProcessResult result;
    int exitStatus = -1;
    long peakKb = 0;
    if (std::sscanf(intermediary.output.c_str(), "%d %lf %ld", &exitStatus, &result.seconds,
                    &peakKb) != 3) {
        result.failure = HowItEnded(intermediary) + " without a report";
    } else if (exitStatus != 0) {
        // After the three numbers, the intermediary says how the program ended.
        size_t words = 0, at = 0;
        while (words < 3 && (at = intermediary.output.find(' ', at)) != std::string::npos)
            ++words, ++at;
        result.failure = exitStatus >= 0           ? "exit status " + std::to_string(exitStatus)
                         : at == std::string::npos ? "no report"
                                                   : intermediary.output.substr(at);
        while (!result.failure.empty() && result.failure.back() == '\n') result.failure.pop_back();
    } else {
        result.finished = true;
        result.peakMb = peakKb * 1024.0 / kBytesPerMb;
    }
    return result;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t CountOf(std::string_view text, std::string_view what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size()))
        ++count;
    return count;
}

std::string Lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// style= and lang= attributes (after whitespace) from the body tag on, inside and outside comments.
struct AttributeCounts {
    size_t styleOutside = 0;
    size_t styleInComments = 0;
    size_t lang = 0;
};

AttributeCounts CountBodyAttributes(const std::string& page) {
    AttributeCounts counts;
    std::string lower = Lowered(page);
    size_t at = lower.find("<body");
    if (at == std::string::npos) at = 0;
    bool inComment = false;
    for (; at < lower.size(); ++at) {
        if (!inComment && lower.compare(at, 4, "<!--") == 0) {
            inComment = true;
        } else if (inComment && lower.compare(at, 3, "-->") == 0) {
            inComment = false;
        } else if (at > 0 && IsSpace(lower[at - 1])) {
            if (lower.compare(at, 6, "style=") == 0)
                ++(inComment ? counts.styleInComments : counts.styleOutside);
            if (!inComment && lower.compare(at, 5, "lang=") == 0) ++counts.lang;
        }
    }
    return counts;
}

std::string WithoutComments(std::string_view text) {
    std::string kept;
    size_t at = 0;
    for (size_t open; (open = text.find("<!--", at)) != std::string_view::npos;) {
        kept += text.substr(at, open - at);
        size_t close = text.find("-->", open + 4);
        at = close == std::string_view::npos ? text.size() : close + 3;
    }
    if (at < text.size()) kept += text.substr(at);
    return kept;
}

// Counts in the outputs that show the run did its job; empty when all agree with the page made.
std::string CheckOutputs(const fs::path& folder, const fs::path& page, const GeneratedPage& made,
                         bool clean) {
    std::string rewritten = ReadFile(page);
    std::string sheet = ReadFile(folder / kSheetName);
    std::vector<std::string> problems;
    auto expect = [&problems](const char* what, size_t found, size_t wanted) {
        if (found != wanted)
            problems.push_back(std::string(what) + " " + std::to_string(found) + "/" +
                               std::to_string(wanted));
    };
    AttributeCounts counts = CountBodyAttributes(rewritten);
    expect("style= left", counts.styleOutside, 0);
    expect("style= in comments", counts.styleInComments, made.commentedStyles);
    expect("lang= left", counts.lang, 0);
    expect("inline refs", CountOf(rewritten, "inlineClass"), made.inlineReferences);
    expect(
        "head <style> left",
        CountOf(WithoutComments(Lowered(rewritten.substr(0, rewritten.find("<body")))), "<style"),
        0);
    expect("sheet links", CountOf(rewritten, kSheetName) > 0 ? 1 : 0, 1);
    size_t sheetClasses = 0;
    for (size_t at = sheet.find("\n.inlineClass"); at != std::string::npos;
         at = sheet.find("\n.inlineClass", at + 1)) {
        ++sheetClasses;
    }
    expect("sheet classes", sheetClasses, made.inlineClasses);
    size_t unusedLeft = CountOf(sheet, ".UnusedRule");
    if (clean) expect("unused rules left", unusedLeft, 0);
    if (!clean && unusedLeft == 0) problems.push_back("header rules missing from sheet");
    if (!fs::exists(folder / "restore_backup.bat")) problems.push_back("no restore script");
    std::string report;
    for (const std::string& problem : problems) report += (report.empty() ? "" : "; ") + problem;
    return report;
}

struct Options {
    std::vector<double> sizesMb = {1, 10, 100};
    double stylesPerMb = 6000;
    double distinctPerMb = 1500;
    int repeat = 1;
    std::string folder;
    bool keep = false;
    std::string cli;    // the program of the whole-process measure; empty for the default
    std::string shape;  // a bad page's name, or "all": those pages instead of generated ones
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--sizes" && hasValue) {
            options.sizesMb.clear();
            std::stringstream list(argv[++i]);
            for (std::string item; std::getline(list, item, ',');)
                options.sizesMb.push_back(std::atof(item.c_str()));
        } else if (arg == "--styles-per-mb" && hasValue) {
            options.stylesPerMb = std::atof(argv[++i]);
        } else if (arg == "--distinct-per-mb" && hasValue) {
            options.distinctPerMb = std::atof(argv[++i]);
        } else if (arg == "--repeat" && hasValue) {
            options.repeat = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--dir" && hasValue) {
            options.folder = argv[++i];
        } else if (arg == "--keep") {
            options.keep = true;
        } else if (arg == "--cli" && hasValue) {
            options.cli = argv[++i];
        } else if (arg == "--shape" && hasValue) {
            options.shape = argv[++i];
        } else {
            return false;
        }
    }
    return !options.sizesMb.empty();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder holding a copy of the page as page.htm; returns the copy's path.
fs::path FreshCopy(const fs::path& source, const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(source, folder / "page.htm");
    return folder / "page.htm";
}

// ---- Whole processes ------------------------------------------------------------------------

constexpr int kProcessRounds = 5;

// The stylewick-cli beside the bench's build folder (bench/../app), when it is there.
std::string DefaultCli(const std::string& self) {
    fs::path cli = fs::path(self).parent_path().parent_path() / "app" / "stylewick-cli";
    return fs::exists(cli) ? cli.string() : std::string();
}

// The whole program on a fresh copy of the page, cleaning off and on, beside `cp` of the same
// page followed by `sync` of the copy, each the median of five rounds taken in turn. `cli`
// empty: the bench's own child (--run-one) is the program.
bool WholeProcessRows(const std::string& self, const std::string& cli, const fs::path& source,
                      double pageMb, const fs::path& root, bool keep) {
    enum Job { CopyAndSync, Run, CleanedRun };
    const char* names[] = {"cp+sync", "off", "on"};
    std::vector<double> times[3];
    double peakMb[3] = {0, 0, 0};
    std::string failures[3];
    for (int round = 0; round < kProcessRounds; ++round) {
        for (int job : {CopyAndSync, Run, CleanedRun}) {
            if (!failures[job].empty()) continue;
            fs::path folder = root / ("process-" + std::string(names[job]));
            fs::path page = FreshCopy(source, folder);
            std::vector<std::string> command;
            if (job == CopyAndSync) {
                command = {"/bin/sh", "-c",          "cp \"$1\" \"$2\" && sync \"$2\"",
                           "sh",      page.string(), (folder / "copy.htm").string()};
            } else if (cli.empty()) {
                command = {self, "--run-one", page.string(), job == CleanedRun ? "1" : "0"};
            } else {
                command = {cli, page.string()};
                if (job == Run) command.insert(command.begin() + 1, "--no-clean");
            }
            ProcessResult result = TimeProgram(self, command);
            if (result.finished) {
                times[job].push_back(result.seconds);
                peakMb[job] = std::max(peakMb[job], result.peakMb);
            } else {
                failures[job] = "FAILED: " + result.failure;
            }
            if (!keep) fs::remove_all(folder);
        }
    }
    double copySeconds = times[CopyAndSync].empty() ? 0 : Median(times[CopyAndSync]);
    for (int job : {CopyAndSync, Run, CleanedRun}) {
        double seconds = times[job].empty() ? 0 : Median(times[job]);
        double ratio = copySeconds > 0 ? seconds / copySeconds : 0;
        if (job == CopyAndSync) {
            std::printf("%8.1f %8s %8.3f %9.2f %8s %9s  %s\n", pageMb, names[job], seconds, ratio,
                        "", "", failures[job].empty() ? "ok" : failures[job].c_str());
        } else {
            std::printf("%8.1f %8s %8.3f %9.2f %8.1f %9.2f  %s\n", pageMb, names[job], seconds,
                        ratio, peakMb[job], pageMb > 0 ? peakMb[job] / pageMb : 0.0,
                        failures[job].empty() ? "ok" : failures[job].c_str());
        }
        std::fflush(stdout);
    }
    return failures[0].empty() && failures[1].empty() && failures[2].empty();
}

// ---- Bad pages --------------------------------------------------------------------------------

struct ShapeOfPage {
    std::string name;
    std::string (*make)(size_t count);
    bool anyEnd = false;  // the page may end in any message but a failure to write or to fit
    engine::RunError error = engine::RunError::None;
};

std::vector<ShapeOfPage> Shapes() {
    std::vector<ShapeOfPage> shapes;
    for (const BadPage& page : ManyTagsPages())
        shapes.push_back({page.name, page.make, false, page.error});
    shapes.push_back({"ImageBytes", ImageBytesPage, false, engine::RunError::NothingToExtract});
    shapes.push_back({"BinaryBytes", [](size_t n) { return BinaryBytesPage(n); }, true});
    return shapes;
}

// The page of the shape close to `bytes` in size: its units counted from the size of a page of
// 10,000 of them, then once more from the size that count gave (units that grow, such as
// numbers, make a first guess too big).
std::string PageOfSize(const ShapeOfPage& shape, size_t bytes) {
    size_t fixed = shape.make(0).size();
    if (bytes <= fixed) return shape.make(0);
    double perUnit = (shape.make(10000).size() - fixed) / 10000.0;
    size_t count = static_cast<size_t>((bytes - fixed) / std::max(perUnit, 1.0));
    std::string page = shape.make(count);
    if (page.size() > fixed && (page.size() > bytes * 1.01 || page.size() < bytes * 0.99))
        page = shape.make(static_cast<size_t>(count * static_cast<double>(bytes - fixed) /
                                              (page.size() - fixed)));
    return page;
}

size_t FileSize(const fs::path& path) {
    std::error_code error;
    uintmax_t size = fs::file_size(path, error);
    return error ? 0 : static_cast<size_t>(size);
}

// Each bad page at each size, cleaning off and on, in children as the generated pages. Beside
// the peak, `out/page`: the page, the rewritten page and the sheet together, which a run holds
// at once when it writes them, as a multiple of the page.
bool ShapeRows(const std::string& self, const Options& options, const fs::path& root) {
    std::vector<ShapeOfPage> shapes;
    for (const ShapeOfPage& shape : Shapes())
        if (options.shape == "all" || options.shape == shape.name) shapes.push_back(shape);
    if (shapes.empty()) {
        std::fprintf(stderr,
                     "run-bench: no page shape named %s; the shapes:", options.shape.c_str());
        for (const ShapeOfPage& shape : Shapes()) std::fprintf(stderr, " %s", shape.name.c_str());
        std::fprintf(stderr, "\n");
        return false;
    }
    std::printf("%-22s %8s %5s %8s %8s %8s %9s %8s  %s\n", "shape", "page MB", "clean", "run s",
                "MB/s", "peak MB", "peak/page", "out/page", "result");
    bool allGood = true;
    for (const ShapeOfPage& shape : shapes) {
        for (double sizeMb : options.sizesMb) {
            fs::path source = root / (shape.name + ".htm");
            size_t pageBytes = 0;
            {
                std::string page = PageOfSize(shape, static_cast<size_t>(sizeMb * kBytesPerMb));
                pageBytes = page.size();
                WriteFile(source, page);
            }
            double pageMb = pageBytes / kBytesPerMb;
            for (ChildJob job : {ChildJob::Run, ChildJob::CleanedRun}) {
                std::vector<double> times;
                double peakMb = 0;
                size_t outputBytes = pageBytes;
                std::string verdict;
                for (int round = 0; round < options.repeat && verdict.empty(); ++round) {
                    fs::path folder = root / (shape.name + "-" + JobArgument(job));
                    fs::path page = FreshCopy(source, folder);
                    RunResult run = RunChild(self, page, job);
                    bool expected = shape.anyEnd ? run.error != engine::RunError::FileNotWritten &&
                                                       run.error != engine::RunError::OutOfMemory
                                                 : run.error == shape.error;
                    if (!run.finished) {
                        verdict = "FAILED: " + run.failure;
                    } else if (!expected) {
                        verdict = std::string("FAILED: ") + ErrorName(run.error);
                    } else {
                        times.push_back(run.seconds);
                        peakMb = std::max(peakMb, run.peakMb);
                        if (run.error == engine::RunError::None)
                            outputBytes =
                                pageBytes + FileSize(page) + FileSize(folder / kSheetName);
                    }
                    if (verdict.empty() && run.error != engine::RunError::None)
                        verdict = std::string("ok: ") + ErrorName(run.error);
                    if (!options.keep) fs::remove_all(folder);
                }
                allGood = allGood && verdict.rfind("FAILED", 0) != 0;
                if (verdict.empty()) verdict = "ok";
                double seconds = times.empty() ? 0 : Median(times);
                std::printf("%-22s %8.1f %5s %8.3f %8.1f %8.1f %9.2f %8.2f  %s\n",
                            shape.name.c_str(), pageMb, job == ChildJob::Run ? "off" : "on",
                            seconds, seconds > 0 ? pageMb / seconds : 0.0, peakMb,
                            pageMb > 0 ? peakMb / pageMb : 0.0,
                            pageBytes > 0 ? static_cast<double>(outputBytes) / pageBytes : 0.0,
                            verdict.c_str());
                std::fflush(stdout);
            }
            if (!options.keep) fs::remove(source);
        }
    }
    return allGood;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--run-one") == 0) return RunOne(argv[2], argv[3]);
    if (argc >= 3 && std::strcmp(argv[1], "--time-process") == 0) return TimeProcess(argv + 2);
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0) {
        Report(engine::RunError::None, 0);
        return 0;
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: run-bench [--sizes 1,10,100] [--styles-per-mb N] [--distinct-per-mb N]"
                     " [--repeat N] [--dir FOLDER] [--keep] [--cli PROGRAM] [--shape NAME|all]\n");
        return 2;
    }
    std::string self = fs::read_symlink("/proc/self/exe").string();
    fs::path root = options.folder.empty() ? fs::temp_directory_path() /
                                                 ("stylewick-bench-" + std::to_string(getpid()))
                                           : fs::path(options.folder);
    fs::create_directories(root);

    RunResult idle = RunChild(self, fs::path(), ChildJob::Run);
    std::printf("peak MB includes the process itself: %.1f MB for a child that runs nothing\n",
                idle.peakMb);
    if (!options.shape.empty()) {
        bool good = ShapeRows(self, options, root);
        if (!options.keep && options.folder.empty()) fs::remove_all(root);
        return good ? 0 : 1;
    }
    std::printf("%8s %8s %8s %6s %5s %8s %8s %8s %8s %9s  %s\n", "page MB", "styles", "distinct",
                "gen s", "clean", "run s", "cpu s", "MB/s", "peak MB", "peak/page", "result");
    bool allGood = true;
    std::vector<std::pair<fs::path, double>> pages;  // kept for the whole-process measure
    for (double sizeMb : options.sizesMb) {
        PageShape shape;
        shape.sizeBytes = static_cast<size_t>(sizeMb * kBytesPerMb);
        shape.styleAttributes = static_cast<size_t>(sizeMb * options.stylesPerMb);
        shape.distinctStyles = static_cast<size_t>(sizeMb * options.distinctPerMb);
        Clock::time_point generationStart = Clock::now();
        GeneratedPage made = GeneratePage(shape);
        double generationSeconds = SecondsSince(generationStart);
        std::string sizeName = std::to_string(made.text.size());
        fs::path source = root / ("page-" + sizeName + ".htm");
        WriteFile(source, made.text);
        double pageMb = made.text.size() / kBytesPerMb;
        pages.emplace_back(source, pageMb);
        // The generator's own counts must hold before the run's outputs are judged by them.
        AttributeCounts madeCounts = CountBodyAttributes(made.text);
        if (madeCounts.styleOutside != made.styleAttributes ||
            madeCounts.styleInComments != made.commentedStyles ||
            made.styleAttributes != shape.styleAttributes || made.text.size() != shape.sizeBytes) {
            std::printf(
                "note: page made with %zu bytes, %zu style attributes (%zu counted), %zu in "
                "comments"
                " (%zu counted); asked %zu bytes, %zu style attributes\n",
                made.text.size(), made.styleAttributes, madeCounts.styleOutside,
                made.commentedStyles, madeCounts.styleInComments, shape.sizeBytes,
                shape.styleAttributes);
        }
        std::string().swap(made.text);  // the parent need not hold the page during the runs

        for (ChildJob job : {ChildJob::Copy, ChildJob::Run, ChildJob::CleanedRun}) {
            bool clean = job == ChildJob::CleanedRun;
            std::vector<double> times;
            std::vector<double> cpuTimes;
            double peakMb = 0;
            std::string verdict;
            for (int round = 0; round < options.repeat && verdict.empty(); ++round) {
                fs::path folder = root / ("run-" + sizeName + "-" + JobArgument(job));
                fs::path page = FreshCopy(source, folder);
                RunResult run = RunChild(self, page, job);
                if (!run.finished) {
                    verdict = "FAILED: " + run.failure;
                } else if (run.error != engine::RunError::None) {
                    verdict = std::string("FAILED: ") + ErrorName(run.error);
                } else {
                    times.push_back(run.seconds);
                    cpuTimes.push_back(run.cpuSeconds);
                    peakMb = std::max(peakMb, run.peakMb);
                    std::string problems =
                        job == ChildJob::Copy ? "" : CheckOutputs(folder, page, made, clean);
                    if (!problems.empty()) verdict = "ran, outputs off: " + problems;
                }
                if (!options.keep) fs::remove_all(folder);
            }
            allGood = allGood && verdict.empty();
            if (verdict.empty()) verdict = "ok";
            double seconds = times.empty() ? 0 : Median(times);
            double cpuSeconds = cpuTimes.empty() ? 0 : Median(cpuTimes);
            std::printf("%8.1f %8zu %8zu %6.2f %5s %8.3f %8.3f %8.1f %8.1f %9.2f  %s\n", pageMb,
                        made.styleAttributes, made.distinctStyles, generationSeconds,
                        job == ChildJob::Copy ? "copy"
                        : clean               ? "on"
                                              : "off",
                        seconds, cpuSeconds, seconds > 0 ? pageMb / seconds : 0.0, peakMb,
                        pageMb > 0 ? peakMb / pageMb : 0.0, verdict.c_str());
            std::fflush(stdout);
        }
    }

    std::string cli = options.cli.empty() ? DefaultCli(self) : options.cli;
    std::printf(
        "\nwhole process: %s on a fresh copy of the page, beside cp PAGE COPY && sync COPY; wall "
        "time, median of %d\n",
        cli.empty() ? "run-bench --run-one (no stylewick-cli found)" : cli.c_str(), kProcessRounds);
    std::printf("%8s %8s %8s %9s %8s %9s  %s\n", "page MB", "clean", "wall s", "x cp+sync",
                "peak MB", "peak/page", "result");
    for (const auto& [source, pageMb] : pages) {
        allGood = WholeProcessRows(self, cli, source, pageMb, root, options.keep) && allGood;
        if (!options.keep) fs::remove(source);
    }
    std::printf(
        "targets on the 10 MB page: wall at most 0.1 s, at most 8 x cp+sync, peak at most 3 x "
        "the page\n");
    if (!options.keep && options.folder.empty()) fs::remove_all(root);
    return allGood ? 0 : 1;
}
