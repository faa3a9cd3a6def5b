// What the user is told after a run: the error message or the run report, and its timing.
#pragma once

#include <string>
#include <string_view>

#include "engine/extraction_run.h"
#include "texts/strings.h"

namespace texts {

// The message of a run that wrote nothing (a failure, or nothing to extract), naming `path`
// and `otherPath` where the message has a place for them.
// A message whose cause was a full disk says so on a second line.
std::string RunErrorMessage(engine::RunError error, std::string_view path, Language language,
                            std::string_view otherPath = {}, bool diskFull = false);
std::string RunErrorMessage(const engine::RunOutcome& outcome, Language language);

// A folder as the user names it: without its last separator, unless that is all of it or
// follows a drive ("C:\\").
std::string FolderShown(std::string folder);

// Whether the message of a run that changed nothing is about the output sheet name (another
// name would do), so that the window puts the keyboard there. `sheetPath`: the sheet's file.
bool MessageConcernsSheetName(const engine::RunOutcome& outcome, std::string_view sheetPath);

// The report of a completed run; lines are separated by single CR characters. The backup
// sentence is there only when the run wrote the page's backup; a run that the restore script
// cannot undo names the backup to copy back by hand.
std::string RunReport(Language language, std::string_view sheetName, bool cleaned,
                      long elapsedSeconds, bool wroteBackup = true,
                      std::string_view backupToCopyBack = {});

// The report of a completed run over several pages: the pages converted into the shared sheet
// `sheetName`, its inline classes and the header sheets written, and the pages that held
// nothing to extract; then, as in RunReport, the backup sentence when the run wrote backups and
// the backup to copy back by hand, if any; then the time. Lines are separated by single CR
// characters.
std::string SeveralPagesReport(const engine::RunOutcome& outcome, std::string_view sheetName,
                               Language language, long elapsedSeconds);

// stylewick-cli's line for one page of a run over several pages: the page's file name and its
// bytes before and after the run, or that it held nothing to extract.
std::string PageResultLine(const engine::PageResult& page, Language language);

// Local time of day in seconds, with its millisecond fraction.
double SecondsOfDayNow();

// Whole seconds between two times of day: the start is rounded first, then the difference,
// both to the nearest whole number with halves to even (10.4 to 12.7 gives 3).
long ElapsedSeconds(double startSecondOfDay, double endSecondOfDay);

}  // namespace texts
