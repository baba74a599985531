// Engines of the real module against the real room service on loopback.
#include <sqlite3.h>

#include "RoomHarness.h"
#include "common/Framing.h"
#include "common/RoomProtocol.h"

TestApp& App() {
    static TestApp* app = [] {
        auto* a = new TestApp();
        SetApplication(a);
        return a;
    }();
    return *app;
}

namespace {

auto Named(const std::string& name, std::function<bool(const Event&)> more = {}) {
    return [name, more](const Event& e) { return e.name == name && (!more || more(e)); };
}
auto Line(int isPublic, int kind, const std::string& gbk) {
    return [=](const Event& e) {
        return e.name == "OnMessage" && e.n[0] == isPublic && e.n[1] == kind && e.Has(gbk);
    };
}

class RoomEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(service.Ok());
    }
    std::unique_ptr<Client> In(std::int32_t room, Account a) {
        auto c = std::make_unique<Client>(service.Port());
        EXPECT_TRUE(c->EnterAndWait(room, a)) << a.id;
        return c;
    }
    RoomHarness service;
};

}  // namespace

TEST_F(RoomEngine, TwoUsersSeeEachOtherAndChatPubliclyAndPrivately) {
    auto user = In(1001, kUser);
    TMyInfo* me = user->engine->GetMyInfo();
    EXPECT_EQ(me->UserID.Get(), kUser.id);
    EXPECT_EQ(me->NickName.Get(), G("普通用户"));
    EXPECT_EQ(user->engine->GetRoomInfo()->RoomName.Get(), G("欢乐大厅"));
    EXPECT_EQ(user->engine->GetRoomInfo()->OwnerID.Get(), kOwner.id);

    auto vip = In(1001, kVip);
    // The newcomer gets the list (himself included), the others his arrival line.
    EXPECT_TRUE(vip->Wait(Named("OnUserEnter", [](const Event& e) { return e.n[0] == kUser.id; })));
    EXPECT_TRUE(vip->Wait(Named("OnUserEnter", [](const Event& e) { return e.n[0] == kVip.id; })));
    EXPECT_TRUE(user->Wait(
        Named("OnUserEnter", [](const Event& e) { return e.n[0] == kVip.id && e.n[3] == 1010; })));
    auto enter = user->Wait(Line(1, 3, G("蓝色会员")));
    ASSERT_TRUE(enter);
    EXPECT_TRUE(enter->Has("id:10002:"));

    // Public chat reaches everybody, as a public line of kind 1.
    std::size_t u = user->Mark(), v = vip->Mark();
    vip->engine->SendChat(0, G("大家").c_str(), 0, 0, "<FONT STYLE=\"font:10pt\">hello all</FONT>");
    EXPECT_TRUE(user->Wait(Line(1, 1, "hello all"), u));
    EXPECT_TRUE(vip->Wait(Line(1, 1, "hello all"), v));

    // A whisper is the addressee's private line only, and tells him who spoke.
    u = user->Mark();
    v = vip->Mark();
    vip->engine->SendChat(kUser.id, G("普通用户").c_str(), 1, 0, "psst <b>");
    auto whisper = user->Wait(Line(0, 2, "psst &lt;b&gt;"), u);
    ASSERT_TRUE(whisper);
    EXPECT_TRUE(whisper->Has(G("悄悄说")));
    auto toMe = user->Wait(Named("OnChatToMe"), u);
    ASSERT_TRUE(toMe);
    EXPECT_EQ(toMe->n[0], kVip.id);
    App().PumpFor(200ms);
    EXPECT_EQ(vip->Count([&](const Event& e) { return e.Has("psst"); }), 0u);

    // An auto reply is shown but never asks for another one.
    u = user->Mark();
    vip->engine->SendChat(kUser.id, "", 0, 1, "away");
    EXPECT_TRUE(user->Wait(Line(1, 1, G("[自动回复]")), u));
    App().PumpFor(200ms);
    EXPECT_FALSE(user->Wait(Named("OnChatToMe"), u, 10ms));

    // A colour word goes to the room's sink with both parties' codes.
    u = user->Mark();
    vip->engine->SendChat(0, "", 0, 0, "\\ColorWord3");
    auto color = user->Wait(Named("OnColorWord"), u);
    ASSERT_TRUE(color);
    EXPECT_EQ(color->s[2], "\\ColorWord3");
    EXPECT_EQ(color->n[0], kVip.id);
    EXPECT_EQ(color->n[3], 1010);

    // Leaving shows the leave line and removes him from the list; a user who
    // masks arrivals and departures gets no line, only the list change.
    Client other(service.Port());
    ASSERT_TRUE(other.EnterAndWait(1001, kOwner));
    other.sink.masked = {2};
    u = user->Mark();
    std::size_t o = other.Mark();
    vip->engine->LeaveRoom();
    auto leaving = [](const Event& e) { return e.name == "OnUserLeave" && e.n[0] == kVip.id; };
    EXPECT_TRUE(user->Wait(leaving, u));
    EXPECT_TRUE(user->Wait(Line(1, 3, G("离开了房间")), u));
    EXPECT_TRUE(other.Wait(leaving, o));
    EXPECT_EQ(other.Count(Line(1, 3, G("离开了房间"))), 0u);
}

TEST_F(RoomEngine, EnteringChecksPasswordHiddenEntryAndBlacklist) {
    // Room 1003 has the password 888; the site master passes without it.
    Client wrong(service.Port());
    EXPECT_FALSE(wrong.EnterAndWait(1003, kUser, "123"));
    EXPECT_TRUE(wrong.sink.events.back().Has(G("房间密码错误")));
    Client right(service.Port());
    EXPECT_TRUE(right.EnterAndWait(1003, kUser, "888"));
    Client admin(service.Port());
    EXPECT_TRUE(admin.EnterAndWait(1003, kAdmin));
    EXPECT_EQ(admin.engine->GetRoomInfo()->HasPassword, 1);
    EXPECT_EQ(admin.engine->GetRoomInfo()->Password.Get(), "");  // never sent in clear

    Client stranger(service.Port());
    EXPECT_FALSE(stranger.EnterAndWait(4242, kUser));
    Client badDigest(service.Port());
    EXPECT_FALSE(badDigest.EnterAndWait(1001, {kUser.id, "not-it"}));

    // A patrol manager enters hidden: only ranks 235 and 255 learn of him.
    std::size_t r = right.Mark(), a = admin.Mark();
    Client patrol(service.Port());
    EXPECT_TRUE(patrol.EnterAndWait(1003, kPatrol, "", 1));
    auto seen =
        admin.Wait(Named("OnUserEnter", [](const Event& e) { return e.n[0] == kPatrol.id; }), a);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->n[7], 1);  // hidden
    App().PumpFor(200ms);
    EXPECT_EQ(
        right.Count(Named("OnUserEnter", [&](const Event& e) { return e.n[0] == kPatrol.id; })),
        0u);
    EXPECT_FALSE(right.Wait(Line(1, 3, G("巡管小李")), r, 10ms));

    // Nor does his mic show him.
    patrol.engine->RequestMic(1);
    EXPECT_TRUE(
        admin.Wait(Named("OnVideoOpen", [](const Event& e) { return e.n[1] == kPatrol.id; }), a));
    App().PumpFor(200ms);
    EXPECT_EQ(right.Count(Named("OnVideoOpen")) + right.Count(Named("OnUserMic")), 0u);

    // A plain user asking for hidden entry is simply visible.
    Client vip(service.Port());
    std::size_t before = right.Mark();
    EXPECT_TRUE(vip.EnterAndWait(1003, kVip, "888", 1));
    auto shown =
        right.Wait(Named("OnUserEnter", [](const Event& e) { return e.n[0] == kVip.id; }), before);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->n[7], 0);

    // Blacklisted: his session ends for good and the next entry is refused
    // with the reason.
    r = right.Mark();
    admin.engine->PunishUser(4, kUser.id);
    EXPECT_TRUE(admin.WaitText("OnMessage", G("黑名单")));
    auto out = right.Wait(Named("OnDisconnected"), r);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->n[0], 0);
    EXPECT_TRUE(out->Has(G("黑名单")));
    Client again(service.Port());
    EXPECT_FALSE(again.EnterAndWait(1003, kUser, "888"));
    EXPECT_TRUE(again.sink.events.back().Has(G("黑名单")));
}

TEST_F(RoomEngine, ChatPermissionsAndBansAreTheServicesDecision) {
    auto owner = In(1001, kOwner);
    auto user = In(1001, kUser);
    auto admin = In(1001, kAdmin);

    // Public chat switched off by the owner: the user is refused, rank 255 is not.
    TRoomInfo info = *owner->engine->GetRoomInfo();
    TRoomTexts texts = *owner->engine->GetRoomTexts();
    info.AllowPublicChat = 0;
    owner->engine->ModifyRoomInfo(&info, 1, &texts, 0);
    ASSERT_TRUE(user->Wait(
        [&](const Event&) { return user->engine->GetRoomInfo()->AllowPublicChat == 0; }));
    std::size_t u = user->Mark(), o = owner->Mark();
    user->engine->SendChat(0, "", 0, 0, "blocked");
    EXPECT_TRUE(user->Wait(Line(0, 0, G("本房间不允许公聊！")), u));
    admin->engine->SendChat(0, "", 0, 0, "admin speaks");
    EXPECT_TRUE(owner->Wait(Line(1, 1, "admin speaks"), o));
    EXPECT_EQ(owner->Count([](const Event& e) { return e.Has("blocked"); }), 0u);

    // A chat ban is announced, lands in the user's record and stops his chat.
    u = user->Mark();
    owner->engine->SetBanChat(kUser.id, 2, 86400000, 1);
    EXPECT_TRUE(user->Wait(
        Named("OnUserBanChat", [](const Event& e) { return e.n[0] == kUser.id && e.n[1] == 1; }),
        u));
    EXPECT_EQ(user->engine->GetMyInfo()->ChatBanned, 1);
    user->engine->SendChat(kOwner.id, "", 1, 0, "let me talk");
    EXPECT_TRUE(user->Wait(Line(0, 0, G("您在本房间被禁止发言")), u));

    // Nobody bans a higher rank.
    u = user->Mark();
    std::size_t a = admin->Mark();
    owner->engine->SetBanChat(kAdmin.id, 2, 86400000, 1);
    EXPECT_TRUE(owner->Wait(Line(0, 0, G("您没有权限执行此操作。")), o));
    EXPECT_FALSE(admin->Wait(Named("OnUserBanChat"), a, 200ms));
}

TEST_F(RoomEngine, VisitorsWaitBeforeSpeaking) {
    RoomHarness slow([](roomsvc::Options& o) { o.visitorQuietMs = 60000; });
    Client user(slow.Port());
    ASSERT_TRUE(user.EnterAndWait(1001, kUser));
    std::size_t m = user.Mark();
    user.engine->SendChat(0, "", 0, 0, "too early");
    EXPECT_TRUE(user.Wait(Line(0, 0, G("游客进房间十秒后才能发言!")), m));
    SetRoomServicePort(service.Port());
}

TEST_F(RoomEngine, PublicMicQueueFillsTheThreeFrames) {
    auto watcher = In(1001, kAdmin);
    Account holders[] = {kOwner, kVip, kUser, kPatrol};
    std::vector<std::unique_ptr<Client>> mics;
    for (const auto& a : holders)
        mics.push_back(In(1001, a));
    for (std::size_t i = 0; i < 4; ++i) {
        mics[i]->engine->RequestMic(1);
        if (i < 3) {
            auto open = watcher->Wait(
                Named("OnVideoOpen", [&](const Event& e) { return e.n[1] == holders[i].id; }));
            ASSERT_TRUE(open);
            EXPECT_EQ(open->n[5], static_cast<std::int64_t>(i));  // frame index
            EXPECT_EQ(open->n[4], 1);                             // public mic
            EXPECT_EQ(open->n[8], 7420);
        }
    }
    // The holder himself is told it is his own video.
    auto own =
        mics[0]->Wait(Named("OnVideoOpen", [](const Event& e) { return e.n[1] == kOwner.id; }));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->n[0], 1);
    EXPECT_TRUE(mics[3]->Wait(Line(0, 0, G("麦序第1位"))));

    // The first holder leaves the mic; the queued user takes his frame.
    std::size_t w = watcher->Mark();
    mics[0]->engine->ReleaseMic();
    EXPECT_TRUE(watcher->Wait(
        Named("OnVideoClose", [](const Event& e) { return e.n[0] == kOwner.id && e.n[1] == 0; }),
        w));
    auto next =
        watcher->Wait(Named("OnVideoOpen", [](const Event& e) { return e.n[1] == kPatrol.id; }), w);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->n[5], 0);

    // A holder who leaves the room frees his frame as well.
    w = watcher->Mark();
    mics[1]->Close();
    EXPECT_TRUE(watcher->Wait(
        Named("OnVideoClose", [](const Event& e) { return e.n[0] == kVip.id && e.n[1] == 1; }), w));

    // A newcomer sees the frames already open.
    Client late(service.Port());
    ASSERT_TRUE(late.EnterAndWait(1001, kVip));
    EXPECT_TRUE(late.Wait(
        Named("OnVideoOpen", [](const Event& e) { return e.n[1] == kUser.id && e.n[5] == 2; })));
}

TEST_F(RoomEngine, ConsentMicAsksTheHolderWithActionLinks) {
    auto holder = In(1001, kOwner);
    auto viewer = In(1001, kUser);
    holder->engine->RequestMic(4);
    auto own = holder->Wait(Named("OnVideoOpen"));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->n[5], room::kPrivateFrame);
    ASSERT_TRUE(viewer->Wait(Named("OnUserMic", [](const Event& e) { return e.n[1] == 4; })));
    EXPECT_EQ(holder->engine->GetMyInfo()->MyMic.Get(), 4);

    std::size_t h = holder->Mark(), v = viewer->Mark();
    viewer->engine->ConnectPrivateMic(kOwner.id);
    auto ask =
        holder->Wait(Named("OnMessage", [](const Event& e) { return e.Has("rm:agree_"); }), h);
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->n[0], 0);  // private pane
    EXPECT_TRUE(ask->Has("id=\"action_10003\""));
    EXPECT_TRUE(ask->Has("rm:agree_10003"));
    EXPECT_TRUE(ask->Has("rm:refuse_10003"));
    EXPECT_FALSE(viewer->Wait(Named("OnVideoOpen"), v, 200ms));

    holder->engine->AnswerMicRequest(kUser.id, 1);
    auto open = viewer->Wait(Named("OnVideoOpen"), v);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->n[0], 0);
    EXPECT_EQ(open->n[1], kOwner.id);
    EXPECT_EQ(open->n[4], 4);
    EXPECT_EQ(open->n[5], room::kPrivateFrame);
    EXPECT_TRUE(
        holder->Wait(Named("OnPrivateMicViewer",
                           [](const Event& e) { return e.n[0] == kUser.id && e.n[3] == 1; }),
                     h));

    // The holder cuts him off: the viewer is told, the list loses him.
    h = holder->Mark();
    holder->engine->CutPrivateMicViewer(kUser.id);
    EXPECT_TRUE(viewer->Wait(
        Named("OnPrivateMicCut", [](const Event& e) { return e.n[0] == kOwner.id; }), v));
    EXPECT_TRUE(
        holder->Wait(Named("OnPrivateMicViewer", [](const Event& e) { return e.n[3] == 0; }), h));

    // A refusal is answered with a line and no video.
    v = viewer->Mark();
    viewer->engine->ConnectPrivateMic(kOwner.id);
    ASSERT_TRUE(
        holder->Wait(Named("OnMessage", [](const Event& e) { return e.Has("rm:refuse_"); }), h));
    holder->engine->AnswerMicRequest(kUser.id, 0);
    EXPECT_TRUE(viewer->Wait(Line(0, 0, G("拒绝了您的私麦连接请求")), v));
    EXPECT_FALSE(viewer->Wait(Named("OnVideoOpen"), v, 100ms));
}

TEST_F(RoomEngine, KickEndsTheSessionForGoodAndRanksAreCheckedByTheService) {
    auto owner = In(1001, kOwner);
    auto user = In(1001, kUser);
    auto vip = In(1001, kVip);
    NewAccount guest;
    guest.visitor = true;
    guest.passwordMd5 = Md5Hex("guest");
    auto account = service.Db().CreateAccount(guest, nullptr);
    ASSERT_TRUE(account);
    auto visitor = In(1001, {account->number, "guest"});

    // A client without rank sends PunishUser anyway, even against a visitor
    // below him: refused, nobody leaves.
    std::size_t u = user->Mark(), v = vip->Mark();
    user->engine->PunishUser(1, account->number);
    user->engine->PunishUser(2, account->number);
    user->engine->PunishUser(1, kVip.id);
    user->engine->PunishUser(3, kOwner.id);
    user->engine->AddTempManager(kUser.id);
    user->engine->QueryUserDetails(kVip.id);
    EXPECT_TRUE(user->Wait(Line(0, 0, G("您没有权限执行此操作。")), u));
    App().PumpFor(300ms);
    EXPECT_EQ(vip->Count(Named("OnDisconnected")), 0u);
    EXPECT_EQ(visitor->Count(Named("OnDisconnected")), 0u);
    EXPECT_EQ(user->Count(Named("OnUserDetails")), 0u);
    EXPECT_EQ(owner->Count(Named("OnUserLeave")), 0u);

    // The owner makes the vip a temporary manager; the room sees the new role.
    owner->engine->AddTempManager(kVip.id);
    EXPECT_TRUE(user->Wait(
        Named("OnUserRole", [](const Event& e) { return e.n[0] == kVip.id && e.n[1] == 29; }), u));
    EXPECT_TRUE(
        vip->Wait([&](const Event&) { return vip->engine->GetMyInfo()->Role.Get() == 29; }));

    // The temporary manager kicks the user: mode 0 for him, a leave for the room.
    std::size_t o = owner->Mark();
    vip->engine->PunishUser(1, kUser.id);
    auto gone = user->Wait(Named("OnDisconnected"), u);
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->n[0], 0);
    EXPECT_TRUE(gone->Has(G("踢出房间")));
    EXPECT_TRUE(
        owner->Wait(Named("OnUserLeave", [](const Event& e) { return e.n[0] == kUser.id; }), o));
    EXPECT_TRUE(owner->Wait(Line(1, 0, G("踢出了房间")), o));
    // The temporary manager cannot kick the owner.
    v = vip->Mark();
    vip->engine->PunishUser(1, kOwner.id);
    EXPECT_TRUE(vip->Wait(Line(0, 0, G("您没有权限执行此操作。")), v));
}

TEST_F(RoomEngine, ServiceRestartGivesModeOneAndReentrySucceeds) {
    auto keep = std::make_unique<RoomHarness>();
    keep->KeepDir();
    std::uint16_t port = keep->Port();
    Client user(port);
    ASSERT_TRUE(user.EnterAndWait(1002, kUser));
    std::size_t m = user.Mark();
    auto dir = keep->Dir();
    keep->Shutdown();
    auto lost = user.Wait(Named("OnDisconnected"), m);
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->n[0], 1);

    RoomHarness again({}, dir, port);
    ASSERT_TRUE(again.Ok());
    user.Reload();
    EXPECT_TRUE(user.EnterAndWait(1002, kUser));
    std::filesystem::remove_all(dir);
    SetRoomServicePort(service.Port());
}

TEST_F(RoomEngine, HornIsPaidInGoldAndHeardInEveryRoom) {
    auto vip = In(1001, kVip);
    auto elsewhere = In(1002, kUser);
    std::size_t e = elsewhere->Mark();
    vip->engine->SendHorn("<FONT STYLE=\"x\">buy now</FONT>", 1);
    auto horn = elsewhere->Wait(Named("OnHorn"), e);
    ASSERT_TRUE(horn);
    EXPECT_TRUE(horn->Has("buy now"));
    EXPECT_TRUE(horn->Has(G("世界喇叭")));
    auto balance = vip->Wait(Named("OnBalance"));
    ASSERT_TRUE(balance);
    EXPECT_EQ(balance->n[0], 50000 - 30000);
    EXPECT_EQ(vip->engine->GetMyInfo()->Gold.Get(), 20000);

    // Not enough gold left for another world horn: refused, nothing debited.
    std::size_t v = vip->Mark();
    vip->engine->SendHorn("again", 1);
    EXPECT_TRUE(vip->Wait(Line(0, 0, G("金币不足")), v));
    auto account = service.Db().FindAccountByNumber(kVip.id);
    ASSERT_TRUE(account);
    EXPECT_EQ(account->gold, 20000);

    // A registered user is no member: no horn.
    std::size_t u = elsewhere->Mark();
    elsewhere->engine->SendHorn("free horn", 0);
    EXPECT_TRUE(elsewhere->Wait(Line(0, 0, G("请升级成VIP用户")), u));
}

TEST_F(RoomEngine, MyInfoNoticesShakeAndRoomSettings) {
    auto owner = In(1001, kOwner);
    auto user = In(1001, kUser);
    auto admin = In(1001, kAdmin);

    // Nickname change needs the current digest and reaches the room escaped.
    std::size_t o = owner->Mark(), u = user->Mark();
    user->engine->ModifyMyInfo("0123456789abcdef0123456789abcdef", "hacker", "", 3);
    EXPECT_TRUE(user->Wait(Line(0, 0, G("密码错误")), u));
    user->engine->ModifyMyInfo(user->digest.c_str(), "new<name>", "", 3);
    auto changed = owner->Wait(Named("OnUserChanged"), o);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->s[0], "new&lt;name&gt;");
    EXPECT_EQ(changed->n[1], 3);
    EXPECT_TRUE(user->Wait([&](const Event&) {
        return user->engine->GetMyInfo()->NickName.Get() == "new&lt;name&gt;";
    }));

    // A temporary notice needs rank 30; it comes back as a tip and a public line.
    u = user->Mark();
    user->engine->SendRoomNotice("mine");
    EXPECT_TRUE(user->Wait(Line(0, 0, G("您没有发送临时公告的权限。")), u));
    owner->engine->SendRoomNotice("<FONT STYLE=\"x\">meeting at 8</FONT>");
    EXPECT_TRUE(user->Wait(
        Named("OnRollingTip", [](const Event& e) { return e.n[0] == 0 && e.Has("meeting at 8"); }),
        u));
    EXPECT_TRUE(user->Wait(Line(1, 0, G("临时公告")), u));
    admin->engine->SendSystemNotice("site news");
    EXPECT_TRUE(user->Wait(Line(1, 0, "site news"), u));

    // Shake: members with rank only, once per ten seconds.
    std::size_t a = admin->Mark();
    user->engine->SendShake(kOwner.id);
    EXPECT_TRUE(user->Wait(Line(0, 0, G("您没有发送窗口抖动的权限。")), u));
    owner->engine->SendShake(kAdmin.id);
    EXPECT_TRUE(admin->Wait(Named("OnShake"), a));
    owner->engine->SendShake(kAdmin.id);
    EXPECT_TRUE(owner->Wait(Line(0, 0, G("过于频繁")), o));

    // Settings: a plain user may not change them; the owner renames the room
    // and sets the notes, which every client then holds.
    TRoomInfo info = *user->engine->GetRoomInfo();
    TRoomTexts texts = *user->engine->GetRoomTexts();
    info.RoomName.Set("stolen");
    user->engine->ModifyRoomInfo(&info, 1, &texts, 0);
    EXPECT_TRUE(user->Wait(Line(0, 0, G("您没有权限执行此操作。")), u));
    info = *owner->engine->GetRoomInfo();
    info.RoomName.Set(G("新名字"));
    info.GiftSpeed.Set(40);
    texts.Notice1.Set("note one");
    texts.Greeting.Set("welcome{style}color:red");
    owner->engine->ModifyRoomInfo(&info, 1, &texts, 1);
    auto renamed = user->Wait(Named("OnRoomName"), u);
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->s[0], G("新名字"));
    EXPECT_EQ(user->engine->GetRoomInfo()->GiftSpeed.Get(), 40);
    EXPECT_TRUE(
        user->Wait(Named("OnRoomNote", [](const Event& e) { return e.Has("note one"); }), u));
    auto stored = service.Db().FindRoom(1001);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->name, "新名字");

    // Later arrivals get the greeting while the owner is present.
    Client vip(service.Port());
    ASSERT_TRUE(vip.EnterAndWait(1001, kVip));
    EXPECT_TRUE(vip.Wait(Line(0, 0, "<FONT STYLE=\"color:red\">welcome</FONT>")));

    // Favourites are kept.
    vip.engine->AddFavoriteRoom();
    EXPECT_TRUE(vip.Wait(Line(0, 0, G("收藏"))));

    // A new password: the old digest no longer enters, the new one does.
    std::string fresh = Md5Hex("new123");
    u = user->Mark();
    user->engine->ModifyMyInfo(user->digest.c_str(), "renamed", fresh.c_str(), 3);
    ASSERT_TRUE(user->Wait(Line(0, 0, G("个人资料修改成功。")), u));
    Client oldPassword(service.Port());
    EXPECT_FALSE(oldPassword.EnterAndWait(1001, kUser));
    Client newPassword(service.Port());
    EXPECT_TRUE(newPassword.EnterAndWait(1001, {kUser.id, "new123"}));
}

// Raw connections sending what no engine would: each is dropped, and the
// users already in the room go on chatting.
TEST_F(RoomEngine, MalformedRecordsCloseOnlyTheirConnection) {
    auto owner = In(1001, kOwner);
    auto vip = In(1001, kVip);
    auto frame = [](std::string record) { return EncodeFrame(record); };
    std::string enter = room::Encode(room::EnterReq{});
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"oversized length", std::string("\xff\xff\xff\x7f", 4) + "xx"},
        {"zero length", std::string(4, '\0')},
        {"unknown code", frame(std::string("\x39\x30", 2))},
        {"truncated record", frame(enter.substr(0, enter.size() - 3))},
        // An Enter (allowed at this point) whose room password runs into the next field.
        {"string without terminator",
         frame(std::string("\x65\x00\x01\x00", 4) + std::string(8, '\0') +
               std::string("\x02\x00", 2) + "abX" + std::string(12, '\0'))},
        {"chat before entering", frame(room::Encode(room::ChatReq{}))},
        {"reserved gift code", frame(std::string("\x96\x00", 2))},
    };
    for (const auto& c : cases) {
        asio::io_context io;
        asio::ip::tcp::socket s(io);
        s.connect({asio::ip::make_address("127.0.0.1"), service.Port()});
        asio::write(s, asio::buffer(c.bytes));
        char buf[256];
        asio::error_code ec;
        // Anything the service sends back ends with the close.
        while (!ec)
            s.read_some(asio::buffer(buf), ec);
        EXPECT_TRUE(ec == asio::error::eof || ec == asio::error::connection_reset) << c.what;
    }
    std::size_t v = vip->Mark();
    owner->engine->SendChat(0, "", 0, 0, "still here");
    EXPECT_TRUE(vip->Wait(Line(1, 1, "still here"), v));
    EXPECT_EQ(vip->Count(Named("OnDisconnected")), 0u);
}

// A service that answers with a broken record: the engine reports a lost
// connection (mode 1) instead of failing.
TEST(RoomEngineModule, MalformedServiceRecordGivesModeOne) {
    App();
    asio::io_context io;
    asio::ip::tcp::acceptor acceptor(io, {asio::ip::make_address("127.0.0.1"), 0});
    std::thread fake([&] {
        asio::ip::tcp::socket s(io);
        acceptor.accept(s);
        room::EnterOkMsg ok;
        ok.roomId = 7;
        ok.me.UserID.Set(kUser.id);
        std::string bytes = EncodeFrame(room::Encode(ok));
        // A chat line whose body length runs past the record.
        std::string bad = room::Encode(room::NoticeMsg{"abc", 0});
        bad[2] = '\x7f';
        bytes += EncodeFrame(bad);
        asio::write(s, asio::buffer(bytes));
        char buf[256];
        asio::error_code ec;
        while (!ec)
            s.read_some(asio::buffer(buf), ec);
    });
    Client c(acceptor.local_endpoint().port());
    ASSERT_TRUE(c.EnterAndWait(7, kUser));
    auto lost = c.Wait(Named("OnDisconnected"));
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->n[0], 1);
    c.Close();
    fake.join();
}

TEST_F(RoomEngine, OwnerSettingsLockAndCloseTheRoom) {
    auto owner = In(1002, kOwner);
    auto user = In(1002, kUser);

    // A new password: later entries need it, and it is never sent back.
    TRoomInfo info = *owner->engine->GetRoomInfo();
    TRoomTexts texts = *owner->engine->GetRoomTexts();
    info.HasPassword = 1;
    info.Password.Set("abc");
    owner->engine->ModifyRoomInfo(&info, 1, &texts, 0);
    ASSERT_TRUE(
        user->Wait([&](const Event&) { return user->engine->GetRoomInfo()->HasPassword == 1; }));
    EXPECT_EQ(owner->engine->GetRoomInfo()->Password.Get(), "");
    Client vip(service.Port());
    EXPECT_FALSE(vip.EnterAndWait(1002, kVip));
    Client vip2(service.Port());
    EXPECT_TRUE(vip2.EnterAndWait(1002, kVip, "abc"));

    // Sending the settings back unchanged keeps the password.
    info = *owner->engine->GetRoomInfo();
    info.AllowDice = 0;
    std::size_t o = owner->Mark();
    owner->engine->ModifyRoomInfo(&info, 1, &texts, 0);
    ASSERT_TRUE(owner->Wait(Line(0, 0, G("房间设置已保存。")), o));
    auto stored = service.Db().FindRoom(1002);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->HasPassword());

    // Closing the room ends the sessions of everybody below deputy rank.
    std::size_t u = user->Mark(), v = vip2.Mark();
    info.RoomClosed = 1;
    owner->engine->ModifyRoomInfo(&info, 1, &texts, 0);
    auto closed = user->Wait(Named("OnDisconnected"), u);
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->n[0], 0);
    EXPECT_TRUE(closed->Has(G("本房间已关闭")));
    EXPECT_TRUE(vip2.Wait(Named("OnDisconnected"), v));
    App().PumpFor(200ms);
    EXPECT_EQ(owner->Count(Named("OnDisconnected")), 0u);
    Client late(service.Port());
    EXPECT_FALSE(late.EnterAndWait(1002, kUser, "abc"));
}

TEST_F(RoomEngine, InvitationsIpQueryAndDice) {
    auto owner = In(1001, kOwner);
    auto user = In(1001, kUser);
    auto vip = In(1001, kVip);

    // Kind 1 puts the user on a public mic, kind 3 opens a VIP private mic.
    std::size_t o = owner->Mark();
    owner->engine->InviteToMic(1, kUser.id);
    auto open =
        owner->Wait(Named("OnVideoOpen", [](const Event& e) { return e.n[1] == kUser.id; }), o);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->n[4], 1);
    owner->engine->InviteToMic(3, kVip.id);
    auto own = vip->Wait(Named("OnVideoOpen", [](const Event& e) { return e.n[0] == 1; }));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->n[4], 3);
    EXPECT_EQ(own->n[5], room::kPrivateFrame);
    EXPECT_TRUE(owner->Wait(
        Named("OnUserMic", [](const Event& e) { return e.n[0] == kVip.id && e.n[1] == 3; }), o));
    // A plain user may not invite, nor cancel a manager's choice.
    std::size_t u = user->Mark();
    user->engine->CancelMic(kVip.id);
    EXPECT_TRUE(user->Wait(Line(0, 0, G("您没有权限执行此操作。")), u));

    // The owner may see a user's address; a plain member may not.
    owner->engine->QueryUserIP(kUser.id);
    EXPECT_TRUE(owner->Wait(Line(0, 0, "127.0.0.1"), o));
    std::size_t v = vip->Mark();
    vip->engine->QueryUserIP(kUser.id);
    EXPECT_TRUE(vip->Wait(Line(0, 0, G("您没有权限执行此操作。")), v));

    // Dice: members only, and only where the room allows it.
    vip->engine->ThrowDice(1);
    EXPECT_TRUE(owner->Wait(Line(1, 0, G("掷出了")), o));
    user->engine->ThrowDice(1);
    EXPECT_TRUE(user->Wait(Line(0, 0, G("请升级成VIP用户")), u));
    TRoomInfo info = *owner->engine->GetRoomInfo();
    TRoomTexts texts = *owner->engine->GetRoomTexts();
    info.AllowDice = 0;
    owner->engine->ModifyRoomInfo(&info, 1, &texts, 0);
    ASSERT_TRUE(
        vip->Wait([&](const Event&) { return vip->engine->GetRoomInfo()->AllowDice == 0; }));
    v = vip->Mark();
    vip->engine->ThrowDice(1);
    EXPECT_TRUE(vip->Wait(Line(0, 0, G("本房间不允许掷骰子。")), v));
}

TEST(RoomFanOut, TwoWritingThreadsKeepEveryMembersLinesWholeAndInOrder) {
    App();
    // Every broadcast takes the two-thread path, even in a small room.
    RoomHarness service([](roomsvc::Options& o) { o.parallelFanOutFrom = 2; });
    ASSERT_TRUE(service.Ok());
    std::vector<std::unique_ptr<Client>> users;
    for (Account a : {kAdmin, kOwner, kVip, kUser, kPatrol}) {
        users.push_back(std::make_unique<Client>(service.Port()));
        ASSERT_TRUE(users.back()->EnterAndWait(1001, a)) << a.id;
    }
    std::vector<std::size_t> marks;
    for (auto& u : users)
        marks.push_back(u->Mark());
    constexpr int kLines = 40;
    for (int i = 0; i < kLines; ++i) {
        users[2]->engine->SendChat(0, "", 0, 0, ("fan" + std::to_string(i) + ";").c_str());
        // One member vanishes midway; the room goes on for the others.
        if (i == kLines / 2)
            users[4]->Close();
    }
    for (std::size_t k = 0; k < 4; ++k) {
        auto& u = *users[k];
        const std::string last = "fan" + std::to_string(kLines - 1) + ";";
        ASSERT_TRUE(u.Wait(Line(1, 1, last), marks[k])) << k;
        std::vector<int> seen;
        for (std::size_t i = marks[k]; i < u.sink.events.size(); ++i) {
            const Event& e = u.sink.events[i];
            auto at = e.name == "OnMessage" ? e.s[0].find("fan") : std::string::npos;
            if (at != std::string::npos)
                seen.push_back(std::atoi(e.s[0].c_str() + at + 3));
        }
        std::vector<int> expected(kLines);
        for (int i = 0; i < kLines; ++i)
            expected[static_cast<std::size_t>(i)] = i;
        EXPECT_EQ(seen, expected) << k;
    }
}
