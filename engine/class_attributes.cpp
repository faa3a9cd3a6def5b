#include "engine/class_attributes.h"

#include <algorithm>

#include "engine/ansi_text.h"

namespace {

bool IsClass(const Attribute& attribute) { return EqualsNoCase(attribute.name, "class"); }

// Appends `value` with each double quote written as &quot;.
void AppendQuoteReferences(std::string& out, std::string_view value) {
    for (size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
        out.append(value, 0, quote);
        out += "&quot;";
        value.remove_prefix(quote + 1);
    }
    out += value;
}

void AppendDoubleQuoted(std::string& out, std::string_view value) {
    out += '"';
    AppendQuoteReferences(out, value);
    out += '"';
}

// Writes one attribute other than class, quoted only when its value needs it: an empty value
// would take the next attribute as its value, and whitespace or ">" would end the value or
// the tag.
void AppendAttribute(std::string& out, const Attribute& attribute) {
    out += attribute.name;
    if (!attribute.hasValue) return;
    out += '=';
    std::string_view value = attribute.value;
    bool hasDouble = value.find('"') != std::string_view::npos;
    bool hasSingle = value.find('\'') != std::string_view::npos;
    bool needsQuotes =
        value.empty() || hasSingle || value.find_first_of(" \t\r\n>") != std::string_view::npos;
    if (hasDouble && !hasSingle) {
        out += '\'';
        out += value;
        out += '\'';
    } else if (hasDouble || needsQuotes) {
        AppendDoubleQuoted(out, value);
    } else {
        out += value;
    }
}

void TrimTrailingSpaces(std::string& text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
}

}  // namespace

void AppendMergedClassAttributes(std::string& out, const std::vector<Attribute>& attributes,
                                 size_t merged, bool selfClosing) {
    // The class values, in their order, separated by single spaces.
    out += "class=\"";
    bool firstValue = true;
    for (size_t i = 0; i < merged; ++i) {
        const Attribute& attribute = attributes[i];
        if (attribute.value.empty()) continue;
        if (!firstValue) out += ' ';
        AppendQuoteReferences(out, attribute.value);
        firstValue = false;
    }
    TrimTrailingSpaces(out);
    out += '"';
    // Every other attribute stands between two spaces, in its order; names that begin with
    // "=" come first, right after the quoted class value, since after a word without value
    // they would become that word's value. One such name after another without value gives
    // that one an empty value, which means the same.
    bool previousWithoutValue = false;
    for (bool equalsFirst : {true, false}) {
        for (size_t i = merged; i < attributes.size(); ++i) {
            const Attribute& attribute = attributes[i];
            if ((attribute.name[0] == '=') != equalsFirst) continue;
            if (previousWithoutValue && equalsFirst) {
                TrimTrailingSpaces(out);
                out += "=\"\" ";
            }
            out += ' ';
            AppendAttribute(out, attribute);
            out += ' ';
            previousWithoutValue = !attribute.hasValue;
        }
    }
    if (selfClosing) out += " /";
    TrimTrailingSpaces(out);
}

std::string MergeClassAttributes(std::string_view attributeText) {
    Markup tag;
    ReadAttributes(attributeText, 0, tag);
    // The class attributes first, then the others, each in their order.
    auto others = std::stable_partition(tag.attributes.begin(), tag.attributes.end(), IsClass);
    size_t classes = others - tag.attributes.begin();
    if (classes == 0 && FindNoCase(attributeText, "class=") == std::string_view::npos) return {};
    std::string merged;
    merged.reserve(attributeText.size() + 16);
    AppendMergedClassAttributes(merged, tag.attributes, classes, tag.selfClosing);
    return merged;
}
