#include "engine/extraction_run.h"

#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "engine/header_extraction.h"
#include "engine/output_writing.h"
#include "engine/page_rewriting.h"
#include "engine/restore_script.h"
#include "engine/run_paths.h"
#include "engine/unused_cleaning.h"
#include "platform/files.h"

namespace {

// Each phase's share of a run, from the times of runs on big pages: reading the page, rewriting
// it, cleaning the unused rules, then writing the outputs.
constexpr double kPageRead = 0.05;
constexpr double kPageRewritten = 0.70;
constexpr double kRulesCleaned = 0.85;

// A file the run would replace, as it is before the run.
struct EarlierFile {
    std::string bytes;  // before `state`, which is read into it
    files::ReadResult state;

    explicit EarlierFile(const std::string& path) : state(files::ReadIfPresent(path, bytes)) {}
    bool Exists() const { return state == files::ReadResult::Read; }
    const std::string* Bytes() const { return Exists() ? &bytes : nullptr; }
};

// The style sheet must not take the place of the run's other files.
bool SheetNameCollides(const RunState& state, const std::string& sheetPath) {
    return files::SamePath(sheetPath, state.pagePath) ||
           files::SamePath(sheetPath, state.backupPath) ||
           files::SamePath(sheetPath, RestoreScriptPath(state.pageFolder));
}

// The page, as read, links the style sheet: it was converted to it by an earlier run.
bool PageLinksSheet(const RunState& state, const std::string& sheetPath) {
    for (const std::string& href : state.linkHrefs)
        if (files::SamePath(SheetPath(state.pageFolder, SheetNameOfHref(href)), sheetPath))
            return true;
    return false;
}

// This run's conversion, then the conversions in place of other pages that the earlier script
// undoes (those whose backup still exists). When the earlier script undoes a conversion of this
// same page, its backup holds the page as it was before any run: it is kept, and the sheets of
// that conversion are deleted with this run's. Fails when another page's conversion needs the
// style sheet.
RunOutcome ConversionsToRestore(const RunState& state, const std::string& sheetPath,
                                const std::vector<Conversion>& earlier,
                                std::vector<Conversion>& conversions, bool& keepsEarlierBackup) {
    Conversion thisRun{state.backupPath, state.pagePath, {sheetPath}};
    keepsEarlierBackup = false;
    conversions.clear();
    for (const Conversion& conversion : earlier) {
        if (!files::Exists(conversion.backupPath)) continue;  // undone or given up
        if (files::SamePath(conversion.pagePath, state.pagePath)) {
            thisRun.backupPath = conversion.backupPath;
            keepsEarlierBackup = true;
            for (const std::string& sheet : conversion.sheetPaths)
                if (!files::SamePath(sheet, sheetPath)) thisRun.sheetPaths.push_back(sheet);
            continue;
        }
        for (const std::string& sheet : conversion.sheetPaths)
            if (files::SamePath(sheet, sheetPath))
                return {RunError::SheetOfOtherPage, sheetPath, conversion.pagePath};
        conversions.push_back(conversion);
    }
    conversions.insert(conversions.begin(), std::move(thisRun));
    return {};
}

RunOutcome RunPhases(const RunRequest& request) {
    RunState state;
    state.pagePath = request.pagePath;
    state.progress = RunProgress(request.progress);
    if (!files::Exists(state.pagePath)) return {RunError::PageMissing, state.pagePath};
    if (files::IsFolder(state.pagePath)) return {RunError::PageIsFolder, state.pagePath};
    if (!files::ReadWhole(state.pagePath, state.pageText))
        return {RunError::PageNotRead, state.pagePath};
    state.progress.StartPhase(kPageRead, kPageRewritten, state.pageText.size());

    state.pageFolder = PageFolder(state.pagePath);
    state.sheetName = request.sheetName;
    state.backupPath = BackupPath(state.pagePath);
    const std::string sheetPath = SheetPath(state.pageFolder, state.sheetName);
    const std::string scriptPath = RestoreScriptPath(state.pageFolder);
    if (SheetNameCollides(state, sheetPath)) return {RunError::SheetNameCollides, state.pagePath};

    if (RunError error = RewritePage(state); error != RunError::None)
        return {error, state.pagePath};
    if (!state.hasHeaderBlock && state.convertedStyles == 0)
        return {RunError::NothingToExtract, state.pagePath};

    // Nothing is written over a file the tool did not write, nor over an earlier run's work.
    EarlierFile sheet(sheetPath);
    if (sheet.state == files::ReadResult::Failed) return {RunError::FileNotWritten, sheetPath};
    if (sheet.Exists() && !HoldsInlineCommentLine(sheet.bytes))
        return {RunError::SheetNotOurs, sheetPath};
    EarlierFile script(scriptPath);
    std::vector<Conversion> earlierConversions;
    if (script.state == files::ReadResult::Failed) return {RunError::FileNotWritten, scriptPath};
    if (script.Exists() && !ReadRestoreScript(script.bytes, earlierConversions))
        return {RunError::ScriptNotOurs, scriptPath};
    if (sheet.Exists() && PageLinksSheet(state, sheetPath))
        return {RunError::PageConvertedBefore, state.pagePath, sheetPath};
    std::vector<Conversion> conversions;
    bool keepsEarlierBackup = false;
    RunOutcome refusal =
        ConversionsToRestore(state, sheetPath, earlierConversions, conversions, keepsEarlierBackup);
    if (refusal.error != RunError::None) return refusal;
    std::vector<OutputFile> outputs;
    std::optional<EarlierFile> backup;
    if (!keepsEarlierBackup) {
        backup.emplace(state.backupPath);
        if (backup->state == files::ReadResult::Failed)
            return {RunError::BackupNotCreated, state.backupPath};
        outputs.push_back(
            {state.backupPath, state.originalPage, backup->Bytes(), RunError::BackupNotCreated});
    }

    std::string scriptBytes;
    if (!RestoreScriptBytes(conversions, scriptPath, scriptBytes))
        return {RunError::FileNotWritten, scriptPath};
    state.progress.StartPhase(kPageRewritten, kRulesCleaned, state.pageText.size());
    if (request.cleanUnused) RemoveUnusedRules(state);
    std::string sheetText = StyleSheetText(state, request.cleanUnused);
    outputs.push_back({state.pagePath, state.pageText, &state.originalPage});
    outputs.push_back({scriptPath, scriptBytes, script.Bytes()});
    outputs.push_back({sheetPath, sheetText, sheet.Bytes()});
    size_t outputBytes = 0;
    for (const OutputFile& output : outputs) outputBytes += output.bytes.size();
    state.progress.StartPhase(kRulesCleaned, 1, outputBytes);
    RunOutcome written = WriteOutputs(outputs, &state.progress);
    if (written.error == RunError::None) state.progress.Finish();
    return written;
}

}  // namespace

RunOutcome RunExtraction(const RunRequest& request) {
    try {
        return RunPhases(request);
    } catch (const std::bad_alloc&) {
        return {RunError::OutOfMemory, request.pagePath};
    } catch (const std::length_error&) {
        return {RunError::OutOfMemory, request.pagePath};
    }
}
