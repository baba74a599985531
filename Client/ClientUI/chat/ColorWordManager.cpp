#include "chat/ColorWordManager.h"

#include <QActionGroup>
#include <QMenu>

#include "chat/CatalogueText.h"
#include "chat/ChatTexts.h"
#include "common/XMLTag.h"

std::string ReplaceImageFolder(std::string_view html, std::string_view folder) {
    static constexpr std::string_view kImages = "images/";
    std::string out;
    std::size_t i = 0;
    while (i < html.size()) {
        bool match = i + kImages.size() <= html.size();
        for (std::size_t k = 0; match && k < kImages.size(); ++k) {
            char c = html[i + k];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
            match = c == kImages[k];
        }
        if (match) {
            out += folder;
            i += kImages.size();
        } else {
            out += html[i++];
        }
    }
    return out;
}

void TColorWordManager::LoadColorWords(const std::string& folder) {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const auto root = XMLParser::ParseFile(folder + "word.xml");
    if (!root) {
        return;
    }
    for (const XMLTag* item : root->ChildrenNamed("item")) {
        TColorWord word;
        word.Index = ChildText(*item, "index", 2);
        word.Name = ChildText(*item, "Name", 10);
        // Cut before the folder goes in, so a long folder never cuts a tag.
        word.Html = ReplaceImageFolder(ChildText(*item, "html", 2999), folder);
        items_.push_back(std::move(word));
    }
}

const TColorWord* TColorWordManager::Find(std::string_view index) const {
    for (const TColorWord& word : items_) {
        if (word.Index == index) {
            return &word;
        }
    }
    return nullptr;
}

void TColorWordManager::FillColorWordMenu(QMenu* menu) const {
    menu->clear();
    auto* group = new QActionGroup(menu);
    for (const TColorWord& word : items_) {
        QAction* item = menu->addAction(GbkToQString(word.Name));
        item->setCheckable(true);
        group->addAction(item);
    }
}
