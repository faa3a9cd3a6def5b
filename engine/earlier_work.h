// What earlier runs left in the page's folder: the style sheet, the restore script and the
// backup. Read before the page, so that what no run may replace is refused without reading it;
// then judged against the page as read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/restore_script.h"
#include "engine/run_error.h"
#include "engine/run_paths.h"

namespace engine {

struct EarlierWork {
    bool sheetExists = false;
    bool scriptExists = false;
    std::vector<Conversion> others;  // of other pages, whose backups still exist
    std::vector<Conversion> ofPage;  // of this page, whose backup still exists: none or one
    bool listsSheetForPage = false;  // the sheet is one that this page's conversion wrote
    bool keepsBackup = false;        // the backup of this page's earlier conversion stays
    bool staleBackup = false;        // the backup holds the page as it is: to be written again
};

// Reads the sheet, the script and what stands at the backup path, and refuses a file the tool
// did not write, a sheet of another page or of no conversion of this page, and a backup that
// no conversion of this page wrote.
RunOutcome ReadEarlierWork(const RunFiles& run, EarlierWork& earlier);

// The same for the pages of a run over several, which share their folder, sheet and script:
// an earlier conversion of any of them may have written the sheet. The other pages'
// conversions are given to the first page's.
RunOutcome ReadEarlierWork(const std::vector<RunFiles>& runs, std::vector<EarlierWork>& earlier);

// Judges the earlier work against the page as read (`pageBytes`, the bytes of its file, and
// `linkHrefs`, the hrefs of its link elements): a page that already links the sheet, or that
// was saved again since its conversion, is refused.
// Decides whether the earlier backup stays; one that holds the page as it is now (a run killed
// before its commit) is stale: RemoveStaleBackup removes it, to be written again.
RunOutcome JudgeAgainstPage(const std::vector<std::string>& linkHrefs, std::string_view pageBytes,
                            const RunFiles& run, EarlierWork& earlier);
RunOutcome RemoveStaleBackup(const RunFiles& run, const EarlierWork& earlier);

// The conversion that this run makes of a page: its backup, the page, `sheets`, and the sheets
// of the page's earlier conversion, which stay with this run's.
Conversion ConversionOfRun(const RunFiles& run, const std::vector<std::string>& sheets,
                           const EarlierWork& earlier);

// This run's conversion first, then the other pages' conversions that the script undoes. The
// sheets of this page's earlier conversion stay with this run's.
std::vector<Conversion> ConversionsToRestore(const RunFiles& run, const EarlierWork& earlier);

}  // namespace engine
