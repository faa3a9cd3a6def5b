#include "engine/inline_styles.h"

#include <algorithm>
#include <cstdio>
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

std::string InlineClassSelector(size_t number) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03zu", number);
    return std::string(".inlineClass") + digits;
}

// The rules a style can reuse or has created, found by declaration key: header rules that
// are a single class come first, in page order, then the inline classes as they are made.
// Rules with the same key must also hold the same declarations to be reused.
class StyleIndex {
public:
    explicit StyleIndex(RunState& state) : state_(state) {
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
        state_.rules.push_back(Rule{InlineClassSelector(index - state_.ruleCount + 1),
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

    StyleIndex index(state);
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
