// The extraction run: moves a page's CSS into one external style sheet.
#pragma once

#include <string>

#include "engine/run_state.h"

enum class RunError {
    None,
    PageMissing,         // the page path names nothing on disk
    BackupNotCreated,    // the backup copy could not be made
    PageNotRead,         // the page could not be read
    SheetNameCollides,   // the style sheet would replace the page, its backup or the script
    StyleBlockUnclosed,  // the header style block has no closing tag
    BracesMismatch,      // the header CSS holds unequal numbers of { and }
    FileNotWritten,      // an output could not be written; the page was left unchanged
    OutOfMemory,
};

struct RunRequest {
    std::string pagePath;
    std::string sheetName = "styles.css";
    bool cleanUnused = true;
};

struct RunOutcome {
    RunError error = RunError::None;
    std::string path;  // the file that the error message names (page, backup or output)
};

// Runs the whole extraction on disk. Either every output (rewritten page, restore script,
// style sheet) is written, or the page is left as it was and the outcome names the error.
RunOutcome RunExtraction(const RunRequest& request);

// The rewriting of a run, in memory: lang attributes stripped, the header style block
// replaced by the link element and cut into rules, style attributes turned into classes.
// Needs the page text and the output sheet name of `state`; fills the rest.
RunError RewritePage(RunState& state);
