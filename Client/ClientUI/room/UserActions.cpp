#include "room/UserActions.h"

#include <cstdio>

#include "engine/ClientEngineInf.h"
#include "room/RoomTexts.h"

namespace {

using I = TUserMenuItem;

constexpr std::array<TUserMenuItemInfo, kUserMenuItemCount> kItems{{
    {"miAddMic", "邀请主持节目", 4, false},
    {"miAddRoomManager", "任命房间管理员", -1, false},
    {"miAddTmpManager", "任命临时管理员", 6, false},
    {"miInquiryIP", "查看用户IP", -1, false},
    {"miDropUser", "踢出房间", -1, false},
    {"miBlackUser", "加入黑名单", -1, false},
    {"miDropAndBalckUser", "踢出并拉黑房间", -1, false},
    {"miDropAndBlackIP", "踢出房间并封IP", -1, false},
    {"miCancelPriMic", "取消私麦主持", 5, false},
    {"miUserInfo", "查看详细资料", 1, false},
    {"miSelectGiveUser", "选中赠送用户", 0, true},
    {"miGiftAttachMessage", "发送赠言道具", -1, false},
    {"miGiveWorldGiftProp", "发送世界道具", -1, false},
    {"miSeal", "盖章", -1, false},
    {"miClearSeal", "清除印章", -1, false},
    {"miSelectToChat", "选中聊天对象", -1, false},
    {"miReqMic", "私麦视频连接", 2, false},
    {"miBanChat", "屏蔽房间禁言", 7, true},
    {"miAddVIPMic", "邀请VIP私麦", -1, false},
}};

constexpr std::array kAdminItems{I::AddMic,           I::AddRoomManager, I::AddTmpManager,
                                 I::InquiryIP,        I::DropUser,       I::BlackUser,
                                 I::DropAndBalckUser, I::DropAndBlackIP, I::CancelPriMic,
                                 I::UserInfo,         I::BanChat,        I::AddVIPMic};

constexpr std::array kOtherItems{I::SelectGiveUser, I::GiftAttachMessage, I::Seal,
                                 I::ClearSeal,      I::SelectToChat,      I::ReqMic};

// The level is a 10xx member level at or above `from`.
bool MemberLevelFrom(std::int16_t level, int from) {
    return level >= from && level / 100 == 10;
}

}  // namespace

const TUserMenuItemInfo& UserMenuItemInfo(TUserMenuItem item) {
    return kItems[static_cast<std::size_t>(item)];
}

TUserMenuState::TUserMenuState() {
    for (std::size_t i = 0; i < kUserMenuItemCount; ++i) {
        items_[i].Caption = RoomText(kItems[i].Caption);
    }
    At(I::GiveWorldGiftProp).Visible = false;
}

void TUserMenuState::Open(const TUserMenuContext& c) {
    const bool self = c.TargetId == c.MyUserId;
    auto enable = [this](std::initializer_list<I> items, bool on) {
        for (I item : items)
            At(item).Enabled = on;
    };

    // 1, 2
    for (I item : kAdminItems)
        At(item).Visible = c.MyRole >= 29;
    for (I item : kAdminItems)
        At(item).Enabled = true;
    for (I item : kOtherItems)
        At(item).Enabled = true;
    // 3
    if (c.TargetRole == 29) {
        At(I::AddTmpManager).Caption = RoomText("取消临时管理员");
    } else if (c.TargetRole < 29) {
        At(I::AddTmpManager).Caption = RoomText("任命临时管理员");
    }
    At(I::AddTmpManager).Enabled = c.TargetRole <= 29;
    // 4, 5
    At(I::BanChat).Caption =
        c.TargetChatBanned ? RoomText("取消房间禁言") : RoomText("添加房间禁言");
    At(I::AddMic).Caption = c.TargetMic == 1 ? RoomText("取消主持节目") : RoomText("邀请主持节目");
    // 6
    enable({I::CancelPriMic, I::ReqMic}, c.TargetMic > 1);
    // 7
    At(I::UserInfo).Visible = c.MyRole >= 235;
    At(I::DropAndBlackIP).Visible = c.MyRole >= 235;
    // 8
    if (self) {
        for (I item : kAdminItems)
            At(item).Enabled = false;
        for (I item : kOtherItems)
            At(item).Enabled = false;
        enable({I::InquiryIP, I::UserInfo, I::Seal, I::ClearSeal}, true);
    }
    // 9
    At(I::Seal).Enabled = c.TargetSealPicture < 0;
    At(I::ClearSeal).Enabled = c.TargetSealPicture >= 0;
    // 10
    At(I::InquiryIP).Enabled = MemberLevelFrom(c.MyLevel, 1060) || c.MyRole > 49;
    // 11, 12, 13
    if (c.MyRole < 29) {
        enable({I::AddMic, I::CancelPriMic, I::AddTmpManager, I::BanChat, I::DropUser, I::BlackUser,
                I::DropAndBalckUser, I::DropAndBlackIP, I::AddVIPMic},
               false);
    }
    if (c.MyRole < 30) {
        enable({I::AddMic, I::CancelPriMic, I::AddTmpManager, I::BlackUser, I::DropAndBalckUser,
                I::DropAndBlackIP, I::AddVIPMic},
               false);
    }
    if (c.MyRole < 49) {
        enable(
            {I::CancelPriMic, I::BlackUser, I::DropAndBalckUser, I::DropAndBlackIP, I::AddVIPMic},
            false);
    }
    // 14, 15, 16
    if (MemberLevelFrom(c.MyLevel, 1050))
        enable({I::CancelPriMic, I::AddVIPMic}, true);
    if (MemberLevelFrom(c.MyLevel, 1060)) {
        enable({I::CancelPriMic, I::BlackUser, I::DropAndBalckUser, I::AddVIPMic}, true);
    }
    if (c.MyLevel >= 2016 && c.MyLevel <= 2023)
        enable({I::CancelPriMic}, true);
    // 17
    const int lowRole = c.MyRole & 0xFF;
    At(I::AddRoomManager).Enabled = lowRole == 49 || lowRole == 50 || lowRole == 235 ||
                                    lowRole == 255 || c.MyUserId == c.OwnerId ||
                                    c.MyUserId == c.DeputyId1 || c.MyUserId == c.DeputyId2;
}

bool SendUserMenuCommand(TUserMenuItem item, const TUserMenuContext& c, IClientEngine& engine) {
    const std::int32_t target = c.TargetId;
    switch (item) {
        case I::AddMic:
            if (c.TargetMic == 1) {
                engine.CancelMic(target);
            } else {
                engine.InviteToMic(1, target);
            }
            return true;
        case I::AddRoomManager:
            engine.AddRoomManager(target);
            return true;
        case I::AddTmpManager:
            if (c.TargetRole < 29) {
                engine.AddTempManager(target);
                return true;
            }
            if (c.TargetRole == 29) {
                engine.RemoveTempManager(target);
                return true;
            }
            return false;
        case I::InquiryIP:
            engine.QueryUserIP(target);
            return true;
        case I::DropUser:
            engine.PunishUser(1, target);
            return true;
        case I::DropAndBalckUser:
            engine.PunishUser(2, target);
            return true;
        case I::DropAndBlackIP:
            engine.PunishUser(3, target);
            return true;
        case I::BlackUser:
            engine.PunishUser(4, target);
            return true;
        case I::CancelPriMic:
            engine.CancelMic(target);
            return true;
        case I::UserInfo:
            if (c.MyRole >= 235 && target != c.MyUserId) {
                engine.QueryUserDetails(target);
                return true;
            }
            return false;
        case I::ReqMic:
            engine.ConnectPrivateMic(target);
            return true;
        case I::BanChat:
            engine.SetBanChat(target, 2, kBanChatMilliseconds, c.TargetChatBanned ? 0 : 1);
            return true;
        case I::AddVIPMic:
            if (c.TargetMic != 3) {
                engine.InviteToMic(3, target);
                return true;
            }
            return false;
        default:
            return false;
    }
}

std::optional<TShakeRefusal> CheckShake(std::int16_t myRole, std::int32_t partnerId,
                                        std::int64_t now, std::optional<std::int64_t> lastShake) {
    if (myRole <= 9)
        return TShakeRefusal::NoRight;
    if (partnerId <= 0)
        return TShakeRefusal::NoPartner;
    if (lastShake && now - *lastShake < 10000)
        return TShakeRefusal::TooSoon;
    return std::nullopt;
}

const std::string& ShakeRefusalText(TShakeRefusal refusal) {
    switch (refusal) {
        case TShakeRefusal::NoRight:
            return RoomText("您没有发送窗口抖动的权限。");
        case TShakeRefusal::NoPartner:
            return RoomText("请选择一个有效用户。");
        case TShakeRefusal::TooSoon:
        default:
            return RoomText("您发送窗口抖动过于频繁，请稍候再发。");
    }
}

std::string ShakeSentText(const std::string& partnerNick, std::int32_t partnerId) {
    return RoomText("您向") + partnerNick + "(" + std::to_string(partnerId) + ")" +
           RoomText("发送了一个窗口抖动。");
}
