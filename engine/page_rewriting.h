// The rewriting of a run, in memory. Internal to the engine: the user interface knows only
// the extraction run.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/header_css.h"
#include "engine/inline_classes.h"
#include "engine/run_error.h"
#include "engine/run_progress.h"

namespace engine {

// What the rewriting of a page found and made. Its header CSS may be a part of the page as
// read, which the caller keeps while it uses it.
struct PageRewrite {
    RunError error = RunError::None;  // why the page cannot be rewritten; nothing else is then set
    std::string text;                 // the page, rewritten
    Encoding encoding = Encoding::SingleByte;  // the page's, as far as CSS readers care
    HeaderCss header;
    bool hasHeaderBlock = false;         // a header style block was replaced by the link element
    size_t convertedStyles = 0;          // style attributes turned into classes
    std::vector<std::string> linkHrefs;  // of the page's link elements as read, in page order
    ClassForm classForm;                 // the form in which its inline classes are written
};

// What the rewriting of a page of a run over several takes from the run.
struct SharedTerms {
    // The form of the classes, which the run chose for every page: numbered past the highest
    // "inlineClassN" that any page names.
    ClassForm classForm;
    // The name of the header sheet of a header CSS text; empty: none.
    std::function<std::string(std::string_view headerCss)> headerSheetOf;
};

// Rewrites the page in one walk over its markup: every start tag but the html element loses its
// lang attributes; the header style block, and every other block of the same text, becomes
// the link element, and its CSS is cut into header rules. The link goes where a browser reads
// it beside the page: in the block's place, or without a block before "</head>", the body tag
// or else past the byte-order mark and the doctype; before all these, right before the first
// base element with an href (the block then goes, and later blocks of its text stay); from the
// body tag on (over the whole page when it has none) style attributes become classes, added to
// `classes`, numbered after the page's own "inlineClassN" classes, marked !important or, on a
// page whose features call for it (CascadeFeatures), raised in the cascade. Each start tag is
// rewritten at most once. `page` is the page as read, which the caller keeps while it uses the
// rewrite and the classes; `classes` is fresh: its classes are made of this page alone.
PageRewrite RewritePage(std::string_view page, std::string_view sheetName, InlineClasses& classes,
                        RunProgress& progress);

// The same for a page of a run over several, whose classes are shared with the pages before it:
// they take the form and the numbering of `terms`, and the header block's link names the header
// sheet of its CSS, then the sheet of inline classes.
PageRewrite RewriteSharedPage(std::string_view page, std::string_view sheetName,
                              const SharedTerms& terms, InlineClasses& classes,
                              RunProgress& progress);

}  // namespace engine
