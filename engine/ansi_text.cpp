#include "engine/ansi_text.h"

#include <array>

#include "engine/byte_classes.h"

namespace engine {

size_t FindNoCase(std::string_view text, std::string_view lowerWord, size_t from) {
    const size_t size = lowerWord.size();
    if (size == 0) return from <= text.size() ? from : std::string_view::npos;
    // Horspool's search over the text as lowered: the last byte of each window tells how far
    // the word can move.
    std::array<size_t, 256> shift;
    shift.fill(size);
    for (size_t j = 0; j + 1 < size; ++j)
        shift[static_cast<unsigned char>(lowerWord[j])] = size - 1 - j;
    for (size_t i = from; i + size <= text.size();) {
        char last = AnsiLower(text[i + size - 1]);
        if (last == lowerWord[size - 1] && StartsWithNoCase(text.substr(i), lowerWord)) return i;
        i += shift[static_cast<unsigned char>(last)];
    }
    return std::string_view::npos;
}

std::string_view TrimSpaceFront(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    return text.substr(start);
}

std::string_view TrimSpace(std::string_view text) {
    text = TrimSpaceFront(text);
    size_t end = text.size();
    while (end > 0 && IsSpace(text[end - 1])) --end;
    return text.substr(0, end);
}

}  // namespace engine
