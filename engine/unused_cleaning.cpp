#include "engine/unused_cleaning.h"

#include <set>
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

// The names among `names` that occur somewhere in the page. A name is made of class-name
// bytes only, so each occurrence lies inside one maximal run of them: the distinct runs of
// the page are collected once, names are first looked up as whole runs, and the rest as
// parts of runs, by trying every part of a run whose length is that of some name.
std::unordered_set<std::string_view> NamesInPage(std::string_view page,
                                                 const std::vector<std::string_view>& names) {
    std::unordered_set<std::string_view> words;
    for (size_t i = 0; i < page.size();) {
        if (!IsClassNameByte(page[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < page.size() && IsClassNameByte(page[i])) ++i;
        words.insert(page.substr(start, i - start));
    }

    std::unordered_set<std::string_view> found;
    std::unordered_set<std::string_view> partsSought;
    std::set<size_t> partLengths;
    for (std::string_view name : names) {
        if (name.empty()) continue;
        if (words.count(name) != 0) {
            found.insert(name);
        } else {
            partsSought.insert(name);
            partLengths.insert(name.size());
        }
    }
    for (std::string_view word : words) {
        if (partsSought.empty()) break;
        for (size_t length : partLengths) {
            if (length >= word.size()) break;
            for (size_t at = 0; at + length <= word.size(); ++at) {
                auto part = partsSought.find(word.substr(at, length));
                if (part == partsSought.end()) continue;
                found.insert(*part);
                partsSought.erase(part);
            }
        }
    }
    return found;
}

}  // namespace

void RemoveUnusedRules(RunState& state) {
    std::vector<std::string_view> names(state.ruleCount);
    std::vector<bool> tested(state.ruleCount);
    for (size_t i = 0; i < state.ruleCount; ++i)
        tested[i] = TestedName(state.rules[i].selector, names[i]) && !names[i].empty();
    std::unordered_set<std::string_view> used = NamesInPage(state.pageText, names);

    std::vector<Rule> kept;
    kept.reserve(state.rules.size());
    size_t keptHeaderRules = 0;
    for (size_t i = 0; i < state.rules.size(); ++i) {
        bool headerRule = i < state.ruleCount;
        if (headerRule && tested[i] && used.count(names[i]) == 0) continue;
        kept.push_back(std::move(state.rules[i]));
        if (headerRule) ++keptHeaderRules;
    }
    state.rules = std::move(kept);
    state.ruleCount = keptHeaderRules;
}
