// The CSS of a page's header style block and its rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rules.h"

namespace engine {

// The header CSS (the text of the header style block, comment markers removed) and its rules,
// by their places in the text that holds the CSS: the page as read, which whoever holds this
// keeps while it does, or a text of its own. A block of many megabytes is then not held twice.
struct HeaderCss {
    std::string_view page;  // the page as read
    size_t begin = 0;       // where the CSS stands in the page
    size_t size = 0;
    // The CSS when it is no part of the page as it stands (comment markers inside it), or when
    // it leaves a last block open: then followed by its tail, the declarations of that block,
    // closed, which the last rule's declarations run into.
    std::string own;
    bool inOwn = false;
    size_t tailSize = 0;
    std::vector<HeaderRule> rules;  // in page order

    std::string_view Css() const { return Text().substr(0, size); }
    std::string_view Selector(const HeaderRule& rule) const {
        return Text().substr(rule.selectorBegin, rule.selectorSize);
    }
    std::string_view Declarations(const HeaderRule& rule) const {
        return Text().substr(rule.declarationsBegin, rule.declarationsSize);
    }

    // The same CSS, tail and rules in a text of its own, to outlive the page.
    HeaderCss Kept() const {
        HeaderCss kept;
        kept.own = std::string(Text());
        kept.inOwn = true;
        kept.size = size;
        kept.tailSize = tailSize;
        kept.rules = rules;
        return kept;
    }

private:
    // The CSS and its tail.
    std::string_view Text() const {
        return std::string_view(inOwn ? own : page).substr(inOwn ? 0 : begin, size + tailSize);
    }
};

}  // namespace engine
