// The outputs of a run: the rewritten page, the restore script and the style sheet.
#pragma once

#include <string>
#include <string_view>

#include "engine/extraction_run.h"
#include "engine/run_state.h"

// The four lines of restore_backup.bat, in the code page of the command interpreter.
std::string RestoreScriptText(const RunState& state);

// The style sheet: in the plain layout the header CSS text as the page held it, in the
// cleaned layout the header rules one by one; then the inline classes.
std::string StyleSheetText(const RunState& state, bool cleanedLayout);

// Writes the three outputs, each first to a temporary file beside its target, then moves
// them over their targets in the order page, script, sheet. On any failure nothing is left
// changed: temporaries are removed and the page gets its `originalPage` bytes back.
RunOutcome WriteOutputs(const RunState& state, std::string_view originalPage,
                        std::string_view scriptText, std::string_view sheetText);
