#include "engine/inline_styles.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/class_names.h"
#include "engine/declaration_key.h"
#include "engine/inline_declarations.h"
#include "engine/page_reader.h"
#include "engine/rule_parsing.h"

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr std::string_view kInlineClass = "inlineClass";

// ".inlineClass" and the number, with at least three digits.
std::string InlineClassSelector(unsigned long long number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return "." + std::string(kInlineClass) + digits;
}

// The name in ASCII lower case, as the searches for it write it.
constexpr std::string_view kLowerInlineClass = "inlineclass";

// N for a class name "inlineClassN" (N digits) in any ASCII case, else 0: in a page without
// doctype class names match in any case, so that INLINECLASS001 would take the rules of
// .inlineClass001. Numbers too long to count are 0 too: the numbers the run counts up to never
// reach them.
unsigned long long InlineClassNumber(std::string_view name) {
    if (!StartsWithNoCase(name, kLowerInlineClass)) return 0;
    std::string_view digits = name.substr(kInlineClass.size());
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) return 0;
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() > 18) return 0;
    unsigned long long number = 0;
    for (char digit : digits) number = number * 10 + static_cast<unsigned>(digit - '0');
    return number;
}

}  // namespace

unsigned long long FirstInlineClassNumber(std::string_view headerCss,
                                          unsigned long long highestInPage) {
    unsigned long long highest = highestInPage;
    for (size_t at = FindNoCase(headerCss, kLowerInlineClass); at != npos;
         at = FindNoCase(headerCss, kLowerInlineClass, at + 1)) {
        if (at > 0 && headerCss[at - 1] == '.')
            highest = std::max(highest, InlineClassNumber(ClassNameAt(headerCss, at)));
    }
    return highest + 1;
}

unsigned long long HighestInlineClassInPage(std::string_view page) {
    constexpr char kSpaces[] = " \t\r\n\f";
    unsigned long long highest = 0;
    // Most pages never name one, in any case: then no walk is needed.
    auto lowerHash = [](char c) { return std::hash<char>()(AsciiLower(c)); };
    auto sameLower = [](char a, char b) { return AsciiLower(a) == AsciiLower(b); };
    std::boyer_moore_horspool_searcher searcher(kLowerInlineClass.begin(), kLowerInlineClass.end(),
                                                lowerHash, sameLower);
    if (std::search(page.begin(), page.end(), searcher) == page.end()) return highest;
    PageReader reader = MakePageReader(page);
    Markup tag;
    while (NextMarkup(reader, tag)) {
        if (tag.kind != MarkupKind::StartTag) continue;
        for (const Attribute& attribute : TagAttributes(tag)) {
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

namespace {

// Declarations are compared by key and by effect: texts equal in both have the same key and
// the same set of declarations, and so share a fingerprint. Texts that differ only in the
// order of declarations that set the same property share one too, and are told apart by
// comparing them: pages hold few such.
uint64_t Fingerprint(std::string_view styleText, Encoding encoding) {
    return DeclarationKeyHash(styleText) ^
           (DeclarationSetHash(styleText, encoding) * 0x9E3779B97F4A7C15ull);
}

// Of `names` (in ASCII lower case), those that more than one style rule of the CSS names, in
// any block and in any part of a selector (".note::before" names note).
std::unordered_set<std::string> NamedBySeveralRules(const std::unordered_set<std::string>& names,
                                                    std::string_view css, Encoding encoding) {
    std::unordered_map<std::string_view, size_t> lastRuleNaming;  // 1 + the rule's index
    for (const std::string& name : names) lastRuleNaming.emplace(name, 0);
    std::unordered_set<std::string> several;
    std::vector<std::string_view> selectors = StyleRuleSelectors(css, encoding);
    std::string name;
    for (size_t rule = 0; rule < selectors.size(); ++rule) {
        std::string_view selector = selectors[rule];
        for (size_t dot = selector.find('.'); dot != npos; dot = selector.find('.', dot + 1)) {
            name = AsciiLowerName(ClassNameAt(selector, dot + 1));
            auto named = lastRuleNaming.find(name);
            if (named == lastRuleNaming.end()) continue;
            if (named->second != 0 && named->second != rule + 1) several.insert(name);
            named->second = rule + 1;
        }
    }
    return several;
}

}  // namespace

StyleIndex::StyleIndex(const std::vector<Rule>& headerRules, std::string_view headerCss,
                       std::vector<Rule>& inlineClasses, unsigned long long firstNumber,
                       Encoding encoding)
    : headerRules_(headerRules),
      inlineClasses_(inlineClasses),
      firstNumber_(firstNumber),
      encoding_(encoding) {
    std::unordered_set<std::string> singleClasses;
    for (const Rule& rule : headerRules)
        if (IsSingleClassSelector(rule.selector))
            singleClasses.insert(AsciiLowerName(std::string_view(rule.selector).substr(1)));
    std::unordered_set<std::string> ofSeveralRules;
    if (!singleClasses.empty())
        ofSeveralRules = NamedBySeveralRules(singleClasses, headerCss, encoding);
    for (size_t i = 0; i < headerRules.size(); ++i) {
        std::string_view declarations = headerRules[i].declarations;
        if (!IsSingleClassSelector(headerRules[i].selector)) continue;
        if (ofSeveralRules.count(
                AsciiLowerName(std::string_view(headerRules[i].selector).substr(1))))
            continue;
        uint64_t fingerprint = Fingerprint(declarations, encoding_);
        if (Equal(fingerprint, declarations)) continue;  // an earlier rule wins
        Add(declarations, {false, i}, FitsInOneRule(declarations, encoding_), fingerprint);
    }
}

std::optional<StyleIndex::Class> StyleIndex::Equal(uint64_t fingerprint,
                                                   std::string_view styleText) const {
    auto entry = byFingerprint_.find(fingerprint);
    if (entry == byFingerprint_.end()) return std::nullopt;
    for (uint32_t i = entry->second.first; i != kNone; i = candidates_[i].next) {
        std::string_view known = candidates_[i].styleText;
        // Another spacing or case is the most common difference: only the rest need sets.
        if (SameDeclarationsOtherwiseSpaced(known, styleText) ||
            (SameDeclarationKey(known, styleText) &&
             SameDeclarationsInEffect(known, styleText, encoding_)))
            return candidates_[i].found;
    }
    return std::nullopt;
}

void StyleIndex::Add(std::string_view styleText, Class found, bool fits, uint64_t fingerprint) {
    uint32_t index = static_cast<uint32_t>(candidates_.size());
    candidates_.push_back({styleText, found, fits, kNone});
    byText_.emplace(styleText, index);
    auto [entry, added] = byFingerprint_.try_emplace(fingerprint, index, index);
    if (added) return;
    candidates_[entry->second.second].next = index;
    entry->second.second = index;
}

std::optional<StyleIndex::Class> StyleIndex::ClassFor(std::string_view styleText,
                                                      bool textIsScratch) {
    // Most repeated styles are written alike, which settles both the fit and the class.
    if (auto known = byText_.find(styleText); known != byText_.end()) {
        const Candidate& candidate = candidates_[known->second];
        if (!candidate.fits) return std::nullopt;
        return candidate.found;
    }
    if (!FitsInOneRule(styleText, encoding_)) return std::nullopt;
    uint64_t fingerprint = Fingerprint(styleText, encoding_);
    if (std::optional<Class> found = Equal(fingerprint, styleText)) return found;
    if (textIsScratch) styleText = keptTexts_.emplace_back(styleText);
    Class made{true, inlineClasses_.size()};
    inlineClasses_.push_back(Rule{InlineClassSelector(firstNumber_ + made.rule),
                                  InlineDeclarations(styleText, encoding_)});
    Add(styleText, made, true, fingerprint);
    return made;
}

std::string_view StyleIndex::Name(Class found) const {
    std::string_view selector =
        found.isInline ? inlineClasses_[found.rule].selector : headerRules_[found.rule].selector;
    return selector.substr(std::min(selector.find_first_not_of('.'), selector.size()));
}
