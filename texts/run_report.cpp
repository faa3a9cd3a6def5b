#include "texts/run_report.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "engine/run_paths.h"

namespace texts {

namespace {

TextId MessageOf(engine::RunError error) {
    switch (error) {
        case engine::RunError::NothingToExtract: return TextId::NothingToExtract;
        case engine::RunError::PageMissing: return TextId::PageMissing;
        case engine::RunError::PageIsFolder: return TextId::PageIsFolder;
        case engine::RunError::BackupNotCreated: return TextId::BackupNotCreated;
        case engine::RunError::PageNotRead: return TextId::PageNotRead;
        case engine::RunError::SheetNameCollides: return TextId::SheetNameCollides;
        case engine::RunError::StyleBlockUnclosed: return TextId::StyleBlockUnclosed;
        case engine::RunError::BracesMismatch: return TextId::BracesMismatch;
        case engine::RunError::SheetNotOurs: return TextId::SheetNotOurs;
        case engine::RunError::ScriptNotOurs: return TextId::ScriptNotOurs;
        case engine::RunError::PageConvertedBefore: return TextId::PageConvertedBefore;
        case engine::RunError::SheetOfOtherPage: return TextId::SheetOfOtherPage;
        case engine::RunError::FileNotWritten: return TextId::FileNotWritten;
        case engine::RunError::FolderBusy: return TextId::FolderBusy;
        case engine::RunError::SheetExists: return TextId::SheetExists;
        case engine::RunError::PageReplaced: return TextId::PageReplaced;
        case engine::RunError::BackupNotOurs: return TextId::BackupNotOurs;
        case engine::RunError::SheetNameInvalid: return TextId::SheetNameInvalid;
        case engine::RunError::Stopped: return TextId::Stopped;
        case engine::RunError::PageDamaged: return TextId::PageDamaged;
        case engine::RunError::PagesInSeveralFolders: return TextId::PagesInSeveralFolders;
        case engine::RunError::NoPageInFolder: return TextId::NoPageInFolder;
        case engine::RunError::OutOfMemory:
        case engine::RunError::None: break;
    }
    return TextId::OutOfMemory;
}

// The report's last line: the time the run took.
std::string TimeLine(Language language, long elapsedSeconds) {
    return Text(TextId::ReportTimeLabel, language) + std::to_string(elapsedSeconds) +
           Text(TextId::ReportTimeUnit, language);
}

}  // namespace

std::string RunErrorMessage(engine::RunError error, std::string_view path, Language language,
                            std::string_view otherPath, bool diskFull) {
    std::string message = WithArguments(Text(MessageOf(error), language), path, otherPath);
    if (diskFull) {
        message += '\r';
        message += Text(TextId::DiskFull, language);
    }
    return message;
}

// A folder as the user names it: without its last separator, unless that is all of it or
// follows a drive ("C:\\").
std::string FolderShown(std::string folder) {
    if (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') &&
        folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

std::string RunErrorMessage(const engine::RunOutcome& outcome, Language language) {
    // Several pages with nothing to extract are named by their count and folder.
    if (outcome.error == engine::RunError::NothingToExtract && outcome.pages.size() > 1)
        return WithArguments(Text(TextId::NothingToExtractInPages, language),
                             std::to_string(outcome.pages.size()), FolderShown(outcome.path));
    return RunErrorMessage(outcome.error, outcome.path, language, outcome.otherPath,
                           outcome.diskFull);
}

bool MessageConcernsSheetName(const engine::RunOutcome& outcome, std::string_view sheetPath) {
    switch (outcome.error) {
        case engine::RunError::SheetNameInvalid:
        case engine::RunError::SheetNameCollides:
        case engine::RunError::SheetNotOurs:
        case engine::RunError::SheetExists:
        case engine::RunError::SheetOfOtherPage:
        case engine::RunError::PageConvertedBefore: return true;
        case engine::RunError::FileNotWritten: return outcome.path == sheetPath;
        default: return false;
    }
}

std::string RunReport(Language language, std::string_view sheetName, bool cleaned,
                      long elapsedSeconds, bool wroteBackup, std::string_view backupToCopyBack) {
    std::string report = Text(TextId::ReportBeforeName, language);
    report += '"';
    report += sheetName;
    report += '"';
    report += Text(TextId::ReportAfterName, language);
    report += '\r';
    if (cleaned) {
        report += Text(TextId::ReportCleaned, language);
        report += '\r';
    }
    report += '\r';
    if (wroteBackup) {
        report += Text(TextId::ReportBackup, language);
        report += "\r\r";
    }
    if (!backupToCopyBack.empty()) {
        report += WithArguments(Text(TextId::ReportCopyBackByHand, language), backupToCopyBack);
        report += "\r\r";
    }
    report += TimeLine(language, elapsedSeconds);
    return report;
}

std::string SeveralPagesReport(const engine::RunOutcome& outcome, std::string_view sheetName,
                               Language language, long elapsedSeconds) {
    size_t empty = 0;
    for (const engine::PageResult& page : outcome.pages)
        if (page.nothingToExtract) ++empty;
    std::string converted = std::to_string(outcome.pages.size() - empty);
    std::string report =
        WithArguments(Text(TextId::SeveralPagesReport, language),
                      {converted, sheetName, std::to_string(outcome.inlineClasses),
                       std::to_string(outcome.headerSheets), std::to_string(empty)});
    report += '\r';
    if (outcome.wroteBackup) {
        report += Text(TextId::ReportBackup, language);
        report += '\r';
    }
    if (!outcome.backupToCopyBack.empty()) {
        report +=
            WithArguments(Text(TextId::ReportCopyBackByHand, language), outcome.backupToCopyBack);
        report += '\r';
    }
    return report + TimeLine(language, elapsedSeconds);
}

std::string PageResultLine(const engine::PageResult& page, Language language) {
    std::string name = page.page.substr(engine::PageFolder(page.page).size());
    if (page.nothingToExtract)
        return WithArguments(Text(TextId::PageNothingToExtract, language), name);
    return WithArguments(Text(TextId::PageBytes, language),
                         {name, std::to_string(page.bytesBefore), std::to_string(page.bytesAfter)});
}

double SecondsOfDayNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t whole = system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &whole);
#else
    localtime_r(&whole, &local);
#endif
    auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + millis / 1000.0;
}

long ElapsedSeconds(double startSecondOfDay, double endSecondOfDay) {
    // std::nearbyint rounds halves to even in the default rounding mode.
    double start = std::nearbyint(startSecondOfDay);
    return static_cast<long>(std::nearbyint(std::fabs(endSecondOfDay - start)));
}

}  // namespace texts
