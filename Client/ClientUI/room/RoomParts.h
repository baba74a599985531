// The room window's parts that other units bring: the chat frame's partner
// list and font bar, the gift panel and gift dialogs, the catalogues, the
// rolling tips, the room note, the auto reply, masking, the seal dialogs and
// the expert settings. Each unit registers an installer at program start;
// every room runs the installers while it is created, and each fills in the
// calls its part answers (and may place its widgets, see TfrmRoom::PlacePart).
// A call whose part is not installed is written to the log, once per room
// and call, and otherwise does nothing.
#pragma once

#include <QPoint>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class TfrmRoom;

struct TRoomParts {
    // Chat frame: partner list and editor.
    std::function<void(std::int32_t user, const std::string& nickName)> SelectChatTarget;
    std::function<void(std::int32_t user, const std::string& nickName)> RenameChatTarget;
    std::function<void(std::int32_t user)> RemoveChatTarget;
    // The partner: number (0 = everybody) and nickname.
    std::function<std::pair<std::int32_t, std::string>()> GetChatTarget;
    std::function<void()> FocusEditor;
    std::function<void(const std::string& font)> ApplyChatFont;

    // Gift panel and the group-gift dialog.
    std::function<void(std::int32_t gold, std::int32_t points)> SetBalance;
    std::function<void(std::int32_t gold)> SetGroupGiftMoney;
    std::function<void(std::int32_t user, const std::string& nickName)> AddRecipient;
    std::function<void(std::int32_t user, const std::string& nickName)> RenameRecipient;
    std::function<void(std::int32_t user)> RemoveRecipient;

    // Gift catalogues.
    std::function<bool(std::int32_t gift)> IsTopGift;
    // The catalogue's own text, valid while the catalogue lives.
    std::function<const char*(std::int32_t gift)> GetGiftUnit;
    // The quick gift and its count.
    std::function<std::pair<std::int32_t, std::int32_t>()> QuickGift;
    // The quick-gift chooser with its corner at a screen point.
    std::function<void(const QPoint& at)> ShowQuickGift;

    // Gift and seal dialogs of the user menu, prepared with the target.
    std::function<void(std::int32_t user, const std::string& nickName)> OpenGiftMessage;
    std::function<void(std::int32_t user, const std::string& nickName)> OpenWorldProp;
    std::function<void(std::int32_t user, const std::string& nickName)> OpenSeal;
    // Modal; true when confirmed.
    std::function<bool(std::int32_t user, const std::string& nickName)> ConfirmClearSeal;

    // The my-gifts window refreshed after a gift record, when it is showing.
    std::function<void()> RefreshMyGifts;

    // Colour words: the fragment of a number, none when it is not in the
    // catalogue.
    std::function<std::optional<std::string>(int number)> ColorWordHtml;

    // Rolling tips, room note, auto reply, masking.
    std::function<void(const std::string& text)> ShowTemporaryTip;
    std::function<void(const std::string& text)> ShowPermanentTip;
    std::function<void(const std::string& text)> ShowRoomNote;
    std::function<void(std::int32_t user, const std::string& nickName)> OnChatToMe;
    // True when the mask kind is switched off by the user.
    std::function<bool(int maskKind)> IsMasked;

    // The room was entered (also after a reconnection).
    std::function<void()> RoomEntered;
    // The my-info dialog (button btnModifyInfo).
    std::function<void()> ModifyMyInfo;

    // The expert audio settings window.
    std::function<void()> ShowExpertSettings;
};

using TRoomPartInstaller = std::function<void(TfrmRoom& room, TRoomParts& parts)>;
// Installers run in the order they were added.
void AddRoomPartInstaller(TRoomPartInstaller installer);
void ClearRoomPartInstallers();
