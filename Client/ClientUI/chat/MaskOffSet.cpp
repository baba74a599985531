#include "chat/MaskOffSet.h"

#include <QAction>
#include <QMenu>

#include "chat/ChatTexts.h"
#include "common/IniFile.h"
#include "foundation/ProfileStore.h"

TMaskOffSet MaskSettings;

const std::array<TMaskKind, kMaskKindCount>& MaskKinds() {
    static const std::array<TMaskKind, kMaskKindCount> kinds = {{
        {"PublicChat", "屏蔽公聊信息"},
        {"PrivateChat", "屏蔽私聊信息"},
        {"UserEL", "屏蔽用户进出信息"},
        {"Gift", "屏蔽礼物信息"},
        {"GiftTipInLaba", "屏蔽礼物在小喇叭提示"},
        {"GiftTipInPrivate", "屏蔽接收礼物在私聊框提示"},
        {"PropSound", "屏蔽道具声音"},
        {"PropShake", "屏蔽道具振动"},
        {"LuxuryGiftInPrivate", "屏蔽大型道具私聊框提示"},
        {"LuckWinning", "屏蔽幸运礼物中奖提示"},
    }};
    return kinds;
}

void TMaskOffSet::LoadMaskSettings() {
    settings_.assign(kMaskKindCount, false);
    const IniFile ini(fileName_);
    for (int i = 0; i < kMaskKindCount; ++i) {
        settings_[i] = ini.ReadBool(kMaskSection, MaskKinds()[i].Key, false);
    }
    SaveMaskSettings();
}

bool TMaskOffSet::SaveMaskSettings() const {
    if (fileName_.empty() || settings_.size() != kMaskKindCount) {
        return false;
    }
    IniFile ini(fileName_);
    bool ok = true;
    for (int i = 0; i < kMaskKindCount; ++i) {
        ok = ini.WriteBool(kMaskSection, MaskKinds()[i].Key, settings_[i]) && ok;
    }
    return ok;
}

bool TMaskOffSet::IsKindMasked(std::uint8_t kind) const {
    const std::size_t index = kind & 0x7F;
    return index < settings_.size() && settings_[index];
}

void TMaskOffSet::FillMaskMenu(QMenu* menu) {
    menu_ = menu;
    if (menu == nullptr) {
        return;
    }
    menu->clear();
    for (int i = 0; i < kMaskKindCount; ++i) {
        QAction* item = menu->addAction(GbkToQString(GbkText(MaskKinds()[i].Caption)));
        item->setCheckable(true);
        item->setChecked(i < static_cast<int>(settings_.size()) && settings_[i]);
        QObject::connect(item, &QAction::triggered, menu, [this, menu, item] {
            ToggleItem(static_cast<int>(menu->actions().indexOf(item)));
        });
    }
}

void TMaskOffSet::ToggleItem(int position) {
    if (settings_.size() != kMaskKindCount) {
        // Masking before any login still works for this session.
        settings_.assign(kMaskKindCount, false);
    }
    if (position < 0 || position >= kMaskKindCount) {
        return;
    }
    // The menu was filled from the settings, so flipping the setting flips
    // the mark (a triggered item has flipped its own already).
    const bool masked = !settings_[position];
    if (menu_ && position < menu_->actions().size()) {
        menu_->actions()[position]->setChecked(masked);
    }
    settings_[position] = masked;
    SaveMaskSettings();
}

void InstallMaskSettingsHook() {
    SetProfileSavedHook([](const std::string& configPath) {
        MaskSettings.SetMaskFile(configPath);
        MaskSettings.LoadMaskSettings();
    });
}
