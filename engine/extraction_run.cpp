#include "engine/extraction_run.h"

#include <chrono>
#include <map>
#include <new>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "engine/header_extraction.h"
#include "engine/output_commit.h"
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

// What the earlier restore script says of this page and of the sheet.
struct EarlierConversions {
    std::vector<Conversion> others;      // of other pages, whose backups still exist
    const Conversion* ofPage = nullptr;  // of this page, whose backup still exists
    bool listsSheetForPage = false;      // the sheet is one that this page's conversion wrote
};

// Reads the earlier conversions against this run. Fails when another page's conversion needs
// the style sheet.
RunOutcome ReadEarlierConversions(const RunState& state, const std::string& sheetPath,
                                  const std::vector<Conversion>& earlier,
                                  EarlierConversions& found) {
    for (const Conversion& conversion : earlier) {
        if (!files::Exists(conversion.backupPath)) continue;  // undone or given up
        if (files::SamePath(conversion.pagePath, state.pagePath)) {
            found.ofPage = &conversion;
            for (const std::string& sheet : conversion.sheetPaths)
                found.listsSheetForPage =
                    found.listsSheetForPage || files::SamePath(sheet, sheetPath);
            continue;
        }
        for (const std::string& sheet : conversion.sheetPaths)
            if (files::SamePath(sheet, sheetPath))
                return {RunError::SheetOfOtherPage, sheetPath, conversion.pagePath};
        found.others.push_back(conversion);
    }
    return {};
}

// The page, as read, links one of the sheets of an earlier conversion.
bool PageLinksAnyOf(const RunState& state, const std::vector<std::string>& sheetPaths) {
    for (const std::string& sheet : sheetPaths)
        if (PageLinksSheet(state, sheet)) return true;
    return false;
}

// How the backup is had: an earlier conversion's backup, which holds the page as it was before
// any run, is kept; else the run writes one, where no other file may stand.
enum class Backup { Write, KeepEarlier };

RunOutcome ChooseBackup(const RunState& state, const EarlierConversions& earlier, Backup& backup) {
    backup = Backup::Write;
    if (earlier.ofPage != nullptr) {
        std::string earlierBackup;
        if (!files::ReadWhole(state.backupPath, earlierBackup))
            return {RunError::BackupNotCreated, state.backupPath};
        // A backup that holds the page as it is now is one a run made and never committed
        // (killed before the page was replaced), or the page was put back by hand: it is
        // written again, and nothing is lost.
        if (earlierBackup == state.originalPage) {
            if (!files::Remove(state.backupPath))
                return {RunError::BackupNotCreated, state.backupPath};
            return {};
        }
        if (!PageLinksAnyOf(state, earlier.ofPage->sheetPaths))
            return {RunError::PageReplaced, state.pagePath, state.backupPath};
        backup = Backup::KeepEarlier;
        return {};
    }
    if (files::IsFolder(state.backupPath)) return {RunError::BackupNotCreated, state.backupPath};
    if (files::Exists(state.backupPath)) return {RunError::BackupNotOurs, state.backupPath};
    return {};
}

// This run's conversion first, then the other pages' conversions that the script undoes. The
// sheets of this page's earlier conversion stay with this run's.
std::vector<Conversion> ConversionsToRestore(const RunState& state, const std::string& sheetPath,
                                             const EarlierConversions& earlier) {
    std::vector<Conversion> conversions = {{state.backupPath, state.pagePath, {sheetPath}}};
    if (earlier.ofPage != nullptr)
        for (const std::string& sheet : earlier.ofPage->sheetPaths)
            if (!files::SamePath(sheet, sheetPath)) conversions[0].sheetPaths.push_back(sheet);
    conversions.insert(conversions.end(), earlier.others.begin(), earlier.others.end());
    return conversions;
}

// The folders a run writes into, each held against other runs while it reads and writes.
struct FolderLocks {
    std::vector<files::FolderLock> held;
    FolderLocks() = default;
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;
    ~FolderLocks() {
        for (files::FolderLock& lock : held) files::UnlockFolder(lock);
    }
};

// Locks each folder, in one order for every run so that two runs never wait for each other in
// a ring; a folder another run holds is waited for, telling the request once.
RunOutcome LockFolders(const RunRequest& request,
                       const std::vector<std::pair<std::string, RunOutcome>>& folders,
                       FolderLocks& locks) {
    std::map<std::string, const std::pair<std::string, RunOutcome>*> ordered;
    for (const auto& folder : folders)
        ordered.emplace(files::AbsolutePath(folder.first.empty() ? "." : folder.first), &folder);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(request.folderWaitSeconds);
    bool toldWaiting = false;
    for (const auto& [absolute, folder] : ordered) {
        files::FolderLock lock;
        for (;;) {
            files::LockResult result = files::TryLockFolder(folder->first, lock);
            if (result == files::LockResult::Locked) break;
            if (result == files::LockResult::Failed) return folder->second;
            if (std::chrono::steady_clock::now() >= deadline)
                return {RunError::FolderBusy, folder->first.empty() ? absolute : folder->first};
            if (!toldWaiting && request.waiting) request.waiting();
            toldWaiting = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        locks.held.push_back(lock);
        ClearKilledRunFiles(folder->first);
    }
    return {};
}

RunOutcome RunPhases(const RunRequest& request) {
    RunState state;
    state.pagePath = request.pagePath;
    state.progress = RunProgress(request.progress);
    if (!files::Exists(state.pagePath)) return {RunError::PageMissing, state.pagePath};
    if (files::IsFolder(state.pagePath)) return {RunError::PageIsFolder, state.pagePath};
    if (!IsUsableSheetName(request.sheetName))
        return {RunError::SheetNameInvalid, request.sheetName};
    state.pageFolder = PageFolder(state.pagePath);
    state.sheetName = request.sheetName;
    state.backupPath = BackupPath(state.pagePath);
    const std::string sheetPath = SheetPath(state.pageFolder, state.sheetName);
    const std::string scriptPath = RestoreScriptPath(state.pageFolder);
    if (SheetNameCollides(state, sheetPath)) return {RunError::SheetNameCollides, state.pagePath};
    // A page that is a symbolic link stays one: the file it names is converted, while the
    // backup, the script and the sheet go beside the link, where the user sees the page.
    const std::string pageFile = files::ResolvedPath(state.pagePath);

    FolderLocks locks;
    RunOutcome locked =
        LockFolders(request,
                    {{state.pageFolder, {RunError::BackupNotCreated, state.backupPath}},
                     {PageFolder(sheetPath), {RunError::FileNotWritten, sheetPath}},
                     {PageFolder(pageFile), {RunError::FileNotWritten, pageFile}}},
                    locks);
    if (locked.error != RunError::None) return locked;

    if (!files::ReadWhole(state.pagePath, state.pageText))
        return {RunError::PageNotRead, state.pagePath};
    state.progress.StartPhase(kPageRead, kPageRewritten, state.pageText.size());
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
    std::vector<Conversion> listed;
    if (script.state == files::ReadResult::Failed) return {RunError::FileNotWritten, scriptPath};
    if (script.Exists() && !ReadRestoreScript(script.bytes, listed))
        return {RunError::ScriptNotOurs, scriptPath};
    if (sheet.Exists() && PageLinksSheet(state, sheetPath))
        return {RunError::PageConvertedBefore, state.pagePath, sheetPath};
    EarlierConversions earlier;
    if (RunOutcome refusal = ReadEarlierConversions(state, sheetPath, listed, earlier);
        refusal.error != RunError::None)
        return refusal;
    // A sheet is replaced only as the sheet of this page's own earlier conversion.
    if (sheet.Exists() && !earlier.listsSheetForPage) return {RunError::SheetExists, sheetPath};
    Backup backup = Backup::Write;
    if (RunOutcome refusal = ChooseBackup(state, earlier, backup); refusal.error != RunError::None)
        return refusal;

    std::string scriptBytes;
    std::vector<std::string> unrestorable;
    if (!RestoreScriptBytes(ConversionsToRestore(state, sheetPath, earlier), scriptPath,
                            scriptBytes, &unrestorable))
        return {RunError::FileNotWritten, scriptPath};
    state.progress.StartPhase(kPageRewritten, kRulesCleaned, state.pageText.size());
    if (request.cleanUnused) RemoveUnusedRules(state);
    const std::string sheetText = StyleSheetText(state, request.cleanUnused);
    std::vector<OutputFile> outputs;
    outputs.push_back({scriptPath, scriptBytes, script.Exists()});
    if (backup == Backup::Write)
        outputs.push_back({state.backupPath, {}, false, true, RunError::BackupNotCreated});
    outputs.push_back({sheetPath, sheetText, sheet.Exists()});
    size_t outputBytes = scriptBytes.size() + sheetText.size() + state.pageText.size();
    state.progress.StartPhase(kRulesCleaned, 1, outputBytes);
    RunOutcome written =
        CommitOutputs(outputs, {pageFile, state.pageText, state.originalPage}, &state.progress);
    if (written.error != RunError::None) return written;
    state.progress.Finish();
    for (const std::string& page : unrestorable)
        if (files::SamePath(page, state.pagePath)) written.backupToCopyBack = state.backupPath;
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
