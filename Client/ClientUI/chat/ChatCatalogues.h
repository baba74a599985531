// The chat's process-wide catalogues. The data module creates them through
// the hooks the program entry registers (TgResModule::SetCatalogueHooks).
#pragma once

#include <optional>
#include <string>

class TEmotionManager;
class TColorWordManager;

extern TEmotionManager* EmotionCatalogue;
extern TColorWordManager* ColorWordCatalogue;

// The fragment of a received colour-word number, none when the program's
// catalogue has no such word (or is not created).
std::optional<std::string> ColorWordHtmlOf(int number);

// Emoticons first, then colour words; nothing is read until first use.
void CreateChatCatalogues();
// In reverse order; safe to call twice.
void DestroyChatCatalogues();
