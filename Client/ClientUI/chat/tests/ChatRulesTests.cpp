#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QMenu>

#include "ChatTestSupport.h"
#include "chat/ChatCatalogues.h"
#include "chat/ChatFormat.h"
#include "chat/ChatSendRules.h"
#include "chat/ColorWordManager.h"
#include "chat/EmotionManager.h"
#include "chat/FontString.h"
#include "chat/MaskOffSet.h"
#include "chat/Reply.h"
#include "common/IniFile.h"

namespace {

// ------------------------------------------------------------ chat partner

TEST(ChatTargets, EverybodyAtStartWithTheWhisperBoxOff) {
    TChatTargets t;
    ASSERT_EQ(t.Entries().size(), 1u);
    EXPECT_EQ(t.Entries()[0].Id, 0);
    EXPECT_EQ(t.Entries()[0].NickName, G("大家"));
    EXPECT_EQ(t.SelectedIndex(), 0);
    EXPECT_EQ(t.TargetId(), 0);
    EXPECT_EQ(t.TargetNickName(), G("大家"));
    EXPECT_FALSE(t.WhisperEnabled());
    t.SetWhisperChecked(true);
    EXPECT_FALSE(t.WhisperChecked());
}

TEST(ChatTargets, WhisperBoxFollowsOnlyTheUsersOwnChoice) {
    TChatTargets t;
    // Chosen from a pane's menu: listed and selected, whisper box untouched.
    t.SelectChatTarget(25, "abc");
    EXPECT_EQ(t.SelectedIndex(), 1);
    EXPECT_EQ(t.TargetId(), 25);
    EXPECT_FALSE(t.WhisperEnabled());

    t.UserSelected(1);
    EXPECT_TRUE(t.WhisperEnabled());
    t.SetWhisperChecked(true);
    EXPECT_TRUE(t.Whispering());

    // Back to everybody in the box: unchecked and disabled.
    t.UserSelected(0);
    EXPECT_FALSE(t.WhisperEnabled());
    EXPECT_FALSE(t.WhisperChecked());
    EXPECT_FALSE(t.Whispering());

    t.UserSelected(-1);
    EXPECT_EQ(t.TargetId(), -1);
    EXPECT_EQ(t.TargetNickName(), "");
    EXPECT_TRUE(t.WhisperEnabled());
}

TEST(ChatTargets, SelectRenameRemove) {
    TChatTargets t;
    t.SelectChatTarget(0, "x");
    EXPECT_EQ(t.Entries().size(), 1u);

    t.SelectChatTarget(7, "  ");  // blank nickname: not listed, nothing selected
    EXPECT_EQ(t.Entries().size(), 1u);
    EXPECT_EQ(t.SelectedIndex(), -1);
    EXPECT_EQ(t.TargetId(), 7);

    t.SelectChatTarget(25, "abc");
    t.SelectChatTarget(30, "def");
    t.SelectChatTarget(25, "abc");
    EXPECT_EQ(t.Entries().size(), 3u);
    EXPECT_EQ(t.SelectedIndex(), 1);

    // Renaming the selected partner addresses the next message anew.
    t.RenameChatTarget(25, "abc2");
    EXPECT_EQ(t.TargetNickName(), "abc2");
    EXPECT_EQ(t.Entries()[1].NickName, "abc2");
    t.RenameChatTarget(30, "def2");
    EXPECT_EQ(t.TargetNickName(), "abc2");
    EXPECT_EQ(t.Entries()[2].NickName, "def2");

    // Another partner leaves: the selection stays on its user.
    t.RemoveChatTarget(30);
    EXPECT_EQ(t.Entries().size(), 2u);
    EXPECT_EQ(t.TargetId(), 25);
    EXPECT_EQ(t.SelectedIndex(), 1);
    // The partner leaves: everybody again.
    t.RemoveChatTarget(25);
    EXPECT_EQ(t.Entries().size(), 1u);
    EXPECT_EQ(t.SelectedIndex(), 0);
    EXPECT_EQ(t.TargetId(), 0);
    // Everybody stays listed whatever is removed.
    t.RemoveChatTarget(0);
    EXPECT_EQ(t.Entries().size(), 1u);
}

TEST(ChatTargets, RemovingAnUnlistedUserWhileNothingIsSelectedFallsBackToEverybody) {
    TChatTargets t;
    t.UserSelected(-1);
    t.RemoveChatTarget(99);
    EXPECT_EQ(t.TargetId(), 0);
    EXPECT_EQ(t.SelectedIndex(), 0);
}

// --------------------------------------------------------------- sending

TEST(ChatSendGate, ChecksInOrderWithAFakeClock) {
    std::int64_t now = 1000;
    TChatSendGate gate([&] { return now; });
    gate.RoomEntered();

    // Banned beats everything, even a visitor's wait.
    EXPECT_EQ(gate.Check(true, 0, 5, 700), TSendRefusal::ChatBanned);
    now += 5000;
    EXPECT_EQ(gate.Check(false, 0, 5, 700), TSendRefusal::VisitorTooEarly);
    EXPECT_EQ(gate.Check(false, 1, 5, 700), TSendRefusal::VisitorTooEarly);
    EXPECT_EQ(gate.Check(false, 2, 5, 700), TSendRefusal::None);
    now = 1000 + 9999;
    EXPECT_EQ(gate.Check(false, 0, 5, 700), TSendRefusal::VisitorTooEarly);
    now = 1000 + 10000;
    EXPECT_EQ(gate.Check(false, 0, 5, 700), TSendRefusal::None);

    // Pacing counts from the last message that passed every check.
    now += 299;
    EXPECT_EQ(gate.Check(false, 2, 5, 700), TSendRefusal::TooFast);
    now += 1;
    EXPECT_EQ(gate.Check(false, 2, 701, 700), TSendRefusal::TooLong);
    EXPECT_EQ(gate.Check(false, 2, -1, 700), TSendRefusal::Unreadable);
    EXPECT_EQ(gate.Check(false, 2, 700, 700), TSendRefusal::None);
    now += 100;
    EXPECT_EQ(gate.Check(false, 2, 5, 700), TSendRefusal::TooFast);

    EXPECT_EQ(SendRefusalText(TSendRefusal::TooFast), G("对不起，您说话太快了，请坐下来休息会！"));
    EXPECT_EQ(SendRefusalText(TSendRefusal::VisitorTooEarly), G("游客进房间十秒后才能发言!"));
    EXPECT_EQ(SendRefusalText(TSendRefusal::ChatBanned),
              G("您在本房间被禁止发言，请联系房主或巡管申请解禁。"));
}

TEST(PlanFrameSend, EchoAndHandOver) {
    ScratchAppDir dir;
    TChatTargets t;
    EXPECT_EQ(PlanFrameSend("", t).Kind, TFrameSend::TKind::Nothing);

    t.SelectChatTarget(25, "abc");
    t.UserSelected(1);
    t.SetWhisperChecked(true);
    TFrameSend plan = PlanFrameSend("<FONT STYLE=\"s\">hi</FONT>", t);
    ASSERT_EQ(plan.Kind, TFrameSend::TKind::Send);
    EXPECT_EQ(plan.TargetId, 25);
    EXPECT_EQ(plan.TargetNickName, "abc");
    EXPECT_TRUE(plan.Whisper);
    EXPECT_EQ(plan.EchoLine, FormatOwnEchoLine(25, "abc", true, "<FONT STYLE=\"s\">hi</FONT>"));

    t.UserSelected(-1);
    plan = PlanFrameSend("x", t);
    EXPECT_EQ(plan.Kind, TFrameSend::TKind::NoTarget);
    EXPECT_EQ(plan.Notice, G("请选择聊天对象！"));
}

TEST(ChatPermissionRefusal, RoomSwitchesAndTheHighestRole) {
    EXPECT_FALSE(ChatPermissionRefusal("  ", false, true, true, 0).has_value());
    EXPECT_EQ(*ChatPermissionRefusal("x", true, true, false, 100), G("本房间不允许私聊！"));
    EXPECT_EQ(*ChatPermissionRefusal("x", false, false, true, 100), G("本房间不允许公聊！"));
    EXPECT_EQ(*ChatPermissionRefusal("x", true, false, true, 100), "");
    EXPECT_EQ(*ChatPermissionRefusal("x", true, false, false, 255), "");
}

TEST(ToolbarRules, HornAndNoticeByRankAndLevel) {
    EXPECT_EQ(HornButtonAction(50, 1010), THornAction::OpenHornWindow);
    EXPECT_EQ(HornButtonAction(50, 100), THornAction::MemberNotice);
    EXPECT_EQ(HornButtonAction(235, 1009), THornAction::MemberNotice);
    EXPECT_EQ(HornButtonAction(255, 0), THornAction::OpenMenu);
    EXPECT_TRUE(SystemNoticeOffered(235));
    EXPECT_FALSE(SystemNoticeOffered(234));

    EXPECT_EQ(*RoomNoticeRefusal(25, true), G("您没有发送临时公告的权限。"));
    EXPECT_EQ(*RoomNoticeRefusal(30, false), G("本房间目前不允许发送临时公告。"));
    EXPECT_FALSE(RoomNoticeRefusal(30, true).has_value());
    EXPECT_FALSE(RoomNoticeRefusal(235, false).has_value());
}

// --------------------------------------------------------------- masking

TEST(MaskOffSet, SettingsLiveInTheProfile) {
    TestApp();
    ScratchAppDir dir;
    const std::string profile = dir.Path("Config.dat");
    TMaskOffSet mask;
    EXPECT_FALSE(mask.IsKindMasked(0));  // nothing before the first login

    mask.SetMaskFile(profile);
    mask.LoadMaskSettings();
    IniFile ini(profile);
    EXPECT_EQ(ini.ReadSection("MaskOff").size(), 10u);  // the section is created whole

    QMenu menu;
    mask.FillMaskMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 10);
    EXPECT_EQ(menu.actions()[0]->text(), QString::fromUtf8("屏蔽公聊信息"));
    menu.actions()[0]->trigger();
    EXPECT_TRUE(menu.actions()[0]->isChecked());
    EXPECT_TRUE(mask.IsKindMasked(0));
    for (int i = 0; i < kMaskKindCount; ++i) {
        EXPECT_EQ(ini.ReadString("MaskOff", MaskKinds()[i].Key, "?"), i == 0 ? "1" : "0") << i;
    }

    mask.ToggleItem(6);
    EXPECT_TRUE(mask.IsKindMasked(6));
    EXPECT_TRUE(mask.IsKindMasked(134));  // only the low 7 bits count
    EXPECT_FALSE(mask.IsKindMasked(10));
    EXPECT_FALSE(mask.IsKindMasked(127));
    EXPECT_TRUE(menu.actions()[6]->isChecked());

    // Another login with the same profile reads them back.
    TMaskOffSet again;
    again.SetMaskFile(profile);
    again.LoadMaskSettings();
    EXPECT_TRUE(again.IsKindMasked(0));
    EXPECT_TRUE(again.IsKindMasked(6));
    EXPECT_FALSE(again.IsKindMasked(1));
}

// ----------------------------------------------------------------- replies

TEST(Reply, StoreRoundTripAndMenus) {
    TestApp();
    ScratchAppDir dir;
    const std::string file = dir.Path("Reply.dat");
    TReply shortcut(TReply::kShortCut, file);
    EXPECT_TRUE(shortcut.Texts().empty());
    EXPECT_TRUE(shortcut.TakeTexts({G("你好"), G("再见")}));
    IniFile ini(file);
    EXPECT_EQ(ini.ReadString("ShortCut", "1", ""), G("你好"));
    EXPECT_EQ(ini.ReadString("ShortCut", "2", ""), G("再见"));

    TReply autoReply(TReply::kAuto, file);
    autoReply.TakeTexts({"busy \\e101"});
    // Fewer texts leave no stale keys behind.
    shortcut.TakeTexts({G("再见")});
    EXPECT_FALSE(ini.ValueExists("ShortCut", "2"));

    TReply reread(TReply::kShortCut, file);
    EXPECT_EQ(reread.Texts(), std::vector<std::string>{G("再见")});
    EXPECT_EQ(TReply(TReply::kAuto, file).GetReplyText(0), "busy \\e101");
    EXPECT_EQ(reread.GetReplyText(1), "");
    EXPECT_EQ(reread.GetReplyText(-1), "");

    const std::string longText(30, 'a');
    reread.TakeTexts({longText});
    QMenu menu;
    reread.FillReplyMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_EQ(menu.actions()[0]->text().toStdString(), std::string(21, 'a') + "...");
    EXPECT_TRUE(menu.actions()[1]->isSeparator());
    EXPECT_EQ(menu.actions()[2]->text(), QString::fromUtf8("编辑回复..."));
    EXPECT_EQ(reread.GetReplyText(0), longText);  // the whole phrase is sent

    QListWidget list;
    reread.FillReplyList(&list);
    list.addItem("second");
    EXPECT_TRUE(reread.TakeReplyList(&list));
    EXPECT_EQ(TReply(TReply::kShortCut, file).Texts(),
              (std::vector<std::string>{longText, "second"}));
}

TEST(AutoReplyState, ButtonAndMenu) {
    ScratchAppDir dir;
    TReply store(TReply::kAuto, dir.Path("Reply.dat"));
    store.TakeTexts({"one", "two"});
    TAutoReplyState state;
    EXPECT_EQ(state.PressButton(1009), TAutoReplyState::TPress::MemberNotice);
    EXPECT_EQ(state.PressButton(1010), TAutoReplyState::TPress::OpenMenu);
    EXPECT_EQ(state.Caption(), G("自动回复"));
    EXPECT_EQ(state.ReplyBody("s"), "");

    state.ChooseItem(1, store);
    EXPECT_TRUE(state.Active());
    EXPECT_EQ(state.Caption(), G("取消回复"));
    EXPECT_EQ(state.ReplyBody("s"), "<FONT STYLE=\"s\">two</FONT>");
    // Choosing the checked item again switches it off.
    state.ChooseItem(1, store);
    EXPECT_FALSE(state.Active());
    state.ChooseItem(0, store);
    // The button switches it off without opening the menu.
    EXPECT_EQ(state.PressButton(1010), TAutoReplyState::TPress::SwitchedOff);
    EXPECT_EQ(state.Caption(), G("自动回复"));
    EXPECT_EQ(state.ReplyBody("s"), "");
}

TEST(RowAfterDelete, SamePositionOrNewLast) {
    EXPECT_EQ(RowAfterDelete(3, 2), 1);
    EXPECT_EQ(RowAfterDelete(3, 0), 0);
    EXPECT_EQ(RowAfterDelete(3, 1), 1);
    EXPECT_EQ(RowAfterDelete(1, 0), -1);
}

// ------------------------------------------------------------------ fonts

TEST(FontString, RoundTripAndDamage) {
    const auto font = ParseFontString(G("宋体,12,255,1,0,1"));
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->Name, G("宋体"));
    EXPECT_EQ(font->Size, 12);
    EXPECT_EQ(font->Color, 255u);
    EXPECT_TRUE(font->Bold);
    EXPECT_FALSE(font->Italic);
    EXPECT_TRUE(font->Underline);
    EXPECT_EQ(font->Styles(), 5);
    EXPECT_EQ(BuildFontString(*font), G("宋体,12,255,1,0,1"));

    EXPECT_EQ(BuildFontString(TChatFont{"", 0, 0, false, false, false}), G("宋体,9,0,0,0,0"));
    EXPECT_EQ(ParseFontString("Arial,13,0,2,x,1")->Size, 13);
    EXPECT_FALSE(ParseFontString("Arial,13,0,2,x,1")->Bold);
    for (const char* bad : {"", "Arial,12,0,0,0", "Arial,big,0,0,0,0", "Arial,12,red,0,0,0"}) {
        EXPECT_FALSE(ParseFontString(bad).has_value()) << bad;
    }
}

TEST(StoreUserFont, WritesOnlyAnExistingProfile) {
    ScratchAppDir dir;
    const TUserFont saved = UserFonts;
    const std::string savedPath = CurrentConfigPath;
    CurrentConfigPath = dir.Path("Config.dat");
    UserFonts.Laba = "a,9,0,0,0,0";

    EXPECT_TRUE(StoreUserFont(TFontKey::Laba, "b,10,0,1,0,0"));
    EXPECT_EQ(UserFonts.Laba, "b,10,0,1,0,0");
    EXPECT_FALSE(std::ifstream(CurrentConfigPath).good());  // never created

    WriteFile(CurrentConfigPath, "[Font]\n");
    EXPECT_FALSE(StoreUserFont(TFontKey::Laba, "b,10,0,1,0,0"));
    EXPECT_TRUE(StoreUserFont(TFontKey::SystemNotice, "c,11,0,0,0,0"));
    EXPECT_TRUE(StoreUserFont(TFontKey::Laba, "d,10,0,0,0,0"));
    IniFile ini(CurrentConfigPath);
    EXPECT_EQ(ini.ReadString("Font", "Laba", ""), "d,10,0,0,0,0");
    EXPECT_EQ(ini.ReadString("Font", "SystemNotice", ""), "c,11,0,0,0,0");

    UserFonts = saved;
    CurrentConfigPath = savedPath;
}

// ---------------------------------------------------- catalogue files

TEST(ColorWordManager, LoadsItemsWithPicturesUnderTheFolder) {
    TestApp();
    ScratchAppDir dir;
    dir.MakeFolder("ColorWord");
    const std::string folder = dir.Path("ColorWord/");
    WriteFile(folder + "word.xml",
              G("<?xml version=\"1.0\" encoding=\"gbk\"?><w>"
                "<item><index>1</index><Name>欢迎光临欢迎光临</Name>"
                "<html><![CDATA[<img src=\"Images/a.gif\">hi<img src=\"images/b.gif\">]]></html>"
                "</item>"
                "<item><index> 123 </index><html>plain</html></item><other/></w>"));
    TColorWordManager words;
    words.LoadColorWords(folder);
    ASSERT_EQ(words.Items().size(), 2u);
    EXPECT_EQ(words.Items()[0].Name, G("欢迎光临欢"));  // 10 bytes, whole characters
    EXPECT_EQ(words.Items()[0].Html,
              "<img src=\"" + folder + "a.gif\">hi<img src=\"" + folder + "b.gif\">");
    EXPECT_EQ(words.Items()[1].Index, "12");
    EXPECT_EQ(words.Items()[1].Name, "");
    EXPECT_NE(words.Find("1"), nullptr);
    EXPECT_EQ(words.Find("3"), nullptr);

    // The room looks received numbers up in the program's catalogue.
    CreateChatCatalogues();
    ColorWordCatalogue->LoadColorWords(folder);
    EXPECT_EQ(ColorWordHtmlOf(1), words.Items()[0].Html);
    EXPECT_FALSE(ColorWordHtmlOf(3).has_value());
    EXPECT_FALSE(ColorWordHtmlOf(-1).has_value());
    DestroyChatCatalogues();
    EXPECT_FALSE(ColorWordHtmlOf(1).has_value());

    // Loaded once: a later change of the file is not seen.
    WriteFile(folder + "word.xml", "<w/>");
    words.LoadColorWords(folder);
    EXPECT_EQ(words.Items().size(), 2u);

    QMenu menu;
    words.FillColorWordMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_TRUE(menu.actions()[0]->isCheckable());

    TColorWordManager broken;
    broken.LoadColorWords(dir.Path("missing/"));
    EXPECT_TRUE(broken.Loaded());
    EXPECT_TRUE(broken.Items().empty());
}

TEST(EmotionManager, TabsAndFacesByPosition) {
    ScratchAppDir dir;
    const std::string folder = dir.Path("");
    WriteFile(folder + "faceconfig.xml",
              G("<?xml version=\"1.0\" encoding=\"gbk\"?><FaceConfig>"
                "<FaceTab><nType>7</nType><TabName>默认</TabName></FaceTab>"
                "<FaceTab><nType>8</nType><TabName>会员</TabName></FaceTab>"
                "<FaceTab><nType>9</nType><TabName>其他</TabName></FaceTab>"
                "<FC><FP>1.gif</FP><nType>1</nType><FN>微笑</FN></FC>"
                "<FC><FP>2.gif</FP><nType>3</nType><FN></FN></FC>"
                "<FC><FP>3.gif</FP><nType>x</nType></FC>"
                "<FC><FP>4.gif</FP><nType>4</nType></FC>"
                "</FaceConfig>"));
    TEmotionManager m;
    m.LoadEmotionCatalogue(folder);
    ASSERT_EQ(m.Tabs().size(), 3u);
    EXPECT_EQ(m.Tabs()[1].Caption, G("会员"));
    ASSERT_EQ(m.Faces().size(), 4u);
    EXPECT_EQ(m.Faces()[0].Name, G("微笑"));
    const auto pages = m.FacesByTab();
    ASSERT_EQ(pages.size(), 3u);
    ASSERT_EQ(pages[0].size(), 2u);  // 1.gif, and 3.gif whose tab is no number
    EXPECT_EQ(pages[0][1].File, "3.gif");
    EXPECT_TRUE(pages[1].empty());
    ASSERT_EQ(pages[2].size(), 1u);  // tab number 3 is the third tab, not "9"
    EXPECT_EQ(pages[2][0].File, "2.gif");

    TEmotionManager missing;
    missing.LoadEmotionCatalogue(dir.Path("none/"));
    EXPECT_TRUE(missing.Loaded());
    EXPECT_TRUE(missing.Tabs().empty());
}

TEST(MayUseEmotion, MembersOnlyBeyondTheFirstTab) {
    EXPECT_TRUE(MayUseEmotion(0, 0, " 1 "));
    EXPECT_FALSE(MayUseEmotion(0, 2000, "2"));
    EXPECT_FALSE(MayUseEmotion(50, 100, "2"));
    EXPECT_TRUE(MayUseEmotion(2, 101, "2"));
}

TEST(PictureGrid, PagesLabelAndButtons) {
    TPictureGrid grid(30, 6, 15);
    grid.SetCount(91);
    EXPECT_EQ(grid.PageCount(), 2);
    EXPECT_EQ(grid.PageLabel(), "1/2");
    EXPECT_FALSE(grid.PriorEnabled());
    EXPECT_TRUE(grid.NextEnabled());
    grid.NextPage();
    grid.NextPage();
    EXPECT_EQ(grid.PageLabel(), "2/2");
    EXPECT_FALSE(grid.NextEnabled());
    EXPECT_EQ(grid.StripX(90, 3), 15 * 30 + 3);
    EXPECT_EQ(grid.StripX(16, 3), 30 + 3);
    EXPECT_EQ(grid.StripY(16, 3), 30 + 3);
    EXPECT_EQ(grid.IndexAt(1, 1), 90);

    grid.SetCount(0);
    EXPECT_EQ(grid.PageLabel(), "1/0");
    EXPECT_FALSE(grid.PriorEnabled());
    EXPECT_FALSE(grid.NextEnabled());
}

TEST(PictureGrid, HoverPlacesThePreviewAndClickNeedsIt) {
    TPictureGrid grid(30, 6, 15);
    grid.SetCount(20);
    auto change = grid.MouseMove(2 * 30 + 5, 5);
    EXPECT_TRUE(change.Changed);
    EXPECT_EQ(change.Preview, TPictureGrid::TPreview::TopRight);
    EXPECT_EQ(grid.ClickedFace(), 2);
    EXPECT_FALSE(grid.MouseMove(2 * 30 + 9, 9).Updated);  // same cell: nothing

    change = grid.MouseMove(12 * 30 + 5, 5);
    EXPECT_EQ(change.OldHovered, 2);
    EXPECT_EQ(change.Preview, TPictureGrid::TPreview::TopLeft);
    EXPECT_EQ(grid.MouseMove(7 * 30, 0).Preview, TPictureGrid::TPreview::Keep);

    // A cell past the last face, or outside the cells: no preview, no click.
    EXPECT_EQ(grid.MouseMove(5 * 30, 2 * 30).Preview, TPictureGrid::TPreview::Hide);
    EXPECT_EQ(grid.ClickedFace(), -1);
    EXPECT_EQ(grid.MouseMove(15 * 30 + 1, 0).Preview, TPictureGrid::TPreview::Hide);
    EXPECT_EQ(grid.Hovered(), -1);
}

}  // namespace
