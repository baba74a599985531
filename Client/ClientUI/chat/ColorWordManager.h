// Colour words: ready-made decorated phrases from "ColorWord/word.xml". A
// sender sends only "\ColorWord" + menu position; every receiver looks the
// number up here and shows the phrase's HTML.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class QMenu;

struct TColorWord {
    std::string Index;  // at most 2 bytes
    std::string Name;   // at most 10 bytes, the menu caption
    std::string Html;   // the fragment, pictures under the folder
};

class TColorWordManager {
  public:
    // Reads folder + "word.xml" once; a missing or broken file leaves the
    // catalogue empty. `folder` ends with "/".
    void LoadColorWords(const std::string& folder);
    bool Loaded() const { return loaded_; }
    const std::vector<TColorWord>& Items() const { return items_; }
    // The word whose index text is `index`, or nullptr.
    const TColorWord* Find(std::string_view index) const;

    // One radio item per word; the room connects their choice.
    void FillColorWordMenu(QMenu* menu) const;

  private:
    bool loaded_ = false;
    std::vector<TColorWord> items_;
};

// Every "images/" (any case) replaced by the folder.
std::string ReplaceImageFolder(std::string_view html, std::string_view folder);
