#include "engine/lang_stripping.h"

#include "engine/ansi_text.h"
#include "engine/page_reader.h"

std::string StripLangAttributes(std::string_view page) {
    std::string stripped;
    stripped.reserve(page.size());
    size_t copied = 0;
    PageReader reader = MakePageReader(page);
    Markup markup;
    while (NextMarkup(reader, markup)) {
        if (markup.kind != MarkupKind::StartTag) continue;
        for (const Attribute& attribute : markup.attributes) {
            if (attribute.unclosed || !EqualsNoCase(attribute.name, "lang")) continue;
            size_t from = attribute.begin;
            if (page[from - 1] == ' ') --from;  // a name never starts a tag, so from > 0
            stripped.append(page, copied, from - copied);
            copied = attribute.end;
        }
    }
    stripped.append(page, copied, page.npos);
    return stripped;
}
