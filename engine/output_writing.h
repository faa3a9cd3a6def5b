// The outputs of a run: the style sheet's text, and the writing of every file as one set.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/run_error.h"
#include "engine/run_state.h"

// The style sheet: in the plain layout the header CSS text as the page held it, in the
// cleaned layout the header rules one by one; then the inline classes.
std::string StyleSheetText(const RunState& state, bool cleanedLayout);

// True when `sheet` holds the inline comment line as a whole line, as every sheet the tool
// writes does.
bool HoldsInlineCommentLine(std::string_view sheet);

// One file a run writes, with what it held before the run.
struct OutputFile {
    std::string path;
    std::string_view bytes;
    const std::string* earlier = nullptr;  // its bytes before the run; nullptr when it was absent
    RunError error = RunError::FileNotWritten;  // the error reported when it cannot be written
};

// Writes the files as one set: each first to a temporary beside it, then moved over its path,
// in the order given. On any failure every file is left as it was before the run: temporaries
// are removed, files already replaced get their earlier bytes back and new ones are deleted.
// Tells `progress`, when given, how many of the outputs' bytes are written, file by file.
RunOutcome WriteOutputs(const std::vector<OutputFile>& outputs, RunProgress* progress = nullptr);
