// The classes that style attributes become: a header rule's class when one has the same
// declarations, else an inline class made for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/hash_slots.h"
#include "engine/header_css.h"
#include "engine/inline_classes.h"

namespace engine {

// The number of the first inline class: one more than the highest N of the classes
// "inlineClassN" (N digits, the name in any ASCII case, as a page without doctype matches class
// names) that the header CSS names anywhere (in the rules of an @media block too), or that
// `highestInPage` says the page's class attributes name, so that no name is used twice.
unsigned long long FirstInlineClassNumber(std::string_view headerCss,
                                          unsigned long long highestInPage);

// The highest N of the class names "inlineClassN" (in any ASCII case) in the class attributes
// of the page (outside comments and raw text), 0 when there is none.
unsigned long long HighestInlineClassInPage(std::string_view page);

// The selector of the inline class numbered `number`: ".inlineClass" and the number, with at
// least three digits.
std::string InlineClassSelector(unsigned long long number);

// Finds the class for each style text: a style written exactly as one met before is found by
// its text; any other by a fingerprint of its declaration key and its set of declarations,
// then confirmed exactly (the declarations in effect), so that an anagram, a hash collision
// or another order of declarations that set the same property never shares a class. Header
// rules that are a single class come first, in page order, then the inline classes as they
// are made. A header rule's class is reused only when no other rule of the header CSS, in any
// block, names that class: another rule would style the element as well. Where the inline
// classes are raised in the cascade, no header rule's class is reused.
// It keeps no text of its own: its tables hold 32-bit references to the header rules and the
// inline classes, about 11 bytes each, so that pages of millions of rules or styles fit in memory.
class StyleIndex {
public:
    // Reads the header rules of `header` and its CSS; inline classes are added to `classes`
    // (which may hold those of the pages before, in a run over several, with their index), and
    // named in their `form`. Style texts are read in `encoding`, the page's. All must outlive
    // the index.
    StyleIndex(const HeaderCss& header, Encoding encoding, const ClassForm& form,
               InlineClasses& classes);

    struct Class {
        bool isInline = false;  // an inline class rather than a header rule's class
        size_t rule = 0;        // its index among the header rules or the inline classes
    };

    // The class for a style text; none when the text does not fit in one rule. A text that is
    // no part of the page of the classes (`textIsScratch`, or any other), or any text where the
    // classes have no page, is copied into their style texts when it makes an inline class.
    std::optional<Class> ClassFor(std::string_view styleText, bool textIsScratch);

    // The class name to write in the page: the selector without its leading "."s. Valid until
    // the next call of ClassFor or Name.
    std::string_view Name(Class found);

    // The page's encoding, in which its style attributes are read.
    Encoding PageEncoding() const { return encoding_; }

private:
    // A class by 32 bits: the index of a header rule, or of an inline class with kInline.
    static constexpr uint32_t kInline = 0x80000000u;

    // The declarations of the class as written: a header rule's, or an inline class's style.
    std::string_view TextOf(uint32_t reference) const;
    static Class ClassOf(uint32_t reference) {
        return {(reference & kInline) != 0, reference & ~kInline};
    }
    // The first class of the same fingerprint whose declarations equal those of the text: a
    // header rule's, else an inline class's.
    uint32_t Equal(uint64_t fingerprint, std::string_view styleText) const;
    uint32_t EqualIn(const HashSlots& table, uint64_t fingerprint,
                     std::string_view styleText) const;
    // Makes an inline class of the style text, with the fingerprint of its declarations; returns
    // its reference.
    uint32_t Add(std::string_view styleText, bool textIsScratch, uint64_t fingerprint);
    // The header rules that may be reused: single classes that no other rule names.
    std::vector<bool> ReusableHeaderRules() const;
    void IndexHeaderRules();

    const HeaderCss& header_;
    Encoding encoding_;
    const ClassForm& form_;
    InlineClasses& classes_;
    // The classes met on this page as written, by text: inline classes, and header rules.
    HashSlots byText_;
    // The header rules that may be reused, by fingerprint; the inline classes are in the index
    // of `classes_`, which the pages of a run over several share.
    HashSlots headerRules_;
    std::string name_;
};

}  // namespace engine
