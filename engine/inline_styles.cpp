#include "engine/inline_styles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/class_attributes.h"
#include "engine/class_names.h"
#include "engine/declaration_key.h"
#include "engine/inline_declarations.h"
#include "engine/page_reader.h"

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr std::string_view kInlineClass = "inlineClass";

std::string InlineClassSelector(unsigned long long number) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03llu", number);
    return "." + std::string(kInlineClass) + digits;
}

// N for a class name "inlineClassN" (N digits), else 0. Numbers too long to count are 0 too:
// the numbers the run counts up to never reach them.
unsigned long long InlineClassNumber(std::string_view name) {
    if (name.substr(0, kInlineClass.size()) != kInlineClass) return 0;
    std::string_view digits = name.substr(kInlineClass.size());
    if (digits.empty() || digits.find_first_not_of("0123456789") != npos) return 0;
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    return digits.size() > 18 ? 0 : std::strtoull(std::string(digits).c_str(), nullptr, 10);
}

// The highest N of the classes ".inlineClassN" that the header rules' selectors name.
unsigned long long HighestInSelectors(const RunState& state) {
    unsigned long long highest = 0;
    for (size_t i = 0; i < state.ruleCount; ++i) {
        std::string_view selector = state.rules[i].selector;
        for (size_t at = selector.find(kInlineClass); at != npos;
             at = selector.find(kInlineClass, at + 1)) {
            size_t end = at;
            while (end < selector.size() && IsClassNameByte(selector[end])) ++end;
            if (at > 0 && selector[at - 1] == '.')
                highest = std::max(highest, InlineClassNumber(selector.substr(at, end - at)));
        }
    }
    return highest;
}

// The highest N of the class names "inlineClassN" in the class attributes of the page.
unsigned long long HighestInClassAttributes(std::string_view page) {
    constexpr char kSpaces[] = " \t\r\n\f";
    unsigned long long highest = 0;
    if (page.find(kInlineClass) == npos) return highest;  // most pages: no walk needed
    PageReader reader = MakePageReader(page);
    Markup tag;
    while (NextMarkup(reader, tag)) {
        if (tag.kind != MarkupKind::StartTag) continue;
        for (const Attribute& attribute : tag.attributes) {
            if (!EqualsNoCase(attribute.name, "class")) continue;
            std::string_view names = attribute.value;
            for (size_t start = names.find_first_not_of(kSpaces); start != npos;) {
                size_t end = std::min(names.find_first_of(kSpaces, start), names.size());
                highest = std::max(highest, InlineClassNumber(names.substr(start, end - start)));
                start = names.find_first_not_of(kSpaces, end);
            }
        }
    }
    return highest;
}

// The rules a style can reuse or has created, found by declaration key: header rules that
// are a single class come first, in page order, then the inline classes as they are made.
// Rules with the same key must also hold the same declarations to be reused.
class StyleIndex {
public:
    StyleIndex(RunState& state, unsigned long long firstNumber)
        : state_(state), firstNumber_(firstNumber) {
        for (size_t i = 0; i < state.ruleCount; ++i)
            if (IsSingleClassSelector(state.rules[i].selector))
                byKey_[state.rules[i].key].push_back({i, state.rules[i].declarations, {}});
    }

    // The index of the rule for a style text, created when no rule has its declarations.
    size_t RuleFor(std::string_view styleText) {
        std::string key = DeclarationKey(styleText);
        std::vector<Candidate>& candidates = byKey_[key];
        if (!candidates.empty()) {
            // Most keys are met with one set of declarations only: sets are made on demand.
            std::string set = DeclarationSet(styleText);
            for (Candidate& candidate : candidates) {
                if (candidate.declarationSet.empty())
                    candidate.declarationSet = DeclarationSet(candidate.styleText);
                if (candidate.declarationSet == set) return candidate.rule;
            }
        }
        size_t index = state_.rules.size();
        state_.rules.push_back(Rule{InlineClassSelector(firstNumber_ + (index - state_.ruleCount)),
                                    InlineDeclarations(styleText), std::move(key)});
        candidates.push_back({index, std::string(styleText), {}});
        return index;
    }

private:
    struct Candidate {
        size_t rule;
        std::string styleText;       // the declarations as written, to compare sets with
        std::string declarationSet;  // made from styleText when first needed
    };
    RunState& state_;
    unsigned long long firstNumber_;  // of the first inline class
    std::unordered_map<std::string, std::vector<Candidate>> byKey_;
};

bool IsStyleAttribute(const Attribute& attribute) {
    return attribute.hasValue && EqualsNoCase(attribute.name, "style");
}

// The tag with its style attributes replaced by class texts; its class attributes merged
// when it got an inline class or now holds more than one. Empty when nothing was converted.
std::string ConvertTag(std::string_view page, const Markup& tag, StyleIndex& index,
                       const std::vector<Rule>& rules, size_t ruleCount, size_t& converted) {
    for (const Attribute& attribute : tag.attributes)
        if (attribute.unclosed) return std::string();

    size_t attributesStart = tag.nameEnd;
    while (attributesStart < tag.end && IsSpace(page[attributesStart])) ++attributesStart;
    size_t attributesEnd = tag.end - 1;  // the closing ">"

    std::string attributes;
    size_t copied = attributesStart;
    size_t classAttributes = 0;
    size_t convertedHere = 0;
    bool usesInlineClass = false;
    for (const Attribute& attribute : tag.attributes) {
        if (EqualsNoCase(attribute.name, "class")) ++classAttributes;
        if (!IsStyleAttribute(attribute)) continue;
        std::string styleText = StyleTextOf(attribute.value);
        if (!FitsInOneRule(styleText)) continue;
        size_t rule = index.RuleFor(styleText);
        usesInlineClass = usesInlineClass || rule >= ruleCount;
        std::string_view selector = rules[rule].selector;
        selector.remove_prefix(std::min(selector.find_first_not_of('.'), selector.size()));
        attributes.append(page, copied, attribute.begin - copied);
        attributes += "class=";
        attributes += selector;
        // An unquoted class text must not run into what follows it, such as a "/".
        if (attribute.end < attributesEnd && !IsSpace(page[attribute.end])) attributes += ' ';
        copied = attribute.end;
        ++classAttributes;
        ++convertedHere;
    }
    if (convertedHere == 0) return std::string();
    converted += convertedHere;
    attributes.append(page, copied, attributesEnd - copied);

    std::string rebuilt(page.substr(tag.begin, attributesStart - tag.begin));
    if (usesInlineClass || classAttributes > 1) {
        std::string merged = MergeClassAttributes(attributes);
        rebuilt += merged.empty() ? attributes : merged;
    } else {
        rebuilt += attributes;
    }
    rebuilt += '>';
    return rebuilt;
}

}  // namespace

size_t ConvertInlineStyles(RunState& state) {
    std::string_view page = state.pageText;
    size_t regionStart = FindBodyTag(page);
    if (regionStart == npos) regionStart = 0;

    // Numbered after the inline classes the page already names (from an earlier run, say).
    StyleIndex index(
        state, std::max(HighestInSelectors(state), HighestInClassAttributes(state.pageText)) + 1);
    std::string rewritten;
    size_t copied = 0;
    size_t converted = 0;
    PageReader reader = MakePageReader(page, regionStart);
    Markup tag;
    while (NextMarkup(reader, tag)) {
        if (tag.kind != MarkupKind::StartTag) continue;
        std::string convertedTag =
            ConvertTag(page, tag, index, state.rules, state.ruleCount, converted);
        if (convertedTag.empty()) continue;
        if (rewritten.empty()) rewritten.reserve(page.size() + page.size() / 8);
        rewritten.append(page, copied, tag.begin - copied);
        rewritten += convertedTag;
        copied = tag.end;
    }
    if (converted == 0) return 0;
    rewritten.append(page, copied, npos);
    state.pageText.swap(rewritten);
    return converted;
}
