// The inline classes that style attributes become, and the form their rules take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/hash_slots.h"

namespace engine {

// One inline class, by the style text it was made from: a part of the page as read, or of the
// style texts of its classes. Its name follows from its place among them, its declarations from
// the style text (InlineDeclarations).
struct InlineClass {
    size_t styleBegin = 0;
    uint32_t styleSize = 0;
    bool inStyleTexts = false;  // the style text is a part of InlineClasses::styleTexts
};

// The inline classes of a run, with their style texts and their index. A run over one page
// makes a fresh one; the pages of a run over several add theirs to one, page after page.
struct InlineClasses {
    std::vector<InlineClass> list;  // one per distinct inline style, in order of creation
    // The style texts that are no part of the page as read: decoded, or every one where the
    // classes outlive the page.
    std::string styleTexts;
    // The classes by the fingerprint of their declarations (StyleIndex): kept with them, so
    // that the pages of a run over several share one index.
    HashSlots byFingerprint;
    // The page as read, which whoever holds the classes keeps while they do: the style texts
    // written in it are taken from it. Empty where the classes outlive their pages, shared by
    // the pages of a run over several: every style text is then copied.
    std::string_view page;
    // Only style texts of ASCII bytes become classes: set when the pages that share them read
    // bytes above ASCII in different ways, as the sheet they share is read in each page's own.
    bool asciiOnly = false;

    std::string_view StyleText(const InlineClass& made) const {
        return std::string_view(made.inStyleTexts ? styleTexts : page)
            .substr(made.styleBegin, made.styleSize);
    }
};

// How the inline classes are written: numbered from `firstNumber` on, and, where they are raised
// in the cascade (CascadeForm), each name followed in its selector by `raisedBy`: their
// declarations then keep the importance they were written with. Empty where they are marked
// !important.
struct ClassForm {
    unsigned long long firstNumber = 1;
    std::string raisedBy;
};

}  // namespace engine
