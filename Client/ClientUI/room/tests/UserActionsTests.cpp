#include <gtest/gtest.h>

#include <map>

#include "room/RoomTexts.h"
#include "room/UserActions.h"
#include "room/tests/RoomFakeEngine.h"

namespace {

using I = TUserMenuItem;

constexpr std::int32_t kMe = 1000;
constexpr std::int32_t kTarget = 2000;

// 'E' shown and enabled, 'D' shown and disabled, 'H' hidden; 'e' and 'd'
// check only the enabled state (for items whose visibility another rule
// decides).
using TExpect = std::map<I, char>;

struct TMenuCase {
    const char* What;
    std::int16_t MyRole;
    std::int16_t MyLevel;
    bool Self;
    std::int16_t TargetRole;
    std::int16_t TargetMic;
    std::int32_t TargetSeal;
    TExpect Expect;
};

TUserMenuContext Context(std::int16_t myRole, std::int16_t myLevel, bool self,
                         std::int16_t targetRole, std::int16_t targetMic = 0,
                         std::int32_t targetSeal = -1) {
    TUserMenuContext c;
    c.MyRole = myRole;
    c.MyLevel = myLevel;
    c.MyUserId = kMe;
    c.OwnerId = 5;
    c.TargetId = self ? kMe : kTarget;
    c.TargetRole = targetRole;
    c.TargetMic = targetMic;
    c.TargetSealPicture = targetSeal;
    return c;
}

const TMenuCase kMenuCases[] = {
    {"room manager of level 1010",
     30,
     1010,
     false,
     1,
     0,
     -1,
     {{I::DropUser, 'E'},
      {I::BanChat, 'E'},
      {I::BlackUser, 'D'},
      {I::DropAndBalckUser, 'D'},
      {I::CancelPriMic, 'D'},
      {I::AddVIPMic, 'D'},
      {I::DropAndBlackIP, 'H'},
      {I::UserInfo, 'H'},
      {I::InquiryIP, 'D'},
      {I::AddRoomManager, 'D'},
      {I::AddTmpManager, 'E'},
      {I::GiveWorldGiftProp, 'H'}}},
    {"temporary manager",
     29,
     1010,
     false,
     1,
     0,
     -1,
     {{I::AddMic, 'D'},
      {I::DropUser, 'E'},
      {I::BanChat, 'E'},
      {I::BlackUser, 'D'},
      {I::DropAndBalckUser, 'D'},
      {I::AddTmpManager, 'D'},
      {I::AddVIPMic, 'D'},
      {I::InquiryIP, 'D'}}},
    {"registered user of level 1060 sees no admin item",
     1,
     1060,
     false,
     1,
     2,
     -1,
     {{I::AddMic, 'H'},
      {I::DropUser, 'H'},
      {I::BlackUser, 'H'},
      {I::CancelPriMic, 'H'},
      {I::AddVIPMic, 'H'},
      {I::BanChat, 'H'},
      {I::UserInfo, 'H'},
      {I::SelectGiveUser, 'E'},
      {I::ReqMic, 'E'},
      {I::Seal, 'E'},
      {I::ClearSeal, 'D'},
      {I::SelectToChat, 'E'}}},
    {"level 1060 over his own row",
     30,
     1060,
     true,
     30,
     0,
     -1,
     {{I::CancelPriMic, 'E'},
      {I::BlackUser, 'E'},
      {I::DropAndBalckUser, 'E'},
      {I::AddVIPMic, 'E'},
      {I::DropUser, 'D'},
      {I::BanChat, 'D'},
      {I::SelectToChat, 'D'},
      {I::SelectGiveUser, 'D'},
      {I::InquiryIP, 'E'},
      {I::Seal, 'E'},
      {I::ClearSeal, 'D'}}},
    {"level 1050 opens the private-mic items only",
     30,
     1050,
     false,
     1,
     0,
     -1,
     {{I::CancelPriMic, 'E'}, {I::AddVIPMic, 'E'}, {I::BlackUser, 'D'}, {I::InquiryIP, 'D'}}},
    {"level 2018 may cancel private mics",
     30,
     2018,
     false,
     1,
     0,
     -1,
     {{I::CancelPriMic, 'E'}, {I::AddVIPMic, 'D'}, {I::BlackUser, 'D'}}},
    {"site master",
     255,
     0,
     false,
     1,
     2,
     -1,
     {{I::UserInfo, 'E'},
      {I::DropAndBlackIP, 'E'},
      {I::BlackUser, 'E'},
      {I::CancelPriMic, 'E'},
      {I::ReqMic, 'E'},
      {I::AddRoomManager, 'E'},
      {I::InquiryIP, 'E'}}},
    {"deputy owner role 49",
     49,
     1010,
     false,
     1,
     0,
     -1,
     {{I::AddRoomManager, 'E'},
      {I::InquiryIP, 'D'},
      {I::CancelPriMic, 'D'},
      {I::ReqMic, 'D'},
      {I::BlackUser, 'E'}}},
    {"sealed target", 1, 1010, false, 1, 0, 3, {{I::Seal, 'D'}, {I::ClearSeal, 'E'}}},
    {"sealed self",
     30,
     1010,
     true,
     30,
     0,
     0,
     {{I::Seal, 'D'}, {I::ClearSeal, 'E'}, {I::UserInfo, 'e'}}},
};

TEST(UserMenu, RulesOverRoleLevelAndTarget) {
    for (const TMenuCase& t : kMenuCases) {
        SCOPED_TRACE(t.What);
        TUserMenuState menu;
        menu.Open(Context(t.MyRole, t.MyLevel, t.Self, t.TargetRole, t.TargetMic, t.TargetSeal));
        for (const auto& [item, expect] : t.Expect) {
            SCOPED_TRACE(UserMenuItemInfo(item).Name);
            const TMenuItemState& s = menu[item];
            switch (expect) {
                case 'E':
                    EXPECT_TRUE(s.Visible);
                    EXPECT_TRUE(s.Enabled);
                    break;
                case 'D':
                    EXPECT_TRUE(s.Visible);
                    EXPECT_FALSE(s.Enabled);
                    break;
                case 'H':
                    EXPECT_FALSE(s.Visible);
                    break;
                case 'e':
                    EXPECT_TRUE(s.Enabled);
                    break;
                case 'd':
                    EXPECT_FALSE(s.Enabled);
                    break;
            }
        }
    }
}

TEST(UserMenu, RoomManagerItemFollowsOwnerAndDeputies) {
    TUserMenuState menu;
    TUserMenuContext c = Context(30, 1010, false, 1);
    menu.Open(c);
    EXPECT_FALSE(menu[I::AddRoomManager].Enabled);
    TUserMenuContext owner = c, deputy1 = c, deputy2 = c;
    owner.OwnerId = kMe;
    deputy1.DeputyId1 = kMe;
    deputy2.DeputyId2 = kMe;
    for (const TUserMenuContext& ranked : {owner, deputy1, deputy2}) {
        menu.Open(ranked);
        EXPECT_TRUE(menu[I::AddRoomManager].Enabled);
    }
    // Role 235 by its low byte, even with high bits set.
    menu.Open(Context(static_cast<std::int16_t>(0x100 | 235), 1010, false, 1));
    EXPECT_TRUE(menu[I::AddRoomManager].Enabled);
}

TEST(UserMenu, CaptionsFollowTheTargetAndKeepTheirLastText) {
    TUserMenuState menu;
    EXPECT_EQ(menu[I::AddTmpManager].Caption, RoomText("任命临时管理员"));

    TUserMenuContext c = Context(255, 0, false, 29, 1);
    c.TargetChatBanned = true;
    menu.Open(c);
    EXPECT_EQ(menu[I::AddTmpManager].Caption, RoomText("取消临时管理员"));
    EXPECT_TRUE(menu[I::AddTmpManager].Enabled);
    EXPECT_EQ(menu[I::BanChat].Caption, RoomText("取消房间禁言"));
    EXPECT_EQ(menu[I::AddMic].Caption, RoomText("取消主持节目"));

    // A room manager target leaves the last caption and disables the item.
    menu.Open(Context(255, 0, false, 30, 2));
    EXPECT_EQ(menu[I::AddTmpManager].Caption, RoomText("取消临时管理员"));
    EXPECT_FALSE(menu[I::AddTmpManager].Enabled);
    EXPECT_EQ(menu[I::BanChat].Caption, RoomText("添加房间禁言"));
    EXPECT_EQ(menu[I::AddMic].Caption, RoomText("邀请主持节目"));

    menu.Open(Context(255, 0, false, 1));
    EXPECT_EQ(menu[I::AddTmpManager].Caption, RoomText("任命临时管理员"));
}

struct TCommandCase {
    I Item;
    std::int16_t MyRole;
    bool Self;
    std::int16_t TargetRole;
    std::int16_t TargetMic;
    bool TargetBanned;
    std::vector<std::string> Calls;
};

TEST(UserMenu, CommandsReachTheEngine) {
    const std::string t = std::to_string(kTarget);
    const std::vector<TCommandCase> cases = {
        {I::AddMic, 30, false, 1, 1, false, {"CancelMic(" + t + ")"}},
        {I::AddMic, 30, false, 1, 0, false, {"InviteToMic(1," + t + ")"}},
        {I::AddRoomManager, 50, false, 1, 0, false, {"AddRoomManager(" + t + ")"}},
        {I::AddTmpManager, 30, false, 28, 0, false, {"AddTempManager(" + t + ")"}},
        {I::AddTmpManager, 30, false, 29, 0, false, {"RemoveTempManager(" + t + ")"}},
        {I::AddTmpManager, 30, false, 30, 0, false, {}},
        {I::InquiryIP, 50, false, 1, 0, false, {"QueryUserIP(" + t + ")"}},
        {I::DropUser, 30, false, 1, 0, false, {"PunishUser(1," + t + ")"}},
        {I::DropAndBalckUser, 49, false, 1, 0, false, {"PunishUser(2," + t + ")"}},
        {I::DropAndBlackIP, 255, false, 1, 0, false, {"PunishUser(3," + t + ")"}},
        {I::BlackUser, 49, false, 1, 0, false, {"PunishUser(4," + t + ")"}},
        {I::CancelPriMic, 49, false, 1, 2, false, {"CancelMic(" + t + ")"}},
        {I::UserInfo, 235, false, 1, 0, false, {"QueryUserDetails(" + t + ")"}},
        {I::UserInfo, 100, false, 1, 0, false, {}},
        {I::UserInfo, 255, true, 1, 0, false, {}},
        {I::ReqMic, 1, false, 1, 2, false, {"ConnectPrivateMic(" + t + ")"}},
        {I::BanChat, 30, false, 1, 0, false, {"SetBanChat(" + t + ",2,86400000,1)"}},
        {I::BanChat, 30, false, 1, 0, true, {"SetBanChat(" + t + ",2,86400000,0)"}},
        {I::AddVIPMic, 49, false, 1, 2, false, {"InviteToMic(3," + t + ")"}},
        {I::AddVIPMic, 49, false, 1, 3, false, {}},
        // Items that open dialogs or pick partners send nothing themselves.
        {I::Seal, 30, false, 1, 0, false, {}},
        {I::SelectToChat, 30, false, 1, 0, false, {}},
    };
    for (const TCommandCase& c : cases) {
        SCOPED_TRACE(std::string(UserMenuItemInfo(c.Item).Name) + " target role " +
                     std::to_string(c.TargetRole) + " mic " + std::to_string(c.TargetMic));
        TRecordingEngine engine;
        TUserMenuContext context = Context(c.MyRole, 1010, c.Self, c.TargetRole, c.TargetMic);
        context.TargetChatBanned = c.TargetBanned;
        EXPECT_EQ(SendUserMenuCommand(c.Item, context, engine), !c.Calls.empty());
        EXPECT_EQ(engine.Calls, c.Calls);
    }
}

TEST(WindowShake, SendingIsCheckedInOrder) {
    EXPECT_EQ(CheckShake(9, 5, 50000, std::nullopt), TShakeRefusal::NoRight);
    EXPECT_EQ(CheckShake(10, 0, 50000, std::nullopt), TShakeRefusal::NoPartner);
    EXPECT_EQ(CheckShake(9, 0, 50000, std::nullopt), TShakeRefusal::NoRight);
    EXPECT_EQ(CheckShake(10, 5, 50000, std::nullopt), std::nullopt);
    // 9.9 seconds after the last one is too soon, 10 seconds is not.
    EXPECT_EQ(CheckShake(10, 5, 59900, 50000), TShakeRefusal::TooSoon);
    EXPECT_EQ(CheckShake(10, 5, 60000, 50000), std::nullopt);
    EXPECT_EQ(ShakeSentText(RoomText("小王"), 25), RoomText("您向小王(25)发送了一个窗口抖动。"));
}

}  // namespace
