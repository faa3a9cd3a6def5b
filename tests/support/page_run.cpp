#include "tests/support/page_run.h"

#include <gtest/gtest.h>

#include "engine/output_writing.h"
#include "engine/sheet_comments.h"

PageRun RunOnPage(const ScratchFolder& folder, std::string_view pageText, bool cleanUnused,
                  std::string_view sheetName, std::string_view pageName) {
    folder.Write(pageName, pageText);
    engine::RunRequest request;
    request.pagePath = folder.File(pageName);
    request.sheetName = std::string(sheetName);
    request.cleanUnused = cleanUnused;
    PageRun run;
    run.outcome = engine::RunExtraction(request);
    run.page = folder.Read(pageName);
    if (!sheetName.empty() && folder.Has(sheetName)) run.sheet = folder.Read(sheetName);
    if (folder.Has("restore_backup.bat")) run.script = folder.Read("restore_backup.bat");
    return run;
}

RewrittenPage::RewrittenPage(std::string page, engine::RunError expected) : read(std::move(page)) {
    engine::RunProgress progress;
    rewrite = engine::RewritePage(read, "styles.css", classes, progress);
    EXPECT_EQ(rewrite.error, expected);
}

std::string RewrittenPage::Sheet(bool cleanedLayout) const {
    return engine::StyleSheetText(rewrite.header, classes, rewrite.classForm, rewrite.encoding,
                                  cleanedLayout);
}

std::vector<engine::Rule> RewrittenPage::InlineClassRules() const {
    return engine::InlineClassesOf(classes, rewrite.classForm, rewrite.encoding);
}

std::string InlineCommentLine() { return std::string(engine::kInlineCommentLine) + "\r\n"; }

std::string InternalCommentLine() { return std::string(engine::kInternalCommentLine) + "\r\n"; }
