// Message masking: ten kinds of lines and effects the user switches off, kept
// in the "MaskOff" section of the login profile and asked about by the room's
// line entry and by the engine.
#pragma once

#include <QPointer>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QMenu;

inline constexpr int kMaskKindCount = 10;

struct TMaskKind {
    const char* Key;      // INI key in section "MaskOff"
    const char* Caption;  // menu text, UTF-8 source
};
// By index: PublicChat, PrivateChat, UserEL, Gift, GiftTipInLaba,
// GiftTipInPrivate, PropSound, PropShake, LuxuryGiftInPrivate, LuckWinning.
const std::array<TMaskKind, kMaskKindCount>& MaskKinds();

inline constexpr const char* kMaskSection = "MaskOff";

class TMaskOffSet {
  public:
    void SetMaskFile(std::string fileName) { fileName_ = std::move(fileName); }
    const std::string& MaskFile() const { return fileName_; }

    // Ten settings read (missing keys are false), then all ten written back,
    // so the first login creates the section.
    void LoadMaskSettings();
    // All ten keys in index order; false when the file cannot be written.
    bool SaveMaskSettings() const;

    // The low 7 bits of the kind index the settings; anything beyond them,
    // and everything before the first load, is unmasked.
    bool IsKindMasked(std::uint8_t kind) const;
    const std::vector<bool>& Settings() const { return settings_; }

    // Ten checkable items in index order; choosing one toggles its kind.
    void FillMaskMenu(QMenu* menu);
    // The item at `position` of the filled menu was chosen: its check mark
    // and setting flip and the settings are saved at once.
    void ToggleItem(int position);

  private:
    std::vector<bool> settings_;
    std::string fileName_;
    QPointer<QMenu> menu_;
};

// The program's settings (one object for the whole process).
extern TMaskOffSet MaskSettings;

// After every login the profile's path arrives here: the settings are read
// from it and written back. The program entry installs this once.
void InstallMaskSettingsHook();
