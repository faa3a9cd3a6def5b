// DeclarationKey on any bytes: the key is the text's non-whitespace bytes, lower-cased and
// sorted, so it has no whitespace and no capital, is in byte order, keeps the count of each
// lower-cased byte, and is its own key. Keys compared and hashed without being built agree.
#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/declaration_key.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/reference_forms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = AsText(data, size);
    std::string key = DeclarationKey(text);

    std::array<size_t, 256> expected{};
    for (char c : text)
        if (!engine::IsSpace(c)) ++expected[static_cast<unsigned char>(engine::AnsiLower(c))];
    std::array<size_t, 256> found{};
    for (size_t i = 0; i < key.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(key[i]);
        Check(!engine::IsSpace(key[i]), "whitespace in a key");
        Check(engine::AnsiLower(key[i]) == key[i], "capital in a key");
        Check(i == 0 || static_cast<unsigned char>(key[i - 1]) <= b, "key out of byte order");
        ++found[b];
    }
    Check(found == expected, "key does not hold the text's bytes");
    Check(DeclarationKey(key) == key, "key of a key differs from it");

    // Whitespace and letter case never tell two declarations apart.
    std::string spaced;
    for (char c : text) {
        spaced += ' ';
        spaced += c;
        spaced += "\r\n\t";
    }
    Check(DeclarationKey(spaced) == key, "whitespace changed the key");
    std::string lower = AnsiLowerCopy(text);
    Check(DeclarationKey(lower) == key, "letter case changed the key");

    // The key compared and hashed without being built: as the key says, for any two halves.
    Check(engine::SameDeclarationKey(text, spaced) && engine::SameDeclarationKey(text, lower),
          "equal keys compare unequal");
    Check(engine::DeclarationKeyHash(text) == engine::DeclarationKeyHash(spaced) &&
              engine::DeclarationKeyHash(text) == engine::DeclarationKeyHash(lower),
          "equal keys hash unequally");
    std::string_view first = text.substr(0, text.size() / 2);
    std::string_view second = text.substr(text.size() / 2);
    bool same = DeclarationKey(first) == DeclarationKey(second);
    Check(engine::SameDeclarationKey(first, second) == same, "keys compared otherwise than built");
    Check(!same || engine::DeclarationKeyHash(first) == engine::DeclarationKeyHash(second),
          "equal keys hash apart");
    return 0;
}
