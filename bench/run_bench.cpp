// run-bench: times whole extraction runs on generated pages, with and without cleaning, and
// reports each run's peak memory. Each run happens in a child process of its own (this program
// started again with --run-one), so the peak resident size that wait4 returns is that run's.
//
//   run-bench [--sizes 1,10,100] [--styles-per-mb 6000] [--distinct-per-mb 1500]
//             [--repeat N] [--dir FOLDER] [--keep]
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

const char* ErrorName(RunError error) {
    switch (error) {
        case RunError::None: return "none";
        case RunError::NothingToExtract: return "nothing to extract";
        case RunError::PageMissing: return "page missing";
        case RunError::PageIsFolder: return "page is a folder";
        case RunError::BackupNotCreated: return "backup not created";
        case RunError::PageNotRead: return "page not read";
        case RunError::SheetNameCollides: return "sheet name collides";
        case RunError::StyleBlockUnclosed: return "style block unclosed";
        case RunError::BracesMismatch: return "braces mismatch";
        case RunError::SheetNotOurs: return "sheet not written by the tool";
        case RunError::ScriptNotOurs: return "script not written by the tool";
        case RunError::PageConvertedBefore: return "page converted before";
        case RunError::SheetOfOtherPage: return "sheet of another page";
        case RunError::FileNotWritten: return "file not written";
        case RunError::OutOfMemory: return "out of memory";
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
void Report(RunError error, double seconds) {
    std::printf("%d %.6f %ld\n", static_cast<int>(error), seconds, PeakKbOfThisProcess());
}

int CopyOne(const char* pagePath) {
    Clock::time_point start = Clock::now();
    std::string page;
    bool copied = files::ReadWhole(pagePath, page) &&
                  files::WriteWhole(std::string(pagePath) + ".copy", page);
    Report(copied ? RunError::None : RunError::FileNotWritten, SecondsSince(start));
    return copied ? 0 : 1;
}

// The child's side: one run, reported on stdout as "<error> <seconds> <peak KB>".
int RunOne(const char* pagePath, const char* clean) {
    if (std::strcmp(clean, "copy") == 0) return CopyOne(pagePath);
    RunRequest request;
    request.pagePath = pagePath;
    request.sheetName = kSheetName;
    request.cleanUnused = std::strcmp(clean, "1") == 0;
    Clock::time_point start = Clock::now();
    RunOutcome outcome = RunExtraction(request);
    double seconds = SecondsSince(start);
    Report(outcome.error, seconds);
    return outcome.error == RunError::None ? 0 : 1;
}

struct RunResult {
    bool finished = false;  // the child reported a time
    RunError error = RunError::None;
    double seconds = 0;
    double peakMb = 0;
    double cpuSeconds =
        0;                // user and system time of the whole child, less swayed by a busy machine
    std::string failure;  // how the child ended when it did not report
};

// Runs one extraction in a child process; with an empty page path the child runs nothing,
// which gives the resident size of the process alone.
RunResult RunChild(const std::string& self, const fs::path& page, ChildJob job) {
    RunResult result;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        result.failure = "pipe failed";
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string pagePath = page.string();
    std::vector<char*> argv = {const_cast<char*>(self.c_str()), const_cast<char*>("--run-one"),
                               const_cast<char*>(pagePath.c_str()),
                               const_cast<char*>(JobArgument(job)), nullptr};
    if (page.empty())
        argv = {const_cast<char*>(self.c_str()), const_cast<char*>("--idle"), nullptr};
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        result.failure = std::string("spawn failed: ") + std::strerror(spawned);
        return result;
    }
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    close(pipeEnds[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.peakMb = usage.ru_maxrss * 1024.0 / kBytesPerMb;  // ru_maxrss is in KB on Linux
    result.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    int error = 0;
    long peakKb = 0;
    if (std::sscanf(output.c_str(), "%d %lf %ld", &error, &result.seconds, &peakKb) >= 2) {
        if (peakKb > 0) result.peakMb = peakKb * 1024.0 / kBytesPerMb;
        result.finished = true;
        result.error = static_cast<RunError>(error);
    } else if (WIFSIGNALED(status)) {
        result.failure = "killed by signal " + std::to_string(WTERMSIG(status));
    } else {
        result.failure = "exit status " + std::to_string(WEXITSTATUS(status)) + " without a report";
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--run-one") == 0) return RunOne(argv[2], argv[3]);
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0) {
        Report(RunError::None, 0);
        return 0;
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: run-bench [--sizes 1,10,100] [--styles-per-mb N] [--distinct-per-mb N]"
                     " [--repeat N] [--dir FOLDER] [--keep]\n");
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
    std::printf("%8s %8s %8s %6s %5s %8s %8s %8s %8s %9s  %s\n", "page MB", "styles", "distinct",
                "gen s", "clean", "run s", "cpu s", "MB/s", "peak MB", "peak/page", "result");
    bool allGood = true;
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
        {
            std::ofstream out(source, std::ios::binary);
            out.write(made.text.data(), static_cast<std::streamsize>(made.text.size()));
        }
        double pageMb = made.text.size() / kBytesPerMb;
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
                fs::remove_all(folder);
                fs::create_directories(folder);
                fs::path page = folder / "page.htm";
                fs::copy_file(source, page);
                RunResult run = RunChild(self, page, job);
                if (!run.finished) {
                    verdict = "FAILED: " + run.failure;
                } else if (run.error != RunError::None) {
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
        if (!options.keep) fs::remove(source);
    }
    if (!options.keep && options.folder.empty()) fs::remove_all(root);
    return allGood ? 0 : 1;
}
