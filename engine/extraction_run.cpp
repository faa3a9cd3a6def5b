#include "engine/extraction_run.h"

#include <new>
#include <stdexcept>

#include "engine/header_extraction.h"
#include "engine/inline_styles.h"
#include "engine/lang_stripping.h"
#include "engine/output_writing.h"
#include "engine/rule_parsing.h"
#include "engine/run_paths.h"
#include "engine/unused_cleaning.h"
#include "platform/files.h"

namespace {

// The style sheet must not take the place of the run's other files.
bool SheetNameCollides(const RunState& state) {
    std::string sheet = SheetPath(state.pageFolder, state.sheetName);
    return files::SamePath(sheet, state.pagePath) || files::SamePath(sheet, state.backupPath) ||
           files::SamePath(sheet, RestoreScriptPath(state.pageFolder));
}

RunOutcome RunPhases(const RunRequest& request) {
    RunState state;
    state.pagePath = request.pagePath;
    if (!files::Exists(state.pagePath)) return {RunError::PageMissing, state.pagePath};

    state.backupPath = BackupPath(state.pagePath);
    if (!files::CopyReplacing(state.pagePath, state.backupPath))
        return {RunError::BackupNotCreated, state.backupPath};

    if (!files::ReadWhole(state.pagePath, state.pageText))
        return {RunError::PageNotRead, state.pagePath};
    const std::string originalPage = state.pageText;

    state.pageFolder = PageFolder(state.pagePath);
    state.sheetName = request.sheetName;
    if (SheetNameCollides(state)) return {RunError::SheetNameCollides, state.pagePath};

    if (RunError error = RewritePage(state); error != RunError::None)
        return {error, state.pagePath};

    std::string script = RestoreScriptText(state);
    if (request.cleanUnused) RemoveUnusedRules(state);
    std::string sheet = StyleSheetText(state, request.cleanUnused);
    return WriteOutputs(state, originalPage, script, sheet);
}

}  // namespace

RunError RewritePage(RunState& state) {
    state.pageText = StripLangAttributes(state.pageText);

    if (RunError error = ExtractHeaderStyleBlock(state); error != RunError::None) return error;
    if (!state.headerCss.empty()) {
        state.rules = ParseHeaderRules(state.headerCss);
        state.ruleCount = state.rules.size();
    }

    size_t converted = ConvertInlineStyles(state);
    if (converted > 0 && !state.hasHeaderBlock) InsertLinkElement(state);
    return RunError::None;
}

RunOutcome RunExtraction(const RunRequest& request) {
    try {
        return RunPhases(request);
    } catch (const std::bad_alloc&) {
        return {RunError::OutOfMemory, request.pagePath};
    } catch (const std::length_error&) {
        return {RunError::OutOfMemory, request.pagePath};
    }
}
