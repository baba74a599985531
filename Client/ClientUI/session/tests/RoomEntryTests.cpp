#include "session/RoomEntry.h"

#include "session/HallRules.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct FakeUi : IRoomEntryUi {
    std::set<std::int32_t> open;
    std::vector<std::string> log, infos, calls;
    int hiddenAnswer = 7;
    bool tickDontAsk = false;
    std::optional<std::string> password;
    struct Opened {
        TRoomCommand room;
        bool hidden;
        std::string password;
    };
    std::vector<Opened> opened;

    bool BringRoomToFront(std::int32_t id) override {
        if (!open.count(id))
            return false;
        calls.push_back("front " + std::to_string(id));
        return true;
    }
    int OpenRoomCount() override { return static_cast<int>(open.size()); }
    void ShowInfo(const std::string& text) override { infos.push_back(text); }
    int AskHidden(bool& dontAsk) override {
        calls.push_back("hidden?");
        dontAsk = tickDontAsk;
        return hiddenAnswer;
    }
    std::optional<std::string> AskRoomPassword() override {
        calls.push_back("password?");
        return password;
    }
    void OpenRoom(const TRoomCommand& room, bool hidden, const std::string& pw) override {
        opened.push_back({room, hidden, pw});
        open.insert(room.RoomId);
    }
    void Log(const std::string& text) override { log.push_back(text); }
};

}  // namespace

TEST(RoomEntry, OtherAddressesNavigate) {
    TRoomEntry entry;
    FakeUi ui;
    EXPECT_FALSE(entry.Navigate("http://127.0.0.1/lobby", 1, 0, ui));
    EXPECT_TRUE(ui.opened.empty());
}

TEST(RoomEntry, PlainUserOpensThenIsLimitedAndOpenRoomComesToFront) {
    TRoomEntry entry;
    FakeUi ui;
    EXPECT_TRUE(entry.Navigate("room:1001,0,10086,0", 1, 0, ui));
    ASSERT_EQ(ui.opened.size(), 1u);
    EXPECT_FALSE(ui.opened[0].hidden);
    EXPECT_TRUE(ui.calls.empty());  // no prompt for a plain user

    entry.Navigate("room:1001,0,10086,0", 1, 0, ui);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"front 1001"});

    entry.Navigate("room:1002,0,10086,0", 1, 0, ui);
    EXPECT_EQ(ui.opened.size(), 1u);
    ASSERT_EQ(ui.infos.size(), 1u);
    EXPECT_EQ(ui.infos[0], RoomLimitMessage(1));
}

TEST(RoomEntry, VipHasTwoRoomsSiteMasterNoLimit) {
    TRoomEntry entry;
    FakeUi vip;
    for (int id : {1, 2, 3})
        entry.Navigate("room:" + std::to_string(id) + ",0,1,0", 1, 1010, vip);
    EXPECT_EQ(vip.opened.size(), 2u);
    EXPECT_EQ(vip.infos.size(), 1u);

    FakeUi master;
    master.hiddenAnswer = 7;
    for (int id = 1; id <= 5; ++id)
        entry.Navigate("room:" + std::to_string(id) + ",0,1,0", 255, 0, master);
    EXPECT_EQ(master.opened.size(), 5u);
    EXPECT_TRUE(master.infos.empty());
}

TEST(RoomEntry, HiddenPromptAndItsRememberBox) {
    TRoomEntry entry;
    FakeUi ui;
    ui.hiddenAnswer = 1;
    ui.tickDontAsk = true;
    entry.Navigate("room:1,0,1,0", 70, 0, ui);
    ASSERT_EQ(ui.opened.size(), 1u);
    EXPECT_TRUE(ui.opened[0].hidden);
    EXPECT_TRUE(entry.DontAskHidden());
    ui.calls.clear();
    entry.Navigate("room:2,0,1,0", 70, 0, ui);
    EXPECT_TRUE(ui.calls.empty());  // not asked again
    EXPECT_TRUE(ui.opened[1].hidden);

    // "No" enters visibly and keeps asking; the address's own flag wins.
    TRoomEntry other;
    FakeUi no;
    no.hiddenAnswer = 7;
    other.Navigate("room:1,0,1,0", 10, 1050, no);
    EXPECT_FALSE(no.opened[0].hidden);
    EXPECT_FALSE(other.DontAskHidden());
    no.calls.clear();
    other.Navigate("room:2,0,1,0,1", 10, 1050, no);
    EXPECT_TRUE(no.calls.empty());
    EXPECT_TRUE(no.opened[1].hidden);
}

TEST(RoomEntry, PasswordRooms) {
    TRoomEntry entry;
    FakeUi ui;
    ui.password = "secret";
    entry.Navigate("room:1,0,1,1", 1, 0, ui);
    ASSERT_EQ(ui.opened.size(), 1u);
    EXPECT_EQ(ui.opened[0].password, "secret");

    for (std::optional<std::string> answer :
         {std::optional<std::string>{}, std::optional<std::string>{""}}) {
        FakeUi cancel;
        cancel.password = answer;
        entry.Navigate("room:1,0,1,1", 1, 0, cancel);
        EXPECT_TRUE(cancel.opened.empty());
    }

    FakeUi patrol;  // role 70 is never asked for a room password
    entry.Navigate("room:1,0,1,1,0", 70, 0, patrol);
    ASSERT_EQ(patrol.opened.size(), 1u);
    EXPECT_EQ(patrol.opened[0].password, "");
    EXPECT_TRUE(patrol.calls.empty());
}

TEST(RoomEntry, ShortAddressIsLoggedBeforeAnyPrompt) {
    TRoomEntry entry;
    FakeUi ui;
    EXPECT_TRUE(entry.Navigate("room:1,0,1", 255, 0, ui));
    EXPECT_TRUE(ui.opened.empty());
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_EQ(ui.log.size(), 1u);
}
