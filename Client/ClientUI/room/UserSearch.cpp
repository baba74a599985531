#include "room/UserSearch.h"

#include <PinyinTable.h>

#include "common/GbkText.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::size_t kPinyinMaxChars = 255;

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A double-byte character starts at i: a lead byte with a trail after it.
bool PairAt(std::string_view text, std::size_t i) {
    return IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
           static_cast<unsigned char>(text[i + 1]) >= 0x40;
}

char UpperAscii(unsigned char c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

// Numbered symbols (lead 0xA2): the number of the symbol in its series.
// Series: small roman numerals, numbers with a full stop, parenthesised
// numbers, circled numbers, parenthesised ideographic numbers, capital roman
// numerals.
int NumberedSymbol(unsigned char trail) {
    struct Series {
        unsigned char first, last;
    };
    static constexpr Series kSeries[] = {{0xA1, 0xAA}, {0xB1, 0xC4}, {0xC5, 0xD8},
                                         {0xD9, 0xE2}, {0xE5, 0xEE}, {0xF1, 0xFC}};
    for (const auto& s : kSeries)
        if (trail >= s.first && trail <= s.last)
            return trail - s.first + 1;
    return 0;
}

// Greek letters (lead 0xA6): capitals at 0xA1-0xB8, small letters at
// 0xC1-0xD8, both in alphabet order.
const char* GreekLetter(unsigned char trail) {
    static constexpr const char* kGreek[24] = {"A", "B", "G", "D", "E",  "Z",  "E",  "TH",
                                               "I", "K", "L", "M", "N",  "X",  "O",  "P",
                                               "R", "S", "T", "U", "PH", "KH", "PS", "O"};
    if (trail >= 0xA1 && trail <= 0xB8)
        return kGreek[trail - 0xA1];
    if (trail >= 0xC1 && trail <= 0xD8)
        return kGreek[trail - 0xC1];
    return nullptr;
}

void AppendPair(std::string& out, unsigned char lead, unsigned char trail, TPinyinMode mode) {
    const bool initials = mode == TPinyinMode::Initials;
    switch (lead) {
        case 0xA2:
            if (trail > 0xA0) {
                if (int n = NumberedSymbol(trail))
                    out += std::to_string(n);
            } else if (initials) {
                out += '?';
            }
            return;
        case 0xA3: {
            const auto c = static_cast<unsigned char>(trail - 0x80);
            if (trail >= 0x80 && IsAsciiAlnum(c))
                out += static_cast<char>(c);
            return;
        }
        case 0xA6:
            if (const char* g = GreekLetter(trail))
                out += g;
            return;
        default:
            break;
    }
    const char* syllable = PinyinSyllableOf(lead, trail);
    if (!syllable) {
        if (initials)
            out += '?';
        return;
    }
    const std::size_t take = initials ? 1 : 6;
    for (std::size_t i = 0; i < take && syllable[i]; ++i)
        out += UpperAscii(static_cast<unsigned char>(syllable[i]));
}

}  // namespace

std::string ToPinyin(std::string_view gbk, TPinyinMode mode) {
    std::string out;
    out.reserve(gbk.size() * (mode == TPinyinMode::Initials ? 1 : 3));
    const std::size_t n = gbk.size();
    for (std::size_t i = 0; i < n && out.size() < kPinyinMaxChars;) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x81 || i + 1 >= n || static_cast<unsigned char>(gbk[i + 1]) < 0x40) {
            if (IsAsciiAlnum(b))
                out += UpperAscii(b);
            ++i;
            continue;
        }
        AppendPair(out, b, static_cast<unsigned char>(gbk[i + 1]), mode);
        i += 2;
    }
    if (out.size() > kPinyinMaxChars)
        out.resize(kPinyinMaxChars);
    return out;
}

std::string GbkLowerCase(std::string_view gbk) {
    std::string out(gbk);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (PairAt(out, i)) {
            ++i;  // the trail byte is part of the character
            continue;
        }
        const auto b = static_cast<unsigned char>(out[i]);
        if (b >= 'A' && b <= 'Z')
            out[i] = static_cast<char>(b - 'A' + 'a');
    }
    return out;
}

bool GbkContains(std::string_view text, std::string_view part) {
    if (part.empty())
        return true;
    // Candidates by a plain byte search; each is kept only when it starts
    // where a character starts.
    std::size_t boundary = 0;
    for (std::size_t pos = text.find(part); pos != std::string_view::npos;
         pos = text.find(part, pos + 1)) {
        while (boundary < pos)
            boundary += PairAt(text, boundary) ? 2 : 1;
        if (boundary == pos)
            return true;
    }
    return false;
}

namespace {

// Between the fields of a haystack; a query holding it is searched field by
// field instead.
constexpr char kFieldSeparator = '\x01';

}  // namespace

void TDataCollection::Fill(TDataCollectionItem& item, std::string text, std::string extra) {
    if (item.Haystack.empty() || item.Text != text) {
        item.Initials = ToPinyin(text, TPinyinMode::Initials);
        item.Full = ToPinyin(text, TPinyinMode::Full);
        item.Text = std::move(text);
    }
    item.Extra = std::move(extra);
    std::string& h = item.Haystack;
    h.clear();
    h.reserve(item.Text.size() + item.Initials.size() + item.Full.size() + item.Extra.size() + 3);
    h += GbkLowerCase(item.Text);
    h += kFieldSeparator;
    h += GbkLowerCase(item.Initials);
    h += kFieldSeparator;
    h += GbkLowerCase(item.Full);
    h += kFieldSeparator;
    h += GbkLowerCase(item.Extra);
}

void TDataCollection::Append(std::string key, std::string text, std::string extra) {
    TDataCollectionItem& item = items_.emplace_back();
    item.Key = std::move(key);
    Fill(item, std::move(text), std::move(extra));
}

void TDataCollection::UpdateAt(std::size_t i, std::string text, std::string extra) {
    if (i < items_.size())
        Fill(items_[i], std::move(text), std::move(extra));
}

void TDataCollection::RemoveAt(std::size_t i) {
    if (i < items_.size())
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
}

bool TDataCollection::Matches(const TDataCollectionItem& item, std::string_view query) {
    return MatchesLowered(item, GbkLowerCase(query));
}

bool TDataCollection::MatchesLowered(const TDataCollectionItem& item, std::string_view q) {
    if (q.find(kFieldSeparator) == std::string_view::npos)
        return GbkContains(item.Haystack, q);
    // A query holding the separator (typed control characters): the fields
    // one by one, so no match spans two of them.
    for (const std::string* field : {&item.Text, &item.Initials, &item.Full, &item.Extra})
        if (GbkContains(GbkLowerCase(*field), q))
            return true;
    return false;
}

std::vector<std::size_t> TDataCollection::SearchIndexes(std::string_view query) const {
    const std::string q = GbkLowerCase(query);
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (MatchesLowered(items_[i], q))
            found.push_back(i);
    return found;
}

std::vector<std::string> TDataCollection::Search(std::string_view query) const {
    std::vector<std::string> keys;
    for (std::size_t i : SearchIndexes(query))
        keys.push_back(items_[i].Key);
    return keys;
}
