#include "engine/unused_cleaning.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/class_names.h"
#include "engine/css_lexer.h"
#include "engine/hash_slots.h"

namespace engine {

namespace {

// The names a header rule is judged by: the first class of each selector of its group, read
// with the CSS lexer outside brackets, strings and comments (a class inside ":not(.x)" or
// "[title='.x']" does not make the rule depend on it). The rule stays when any of them occurs
// in the page. False when the rule always stays: an at-rule, or a selector that names no class
// outside brackets.
bool TestedNames(std::string_view selector, std::vector<std::string_view>& names) {
    names.clear();
    if (!selector.empty() && selector[0] == '@') return false;  // at-rules always stay
    bool named = false;  // the current selector of the group has its class
    CssLexer lexer(selector);
    CssToken token;
    while (lexer.Next(token)) {
        if (token.kind != CssPiece::Text || lexer.Depth() != 0) continue;
        std::string_view text = PieceText(selector, token);
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ',') {
                if (!named) return false;
                named = false;
            } else if (text[i] == '.' && !named) {
                std::string_view name = ClassNameAt(text, i + 1);
                if (name.empty()) return false;  // a dot that begins no name
                names.push_back(name);
                named = true;
                i += name.size();
            }
        }
    }
    return named;
}

// The distinct names that the rules are judged by, in any ASCII case, each by its first place
// in the header CSS, and whether the page holds it.
class Names {
public:
    // Room for `count` names, so that adding them never grows the tables.
    Names(std::string_view css, size_t count) : css_(css) {
        places_.reserve(count);
        table_.Reserve(count);
    }

    // The index of the name, kNone when it is none of them.
    uint32_t Find(std::string_view name) const {
        return table_.Find(TextHash(name, true),
                           [&](uint32_t i) { return SameClassName(Text(i), name); });
    }
    // Adds the name (a part of the CSS) when it is not one of them yet.
    void Add(std::string_view name) {
        if (Find(name) != HashSlots::kNone) return;
        if (places_.size() >= HashSlots::kNone) throw std::length_error("2^32 class names");
        table_.Add(TextHash(name, true), static_cast<uint32_t>(places_.size()));
        places_.push_back(
            {static_cast<uint32_t>(name.data() - css_.data()), static_cast<uint32_t>(name.size())});
    }
    size_t Count() const { return places_.size(); }
    std::string_view Text(uint32_t i) const {
        return css_.substr(places_[i].first, places_[i].second);
    }

private:
    std::string_view css_;
    std::vector<std::pair<uint32_t, uint32_t>> places_;  // begin and size
    HashSlots table_;
};

// The names still sought, with the lengths of those that begin with each byte (in ASCII lower
// case), so that a byte of the page that begins none of them (in either case) costs one look
// at a table.
class SoughtNames {
public:
    explicit SoughtNames(const Names& names) : names_(names), found_(names.Count()) {
        for (int b = 0; b < 256; ++b)
            byteKinds_[b] = IsClassNameByte(static_cast<char>(b)) ? kNameByte : kOther;
        for (uint32_t i = 0; i < names.Count(); ++i) Count(names.Text(i), +1);
        left_ = names.Count();
    }

    bool Empty() const { return left_ == 0; }
    bool Found(uint32_t name) const { return found_[name]; }

    // Looks for every name still sought that begins at `at` of `token` (in ASCII lower case);
    // those found are sought no more.
    void LookAt(std::string_view token, size_t at) {
        auto& lengths = lengthsByFirstByte_[static_cast<unsigned char>(token[at])];
        for (size_t i = 0; i < lengths.size();) {
            size_t length = lengths[i].first;
            uint32_t name = at + length <= token.size() ? names_.Find(token.substr(at, length))
                                                        : HashSlots::kNone;
            if (name == HashSlots::kNone || found_[name]) {
                ++i;
                continue;
            }
            found_[name] = true;
            --left_;
            // Other names of the same first byte and length cannot begin here as well.
            if (Count(names_.Text(name), -1)) ++i;
        }
    }

    // What a byte is to the search: kOther, kNameByte, or kBeginsAName, a name byte that
    // begins a name still sought.
    enum ByteKind : unsigned char { kOther, kNameByte, kBeginsAName };
    ByteKind KindOf(char c) const { return byteKinds_[static_cast<unsigned char>(c)]; }

    // True when a name may begin at `at` of `text`: its byte begins a name still sought, and
    // its first two bytes, in lower case, begin a name sought (a name of one byte aside).
    // Most letters begin some name in one case or the other; few pairs do.
    bool MayBeginAName(std::string_view text, size_t at) const {
        if (KindOf(text[at]) != kBeginsAName) return false;
        unsigned char first = static_cast<unsigned char>(AsciiLower(text[at]));
        if (oneByteNames_[first] > 0) return true;
        if (at + 1 >= text.size()) return false;
        return firstPairs_[first * 256 + static_cast<unsigned char>(AsciiLower(text[at + 1]))] > 0;
    }

private:
    // Adds `step` to the count of names of the first byte and length of `name` (and to that of
    // its first bytes), in ASCII lower case; false when that count drops to zero, which removes
    // its entry.
    bool Count(std::string_view name, int step) {
        unsigned char first = static_cast<unsigned char>(AsciiLower(name[0]));
        if (name.size() == 1)
            oneByteNames_[first] += step;
        else
            firstPairs_[first * 256 + static_cast<unsigned char>(AsciiLower(name[1]))] += step;
        auto& lengths = lengthsByFirstByte_[first];
        for (auto entry = lengths.begin(); entry != lengths.end(); ++entry) {
            if (entry->first != name.size()) continue;
            entry->second += step;
            if (entry->second > 0) return true;
            lengths.erase(entry);
            if (lengths.empty()) {
                byteKinds_[first] = kNameByte;
                byteKinds_[static_cast<unsigned char>(AsciiUpper(static_cast<char>(first)))] =
                    kNameByte;
            }
            return false;
        }
        lengths.emplace_back(name.size(), 1);
        byteKinds_[first] = kBeginsAName;
        byteKinds_[static_cast<unsigned char>(AsciiUpper(static_cast<char>(first)))] = kBeginsAName;
        return true;
    }

    const Names& names_;
    std::vector<bool> found_;
    size_t left_ = 0;
    std::array<std::vector<std::pair<size_t, int>>, 256> lengthsByFirstByte_;
    std::array<ByteKind, 256> byteKinds_{};
    // How many names still sought are of each byte, and begin with each two bytes.
    std::array<int, 256> oneByteNames_{};
    std::vector<int> firstPairs_ = std::vector<int>(256 * 256);
};

// Finds which of the names occur somewhere in the page in any ASCII case, as a page in quirks
// mode matches class names, in one pass over its class-name tokens (runs of class-name bytes).
// A name is made of class-name bytes, so each of its occurrences lies inside one token; a token
// is looked through only when one of its bytes begins a name still sought, and once, however
// often the page repeats it.
void FindNamesInPage(std::string_view page, SoughtNames& sought, RunProgress& progress) {
    std::unordered_set<std::string_view> tokensLookedThrough;
    std::string lowerToken;
    for (size_t at = 0; at < page.size() && !sought.Empty(); ++at) {
        if (!sought.MayBeginAName(page, at)) continue;
        size_t start = at;
        while (start > 0 && sought.KindOf(page[start - 1]) != SoughtNames::kOther) --start;
        while (at < page.size() && sought.KindOf(page[at]) != SoughtNames::kOther) ++at;
        std::string_view token = page.substr(start, at - start);
        progress.At(at);
        if (!tokensLookedThrough.insert(token).second) continue;
        lowerToken.assign(token);
        for (char& c : lowerToken) c = AsciiLower(c);
        for (size_t i = 0; i < token.size(); ++i)
            if (sought.MayBeginAName(token, i)) sought.LookAt(lowerToken, i);
    }
}

}  // namespace

void MarkUsedRules(const HeaderCss& header, std::string_view page, std::vector<bool>& used,
                   RunProgress& progress) {
    // Most rules are judged by one name: room for as many names as rules.
    Names names(header.Css(), header.rules.size());
    std::vector<std::string_view> tested;
    for (const HeaderRule& rule : header.rules)
        if (TestedNames(header.Selector(rule), tested))
            for (std::string_view name : tested) names.Add(name);
    SoughtNames sought(names);
    FindNamesInPage(page, sought, progress);

    used.resize(header.rules.size());
    for (size_t i = 0; i < used.size(); ++i) {
        if (used[i]) continue;
        used[i] = !TestedNames(header.Selector(header.rules[i]), tested);
        for (size_t n = 0; n < tested.size() && !used[i]; ++n)
            used[i] = sought.Found(names.Find(tested[n]));
    }
}

void KeepUsedRules(std::vector<HeaderRule>& rules, const std::vector<bool>& used) {
    size_t kept = 0;
    for (size_t i = 0; i < rules.size(); ++i)
        if (used[i]) rules[kept++] = rules[i];
    rules.resize(kept);
}

void RemoveUnusedRules(HeaderCss& header, std::string_view page, RunProgress& progress) {
    std::vector<bool> used;
    MarkUsedRules(header, page, used, progress);
    KeepUsedRules(header.rules, used);
}

}  // namespace engine
