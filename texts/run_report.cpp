#include "texts/run_report.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "engine/run_paths.h"

namespace texts {

namespace {

TextId MessageOf(RunError error) {
    switch (error) {
        case RunError::NothingToExtract: return TextId::NothingToExtract;
        case RunError::PageMissing: return TextId::PageMissing;
        case RunError::PageIsFolder: return TextId::PageIsFolder;
        case RunError::BackupNotCreated: return TextId::BackupNotCreated;
        case RunError::PageNotRead: return TextId::PageNotRead;
        case RunError::SheetNameCollides: return TextId::SheetNameCollides;
        case RunError::StyleBlockUnclosed: return TextId::StyleBlockUnclosed;
        case RunError::BracesMismatch: return TextId::BracesMismatch;
        case RunError::SheetNotOurs: return TextId::SheetNotOurs;
        case RunError::ScriptNotOurs: return TextId::ScriptNotOurs;
        case RunError::PageConvertedBefore: return TextId::PageConvertedBefore;
        case RunError::SheetOfOtherPage: return TextId::SheetOfOtherPage;
        case RunError::FileNotWritten: return TextId::FileNotWritten;
        case RunError::FolderBusy: return TextId::FolderBusy;
        case RunError::SheetExists: return TextId::SheetExists;
        case RunError::PageReplaced: return TextId::PageReplaced;
        case RunError::BackupNotOurs: return TextId::BackupNotOurs;
        case RunError::SheetNameInvalid: return TextId::SheetNameInvalid;
        case RunError::Stopped: return TextId::Stopped;
        case RunError::PageDamaged: return TextId::PageDamaged;
        case RunError::PagesInSeveralFolders: return TextId::PagesInSeveralFolders;
        case RunError::NoPageInFolder: return TextId::NoPageInFolder;
        case RunError::OutOfMemory:
        case RunError::None: break;
    }
    return TextId::OutOfMemory;
}

// The report's last line: the time the run took.
std::string TimeLine(Language language, long elapsedSeconds) {
    return Text(TextId::ReportTimeLabel, language) + std::to_string(elapsedSeconds) +
           Text(TextId::ReportTimeUnit, language);
}

}  // namespace

std::string RunErrorMessage(RunError error, std::string_view path, Language language,
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

std::string RunErrorMessage(const RunOutcome& outcome, Language language) {
    // Several pages with nothing to extract are named by their count and folder.
    if (outcome.error == RunError::NothingToExtract && outcome.pages.size() > 1)
        return WithArguments(Text(TextId::NothingToExtractInPages, language),
                             std::to_string(outcome.pages.size()), FolderShown(outcome.path));
    return RunErrorMessage(outcome.error, outcome.path, language, outcome.otherPath,
                           outcome.diskFull);
}

bool MessageConcernsSheetName(const RunOutcome& outcome, std::string_view sheetPath) {
    switch (outcome.error) {
        case RunError::SheetNameInvalid:
        case RunError::SheetNameCollides:
        case RunError::SheetNotOurs:
        case RunError::SheetExists:
        case RunError::SheetOfOtherPage:
        case RunError::PageConvertedBefore: return true;
        case RunError::FileNotWritten: return outcome.path == sheetPath;
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

std::string SeveralPagesReport(const RunOutcome& outcome, std::string_view sheetName,
                               Language language, long elapsedSeconds) {
    size_t empty = 0;
    for (const PageResult& page : outcome.pages)
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

std::string PageResultLine(const PageResult& page, Language language) {
    std::string name = page.page.substr(PageFolder(page.page).size());
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
