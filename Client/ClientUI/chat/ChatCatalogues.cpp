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
