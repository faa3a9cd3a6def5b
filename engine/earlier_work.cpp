#include "engine/earlier_work.h"

#include "engine/link_element.h"
#include "engine/output_writing.h"
#include "platform/files.h"

namespace engine {

namespace {

// The page, as read, links the style sheet: it was converted to it by an earlier run.
bool PageLinksSheet(const std::vector<std::string>& linkHrefs, const std::string& folder,
                    const std::string& sheet) {
    for (const std::string& href : linkHrefs)
        if (platform::SamePath(SheetPath(folder, SheetNameOfHref(href)), sheet)) return true;
    return false;
}

// Gives each listed conversion of a page of the run to that page; the others' conversions stay
// with the first, unless they list the run's sheet.
RunOutcome SortConversions(const std::vector<RunFiles>& runs, const std::vector<Conversion>& listed,
                           std::vector<EarlierWork>& earlier) {
    const std::string& sheetPath = runs.front().sheet;
    for (const Conversion& conversion : listed) {
        if (!platform::Exists(conversion.backupPath)) continue;  // undone or given up
        size_t page = 0;
        while (page < runs.size() && !platform::SamePath(conversion.pagePath, runs[page].page))
            ++page;
        if (page < runs.size()) {
            earlier[page].ofPage = {conversion};
            for (const std::string& sheet : conversion.sheetPaths)
                earlier[page].listsSheetForPage =
                    earlier[page].listsSheetForPage || platform::SamePath(sheet, sheetPath);
            continue;
        }
        for (const std::string& sheet : conversion.sheetPaths)
            if (platform::SamePath(sheet, sheetPath))
                return {RunError::SheetOfOtherPage, sheetPath, conversion.pagePath};
        earlier.front().others.push_back(conversion);
    }
    return {};
}

// What stands at the page's backup path must be the backup of its earlier conversion.
RunOutcome RefuseBackupPath(const RunFiles& run, const EarlierWork& earlier) {
    if (earlier.ofPage.empty() && platform::IsFolder(run.backup))
        return {RunError::BackupNotCreated, run.backup};
    if (earlier.ofPage.empty() && platform::Exists(run.backup))
        return {RunError::BackupNotOurs, run.backup};
    return {};
}

}  // namespace

RunOutcome ReadEarlierWork(const RunFiles& run, EarlierWork& earlier) {
    std::vector<EarlierWork> read;
    RunOutcome outcome = ReadEarlierWork(std::vector<RunFiles>{run}, read);
    earlier = std::move(read.front());
    return outcome;
}

RunOutcome ReadEarlierWork(const std::vector<RunFiles>& runs, std::vector<EarlierWork>& earlier) {
    const RunFiles& run = runs.front();
    earlier.assign(runs.size(), {});
    std::string bytes;
    platform::ReadResult sheet = platform::ReadIfPresent(run.sheet, bytes);
    if (sheet == platform::ReadResult::Failed) return {RunError::FileNotWritten, run.sheet};
    bool sheetExists = sheet == platform::ReadResult::Read;
    if (sheetExists && !HoldsInlineCommentLine(bytes)) return {RunError::SheetNotOurs, run.sheet};

    std::vector<Conversion> listed;
    platform::ReadResult script = platform::ReadIfPresent(run.script, bytes);
    if (script == platform::ReadResult::Failed) return {RunError::FileNotWritten, run.script};
    bool scriptExists = script == platform::ReadResult::Read;
    if (scriptExists && !ReadRestoreScript(bytes, listed))
        return {RunError::ScriptNotOurs, run.script};
    if (RunOutcome refusal = SortConversions(runs, listed, earlier);
        refusal.error != RunError::None)
        return refusal;
    // A sheet is replaced only as the sheet of an earlier conversion of the run's pages.
    bool listsSheet = false;
    for (EarlierWork& page : earlier) {
        page.sheetExists = sheetExists;
        page.scriptExists = scriptExists;
        listsSheet = listsSheet || page.listsSheetForPage;
    }
    if (sheetExists && !listsSheet) return {RunError::SheetExists, run.sheet};
    for (size_t i = 0; i < runs.size(); ++i)
        if (RunOutcome refusal = RefuseBackupPath(runs[i], earlier[i]);
            refusal.error != RunError::None)
            return refusal;
    return {};
}

RunOutcome JudgeAgainstPage(const std::vector<std::string>& linkHrefs, std::string_view pageBytes,
                            const RunFiles& run, EarlierWork& earlier) {
    if (earlier.sheetExists && PageLinksSheet(linkHrefs, run.folder, run.sheet))
        return {RunError::PageConvertedBefore, run.page, run.sheet};
    earlier.keepsBackup = false;
    if (earlier.ofPage.empty()) return {};
    std::string backup;
    if (!platform::ReadWhole(run.backup, backup)) return {RunError::BackupNotCreated, run.backup};
    // A backup that holds the page as it is now is one a run made and never committed (killed
    // before the page was replaced), or the page was put back by hand: it is written again,
    // and nothing is lost.
    earlier.staleBackup = backup == pageBytes;
    if (earlier.staleBackup) return {};
    bool linksAny = false;
    for (const std::string& sheet : earlier.ofPage.front().sheetPaths)
        linksAny = linksAny || PageLinksSheet(linkHrefs, run.folder, sheet);
    if (!linksAny) return {RunError::PageReplaced, run.page, run.backup};
    earlier.keepsBackup = true;
    return {};
}

RunOutcome RemoveStaleBackup(const RunFiles& run, const EarlierWork& earlier) {
    if (earlier.staleBackup && !platform::Remove(run.backup))
        return {RunError::BackupNotCreated, run.backup};
    return {};
}

Conversion ConversionOfRun(const RunFiles& run, const std::vector<std::string>& sheets,
                           const EarlierWork& earlier) {
    Conversion conversion{run.backup, run.page, sheets};
    for (const Conversion& before : earlier.ofPage)
        for (const std::string& sheet : before.sheetPaths) {
            bool listed = false;
            for (const std::string& now : sheets) listed = listed || platform::SamePath(sheet, now);
            if (!listed) conversion.sheetPaths.push_back(sheet);
        }
    return conversion;
}

std::vector<Conversion> ConversionsToRestore(const RunFiles& run, const EarlierWork& earlier) {
    std::vector<Conversion> conversions = {ConversionOfRun(run, {run.sheet}, earlier)};
    conversions.insert(conversions.end(), earlier.others.begin(), earlier.others.end());
    return conversions;
}

}  // namespace engine
