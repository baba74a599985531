// The room's side of its chat frame: the frame takes the place of the room's
// own panes, and the room answers the frame's toolbar with its rank and room
// checks before anything reaches the engine (the send checks, the chat
// permission test, colour words, emoticons, horn and notices, dice,
// favourites, auto reply and shortcut phrases, my info). The room owns it as
// a child object; it owns the reply stores and the kept dialogs.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "chat/ChatSendRules.h"
#include "chat/Reply.h"

class TfrmRoom;
class TframeChatView;
class TfrmLaba;
class TfrmRoomNotice;
class TfrmSystemNotice;
class TfrmMyInfoSet;

class TRoomChat : public QObject {
    Q_OBJECT

  public:
    // Builds the frame, puts it in the room and answers the room's chat calls.
    explicit TRoomChat(TfrmRoom& room);

    TframeChatView* Frame() const { return frame_; }
    TReply& AutoReplies() { return autoReplies_; }
    TReply& ShortCuts() { return shortCuts_; }

    // The room's send handler (Send, Enter, a chosen phrase): the checks in
    // order, then the frame's own send step.
    void SendClick();
    // The room's OnSendChat: the chat permission test, then the engine.
    void SendChat(std::int32_t userIdTo, const std::string& nickNameTo, bool whisper,
                  bool autoReply, const std::string& html);
    // The engine says somebody spoke to the user.
    void ChatToMe(std::int32_t user, const std::string& nickName);

    void SelectEmotion(const QPoint& at);
    // The picker's choice: a face file and its tab number.
    void EmotionChosen(const std::string& file, const std::string& tabNumber);
    void ColorWordChosen(int position);
    void LabaClick();
    void HornCommand();
    void NotifyPopup();
    void SendSystemClick();
    void RoomNoticeClick();
    void BetClick();
    void FavoritesClick();
    void AutoReplyClick();
    void AutoReplyChosen(int position, int count);
    void ShortCutReplyChosen(int position, int count);
    void IcoInfoClick();
    void ModifyInfoClick();

    // Kept dialogs, once created.
    TfrmLaba* HornWindow() const;
    TfrmRoomNotice* RoomNoticeWindow() const;
    TfrmSystemNotice* SystemNoticeWindow() const;

    // Modal steps, so tests can answer them: editing a reply store (true
    // when confirmed) and running the my-info dialog.
    std::function<bool(TReply& store)> EditReplies;
    std::function<void(TfrmMyInfoSet& dialog, std::int32_t user, int face,
                       const std::string& digest, const std::string& nickName)>
        RunMyInfo;

  private:
    std::int16_t MyRole() const;
    std::int16_t MyLevel() const;
    void MemberNotice();

    TfrmRoom& room_;
    TframeChatView* frame_;
    TChatSendGate gate_;
    TReply autoReplies_;
    TReply shortCuts_;
    QPointer<TfrmLaba> horn_;
    QPointer<TfrmRoomNotice> roomNotice_;
    QPointer<TfrmSystemNotice> systemNotice_;
};

// Every room created from now on gets its chat frame (the program entry
// calls this once).
void InstallRoomChat();
// The room's chat side, when it has one.
TRoomChat* RoomChatOf(TfrmRoom& room);
