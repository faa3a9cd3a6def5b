// The classes that style attributes become: a header rule's class when one has the same
// declarations, else an inline class made for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/run_state.h"

// The number of the first inline class: one more than the highest N of the classes
// "inlineClassN" (N digits, the name in any ASCII case, as a page without doctype matches class
// names) that the header CSS names anywhere (in the rules of an @media block too), or that
// `highestInPage` says the page's class attributes name, so that no name is used twice.
unsigned long long FirstInlineClassNumber(std::string_view headerCss,
                                          unsigned long long highestInPage);

// The highest N of the class names "inlineClassN" (in any ASCII case) in the class attributes
// of the page (outside comments and raw text), 0 when there is none.
unsigned long long HighestInlineClassInPage(std::string_view page);

// Finds the class for each style text: a style written exactly as one met before is found by
// its text; any other by a fingerprint of its declaration key and its set of declarations,
// then confirmed exactly (the declarations in effect), so that an anagram, a hash collision
// or another order of declarations that set the same property never shares a class. Header
// rules that are a single class come first, in page order, then the inline classes as they
// are made. A header rule's class is reused only when no other rule of the header CSS, in any
// block, names that class: another rule would style the element as well.
class StyleIndex {
public:
    // Inline classes are appended to `inlineClasses`, numbered from `firstNumber` on. Styles
    // and the header CSS are read in `encoding`, the page's.
    // `headerCss` is the text that `headerRules` were cut from.
    StyleIndex(const std::vector<Rule>& headerRules, std::string_view headerCss,
               std::vector<Rule>& inlineClasses, unsigned long long firstNumber = 1,
               Encoding encoding = Encoding::SingleByte);

    struct Class {
        bool isInline = false;  // an inline class rather than a header rule's class
        size_t rule = 0;        // its index among the header rules or the inline classes
    };

    // The class for a style text; none when the text does not fit in one rule. The text must
    // stay unchanged as long as the index is used, unless `textIsScratch` says that it will be
    // overwritten.
    std::optional<Class> ClassFor(std::string_view styleText, bool textIsScratch);

    // The class name to write in the page: the selector without its leading "."s. Valid until
    // the next call of ClassFor.
    std::string_view Name(Class found) const;

private:
    // A rule that style texts may reuse: the first rule of each set of equal declarations.
    struct Candidate {
        std::string_view styleText;  // the declarations as written, to confirm a match with
        Class found;
        bool fits;      // the text fits in one rule (a header rule's may not)
        uint32_t next;  // the next candidate with the same fingerprint, or kNone
    };
    static constexpr uint32_t kNone = UINT32_MAX;

    // The first candidate with the same fingerprint whose declarations equal those of the text.
    std::optional<Class> Equal(uint64_t fingerprint, std::string_view styleText) const;
    void Add(std::string_view styleText, Class found, bool fits, uint64_t fingerprint);

    const std::vector<Rule>& headerRules_;
    std::vector<Rule>& inlineClasses_;
    unsigned long long firstNumber_;
    Encoding encoding_;
    std::vector<Candidate> candidates_;
    std::unordered_map<std::string_view, uint32_t> byText_;
    std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> byFingerprint_;  // first, last
    std::deque<std::string> keptTexts_;  // texts of inline classes made from scratch texts
};
