// The state one extraction run shares between its phases.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One rule of the style sheet: a header rule of the page's style block, or an inline class.
struct Rule {
    std::string selector;
    std::string declarations;
    std::string key;  // DeclarationKey of the declarations, used to find equal styles
};

struct RunState {
    std::string pagePath;
    std::string sheetName;   // output sheet name, as typed
    std::string pageFolder;  // page path up to and including its last folder separator
    std::string backupPath;
    std::string pageText;         // the page, rewritten in place by the phases
    std::string headerCss;        // text of the header style block, comment markers removed
    bool hasHeaderBlock = false;  // a header style block was replaced by the link element
    size_t convertedStyles = 0;   // style attributes turned into classes
    std::vector<Rule> rules;      // header rules first, then the inline classes
    size_t ruleCount = 0;         // number of header rules at the front of `rules`
};
