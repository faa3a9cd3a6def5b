// The extraction run: moves a page's CSS into one external style sheet.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "engine/run_error.h"

namespace engine {

struct RunRequest {
    std::string pagePath;
    // The pages of a run over several pages, all in one folder: their inline styles become the
    // classes of one shared sheet (sheetName), and each distinct header CSS its own header
    // sheet. With none or one, the run converts pagePath (or that one) alone.
    std::vector<std::string> pagePaths;
    std::string sheetName = "styles.css";
    bool cleanUnused = true;
    // Told now and then, on the run's thread, the fraction of the run done (0 to 1, never going
    // back; 1 once every output is written), a few hundred times at most. Optional.
    std::function<void(double)> progress;
    // Told once, on the run's thread, when another run holds the page's folder and this one
    // waits for it. Optional.
    std::function<void()> waiting;
    // How long a run waits for another run that holds one of its folders.
    int folderWaitSeconds = 60;
    // Set by another thread (or a signal handler) to stop the run at its next progress point,
    // with nothing changed; once the outputs are being put in place the run finishes instead.
    // Optional.
    const std::atomic<bool>* stop = nullptr;
};

// Runs the whole extraction on disk, holding the folders it writes into against other runs.
// Either every output (backup, rewritten page, restore script, style sheet) is written, or no
// file is changed and the outcome says why.
// Over several pages, every page is read and judged before any file is written; one refused
// page refuses the run.
RunOutcome RunExtraction(const RunRequest& request);

// The pages of a folder: its files named *.htm or *.html (in any case), not those of its
// subfolders, nor the backups of other pages there, in the order of their names.
std::vector<std::string> PagesInFolder(const std::string& folder);

}  // namespace engine
