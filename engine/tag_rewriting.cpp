#include "engine/tag_rewriting.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/class_attributes.h"
#include "engine/inline_declarations.h"

namespace {

bool IsLang(const Attribute& attribute) {
    return !attribute.unclosed && EqualsNoCase(attribute.name, "lang");
}

bool IsStyleNamed(const Attribute& attribute) { return EqualsNoCase(attribute.name, "style"); }

bool IsClass(const Attribute& attribute) { return EqualsNoCase(attribute.name, "class"); }

}  // namespace

bool HasLangAttribute(const Markup& tag) {
    if (EqualsNoCase(tag.name, "html")) return false;
    for (const Attribute& attribute : tag.attributes)
        if (IsLang(attribute)) return true;
    return false;
}

void AppendWithoutLang(std::string& out, std::string_view text, const Markup& tag) {
    size_t copied = tag.begin;
    size_t tagEnd = tag.end - 1;  // the closing ">"
    for (const Attribute& attribute : tag.attributes) {
        if (!IsLang(attribute)) continue;
        size_t from = attribute.begin;
        // The space before it goes too, unless an attribute follows right after its value
        // (lang="x"id=y): that one would then run into what stands before.
        char next = attribute.end < tagEnd ? text[attribute.end] : '>';
        bool attributeFollows = !IsSpace(next) && next != '/' && next != '>';
        if (text[from - 1] == ' ' && !attributeFollows) --from;  // a name never starts a tag
        out.append(text, copied, from - copied);
        copied = attribute.end;
    }
    out.append(text, copied, tag.end - copied);
}

size_t AppendConvertedTag(std::string& out, std::string_view text, bool textIsScratch,
                          const Markup& tag, StyleIndex& index, TagScratch& scratch) {
    const size_t none = tag.attributes.size();
    size_t style = none;
    size_t firstClass = none;  // the one class attribute a browser reads
    for (size_t i = 0; i < tag.attributes.size(); ++i) {
        const Attribute& attribute = tag.attributes[i];
        if (attribute.unclosed) return 0;
        if (IsClass(attribute) && firstClass == none) firstClass = i;
        if (!IsStyleNamed(attribute)) continue;
        // A browser reads the first style attribute of a tag and drops the others; once the
        // first became a class, the next would be read in its place: all of them stay.
        if (style != none) return 0;
        style = i;
    }
    if (style == none || !tag.attributes[style].hasValue) return 0;

    const Attribute& styleAttribute = tag.attributes[style];
    std::string_view styleText = StyleTextOf(styleAttribute.value, scratch.decodedStyle);
    bool decoded = styleText.data() == scratch.decodedStyle.data();
    std::optional<StyleIndex::Class> found = index.ClassFor(styleText, decoded || textIsScratch);
    if (!found) return 0;

    size_t attributesStart = tag.nameEnd;
    while (attributesStart < tag.end && IsSpace(text[attributesStart])) ++attributesStart;
    size_t attributesEnd = tag.end - 1;  // the closing ">"
    out.append(text, tag.begin, attributesStart - tag.begin);
    if (found->isInline || firstClass != none) {
        // The merged attributes replace the "/" that may part them from the name (<img/a=b).
        if (attributesStart == tag.nameEnd) out += ' ';
        // The first class attribute and the converted style, in their order, are merged; a
        // later class attribute stays one of the others, which a browser ignores as before.
        scratch.merged.clear();
        for (size_t i : {std::min(style, firstClass), std::max(style, firstClass)}) {
            if (i == none) continue;
            scratch.merged.push_back(tag.attributes[i]);
            if (i == style) scratch.merged.back().value = index.Name(*found);
        }
        size_t merged = scratch.merged.size();
        for (size_t i = 0; i < tag.attributes.size(); ++i)
            if (i != style && i != firstClass) scratch.merged.push_back(tag.attributes[i]);
        AppendMergedClassAttributes(out, scratch.merged, merged, tag.selfClosing);
    } else {
        out.append(text, attributesStart, styleAttribute.begin - attributesStart);
        out += "class=";
        out += index.Name(*found);
        // An unquoted class text must not run into what follows it, such as a "/".
        if (styleAttribute.end < attributesEnd && !IsSpace(text[styleAttribute.end])) out += ' ';
        out.append(text, styleAttribute.end, attributesEnd - styleAttribute.end);
    }
    out += '>';
    return 1;
}
