// The page reader on any bytes. It is the oracle of the other targets, so it is checked on
// its own:
// - markup comes in page order, without overlaps, each piece opening with "<" of its kind;
// - a start tag's attributes lie in order between its name and its end, each name and value
//   a piece of the page at its place;
// - a start tag read again on its own text gives the same attributes, so that a job reading
//   one tag alone reads it as the walk did;
// - a tag's kind is the one its name gives, in any case; other markup is of none.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/page_reader.h"
#include "fuzz/fuzz_check.h"

namespace {

bool Within(std::string_view part, std::string_view page, size_t from, size_t to) {
    return part.data() >= page.data() + from && part.data() + part.size() <= page.data() + to;
}

// The kind of a tag by its name, compared with each known name in turn.
engine::TagKind KindByName(std::string_view name) {
    constexpr std::pair<std::string_view, engine::TagKind> kKinds[] = {
        {"html", engine::TagKind::Html},     {"head", engine::TagKind::Head},
        {"body", engine::TagKind::Body},     {"style", engine::TagKind::Style},
        {"link", engine::TagKind::Link},     {"base", engine::TagKind::Base},
        {"meta", engine::TagKind::Meta},     {"template", engine::TagKind::Template},
        {"script", engine::TagKind::Script},
    };
    for (const auto& [known, kind] : kKinds)
        if (engine::EqualsNoCase(name, known)) return kind;
    return engine::TagKind::Other;
}

void CheckStartTag(std::string_view page, const engine::Markup& tag) {
    Check(Within(tag.name, page, tag.begin + 1, tag.nameEnd) && !tag.name.empty(),
          "a tag name outside its tag");
    size_t from = tag.nameEnd;
    const std::vector<engine::Attribute> attributes = engine::AllAttributes(tag);
    for (size_t i = 0; i < attributes.size(); ++i) {
        const engine::Attribute& attribute = attributes[i];
        Check(
            attribute.begin >= from && attribute.begin < attribute.end && attribute.end <= tag.end,
            "attributes out of order or outside their tag");
        Check(attribute.name.data() == page.data() + attribute.begin && !attribute.name.empty(),
              "an attribute name not at its place");
        Check(!attribute.hasValue || Within(attribute.value, page, attribute.begin, attribute.end),
              "an attribute value outside its attribute");
        Check(!attribute.unclosed || i + 1 == attributes.size(),
              "an unclosed value before the last attribute");
        from = attribute.end;
    }
    engine::Markup again;
    std::string_view text = page.substr(tag.begin, tag.end - tag.begin);
    Check(engine::ReadStartTag(text, 0, again), "a tag read alone never ends");
    const std::vector<engine::Attribute> attributesAgain = engine::AllAttributes(again);
    Check(again.end == text.size() && attributesAgain.size() == attributes.size() &&
              again.selfClosing == tag.selfClosing && again.tag == tag.tag,
          "a tag read alone reads otherwise");
    for (size_t i = 0; i < attributes.size(); ++i)
        Check(attributesAgain[i].name == attributes[i].name &&
                  attributesAgain[i].value == attributes[i].value &&
                  attributesAgain[i].hasValue == attributes[i].hasValue,
              "an attribute read alone reads otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view page = AsText(data, size);
    engine::PageReader reader = engine::MakePageReader(page);
    engine::Markup markup;
    size_t end = 0;
    while (engine::NextMarkup(reader, markup)) {
        Check(markup.begin >= end && markup.begin < markup.end && markup.end <= page.size(),
              "markup out of order, overlapping or outside the page");
        Check(page[markup.begin] == '<', "markup that does not open with <");
        std::string_view text = page.substr(markup.begin, markup.end - markup.begin);
        bool isTag = markup.kind == engine::MarkupKind::StartTag ||
                     markup.kind == engine::MarkupKind::EndTag;
        Check(markup.tag == (isTag ? KindByName(markup.name) : engine::TagKind::Other),
              "a markup of another kind than its name's");
        switch (markup.kind) {
            case engine::MarkupKind::Comment:
                Check(text.substr(0, 4) == "<!--", "a comment without <!--");
                break;
            case engine::MarkupKind::EndTag:
                Check(text.substr(0, 2) == "</", "an end tag without </");
                break;
            case engine::MarkupKind::Declaration:
                Check(text[1] == '!' || text[1] == '?', "a declaration without <! or <?");
                break;
            case engine::MarkupKind::StartTag: CheckStartTag(page, markup); break;
        }
        end = markup.end;
    }
    return 0;
}
