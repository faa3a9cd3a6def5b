// Runs the extraction on a page written into a scratch folder and reads back every output.
#pragma once

#include <string>
#include <string_view>

#include "engine/extraction_run.h"
#include "engine/run_state.h"
#include "tests/support/scratch_folder.h"

struct PageRun {
    RunOutcome outcome;
    std::string page;    // the page file after the run
    std::string sheet;   // the style sheet, empty when none was written
    std::string script;  // restore_backup.bat, empty when none was written
};

PageRun RunOnPage(const ScratchFolder& folder, std::string_view pageText, bool cleanUnused = true,
                  std::string_view sheetName = "styles.css",
                  std::string_view pageName = "page.html");

// The run state once the page text `page` has gone through every rewriting phase in memory,
// for a sheet named styles.css; the phases must end with `expected`.
RunState RewrittenState(std::string page, RunError expected = RunError::None);

// The inline comment line of every style sheet, with its CR LF.
std::string InlineCommentLine();
std::string InternalCommentLine();
