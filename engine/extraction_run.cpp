#include "engine/extraction_run.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/earlier_work.h"
#include "engine/folder_locks.h"
#include "engine/output_commit.h"
#include "engine/output_writing.h"
#include "engine/page_coding.h"
#include "engine/page_rewriting.h"
#include "engine/page_set.h"
#include "engine/restore_script.h"
#include "engine/run_paths.h"
#include "engine/unused_cleaning.h"
#include "platform/files.h"

namespace engine {

namespace {

// Each phase's share of a run, from the times of runs on big pages: reading the page, rewriting
// it, cleaning the unused rules, then writing the outputs.
constexpr double kPageRead = 0.05;
constexpr double kPageRewritten = 0.70;
constexpr double kRulesCleaned = 0.85;

// The page of a run over one page, as read, and what its rewriting made of it. Its rewrite and
// its classes refer to its text: it stays where it was made.
struct OnePage {
    std::string text;   // as the run reads it
    std::string bytes;  // its file, when the run reads it in another coding
    PageCoding coding = PageCoding::AsIs;
    InlineClasses classes;
    PageRewrite rewrite;

    OnePage() = default;
    OnePage(const OnePage&) = delete;
    OnePage& operator=(const OnePage&) = delete;

    // The bytes of its file, as read.
    std::string_view FileBytes() const { return FileBytesOf(coding, text, bytes); }
};

// Reads the page and rewrites it in memory. A page in a coding of its own is rewritten in the
// form the run reads.
RunOutcome ConvertPage(const RunFiles& run, std::string_view sheetName, OnePage& page,
                       RunProgress& progress) {
    if (!ReadPageText(run.page, page.text, page.bytes, page.coding))
        return {RunError::PageNotRead, run.page};
    progress.StartPhase(kPageRead, kPageRewritten, page.text.size());
    page.rewrite = RewritePage(page.text, sheetName, page.classes, progress);
    if (page.rewrite.error != RunError::None) return {page.rewrite.error, run.page};
    if (!page.rewrite.hasHeaderBlock && page.rewrite.convertedStyles == 0)
        return {RunError::NothingToExtract, run.page};
    return {};
}

// Writes the outputs as one transaction, the page last.
RunOutcome WriteOutputs(const RunRequest& request, const RunFiles& run, const EarlierWork& earlier,
                        OnePage& page, RunProgress& progress) {
    std::string scriptBytes;
    std::vector<std::string> unrestorable;
    if (!RestoreScriptBytes(ConversionsToRestore(run, earlier), run.script, scriptBytes,
                            &unrestorable))
        return {RunError::FileNotWritten, run.script};
    PageRewrite& rewrite = page.rewrite;
    progress.StartPhase(kPageRewritten, kRulesCleaned, rewrite.text.size());
    if (request.cleanUnused) RemoveUnusedRules(rewrite.header, rewrite.text, progress);
    const std::string sheetText =
        SheetBytes(StyleSheetText(rewrite.header, page.classes, rewrite.classForm, rewrite.encoding,
                                  request.cleanUnused),
                   page.coding);
    if (page.coding != PageCoding::AsIs) rewrite.text = FromRunText(rewrite.text, page.coding);
    std::vector<OutputFile> outputs;
    outputs.push_back({run.script, scriptBytes, earlier.scriptExists});
    if (!earlier.keepsBackup)
        outputs.push_back({run.backup, {}, false, true, RunError::BackupNotCreated});
    outputs.push_back({run.sheet, sheetText, earlier.sheetExists});
    progress.StartPhase(kRulesCleaned, 1,
                        scriptBytes.size() + sheetText.size() + rewrite.text.size());
    RunOutcome written = CommitOutputs(
        outputs, PageOutput{run.pageFile, rewrite.text, page.FileBytes(), {}}, &progress);
    if (written.error != RunError::None) return written;
    progress.Finish();
    for (const std::string& path : unrestorable)
        if (platform::SamePath(path, run.page)) written.backupToCopyBack = run.backup;
    return written;
}

// Everything that can be refused without the page's contents is refused before it is read.
RunOutcome RunPhases(const RunRequest& request) {
    const RunFiles run = FilesOfRun(request.pagePath, request.sheetName);
    if (RunOutcome refusal = RefuseFilesOfRun(request.sheetName, run);
        refusal.error != RunError::None)
        return refusal;
    FolderLocks locks;
    RunOutcome locked =
        LockFolders(request,
                    {{run.folder, {RunError::BackupNotCreated, run.backup}},
                     {PageFolder(run.sheet), {RunError::FileNotWritten, run.sheet}},
                     {PageFolder(run.pageFile), {RunError::FileNotWritten, run.pageFile}}},
                    locks);
    if (locked.error != RunError::None) return locked;
    EarlierWork earlier;
    if (RunOutcome refusal = ReadEarlierWork(run, earlier); refusal.error != RunError::None)
        return refusal;

    RunProgress progress(request.progress, request.stop);
    OnePage page;
    if (RunOutcome converted = ConvertPage(run, request.sheetName, page, progress);
        converted.error != RunError::None)
        return converted;
    if (RunOutcome refusal =
            JudgeAgainstPage(page.rewrite.linkHrefs, page.FileBytes(), run, earlier);
        refusal.error != RunError::None)
        return refusal;
    if (RunOutcome failure = RemoveStaleBackup(run, earlier); failure.error != RunError::None)
        return failure;
    return WriteOutputs(request, run, earlier, page, progress);
}

}  // namespace

RunOutcome RunExtraction(const RunRequest& request) {
    try {
        if (request.pagePaths.size() > 1) return RunPageSet(request);
        if (request.pagePaths.size() == 1) {
            RunRequest onePage = request;
            onePage.pagePath = request.pagePaths.front();
            onePage.pagePaths.clear();
            return RunPhases(onePage);
        }
        return RunPhases(request);
    } catch (const RunStopped&) {
        return {RunError::Stopped, request.pagePath};
    } catch (const std::bad_alloc&) {
        return {RunError::OutOfMemory, request.pagePath};
    } catch (const std::length_error&) {
        return {RunError::OutOfMemory, request.pagePath};
    }
}

std::vector<std::string> PagesInFolder(const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.empty() && prefix.find_last_of(platform::kFolderSeparators) != prefix.size() - 1)
        prefix += platform::kFolderSeparators[0];
    std::vector<std::string> names = platform::FolderEntries(prefix, "");
    auto isPage = [](const std::string& name) {
        size_t dot = name.rfind('.');
        return dot != std::string::npos && dot > 0 &&
               (EqualsNoCase(std::string_view(name).substr(dot), ".htm") ||
                EqualsNoCase(std::string_view(name).substr(dot), ".html"));
    };
    std::vector<std::string> pages;
    for (const std::string& name : names)
        if (isPage(name) && !platform::IsFolder(prefix + name)) pages.push_back(prefix + name);
    std::sort(pages.begin(), pages.end());
    // The backup of another page there is none of the folder's pages.
    std::vector<std::string> backups;
    for (const std::string& page : pages) backups.push_back(BackupPath(page));
    pages.erase(std::remove_if(pages.begin(), pages.end(),
                               [&](const std::string& page) {
                                   return std::find(backups.begin(), backups.end(), page) !=
                                          backups.end();
                               }),
                pages.end());
    return pages;
}

}  // namespace engine
