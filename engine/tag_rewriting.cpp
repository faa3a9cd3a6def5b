#include "engine/tag_rewriting.h"

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/class_attributes.h"
#include "engine/inline_declarations.h"

namespace {

bool IsLang(const Attribute& attribute) {
    return !attribute.unclosed && EqualsNoCase(attribute.name, "lang");
}

bool IsStyle(const Attribute& attribute) {
    return attribute.hasValue && EqualsNoCase(attribute.name, "style");
}

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
    for (const Attribute& attribute : tag.attributes)
        if (attribute.unclosed) return 0;

    // Every class is found before any name is written: finding one may make a new class.
    scratch.classes.clear();
    size_t classAttributes = 0;
    bool usesInlineClass = false;
    for (size_t i = 0; i < tag.attributes.size(); ++i) {
        const Attribute& attribute = tag.attributes[i];
        if (IsClass(attribute)) ++classAttributes;
        if (!IsStyle(attribute)) continue;
        std::string_view styleText = StyleTextOf(attribute.value, scratch.decodedStyle);
        bool decoded = styleText.data() == scratch.decodedStyle.data();
        std::optional<StyleIndex::Class> found =
            index.ClassFor(styleText, decoded || textIsScratch);
        if (!found) continue;
        scratch.classes.emplace_back(i, *found);
        usesInlineClass = usesInlineClass || found->isInline;
        ++classAttributes;
    }
    if (scratch.classes.empty()) return 0;

    size_t attributesStart = tag.nameEnd;
    while (attributesStart < tag.end && IsSpace(text[attributesStart])) ++attributesStart;
    size_t attributesEnd = tag.end - 1;  // the closing ">"
    out.append(text, tag.begin, attributesStart - tag.begin);
    if (usesInlineClass || classAttributes > 1) {
        // The merged attributes replace the "/" that may part them from the name (<img/a=b).
        if (attributesStart == tag.nameEnd) out += ' ';
        scratch.merged = tag.attributes;
        for (auto [at, found] : scratch.classes) {
            Attribute& converted = scratch.merged[at];
            converted.name = "class";
            converted.value = index.Name(found);
        }
        AppendMergedClassAttributes(out, scratch.merged, tag.selfClosing);
    } else {
        size_t copied = attributesStart;
        for (auto [at, found] : scratch.classes) {
            const Attribute& attribute = tag.attributes[at];
            out.append(text, copied, attribute.begin - copied);
            out += "class=";
            out += index.Name(found);
            // An unquoted class text must not run into what follows it, such as a "/".
            if (attribute.end < attributesEnd && !IsSpace(text[attribute.end])) out += ' ';
            copied = attribute.end;
        }
        out.append(text, copied, attributesEnd - copied);
    }
    out += '>';
    return scratch.classes.size();
}
