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

// One output placed before the page: the restore script, the backup or the style sheet.
struct OutputFile {
    std::string path;
    std::string_view bytes;
    bool replacesEarlier = false;  // an earlier file of the tool is there and is replaced
    bool isBackup = false;         // the page's backup: the original file itself where it can be
    RunError error = RunError::FileNotWritten;  // reported when it cannot be written
};

// The page and its new bytes. `pageFile` is the file the page's bytes are in: the page path, or
// the target of a page that is a symbolic link (which stays a link).
struct PageOutput {
    std::string pageFile;
    std::string_view bytes;
    std::string_view original;  // the page as read, for a backup that must be a copy
};

// Places `outputs` in their order, then replaces the page. Tells `progress`, when given, how
// many of the staged bytes are written; a run asked to stop while its outputs are staged stops
// with nothing changed, one asked once they are being placed finishes. `wroteBackup` of the outcome
// says whether a backup was among the outputs and was written.
RunOutcome CommitOutputs(const std::vector<OutputFile>& outputs, const PageOutput& page,
                         RunProgress* progress = nullptr);

// Puts a folder right after a run that was killed there: its temporaries go, and a file it had
// moved aside comes back when nothing took its name. Only for a folder whose lock is held.
void ClearKilledRunFiles(const std::string& folder);
