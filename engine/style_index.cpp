#include "engine/style_index.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/class_names.h"
#include "engine/declaration_key.h"
#include "engine/inline_declarations.h"
#include "engine/page_reader.h"
#include "engine/rule_parsing.h"

namespace engine {

namespace {

constexpr std::string_view kInlineClass = "inlineClass";

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

std::string InlineClassSelector(unsigned long long number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return "." + std::string(kInlineClass) + digits;
}

namespace {

// Declarations are compared by key and by effect: texts equal in both have the same key and
// the same set of declarations, and so share a fingerprint. Texts that differ only in the
// order of declarations that set the same property share one too, and are told apart by
// comparing them: pages hold few such.
uint64_t Fingerprint(std::string_view styleText, Encoding encoding) {
    return MixedHash(DeclarationKeyHash(styleText) ^
                     (DeclarationSetHash(styleText, encoding) * 0x9E3779B97F4A7C15ull));
}

// The class name of a single-class selector.
std::string_view SingleClassName(std::string_view selector) { return selector.substr(1); }

// True when `part` lies within `whole`, a text that is not empty.
bool PartOf(std::string_view part, std::string_view whole) {
    std::less<const char*> before;
    return !whole.empty() && !before(part.data(), whole.data()) &&
           !before(whole.data() + whole.size(), part.data() + part.size());
}

}  // namespace

std::vector<bool> StyleIndex::ReusableHeaderRules() const {
    const std::vector<HeaderRule>& rules = header_.rules;
    std::vector<bool> reusable(rules.size());
    // The single-class rules by their names in any ASCII case, each name by its first rule.
    HashSlots byName;
    size_t singleClasses = 0;
    for (size_t i = 0; i < rules.size(); ++i)
        if ((reusable[i] = IsSingleClassSelector(header_.Selector(rules[i])))) ++singleClasses;
    if (singleClasses == 0) return reusable;
    byName.Reserve(singleClasses);
    auto find = [&](std::string_view name) {
        return byName.Find(TextHash(name, true), [&](uint32_t rule) {
            return SameClassName(SingleClassName(header_.Selector(rules[rule])), name);
        });
    };
    for (size_t i = 0; i < rules.size(); ++i) {
        if (!reusable[i]) continue;
        std::string_view name = SingleClassName(header_.Selector(rules[i]));
        if (find(name) == HashSlots::kNone)
            byName.Add(TextHash(name, true), static_cast<uint32_t>(i));
    }
    // For each name, 1 + the last style rule of the CSS that names it (in any block and in any
    // part of a selector: ".note::before" names note), or kSeveral once two rules have.
    constexpr uint32_t kSeveral = UINT32_MAX;
    std::vector<uint32_t> lastRuleNaming(rules.size());
    uint32_t styleRule = 0;
    ForEachStyleRuleSelector(header_.Css(), encoding_, [&](std::string_view selector) {
        ++styleRule;
        for (size_t dot = selector.find('.'); dot != npos; dot = selector.find('.', dot + 1)) {
            std::string_view name = ClassNameAt(selector, dot + 1);
            uint32_t first = name.empty() ? HashSlots::kNone : find(name);
            if (first == HashSlots::kNone) continue;
            uint32_t& last = lastRuleNaming[first];
            last = last != 0 && last != styleRule ? kSeveral : styleRule;
        }
    });
    for (size_t i = 0; i < rules.size(); ++i)
        if (reusable[i])
            reusable[i] =
                lastRuleNaming[find(SingleClassName(header_.Selector(rules[i])))] != kSeveral;
    return reusable;
}

StyleIndex::StyleIndex(const HeaderCss& header, Encoding encoding, const ClassForm& form,
                       InlineClasses& classes)
    : header_(header), encoding_(encoding), form_(form), classes_(classes) {
    // A header rule's class stands lower in the cascade than a raised class.
    if (form_.raisedBy.empty()) IndexHeaderRules();
}

void StyleIndex::IndexHeaderRules() {
    std::vector<bool> reusable = ReusableHeaderRules();
    headerRules_.Reserve(std::count(reusable.begin(), reusable.end(), true));
    for (size_t i = 0; i < reusable.size(); ++i) {
        if (!reusable[i]) continue;
        std::string_view declarations = header_.Declarations(header_.rules[i]);
        uint64_t fingerprint = Fingerprint(declarations, encoding_);
        if (EqualIn(headerRules_, fingerprint, declarations) != HashSlots::kNone)
            continue;  // an earlier rule wins
        headerRules_.Add(fingerprint, static_cast<uint32_t>(i));
    }
}

std::string_view StyleIndex::TextOf(uint32_t reference) const {
    Class found = ClassOf(reference);
    return found.isInline ? classes_.StyleText(classes_.list[found.rule])
                          : header_.Declarations(header_.rules[found.rule]);
}

uint32_t StyleIndex::Equal(uint64_t fingerprint, std::string_view styleText) const {
    uint32_t header = EqualIn(headerRules_, fingerprint, styleText);
    return header != HashSlots::kNone ? header
                                      : EqualIn(classes_.byFingerprint, fingerprint, styleText);
}

uint32_t StyleIndex::EqualIn(const HashSlots& table, uint64_t fingerprint,
                             std::string_view styleText) const {
    return table.Find(fingerprint, [&](uint32_t reference) {
        std::string_view known = TextOf(reference);
        // Another spacing or case is the most common difference: only the rest need sets.
        return SameDeclarationsOtherwiseSpaced(known, styleText) ||
               (SameDeclarationKey(known, styleText) &&
                SameDeclarationsInEffect(known, styleText, encoding_));
    });
}

std::optional<StyleIndex::Class> StyleIndex::ClassFor(std::string_view styleText,
                                                      bool textIsScratch) {
    // Most repeated styles are written alike, which settles both the fit and the class.
    uint64_t textHash = TextHash(styleText);
    uint32_t known =
        byText_.Find(textHash, [&](uint32_t reference) { return TextOf(reference) == styleText; });
    if (known != HashSlots::kNone) return ClassOf(known);
    if (!FitsInOneRule(styleText, encoding_)) return std::nullopt;
    if (classes_.asciiOnly && !std::all_of(styleText.begin(), styleText.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        }))
        return std::nullopt;
    uint64_t fingerprint = Fingerprint(styleText, encoding_);
    if (uint32_t equal = Equal(fingerprint, styleText); equal != HashSlots::kNone) {
        // A header rule's class (or a class of the pages before) met as written is found by
        // its text from now on.
        if (TextOf(equal) == styleText) byText_.Add(textHash, equal);
        return ClassOf(equal);
    }
    uint32_t reference = Add(styleText, textIsScratch, fingerprint);
    byText_.Add(textHash, reference);
    return ClassOf(reference);
}

uint32_t StyleIndex::Add(std::string_view styleText, bool textIsScratch, uint64_t fingerprint) {
    if (Past32Bits(styleText.size()) || classes_.list.size() >= kInline)
        throw std::length_error("style text or inline classes past 32 bits");
    InlineClass made{0, static_cast<uint32_t>(styleText.size()), false};
    if (!textIsScratch && PartOf(styleText, classes_.page)) {
        made.styleBegin = static_cast<size_t>(styleText.data() - classes_.page.data());
    } else {
        made.styleBegin = classes_.styleTexts.size();
        made.inStyleTexts = true;
        classes_.styleTexts += styleText;
    }
    uint32_t reference = kInline | static_cast<uint32_t>(classes_.list.size());
    classes_.list.push_back(made);
    classes_.byFingerprint.Add(fingerprint, reference);
    return reference;
}

std::string_view StyleIndex::Name(Class found) {
    if (found.isInline) {
        name_ = InlineClassSelector(form_.firstNumber + found.rule);
        return std::string_view(name_).substr(1);
    }
    std::string_view selector = header_.Selector(header_.rules[found.rule]);
    return selector.substr(std::min(selector.find_first_not_of('.'), selector.size()));
}

}  // namespace engine
