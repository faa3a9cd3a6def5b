// Runs the extraction on a page written into a scratch folder and reads back every output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/extraction_run.h"
#include "engine/page_rewriting.h"
#include "engine/rules.h"
#include "tests/support/scratch_folder.h"

struct PageRun {
    engine::RunOutcome outcome;
    std::string page;    // the page file after the run
    std::string sheet;   // the style sheet, empty when none was written
    std::string script;  // restore_backup.bat, empty when none was written
};

PageRun RunOnPage(const ScratchFolder& folder, std::string_view pageText, bool cleanUnused = true,
                  std::string_view sheetName = "styles.css",
                  std::string_view pageName = "page.html");

// The page text `page` rewritten alone in memory, for a sheet named styles.css, with the page as
// read and the classes that its rewrite refers to; the rewriting must end with `expected`.
struct RewrittenPage {
    explicit RewrittenPage(std::string page, engine::RunError expected = engine::RunError::None);
    RewrittenPage(const RewrittenPage&) = delete;
    RewrittenPage& operator=(const RewrittenPage&) = delete;

    // The style sheet in either layout, and its inline classes as it writes them.
    std::string Sheet(bool cleanedLayout) const;
    std::vector<engine::Rule> InlineClassRules() const;

    const std::string read;
    engine::InlineClasses classes;
    engine::PageRewrite rewrite;
};

// The inline comment line of every style sheet, with its CR LF.
std::string InlineCommentLine();
std::string InternalCommentLine();
