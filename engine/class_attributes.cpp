#include "engine/class_attributes.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/page_coding.h"

namespace engine {

namespace {

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
// would take the next attribute as its value, whitespace or ">" would end the value or the tag,
// and so may the bytes of a Japanese character of an ISO-2022-JP page.
void AppendAttribute(std::string& out, const Attribute& attribute) {
    out += attribute.name;
    if (!attribute.hasValue) return;
    out += '=';
    std::string_view value = attribute.value;
    bool hasDouble = value.find('"') != std::string_view::npos;
    bool hasSingle = value.find('\'') != std::string_view::npos;
    // A Japanese character of an ISO-2022-JP page, as the run reads it, may hold any byte.
    bool needsQuotes = value.empty() || hasSingle ||
                       value.find_first_of(" \t\r\n\f>") != std::string_view::npos ||
                       value.find(kMarkedEscape) != std::string_view::npos;
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

void AppendMergedClassAttributes(std::string& out, const std::vector<std::string_view>& classValues,
                                 const Markup& tag, const std::function<bool(size_t)>& merged) {
    // The class values, in their order, separated by single spaces.
    out += "class=\"";
    bool firstValue = true;
    for (std::string_view value : classValues) {
        if (value.empty()) continue;
        if (!firstValue) out += ' ';
        AppendQuoteReferences(out, value);
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
        size_t at = 0;
        for (const Attribute& attribute : TagAttributes(tag)) {
            if (merged(at++) || (attribute.name[0] == '=') != equalsFirst) continue;
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
    if (tag.selfClosing) out += " /";
    TrimTrailingSpaces(out);
}

}  // namespace engine
