#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "common/GbkText.h"
#include "room/UserListPanel.h"

namespace {

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

// ---- Rules as tables ------------------------------------------------------

struct RankCase {
    int role, level, star;
    int sortKey;
    bool badge;
    int rankImage;
};

void PrintTo(const RankCase& c, std::ostream* os) {
    *os << "role " << c.role << " level " << c.level << " star " << c.star;
}

class RankRules : public ::testing::TestWithParam<RankCase> {};

TEST_P(RankRules, KeyBadgeAndRankImage) {
    const RankCase& c = GetParam();
    SCOPED_TRACE(::testing::Message()
                 << "role " << c.role << " level " << c.level << " star " << c.star);
    EXPECT_EQ(UserSortKey(c.role, c.level, c.star), c.sortKey);
    EXPECT_EQ(UserBadge(c.role, c.level), c.badge);
    EXPECT_EQ(UserRankImage(c.role, c.level, c.star), c.rankImage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RankRules,
    ::testing::Values(RankCase{1, 1010, 0, 60, false, 59},       // blue VIP
                      RankCase{1, 100, 0, 10, false, 47},        // registered
                      RankCase{0, 0, 0, 10, false, -1},          // nothing known
                      RankCase{1, 2010, 2016, 130, false, 107},  // host with a star
                      RankCase{1, 2025, 2016, 150, false, 107},  // key above 130 kept
                      RankCase{1, 1010, 2016, 60, false, 59},    // star counts for hosts only
                      RankCase{1, 2018, 0, 10, false, 107},      // a star code as level
                      RankCase{25, 0, 0, 165, true, 127},
                      RankCase{30, 1030, 0, 210, true, 55},   // manager keeps level key
                      RankCase{30, 1070, 0, 57, false, 155},  // badge off for top members
                      RankCase{49, 2500, 0, 162, false, 127}, RankCase{49, 1010, 0, 160, false, 59},
                      RankCase{50, 0, 0, 170, false, 127},
                      RankCase{60, 2500, 0, 20, true, 127},  // level 2500 wins the image
                      RankCase{70, 0, 0, 30, false, 135},
                      RankCase{100, 2500, 0, 280, false, 143},  // city lord above all
                      RankCase{200, 0, 0, 270, false, 147}, RankCase{235, 0, 0, 35, true, 67},
                      RankCase{255, 0, 0, 40, false, 139},          // site master below VIPs
                      RankCase{256 + 50, 0, 0, 170, false, 127}));  // low byte decides

struct CellCase {
    const char* name;
    TRoomUser user;
    std::array<TIconCell, 3> cells;
};

TRoomUser U(int role, int level, int mic, bool camera, int face, bool banned) {
    TRoomUser u;
    u.UserID = 1;
    u.Role = static_cast<std::int16_t>(role);
    u.Level = static_cast<std::int16_t>(level);
    u.Mic = static_cast<std::int16_t>(mic);
    u.Camera = camera;
    u.Face = static_cast<std::int16_t>(face);
    u.ChatBanned = banned;
    return u;
}

const TIconCell kNone = TIconCell::None();
TIconCell S(int i) {
    return TIconCell::Static(i);
}
TIconCell A(int first) {
    return TIconCell::Animated(first, first + 3);
}

void PrintTo(const CellCase& c, std::ostream* os) {
    *os << c.name;
}

class CellRules : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellRules, ThreeCells) {
    const CellCase& c = GetParam();
    const auto cells = UserCells(c.user);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(cells[i].First, c.cells[i].First) << c.name << " cell " << i;
        EXPECT_EQ(cells[i].Last, c.cells[i].Last) << c.name << " cell " << i;
        EXPECT_EQ(cells[i].Current, c.cells[i].First) << c.name << " cell " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CellRules,
    ::testing::Values(
        CellCase{"camera only", U(1, 1010, 0, true, 5, false), {A(59), S(41), S(5)}},
        CellCase{"mic type 3", U(1, 1010, 3, true, 5, false), {A(59), S(44), S(5)}},
        CellCase{"no rank, no mic", U(1, 0, 0, false, 0, false), {kNone, kNone, S(0)}},
        CellCase{"face out of range", U(1, 0, -1, false, 39, false), {kNone, kNone, S(0)}},
        CellCase{"chat banned", U(1, 1010, 0, false, 5, true), {A(59), kNone, S(39)}},
        CellCase{"privileged: rank moves", U(1, 1070, 0, true, 5, false), {kNone, kNone, A(155)}},
        CellCase{"privileged on mic", U(255, 0, 2, true, 5, false), {kNone, S(43), A(139)}},
        CellCase{"privileged and banned", U(70, 0, 0, false, 5, true), {kNone, kNone, S(39)}},
        CellCase{"deputy owner", U(49, 1010, 0, false, 5, false), {A(59), kNone, A(123)}},
        CellCase{"owner", U(50, 0, 1, false, 5, true), {A(127), S(42), A(151)}}));

TEST(IconCell, AnimationRunsFirstToLastAndWraps) {
    TIconCell c = TIconCell::Animated(59, 62);
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        c.Advance();
        seen.push_back(c.Current);
    }
    EXPECT_EQ(seen, (std::vector<int>{60, 61, 62, 59, 60}));
    TIconCell s = TIconCell::Static(41);
    s.Advance();
    EXPECT_EQ(s.Current, 41);
    TIconCell none;
    none.Advance();
    EXPECT_EQ(none.Current, -1);
}

TEST(TabMembership, ByRoleAndMicRange) {
    struct Case {
        int role, mic;
        bool managers, onMic;
    } cases[] = {{24, 0, false, false},  {25, 0, true, false},  {255, 1, true, true},
                 {256, 20, false, true}, {1, 21, false, false}, {1, -1, false, false}};
    for (const auto& c : cases) {
        const TRoomUser u = U(c.role, 0, c.mic, false, 0, false);
        EXPECT_TRUE(UserInTab(u, kTabAll));
        EXPECT_EQ(UserInTab(u, kTabManagers), c.managers) << c.role;
        EXPECT_EQ(UserInTab(u, kTabMic), c.onMic) << c.mic;
    }
}

TEST(HintText, ByColumn) {
    TRoomUser u = U(1, 1070, 0, true, 0, false);  // privileged
    u.UserID = 1001;
    u.NickName = "ab";
    EXPECT_EQ(UserHintText(u, kColRank), "");
    EXPECT_EQ(UserHintText(u, kColMic), "");
    EXPECT_EQ(UserHintText(u, kColFace), G("至尊"));
    EXPECT_EQ(UserHintText(u, kColNick), "ab\r(1001)");
    EXPECT_EQ(UserHintText(u, kColNumber), "ab\r(1001)");

    TRoomUser v = U(30, 1010, 0, true, 0, false);
    v.Star = 2016;
    EXPECT_EQ(UserHintText(v, kColRank), G("蓝色VIP(鲜花之星)"));
    EXPECT_EQ(UserHintText(v, kColMic), G("摄像头"));
    v.Mic = 2;
    EXPECT_EQ(UserHintText(v, kColMic), G("私麦(所有人可连接麦)"));
    v.Mic = 0;
    v.Camera = false;
    EXPECT_EQ(UserHintText(v, kColMic), "");
}

// ---- The model ------------------------------------------------------------

struct Who {
    std::int32_t id;
    int role = 1, level = 0, star = 0, mic = 0;
    std::string nick = "u";
};

class UserListModelTest : public ::testing::Test {
  protected:
    TRoomUser* Add(const Who& w) {
        return m.AddUser(w.id, w.nick, w.role, w.level, w.star, w.mic, 0, false, false, false, -1);
    }
    std::vector<std::int32_t> Rows() const {
        std::vector<std::int32_t> ids;
        for (int i = 0; i < m.RowCount(); ++i)
            ids.push_back(m.RowUser(i)->UserID);
        return ids;
    }
    using Ids = std::vector<std::int32_t>;
    TUserListModel m;
};

TEST_F(UserListModelTest, RowsInDescendingKeyOrderEqualKeysByArrival) {
    Add({1, 1, 1010});  // 60
    Add({2, 255});      // 40
    Add({3, 1, 1010});  // 60
    Add({4, 100});      // 280
    Add({5});           // 10
    Add({6, 1, 1010});  // 60
    EXPECT_EQ(Rows(), (Ids{4, 1, 3, 6, 2, 5}));
    // A rebuild (tab change) gives the same order.
    m.SetActiveTab(kTabAll);
    EXPECT_EQ(Rows(), (Ids{4, 1, 3, 6, 2, 5}));
}

TEST_F(UserListModelTest, AddIgnoresListedUserAndCutsNickname) {
    const std::string longNick = std::string(29, 'x') + G("张") + "tail";
    TRoomUser* u = Add({7, 1, 0, 0, 0, longNick});
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->NickName, std::string(29, 'x'));  // the character is not split
    EXPECT_EQ(Add({7, 255}), nullptr);
    EXPECT_EQ(m.FindUser(7)->Role, 1);
    EXPECT_EQ(m.AllCount(), 1);
    m.SetUserNameFace(7, std::string(40, 'y'), 3);
    EXPECT_EQ(m.FindUser(7)->NickName, std::string(30, 'y'));
    EXPECT_EQ(m.FindUser(7)->Cells[2], TIconCell::Static(3));
}

TEST_F(UserListModelTest, CountersAndCaptions) {
    Add({1, 30, 0, 0, 1});
    Add({2, 1, 0, 0, 3});
    Add({3, 25});
    Add({0});  // user number 0 is not counted among everybody
    EXPECT_EQ(m.AllCount(), 3);
    EXPECT_EQ(m.ManagerCount(), 2);
    EXPECT_EQ(m.MicCount(), 2);
    EXPECT_EQ(m.TabCaption(kTabAll), G("全部/3"));
    EXPECT_EQ(m.TabCaption(kTabManagers), G("管理/2"));
    EXPECT_EQ(m.TabCaption(kTabMic), G("麦序/2"));
    m.RemoveUser(1);
    m.RemoveUser(99);  // unknown: nothing
    EXPECT_EQ(m.AllCount(), 2);
    EXPECT_EQ(m.ManagerCount(), 1);
    EXPECT_EQ(m.MicCount(), 1);
    EXPECT_EQ(m.FindUser(1), nullptr);
    EXPECT_EQ(m.RowOf(1), -1);
    m.ClearUsers();
    EXPECT_EQ(m.TabCaption(kTabMic), G("麦序/0"));
    EXPECT_EQ(m.RowCount(), 0);
    EXPECT_TRUE(m.UserList().empty());
}

// Whatever happens to the users, the counters equal a fresh count of the list
// (mic types above 20 and roles above 255 used to make them drift).
TEST_F(UserListModelTest, CountersStayEqualToARecount) {
    std::mt19937 rng(7);
    const int roles[] = {0, 1, 24, 25, 30, 100, 200, 255, 256, 281};
    const int mics[] = {-1, 0, 1, 4, 20, 21, 25};
    for (int step = 0; step < 2000; ++step) {
        const std::int32_t id = static_cast<std::int32_t>(rng() % 40) - 2;
        switch (rng() % 5) {
            case 0:
            case 1:
                Add({id, roles[rng() % 10], 1000 + int(rng() % 3) * 10, 0, mics[rng() % 7]});
                break;
            case 2:
                m.RemoveUser(id);
                break;
            case 3:
                m.SetUserMic(id, mics[rng() % 7]);
                break;
            case 4:
                m.SetUserRole(id, roles[rng() % 10]);
                break;
        }
        if (step % 300 == 0)
            m.ResetCityRanks();
    }
    int all = 0, managers = 0, mic = 0;
    for (const auto& u : m.UserList()) {
        all += CountsAsUser(*u);
        managers += CountsAsManager(u->Role);
        mic += CountsAsOnMic(u->Mic);
    }
    EXPECT_EQ(m.AllCount(), all);
    EXPECT_EQ(m.ManagerCount(), managers);
    EXPECT_EQ(m.MicCount(), mic);
    EXPECT_GT(all, 0);
}

TEST_F(UserListModelTest, TabsShowTheirMembers) {
    Add({1, 30});
    Add({2, 1, 0, 0, 1});
    Add({3, 25, 0, 0, 2});
    m.SetActiveTab(kTabManagers);
    EXPECT_EQ(Rows(), (Ids{3, 1}));
    m.SetActiveTab(kTabMic);
    EXPECT_EQ(Rows(), (Ids{3, 2}));
    Add({4, 1, 0, 0, 0});  // not on mic: listed, no row
    EXPECT_EQ(Rows(), (Ids{3, 2}));
    EXPECT_NE(m.FindUser(4), nullptr);
}

TEST_F(UserListModelTest, GoingOnMicCountsAtOnceButShowsAfterRebuild) {
    Add({1, 1, 0, 0, 1});
    Add({2});
    m.SetActiveTab(kTabMic);
    m.SetUserMic(2, 3);
    EXPECT_EQ(m.MicCount(), 2);
    EXPECT_EQ(m.FindUser(2)->Cells[1], TIconCell::Static(44));
    EXPECT_EQ(Rows(), Ids{1});
    m.SetActiveTab(kTabMic);
    EXPECT_EQ(Rows(), (Ids{1, 2}));
    m.SetUserMic(1, 0);
    EXPECT_EQ(m.MicCount(), 1);
    EXPECT_EQ(Rows(), (Ids{1, 2}));  // keeps its row until the next rebuild
}

TEST_F(UserListModelTest, RoleChangeMovesTheRowAndRecomputesKeyAndBadge) {
    Add({1, 1, 1010});
    Add({2, 1, 1010});
    m.SetUserRole(2, 100);
    EXPECT_EQ(Rows(), (Ids{2, 1}));
    EXPECT_EQ(m.FindUser(2)->SortKey, 280);
    EXPECT_EQ(m.ManagerCount(), 1);
    m.SetUserRole(2, 30);
    EXPECT_TRUE(m.FindUser(2)->Badge);
    EXPECT_EQ(m.FindUser(2)->SortKey, 60);
    EXPECT_EQ(Rows(), (Ids{1, 2}));
    m.SetActiveTab(kTabManagers);
    m.SetUserRole(2, 1);  // leaves the managers tab at once
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(m.ManagerCount(), 0);
}

TEST_F(UserListModelTest, ResetCityRanksGivesLevelDiv100) {
    Add({1, 100, 1010});
    Add({2, 200, 2030});
    Add({3, 30, 1010});
    m.ResetCityRanks();
    EXPECT_EQ(m.FindUser(1)->Role, 10);
    EXPECT_EQ(m.FindUser(2)->Role, 20);
    EXPECT_EQ(m.FindUser(3)->Role, 30);
    EXPECT_EQ(m.ManagerCount(), 1);
    // Each changed row goes back in after the rows of its key: 152, then 60, 60.
    EXPECT_EQ(Rows(), (Ids{2, 3, 1}));
}

TEST_F(UserListModelTest, BanChatAndSealChangeOnlyListedUsers) {
    Add({1});
    m.SetUserBanChat(1, true);
    EXPECT_EQ(m.FindUser(1)->Cells[2], TIconCell::Static(39));
    m.SetUserBanChat(42, true);
    m.SetUserSeal(42, 3);
    m.SetUserMic(42, 1);
    m.SetUserRole(42, 30);
    m.SetUserNameFace(42, "x", 1);
    EXPECT_EQ(m.FindUser(42), nullptr);
    EXPECT_EQ(m.UserList().size(), 1u);
    EXPECT_EQ(Rows(), Ids{1});
    EXPECT_EQ(m.MicCount() + m.ManagerCount(), 0);
    m.SetUserSeal(1, 5);
    EXPECT_EQ(m.FindUser(1)->SealPicture, 5);
}

TEST_F(UserListModelTest, TickAdvancesRowsOnly) {
    Add({1, 1, 1010});        // rank animation 59..62
    Add({2, 1, 1010, 0, 0});  // not on mic
    Add({3, 1, 1010, 0, 1});
    m.SetActiveTab(kTabMic);
    m.Tick();
    EXPECT_EQ(m.FindUser(3)->Cells[0].Current, 60);
    EXPECT_EQ(m.FindUser(2)->Cells[0].Current, 59);
    for (int i = 0; i < 3; ++i)
        m.Tick();
    EXPECT_EQ(m.FindUser(3)->Cells[0].Current, 59);
}

TEST_F(UserListModelTest, SearchByInitialsNumberMicAndTitle) {
    Add({1001, 1, 1070, 0, 0, G("张三")});
    Add({1002, 30, 0, 0, 1, G("李四")});
    Add({1003, 1, 0, 0, 0, "Zoe"});
    m.SetSearchText("zs");
    m.Search();
    EXPECT_EQ(Rows(), Ids{1001});
    m.SetSearchText("1003");
    m.Search();
    EXPECT_EQ(Rows(), Ids{1003});
    m.SetSearchText(G("公麦"));
    m.Search();
    EXPECT_EQ(Rows(), Ids{1002});
    m.SetSearchText(G("至尊"));
    m.Search();
    EXPECT_EQ(Rows(), Ids{1001});
    m.SetSearchText("z");
    m.SetActiveTab(kTabManagers);
    m.Search();  // the tab's rule still applies
    EXPECT_TRUE(Rows().empty());
    m.SetSearchText("");
    m.Search();
    EXPECT_EQ(m.ActiveTab(), kTabAll);
    EXPECT_EQ(Rows(), (Ids{1001, 1002, 1003}));
}

TEST_F(UserListModelTest, SearchSeesChangesAndNewUsers) {
    Add({1, 1, 0, 0, 0, G("张三")});
    m.SetSearchText("ww");
    m.Search();
    EXPECT_TRUE(Rows().empty());
    m.SetUserNameFace(1, G("王五"), 0);
    Add({2, 1, 0, 0, 0, G("汪伟")});  // a new user reruns the search
    EXPECT_EQ(Rows(), (Ids{1, 2}));
    Add({3, 1, 0, 0, 0, "other"});
    EXPECT_EQ(Rows(), (Ids{1, 2}));
    EXPECT_EQ(m.AllCount(), 3);
    // Mic and rank changes reach the items at the next search.
    m.SetUserMic(3, 1);
    m.SetUserRole(2, 50);
    m.SetSearchText(G("公麦"));
    m.Search();
    EXPECT_EQ(Rows(), Ids{3});
    m.SetSearchText(G("室主"));
    m.Search();
    EXPECT_EQ(Rows(), Ids{2});
    m.RemoveUser(2);
    m.Search();
    EXPECT_TRUE(Rows().empty());
}

}  // namespace
