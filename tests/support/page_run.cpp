#include "tests/support/page_run.h"

#include <gtest/gtest.h>

#include "engine/page_rewriting.h"
#include "engine/sheet_comments.h"

PageRun RunOnPage(const ScratchFolder& folder, std::string_view pageText, bool cleanUnused,
                  std::string_view sheetName, std::string_view pageName) {
    folder.Write(pageName, pageText);
    RunRequest request;
    request.pagePath = folder.File(pageName);
    request.sheetName = std::string(sheetName);
    request.cleanUnused = cleanUnused;
    PageRun run;
    run.outcome = RunExtraction(request);
    run.page = folder.Read(pageName);
    if (!sheetName.empty() && folder.Has(sheetName)) run.sheet = folder.Read(sheetName);
    if (folder.Has("restore_backup.bat")) run.script = folder.Read("restore_backup.bat");
    return run;
}

RunState RewrittenState(std::string page, RunError expected) {
    RunState state;
    state.pageText = std::move(page);
    state.sheetName = "styles.css";
    EXPECT_EQ(RewritePage(state), expected);
    return state;
}

std::string InlineCommentLine() { return std::string(kInlineCommentLine) + "\r\n"; }

std::string InternalCommentLine() { return std::string(kInternalCommentLine) + "\r\n"; }
