// folder-bench: one run over a folder of generated pages of one template, against one-page runs
// of the same pages. Reports the folder run's wall time and peak memory beside the largest
// page, and the size of the sheets it writes beside the sum of the sheets of one-page runs.
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/page_generator.h"
#include "tests/support/quiet_spawn.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr double kBytesPerMb = 1024.0 * 1024.0;

struct Options {
    size_t pages = 100;
    double pageMb = 1;
    std::string cli = STYLEWICK_CLI_PATH;
    fs::path folder;
    bool keep = false;
};

struct Child {
    int status = -1;
    double seconds = 0;
    double peakMb = 0;
};

// Runs the program to its end, its output thrown away.
Child Run(const std::vector<std::string>& arguments) {
    Child child;
    auto start = std::chrono::steady_clock::now();
    if (pid_t pid = SpawnQuietly(arguments); pid > 0) {
        rusage usage{};
        wait4(pid, &child.status, 0, &usage);
        child.peakMb = usage.ru_maxrss * 1024.0 / kBytesPerMb;
    }
    child.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return child;
}

bool Succeeded(const Child& child) {
    return WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0;
}

double SizeOfCss(const fs::path& folder) {
    double bytes = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".css") bytes += entry.file_size();
    return bytes;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool hasValue = i + 1 < argc;
        if (argument == "--pages" && hasValue) {
            options.pages = std::max(2, std::atoi(argv[++i]));
        } else if (argument == "--page-mb" && hasValue) {
            options.pageMb = std::atof(argv[++i]);
        } else if (argument == "--cli" && hasValue) {
            options.cli = argv[++i];
        } else if (argument == "--dir" && hasValue) {
            options.folder = argv[++i];
        } else if (argument == "--keep") {
            options.keep = true;
        } else {
            std::fprintf(stderr,
                         "usage: folder-bench [--pages 100] [--page-mb 1] [--cli PROGRAM] "
                         "[--dir FOLDER] [--keep]\n");
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;
    fs::path base = options.folder.empty() ? fs::temp_directory_path() / "stylewick-folder-bench"
                                           : options.folder;
    fs::remove_all(base);
    fs::path folder = base / "folder";
    fs::create_directories(folder);
    // Pages of one template, as a word processor exports them, each generated and written
    // before the next, so that this process holds one page at a time.
    double largestMb = 0;
    double totalMb = 0;
    for (size_t i = 0; i < options.pages; ++i) {
        PageShape shape;
        shape.sizeBytes = static_cast<size_t>(options.pageMb * kBytesPerMb);
        shape.styleAttributes = static_cast<size_t>(6000 * options.pageMb);
        shape.distinctStyles = static_cast<size_t>(1500 * options.pageMb);
        shape.variantSeed = static_cast<uint32_t>(i + 1);
        GeneratedPage page = GeneratePage(shape);
        char name[32];
        std::snprintf(name, sizeof name, "page%03zu.htm", i + 1);
        std::ofstream(folder / name, std::ios::binary) << page.text;
        largestMb = std::max(largestMb, page.text.size() / kBytesPerMb);
        totalMb += page.text.size() / kBytesPerMb;
    }
    // One-page runs, each in a folder of its own, for the sum of their sheets.
    double onePageSheets = 0;
    bool onePageRunsOk = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        fs::path alone = base / "alone" / entry.path().stem();
        fs::create_directories(alone);
        fs::copy_file(entry.path(), alone / entry.path().filename());
        onePageRunsOk = Succeeded(Run({options.cli, (alone / entry.path().filename()).string()})) &&
                        onePageRunsOk;
        onePageSheets += SizeOfCss(alone);
        fs::remove_all(alone);
    }
    Child run = Run({options.cli, folder.string()});
    double sheetsMb = SizeOfCss(folder) / kBytesPerMb;
    std::printf(
        "pages  total MB  largest MB  run s  MB/s   peak MB  peak/(largest+sheets)  "
        "sheets KB  one-page sheets KB  result\n");
    std::printf("%5zu  %8.1f  %10.2f  %5.2f  %5.0f  %7.1f  %21.2f  %9.0f  %18.0f  %s\n",
                options.pages, totalMb, largestMb, run.seconds, totalMb / run.seconds, run.peakMb,
                run.peakMb / (largestMb + sheetsMb), sheetsMb * 1024, onePageSheets / 1024,
                Succeeded(run) && onePageRunsOk ? "ok" : "FAILED");
    if (!options.keep) fs::remove_all(base);
    return Succeeded(run) && onePageRunsOk ? 0 : 1;
}
