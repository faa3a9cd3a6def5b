#include "bench/bad_pages.h"

#include <string_view>

namespace {

std::string Repeated(std::string_view piece, size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i) text += piece;
    return text;
}

}  // namespace

const std::vector<BadPage>& ManyTagsPages() {
    static const std::vector<BadPage> pages = {
        {"NestedStyledDivs",
         [](size_t n) {
             return "<html><body>" + Repeated("<div class=\"k\" style=\"color:red\">", n) + "x" +
                    Repeated("</div>", n);
         }},
        {"UnclosedStartTags", [](size_t n) { return "<body>" + Repeated("<p class=a ", n); },
         engine::RunError::NothingToExtract},
        {"UnclosedQuotedValues",
         [](size_t n) { return "<body>" + Repeated("<p style=\"color:red x>", n); }},
        {"UnclosedSingleQuotes", [](size_t n) { return "<body>" + Repeated("<a title='x>", n); },
         engine::RunError::NothingToExtract},
        {"UnclosedComments", [](size_t n) { return "<body><p style=a:b>" + Repeated("<!--", n); }},
        {"StyleTagsBeforeTheBody",
         [](size_t n) { return Repeated("<style>", n) + "<body><p style=\"a:b\">"; },
         engine::RunError::StyleBlockUnclosed},
        {"ClosedStyleBlocks",
         [](size_t n) {
             return Repeated("<style>.a{color:red}</style>", n) + "<body><p class=a>x</p>";
         }},
        {"LangAttributes", [](size_t n) { return "<body>" + Repeated("<p lang=\"en\">", n); },
         engine::RunError::NothingToExtract},
        {"ManyStyleAttributes",
         [](size_t n) { return "<body><p" + Repeated(" style=\"a:b\"", n) + ">"; },
         engine::RunError::NothingToExtract},
        {"RawTextElements",
         [](size_t n) {
             return "<body>" + Repeated("<noscript><p style=a:b lang=x></noscript>", n);
         },
         engine::RunError::NothingToExtract},
        {"DoubleByteCharacters",
         [](size_t n) {
             // Shift_JIS characters whose trail bytes are "}" and "\\".
             return "<meta charset=shift_jis><style>" + Repeated(".\x83\x7D {a:'\x95\x5C'}\n", n) +
                    "</style><body>" + Repeated("<p class=\x83\x7D style=\"b:'\x95\x5C'\">", n);
         }},
        {"ManyClassAttributes",
         [](size_t n) { return "<body><p " + Repeated("class=c ", n) + "style=\"a:b\">"; }},
        {"DistinctInlineStyles",
         [](size_t n) {
             std::string page = "<html><body>";
             for (size_t i = 0; i < n; ++i)
                 page += "<p style=\"width:" + std::to_string(i) + "px\">";
             return page;
         }},
        {"HeaderRules",
         [](size_t n) {
             std::string css;
             for (size_t i = 0; i < n; ++i) css += ".c" + std::to_string(i) + " {margin:0}\n";
             return "<html><head><style>" + css + "</style></head><body><p class=c7>";
         }},
        {"UnclosedLessThan", [](size_t n) { return "<body>" + Repeated("<", n); },
         engine::RunError::NothingToExtract},
    };
    return pages;
}

std::string NoiseBytes(size_t size, uint32_t seed, bool withLessThan) {
    std::string bytes;
    bytes.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        char c = static_cast<char>(seed >> 24);
        if (!withLessThan && c == '<') c = '(';
        bytes += c;
    }
    return bytes;
}

std::string ImageBytesPage(size_t size) { return "\x89PNG\r\n\x1a\n" + NoiseBytes(size, 7, false); }

std::string BinaryBytesPage(size_t size, uint32_t seed) {
    return "GIF89a" + NoiseBytes(size, seed, true);
}
