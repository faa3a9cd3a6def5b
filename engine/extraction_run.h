// The extraction run: moves a page's CSS into one external style sheet.
#pragma once

#include <string>

#include "engine/run_error.h"

struct RunRequest {
    std::string pagePath;
    std::string sheetName = "styles.css";
    bool cleanUnused = true;
};

// Runs the whole extraction on disk. Either every output (backup, rewritten page, restore
// script, style sheet) is written, or no file is changed and the outcome says why.
RunOutcome RunExtraction(const RunRequest& request);
