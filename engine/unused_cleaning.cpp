#include "engine/unused_cleaning.h"

#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/class_names.h"

namespace {

constexpr size_t npos = std::string_view::npos;

// The name a header rule is judged by: the class name after the first "." of its first
// selector. No name at all when the rule always stays.
bool TestedName(std::string_view selector, std::string_view& name) {
    if (!selector.empty() && selector[0] == '@') return false;  // at-rules always stay
    if (selector.find('.') == npos) return false;
    std::string_view first = selector.substr(0, selector.find(','));
    size_t dot = first.find('.');
    name = {};
    if (dot == npos) return true;
    size_t end = dot + 1;
    while (end < first.size() && IsClassNameByte(first[end])) ++end;
    name = first.substr(dot + 1, end - dot - 1);
    return true;
}

// Answers whether a class name occurs anywhere in the page. A name is made of class-name
// bytes only, so each occurrence lies inside one maximal run of them: the runs of the page
// are collected once, and a name is looked up among them instead of in the whole page.
class PageWords {
public:
    explicit PageWords(std::string_view page) {
        for (size_t i = 0; i < page.size();) {
            if (!IsClassNameByte(page[i])) {
                ++i;
                continue;
            }
            size_t start = i;
            while (i < page.size() && IsClassNameByte(page[i])) ++i;
            words_.insert(page.substr(start, i - start));
        }
    }

    bool Contains(std::string_view name) {
        if (name.empty() || words_.count(name) != 0) return true;
        if (joined_.empty()) {
            for (std::string_view word : words_) {
                joined_ += word;
                joined_ += ' ';
            }
        }
        return joined_.find(name) != npos;
    }

private:
    std::unordered_set<std::string_view> words_;
    std::string joined_;  // every distinct run, for names that are only part of one
};

}  // namespace

void RemoveUnusedRules(RunState& state) {
    PageWords words(state.pageText);
    std::vector<Rule> kept;
    kept.reserve(state.rules.size());
    size_t keptHeaderRules = 0;
    for (size_t i = 0; i < state.rules.size(); ++i) {
        std::string_view name;
        bool headerRule = i < state.ruleCount;
        if (headerRule && TestedName(state.rules[i].selector, name) && !words.Contains(name))
            continue;
        kept.push_back(std::move(state.rules[i]));
        if (headerRule) ++keptHeaderRules;
    }
    state.rules = std::move(kept);
    state.ruleCount = keptHeaderRules;
}
