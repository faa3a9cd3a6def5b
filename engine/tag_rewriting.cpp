#include "engine/tag_rewriting.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/class_attributes.h"
#include "engine/inline_declarations.h"

namespace engine {

namespace {

bool IsLang(const Attribute& attribute) {
    return !attribute.unclosed && EqualsNoCase(attribute.name, "lang");
}

bool IsStyleNamed(const Attribute& attribute) { return EqualsNoCase(attribute.name, "style"); }

bool IsClass(const Attribute& attribute) { return EqualsNoCase(attribute.name, "class"); }

}  // namespace

bool HasLangAttribute(const Markup& tag) {
    if (tag.tag == TagKind::Html) return false;
    for (const Attribute& attribute : TagAttributes(tag))
        if (IsLang(attribute)) return true;
    return false;
}

void AppendWithoutLang(std::string& out, std::string_view text, const Markup& tag) {
    size_t copied = tag.begin;
    size_t tagEnd = tag.end - 1;  // the closing ">"
    for (const Attribute& attribute : TagAttributes(tag)) {
        if (!IsLang(attribute)) continue;
        size_t from = attribute.begin;
        // The space before it goes too, unless an attribute follows right after its value
        // (lang="x"id=y): that one would then run into what stands before.
        char next = attribute.end < tagEnd ? text[attribute.end] : '>';
        bool attributeFollows = !IsTagSpace(next) && next != '/' && next != '>';
        if (text[from - 1] == ' ' && !attributeFollows) --from;  // a name never starts a tag
        out.append(text, copied, from - copied);
        copied = attribute.end;
    }
    out.append(text, copied, tag.end - copied);
}

namespace {

// The style attribute of a tag and its first class attribute, the one a browser reads, with
// their places among its attributes (npos for none).
struct StyleAndFirstClass {
    size_t style = npos;
    size_t firstClass = npos;
    Attribute styleAttribute;
    std::string_view firstClassValue;
};

// False for a tag with more than one style attribute. A browser reads the first style
// attribute of a tag and drops the others; once the first became a class, the next would be
// read in its place: all of them stay.
bool FindStyleAndFirstClass(const Markup& tag, StyleAndFirstClass& found) {
    size_t i = 0;
    for (const Attribute& attribute : TagAttributes(tag)) {
        if (IsClass(attribute) && found.firstClass == npos) {
            found.firstClass = i;
            found.firstClassValue = attribute.value;
        }
        if (IsStyleNamed(attribute)) {
            if (found.style != npos) return false;
            found.style = i;
            found.styleAttribute = attribute;
        }
        ++i;
    }
    return true;
}

// Appends the tag's attributes with the first class attribute and the converted style, in
// their order, merged; a later class attribute stays one of the others, which a browser
// ignores as before.
void AppendMergedClasses(std::string& out, const Markup& tag, const StyleAndFirstClass& found,
                         std::string_view name, TagScratch& scratch) {
    scratch.classValues.clear();
    if (found.firstClass != npos && found.firstClass < found.style)
        scratch.classValues.push_back(found.firstClassValue);
    scratch.classValues.push_back(name);
    if (found.firstClass != npos && found.firstClass > found.style)
        scratch.classValues.push_back(found.firstClassValue);
    AppendMergedClassAttributes(out, scratch.classValues, tag, [&](size_t at) {
        return at == found.style || at == found.firstClass;
    });
}

// Appends the tag's attributes from `attributesStart` on, its style attribute replaced by
// class=NAME in its place.
void AppendStyleAsClass(std::string& out, std::string_view text, const Markup& tag,
                        size_t attributesStart, const Attribute& styleAttribute,
                        std::string_view name) {
    size_t attributesEnd = tag.end - 1;  // the closing ">"
    out.append(text, attributesStart, styleAttribute.begin - attributesStart);
    out += "class=";
    out += name;
    // An unquoted class text must not run into what follows it, such as a "/".
    if (styleAttribute.end < attributesEnd && !IsTagSpace(text[styleAttribute.end])) out += ' ';
    out.append(text, styleAttribute.end, attributesEnd - styleAttribute.end);
}

}  // namespace

size_t AppendConvertedTag(std::string& out, std::string_view text, bool textIsScratch,
                          const Markup& tag, StyleIndex& index, TagScratch& scratch) {
    StyleAndFirstClass attributes;
    if (tag.unclosedValue || !FindStyleAndFirstClass(tag, attributes)) return 0;
    const Attribute& styleAttribute = attributes.styleAttribute;
    if (attributes.style == npos || !styleAttribute.hasValue) return 0;

    std::string_view styleText =
        StyleTextOf(styleAttribute.value, scratch.decodedStyle, index.PageEncoding());
    bool decoded = styleText.data() == scratch.decodedStyle.data();
    std::optional<StyleIndex::Class> found = index.ClassFor(styleText, decoded || textIsScratch);
    if (!found) return 0;

    size_t attributesStart = tag.nameEnd;
    while (attributesStart < tag.end && IsTagSpace(text[attributesStart])) ++attributesStart;
    out.append(text, tag.begin, attributesStart - tag.begin);
    std::string_view name = index.Name(*found);
    if (found->isInline || attributes.firstClass != npos) {
        // The merged attributes replace the "/" that may part them from the name (<img/a=b).
        if (attributesStart == tag.nameEnd) out += ' ';
        AppendMergedClasses(out, tag, attributes, name, scratch);
    } else {
        AppendStyleAsClass(out, text, tag, attributesStart, styleAttribute, name);
    }
    out += '>';
    return 1;
}

}  // namespace engine
