// The state one extraction run shares between its phases.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/run_progress.h"

// One rule of the style sheet: a header rule of the page's style block, or an inline class.
struct Rule {
    std::string selector;
    std::string declarations;
};

struct RunState {
    std::string pagePath;
    std::string sheetName;   // output sheet name, as typed
    std::string pageFolder;  // page path up to and including its last folder separator
    std::string backupPath;
    std::string pageText;                      // the page, rewritten by RewritePage
    std::string originalPage;                  // the page as it was read, once RewritePage has run
    Encoding encoding = Encoding::SingleByte;  // the page's, as far as CSS readers care
    std::string headerCss;               // text of the header style block, comment markers removed
    bool hasHeaderBlock = false;         // a header style block was replaced by the link element
    size_t convertedStyles = 0;          // style attributes turned into classes
    std::vector<std::string> linkHrefs;  // of the page's link elements as read, in page order
    std::vector<Rule> headerRules;       // the rules of the header style block, in page order
    std::vector<Rule> inlineClasses;     // one per distinct inline style, in order of creation
    RunProgress progress;                // told how far the phases have come
};
