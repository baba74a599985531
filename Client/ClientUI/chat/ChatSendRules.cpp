#include "chat/ChatSendRules.h"

#include "chat/ChatFormat.h"
#include "chat/ChatTexts.h"
#include "common/TextUtils.h"

TChatTargets::TChatTargets() : targetNick_(GbkText("大家")) {
    entries_.push_back({0, GbkText("大家")});
}

int TChatTargets::IndexOf(std::int32_t id) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].Id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TChatTargets::SetWhisperChecked(bool checked) {
    if (whisperEnabled_) {
        whisperChecked_ = checked;
    }
}

void TChatTargets::UserSelected(int index) {
    selected_ = index >= 0 && index < static_cast<int>(entries_.size()) ? index : -1;
    if (selected_ < 0) {
        targetId_ = -1;
        targetNick_.clear();
    } else {
        targetId_ = entries_[selected_].Id;
        targetNick_ = entries_[selected_].NickName;
    }
    whisperEnabled_ = targetId_ != 0;
    if (!whisperEnabled_) {
        whisperChecked_ = false;
    }
}

void TChatTargets::SelectChatTarget(std::int32_t id, const std::string& nickName) {
    if (id == 0) {
        return;
    }
    if (IndexOf(id) < 0 && !TrimBlanks(nickName).empty()) {
        entries_.push_back({id, nickName});
    }
    selected_ = IndexOf(id);
    targetId_ = id;
    targetNick_ = nickName;
}

void TChatTargets::RenameChatTarget(std::int32_t id, const std::string& nickName) {
    if (id == 0) {
        return;
    }
    const int index = IndexOf(id);
    if (index < 0) {
        return;
    }
    entries_[index].NickName = nickName;
    if (index == selected_) {
        targetNick_ = nickName;
    }
}

void TChatTargets::RemoveChatTarget(std::int32_t id) {
    if (id == 0) {
        return;  // everybody never leaves
    }
    const int index = IndexOf(id);
    if ((index >= 0 && index == selected_) || (index < 0 && selected_ < 0)) {
        selected_ = 0;
        targetId_ = 0;
        targetNick_ = GbkText("大家");
    }
    if (index >= 0) {
        entries_.erase(entries_.begin() + index);
        if (selected_ > index) {
            --selected_;
        }
    }
}

const std::string& SendRefusalText(TSendRefusal refusal) {
    static const std::string none;
    switch (refusal) {
        case TSendRefusal::ChatBanned:
            return GbkText("您在本房间被禁止发言，请联系房主或巡管申请解禁。");
        case TSendRefusal::VisitorTooEarly:
            return GbkText("游客进房间十秒后才能发言!");
        case TSendRefusal::TooFast:
            return GbkText("对不起，您说话太快了，请坐下来休息会！");
        default:
            return none;
    }
}

TChatSendGate::TChatSendGate(TClock clock) : clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
    enteredAt_ = clock_();
}

void TChatSendGate::RoomEntered() {
    enteredAt_ = clock_();
}

TSendRefusal TChatSendGate::Check(bool chatBanned, int role, int length, int maxLength) {
    const std::int64_t now = clock_();
    if (chatBanned) {
        return TSendRefusal::ChatBanned;
    }
    if ((role == 0 || role == 1) && now - enteredAt_ <= 9999) {
        return TSendRefusal::VisitorTooEarly;
    }
    if (lastPass_ && now - *lastPass_ < 300) {
        return TSendRefusal::TooFast;
    }
    if (length < 0) {
        return TSendRefusal::Unreadable;
    }
    if (length > maxLength) {
        return TSendRefusal::TooLong;
    }
    lastPass_ = now;
    return TSendRefusal::None;
}

TFrameSend PlanFrameSend(const std::string& body, const TChatTargets& targets) {
    TFrameSend plan;
    if (body.empty()) {
        return plan;
    }
    if (targets.TargetId() == -1) {
        plan.Kind = TFrameSend::TKind::NoTarget;
        plan.Notice = GbkText("请选择聊天对象！");
        return plan;
    }
    plan.Kind = TFrameSend::TKind::Send;
    plan.TargetId = targets.TargetId();
    plan.TargetNickName = targets.TargetNickName();
    plan.Whisper = targets.Whispering();
    plan.EchoLine = FormatOwnEchoLine(plan.TargetId, plan.TargetNickName, plan.Whisper, body);
    return plan;
}

std::optional<std::string> ChatPermissionRefusal(const std::string& body, bool whisper,
                                                 bool allowPublicChat, bool allowPrivateChat,
                                                 int role) {
    if (TrimBlanks(body).empty()) {
        return std::nullopt;
    }
    if (role == 255) {
        return std::string();
    }
    if (whisper && !allowPrivateChat) {
        return GbkText("本房间不允许私聊！");
    }
    if (!whisper && !allowPublicChat) {
        return GbkText("本房间不允许公聊！");
    }
    return std::string();
}

const std::string& MemberNoticeText() {
    return GbkText(
        "<a href=\"\" target=\"_blank\">注册用户暂时无法使用此功能，请升级成VIP用户！</a>");
}

THornAction HornCommand(int level) {
    return IsMember(level) ? THornAction::OpenHornWindow : THornAction::MemberNotice;
}

THornAction HornButtonAction(int role, int level) {
    return role < 236 ? HornCommand(level) : THornAction::OpenMenu;
}

std::optional<std::string> RoomNoticeRefusal(int role, bool allowRoomNotice) {
    if (role < 30) {
        return GbkText("您没有发送临时公告的权限。");
    }
    if (!allowRoomNotice && role <= 234) {
        return GbkText("本房间目前不允许发送临时公告。");
    }
    return std::nullopt;
}
