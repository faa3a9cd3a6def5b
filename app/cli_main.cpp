// stylewick-cli: the extraction run without a window, for batch use and for tests.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/extraction_run.h"
#include "engine/run_paths.h"
#include "platform/console.h"
#include "platform/files.h"
#include "texts/progress_line.h"
#include "texts/run_report.h"
#include "texts/strings.h"
#include "version.h"

namespace {

constexpr int kStoppedExitCode = 130;  // as a shell reports a program ended by Ctrl+C

constexpr char kUsage[] =
    "usage: stylewick-cli [--sheet NAME] [--no-clean] [--lang EN|FR] PAGE|FOLDER...\n"
    "       stylewick-cli --help | --version\n"
    "\n"
    "Moves the CSS of the HTML page PAGE into an external style sheet beside it:\n"
    "the header <style> block becomes a <link>, style= attributes become classes,\n"
    "lang= attributes are removed. A backup of the page and restore_backup.bat are\n"
    "written next to it.\n"
    "\n"
    "Several pages of one folder, or a FOLDER (its *.htm and *.html files, not those\n"
    "of its subfolders), are converted in one run: their style= attributes become\n"
    "the classes of one shared sheet NAME, and each distinct header <style> block a\n"
    "sheet of its own (styles.index.css for index.htm). Every page is checked before\n"
    "any file is written; one restore_backup.bat undoes them all.\n"
    "\n"
    "  --sheet NAME   name of the style sheet, in the page's folder (default styles.css)\n"
    "  --no-clean     keep header rules that the page never uses\n"
    "  --lang EN|FR   language of the messages, in any case (default: the user's)\n"
    "  --help, -h     show this text (also /? on Windows)\n"
    "  --version      show the program's version\n"
    "\n"
    "Exit codes: 0 the style sheet was written, or the page holds no CSS to move and\n"
    "nothing was written; 1 the run failed and every page was left as it was; 2 bad\n"
    "usage (also pages of several folders, or a folder without pages);\n"
    "130 the run was stopped (Ctrl+C) and nothing was changed.\n"
    "\n"
    "Messages are UTF-8 text. On Windows a console shows them as Unicode characters and\n"
    "redirected output is UTF-8. On a terminal, a run longer than a second shows its\n"
    "progress on standard error.\n";

// Prints a message whose "%1" and "%2" stand for `first` and `second`, its CR line breaks as
// line ends.
void PrintMessage(std::FILE* stream, const std::string& message, const std::string& first,
                  const std::string& second = {}) {
    std::string text = texts::WithArguments(message, first, second);
    for (char& c : text)
        if (c == '\r') c = '\n';
    platform::WriteText(stream, text + "\n");
}

// Whether `argument` asks for the usage: --help, -h, or the platform's own switch.
bool AsksForHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h" || platform::IsPlatformHelpSwitch(argument);
}

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The problem may quote an argument, so it goes out as text, not bytes.
int UsageError(const std::string& problem) {
    platform::WriteText(stderr, "stylewick-cli: " + problem + "\n\n" + kUsage);
    return 2;
}

// What the command line asks for.
struct Command {
    engine::RunRequest request;
    texts::Language language =
        platform::UserLanguageIsFrench() ? texts::Language::French : texts::Language::English;
    std::vector<std::string> pages;  // absolute paths, a folder's pages in its place
};

// Adds the page, or the pages of the folder, that `argument` names. False, the message told,
// for a folder without pages.
bool AddPages(const std::string& argument, Command& command) {
    // The restore script names every file by its absolute path.
    std::string path = platform::AbsolutePath(argument);
    if (!platform::IsFolder(path)) {
        command.pages.push_back(path);
        return true;
    }
    std::vector<std::string> pages = engine::PagesInFolder(path);
    if (pages.empty()) {
        PrintMessage(
            stderr,
            texts::RunErrorMessage(engine::RunError::NoPageInFolder, "%1", command.language), path);
        return false;
    }
    command.pages.insert(command.pages.end(), pages.begin(), pages.end());
    return true;
}

// Reads the arguments into `command`; returns the exit code when the program ends without a
// run (usage, help, version), else -1.
int ReadArguments(const std::vector<std::string>& arguments, Command& command) {
    command.request.sheetName = texts::kDefaultSheetName;
    std::vector<std::string> named;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        if (AsksForHelp(argument)) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (argument == "--version") {
            std::fputs("stylewick-cli " STYLEWICK_VERSION "\n", stdout);
            return 0;
        } else if (argument == "--sheet") {
            if (!hasValue) return UsageError("--sheet needs a name");
            command.request.sheetName = arguments[++i];
        } else if (argument == "--no-clean") {
            command.request.cleanUnused = false;
        } else if (argument == "--lang") {
            if (!hasValue) return UsageError("--lang needs EN or FR");
            std::string code = UpperCase(arguments[++i]);
            if (code != "EN" && code != "FR") return UsageError("--lang takes EN or FR");
            command.language = texts::LanguageFromCode(code);
        } else if (argument == "--") {
            named.insert(named.end(), arguments.begin() + i + 1, arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("unknown option " + argument);
        } else {
            named.push_back(argument);
        }
    }
    if (named.empty()) return UsageError("no page given");
    for (const std::string& argument : named)
        if (!AddPages(argument, command)) return 2;
    return -1;
}

// Pages of several folders are refused before any is read.
bool InOneFolder(const std::vector<std::string>& pages) {
    for (const std::string& page : pages)
        if (!platform::SamePath(engine::PageFolder(page), engine::PageFolder(pages.front())))
            return false;
    return true;
}

// Runs the extraction the command asks for, showing its progress on a terminal and stopping
// it on Ctrl+C.
engine::RunOutcome Run(Command& command) {
    engine::RunRequest& request = command.request;
    // On a terminal, a long run shows how far it has come; redirected output stays as it was.
    texts::ProgressLine progress(command.language);
    if (platform::IsTerminal(stderr)) {
        auto started = std::chrono::steady_clock::now();
        request.progress = [&](double done) {
            std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
            platform::WriteText(stderr, progress.Update(done, elapsed.count()));
        };
    }
    request.waiting = [&] {
        platform::WriteText(
            stderr, progress.Clear() +
                        texts::Text(texts::TextId::WaitingForFolder, command.language) + "\n");
    };
    // Ctrl+C stops the run with nothing changed, unless its outputs are already being placed.
    static std::atomic<bool> stop{false};
    platform::StopOnInterrupt(stop);
    request.stop = &stop;
    engine::RunOutcome outcome = engine::RunExtraction(request);
    platform::RunOver();
    platform::WriteText(stderr, progress.Clear());
    return outcome;
}

// Tells how the run ended; returns the program's exit code.
int Report(const Command& command, const engine::RunOutcome& outcome, long seconds) {
    const engine::RunRequest& request = command.request;
    const texts::Language language = command.language;
    if (outcome.error == engine::RunError::Stopped) {
        platform::WriteText(stderr,
                            std::string(texts::Text(texts::TextId::Stopped, language)) + "\n");
        return kStoppedExitCode;
    }
    // A run over several pages tells first what it did with each.
    for (const engine::PageResult& page : outcome.pages)
        platform::WriteText(stdout, texts::PageResultLine(page, language) + "\n");
    if (outcome.error == engine::RunError::NothingToExtract) {
        if (outcome.pages.empty())
            PrintMessage(stdout, texts::RunErrorMessage(outcome.error, "%1", language),
                         outcome.path);
        return 0;
    }
    if (outcome.error != engine::RunError::None) {
        PrintMessage(stderr,
                     texts::RunErrorMessage(outcome.error, "%1", language, "%2", outcome.diskFull),
                     outcome.path, outcome.otherPath);
        return 1;
    }
    if (!request.pagePaths.empty())
        PrintMessage(stdout, texts::SeveralPagesReport(outcome, "%1", language, seconds),
                     request.sheetName);
    else
        PrintMessage(
            stdout,
            texts::RunReport(language, "%1", request.cleanUnused, seconds, outcome.wroteBackup,
                             outcome.backupToCopyBack.empty() ? "" : "%2"),
            request.sheetName, outcome.backupToCopyBack);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Command command;
    if (int exitCode = ReadArguments(platform::ProgramArguments(argc, argv), command);
        exitCode >= 0)
        return exitCode;
    if (!InOneFolder(command.pages)) {
        PrintMessage(
            stderr,
            texts::RunErrorMessage(engine::RunError::PagesInSeveralFolders, "%1", command.language),
            "");
        return 2;
    }
    if (command.pages.size() == 1)
        command.request.pagePath = command.pages.front();
    else
        command.request.pagePaths = command.pages;
    double start = texts::SecondsOfDayNow();
    engine::RunOutcome outcome = Run(command);
    return Report(command, outcome, texts::ElapsedSeconds(start, texts::SecondsOfDayNow()));
}
