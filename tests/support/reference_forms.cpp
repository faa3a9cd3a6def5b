#include "tests/support/reference_forms.h"

#include <array>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/class_attributes.h"
#include "engine/page_reader.h"

namespace {

bool IsClass(const engine::Attribute& attribute) {
    return engine::EqualsNoCase(attribute.name, "class");
}

}  // namespace

std::string MergeClassAttributes(std::string_view attributeText) {
    engine::Markup tag;
    engine::ReadAttributes(attributeText, 0, tag);
    // The class attributes first, then the others, each in their order.
    std::vector<std::string_view> classValues;
    for (const engine::Attribute& attribute : engine::TagAttributes(tag))
        if (IsClass(attribute)) classValues.push_back(attribute.value);
    if (classValues.empty() &&
        engine::FindNoCase(attributeText, "class=") == std::string_view::npos)
        return {};
    std::string merged;
    merged.reserve(attributeText.size() + 16);
    std::vector<bool> isClass;
    for (const engine::Attribute& attribute : engine::TagAttributes(tag))
        isClass.push_back(IsClass(attribute));
    engine::AppendMergedClassAttributes(merged, classValues, tag,
                                        [&](size_t at) { return isClass[at]; });
    return merged;
}

// Made by counting the bytes (one pass, 256 counters) rather than by a comparison sort.
std::string DeclarationKey(std::string_view declarations) {
    std::array<size_t, 256> counts{};
    size_t kept = 0;
    for (char c : declarations) {
        if (engine::IsSpace(c)) continue;
        ++counts[static_cast<unsigned char>(engine::AnsiLower(c))];
        ++kept;
    }
    std::string key;
    key.reserve(kept);
    for (size_t byte = 0; byte < counts.size(); ++byte)
        if (counts[byte] != 0) key.append(counts[byte], static_cast<char>(byte));
    return key;
}

std::string AnsiLowerCopy(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = engine::AnsiLower(c);
    return lower;
}
