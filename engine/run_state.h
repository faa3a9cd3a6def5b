// The state one extraction run shares between its phases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/hash_slots.h"
#include "engine/header_css.h"
#include "engine/run_progress.h"

// One inline class, by the style text it was made from: a part of the page as read, or of the
// run's own style texts. Its name follows from its place among the inline classes, its
// declarations from the style text (InlineDeclarations).
struct InlineClass {
    size_t styleBegin = 0;
    uint32_t styleSize = 0;
    bool inStyleTexts = false;  // the style text is a part of RunState::styleTexts
};

// What a page of a run over several pages shares with the others: their inline classes, made
// on the pages before it (RunState::inlineClasses and styleTexts up to these counts), and one
// numbering, past the highest "inlineClassN" of any page. Inactive in a run over one page.
struct SharedClasses {
    bool active = false;
    unsigned long long highestInlineClass = 0;
    size_t classesBefore = 0;
    size_t styleTextsBefore = 0;
    // Only style texts of ASCII bytes become classes: set when the pages read bytes above
    // ASCII in different ways, as the sheet they share is read in each page's own.
    bool asciiStylesOnly = false;
    // The name of the header sheet of a header CSS text; empty: none.
    std::function<std::string(std::string_view headerCss)> headerSheetOf;
};

// The texts of the rules are found by their places in the texts of the state, so that they
// hold as the state moves or grows.
struct RunState {
    std::string pagePath;
    std::string sheetName;   // output sheet name, as typed
    std::string pageFolder;  // page path up to and including its last folder separator
    std::string backupPath;
    std::string pageText;                      // the page, rewritten by RewritePage
    std::string originalPage;                  // the page as it was read, once RewritePage has run
    Encoding encoding = Encoding::SingleByte;  // the page's, as far as CSS readers care
    // The style texts of inline classes that are no part of the page as read: decoded, or (on
    // the pages of a run over several) every one.
    std::string styleTexts;
    HeaderCss header;             // of the header style block, in the page as read or its own text
    bool hasHeaderBlock = false;  // a header style block was replaced by the link element
    size_t convertedStyles = 0;   // style attributes turned into classes
    std::vector<std::string> linkHrefs;       // of the page's link elements as read, in page order
    unsigned long long firstInlineClass = 1;  // the number of the first inline class
    // What follows each inline class's name in its selector where the classes are raised in the
    // cascade (CascadeForm): their declarations then keep the importance they were written with.
    // Empty where they are marked !important.
    std::string raisedBy;
    std::vector<InlineClass> inlineClasses;  // one per distinct inline style, in order of creation
    // The inline classes by the fingerprint of their declarations (StyleIndex): kept with them,
    // so that the pages of a run over several share one index.
    HashSlots inlineByFingerprint;
    SharedClasses shared;
    RunProgress progress;  // told how far the phases have come

    std::string_view StyleText(const InlineClass& made) const {
        return std::string_view(made.inStyleTexts ? styleTexts : originalPage)
            .substr(made.styleBegin, made.styleSize);
    }
};
