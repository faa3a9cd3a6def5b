// Where the inline classes of a page stand in the cascade. A style attribute beats every rule of
// the page that is not !important and loses to every one that is; an animation beats it, and a
// script that sets the element's style replaces it. Classes whose declarations are all marked
// !important stand in its place on most pages, where none of these can happen. On a page where
// they can, each class keeps the importance its declarations had, and its selector is raised
// above every selector of the page's CSS by ":not(#id)" pieces (each counts as one id) that name
// an id no element has: it then beats what the style attribute beat, and loses to the rest.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/page_reader.h"

namespace engine {

struct CascadeForm {
    // Empty for the form of classes marked !important; else what follows each class's name in
    // its selector: ":not(#_)" as many times as the page needs, "_" an id no element has.
    std::string raisedBy;

    bool Raised() const { return !raisedBy.empty(); }
};

// What decides the form of a page's inline classes, read from its markup by a walk that shows
// it every piece. The classes are raised when the page's CSS (its style blocks and style
// attributes) holds "!important" outside the one style attribute (any style attribute once there
// are two), @keyframes, an animation or a transition, or @import; or when the page holds a
// script element, an event handler attribute (on...=) or links a style sheet, whose rules the
// run cannot read. They are then raised by one id more than the selector of the page's CSS that
// holds the most ids, and by at least three.
class CascadeFeatures {
public:
    explicit CascadeFeatures(Encoding encoding = Encoding::SingleByte) : encoding_(encoding) {}

    // Told each markup of the page in order, with the reader that has just read it.
    void See(const Markup& markup, const PageReader& reader);

    // The form, once every markup of the page has been seen.
    CascadeForm Form() const;

    // Takes in what another page's features call for, so that pages that share their inline
    // classes take one form that suits each of them.
    void Add(const CascadeFeatures& page);

private:
    Encoding encoding_;
    bool raise_ = false;
    size_t mostIds_ = 0;  // in one selector of the page's CSS
    size_t styles_ = 0;
    size_t importantStyles_ = 0;
    std::vector<bool> underscoreIds_;  // [n]: an element has the id of n "_"s
    std::string decoded_;
};

// The form of the page's inline classes, from a walk of its own over the page.
CascadeForm ChooseCascadeForm(std::string_view page, Encoding encoding = Encoding::SingleByte);

// The parts of that choice, for CSS text: style blocks hold selectors and declarations, style
// attributes declarations only. True when the CSS marks a declaration !important.
bool CssHoldsImportant(std::string_view css, Encoding encoding = Encoding::SingleByte);

// True when the CSS animates anything (@keyframes, animation or transition declarations, with
// or without a vendor prefix) or imports another sheet.
bool CssAnimatesOrImports(std::string_view css, Encoding encoding = Encoding::SingleByte);

// The most ids that one selector of the CSS names ("#a #b, .c" names 2), at any depth.
size_t MostIdsInOneSelector(std::string_view css, Encoding encoding = Encoding::SingleByte);

}  // namespace engine
