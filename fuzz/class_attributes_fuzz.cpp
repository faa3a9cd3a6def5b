// MergeClassAttributes on any attribute text. Its result is one double-quoted class attribute
// followed by the other attributes, so merging it again changes nothing. When the text reads
// as the attributes of one start tag, the merged text must too: one tag, ending where it
// did, with a single class attribute in front, as many other attributes as before, and
// self-closing when the tag was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/class_attributes.h"
#include "engine/page_reader.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/reference_forms.h"

namespace {

struct TagReading {
    bool oneWholeTag = false;  // a start tag running exactly to the final ">"
    bool unclosedValue = false;
    size_t classAttributes = 0;
    size_t otherAttributes = 0;
    bool classFirst = false;
    bool selfClosing = false;
};

TagReading ReadAsTag(std::string_view attributeText) {
    std::string tag = "<p " + std::string(attributeText) + ">";
    engine::PageReader reader = engine::MakePageReader(tag);
    engine::Markup markup;
    TagReading reading;
    if (!engine::NextMarkup(reader, markup) || markup.kind != engine::MarkupKind::StartTag)
        return reading;
    reading.oneWholeTag = markup.begin == 0 && markup.end == tag.size();
    reading.selfClosing = markup.selfClosing;
    const std::vector<engine::Attribute> attributes = engine::AllAttributes(markup);
    for (size_t i = 0; i < attributes.size(); ++i) {
        const engine::Attribute& attribute = attributes[i];
        reading.unclosedValue = reading.unclosedValue || attribute.unclosed;
        if (engine::EqualsNoCase(attribute.name, "class")) {
            ++reading.classAttributes;
            if (i == 0) reading.classFirst = true;
        } else {
            ++reading.otherAttributes;
        }
    }
    return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = AsText(data, size);
    std::string merged = MergeClassAttributes(text);
    if (engine::FindNoCase(text, "class") == std::string_view::npos)
        Check(merged.empty(), "a text without class attribute was rewritten");
    if (merged.empty()) return 0;

    Check(merged.compare(0, 7, "class=\"") == 0, "merged text does not start with class=\"");
    Check(MergeClassAttributes(merged) == merged, "merging a merged text changed it");

    TagReading before = ReadAsTag(text);
    if (!before.oneWholeTag || before.unclosedValue || before.classAttributes == 0) return 0;
    TagReading after = ReadAsTag(merged);
    Check(after.oneWholeTag, "merged attributes do not make one tag");
    Check(!after.unclosedValue, "merged attributes hold an unclosed value");
    Check(after.classAttributes == 1 && after.classFirst, "not one class attribute in front");
    Check(after.otherAttributes == before.otherAttributes, "attributes lost or made by merging");
    Check(after.selfClosing == before.selfClosing, "merging changed whether the tag self-closes");
    return 0;
}
