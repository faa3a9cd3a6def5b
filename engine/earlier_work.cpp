#include "engine/earlier_work.h"

#include "engine/header_extraction.h"
#include "engine/output_writing.h"
#include "platform/files.h"

namespace {

// The page, as read, links the style sheet: it was converted to it by an earlier run.
bool PageLinksSheet(const RunState& state, const std::string& folder, const std::string& sheet) {
    for (const std::string& href : state.linkHrefs)
        if (files::SamePath(SheetPath(folder, SheetNameOfHref(href)), sheet)) return true;
    return false;
}

RunOutcome SortConversions(const RunFiles& run, const std::vector<Conversion>& listed,
                           EarlierWork& earlier) {
    for (const Conversion& conversion : listed) {
        if (!files::Exists(conversion.backupPath)) continue;  // undone or given up
        if (files::SamePath(conversion.pagePath, run.page)) {
            earlier.ofPage = {conversion};
            for (const std::string& sheet : conversion.sheetPaths)
                earlier.listsSheetForPage =
                    earlier.listsSheetForPage || files::SamePath(sheet, run.sheet);
            continue;
        }
        for (const std::string& sheet : conversion.sheetPaths)
            if (files::SamePath(sheet, run.sheet))
                return {RunError::SheetOfOtherPage, run.sheet, conversion.pagePath};
        earlier.others.push_back(conversion);
    }
    return {};
}

}  // namespace

RunOutcome ReadEarlierWork(const RunFiles& run, EarlierWork& earlier) {
    std::string bytes;
    files::ReadResult sheet = files::ReadIfPresent(run.sheet, bytes);
    if (sheet == files::ReadResult::Failed) return {RunError::FileNotWritten, run.sheet};
    earlier.sheetExists = sheet == files::ReadResult::Read;
    if (earlier.sheetExists && !HoldsInlineCommentLine(bytes))
        return {RunError::SheetNotOurs, run.sheet};

    std::vector<Conversion> listed;
    files::ReadResult script = files::ReadIfPresent(run.script, bytes);
    if (script == files::ReadResult::Failed) return {RunError::FileNotWritten, run.script};
    earlier.scriptExists = script == files::ReadResult::Read;
    if (earlier.scriptExists && !ReadRestoreScript(bytes, listed))
        return {RunError::ScriptNotOurs, run.script};
    if (RunOutcome refusal = SortConversions(run, listed, earlier); refusal.error != RunError::None)
        return refusal;
    // A sheet is replaced only as the sheet of this page's own earlier conversion.
    if (earlier.sheetExists && !earlier.listsSheetForPage)
        return {RunError::SheetExists, run.sheet};
    if (earlier.ofPage.empty() && files::IsFolder(run.backup))
        return {RunError::BackupNotCreated, run.backup};
    if (earlier.ofPage.empty() && files::Exists(run.backup))
        return {RunError::BackupNotOurs, run.backup};
    return {};
}

RunOutcome JudgeAgainstPage(const RunState& state, std::string_view pageBytes, const RunFiles& run,
                            EarlierWork& earlier) {
    if (earlier.sheetExists && PageLinksSheet(state, run.folder, run.sheet))
        return {RunError::PageConvertedBefore, run.page, run.sheet};
    earlier.keepsBackup = false;
    if (earlier.ofPage.empty()) return {};
    std::string backup;
    if (!files::ReadWhole(run.backup, backup)) return {RunError::BackupNotCreated, run.backup};
    // A backup that holds the page as it is now is one a run made and never committed (killed
    // before the page was replaced), or the page was put back by hand: it is written again,
    // and nothing is lost.
    if (backup == pageBytes) {
        if (!files::Remove(run.backup)) return {RunError::BackupNotCreated, run.backup};
        return {};
    }
    bool linksAny = false;
    for (const std::string& sheet : earlier.ofPage.front().sheetPaths)
        linksAny = linksAny || PageLinksSheet(state, run.folder, sheet);
    if (!linksAny) return {RunError::PageReplaced, run.page, run.backup};
    earlier.keepsBackup = true;
    return {};
}

std::vector<Conversion> ConversionsToRestore(const RunFiles& run, const EarlierWork& earlier) {
    std::vector<Conversion> conversions = {{run.backup, run.page, {run.sheet}}};
    for (const Conversion& conversion : earlier.ofPage)
        for (const std::string& sheet : conversion.sheetPaths)
            if (!files::SamePath(sheet, run.sheet)) conversions[0].sheetPaths.push_back(sheet);
    conversions.insert(conversions.end(), earlier.others.begin(), earlier.others.end());
    return conversions;
}
