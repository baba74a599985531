#include "room/RoomChat.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "chat/ChatBoxes.h"
#include "chat/ChatCatalogues.h"
#include "chat/ChatFormat.h"
#include "chat/ChatTexts.h"
#include "chat/ChatViewFrame.h"
#include "chat/ColorWordManager.h"
#include "chat/EmotionForm.h"
#include "chat/EmotionManager.h"
#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"
#include "chat/IcoInfoForm.h"
#include "chat/LabaForm.h"
#include "chat/MyInfoSetForm.h"
#include "chat/ReplyEditForm.h"
#include "chat/RollingTipPanel.h"
#include "chat/RoomNoticeForm.h"
#include "foundation/AppPaths.h"
#include "room/RoomForm.h"

TRoomChat::TRoomChat(TfrmRoom& room)
    : QObject(&room),
      room_(room),
      frame_(new TframeChatView(&room)),
      gate_([] { return TfrmRoom::Now(); }),
      autoReplies_(TReply::kAuto),
      shortCuts_(TReply::kShortCut) {
    setObjectName("RoomChat");
    room.PlacePart(TRoomPartPlace::ChatFrame, frame_);
    room.UseChatPanes(frame_->hcvPublic, frame_->hcvPrivate, frame_->hceChat);

    autoReplies_.FillReplyMenu(frame_->popAutoReply);
    if (ColorWordCatalogue != nullptr) {
        ColorWordCatalogue->FillColorWordMenu(frame_->popColorWord);
    }
    shortCuts_.FillReplyMenu(frame_->popShortCutReply);

    EditReplies = [this](TReply& store) {
        TfrmReplyEdit dialog(&room_);
        return dialog.EditReplies(store);
    };
    RunMyInfo = [](TfrmMyInfoSet& dialog, std::int32_t user, int face, const std::string& digest,
                   const std::string& nickName) {
        dialog.ShowMyInfo(user, face, digest, nickName);
    };

    TframeChatView& f = *frame_;
    f.OnSendClick = [this] { SendClick(); };
    f.OnSendChat = [this](std::int32_t to, const std::string& nick, bool whisper, bool autoReply,
                          const std::string& html) {
        SendChat(to, nick, whisper, autoReply, html);
    };
    f.OnChangeFont = [this](const std::string& font) { room_.ChangeFont(font); };
    f.OnSelectEmotion = [this](const QPoint& at) { SelectEmotion(at); };
    f.OnColorWordItem = [this](int position, int) { ColorWordChosen(position); };
    f.OnLaba = [this] { LabaClick(); };
    f.OnNotifyPopup = [this] { NotifyPopup(); };
    f.OnMiLaba = [this] { HornCommand(); };
    f.OnMiSendSystem = [this] { SendSystemClick(); };
    f.OnRoomNotice = [this] { RoomNoticeClick(); };
    f.OnShakeSomeBody = [this] { room_.ShakeSomeBody(); };
    f.OnBet = [this] { BetClick(); };
    f.OnFavorites = [this] { FavoritesClick(); };
    f.OnAutoReply = [this] { AutoReplyClick(); };
    f.OnAutoReplyItem = [this](int position, int count) { AutoReplyChosen(position, count); };
    f.OnShortCutReplyItem = [this](int position, int count) {
        ShortCutReplyChosen(position, count);
    };
    f.OnIcoInfo = [this] { IcoInfoClick(); };

    TRoomParts& parts = room.Parts();
    parts.SelectChatTarget = [this](std::int32_t user, const std::string& nick) {
        frame_->SelectChatTarget(user, nick);
    };
    parts.RenameChatTarget = [this](std::int32_t user, const std::string& nick) {
        frame_->RenameChatTarget(user, nick);
    };
    parts.RemoveChatTarget = [this](std::int32_t user) { frame_->RemoveChatTarget(user); };
    parts.GetChatTarget = [this] {
        std::pair<std::int32_t, std::string> target;
        frame_->GetChatTarget(target.first, target.second);
        return target;
    };
    parts.FocusEditor = [this] { frame_->hceChat->FocusEditor(); };
    parts.ApplyChatFont = [this](const std::string& font) { frame_->ApplyChatFont(font); };
    parts.ShowTemporaryTip = [this](const std::string& tip) {
        frame_->pnlTop->ShowTemporaryTip(tip);
    };
    parts.ShowPermanentTip = [this](const std::string& tip) {
        frame_->pnlTop->ShowPermanentTip(tip);
    };
    parts.OnChatToMe = [this](std::int32_t user, const std::string& nick) { ChatToMe(user, nick); };
    parts.RoomEntered = [this] { gate_.RoomEntered(); };
    parts.ModifyMyInfo = [this] { ModifyInfoClick(); };
}

TfrmLaba* TRoomChat::HornWindow() const {
    return horn_;
}

TfrmRoomNotice* TRoomChat::RoomNoticeWindow() const {
    return roomNotice_;
}

TfrmSystemNotice* TRoomChat::SystemNoticeWindow() const {
    return systemNotice_;
}

std::int16_t TRoomChat::MyRole() const {
    const TMyInfo* me = room_.GetMyInfo();
    return me != nullptr ? me->Role.Get() : 0;
}

std::int16_t TRoomChat::MyLevel() const {
    const TMyInfo* me = room_.GetMyInfo();
    return me != nullptr ? me->Level.Get() : 0;
}

void TRoomChat::MemberNotice() {
    room_.ShowSystemLine(MemberNoticeText());
}

// ---------------------------------------------------------------- sending

void TRoomChat::SendClick() {
    const TMyInfo* me = room_.GetMyInfo();
    const bool banned = me != nullptr && me->ChatBanned != 0;
    THtmlChatEdit* editor = frame_->hceChat;
    const TSendRefusal refusal =
        gate_.Check(banned, MyRole(), editor->MessageLength(), editor->MaxLength);
    switch (refusal) {
        case TSendRefusal::None:
            frame_->SendEditorMessage();
            return;
        case TSendRefusal::TooLong:
            ShowChatBox(&room_, GbkText("您输入的字数超过最大字符限制！"), GbkText("错误"),
                        TBoxIcon::Error);
            return;
        case TSendRefusal::Unreadable:
            // A picture that is no emoticon: nothing leaves, the text stays.
            return;
        default:
            frame_->ShowSystemNotice(SendRefusalText(refusal));
            return;
    }
}

void TRoomChat::SendChat(std::int32_t userIdTo, const std::string& nickNameTo, bool whisper,
                         bool autoReply, const std::string& html) {
    IClientEngine* engine = room_.Engine();
    const TRoomInfo* info = engine != nullptr ? engine->GetRoomInfo() : nullptr;
    const std::optional<std::string> refusal =
        ChatPermissionRefusal(html, whisper, info != nullptr && info->AllowPublicChat != 0,
                              info != nullptr && info->AllowPrivateChat != 0, MyRole());
    if (!refusal) {
        return;
    }
    if (!refusal->empty()) {
        room_.ShowSystemLine(*refusal);
        return;
    }
    if (engine != nullptr) {
        engine->SendChat(userIdTo, nickNameTo.c_str(), whisper ? 1 : 0, autoReply ? 1 : 0,
                         html.c_str());
    }
}

void TRoomChat::ChatToMe(std::int32_t user, const std::string& nickName) {
    const std::string body = frame_->AutoReply.ReplyBody(frame_->hceChat->FontStyle);
    if (!body.empty()) {
        SendChat(user, nickName, false, true, body);
    }
}

// ---------------------------------------------------------------- toolbar

void TRoomChat::SelectEmotion(const QPoint& at) {
    TfrmEmotion* picker = SharedEmotionPicker();
    picker->SetReceiver(frame_, [this](const std::string& file, const std::string& tab) {
        EmotionChosen(file, tab);
    });
    picker->ShowEmotionPicker(at);
}

void TRoomChat::EmotionChosen(const std::string& file, const std::string& tabNumber) {
    if (!MayUseEmotion(MyRole(), MyLevel(), tabNumber)) {
        frame_->ShowSystemNotice(GbkText("您还不能发送会员表情，升级成VIP后才可以使用！"));
        return;
    }
    frame_->hceChat->InsertEmoticon(AppPath("emotions/"), file);
}

void TRoomChat::ColorWordChosen(int position) {
    IClientEngine* engine = room_.Engine();
    const TRoomInfo* info = engine != nullptr ? engine->GetRoomInfo() : nullptr;
    if (info == nullptr || info->AllowColorWord == 0) {
        room_.ShowSystemLine(GbkText("本房间屏蔽了彩字功能。"));
        return;
    }
    frame_->SendRaw(ColorWordCode(position + 1));
}

void TRoomChat::LabaClick() {
    if (HornButtonAction(MyRole(), MyLevel()) == THornAction::OpenMenu) {
        frame_->Popup(frame_->popNotify);
        return;
    }
    HornCommand();
}

void TRoomChat::HornCommand() {
    if (::HornCommand(MyLevel()) == THornAction::MemberNotice) {
        MemberNotice();
        return;
    }
    if (!horn_) {
        horn_ = new TfrmLaba(&room_);
        horn_->OnSendHorn = [this](const std::string& text, bool world) {
            if (IClientEngine* engine = room_.Engine())
                engine->SendHorn(text.c_str(), world ? 1 : 0);
        };
    }
    horn_->show();
    horn_->raise();
}

void TRoomChat::NotifyPopup() {
    frame_->miSendSystem->setVisible(SystemNoticeOffered(MyRole()));
}

void TRoomChat::SendSystemClick() {
    if (!SystemNoticeOffered(MyRole())) {
        return;
    }
    if (!systemNotice_) {
        systemNotice_ = new TfrmSystemNotice(&room_);
        systemNotice_->OnSendNotice = [this](const std::string& text) {
            if (IClientEngine* engine = room_.Engine())
                engine->SendSystemNotice(text.c_str());
        };
    }
    systemNotice_->show();
    systemNotice_->raise();
}

void TRoomChat::RoomNoticeClick() {
    IClientEngine* engine = room_.Engine();
    const TRoomInfo* info = engine != nullptr ? engine->GetRoomInfo() : nullptr;
    if (auto refusal = RoomNoticeRefusal(MyRole(), info != nullptr && info->AllowRoomNotice != 0)) {
        frame_->ShowSystemNotice(*refusal);
        return;
    }
    if (!roomNotice_) {
        roomNotice_ = new TfrmRoomNotice(&room_);
        roomNotice_->OnSendNotice = [this](const std::string& text) {
            if (IClientEngine* e = room_.Engine())
                e->SendRoomNotice(text.c_str());
        };
    }
    roomNotice_->show();
    roomNotice_->raise();
}

void TRoomChat::BetClick() {
    if (!IsMember(MyLevel())) {
        MemberNotice();
        return;
    }
    if (IClientEngine* engine = room_.Engine())
        engine->ThrowDice(1);
}

void TRoomChat::FavoritesClick() {
    if (IClientEngine* engine = room_.Engine())
        engine->AddFavoriteRoom();
}

void TRoomChat::AutoReplyClick() {
    switch (frame_->AutoReply.PressButton(MyLevel())) {
        case TAutoReplyState::TPress::MemberNotice:
            MemberNotice();
            return;
        case TAutoReplyState::TPress::OpenMenu:
            frame_->UpdateAutoReplyButton();
            frame_->Popup(frame_->popAutoReply);
            return;
        case TAutoReplyState::TPress::SwitchedOff:
            frame_->UpdateAutoReplyButton();
            return;
    }
}

void TRoomChat::AutoReplyChosen(int position, int count) {
    if (position == count - 1) {
        if (EditReplies && EditReplies(autoReplies_)) {
            autoReplies_.FillReplyMenu(frame_->popAutoReply);
            frame_->UpdateAutoReplyButton();
        }
        return;
    }
    frame_->AutoReply.ChooseItem(position, autoReplies_);
    frame_->UpdateAutoReplyButton();
}

void TRoomChat::ShortCutReplyChosen(int position, int count) {
    if (position == count - 1) {
        if (EditReplies && EditReplies(shortCuts_)) {
            shortCuts_.FillReplyMenu(frame_->popShortCutReply);
        }
        return;
    }
    frame_->hceChat->SetHtml(ExpandEmotionCodes(shortCuts_.GetReplyText(position)));
    SendClick();
}

void TRoomChat::IcoInfoClick() {
    TfrmIcoInfo dialog(&room_);
    dialog.exec();
}

void TRoomChat::ModifyInfoClick() {
    const TMyInfo* me = room_.GetMyInfo();
    if (me == nullptr) {
        return;
    }
    TfrmMyInfoSet dialog(&room_);
    dialog.OnResult = [this](const std::string& currentDigest, const std::string& nickName,
                             const std::string& newDigest, int face) {
        std::string digest = room_.PasswordDigest();
        UpdatePasswordDigest(digest, newDigest);
        room_.SetPasswordDigest(digest);
        if (IClientEngine* engine = room_.Engine()) {
            engine->ModifyMyInfo(currentDigest.c_str(), nickName.c_str(), newDigest.c_str(), face);
        }
    };
    if (RunMyInfo) {
        RunMyInfo(dialog, me->UserID.Get(), me->Face.Get(), room_.PasswordDigest(),
                  me->NickName.Get());
    }
}

// ---------------------------------------------------------------- install

void InstallRoomChat() {
    AddRoomPartInstaller([](TfrmRoom& room, TRoomParts&) { new TRoomChat(room); });
}

TRoomChat* RoomChatOf(TfrmRoom& room) {
    return room.findChild<TRoomChat*>("RoomChat", Qt::FindDirectChildrenOnly);
}
