// The writing of a run's outputs as one transaction. Every output is first written whole to a
// temporary of the run's own beside it, then moved into place: the outputs in the order given,
// the page last, so that the page is the commit point. Before the page is replaced a failure
// undoes the run by renames and deletions of the run's own files only; killed at any point,
// the folder holds the page as it was (with at most a script that lists it and files that its
// restore puts right), or the converted page with every output it needs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/run_error.h"
#include "engine/run_progress.h"

namespace engine {

// One output placed before the page: the restore script, the backup or the style sheet.
struct OutputFile {
    std::string path;
    std::string_view bytes;
    bool replacesEarlier = false;  // an earlier file of the tool is there and is replaced
    bool isBackup = false;         // the page's backup: the original file itself where it can be
    RunError error = RunError::FileNotWritten;  // reported when it cannot be written
    size_t page = 0;                            // of a backup: the page it keeps, by its place
};

// The page and its new bytes. `pageFile` is the file the page's bytes are in: the page path, or
// the target of a page that is a symbolic link (which stays a link).
struct PageOutput {
    std::string pageFile;
    std::string_view bytes;
    std::string_view original;  // the page as read, for a backup that must be a copy
    // A temporary beside the page that holds its new bytes already (StagePage); `bytes` and
    // `original` are then unused, the page as read being still in its file.
    std::string staged;
};

// Writes the page's new bytes to a temporary of the run's own now, so that a run over several
// pages holds one page in memory at a time. False when it cannot be written.
bool StagePage(PageOutput& page, std::string_view bytes);

// Removes the temporaries of staged pages, when the run ends before their commit.
void RemoveStagedPages(std::vector<PageOutput>& pages);

// Places `outputs` in their order, then replaces the page. Tells `progress`, when given, how
// many of the staged bytes are written; a run asked to stop while its outputs are staged stops
// with nothing changed, one asked once they are being placed finishes. `wroteBackup` of the outcome
// says whether a backup was among the outputs and was written.
RunOutcome CommitOutputs(const std::vector<OutputFile>& outputs, const PageOutput& page,
                         RunProgress* progress = nullptr);

// The same for several pages, replaced in their order once every output is placed. A page that
// fails undoes the run: the pages replaced before it are put back from their backups.
RunOutcome CommitOutputs(const std::vector<OutputFile>& outputs,
                         const std::vector<PageOutput>& pages, RunProgress* progress = nullptr);

// Puts a folder right after a run that was killed there: its temporaries go, and a file it had
// moved aside comes back when nothing took its name. Only for a folder whose lock is held.
void ClearKilledRunFiles(const std::string& folder);

}  // namespace engine
