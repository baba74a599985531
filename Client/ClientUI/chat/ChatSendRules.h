// What decides a chat message's way out, kept apart from the widgets: the
// chat partner list and whisper box, the room's checks before a message
// leaves (ban, visitor wait, pacing, length), the frame's send step and the
// room's permission test, and the rank rules of the chat toolbar.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The partner box "cbbNickNameTo" with its ids, and the whisper box.
class TChatTargets {
  public:
    struct TEntry {
        std::int32_t Id = 0;
        std::string NickName;
    };

    TChatTargets();

    const std::vector<TEntry>& Entries() const { return entries_; }
    // -1 when no entry is selected.
    int SelectedIndex() const { return selected_; }
    // 0 everybody, > 0 one user, -1 none chosen.
    std::int32_t TargetId() const { return targetId_; }
    const std::string& TargetNickName() const { return targetNick_; }

    bool WhisperEnabled() const { return whisperEnabled_; }
    bool WhisperChecked() const { return whisperChecked_; }
    // The user clicks the whisper box (only while it is enabled).
    void SetWhisperChecked(bool checked);
    // Whispering needs the box checked and a user as partner.
    bool Whispering() const { return whisperChecked_ && targetId_ > 0; }

    // The user picked entry `index` of the box (-1 none): the partner and
    // the whisper box follow it.
    void UserSelected(int index);
    // Makes the user the partner, adding him to the list; the whisper box is
    // left as it was.
    void SelectChatTarget(std::int32_t id, const std::string& nickName);
    void RenameChatTarget(std::int32_t id, const std::string& nickName);
    // A partner who left; the partner falls back to everybody when it was him.
    void RemoveChatTarget(std::int32_t id);

  private:
    int IndexOf(std::int32_t id) const;

    std::vector<TEntry> entries_;
    int selected_ = 0;
    std::int32_t targetId_ = 0;
    std::string targetNick_;
    bool whisperEnabled_ = false;
    bool whisperChecked_ = false;
};

enum class TSendRefusal {
    None,
    ChatBanned,       // notice
    VisitorTooEarly,  // notice
    TooFast,          // notice
    TooLong,          // the "错误" box
    Unreadable,       // the editor holds a picture that cannot be read: nothing
};

// The notice text of a refusal (empty for None, TooLong and Unreadable).
const std::string& SendRefusalText(TSendRefusal refusal);

// The room's send handler's checks, in order. Time comes from the clock
// (milliseconds); tests give their own.
class TChatSendGate {
  public:
    using TClock = std::function<std::int64_t()>;
    explicit TChatSendGate(TClock clock = {});

    // The room was entered (the visitor wait starts).
    void RoomEntered();
    // A message of `length` bytes (-1 unreadable) is about to leave. Passing
    // records the time for the pacing rule, whether or not it then leaves.
    TSendRefusal Check(bool chatBanned, int role, int length, int maxLength);

  private:
    TClock clock_;
    std::int64_t enteredAt_ = 0;
    std::optional<std::int64_t> lastPass_;
};

// The frame's SendMessage of a body: nothing for an empty body, the notice
// "请选择聊天对象！" without a partner, else the echo line and the hand-over.
struct TFrameSend {
    enum class TKind { Nothing, NoTarget, Send } Kind = TKind::Nothing;
    std::string Notice;    // NoTarget
    std::string EchoLine;  // Send: for the private pane
    std::int32_t TargetId = 0;
    std::string TargetNickName;
    bool Whisper = false;
};
TFrameSend PlanFrameSend(const std::string& body, const TChatTargets& targets);

// The room's OnSendChat test: a body empty after trimming is dropped (no
// value, nothing shown); otherwise the refusal line's text, or empty when the
// message may go. Role 255 may always speak.
std::optional<std::string> ChatPermissionRefusal(const std::string& body, bool whisper,
                                                 bool allowPublicChat, bool allowPrivateChat,
                                                 int role);

// Members are users whose level is above 1009.
inline bool IsMember(int level) {
    return level > 1009;
}
// The system line shown when a non-member tries a member feature.
const std::string& MemberNoticeText();

// The horn button: roles of 236 and above get the menu, others go straight
// to the horn command, which opens the horn window for members only.
enum class THornAction { OpenMenu, OpenHornWindow, MemberNotice };
THornAction HornButtonAction(int role, int level);
// The horn command itself (the button below 236, the menu's "小喇叭").
THornAction HornCommand(int level);
// The menu's "系统公告" is offered from role 235.
inline bool SystemNoticeOffered(int role) {
    return role >= 235;
}

// The "临时公告" button: the refusal notice, or none when the window opens.
std::optional<std::string> RoomNoticeRefusal(int role, bool allowRoomNotice);
