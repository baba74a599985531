// What the current user may do to another user of the room: the user-list
// menu's items with their enable, visible and caption rules, the commands
// they send, and the window-shake check. No widgets: the room's menu shows
// what these decide.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class IClientEngine;

enum class TUserMenuItem : std::size_t {
    AddMic,
    AddRoomManager,
    AddTmpManager,
    InquiryIP,
    DropUser,
    BlackUser,
    DropAndBalckUser,
    DropAndBlackIP,
    CancelPriMic,
    UserInfo,
    SelectGiveUser,
    GiftAttachMessage,
    GiveWorldGiftProp,
    Seal,
    ClearSeal,
    SelectToChat,
    ReqMic,
    BanChat,
    AddVIPMic,
};
inline constexpr std::size_t kUserMenuItemCount = 19;

// Component name, first caption (UTF-8 literal) and image index (-1 none).
struct TUserMenuItemInfo {
    const char* Name;
    const char* Caption;
    int Image;
    bool SeparatorBefore;
};
const TUserMenuItemInfo& UserMenuItemInfo(TUserMenuItem item);

// Who opens the menu and over whom.
struct TUserMenuContext {
    std::int16_t MyRole = 0;
    std::int16_t MyLevel = 0;
    std::int32_t MyUserId = 0;
    std::int32_t OwnerId = 0;
    std::int32_t DeputyId1 = 0;
    std::int32_t DeputyId2 = 0;
    std::int32_t TargetId = 0;
    std::int16_t TargetRole = 0;
    std::int16_t TargetMic = 0;
    bool TargetChatBanned = false;
    std::int32_t TargetSealPicture = -1;
};

struct TMenuItemState {
    bool Visible = true;
    bool Enabled = true;
    std::string Caption;  // GBK
};

// The menu's items. Captions that a rule leaves alone keep what the last
// opening gave them, so one state lives as long as the menu.
class TUserMenuState {
  public:
    TUserMenuState();

    // Applies the opening rules, later ones overriding earlier ones.
    void Open(const TUserMenuContext& context);

    const TMenuItemState& operator[](TUserMenuItem item) const {
        return items_[static_cast<std::size_t>(item)];
    }

  private:
    TMenuItemState& At(TUserMenuItem item) { return items_[static_cast<std::size_t>(item)]; }
    std::array<TMenuItemState, kUserMenuItemCount> items_;
};

// Sends the engine command of an administration or mic item. False for items
// that send nothing by themselves (dialogs, chat partner, gift recipient) or
// whose rule sends nothing for this target.
bool SendUserMenuCommand(TUserMenuItem item, const TUserMenuContext& context,
                         IClientEngine& engine);

// Why a window shake may not be sent; nothing when it may.
enum class TShakeRefusal { NoRight, NoPartner, TooSoon };
// lastShakeTick empty: no shake sent yet in this room.
std::optional<TShakeRefusal> CheckShake(std::int16_t myRole, std::int32_t partnerId,
                                        std::int64_t now, std::optional<std::int64_t> lastShake);
// The system line of a refusal (GBK).
const std::string& ShakeRefusalText(TShakeRefusal refusal);
// "您向%s(%d)发送了一个窗口抖动。"
std::string ShakeSentText(const std::string& partnerNick, std::int32_t partnerId);

inline constexpr std::int32_t kBanChatMilliseconds = 86400000;
