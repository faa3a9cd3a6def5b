// How a run ends: its error, if any, and the files the message about it names. Every phase
// that can end a run reports one of these.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace engine {

enum class RunError {
    None,
    NothingToExtract,     // not a failure: the page holds no CSS to move, so nothing was written
    PageMissing,          // the page path names nothing on disk
    PageIsFolder,         // the page path names a folder
    BackupNotCreated,     // the backup copy could not be made
    PageNotRead,          // the page could not be read
    SheetNameCollides,    // the style sheet would replace the page, its backup or the script
    StyleBlockUnclosed,   // the header style block has no closing tag
    BracesMismatch,       // the header CSS holds unequal numbers of { and }
    SheetNotOurs,         // a file the tool did not write is at the style sheet path
    ScriptNotOurs,        // restore_backup.bat is not in a form the tool writes
    PageConvertedBefore,  // the page already uses the existing sheet of an earlier run
    SheetOfOtherPage,     // the sheet belongs to another page's conversion in place
    FileNotWritten,       // an output could not be written; the page was left unchanged
    OutOfMemory,
    FolderBusy,        // another run held the folder for longer than a run may wait
    SheetExists,       // a sheet of the tool that no earlier conversion of this page wrote
    PageReplaced,      // a page converted before was saved again; its backup is older
    BackupNotOurs,     // a file the tool did not write is at the backup path
    SheetNameInvalid,  // the output name cannot name a file that a link finds
    Stopped,           // the run was asked to stop before its commit; nothing was changed
    PageDamaged,       // the page, rewritten in place, failed halfway; its backup and script stay
    PagesInSeveralFolders,  // the pages of one run are not all in one folder
    NoPageInFolder,         // the folder given holds no page (*.htm, *.html)
};

// What a run over several pages did with one of them.
struct PageResult {
    std::string page;
    unsigned long long bytesBefore = 0;  // the page's file as read
    unsigned long long bytesAfter = 0;   // as written; as read when nothing was extracted
    bool nothingToExtract = false;       // the page held no CSS to move and was left alone
};

struct RunOutcome {
    RunOutcome(RunError error = RunError::None, std::string path = {}, std::string otherPath = {})
        : error(error), path(std::move(path)), otherPath(std::move(otherPath)) {}

    RunError error;
    std::string path;          // the file that the message names first (page, backup or output)
    std::string otherPath;     // the second file it names, if any (the sheet or another page)
    bool diskFull = false;     // an output could not be written because the disk is full
    bool wroteBackup = false;  // a completed run wrote the page's backup (not an earlier one)
    // A completed run that restore_backup.bat cannot undo (a path the command interpreter opens
    // in no form): the backup to copy back by hand.
    std::string backupToCopyBack;
    // Of a completed run over several pages: each page, in the run's order; the inline classes
    // of the shared sheet; the header sheets written.
    std::vector<PageResult> pages;
    size_t inlineClasses = 0;
    size_t headerSheets = 0;
};

}  // namespace engine
