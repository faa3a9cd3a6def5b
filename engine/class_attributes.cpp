#include "engine/class_attributes.h"

#include <vector>

#include "engine/ansi_text.h"

namespace {

// One attribute of a start tag as written in the page. A word without "=" (disabled, or the
// "/" of a self-closing tag) has no value and is written back as it stands.
struct Attribute {
    std::string_view name;
    std::string_view value;
    bool hasValue = false;
};

size_t SkipSpace(std::string_view text, size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
}

// Reads a value starting at `pos` (just after the "=" and its whitespace). A quoted value is
// kept byte for byte and runs to the end of the text when its closing quote is missing; an
// unquoted one ends at the next whitespace. `pos` ends up after the value.
std::string_view ReadValue(std::string_view text, size_t& pos) {
    if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
        size_t open = pos + 1;
        size_t close = text.find(text[pos], open);
        if (close == std::string_view::npos) close = text.size();
        pos = close < text.size() ? close + 1 : close;
        return text.substr(open, close - open);
    }
    size_t start = pos;
    while (pos < text.size() && !IsSpace(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

// Splits the attribute text in one pass. Attributes may be separated by any run of
// whitespace, including the line breaks of a tag wrapped over several lines, and whitespace
// may stand on either side of "=".
std::vector<Attribute> ReadAttributes(std::string_view text) {
    std::vector<Attribute> attributes;
    size_t pos = SkipSpace(text, 0);
    while (pos < text.size()) {
        Attribute attribute;
        size_t start = pos;
        ++pos;  // a name holds at least one byte, even a stray "=", as a tag reads it
        while (pos < text.size() && !IsSpace(text[pos]) && text[pos] != '=') ++pos;
        attribute.name = text.substr(start, pos - start);
        size_t afterName = SkipSpace(text, pos);
        if (afterName < text.size() && text[afterName] == '=') {
            pos = SkipSpace(text, afterName + 1);
            attribute.value = ReadValue(text, pos);
            attribute.hasValue = true;
        } else {
            pos = afterName;
        }
        attributes.push_back(attribute);
        pos = SkipSpace(text, pos);
    }
    return attributes;
}

bool IsClass(const Attribute& attribute) { return EqualsNoCase(attribute.name, "class"); }

// Appends `value` inside double quotes, writing each double quote as &quot;.
void AppendDoubleQuoted(std::string& out, std::string_view value) {
    out += '"';
    for (char c : value) {
        if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
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

std::string MergeClassAttributes(std::string_view attributeText) {
    std::vector<Attribute> attributes = ReadAttributes(attributeText);
    bool hasClass = false;
    for (const Attribute& attribute : attributes) hasClass = hasClass || IsClass(attribute);
    if (!hasClass && FindNoCase(attributeText, "class=") == std::string_view::npos) return {};

    std::string result;
    result.reserve(attributeText.size() + 16);
    // The class values, in their order, separated by single spaces.
    std::string classValues;
    for (const Attribute& attribute : attributes) {
        if (!IsClass(attribute) || attribute.value.empty()) continue;
        classValues += attribute.value;
        classValues += ' ';
    }
    TrimTrailingSpaces(classValues);
    result += "class=";
    AppendDoubleQuoted(result, classValues);
    // Every other attribute stands between two spaces, in its order; names that begin with
    // "=" come first, right after the quoted class value, since after a word without value
    // they would become that word's value. One such name after another without value gives
    // that one an empty value, which means the same.
    bool previousWithoutValue = false;
    for (bool equalsFirst : {true, false}) {
        for (const Attribute& attribute : attributes) {
            if (IsClass(attribute) || (attribute.name[0] == '=') != equalsFirst) continue;
            if (previousWithoutValue && equalsFirst) {
                TrimTrailingSpaces(result);
                result += "=\"\" ";
            }
            result += ' ';
            AppendAttribute(result, attribute);
            result += ' ';
            previousWithoutValue = !attribute.hasValue && attribute.name != "/";
        }
    }
    TrimTrailingSpaces(result);
    return result;
}
