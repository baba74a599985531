// The user search: GBK text to pinyin letters, and the collection of search
// items (one per user) that the user list filters its rows with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class TPinyinMode { Initials, Full };

// Letters and digits of a GBK text, Chinese characters as pinyin (first letter
// or up to six letters), numbered symbols as their number, full-width letters
// and digits as their ASCII forms, Greek letters spelt in Latin. Cut to 255
// characters.
std::string ToPinyin(std::string_view gbk, TPinyinMode mode);

// ASCII letters lower-cased; the bytes of double-byte characters are left as
// they are (a trail byte may look like an ASCII letter).
std::string GbkLowerCase(std::string_view gbk);

// Whether `text` holds `part` starting on a character boundary, so a match
// never begins inside a double-byte character. An empty part is found.
bool GbkContains(std::string_view text, std::string_view part);

struct TDataCollectionItem {
    std::string Key;  // the user number as text
    std::string Text;
    std::string Extra;
    std::string Initials;
    std::string Full;
    // The lower-cased text, initials, full pinyin and extra, separated by a
    // byte no typed query holds, so one search covers all four fields.
    std::string Haystack;
};

// One item per user, in the users' order. The owner keeps it current as the
// users change, so a search is only the filtering.
class TDataCollection {
  public:
    void Append(std::string key, std::string text, std::string extra);
    // Pinyin is made again only when the text changed.
    void UpdateAt(std::size_t i, std::string text, std::string extra);
    void RemoveAt(std::size_t i);
    void Clear() { items_.clear(); }

    std::size_t Count() const { return items_.size(); }
    const TDataCollectionItem& Item(std::size_t i) const { return items_[i]; }

    // Whether the item's text, initials, full pinyin or extra holds the query
    // (compared in lower case).
    static bool Matches(const TDataCollectionItem& item, std::string_view query);
    // Positions, and keys, of the matching items, in collection order.
    std::vector<std::size_t> SearchIndexes(std::string_view query) const;
    std::vector<std::string> Search(std::string_view query) const;

  private:
    static void Fill(TDataCollectionItem& item, std::string text, std::string extra);
    static bool MatchesLowered(const TDataCollectionItem& item, std::string_view loweredQuery);

    std::vector<TDataCollectionItem> items_;
};
