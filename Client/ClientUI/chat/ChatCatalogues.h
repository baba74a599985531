// The chat's process-wide catalogues. The data module creates them through
// the hooks the program entry registers (TgResModule::SetCatalogueHooks).
#pragma once

class TEmotionManager;
class TColorWordManager;

extern TEmotionManager* EmotionCatalogue;
extern TColorWordManager* ColorWordCatalogue;

// Emoticons first, then colour words; nothing is read until first use.
void CreateChatCatalogues();
// In reverse order; safe to call twice.
void DestroyChatCatalogues();
