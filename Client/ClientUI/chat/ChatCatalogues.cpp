#include "chat/ChatCatalogues.h"

#include "chat/ColorWordManager.h"
#include "chat/EmotionManager.h"

TEmotionManager* EmotionCatalogue = nullptr;
TColorWordManager* ColorWordCatalogue = nullptr;

void CreateChatCatalogues() {
    if (EmotionCatalogue == nullptr) {
        EmotionCatalogue = new TEmotionManager;
    }
    if (ColorWordCatalogue == nullptr) {
        ColorWordCatalogue = new TColorWordManager;
    }
}

void DestroyChatCatalogues() {
    delete ColorWordCatalogue;
    ColorWordCatalogue = nullptr;
    delete EmotionCatalogue;
    EmotionCatalogue = nullptr;
}

std::optional<std::string> ColorWordHtmlOf(int number) {
    if (ColorWordCatalogue == nullptr || number < 0) {
        return std::nullopt;
    }
    const TColorWord* word = ColorWordCatalogue->Find(std::to_string(number));
    if (word == nullptr) {
        return std::nullopt;
    }
    return word->Html;
}
